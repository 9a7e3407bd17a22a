// Lines, frames and the filled ellipse of TBitmap32.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "map/raster/bitmap32.h"

namespace {

// Steps along the line from (X1, Y1) to (X2, Y2) and calls Plot for each pixel:
// runs for axis-parallel lines, otherwise an error term starting at half the major
// extent. The end point is plotted only with IncludeLast.
template <class PlotFn>
void RasterLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, bool IncludeLast, PlotFn Plot) {
  const int64_t dx = int64_t(X2) - X1, dy = int64_t(Y2) - Y1;
  const int64_t n = std::llabs(dx), m = std::llabs(dy);
  const int32_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  int64_t x = X1, y = Y1;
  if (m < n) {
    int64_t err = n / 2;
    for (int64_t i = 0; i < n; ++i) {
      Plot(x, y);
      x += sx;
      err += m;
      if (err >= n) {
        y += sy;
        err -= n;
      }
    }
  } else {
    int64_t err = m / 2;
    for (int64_t i = 0; i < m; ++i) {
      Plot(x, y);
      y += sy;
      err += n;
      if (err >= m) {
        x += sx;
        err -= m;
      }
    }
  }
  if (IncludeLast) Plot(X2, Y2);
}

// True when the line's bounding box misses the W x H surface entirely.
bool LineMisses(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t W, int32_t H) {
  return std::max(X1, X2) < 0 || std::max(Y1, Y2) < 0 || std::min(X1, X2) >= W ||
         std::min(Y1, Y2) >= H;
}

uint8_t ClampAlpha(int64_t V) { return uint8_t(std::clamp<int64_t>(V, 0, 255)); }

}  // namespace

void TBitmap32::DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C,
                         bool IncludeLast) {
  // Pixels outside the surface are skipped rather than written out of bounds.
  if (LineMisses(X1, Y1, X2, Y2, FWidth, FHeight)) return;
  RasterLine(X1, Y1, X2, Y2, IncludeLast, [&](int64_t x, int64_t y) {
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight) Pixel(int32_t(x), int32_t(y)) = C;
  });
}

void TBitmap32::DrawLineBlended(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C,
                                bool IncludeLast) {
  if (LineMisses(X1, Y1, X2, Y2, FWidth, FHeight)) return;
  RasterLine(X1, Y1, X2, Y2, IncludeLast, [&](int64_t x, int64_t y) {
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight) {
      TColor32& p = Pixel(int32_t(x), int32_t(y));
      p = BlendPixel(C, p);
    }
  });
}

void TBitmap32::DrawRaisedFrame(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Contrast) {
  if (Contrast == 0 || X2 <= X1 || Y2 <= Y1) return;
  if (X2 <= 0 || Y2 <= 0 || X1 >= FWidth || Y1 >= FHeight) return;
  const int64_t k = std::llabs(int64_t(Contrast));
  TColor32 light = MakeColor(255, 255, 255, ClampAlpha(k * 512 / 100));
  TColor32 dark = MakeColor(0, 0, 0, ClampAlpha(k * 255 / 100));
  if (Contrast < 0) std::swap(light, dark);
  auto blend = [&](int32_t x, int32_t y, TColor32 c) {
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight) Pixel(x, y) = BlendPixel(c, Pixel(x, y));
  };
  for (int32_t x = X1; x < X2; ++x) blend(x, Y1, light);
  for (int32_t y = Y1 + 1; y <= Y2 - 2; ++y) blend(X1, y, light);
  for (int32_t x = X1; x < X2; ++x) blend(x, Y2 - 1, dark);
  for (int32_t y = Y1 + 1; y <= Y2 - 2; ++y) blend(X2 - 1, y, dark);
}

void TBitmap32::FillEllipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C) {
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
  if (X2 == X1 || Y2 == Y1) return;
  // A pixel belongs to the ellipse when its centre lies inside the ellipse inscribed
  // in the box; every row of the box gets at least its middle pixel, so the outline
  // touches all four sides as the canvas's outline does.
  const double cx = (double(X1) + double(X2)) / 2, cy = (double(Y1) + double(Y2)) / 2;
  const double rx = (double(X2) - double(X1)) / 2, ry = (double(Y2) - double(Y1)) / 2;
  const int32_t yFrom = std::max(Y1, 0), yTo = std::min(Y2, FHeight);
  for (int32_t y = yFrom; y < yTo; ++y) {
    const double t = (y + 0.5 - cy) / ry;
    const double half = std::max(rx * std::sqrt(std::max(0.0, 1 - t * t)), 0.5);
    int64_t left = int64_t(std::ceil(cx - half - 0.5));
    int64_t right = int64_t(std::floor(cx + half - 0.5));
    left = std::max<int64_t>({left, X1, 0});
    right = std::min<int64_t>({right, int64_t(X2) - 1, int64_t(FWidth) - 1});
    if (left > right) continue;
    std::fill(ScanLine(y) + left, ScanLine(y) + right + 1, C);
  }
}
