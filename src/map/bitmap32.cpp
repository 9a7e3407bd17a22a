#include "map/bitmap32.h"

#include <algorithm>
#include <new>

#include "record/errors.h"

TRect IntersectRect(const TRect& A, const TRect& B) {
  TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
          std::min(A.Bottom, B.Bottom)};
  if (r.IsEmpty()) return TRect{};
  return r;
}

void TBitmap32::SetSize(int32_t W, int32_t H) {
  W = std::max(W, 0);
  H = std::max(H, 0);
  if (W == FWidth && H == FHeight) return;
  FBits.clear();
  FBits.shrink_to_fit();
  FWidth = FHeight = 0;
  if (int64_t(W) * int64_t(H) > MaxPixels) throw EImageError("Can't allocate the DIB handle");
  try {
    FBits.assign(size_t(W) * size_t(H), 0);
  } catch (const std::bad_alloc&) {
    throw EImageError("Can't allocate the DIB handle");
  }
  FWidth = W;
  FHeight = H;
}

void TBitmap32::Assign(const TBitmap32& Source) {
  if (&Source == this) return;
  SetSize(Source.FWidth, Source.FHeight);
  std::copy(Source.FBits.begin(), Source.FBits.end(), FBits.begin());
}

void TBitmap32::TakePixels(TBitmap32& Source) {
  FBits.swap(Source.FBits);
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  Source.FBits.clear();
  Source.FWidth = Source.FHeight = 0;
}

void TBitmap32::Clear(TColor32 C) { std::fill(FBits.begin(), FBits.end(), C); }

void TBitmap32::FillArea(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C) {
  for (int32_t y = Y1; y < Y2; ++y) std::fill(ScanLine(y) + X1, ScanLine(y) + X2, C);
}

void TBitmap32::SetAllAlpha(uint8_t A) {
  const TColor32 a = TColor32(A) << 24;
  for (auto& p : FBits) p = (p & 0x00FFFFFF) | a;
}

void BlendRow(const TColor32* Source, TColor32* Dest, size_t Count) {
  for (size_t i = 0; i < Count; ++i) Dest[i] = BlendPixel(Source[i], Dest[i]);
}

void TBitmap32::DrawSurface(int32_t X, int32_t Y, const TBitmap32& Source) {
  DrawSurface(X, Y, TRect{0, 0, Source.Width(), Source.Height()}, Source);
}

void TBitmap32::DrawSurface(int32_t X, int32_t Y, const TRect& SourceRect,
                            const TBitmap32& Source) {
  // Clip the source rectangle to the source, then the placed area to this surface.
  TRect src = IntersectRect(SourceRect, TRect{0, 0, Source.Width(), Source.Height()});
  if (src.IsEmpty()) return;
  X += src.Left - SourceRect.Left;
  Y += src.Top - SourceRect.Top;
  TRect dst = IntersectRect(TRect{X, Y, X + src.Width(), Y + src.Height()},
                            TRect{0, 0, FWidth, FHeight});
  if (dst.IsEmpty()) return;
  const int32_t sx = src.Left + (dst.Left - X), sy = src.Top + (dst.Top - Y);
  const int32_t w = dst.Width();
  for (int32_t row = 0; row < dst.Height(); ++row) {
    const TColor32* s = Source.ScanLine(sy + row) + sx;
    TColor32* d = ScanLine(dst.Top + row) + dst.Left;
    switch (Source.DrawMode) {
      case dmOpaque:
        std::copy_n(s, w, d);
        break;
      case dmBlend:
        BlendRow(s, d, size_t(w));
        break;
      case dmCustom:
        if (Source.OnPixelCombine)
          for (int32_t i = 0; i < w; ++i) Source.OnPixelCombine(s[i], d[i], Source.MasterAlpha);
        break;
    }
  }
}
