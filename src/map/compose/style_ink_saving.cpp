// Ink-saving print: floor pixels keep their picture only as light grey detail
// (the darkness of each pixel cut to a quarter, on white); wall pixels become
// white, for the hatching to be drawn on, or an even light grey. The black lines
// of doors are kept as they are.

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "map/compose/style_passes.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr TColor32 kPaper = 0xFFFFFFFF;
constexpr TColor32 kGreyWall = 0xFFA8A8A8;

// The light grey of a floor pixel: its luminance, darkness cut to a quarter.
inline TColor32 Grey(TColor32 P) {
  const uint32_t lum = (77 * ((P >> 16) & 255) + 150 * ((P >> 8) & 255) + 29 * (P & 255)) >> 8;
  const uint32_t g = 255 - (255 - lum) / 4;
  return 0xFF000000u | (g << 16) | (g << 8) | g;
}

#if defined(__SSE2__)
// Grey of four pixels at once: the weighted channels summed pairwise in 32-bit
// lanes, the same numbers as Grey.
inline __m128i GreyFour(__m128i P) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i weights = _mm_setr_epi16(29, 150, 77, 0, 29, 150, 77, 0);
  __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(P, zero), weights);
  __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(P, zero), weights);
  // Lanes 0 and 2 of each now hold a pixel's sum.
  lo = _mm_add_epi32(lo, _mm_srli_epi64(lo, 32));
  hi = _mm_add_epi32(hi, _mm_srli_epi64(hi, 32));
  const __m128i sum = _mm_castps_si128(
      _mm_shuffle_ps(_mm_castsi128_ps(lo), _mm_castsi128_ps(hi), _MM_SHUFFLE(2, 0, 2, 0)));
  const __m128i c255 = _mm_set1_epi32(255);
  const __m128i g =
      _mm_sub_epi32(c255, _mm_srli_epi32(_mm_sub_epi32(c255, _mm_srli_epi32(sum, 8)), 2));
  return _mm_or_si128(_mm_set1_epi32(int32_t(0xFF000000u)),
                      _mm_or_si128(g, _mm_or_si128(_mm_slli_epi32(g, 8), _mm_slli_epi32(g, 16))));
}

// All bits set in the lanes of the four pixels whose kind is wall.
inline __m128i WallFour(const uint8_t* Kind) {
  int32_t k;
  std::memcpy(&k, Kind, 4);
  __m128i m = _mm_cmpeq_epi8(_mm_cvtsi32_si128(k), _mm_set1_epi8(char(skWall)));
  m = _mm_unpacklo_epi8(m, m);
  return _mm_unpacklo_epi16(m, m);
}

inline __m128i Select(__m128i Mask, __m128i A, __m128i B) {
  return _mm_or_si128(_mm_and_si128(Mask, A), _mm_andnot_si128(Mask, B));
}
#endif

}  // namespace

void DrawInkSaving(const TMapEditLayerList& Map, const TStyleField& Field, TStyleTarget& Out,
                   const TStyleInkSaving& Ink) {
  const TMapEditDoorList* doors = Map.DoorsIfCreated();
  const TBitmap32* doorBits = (doors && doors->HasDoors()) ? doors->BitmapIfCreated() : nullptr;
  const TColor32 wall = Ink.Walls == TInkWalls::Grey ? kGreyWall : kPaper;
  // Bounds in locals: the loops' stores could otherwise alias them.
  const int32_t left = Out.Src.Left, right = Out.Src.Right;
  for (int32_t y = Out.Src.Top; y < Out.Src.Bottom; ++y) {
    TColor32* __restrict__ dst = Out.Row(y);
    const uint8_t* __restrict__ kind = Field.Kinds(y);
    // Door pixels lie only within the door bitmap; the row is done in two
    // stretches, four pixels at a time where the processor allows.
    const TColor32* __restrict__ door =
        doorBits && y < doorBits->Height() ? doorBits->ScanLine(y) : nullptr;
    const int32_t doorEnd = door ? std::clamp(doorBits->Width(), left, right) : left;
    int32_t x = left;
#if defined(__SSE2__)
    const __m128i wallFour = _mm_set1_epi32(int32_t(wall));
    for (; x + 4 <= doorEnd; x += 4) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + x));
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(door + x));
      const __m128i keep = _mm_cmpeq_epi32(_mm_srli_epi32(d, 24), _mm_set1_epi32(255));
      const __m128i floor = Select(keep, p, GreyFour(p));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                       Select(WallFour(kind + x), wallFour, floor));
    }
#endif
    for (; x < doorEnd; ++x) {
      const TColor32 p = dst[x];
      const TColor32 floor = (door[x] >> 24) == 255 ? p : Grey(p);
      dst[x] = kind[x] == skWall ? wall : floor;
    }
    x = std::max(x, doorEnd);
#if defined(__SSE2__)
    for (; x + 4 <= right; x += 4) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + x));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                       Select(WallFour(kind + x), wallFour, GreyFour(p)));
    }
#endif
    for (; x < right; ++x) dst[x] = kind[x] == skWall ? wall : Grey(dst[x]);
  }
}
