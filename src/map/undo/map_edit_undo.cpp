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

void TMapEditUndo::MapLayerIndices(const std::function<int32_t(int32_t)>& Map) {
  FBlocks.MapValues([&Map](TPixelIndex V) { return TPixelIndex(Map(int32_t(V))); });
}

size_t TMapEditUndo::MemoryBytes() const {
  size_t n = sizeof(*this) + FBlocks.MemoryBytes();
  if (KeptLayer)
    n += sizeof(TMapEditLayer) +
         size_t(KeptLayer->BMP().Width()) * size_t(KeptLayer->BMP().Height()) * sizeof(TColor32);
  if (FDeletedDoors) n += size_t(FDeletedDoors->Count()) * (sizeof(TMapEditCustomDoor) + 16);
  // Objects are small; their data is counted by a rough allowance.
  if (FObjects) n += FObjects->capacity() * (sizeof(TMapObject) + 256);
  return n;
}

void TMapEditUndo::AssignTo(TSongData* Dest) const {
  auto* d = dynamic_cast<TMapEditUndo*>(Dest);
  if (!d) {
    TSongData::AssignTo(Dest);
    return;
  }
  if (d == this) return;
  d->FBlocks = FBlocks;
  d->KeptLayer.reset();
  if (KeptLayer) {
    // The copy takes the image as it is, not rebuilt from the source.
    d->KeptLayer = std::make_unique<TMapEditLayer>(KeptLayer->Owner());
    d->KeptLayer->LayerName = KeptLayer->LayerName;
    d->KeptLayer->LayerType = KeptLayer->LayerType;
    d->KeptLayer->TextureState = KeptLayer->TextureState;
    d->KeptLayer->SetFileNameOnly(KeptLayer->FileName());
    d->KeptLayer->SetBMP(KeptLayer->BMP());
  }
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
  if (kind > kLastUndoType || kind == mutObjects)
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
