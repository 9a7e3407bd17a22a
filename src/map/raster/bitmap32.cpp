#include "map/raster/bitmap32.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "map/raster/pixel_storage.h"

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
  FWidth = FHeight = 0;
  AllocateZeroedPixels(FBits, W, H, MaxPixels);
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

void TBitmap32::Clear(TColor32 C) {
  // A map-size image is hundreds of megabytes, most of it pages never touched
  // before: both cores share the filling and the page faults.
  constexpr size_t kBlock = size_t(1) << 18;
  const size_t n = FBits.size();
  const int64_t blocks = int64_t((n + kBlock - 1) / kBlock);
  TColor32* bits = FBits.data();
#pragma omp parallel for schedule(static) if (blocks > 4)
  for (int64_t b = 0; b < blocks; ++b) {
    const size_t from = size_t(b) * kBlock;
    std::fill(bits + from, bits + std::min(n, from + kBlock), C);
  }
}

void TBitmap32::FillArea(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C) {
  // Clipped, so that a stray rectangle can never write outside the pixels.
  X1 = std::max(X1, 0);
  Y1 = std::max(Y1, 0);
  X2 = std::min(X2, FWidth);
  Y2 = std::min(Y2, FHeight);
  if (X1 >= X2) return;
  for (int32_t y = Y1; y < Y2; ++y) std::fill(ScanLine(y) + X1, ScanLine(y) + X2, C);
}

void TBitmap32::SetAllAlpha(uint8_t A) {
  const TColor32 a = TColor32(A) << 24;
  for (auto& p : FBits) p = (p & 0x00FFFFFF) | a;
}

// Four pixels at a time in 16-bit lanes. The rule a*(f-b) + 256*b + 128 is
// computed as a*f + (256-a)*b + 128, which stays below 65536 for every a, f, b, so
// unsigned 16-bit lanes hold it exactly; a = 0 then yields b by itself, and a = 255
// is selected from the source.
void BlendRow(const TColor32* Source, TColor32* Dest, size_t Count) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
  const __m128i c256 = _mm_set1_epi16(256);
  const __m128i c128 = _mm_set1_epi16(128);
  for (; i + 4 <= Count; i += 4) {
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + i));
    const __m128i alpha = _mm_and_si128(f, alphaMask);
    const __m128i opaque = _mm_cmpeq_epi32(alpha, alphaMask);
    const int opaqueBits = _mm_movemask_epi8(opaque);
    if (opaqueBits == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dest + i), f);
      continue;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dest + i));
    auto blendHalf = [&](__m128i f16, __m128i b16) {
      __m128i a16 = _mm_shufflelo_epi16(f16, _MM_SHUFFLE(3, 3, 3, 3));
      a16 = _mm_shufflehi_epi16(a16, _MM_SHUFFLE(3, 3, 3, 3));
      __m128i sum =
          _mm_add_epi16(_mm_mullo_epi16(a16, f16), _mm_mullo_epi16(_mm_sub_epi16(c256, a16), b16));
      return _mm_srli_epi16(_mm_add_epi16(sum, c128), 8);
    };
    const __m128i lo = blendHalf(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = blendHalf(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero));
    __m128i r = _mm_packus_epi16(lo, hi);
    r = _mm_or_si128(_mm_and_si128(opaque, f), _mm_andnot_si128(opaque, r));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Dest + i), r);
  }
#endif
  for (; i < Count; ++i) Dest[i] = BlendPixel(Source[i], Dest[i]);
}

void CombineRow(const TBitmap32& Source, const TColor32* S, TColor32* D, int32_t W) {
  switch (Source.DrawMode) {
    case dmOpaque:
      std::copy_n(S, W, D);
      break;
    case dmBlend:
      BlendRow(S, D, size_t(W));
      break;
    case dmCustom:
      if (Source.OnPixelCombine)
        for (int32_t i = 0; i < W; ++i) Source.OnPixelCombine(S[i], D[i], Source.MasterAlpha);
      break;
  }
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
  TRect dst =
      IntersectRect(TRect{X, Y, X + src.Width(), Y + src.Height()}, TRect{0, 0, FWidth, FHeight});
  if (dst.IsEmpty()) return;
  const int32_t sx = src.Left + (dst.Left - X), sy = src.Top + (dst.Top - Y);
  const int32_t w = dst.Width();
  for (int32_t row = 0; row < dst.Height(); ++row) {
    const TColor32* s = Source.ScanLine(sy + row) + sx;
    TColor32* d = ScanLine(dst.Top + row) + dst.Left;
    CombineRow(Source, s, d, w);
  }
}
