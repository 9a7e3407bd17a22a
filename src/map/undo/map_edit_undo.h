#pragma once
// Undo records. A record holds the state that undoing (or redoing) an edit puts
// back: the former content of the cells a painting edit touched, the edge of a
// door click, the ends of an added free door, the free-door list before a
// deletion, or what a layer change needs to be taken back. Applying a record
// exchanges that state with the document's, so the same record serves for undo
// and redo.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "map/base/color.h"
#include "map/document/map_edit_door.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/undo/cell_blocks.h"
#include "record/record_list.h"
#include "record/song_data_array.h"

struct TMapObject;

// The element type of the document's pixel-to-layer grid.
using TPixelIndex = typename std::remove_cvref_t<
    decltype(std::declval<const TMapEditLayerList&>().PixelGrid())>::value_type;

enum TMapEditUndoType : uint8_t {
  mutMapRefresh = 0,      // painting edit: the touched cells of PixelLayers and Cells
  mutAddDoor = 1,         // door click on a cell edge: cell, edge kind, colour
  mutAddFreeDoor = 2,     // free door added: its two ends and its colour
  mutDeleteDoor = 3,      // replayed like mutAddDoor
  mutDeleteFreeDoor = 4,  // free doors deleted: the free-door list before the click
  mutObjects = 5,         // objects changed: the object list before the change
  mutInsertLayer = 6,     // layer inserted at Point1.X; KeptLayer holds it while undone
  mutDeleteLayer = 7,     // layer Point1.X deleted: KeptLayer, and the cells that showed it
  mutEditLayer = 8,       // layer Point1.X changed: KeptLayer is the layer it replaced
  mutMoveLayer = 9,       // layer moved from Point1.X to Point1.Y
};
// The highest kind the stream form accepts.
constexpr uint8_t kLastUndoType = mutMoveLayer;

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
  // Layer records: the layer object (image included) that is out of the document
  // while the record is in its present direction.
  std::unique_ptr<TMapEditLayer> KeptLayer;

  // Created on first access.
  TMapEditCustomDoorList& DeletedDoors();
  const TMapEditCustomDoorList* DeletedDoorsIfCreated() const { return FDeletedDoors.get(); }
  // nullptr frees the list; a list is copied into it.
  void SetDeletedDoors(const TMapEditCustomDoorList* Value);

  // mutObjects: the object list the record puts back (ids included); created on
  // first access. Not part of the stream form.
  std::vector<TMapObject>& Objects();
  const std::vector<TMapObject>* ObjectsIfCreated() const { return FObjects.get(); }

  // The kept cells of a painting edit (and of a deleted layer).
  TCellBlocks<TPixelIndex>& Blocks() { return FBlocks; }
  const TCellBlocks<TPixelIndex>& Blocks() const { return FBlocks; }

  // Replaces every layer index of the kept cells by Map(index); used when the
  // document's layers are renumbered outside the history.
  void MapLayerIndices(const std::function<int32_t(int32_t)>& Map);

  // Roughly the bytes the record holds.
  size_t MemoryBytes() const;

  // Copies kept cells, kind, points, kept layer, deleted doors, objects and
  // colour into another record.
  void AssignTo(TSongData* Dest) const override;
  // Kind (1 byte), Point1, Point2 (X then Y, 4 bytes each), the deleted-door list,
  // colour (4 bytes). The kept cells and the layer are not part of the stream form.
  // An unknown kind raises EConvertError, and so does mutObjects, whose
  // objects the form lacks.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditUndo"; }

 private:
  TCellBlocks<TPixelIndex> FBlocks;
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
