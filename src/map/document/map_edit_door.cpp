#include "map/document/map_edit_door.h"

// --- door records ---

void TMapEditDoor::AssignTo(TSongData* Dest) const {
  auto* door = dynamic_cast<TMapEditDoor*>(Dest);
  if (door == nullptr) {
    TSongData::AssignTo(Dest);
    return;
  }
  door->X = X;
  door->Y = Y;
  door->Color = Color;
}

void TMapEditDoor::LoadFromStream(TStream& Stream) {
  Stream.ReadRaw(X);
  Stream.ReadRaw(Y);
  Stream.ReadRaw(Color);
}

void TMapEditDoor::SaveToStream(TStream& Stream) const {
  Stream.WriteRaw(X);
  Stream.WriteRaw(Y);
  Stream.WriteRaw(Color);
}

void TMapEditHorzDoor::AssignTo(TSongData* Dest) const {
  TMapEditDoor::AssignTo(Dest);
  if (auto* door = dynamic_cast<TMapEditHorzDoor*>(Dest)) door->Width = Width;
}

void TMapEditHorzDoor::LoadFromStream(TStream& Stream) {
  TMapEditDoor::LoadFromStream(Stream);
  Stream.ReadRaw(Width);
}

void TMapEditHorzDoor::SaveToStream(TStream& Stream) const {
  TMapEditDoor::SaveToStream(Stream);
  Stream.WriteRaw(Width);
}

void TMapEditVertDoor::AssignTo(TSongData* Dest) const {
  TMapEditDoor::AssignTo(Dest);
  if (auto* door = dynamic_cast<TMapEditVertDoor*>(Dest)) door->Height = Height;
}

void TMapEditVertDoor::LoadFromStream(TStream& Stream) {
  TMapEditDoor::LoadFromStream(Stream);
  Stream.ReadRaw(Height);
}

void TMapEditVertDoor::SaveToStream(TStream& Stream) const {
  TMapEditDoor::SaveToStream(Stream);
  Stream.WriteRaw(Height);
}

void TMapEditCustomDoor::AssignTo(TSongData* Dest) const {
  TMapEditDoor::AssignTo(Dest);
  if (auto* door = dynamic_cast<TMapEditCustomDoor*>(Dest)) {
    door->X2 = X2;
    door->Y2 = Y2;
  }
}

void TMapEditCustomDoor::LoadFromStream(TStream& Stream) {
  TMapEditDoor::LoadFromStream(Stream);
  Stream.ReadRaw(X2);
  Stream.ReadRaw(Y2);
}

void TMapEditCustomDoor::SaveToStream(TStream& Stream) const {
  TMapEditDoor::SaveToStream(Stream);
  Stream.WriteRaw(X2);
  Stream.WriteRaw(Y2);
}

// --- ordering ---

namespace {

// The sign of A - B. The difference is taken in 64 bits: a 32-bit difference wraps
// for coordinates far apart and would put such doors out of order (and make the
// binary search miss them).
int Difference(int32_t A, int32_t B) {
  const int64_t d = int64_t(A) - int64_t(B);
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

const TMapEditDoor* AsDoor(const TSongData* D) { return static_cast<const TMapEditDoor*>(D); }

// Binary search for the lowest position whose door compares equal to Key, or the
// position where Key would be inserted. After a hit the search goes on below it
// (rather than stopping at the first equal door it meets), so that among several
// equal doors the lowest is reported.
bool FindDoor(const TSongDataArray& List, const TMapEditDoor& Key, TSongDataArray::TCompare Compare,
              int32_t& Index) {
  int32_t l = 0, h = List.Count() - 1;
  bool found = false;
  while (l <= h) {
    const int32_t i = int32_t((uint32_t(l) + uint32_t(h)) >> 1);
    const int c = Compare(List.Items(i), &Key);
    if (c < 0) {
      l = i + 1;
    } else {
      h = i - 1;
      if (c == 0) found = true;
    }
  }
  Index = l;
  return found;
}

}  // namespace

int CompareHorzDoors(const TSongData* A, const TSongData* B) {
  const TMapEditDoor* a = AsDoor(A);
  const TMapEditDoor* b = AsDoor(B);
  if (a->Y != b->Y) return Difference(a->Y, b->Y);
  return Difference(a->X, b->X);
}

int CompareVertDoors(const TSongData* A, const TSongData* B) {
  const TMapEditDoor* a = AsDoor(A);
  const TMapEditDoor* b = AsDoor(B);
  if (a->X != b->X) return Difference(a->X, b->X);
  return Difference(a->Y, b->Y);
}

bool TMapEditHorzDoorList::Find(int32_t X, int32_t Y, int32_t& Index) const {
  TMapEditHorzDoor key;
  key.X = X;
  key.Y = Y;
  return FindDoor(*this, key, CompareHorzDoors, Index);
}

bool TMapEditVertDoorList::Find(int32_t X, int32_t Y, int32_t& Index) const {
  TMapEditVertDoor key;
  key.X = X;
  key.Y = Y;
  return FindDoor(*this, key, CompareVertDoors, Index);
}
