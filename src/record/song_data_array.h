#pragma once
// TSongDataArray: a list of records that owns its items, with the growth rule,
// capacity semantics, quicksort and stream form every document list shares.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "record/song_data.h"

class TSongDataArray : public TSongData {
 public:
  using TCompare = int (*)(const TSongData* A, const TSongData* B);

  ~TSongDataArray() override;

  int32_t Count() const { return FCount; }
  int32_t Capacity() const { return int32_t(FItems.size()); }
  // Lengthens the storage, or shortens it freeing the items beyond N.
  void SetCapacity(int32_t N);

  // The item at Index, or nullptr outside 0..Count-1.
  TSongData* Items(int32_t Index) const;
  TSongData* Add();
  // Inserts a new item at Index (not checked); copies Source into it when given.
  void Insert(int32_t Index, const TSongData* Source);
  // Frees the item at Index (not checked) and closes the gap.
  void Delete(int32_t Index);
  // Moves the item at From to position To, the items between shifting by one
  // place; the items themselves are not copied. Both indices must be in 0..Count-1.
  void Move(int32_t From, int32_t To);
  void Clear();
  // Unstable quicksort of items 0..Count-1.
  void Sort(TCompare Compare);

  void AssignTo(TSongData* Dest) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TSongDataArray"; }

  // Capacity after growing from C: C + C/4 above 64, +16 above 8, +4 otherwise.
  static int32_t GrownCapacity(int32_t C);

 protected:
  // Copies list-level attributes into Dest; the base refuses.
  virtual void AssignAttributes(TSongDataArray* Dest) const;
  // Creates one item of the list's class and stores it at slot Index.
  virtual TSongData* CreateItem(int32_t Index) = 0;
  // Stores Item at slot Index (for CreateItem).
  TSongData* Store(int32_t Index, std::unique_ptr<TSongData> Item);
  // Hands the item at Index over to the caller and closes the gap (Index in
  // 0..Count-1); the item is not freed.
  std::unique_ptr<TSongData> ExtractItem(int32_t Index);
  // Inserts an item made elsewhere at Index (0..Count); it must be of the list's
  // item class.
  void InsertItem(int32_t Index, std::unique_ptr<TSongData> Item);
  // Puts Item in place of the item at Index (0..Count-1) and hands that one over.
  std::unique_ptr<TSongData> ReplaceItem(int32_t Index, std::unique_ptr<TSongData> Item);
  // Exchanges the items (and capacities) of two lists; the items are not told.
  void SwapItems(TSongDataArray& Other) {
    FItems.swap(Other.FItems);
    std::swap(FCount, Other.FCount);
  }

 private:
  void Grow();
  void QuickSort(int32_t L, int32_t R, TCompare Compare);

  std::vector<std::unique_ptr<TSongData>> FItems;  // length = Capacity
  int32_t FCount = 0;
};

// Typed access for a list whose items are all of class T, created by CreateItem.
template <typename T>
class TTypedSongDataArray : public TSongDataArray {
 public:
  T* Items(int32_t Index) const { return static_cast<T*>(TSongDataArray::Items(Index)); }
  T* Add() { return static_cast<T*>(TSongDataArray::Add()); }

 protected:
  TSongData* CreateItem(int32_t Index) override { return Store(Index, std::make_unique<T>()); }
};
