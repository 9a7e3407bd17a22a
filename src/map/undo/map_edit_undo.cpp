#include "map/undo/map_edit_undo.h"

#include "map/objects/map_object.h"
#include "record/errors.h"

TMapEditUndo::TMapEditUndo() = default;
TMapEditUndo::~TMapEditUndo() = default;

TMapEditCustomDoorList& TMapEditUndo::DeletedDoors() {
  if (!FDeletedDoors) FDeletedDoors = std::make_unique<TMapEditCustomDoorList>();
  return *FDeletedDoors;
}

std::vector<TMapObject>& TMapEditUndo::Objects() {
  if (!FObjects) FObjects = std::make_unique<std::vector<TMapObject>>();
  return *FObjects;
}

void TMapEditUndo::SetDeletedDoors(const TMapEditCustomDoorList* Value) {
  if (!Value) {
    FDeletedDoors.reset();
    return;
  }
  if (Value == FDeletedDoors.get()) return;
  DeletedDoors().Assign(Value);
}

void TMapEditUndo::SetSnapshotSize(int32_t CellWidth, int32_t CellHeight, int32_t PixelWidth,
                                   int32_t PixelHeight) {
  FCellSnapshot.Reset(CellWidth, CellHeight);
  FPixelSnapshot.Reset(PixelWidth, PixelHeight);
}

void TMapEditUndo::MapLayerIndices(const std::function<int32_t(int32_t)>& Map) {
  int32_t* p = FPixelSnapshot.Data();
  const size_t n = size_t(FPixelSnapshot.Width()) * size_t(FPixelSnapshot.Height());
  for (size_t i = 0; i < n; ++i) p[i] = Map(p[i]);
}

void TMapEditUndo::AssignTo(TSongData* Dest) const {
  auto* d = dynamic_cast<TMapEditUndo*>(Dest);
  if (!d) {
    TSongData::AssignTo(Dest);
    return;
  }
  if (d == this) return;
  d->FPixelSnapshot = FPixelSnapshot;
  d->FCellSnapshot = FCellSnapshot;
  d->AddType = AddType;
  d->Point1 = Point1;
  d->Point2 = Point2;
  d->SetDeletedDoors(FDeletedDoors.get());
  if (FObjects)
    d->Objects() = *FObjects;
  else
    d->FObjects.reset();
  d->DoorColor = DoorColor;
}

void TMapEditUndo::LoadFromStream(TStream& Stream) {
  uint8_t kind = 0;
  Stream.ReadRaw(kind);
  if (kind > mutDeleteFreeDoor)
    throw EConvertError("Unknown undo record kind " + std::to_string(int(kind)));
  AddType = TMapEditUndoType(kind);
  Stream.ReadRaw(Point1.X);
  Stream.ReadRaw(Point1.Y);
  Stream.ReadRaw(Point2.X);
  Stream.ReadRaw(Point2.Y);
  DeletedDoors().LoadFromStream(Stream);
  Stream.ReadRaw(DoorColor);
}

void TMapEditUndo::SaveToStream(TStream& Stream) const {
  Stream.WriteRaw(uint8_t(AddType));
  Stream.WriteRaw(Point1.X);
  Stream.WriteRaw(Point1.Y);
  Stream.WriteRaw(Point2.X);
  Stream.WriteRaw(Point2.Y);
  if (FDeletedDoors) {
    FDeletedDoors->SaveToStream(Stream);
  } else {
    // An absent list has the stream form of an empty one.
    Stream.WriteRaw(int32_t(0));
  }
  Stream.WriteRaw(DoorColor);
}
