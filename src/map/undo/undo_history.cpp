#include "map/undo/undo_history.h"

#include <algorithm>
#include <utility>

#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_object_list.h"

namespace {

// The platform colour that recreates a door of colour C through ToggleDoor.
TColor EdgeDoorPlatformColor(TColor32 C) { return C == 0 ? clNone : ColorToPlatform(C); }

// Index of the last free door with these ends, or -1.
int32_t FindFreeDoor(const TMapEditCustomDoorList& List, TPoint P1, TPoint P2) {
  for (int32_t i = List.Count() - 1; i >= 0; --i) {
    const TMapEditCustomDoor* d = List.Items(i);
    if (d->X == P1.X && d->Y == P1.Y && d->X2 == P2.X && d->Y2 == P2.Y) return i;
  }
  return -1;
}

// The colour of the edge door at (X, Y), if there is one.
bool FindEdgeDoorColor(TMapEditLayerList& Doc, int32_t X, int32_t Y, bool Horizontal,
                       TColor& Color) {
  int32_t index = 0;
  if (Horizontal) {
    TMapEditHorzDoorList& list = Doc.Doors().HorzDoor();
    if (!list.Find(X, Y, index)) return false;
    Color = EdgeDoorPlatformColor(list.Items(index)->Color);
  } else {
    TMapEditVertDoorList& list = Doc.Doors().VertDoor();
    if (!list.Find(X, Y, index)) return false;
    Color = EdgeDoorPlatformColor(list.Items(index)->Color);
  }
  return true;
}

// Exchanges the overlapping entries of two grids; whole storage when sizes agree.
template <typename T>
void ExchangeGrids(TGrid2D<T>& A, TGrid2D<T>& B) {
  if (A.Width() == B.Width() && A.Height() == B.Height()) {
    std::swap(A, B);
    return;
  }
  // Sizes only differ when the document was resized without a reset; exchange what
  // both hold and never write outside either grid.
  const int32_t w = std::min(A.Width(), B.Width()), h = std::min(A.Height(), B.Height());
  for (int32_t y = 0; y < h; ++y) std::swap_ranges(A.Row(y), A.Row(y) + w, B.Row(y));
}

}  // namespace

void TUndoHistory::Reset() {
  FUndoList.Clear();
  FUndoIndex = 0;
}

void TUndoHistory::MakeRoom(TGrid2D<int32_t>* SparePixels, TGrid2D<uint8_t>* SpareCells) {
  // The storage of a dropped painting record is handed back, so that the next
  // snapshot can be copied into memory that is already mapped.
  auto drop = [&](int32_t Index) {
    TMapEditUndo* r = FUndoList.Items(Index);
    if (SparePixels && !r->PixelSnapshot().Empty()) {
      *SparePixels = std::move(r->PixelSnapshot());
      *SpareCells = std::move(r->CellSnapshot());
    }
    FUndoList.Delete(Index);
  };
  while (FUndoList.Count() - 1 > FUndoIndex) drop(FUndoList.Count() - 1);
  const int32_t limit = std::max(FUndoLimit, 1);
  while (FUndoList.Count() >= limit) drop(0);
}

void TUndoHistory::PushUndo(TMapEditLayerList& Doc, TMapEditUndoType AddType, TPoint Point1,
                            TPoint Point2, TColor DoorColor) {
  TGrid2D<int32_t> sparePixels;
  TGrid2D<uint8_t> spareCells;
  MakeRoom(AddType == mutMapRefresh ? &sparePixels : nullptr, &spareCells);
  TMapEditUndo* r = FUndoList.Add();
  r->AddType = AddType;
  switch (AddType) {
    case mutMapRefresh:
      r->PixelSnapshot() = std::move(sparePixels);
      r->PixelSnapshot() = Doc.PixelGrid();
      r->CellSnapshot() = std::move(spareCells);
      r->CellSnapshot() = Doc.CellGrid();
      r->Point1 = TPoint{};
      r->Point2 = TPoint{};
      break;
    case mutAddDoor:
    case mutDeleteDoor:
      r->Point1 = Point1;
      r->Point2 = Point2;
      r->DoorColor = DoorColor;
      // A click on an existing door removes it: keep that door's colour for undo.
      FindEdgeDoorColor(Doc, Point1.X, Point1.Y, Point2.X == 1, r->DoorColor);
      break;
    case mutAddFreeDoor: {
      r->Point1 = Point1;
      r->Point2 = Point2;
      r->DoorColor = DoorColor;
      const TMapEditCustomDoorList& free = Doc.Doors().FreeDoor();
      const int32_t i = FindFreeDoor(free, Point1, Point2);
      if (i >= 0) r->DoorColor = ColorToPlatform(free.Items(i)->Color);
      break;
    }
    case mutDeleteFreeDoor:
      r->Point1 = Point1;
      r->Point2 = Point2;
      r->DoorColor = DoorColor;
      break;
    case mutObjects:
      r->Objects() = Doc.Objects().Items();
      break;
  }
  FUndoIndex = FUndoList.Count() - 1;
}

