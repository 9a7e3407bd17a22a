#pragma once
// TMapObjectList: the objects of a map in file order, which is also the order they
// are drawn in (later ones on top). Each object gets an id of its own when it
// enters the list; ids are never reused while the list lives.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "map/objects/map_object.h"

class TMapObjectList {
 public:
  size_t Count() const { return FItems.size(); }
  bool Empty() const { return FItems.empty(); }
  const std::vector<TMapObject>& Items() const { return FItems; }
  const TMapObject& At(size_t Index) const { return FItems.at(Index); }

  // Position of the object with this id, or -1.
  int64_t IndexOf(uint64_t Id) const;
  // The object with this id, or nullptr.
  const TMapObject* Find(uint64_t Id) const;

  // Appends Obj under a new id and returns the id.
  uint64_t Add(TMapObject Obj);
  // Puts Obj in place of the object with this id, keeping the id and the place.
  // Raises EMapObjectError when there is no such object.
  void Replace(uint64_t Id, TMapObject Obj);
  // Removes the object; false when there is none with this id.
  bool Remove(uint64_t Id);
  // Moves the object Delta places later in the order (earlier when negative),
  // stopping at either end; false when there is no such object.
  bool Move(uint64_t Id, int Delta);
  void Clear() { FItems.clear(); }

  // The whole list exchanged with Items, ids included (undo and redo); the ids of
  // Items must be ids this list gave.
  void Exchange(std::vector<TMapObject>& Items) { FItems.swap(Items); }

 private:
  std::vector<TMapObject> FItems;
  uint64_t FNextId = 1;
};
