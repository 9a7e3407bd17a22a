#include "record/list_clone.h"

#include <string>

#include "record/errors.h"
#include "record/song_data_array.h"

namespace {
const char* const kIndexError = "リストのインデックスが範囲を超えています (%d)";
const char* const kCapacityError = "リストの容量が超えました (%d)";
const char* const kCountError = "リストの個数を超えました (%d)";
}  // namespace

TListClone::~TListClone() { Clear(); }

void TListClone::Error(const char* Message, int32_t Data) {
  throw EListError(FormatMessage(Message, std::to_string(Data)));
}

void TListClone::Grow() { SetCapacity(TSongDataArray::GrownCapacity(FCapacity)); }

void TListClone::Notify(void*, TListNotification) {}

int32_t TListClone::Add(void* Item) {
  int32_t result = FCount;
  if (result == FCapacity) Grow();
  FList[size_t(result)] = Item;
  ++FCount;
  if (Item) Notify(Item, TListNotification::Added);
  return result;
}

void TListClone::Insert(int32_t Index, void* Item) {
  if (Index < 0 || Index > FCount) Error(kIndexError, Index);
  if (FCount == FCapacity) Grow();
  for (int32_t i = FCount; i > Index; --i) FList[size_t(i)] = FList[size_t(i - 1)];
  FList[size_t(Index)] = Item;
  ++FCount;
  if (Item) Notify(Item, TListNotification::Added);
}

void TListClone::Delete(int32_t Index) {
  if (Index < 0 || Index >= FCount) Error(kIndexError, Index);
  void* item = FList[size_t(Index)];
  --FCount;
  for (int32_t i = Index; i < FCount; ++i) FList[size_t(i)] = FList[size_t(i + 1)];
  if (item) Notify(item, TListNotification::Deleted);
}

void* TListClone::Items(int32_t Index) const {
  if (Index < 0 || Index >= FCount) Error(kIndexError, Index);
  return FList[size_t(Index)];
}

void TListClone::SetItem(int32_t Index, void* Item) {
  if (Index < 0 || Index >= FCount) Error(kIndexError, Index);
  FList[size_t(Index)] = Item;
}

void TListClone::SetCapacity(int32_t N) {
  if (N < FCount || N > MaxListSize) Error(kCapacityError, N);
  if (N != FCapacity) {
    FList.resize(size_t(N));
    FCapacity = N;
  }
}

void TListClone::SetCount(int32_t N) {
  if (N < 0 || N > MaxListSize) Error(kCountError, N);
  if (N > FCapacity) SetCapacity(N);
  if (N > FCount) {
    for (int32_t i = FCount; i < N; ++i) FList[size_t(i)] = nullptr;
    FCount = N;
  } else {
    for (int32_t i = FCount - 1; i >= N; --i) Delete(i);
  }
}

void TListClone::Clear() {
  SetCount(0);
  SetCapacity(0);
}