void TUndoHistory::PushObjectUndo(const TMapObjectList& Objects) {
  MakeRoom(nullptr, nullptr);
  TMapEditUndo* r = FUndoList.Add();
  r->AddType = mutObjects;
  r->Objects() = Objects.Items();
  FUndoIndex = FUndoList.Count() - 1;
}

void TUndoHistory::PushFreeDoorUndo(const TMapEditCustomDoorList& Doors) {
  MakeRoom(nullptr, nullptr);
  TMapEditUndo* r = FUndoList.Add();
  r->AddType = mutDeleteFreeDoor;
  r->DeletedDoors().Assign(&Doors);
  FUndoIndex = FUndoList.Count() - 1;
}

void TUndoHistory::ApplyUndo(TMapEditLayerList& Doc, TUndoDirection Direction) {
  if (Direction == TUndoDirection::Redo) {
    if (!CanRedo()) return;
    ++FUndoIndex;
  } else if (!CanUndo()) {
    return;
  }
  TMapEditUndo& record = *FUndoList.Items(FUndoIndex);
  ApplyRecord(Doc, record, Direction);
  if (Direction == TUndoDirection::Undo) --FUndoIndex;
  // Objects lie over the composed cells, which an object change leaves as they are.
  if (record.AddType != mutObjects) Doc.Refresh();
}

void TUndoHistory::ApplyRecord(TMapEditLayerList& Doc, TMapEditUndo& R, TUndoDirection Direction) {
  switch (R.AddType) {
    case mutMapRefresh:
      ExchangeGrids(Doc.PixelGrid(), R.PixelSnapshot());
      ExchangeGrids(Doc.CellGrid(), R.CellSnapshot());
      break;
    case mutAddDoor:
    case mutDeleteDoor: {
      const bool horizontal = R.Point2.X == 1;
      // When the toggle removes a door, remember its colour for the way back.
      FindEdgeDoorColor(Doc, R.Point1.X, R.Point1.Y, horizontal, R.DoorColor);
      Doc.ToggleDoor(R.Point1.X, R.Point1.Y, horizontal, R.DoorColor);
      Doc.Doors().RebuildDoorBitmap();
      break;
    }
    case mutDeleteFreeDoor: {
      TMapEditCustomDoorList& free = Doc.Doors().FreeDoor();
      TMapEditCustomDoorList held;
      held.Assign(&R.DeletedDoors());
      R.DeletedDoors().Assign(&free);
      free.Assign(&held);
      Doc.Doors().RebuildDoorBitmap();
      break;
    }
    case mutObjects:
      Doc.Objects().Exchange(R.Objects());
      break;
    case mutAddFreeDoor: {
      TMapEditCustomDoorList& free = Doc.Doors().FreeDoor();
      if (Direction == TUndoDirection::Undo) {
        const int32_t i = FindFreeDoor(free, R.Point1, R.Point2);
        if (i >= 0) {
          R.DoorColor = ColorToPlatform(free.Items(i)->Color);
          free.Delete(i);
        }
      } else {
        TMapEditCustomDoor* d = free.Add();
        d->X = R.Point1.X;
        d->Y = R.Point1.Y;
        d->X2 = R.Point2.X;
        d->Y2 = R.Point2.Y;
        d->Color = ColorFromPlatform(R.DoorColor);
      }
      Doc.Doors().RebuildDoorBitmap();
      break;
    }
  }
}

void TUndoHistory::MapLayerIndices(const std::function<int32_t(int32_t)>& Map) {
  for (int32_t i = 0; i < FUndoList.Count(); ++i) {
    TMapEditUndo* r = FUndoList.Items(i);
    if (r->AddType == mutMapRefresh) r->MapLayerIndices(Map);
  }
}
