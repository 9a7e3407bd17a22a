#pragma once
// Undo records. A record holds the state that undoing (or redoing) an edit puts
// back: full copies of the document's two grids for a painting edit, the edge of a
// door click, the ends of an added free door, or the free-door list before a
// deletion. Applying a record exchanges that state with the document's, so the
// same record serves for undo and redo.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "map/base/color.h"
#include "map/base/grid2d.h"
#include "map/document/map_edit_door.h"
#include "record/record_list.h"
#include "record/song_data_array.h"

struct TMapObject;

enum TMapEditUndoType : uint8_t {
  mutMapRefresh = 0,      // painting edit: copies of PixelLayers and Cells
  mutAddDoor = 1,         // door click on a cell edge: cell, edge kind, colour
  mutAddFreeDoor = 2,     // free door added: its two ends and its colour
  mutDeleteDoor = 3,      // replayed like mutAddDoor
  mutDeleteFreeDoor = 4,  // free doors deleted: the free-door list before the click
  mutObjects = 5,         // objects changed: the object list before the change
};

class TMapEditUndo : public TSongData {
 public:
  TMapEditUndo();
  ~TMapEditUndo() override;

  TMapEditUndoType AddType = mutMapRefresh;
  TPoint Point1;
  TPoint Point2;
  // mutAddDoor: the colour of the door (clNone for a door without fill);
  // mutAddFreeDoor: the colour of the free door.
  TColor DoorColor = 0;

  // Created on first access.
  TMapEditCustomDoorList& DeletedDoors();
  const TMapEditCustomDoorList* DeletedDoorsIfCreated() const { return FDeletedDoors.get(); }
  // nullptr frees the list; a list is copied into it.
  void SetDeletedDoors(const TMapEditCustomDoorList* Value);

  // mutObjects: the object list the record puts back (ids included); created on
  // first access. Not part of the stream form.
  std::vector<TMapObject>& Objects();
  const std::vector<TMapObject>* ObjectsIfCreated() const { return FObjects.get(); }

  TGrid2D<int32_t>& PixelSnapshot() { return FPixelSnapshot; }
  const TGrid2D<int32_t>& PixelSnapshot() const { return FPixelSnapshot; }
  TGrid2D<uint8_t>& CellSnapshot() { return FCellSnapshot; }
  const TGrid2D<uint8_t>& CellSnapshot() const { return FCellSnapshot; }

  int32_t IMGWidth() const { return FPixelSnapshot.Empty() ? 0 : FPixelSnapshot.Width(); }
  int32_t IMGHeight() const { return FPixelSnapshot.Empty() ? 0 : FPixelSnapshot.Height(); }
  int32_t Width() const { return FCellSnapshot.Empty() ? 0 : FCellSnapshot.Width(); }
  int32_t Height() const { return FCellSnapshot.Empty() ? 0 : FCellSnapshot.Height(); }

  // Sizes both grids, discarding their content.
  void SetSnapshotSize(int32_t CellWidth, int32_t CellHeight, int32_t PixelWidth,
                       int32_t PixelHeight);
  // Entry access without bounds checks.
  int32_t Pixel(int32_t X, int32_t Y) const { return FPixelSnapshot.At(X, Y); }
  void SetPixel(int32_t X, int32_t Y, int32_t Value) { FPixelSnapshot.At(X, Y) = Value; }
  uint8_t Cell(int32_t X, int32_t Y) const { return FCellSnapshot.At(X, Y); }
  void SetCell(int32_t X, int32_t Y, uint8_t Value) { FCellSnapshot.At(X, Y) = Value; }

  // Replaces every layer index of the pixel snapshot by Map(index); used when the
  // document's layers are renumbered after an insertion or a deletion.
  void MapLayerIndices(const std::function<int32_t(int32_t)>& Map);

  // Copies grids, kind, points, deleted doors, objects and colour into another
  // record.
  void AssignTo(TSongData* Dest) const override;
  // Kind (1 byte), Point1, Point2 (X then Y, 4 bytes each), the deleted-door list,
  // colour (4 bytes). The grids are not part of the stream form. An unknown kind
  // raises EConvertError, and so does mutObjects, whose objects the form lacks.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditUndo"; }

 private:
  TGrid2D<int32_t> FPixelSnapshot;
  TGrid2D<uint8_t> FCellSnapshot;
  std::unique_ptr<TMapEditCustomDoorList> FDeletedDoors;
  std::unique_ptr<std::vector<TMapObject>> FObjects;
};

// The undo records of the editor, oldest first.
class TMapEditUndoList : public TTypedSongDataArray<TMapEditUndo> {
 public:
  const char* ClassName() const override { return "TMapEditUndoList"; }

 protected:
  void AssignAttributes(TSongDataArray*) const override {}
};
