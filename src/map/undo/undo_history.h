#pragma once
// TUndoHistory: the editor's bounded list of undo records and the position in it.
// Painting edits and door clicks are pushed just before they change the document,
// free-door additions and deletions just after. Undo applies the record at
// UndoIndex and moves down; redo moves up and applies; applying a record exchanges
// its state with the document's, so one operation serves both directions.

#include <cstdint>
#include <functional>

#include "map/undo/map_edit_undo.h"

class TMapEditLayerList;
class TMapObjectList;

enum class TUndoDirection { Undo, Redo };

class TUndoHistory {
 public:
  static constexpr int32_t DefaultUndoLimit = 4;

  TMapEditUndoList& UndoList() { return FUndoList; }
  const TMapEditUndoList& UndoList() const { return FUndoList; }
  // Index of the record the next undo applies; -1 when every record is undone.
  int32_t UndoIndex() const { return FUndoIndex; }
  // Most records kept. A limit below 1 is kept as 1, so that there is always room
  // for the record being pushed.
  int32_t UndoLimit() const { return FUndoLimit; }
  void SetUndoLimit(int32_t Value) { FUndoLimit = Value < 1 ? 1 : Value; }

  // Empties the list and sets UndoIndex to 0 (a new or opened document).
  void Reset();

  // Records an edit. mutMapRefresh copies the document's grids and ignores the
  // points and the colour. mutAddDoor/mutDeleteDoor keep the points and, when a
  // door already lies on that edge (the click will remove it), that door's own
  // colour instead of DoorColor, so that undo brings it back as it was.
  // mutAddFreeDoor keeps the points and the colour of the free door just added
  // with those ends (DoorColor when there is none).
  void PushUndo(TMapEditLayerList& Doc, TMapEditUndoType AddType, TPoint Point1, TPoint Point2,
                TColor DoorColor);
  // Records a free-door deletion with the free-door list as it was before it.
  void PushFreeDoorUndo(const TMapEditCustomDoorList& Doors);
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

  // Maps every layer index held by the records' snapshots through Map (for layer
  // insertion and deletion).
  void MapLayerIndices(const std::function<int32_t(int32_t)>& Map);

 private:
  // Drops the redo tail, then the oldest records until one more fits. With
  // SparePixels given, the snapshot storage of a dropped painting record is moved
  // into SparePixels and SpareCells for reuse.
  void MakeRoom(TGrid2D<int32_t>* SparePixels, TGrid2D<uint8_t>* SpareCells);
  void ApplyRecord(TMapEditLayerList& Doc, TMapEditUndo& R, TUndoDirection Direction);

  TMapEditUndoList FUndoList;
  int32_t FUndoIndex = 0;
  int32_t FUndoLimit = DefaultUndoLimit;
};
