#include "map/undo/undo_history.h"

#include <algorithm>
#include <string>
#include <utility>

#include "map/document/layer_renumber.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_object_list.h"
#include "record/errors.h"

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

}  // namespace

TUndoHistory::~TUndoHistory() { CloseOpenRecord(); }

void TUndoHistory::SetUndoLimit(int32_t Value) {
  FUndoLimit = Value < 1 ? 1 : Value;
  // A lower limit takes effect at once, oldest records first.
  CloseOpenRecord();
  while (FUndoList.Count() > FUndoLimit) DropOne();
}

void TUndoHistory::DropOne() {
  // The oldest applied record goes; with every record undone, the newest of the
  // redo tail does, so that redo still replays in order.
  if (FUndoIndex >= 0) {
    FUndoList.Delete(0);
    --FUndoIndex;
  } else {
    FUndoList.Delete(FUndoList.Count() - 1);
  }
}

void TUndoHistory::SetMemoryLimit(int64_t Bytes) {
  FMemoryLimit = Bytes < 0 ? 0 : Bytes;
  CloseOpenRecord();
  KeepWithinMemory();
}

size_t TUndoHistory::MemoryBytes() const {
  size_t n = 0;
  for (int32_t i = 0; i < FUndoList.Count(); ++i) n += FUndoList.Items(i)->MemoryBytes();
  return n;
}

void TUndoHistory::Reset() {
  CloseOpenRecord();
  FUndoList.Clear();
  FUndoIndex = 0;
}

void TUndoHistory::CloseOpenRecord() {
  if (!FOpen) return;
  if (FOpenDoc->ChangeSink() == this) FOpenDoc->SetChangeSink(nullptr);
  FOpen->Blocks().Finish();
  FOpen = nullptr;
  FOpenDoc = nullptr;
  KeepWithinMemory();
}

void TUndoHistory::CellsChanging(int32_t CX0, int32_t CY0, int32_t CX1, int32_t CY1) {
  if (FOpen) FOpen->Blocks().Keep(FOpenDoc->PixelGrid(), FOpenDoc->CellGrid(), CX0, CY0, CX1, CY1);
}

void TUndoHistory::KeepWithinMemory() {
  // The open record grows while its edit goes on; it is counted once closed.
  if (FOpen) return;
  size_t total = MemoryBytes();
  while (FUndoList.Count() > 1 && total > size_t(FMemoryLimit)) {
    total -= FUndoList.Items(FUndoIndex >= 0 ? 0 : FUndoList.Count() - 1)->MemoryBytes();
    DropOne();
  }
}

TMapEditUndo* TUndoHistory::Append(TMapEditUndoType AddType) {
  CloseOpenRecord();
  while (FUndoList.Count() - 1 > FUndoIndex) FUndoList.Delete(FUndoList.Count() - 1);
  const int32_t limit = std::max(FUndoLimit, 1);
  while (FUndoList.Count() >= limit) FUndoList.Delete(0);
  TMapEditUndo* r = FUndoList.Add();
  r->AddType = AddType;
  FUndoIndex = FUndoList.Count() - 1;
  return r;
}

void TUndoHistory::PushUndo(TMapEditLayerList& Doc, TMapEditUndoType AddType, TPoint Point1,
                            TPoint Point2, TColor DoorColor) {
  TMapEditUndo* r = Append(AddType);
  switch (AddType) {
    case mutMapRefresh:
      r->Blocks().Begin(Doc.Width(), Doc.Height(), Doc.ChipSize());
      FOpen = r;
      FOpenDoc = &Doc;
      Doc.SetChangeSink(this);
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
    case mutObjects:
      r->Objects() = Doc.Objects().Items();
      break;
    default:
      r->Point1 = Point1;
      r->Point2 = Point2;
      r->DoorColor = DoorColor;
      break;
  }
}

void TUndoHistory::PushObjectUndo(const TMapObjectList& Objects) {
  TMapEditUndo* r = Append(mutObjects);
  r->Objects() = Objects.Items();
  KeepWithinMemory();
}

void TUndoHistory::PushFreeDoorUndo(const TMapEditCustomDoorList& Doors) {
  TMapEditUndo* r = Append(mutDeleteFreeDoor);
  r->DeletedDoors().Assign(&Doors);
}

