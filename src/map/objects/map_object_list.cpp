#include "map/objects/map_object_list.h"

#include <algorithm>
#include <string>
#include <utility>

#include "map/objects/map_object_error.h"

int64_t TMapObjectList::IndexOf(uint64_t Id) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Id == Id) return int64_t(i);
  return -1;
}

const TMapObject* TMapObjectList::Find(uint64_t Id) const {
  const int64_t i = IndexOf(Id);
  return i < 0 ? nullptr : &FItems[size_t(i)];
}

uint64_t TMapObjectList::Add(TMapObject Obj) {
  Obj.Id = FNextId++;
  FItems.push_back(std::move(Obj));
  return FItems.back().Id;
}

void TMapObjectList::Replace(uint64_t Id, TMapObject Obj) {
  const int64_t i = IndexOf(Id);
  if (i < 0) throw EMapObjectError("There is no object " + std::to_string(Id));
  Obj.Id = Id;
  // An object given again without its file line keeps the old one, which is
  // written back while the content stays what was read.
  TMapObject& old = FItems[size_t(i)];
  if (Obj.SourceLine.empty()) {
    Obj.SourceLine = std::move(old.SourceLine);
    Obj.SourceDump = std::move(old.SourceDump);
  }
  old = std::move(Obj);
}

bool TMapObjectList::Remove(uint64_t Id) {
  const int64_t i = IndexOf(Id);
  if (i < 0) return false;
  FItems.erase(FItems.begin() + i);
  return true;
}

bool TMapObjectList::Move(uint64_t Id, int Delta) {
  const int64_t from = IndexOf(Id);
  if (from < 0) return false;
  const int64_t to = std::clamp<int64_t>(from + Delta, 0, int64_t(FItems.size()) - 1);
  TMapObject held = std::move(FItems[size_t(from)]);
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, std::move(held));
  return true;
}
