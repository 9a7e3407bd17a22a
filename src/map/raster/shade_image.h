#pragma once
// TShadeImage: the shades over a map, one alpha byte per map pixel. A shade is
// black at that alpha, so the byte is all there is to keep; Pixel gives it as the
// colour the composition blends.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "map/base/color.h"
#include "map/base/zeroed_allocator.h"

class TShadeImage {
 public:
  TShadeImage() = default;
  TShadeImage(const TShadeImage&) = delete;
  TShadeImage& operator=(const TShadeImage&) = delete;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  uint8_t* Row(int32_t Y) { return FAlpha.data() + size_t(Y) * size_t(FWidth); }
  const uint8_t* Row(int32_t Y) const { return FAlpha.data() + size_t(Y) * size_t(FWidth); }
  uint8_t& Alpha(int32_t X, int32_t Y) { return FAlpha[size_t(Y) * size_t(FWidth) + size_t(X)]; }
  uint8_t Alpha(int32_t X, int32_t Y) const {
    return FAlpha[size_t(Y) * size_t(FWidth) + size_t(X)];
  }
  // The shade at (X, Y) as a colour: black with the shade's alpha.
  TColor32 Pixel(int32_t X, int32_t Y) const { return TColor32(Alpha(X, Y)) << 24; }
  // Pixels X0 .. X1 - 1 of row Y as colours into Out[0 .. X1 - X0).
  void ReadRow(int32_t Y, int32_t X0, int32_t X1, TColor32* Out) const {
    const uint8_t* a = Row(Y);
    for (int32_t x = X0; x < X1; ++x) Out[x - X0] = TColor32(a[x]) << 24;
  }

  // As a surface's SetSize: negative sizes count as 0, an unchanged size keeps the
  // shades, any other size gives no shade anywhere; a size that cannot be held
  // raises EImageError "Can't allocate the DIB handle" and leaves the image empty.
  void SetSize(int32_t W, int32_t H);
  // Copies size and shades.
  void Assign(const TShadeImage& Source);
  // Takes the shades of Source without copying; Source becomes empty.
  void TakePixels(TShadeImage& Source);
  void Clear(uint8_t A);
  // The rectangle X1 <= x < X2, Y1 <= y < Y2, clipped to the image.
  void FillArea(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, uint8_t A);

 private:
  std::vector<uint8_t, TZeroedAllocator<uint8_t>> FAlpha;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
};
