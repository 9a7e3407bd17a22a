// The door container's lists, lazily created members and stream form. Drawing the
// doors into the door bitmap lives in map_door_draw.cpp.

#include "map/document/map_edit_door_list.h"

TCustomMapEditDoorList::TCustomMapEditDoorList(TMapEditLayerList* Owner) : FOwner(Owner) {}

TCustomMapEditDoorList::~TCustomMapEditDoorList() = default;

TBitmap32& TCustomMapEditDoorList::Bitmap() {
  FCoverage.Invalidate();
  return DrawingBitmap();
}

TBitmap32& TCustomMapEditDoorList::DrawingBitmap() {
  if (!FBitmap) {
    auto bitmap = std::make_unique<TBitmap32>();
    bitmap->DrawMode = dmCustom;
    bitmap->OnPixelCombine = DoorPixelCombine;
    bitmap->OuterColor = 0;
    FBitmap = std::move(bitmap);
  }
  return *FBitmap;
}

TMapEditCustomDoorList& TCustomMapEditDoorList::FreeDoor() {
  if (!FFreeDoor) FFreeDoor = std::make_unique<TMapEditCustomDoorList>();
  return *FFreeDoor;
}

void TCustomMapEditDoorList::SetFreeDoor(const TMapEditCustomDoorList* Value) {
  if (Value == nullptr) return;
  FreeDoor().Assign(Value);
}

bool TCustomMapEditDoorList::HasDoors() const { return FFreeDoor && FFreeDoor->Count() > 0; }

void TCustomMapEditDoorList::AssignTo(TSongData* Dest) const {
  // Containers are never copied; their lists are.
  RefuseAssign(Dest);
}

void TCustomMapEditDoorList::LoadFromStream(TStream& Stream) { FreeDoor().LoadFromStream(Stream); }

void TCustomMapEditDoorList::SaveToStream(TStream& Stream) const {
  if (FFreeDoor) {
    FFreeDoor->SaveToStream(Stream);
  } else {
    const int32_t none = 0;  // a list not created yet is written as an empty one
    Stream.WriteRaw(none);
  }
}

TMapEditDoorList::TMapEditDoorList(TMapEditLayerList* Owner) : TCustomMapEditDoorList(Owner) {}

TMapEditDoorList::~TMapEditDoorList() {
  FHorzDoor.reset();
  FVertDoor.reset();
}

TMapEditHorzDoorList& TMapEditDoorList::HorzDoor() {
  if (!FHorzDoor) FHorzDoor = std::make_unique<TMapEditHorzDoorList>();
  return *FHorzDoor;
}

TMapEditVertDoorList& TMapEditDoorList::VertDoor() {
  if (!FVertDoor) FVertDoor = std::make_unique<TMapEditVertDoorList>();
  return *FVertDoor;
}

bool TMapEditDoorList::HasDoors() const {
  const int32_t horz = FHorzDoor ? FHorzDoor->Count() : 0;
  const int32_t vert = FVertDoor ? FVertDoor->Count() : 0;
  return horz + vert > 0 || TCustomMapEditDoorList::HasDoors();
}

void TMapEditDoorList::LoadFromStream(TStream& Stream) {
  HorzDoor().LoadFromStream(Stream);
  VertDoor().LoadFromStream(Stream);
  TCustomMapEditDoorList::LoadFromStream(Stream);
}

void TMapEditDoorList::SaveToStream(TStream& Stream) const {
  const int32_t none = 0;
  if (FHorzDoor) {
    FHorzDoor->SaveToStream(Stream);
  } else {
    Stream.WriteRaw(none);
  }
  if (FVertDoor) {
    FVertDoor->SaveToStream(Stream);
  } else {
    Stream.WriteRaw(none);
  }
  TCustomMapEditDoorList::SaveToStream(Stream);
}
