#pragma once
// A two-dimensional grid addressed as [x][y] by At(x, y), stored row by row so
// that a row of the map is contiguous in memory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "map/base/zeroed_allocator.h"

template <typename T>
class TGrid2D {
 public:
  using value_type = T;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  T& At(int32_t X, int32_t Y) { return FData[size_t(Y) * size_t(FWidth) + size_t(X)]; }
  const T& At(int32_t X, int32_t Y) const { return FData[size_t(Y) * size_t(FWidth) + size_t(X)]; }
  T* Row(int32_t Y) { return FData.data() + size_t(Y) * size_t(FWidth); }
  const T* Row(int32_t Y) const { return FData.data() + size_t(Y) * size_t(FWidth); }
  T* Data() { return FData.data(); }
  const T* Data() const { return FData.data(); }

  // Resizes keeping every entry that lies inside both the old and the new size;
  // new entries are zero.
  void Resize(int32_t W, int32_t H) {
    W = std::max(W, 0);
    H = std::max(H, 0);
    if (W == FWidth && H == FHeight) return;
    Storage next(size_t(W) * size_t(H));  // zero from the allocator
    int32_t cw = std::min(W, FWidth), ch = std::min(H, FHeight);
    for (int32_t y = 0; y < ch; ++y) std::copy_n(Row(y), cw, next.data() + size_t(y) * size_t(W));
    FData.swap(next);
    FWidth = W;
    FHeight = H;
  }
  // Resizes discarding the content; every entry becomes Value.
  void Reset(int32_t W, int32_t H, T Value = T{}) {
    W = std::max(W, 0);
    H = std::max(H, 0);
    const size_t n = size_t(W) * size_t(H);
    if (n == FData.size()) {
      std::fill(FData.begin(), FData.end(), Value);  // reuse the pages already touched
    } else if (Value == T{}) {
      Storage fresh(n);  // zero from the allocator, without a pass over it
      FData.swap(fresh);
    } else {
      FData.assign(n, Value);
    }
    FWidth = W;
    FHeight = H;
  }
  void Fill(T Value) { std::fill(FData.begin(), FData.end(), Value); }
  void Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FWidth = FHeight = 0;
  }
  friend bool operator==(const TGrid2D&, const TGrid2D&) = default;

 private:
  using Storage = std::vector<T, TZeroedAllocator<T>>;
  Storage FData;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
};
