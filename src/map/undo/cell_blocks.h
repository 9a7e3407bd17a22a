#pragma once
// TCellBlocks: the former content of some cells of a map: for each kept cell its
// chip flag and its ChipSize x ChipSize block of pixel entries. An undo record of a
// painting edit holds the cells the edit touched, kept just before each was first
// written, and exchanges them with the document's to undo or redo the edit. The
// pixel entries are of the grid's own element type, whatever width it has.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "map/base/grid2d.h"
#include "record/record_list.h"

template <typename T>
class TCellBlocks {
 public:
  // Starts keeping cells of a map of Width x Height cells of ChipSize pixels;
  // forgets what was kept before.
  void Begin(int32_t Width, int32_t Height, int32_t ChipSize) {
    FWidth = std::max(Width, 0);
    FHeight = std::max(Height, 0);
    FChip = std::max(ChipSize, 0);
    FCells.clear();
    FPixels.clear();
    FFlags.clear();
    FKept.assign((size_t(FWidth) * size_t(FHeight) + 63) / 64, 0);
  }
  // Stops keeping: later Keep calls do nothing, and spare storage is freed.
  void Finish() {
    FKept.clear();
    FKept.shrink_to_fit();
    FCells.shrink_to_fit();
    FPixels.shrink_to_fit();
    FFlags.shrink_to_fit();
  }
  bool Keeping() const { return !FKept.empty(); }

  // Keeps the present content of the cells CX0..CX1 x CY0..CY1 not kept yet;
  // cells outside the map are left out.
  void Keep(const TGrid2D<T>& Pixels, const TGrid2D<uint8_t>& Flags, int32_t CX0, int32_t CY0,
            int32_t CX1, int32_t CY1) {
    if (FKept.empty() || !Fits(Pixels, Flags)) return;
    CX0 = std::max(CX0, 0);
    CY0 = std::max(CY0, 0);
    CX1 = std::min(CX1, FWidth - 1);
    CY1 = std::min(CY1, FHeight - 1);
    for (int32_t cy = CY0; cy <= CY1; ++cy)
      for (int32_t cx = CX0; cx <= CX1; ++cx) {
        const size_t bit = size_t(cy) * size_t(FWidth) + size_t(cx);
        uint64_t& word = FKept[bit / 64];
        const uint64_t mask = uint64_t(1) << (bit % 64);
        if (word & mask) continue;
        word |= mask;
        FCells.push_back({cx, cy});
        FFlags.push_back(Flags.At(cx, cy));
        const size_t at = FPixels.size();
        FPixels.resize(at + size_t(FChip) * size_t(FChip));
        T* out = FPixels.data() + at;
        for (int32_t py = 0; py < FChip; ++py, out += FChip)
          std::copy_n(Pixels.Row(cy * FChip + py) + size_t(cx) * size_t(FChip), FChip, out);
      }
  }

  // Exchanges every kept cell with the grids' (undo and redo alike). Nothing
  // happens when the grids no longer have the size the cells were kept from.
  void Exchange(TGrid2D<T>& Pixels, TGrid2D<uint8_t>& Flags) {
    if (!Fits(Pixels, Flags)) return;
    for (size_t i = 0; i < FCells.size(); ++i) {
      const TPoint c = FCells[i];
      std::swap(FFlags[i], Flags.At(c.X, c.Y));
      T* block = Block(i);
      for (int32_t py = 0; py < FChip; ++py, block += FChip) {
        T* row = Pixels.Row(c.Y * FChip + py) + size_t(c.X) * size_t(FChip);
        std::swap_ranges(block, block + FChip, row);
      }
    }
  }
  // Writes every kept cell into the grids, keeping the copy.
  void Restore(TGrid2D<T>& Pixels, TGrid2D<uint8_t>& Flags) const {
    if (!Fits(Pixels, Flags)) return;
    for (size_t i = 0; i < FCells.size(); ++i) {
      const TPoint c = FCells[i];
      Flags.At(c.X, c.Y) = FFlags[i];
      const T* block = FPixels.data() + i * size_t(FChip) * size_t(FChip);
      for (int32_t py = 0; py < FChip; ++py, block += FChip)
        std::copy_n(block, FChip, Pixels.Row(c.Y * FChip + py) + size_t(c.X) * size_t(FChip));
    }
  }

  // Replaces every kept pixel entry V by Map(V).
  void MapValues(const std::function<T(T)>& Map) {
    for (T& v : FPixels) v = Map(v);
  }

  int32_t Count() const { return int32_t(FCells.size()); }
  TPoint Cell(int32_t Index) const { return FCells[size_t(Index)]; }
  int32_t ChipSize() const { return FChip; }
  // The kept chip flag of cell Index and its pixel entry (PX, PY) inside the cell.
  uint8_t Flag(int32_t Index) const { return FFlags[size_t(Index)]; }
  T Pixel(int32_t Index, int32_t PX, int32_t PY) const {
    return FPixels[size_t(Index) * size_t(FChip) * size_t(FChip) + size_t(PY) * size_t(FChip) +
                   size_t(PX)];
  }
  // Bytes held, the bookkeeping of an open record included.
  size_t MemoryBytes() const {
    return FCells.capacity() * sizeof(TPoint) + FPixels.capacity() * sizeof(T) + FFlags.capacity() +
           FKept.capacity() * sizeof(uint64_t);
  }

 private:
  bool Fits(const TGrid2D<T>& Pixels, const TGrid2D<uint8_t>& Flags) const {
    return Flags.Width() == FWidth && Flags.Height() == FHeight &&
           int64_t(Pixels.Width()) == int64_t(FWidth) * FChip &&
           int64_t(Pixels.Height()) == int64_t(FHeight) * FChip;
  }
  T* Block(size_t Index) { return FPixels.data() + Index * size_t(FChip) * size_t(FChip); }

  int32_t FWidth = 0, FHeight = 0, FChip = 0;
  std::vector<TPoint> FCells;
  std::vector<T> FPixels;
  std::vector<uint8_t> FFlags;
  std::vector<uint64_t> FKept;  // one bit per map cell while keeping
};
