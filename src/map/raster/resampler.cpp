// Stretched drawing: TBitmap32::DrawSurface(DestRect, SourceRect, Source) with the
// nearest-pixel and the draft (filtered) resamplers.

#include <algorithm>
#include <cmath>
#include <vector>

#include "map/raster/bitmap32.h"

namespace {

// One destination pixel's share of the source along one axis.
struct TTap {
  int32_t Index;
  float Weight;
};

// For each destination position 0..DstLen-1 the source taps along one axis, with
// sources clamped to Lo..Hi-1 (the usable part of the source rectangle). Enlarging
// uses a linear kernel between pixel centres; shrinking averages the source pixels
// covered by the destination pixel (an area filter).
void AxisTaps(int32_t SrcLeft, int32_t SrcLen, int32_t DstLen, int32_t Lo, int32_t Hi,
              std::vector<int32_t>& Start, std::vector<TTap>& Taps) {
  Start.assign(size_t(DstLen) + 1, 0);
  Taps.clear();
  const double scale = double(SrcLen) / double(DstLen);
  auto clampIndex = [&](int64_t i) { return int32_t(std::clamp<int64_t>(i, Lo, Hi - 1)); };
  for (int32_t i = 0; i < DstLen; ++i) {
    Start[size_t(i)] = int32_t(Taps.size());
    if (scale <= 1.0) {
      const double u = SrcLeft + (i + 0.5) * scale - 0.5;
      const double f = std::floor(u);
      const float w1 = float(u - f);
      Taps.push_back({clampIndex(int64_t(f)), 1.0f - w1});
      if (w1 > 0) Taps.push_back({clampIndex(int64_t(f) + 1), w1});
    } else {
      const double a = SrcLeft + i * scale, b = a + scale;
      for (int64_t s = int64_t(std::floor(a)); double(s) < b; ++s) {
        const double w = std::min(b, double(s + 1)) - std::max(a, double(s));
        if (w > 0) Taps.push_back({clampIndex(s), float(w / scale)});
      }
    }
  }
  Start[size_t(DstLen)] = int32_t(Taps.size());
}

// Weighted average of source pixels; colours are weighted by their alpha so that
// transparent pixels do not bleed their colour into the result.
TColor32 Filter(const TBitmap32& Src, const TTap* Xs, const TTap* XsEnd, const TTap* Ys,
                const TTap* YsEnd) {
  float a = 0, r = 0, g = 0, b = 0;
  for (const TTap* ty = Ys; ty != YsEnd; ++ty) {
    const TColor32* row = Src.ScanLine(ty->Index);
    for (const TTap* tx = Xs; tx != XsEnd; ++tx) {
      const TColor32 p = row[tx->Index];
      const float w = tx->Weight * ty->Weight;
      const float pa = float(p >> 24) * w;
      a += pa;
      r += float((p >> 16) & 0xFF) * pa;
      g += float((p >> 8) & 0xFF) * pa;
      b += float(p & 0xFF) * pa;
    }
  }
  if (a <= 0) return 0;
  auto byte = [](float v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); };
  return MakeColor(byte(r / a), byte(g / a), byte(b / a), byte(a));
}

}  // namespace

void TBitmap32::DrawSurface(const TRect& DestRect, const TRect& SourceRect,
                            const TBitmap32& Source) {
  if (DestRect.IsEmpty() || SourceRect.IsEmpty()) return;
  if (DestRect.Width() == SourceRect.Width() && DestRect.Height() == SourceRect.Height())
    return DrawSurface(DestRect.Left, DestRect.Top, SourceRect, Source);
  const TRect usable = IntersectRect(SourceRect, TRect{0, 0, Source.Width(), Source.Height()});
  const TRect dst = IntersectRect(DestRect, TRect{0, 0, FWidth, FHeight});
  if (usable.IsEmpty() || dst.IsEmpty()) return;
  const int32_t dw = DestRect.Width(), dh = DestRect.Height();
  const int32_t sw = SourceRect.Width(), sh = SourceRect.Height();
  const int32_t ox = dst.Left - DestRect.Left, oy = dst.Top - DestRect.Top;
  std::vector<TColor32> row(size_t(dst.Width()));

  if (Source.Resampler == TResamplerKind::Nearest) {
    // Destination pixel i takes the source pixel under its centre.
    auto nearest = [](int64_t i, int32_t srcLeft, int32_t srcLen, int32_t dstLen, int32_t lo,
                      int32_t hi) {
      const int64_t s = srcLeft + ((2 * i + 1) * srcLen) / (2 * int64_t(dstLen));
      return int32_t(std::clamp<int64_t>(s, lo, hi - 1));
    };
    std::vector<int32_t> xs(size_t(dst.Width()));
    for (int32_t i = 0; i < dst.Width(); ++i)
      xs[size_t(i)] = nearest(ox + i, SourceRect.Left, sw, dw, usable.Left, usable.Right);
    for (int32_t j = 0; j < dst.Height(); ++j) {
      const TColor32* s =
          Source.ScanLine(nearest(oy + j, SourceRect.Top, sh, dh, usable.Top, usable.Bottom));
      for (size_t i = 0; i < row.size(); ++i) row[i] = s[xs[i]];
      CombineRow(Source, row.data(), ScanLine(dst.Top + j) + dst.Left, dst.Width());
    }
    return;
  }

  std::vector<int32_t> xStart, yStart;
  std::vector<TTap> xTaps, yTaps;
  AxisTaps(SourceRect.Left, sw, dw, usable.Left, usable.Right, xStart, xTaps);
  AxisTaps(SourceRect.Top, sh, dh, usable.Top, usable.Bottom, yStart, yTaps);
  for (int32_t j = 0; j < dst.Height(); ++j) {
    const size_t y = size_t(oy + j);
    for (int32_t i = 0; i < dst.Width(); ++i) {
      const size_t x = size_t(ox + i);
      row[size_t(i)] = Filter(Source, xTaps.data() + xStart[x], xTaps.data() + xStart[x + 1],
                              yTaps.data() + yStart[y], yTaps.data() + yStart[y + 1]);
    }
    CombineRow(Source, row.data(), ScanLine(dst.Top + j) + dst.Left, dst.Width());
  }
}
