#include "record/song_data_array.h"

#include <algorithm>
#include <string>
#include <utility>

#include "record/errors.h"

TSongDataArray::~TSongDataArray() { Clear(); }

int32_t TSongDataArray::GrownCapacity(int32_t C) {
  int32_t delta = C > 64 ? C / 4 : (C > 8 ? 16 : 4);
  return C + delta;
}

void TSongDataArray::Grow() { SetCapacity(GrownCapacity(Capacity())); }

void TSongDataArray::SetCapacity(int32_t N) {
  if (N < 0) N = 0;
  if (N >= Capacity()) {
    FItems.resize(size_t(N));
    return;
  }
  for (int32_t i = N; i < FCount; ++i) FItems[size_t(i)].reset();
  FItems.resize(size_t(N));
  if (FCount > N) FCount = N;
}

TSongData* TSongDataArray::Items(int32_t Index) const {
  if (Index < 0 || Index >= FCount) return nullptr;
  return FItems[size_t(Index)].get();
}

TSongData* TSongDataArray::Store(int32_t Index, std::unique_ptr<TSongData> Item) {
  FItems[size_t(Index)] = std::move(Item);
  return FItems[size_t(Index)].get();
}

TSongData* TSongDataArray::Add() {
  if (FCount == Capacity()) Grow();
  TSongData* item = CreateItem(FCount);
  ++FCount;
  return item;
}

void TSongDataArray::Insert(int32_t Index, const TSongData* Source) {
  if (FCount == Capacity()) Grow();
  for (int32_t i = FCount; i > Index; --i) FItems[size_t(i)] = std::move(FItems[size_t(i - 1)]);
  TSongData* item = CreateItem(Index);
  ++FCount;
  if (Source) item->Assign(Source);
}

void TSongDataArray::Delete(int32_t Index) {
  FItems[size_t(Index)].reset();
  for (int32_t i = Index; i < FCount - 1; ++i) FItems[size_t(i)] = std::move(FItems[size_t(i + 1)]);
  --FCount;
}

namespace {

void CheckIndex(int32_t Index, int32_t Count) {
  if (Index < 0 || Index >= Count)
    throw EListError("List index out of range (" + std::to_string(Index) + ")");
}

}  // namespace

std::unique_ptr<TSongData> TSongDataArray::ExtractItem(int32_t Index) {
  CheckIndex(Index, FCount);
  std::unique_ptr<TSongData> item = std::move(FItems[size_t(Index)]);
  for (int32_t i = Index; i < FCount - 1; ++i) FItems[size_t(i)] = std::move(FItems[size_t(i + 1)]);
  --FCount;
  return item;
}

void TSongDataArray::InsertItem(int32_t Index, std::unique_ptr<TSongData> Item) {
  CheckIndex(Index, FCount + 1);
  if (FCount == Capacity()) Grow();
  for (int32_t i = FCount; i > Index; --i) FItems[size_t(i)] = std::move(FItems[size_t(i - 1)]);
  FItems[size_t(Index)] = std::move(Item);
  ++FCount;
}

std::unique_ptr<TSongData> TSongDataArray::ReplaceItem(int32_t Index,
                                                       std::unique_ptr<TSongData> Item) {
  CheckIndex(Index, FCount);
  std::swap(FItems[size_t(Index)], Item);
  return Item;
}

void TSongDataArray::Move(int32_t From, int32_t To) {
  CheckIndex(From, FCount);
  CheckIndex(To, FCount);
  auto first = FItems.begin();
  if (From < To)
    std::rotate(first + From, first + From + 1, first + To + 1);
  else if (From > To)
    std::rotate(first + To, first + From, first + From + 1);
}

void TSongDataArray::Clear() {
  FItems.clear();
  FItems.shrink_to_fit();
  FCount = 0;
}

void TSongDataArray::Sort(TCompare Compare) {
  if (FItems.empty() || FCount == 0) return;
  QuickSort(0, FCount - 1, Compare);
}

void TSongDataArray::QuickSort(int32_t L, int32_t R, TCompare Compare) {
  int32_t I;
  do {
    I = L;
    int32_t J = R;
    const TSongData* P = FItems[size_t((uint32_t(L) + uint32_t(R)) >> 1)].get();
    do {
      while (Compare(FItems[size_t(I)].get(), P) < 0) ++I;
      while (Compare(FItems[size_t(J)].get(), P) > 0) --J;
      if (I <= J) {
        std::swap(FItems[size_t(I)], FItems[size_t(J)]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J) QuickSort(L, J, Compare);
    L = I;
  } while (I < R);
}

void TSongDataArray::AssignAttributes(TSongDataArray* Dest) const { RefuseAssign(Dest); }

void TSongDataArray::AssignTo(TSongData* Dest) const {
  auto* list = dynamic_cast<TSongDataArray*>(Dest);
  if (list == nullptr) {
    TSongData::AssignTo(Dest);
    return;
  }
  if (list == this) return;
  list->Clear();
  list->SetCapacity(Capacity());
  AssignAttributes(list);
  for (int32_t i = 0; i < FCount; ++i) list->Add()->Assign(FItems[size_t(i)].get());
}

void TSongDataArray::LoadFromStream(TStream& Stream) {
  Clear();
  int32_t n = 0;
  Stream.ReadRaw(n);
  for (int32_t i = 0; i < n; ++i) Add()->LoadFromStream(Stream);
}

void TSongDataArray::SaveToStream(TStream& Stream) const {
  Stream.WriteRaw(FCount);
  for (int32_t i = 0; i < FCount; ++i) FItems[size_t(i)]->SaveToStream(Stream);
}
