#include "map/raster/shade_image.h"

#include <algorithm>

#include "map/raster/bitmap32.h"
#include "map/raster/pixel_storage.h"

void TShadeImage::SetSize(int32_t W, int32_t H) {
  W = std::max(W, 0);
  H = std::max(H, 0);
  if (W == FWidth && H == FHeight) return;
  FWidth = FHeight = 0;
  AllocateZeroedPixels(FAlpha, W, H, TBitmap32::MaxPixels);
  FWidth = W;
  FHeight = H;
}

void TShadeImage::Assign(const TShadeImage& Source) {
  if (&Source == this) return;
  SetSize(Source.FWidth, Source.FHeight);
  std::copy(Source.FAlpha.begin(), Source.FAlpha.end(), FAlpha.begin());
}

void TShadeImage::TakePixels(TShadeImage& Source) {
  FAlpha.swap(Source.FAlpha);
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  Source.FAlpha.clear();
  Source.FAlpha.shrink_to_fit();
  Source.FWidth = Source.FHeight = 0;
}

void TShadeImage::Clear(uint8_t A) { std::fill(FAlpha.begin(), FAlpha.end(), A); }

void TShadeImage::FillArea(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, uint8_t A) {
  X1 = std::max(X1, 0);
  Y1 = std::max(Y1, 0);
  X2 = std::min(X2, FWidth);
  Y2 = std::min(Y2, FHeight);
  if (X1 >= X2) return;
  for (int32_t y = Y1; y < Y2; ++y) std::fill(Row(y) + X1, Row(y) + X2, A);
}
