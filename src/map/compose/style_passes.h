#pragma once
// The passes of the map styles, each drawn over a composed area in this order:
// ink-saving colours, drop shadow, hatching, outline. map_style.cpp runs them.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "map/base/position_hash.h"
#include "map/compose/map_style_options.h"
#include "map/compose/style_field.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class TMapEditLayerList;

// Floors to light grey, walls to white (or solid grey); door lines stay.
void DrawInkSaving(const TMapEditLayerList& Map, const TStyleField& Field, TStyleTarget& Out,
                   const TStyleInkSaving& Ink);
// The black shadow the walls cast onto the floor.
void DrawShadow(const TStyleField& Field, TStyleTarget& Out, const TStyleShadow& Shadow);
// Pen strokes on the wall pixels near the floor.
void DrawHatching(const TStyleField& Field, TStyleTarget& Out, const TStyleHatching& Hatching);
// The line along the wall side of the wall/floor boundary.
void DrawOutline(const TStyleField& Field, TStyleTarget& Out, const TStyleOutline& Outline);

// F over B as BlendPixel does it, A being F's alpha, without branching: two
// channels at a time (each lane's sum stays below 2^16), A == 0 keeping B and
// A == 255 taking F.
inline TColor32 StyleBlend(uint32_t A, TColor32 F, TColor32 B) {
  const uint32_t na = 256 - A;
  const uint32_t rb =
      (((B & 0x00FF00FFu) * na + (F & 0x00FF00FFu) * A + 0x00800080u) >> 8) & 0x00FF00FFu;
  const uint32_t ag =
      (((B >> 8) & 0x00FF00FFu) * na + ((F >> 8) & 0x00FF00FFu) * A + 0x00800080u) & 0xFF00FF00u;
  return A == 255 ? F : (rb | ag);
}

// Dst[0 .. 3] under the colours (Ai << 24) | Rgb, as StyleBlend does each: the
// four at once in 16-bit lanes where the processor allows.
inline void StyleBlendFour(TColor32* Dst, uint32_t A0, uint32_t A1, uint32_t A2, uint32_t A3,
                           uint32_t Rgb) {
#if defined(__SSE2__)
  const __m128i a = _mm_setr_epi32(int32_t(A0), int32_t(A1), int32_t(A2), int32_t(A3));
  const __m128i f = _mm_or_si128(_mm_slli_epi32(a, 24), _mm_set1_epi32(int32_t(Rgb)));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst));
  // Each pixel's alpha in all four of its channel lanes.
  const __m128i a2 = _mm_or_si128(a, _mm_slli_epi32(a, 16));
  const __m128i aLo = _mm_unpacklo_epi32(a2, a2), aHi = _mm_unpackhi_epi32(a2, a2);
  const __m128i c256 = _mm_set1_epi16(256), c128 = _mm_set1_epi16(128), zero = _mm_setzero_si128();
  auto half = [&](__m128i B, __m128i F, __m128i Alpha) {
    const __m128i sum = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(B, _mm_sub_epi16(c256, Alpha)), _mm_mullo_epi16(F, Alpha)),
        c128);
    return _mm_srli_epi16(sum, 8);
  };
  const __m128i lo = half(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(f, zero), aLo);
  const __m128i hi = half(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(f, zero), aHi);
  const __m128i full = _mm_cmpeq_epi32(a, _mm_set1_epi32(255));
  const __m128i out =
      _mm_or_si128(_mm_and_si128(full, f), _mm_andnot_si128(full, _mm_packus_epi16(lo, hi)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst), out);
#else
  const uint32_t a[4] = {A0, A1, A2, A3};
  for (int32_t i = 0; i < 4; ++i) Dst[i] = StyleBlend(a[i], (a[i] << 24) | Rgb, Dst[i]);
#endif
}

// Position hashing shared by the passes: the same pixel always gets the same
// value for the same seed.
inline uint32_t StyleHash(int32_t X, int32_t Y, uint32_t Seed) { return PositionHash(X, Y, Seed); }

// Smooth noise in -256 .. 256 along one row Y of map pixels X0 .. X1 - 1:
// bilinear between hashed lattice values every 8 pixels (fetched once for the
// row), stretched so that the whole range is used often. MoveTo takes it to
// another row, fetching the lattice again only when the row leaves its band of
// 8 rows.
class TStyleNoiseRow {
 public:
  TStyleNoiseRow(int32_t X0, int32_t X1, int32_t Y, uint32_t Seed)
      : FGx0(X0 >> 3), FCount((std::max(X1, X0 + 1) >> 3) - (X0 >> 3) + 2), FSeed(Seed) {
    FTop.resize(size_t(FCount));
    FBottom.resize(size_t(FCount));
    MoveTo(Y);
  }
  void MoveTo(int32_t Y) {
    FFy = Y & 7;
    const int32_t gy = Y >> 3;
    if (gy == FGy) return;
    // Going down one band, the lower lattice row becomes the upper one.
    const bool next = FGy != INT32_MIN && gy == FGy + 1;
    FGy = gy;
    if (next) {
      FTop.swap(FBottom);
    } else {
      for (int32_t i = 0; i < FCount; ++i) FTop[size_t(i)] = Lattice(FGx0 + i, gy);
    }
    for (int32_t i = 0; i < FCount; ++i) FBottom[size_t(i)] = Lattice(FGx0 + i, gy + 1);
  }
  int32_t At(int32_t X) const { return Mix(Upper(X), Lower(X)); }
  // At in two steps, for callers that ask for the same columns on many rows:
  // the blends along the band's upper and lower lattice rows, which hold for
  // all its rows, then their mix for the current row.
  int32_t Upper(int32_t X) const { return Along(FTop, X); }
  int32_t Lower(int32_t X) const { return Along(FBottom, X); }
  int32_t Mix(int32_t Top, int32_t Bottom) const {
    return std::clamp((Top * (8 - FFy) + Bottom * FFy) / 40, -256, 256);
  }
  // The band of 8 rows the noise is on.
  int32_t Band() const { return FGy; }

 private:
  int32_t Along(const std::vector<int32_t>& L, int32_t X) const {
    const size_t i = size_t((X >> 3) - FGx0);
    const int32_t fx = X & 7;
    return L[i] * (8 - fx) + L[i + 1] * fx;
  }
  int32_t Lattice(int32_t X, int32_t Y) const {
    return int32_t(StyleHash(X, Y, FSeed) % 513) - 256;
  }
  int32_t FGx0, FCount;
  uint32_t FSeed;
  int32_t FFy = 0, FGy = INT32_MIN;
  std::vector<int32_t> FTop, FBottom;
};
