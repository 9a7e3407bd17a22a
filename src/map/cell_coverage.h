#pragma once
// Which cells of a map-sized image may hold pixels that are not fully transparent.
// The code that writes the image cell by cell keeps it, so that the composition can
// pass over cells where a layer, the shades or the doors show nothing. While it is
// not valid every cell counts as covered: a stale record can only cost speed, never
// change a pixel.

#include <cstdint>
#include <vector>

class TCellCoverage {
 public:
  bool Valid() const { return FValid; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }

  // Starts over for a map of W x H cells, every cell marked Covered.
  void Reset(int32_t W, int32_t H, bool Covered) {
    FWidth = W > 0 ? W : 0;
    FHeight = H > 0 ? H : 0;
    FCells.assign(size_t(FWidth) * size_t(FHeight), Covered ? 1 : 0);
    FValid = true;
  }
  void Invalidate() { FValid = false; }

  // Different cells may be set from different threads at once.
  void Set(int32_t CX, int32_t CY, bool Covered) {
    if (FValid && CX >= 0 && CY >= 0 && CX < FWidth && CY < FHeight)
      FCells[size_t(CY) * size_t(FWidth) + size_t(CX)] = Covered ? 1 : 0;
  }
  // Marks every cell that pixels X0..X1, Y0..Y1 (inclusive, clipped) touch.
  void MarkPixels(int32_t X0, int32_t Y0, int32_t X1, int32_t Y1, int32_t ChipSize) {
    if (!FValid || ChipSize <= 0) return;
    const int32_t ca = X0 < 0 ? 0 : X0 / ChipSize, cb = X1 < 0 ? -1 : X1 / ChipSize;
    const int32_t ra = Y0 < 0 ? 0 : Y0 / ChipSize, rb = Y1 < 0 ? -1 : Y1 / ChipSize;
    for (int32_t cy = ra; cy <= rb && cy < FHeight; ++cy)
      for (int32_t cx = ca; cx <= cb && cx < FWidth; ++cx)
        FCells[size_t(cy) * size_t(FWidth) + size_t(cx)] = 1;
  }

  // The cells of row CY, or nullptr when the record is not valid for a map of
  // W x H cells (then every cell counts as covered).
  const uint8_t* Row(int32_t CY, int32_t W, int32_t H) const {
    if (!FValid || W != FWidth || H != FHeight || CY < 0 || CY >= FHeight) return nullptr;
    return FCells.data() + size_t(CY) * size_t(FWidth);
  }

 private:
  std::vector<uint8_t> FCells;
  int32_t FWidth = 0, FHeight = 0;
  bool FValid = false;
};
