#pragma once
// TUndoHistory: the editor's bounded list of undo records and the position in it.
// Painting edits and door clicks are pushed just before they change the document,
// free-door additions and deletions just after. A painting record starts empty and
// keeps each cell the edit writes just before its first change (the history
// listens to the document's grid changes while the record is open); the next push,
// undo, redo or reset closes it. Undo applies the record at UndoIndex and moves
// down; redo moves up and applies; applying a record exchanges its state with the
// document's, so one operation serves both directions. Besides the number of
// records, the memory the records hold is bounded: past the cap the oldest go.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "map/document/grid_change_sink.h"
#include "map/undo/map_edit_undo.h"

class TMapEditLayerList;
class TMapObjectList;

enum class TUndoDirection { Undo, Redo };

class TUndoHistory : private TGridChangeSink {
 public:
  static constexpr int32_t DefaultUndoLimit = 100;
  static constexpr int64_t DefaultMemoryLimit = int64_t(512) << 20;

  TUndoHistory() = default;
  ~TUndoHistory() override;
  TUndoHistory(const TUndoHistory&) = delete;
  TUndoHistory& operator=(const TUndoHistory&) = delete;

  TMapEditUndoList& UndoList() { return FUndoList; }
  const TMapEditUndoList& UndoList() const { return FUndoList; }
  // Index of the record the next undo applies; -1 when every record is undone.
  int32_t UndoIndex() const { return FUndoIndex; }
  // Most records kept. A limit below 1 is kept as 1, so that there is always room
  // for the record being pushed.
  int32_t UndoLimit() const { return FUndoLimit; }
  void SetUndoLimit(int32_t Value);
  // Most bytes the records may hold; the newest record stays whatever its size.
  // A negative value is kept as 0.
  int64_t MemoryLimit() const { return FMemoryLimit; }
  void SetMemoryLimit(int64_t Bytes);
  // The bytes the records hold now.
  size_t MemoryBytes() const;

  // Empties the list and sets UndoIndex to 0 (a new or opened document).
  void Reset();

  // Records an edit. mutMapRefresh opens a record that keeps the cells of Doc the
  // edit changes, and ignores the points and the colour. mutAddDoor/mutDeleteDoor
  // keep the points and, when a door already lies on that edge (the click will
  // remove it), that door's own colour instead of DoorColor, so that undo brings it
  // back as it was. mutAddFreeDoor keeps the points and the colour of the free door
  // just added with those ends (DoorColor when there is none).
  void PushUndo(TMapEditLayerList& Doc, TMapEditUndoType AddType, TPoint Point1, TPoint Point2,
                TColor DoorColor);
  // Records a free-door deletion with the free-door list as it was before it.
  void PushFreeDoorUndo(const TMapEditCustomDoorList& Doors);
  // Records a layer change done just now: mutInsertLayer (Index is the new
  // layer), mutMoveLayer (from Index to To) or mutEditLayer (Previous is the layer
  // object Index replaced).
  void PushLayerUndo(TMapEditUndoType AddType, int32_t Index, int32_t To = 0,
                     std::unique_ptr<TMapEditLayer> Previous = nullptr);
  // Deletes floor layer Index of Doc as one undoable step: the layer object and the
  // cells that show it are kept.
  void DeleteLayer(TMapEditLayerList& Doc, int32_t Index);
  // Closes the open painting record, if any (it then holds what it holds).
  void CloseOpenRecord();
  // Records an object change (mutObjects) with the object list as it is before
  // it. Applying the record exchanges the lists and recomposes no cell: objects
  // are drawn over the composed map.
  void PushObjectUndo(const TMapObjectList& Objects);

  bool CanUndo() const { return FUndoList.Count() > 0 && FUndoIndex >= 0; }
  bool CanRedo() const { return FUndoList.Count() > 0 && FUndoIndex < FUndoList.Count() - 1; }

  // The one exchange operation behind Undo and Redo; ends with the document's
  // Refresh. Does nothing when the direction has nothing to apply.
  void ApplyUndo(TMapEditLayerList& Doc, TUndoDirection Direction);
  void Undo(TMapEditLayerList& Doc) { ApplyUndo(Doc, TUndoDirection::Undo); }
  void Redo(TMapEditLayerList& Doc) { ApplyUndo(Doc, TUndoDirection::Redo); }

  // Maps every layer index held by the records' kept cells through Map (for layer
  // changes made outside the history).
  void MapLayerIndices(const std::function<int32_t(int32_t)>& Map);

 private:
  void CellsChanging(int32_t CX0, int32_t CY0, int32_t CX1, int32_t CY1) override;
  // Closes the open record, drops the redo tail, then the oldest records until one
  // more fits, and appends a record of the kind.
  TMapEditUndo* Append(TMapEditUndoType AddType);
  // Drops one record: the oldest applied one, else the last of the redo tail.
  void DropOne();
  // Drops the oldest records while the memory cap is passed (the newest stays).
  void KeepWithinMemory();
  void ApplyRecord(TMapEditLayerList& Doc, TMapEditUndo& R, TUndoDirection Direction);

  TMapEditUndoList FUndoList;
  int32_t FUndoIndex = 0;
  int32_t FUndoLimit = DefaultUndoLimit;
  int64_t FMemoryLimit = DefaultMemoryLimit;
  // The painting record keeping cells, and the document it listens to.
  TMapEditUndo* FOpen = nullptr;
  TMapEditLayerList* FOpenDoc = nullptr;
};
