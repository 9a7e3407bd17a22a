#pragma once
// TRecordList: a list of (x, y) points, each kept in a block of its own on top of
// a TListClone. Used for the cells a free-hand stroke touched and as distance
// buckets of the composition.

#include <cstdint>

#include "record/list_clone.h"

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

class TRecordList {
 public:
  TRecordList() = default;
  TRecordList(const TRecordList&) = delete;
  TRecordList& operator=(const TRecordList&) = delete;
  ~TRecordList();

  int32_t Add(const TPoint& P);
  void Insert(int32_t Index, const TPoint& P);
  // Copies the point at Index into P; a bad index raises EListError.
  void Items(int32_t Index, TPoint& P) const;
  TPoint Item(int32_t Index) const;
  int32_t IndexOf(const TPoint& P) const;
  int32_t Count() const { return FList.Count(); }
  void Clear();

 private:
  TListClone FList;
};
