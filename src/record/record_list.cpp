#include "record/record_list.h"

TRecordList::~TRecordList() { Clear(); }

int32_t TRecordList::Add(const TPoint& P) { return FList.Add(new TPoint(P)); }

void TRecordList::Insert(int32_t Index, const TPoint& P) {
  auto* block = new TPoint(P);
  try {
    FList.Insert(Index, block);
  } catch (...) {
    delete block;
    throw;
  }
}

void TRecordList::Items(int32_t Index, TPoint& P) const {
  P = *static_cast<const TPoint*>(FList.Items(Index));
}

TPoint TRecordList::Item(int32_t Index) const {
  TPoint p;
  Items(Index, p);
  return p;
}

int32_t TRecordList::IndexOf(const TPoint& P) const {
  for (int32_t i = 0; i < FList.Count(); ++i)
    if (*static_cast<const TPoint*>(FList.Items(i)) == P) return i;
  return -1;
}

void TRecordList::Clear() {
  for (int32_t i = 0; i < FList.Count(); ++i) delete static_cast<TPoint*>(FList.Items(i));
  FList.Clear();
}
