#pragma once
// Which pixels of a map-sized image may be other than fully transparent, recorded
// for every pixel row of every cell: the stretch of the row that may show, and
// whether the whole row is opaque. The code that writes the image cell by cell
// keeps it, so that the composition can pass over what a layer, the shades or the
// doors do not show, and over everything beneath an opaque row. While it is not
// valid every row counts as covered and not opaque: a stale record can only cost
// speed, never change a pixel.

#include <cstdint>
#include <vector>

#include "map/base/color.h"

class TCellCoverage {
 public:
  // One pixel row of one cell: pixels Begin .. End - 1, counted from the cell's
  // left edge, may be non-transparent (none when Begin == End); Opaque says that
  // every pixel of the row is fully opaque.
  struct TSpan {
    uint16_t Begin = 0;
    uint16_t End : 15 = 0;
    uint16_t Opaque : 1 = 0;
  };
  static_assert(sizeof(TSpan) == 4);

  // The cells of one pixel row; empty when the record is not valid (then every
  // row counts as covered).
  class TRow {
   public:
    TRow() = default;
    TRow(const TSpan* First, int32_t Stride) : FFirst(First), FStride(Stride) {}
    explicit operator bool() const { return FFirst != nullptr; }
    TSpan operator[](int32_t CX) const { return FFirst[size_t(CX) * size_t(FStride)]; }

   private:
    const TSpan* FFirst = nullptr;
    int32_t FStride = 0;
  };