void TUndoHistory::PushLayerUndo(TMapEditUndoType AddType, int32_t Index, int32_t To,
                                 std::unique_ptr<TMapEditLayer> Previous) {
  TMapEditUndo* r = Append(AddType);
  r->Point1 = TPoint{Index, To};
  r->KeptLayer = std::move(Previous);
  KeepWithinMemory();
}

void TUndoHistory::DeleteLayer(TMapEditLayerList& Doc, int32_t Index) {
  if (Index < 1 || Index >= Doc.Count())
    throw EListError("Layer index " + std::to_string(Index) + " is out of range");
  TMapEditUndo* r = Append(mutDeleteLayer);
  r->Point1 = TPoint{Index, 0};
  // The cells holding a pixel of the layer, as they are before it goes.
  TCellBlocks<TPixelIndex>& blocks = r->Blocks();
  const int32_t cs = Doc.ChipSize();
  blocks.Begin(Doc.Width(), Doc.Height(), cs);
  const auto& pixels = Doc.PixelGrid();
  for (int32_t cy = 0; cy < Doc.Height(); ++cy)
    for (int32_t cx = 0; cx < Doc.Width(); ++cx) {
      bool holds = false;
      for (int32_t py = 0; py < cs && !holds; ++py) {
        const auto* row = pixels.Row(cy * cs + py) + size_t(cx) * size_t(cs);
        holds = std::find(row, row + cs, Index) != row + cs;
      }
      if (holds) blocks.Keep(pixels, Doc.CellGrid(), cx, cy, cx, cy);
    }
  blocks.Finish();
  r->KeptLayer = TakeLayerRenumbered(Doc, Index);
  KeepWithinMemory();
}

void TUndoHistory::ApplyUndo(TMapEditLayerList& Doc, TUndoDirection Direction) {
  if (Direction == TUndoDirection::Redo) {
    if (!CanRedo()) return;
    ++FUndoIndex;
  } else if (!CanUndo()) {
    return;
  }
  CloseOpenRecord();
  TMapEditUndo& record = *FUndoList.Items(FUndoIndex);
  ApplyRecord(Doc, record, Direction);
  if (Direction == TUndoDirection::Undo) --FUndoIndex;
  // Objects lie over the composed cells, which an object change leaves as they are.
  if (record.AddType == mutObjects) return;
  // Doors vanish near walls: the grids put back decide how they look again.
  if (Doc.DoorsIfCreated()) Doc.Doors().RebuildDoorBitmap();
  Doc.Refresh();
}

void TUndoHistory::ApplyRecord(TMapEditLayerList& Doc, TMapEditUndo& R, TUndoDirection Direction) {
  switch (R.AddType) {
    case mutMapRefresh:
      R.Blocks().Exchange(Doc.PixelGrid(), Doc.CellGrid());
      break;
    case mutInsertLayer:
      if (Direction == TUndoDirection::Undo)
        R.KeptLayer = TakeLayerRenumbered(Doc, R.Point1.X);
      else if (R.KeptLayer)
        PutLayerRenumbered(Doc, R.Point1.X, std::move(R.KeptLayer));
      break;
    case mutDeleteLayer:
      if (Direction == TUndoDirection::Redo) {
        R.KeptLayer = TakeLayerRenumbered(Doc, R.Point1.X);
      } else if (R.KeptLayer) {
        PutLayerRenumbered(Doc, R.Point1.X, std::move(R.KeptLayer));
        R.Blocks().Restore(Doc.PixelGrid(), Doc.CellGrid());
      }
      break;
    case mutEditLayer:
      if (R.KeptLayer) R.KeptLayer = Doc.SwapLayer(R.Point1.X, std::move(R.KeptLayer));
      break;
    case mutMoveLayer:
      if (Direction == TUndoDirection::Undo)
        MoveLayerRenumbered(Doc, R.Point1.Y, R.Point1.X);
      else
        MoveLayerRenumbered(Doc, R.Point1.X, R.Point1.Y);
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
    if (r->AddType == mutMapRefresh || r->AddType == mutDeleteLayer) r->MapLayerIndices(Map);
  }
}
