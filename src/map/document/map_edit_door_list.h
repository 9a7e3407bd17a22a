#pragma once
// The door container of a map: the three door lists and the door bitmap into
// which every door is drawn.

#include <cstdint>
#include <memory>

#include "map/raster/bitmap32.h"
#include "map/document/cell_coverage.h"
#include "map/document/map_edit_door.h"

class TMapEditLayerList;

class TCustomMapEditDoorList : public TSongData {
 public:
  explicit TCustomMapEditDoorList(TMapEditLayerList* Owner);
  ~TCustomMapEditDoorList() override;

  TMapEditLayerList* Owner() const { return FOwner; }
  // Moves the container to another document (when a loaded map replaces the open one).
  void SetOwner(TMapEditLayerList* Owner) { FOwner = Owner; }
  // The door bitmap (created on first access): dmCustom with the door combine
  // rule, OuterColor 0. Its alpha byte is a code: 0 empty, 1 trimmed colour pixel,
  // 2 colour pixel, 255 black or dark line.
  // Writable access drops the cell coverage below; the door drawing keeps it.
  TBitmap32& Bitmap();
  const TBitmap32* BitmapIfCreated() const { return FBitmap.get(); }
  // The pixels of each cell row that the doors drawn since the last full rebuild
  // may touch.
  const TCellCoverage& Coverage() const { return FCoverage; }
  TMapEditCustomDoorList& FreeDoor();
  // Copies Value into the free-door list; nullptr is ignored.
  void SetFreeDoor(const TMapEditCustomDoorList* Value);

  // The alpha byte of the door bitmap at (x, y); 0 outside it or before it exists.
  uint8_t DoorPixelCode(int32_t X, int32_t Y) const;

  virtual void RebuildDoorBitmap();
  virtual bool HasDoors() const;
  // Draws one door segment into the door bitmap (pixel coordinates).
  void DrawDoor(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Color);

  void AssignTo(TSongData* Dest) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TCustomMapEditDoorList"; }

 protected:
  void TrimDoorPixel(int32_t X, int32_t Y, TColor32 C);
  // The bitmap for the drawing code, which keeps the coverage itself.
  TBitmap32& DrawingBitmap();

  TMapEditLayerList* FOwner;
  std::unique_ptr<TBitmap32> FBitmap;
  TCellCoverage FCoverage;
  std::unique_ptr<TMapEditCustomDoorList> FFreeDoor;
};

class TMapEditDoorList : public TCustomMapEditDoorList {
 public:
  explicit TMapEditDoorList(TMapEditLayerList* Owner);
  ~TMapEditDoorList() override;

  TMapEditHorzDoorList& HorzDoor();
  TMapEditVertDoorList& VertDoor();

  void RebuildDoorBitmap() override;
  bool HasDoors() const override;

  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditDoorList"; }

 private:
  std::unique_ptr<TMapEditHorzDoorList> FHorzDoor;
  std::unique_ptr<TMapEditVertDoorList> FVertDoor;
};

// The door combine rule: 0 and 0x01000000 leave B; anything else replaces B with
// its alpha forced to 255.
void DoorPixelCombine(TColor32 F, TColor32& B, TColor32 M);