  bool Valid() const { return FValid; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  int32_t ChipSize() const { return FChipSize; }

  // Starts over for a map of W x H cells of ChipSize pixels, every row of every
  // cell marked as possibly showing all over (Covered) or as transparent.
  void Reset(int32_t W, int32_t H, int32_t ChipSize, bool Covered) {
    FValid = W > 0 && H > 0 && ChipSize > 0 && ChipSize < 0x8000;
    FWidth = FValid ? W : 0;
    FHeight = FValid ? H : 0;
    FChipSize = FValid ? ChipSize : 0;
    const TSpan all{0, uint16_t(FChipSize), 0};
    const size_t rows = (size_t(FHeight) * size_t(FChipSize) + kRowsTogether - 1) / kRowsTogether;
    FSpans.assign(rows * kRowsTogether * size_t(FWidth), Covered ? all : TSpan{});
  }
  void Invalidate() { FValid = false; }

  // Records row PY (a map pixel row) of cell CX from its pixels P[0 .. ChipSize).
  // Different cells may be recorded from different threads at once.
  void SetRow(int32_t CX, int32_t PY, const TColor32* P) {
    SetRowOf(CX, PY, [P](int32_t I) { return uint32_t(P[I] >> 24); });
  }
  // The same from the row's alpha values A[0 .. ChipSize).
  void SetRowAlpha(int32_t CX, int32_t PY, const uint8_t* A) {
    SetRowOf(CX, PY, [A](int32_t I) { return uint32_t(A[I]); });
  }
  // The same for a caller that ORed (Any) and ANDed (All) the row's values as it
  // wrote them: reading bytes back just after storing them one by one stalls.
  void SetRowAlpha(int32_t CX, int32_t PY, const uint8_t* A, uint8_t Any, uint8_t All) {
    if (!Inside(CX, PY)) return;
    SetRowFrom(CX, PY, Any, All, [A](int32_t I) { return uint32_t(A[I]); });
  }
  // Every row of cell (CX, CY): fully opaque (Opaque) or fully transparent.
  void SetCell(int32_t CX, int32_t CY, bool Opaque) {
    if (!FValid || CY < 0 || CY >= FHeight) return;
    const TSpan s = Opaque ? TSpan{0, uint16_t(FChipSize), 1} : TSpan{};
    for (int32_t py = CY * FChipSize; py < (CY + 1) * FChipSize; ++py)
      if (Inside(CX, py)) At(CX, py) = s;
  }
  // Pixels X0..X1, Y0..Y1 (inclusive, clipped) may have changed in any way: their
  // rows may show there, and are no longer known to be opaque.
  void MarkPixels(int32_t X0, int32_t Y0, int32_t X1, int32_t Y1) {
    if (!FValid) return;
    const int32_t pw = FWidth * FChipSize, ph = FHeight * FChipSize;
    X0 = X0 < 0 ? 0 : X0;
    Y0 = Y0 < 0 ? 0 : Y0;
    X1 = X1 >= pw ? pw - 1 : X1;
    Y1 = Y1 >= ph ? ph - 1 : Y1;
    if (X0 > X1 || Y0 > Y1) return;  // wholly outside the map
    for (int32_t y = Y0; y <= Y1; ++y)
      for (int32_t cx = X0 / FChipSize; cx <= X1 / FChipSize; ++cx) {
        TSpan& s = At(cx, y);
        const int32_t b = (X0 > cx * FChipSize ? X0 : cx * FChipSize) - cx * FChipSize;
        const int32_t e =
            (X1 < (cx + 1) * FChipSize - 1 ? X1 : (cx + 1) * FChipSize - 1) - cx * FChipSize + 1;
        if (s.Begin == s.End) {
          s = TSpan{uint16_t(b), uint16_t(e), 0};
        } else {
          s.Begin = uint16_t(b < s.Begin ? b : s.Begin);
          s.End = uint16_t(e > s.End ? e : s.End) & 0x7FFF;
          s.Opaque = 0;
        }
      }
  }

  // The cells of pixel row PY, empty when the record is not valid for a map of
  // W x H cells of ChipSize pixels.
  TRow Row(int32_t PY, int32_t W, int32_t H, int32_t ChipSize) const {
    if (!FValid || W != FWidth || H != FHeight || ChipSize != FChipSize || PY < 0 ||
        PY >= FHeight * FChipSize)
      return {};
    return {&FSpans[Index(0, PY)], kRowsTogether};
  }

 private:
  template <class TAlphaOf>
  void SetRowOf(int32_t CX, int32_t PY, TAlphaOf AlphaOf) {
    if (!Inside(CX, PY)) return;
    uint32_t any = 0, all = 255;
    for (int32_t i = 0; i < FChipSize; ++i) {
      any |= AlphaOf(i);
      all &= AlphaOf(i);
    }
    SetRowFrom(CX, PY, any, all, AlphaOf);
  }
  template <class TAlphaOf>
  void SetRowFrom(int32_t CX, int32_t PY, uint32_t Any, uint32_t All, TAlphaOf AlphaOf) {
    TSpan s{};
    if (All == 255) {
      s = TSpan{0, uint16_t(FChipSize), 1};
    } else if (Any != 0) {
      int32_t b = 0, e = FChipSize;
      while (AlphaOf(b) == 0) ++b;
      while (AlphaOf(e - 1) == 0) --e;
      s = TSpan{uint16_t(b), uint16_t(e), 0};
    }
    At(CX, PY) = s;
  }
  bool Inside(int32_t CX, int32_t PY) const {
    return FValid && CX >= 0 && PY >= 0 && CX < FWidth && PY < FHeight * FChipSize;
  }
  // Eight rows of a cell lie together: a cell is written in few cache lines, and
  // the composition, reading row after row, finds the next ones at hand.
  static constexpr int32_t kRowsTogether = 8;
  size_t Index(int32_t CX, int32_t PY) const {
    return (size_t(PY / kRowsTogether) * size_t(FWidth) + size_t(CX)) * kRowsTogether +
           size_t(PY % kRowsTogether);
  }
  TSpan& At(int32_t CX, int32_t PY) { return FSpans[Index(CX, PY)]; }

  std::vector<TSpan> FSpans;
  int32_t FWidth = 0, FHeight = 0, FChipSize = 0;
  bool FValid = false;
};
