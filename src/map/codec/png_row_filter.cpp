#include "map/codec/png_row_filter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline uint32_t Cost(uint8_t V) { return V < 128 ? V : 256u - V; }

inline uint8_t Paeth(uint8_t A, uint8_t B, uint8_t C) {
  const int p = int(A) + int(B) - int(C);
  const int pa = std::abs(p - int(A)), pb = std::abs(p - int(B)), pc = std::abs(p - int(C));
  if (pa <= pb && pa <= pc) return A;
  return pb <= pc ? B : C;
}

// The filtered byte for filter Type (0 none, 1 sub, 2 up, 3 average, 4 Paeth) of
// X, with A the byte one pixel to the left, B the one above and C above-left.
template <int Type>
inline uint8_t Filtered(uint8_t X, uint8_t A, uint8_t B, uint8_t C) {
  if constexpr (Type == 0) return X;
  if constexpr (Type == 1) return uint8_t(X - A);
  if constexpr (Type == 2) return uint8_t(X - B);
  if constexpr (Type == 3) return uint8_t(X - uint8_t((unsigned(A) + B) >> 1));
  return uint8_t(X - Paeth(A, B, C));
}

// Calls Put(i, filtered byte) for every byte of the row; the first pixel has no
// left neighbour, which counts as 0.
template <int Type, class TPut>
inline void ForEachFiltered(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp,
                            TPut&& Put) {
  const size_t lead = Bpp < Bytes ? Bpp : Bytes;
  for (size_t i = 0; i < lead; ++i) Put(i, Filtered<Type>(Row[i], 0, Prior[i], 0));
  for (size_t i = lead; i < Bytes; ++i)
    Put(i, Filtered<Type>(Row[i], Row[i - Bpp], Prior[i], Prior[i - Bpp]));
}

template <int Type>
uint32_t SumOf(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp) {
  uint32_t sum = 0;
  ForEachFiltered<Type>(Row, Prior, Bytes, Bpp, [&](size_t, uint8_t V) { sum += Cost(V); });
  return sum;
}

// The sum of filter Type, or some value of at least Stop once the sum reaches it
// (the rest of the row is then not looked at).
template <int Type>
uint32_t SumBelow(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp,
                  uint32_t Stop) {
  uint32_t sum = 0;
  const size_t lead = Bpp < Bytes ? Bpp : Bytes;
  for (size_t i = 0; i < lead; ++i) sum += Cost(Filtered<Type>(Row[i], 0, Prior[i], 0));
  constexpr size_t kStretch = 1024;
  for (size_t at = lead; at < Bytes && sum < Stop;) {
    const size_t end = Bytes - at > kStretch ? at + kStretch : Bytes;
    for (size_t i = at; i < end; ++i)
      sum += Cost(Filtered<Type>(Row[i], Row[i - Bpp], Prior[i], Prior[i - Bpp]));
    at = end;
  }
  return sum;
}

template <int Type>
void Write(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp, uint8_t* Out) {
  Out[0] = uint8_t(Type);
  ForEachFiltered<Type>(Row, Prior, Bytes, Bpp, [&](size_t I, uint8_t V) { Out[1 + I] = V; });
}

void Sums(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp, uint32_t Out[5]) {
  Out[0] = SumOf<0>(Row, Prior, Bytes, Bpp);
  Out[1] = SumOf<1>(Row, Prior, Bytes, Bpp);
  Out[2] = SumOf<2>(Row, Prior, Bytes, Bpp);
  Out[3] = SumOf<3>(Row, Prior, Bytes, Bpp);
  Out[4] = SumOf<4>(Row, Prior, Bytes, Bpp);
}

// The filter with the smallest sum, ties going to the simpler filter.
int Smallest(const uint32_t Sums[5]) {
  int best = 0;
  for (int t = 1; t < 5; ++t)
    if (Sums[t] < Sums[best]) best = t;
  return best;
}

void WriteWith(int Type, const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp,
               uint8_t* Out) {
  switch (Type) {
    case 0:
      Write<0>(Row, Prior, Bytes, Bpp, Out);
      break;
    case 1:
      Write<1>(Row, Prior, Bytes, Bpp, Out);
      break;
    case 2:
      Write<2>(Row, Prior, Bytes, Bpp, Out);
      break;
    case 3:
      Write<3>(Row, Prior, Bytes, Bpp, Out);
      break;
    default:
      Write<4>(Row, Prior, Bytes, Bpp, Out);
      break;
  }
}

#if defined(__SSE2__)
// The filters of rows of three-byte pixels, sixteen bytes at a time. Bytes 0 to 2
// have no left neighbour and are done one by one; a row's tail too.
namespace sse {

inline __m128i Load(const uint8_t* P) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
}

// The costs of sixteen filtered bytes (each byte taken as signed, made
// positive), added into the two 64-bit halves of Sum.
inline __m128i AddCost(__m128i Sum, __m128i V) {
  const __m128i cost = _mm_min_epu8(V, _mm_sub_epi8(_mm_setzero_si128(), V));
  return _mm_add_epi64(Sum, _mm_sad_epu8(cost, _mm_setzero_si128()));
}

inline uint32_t Total(__m128i Sum) {
  return uint32_t(_mm_cvtsi128_si32(Sum)) + uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(Sum, 8)));
}

// Paeth's prediction from A (left), B (above) and C (above-left), in 16-bit lanes.
inline __m128i Paeth16(__m128i A, __m128i B, __m128i C) {
  auto abs16 = [](__m128i X) { return _mm_max_epi16(X, _mm_sub_epi16(_mm_setzero_si128(), X)); };
  const __m128i pa = abs16(_mm_sub_epi16(B, C));  // |p - a| with p = a + b - c
  const __m128i pb = abs16(_mm_sub_epi16(A, C));
  const __m128i pc = abs16(_mm_sub_epi16(_mm_add_epi16(A, B), _mm_add_epi16(C, C)));
  // a when pa <= pb and pa <= pc; else b when pb <= pc; else c.
  const __m128i takeA = _mm_andnot_si128(
      _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc)), _mm_set1_epi16(-1));
  const __m128i takeB = _mm_andnot_si128(_mm_cmpgt_epi16(pb, pc), _mm_set1_epi16(-1));
  const __m128i bc = _mm_or_si128(_mm_and_si128(takeB, B), _mm_andnot_si128(takeB, C));
  return _mm_or_si128(_mm_and_si128(takeA, A), _mm_andnot_si128(takeA, bc));
}

// Sixteen filtered bytes of filter Type at byte I >= 3 of the row.
template <int Type>
inline __m128i Filtered16(const uint8_t* Row, const uint8_t* Prior, size_t I) {
  const __m128i x = Load(Row + I);
  if constexpr (Type == 0) return x;
  if constexpr (Type == 1) return _mm_sub_epi8(x, Load(Row + I - 3));
  if constexpr (Type == 2) return _mm_sub_epi8(x, Load(Prior + I));
  if constexpr (Type == 3) {
    const __m128i a = Load(Row + I - 3), b = Load(Prior + I);
    // The rounded-up mean less the rounding: the mean rounded down.
    const __m128i mean =
        _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
    return _mm_sub_epi8(x, mean);
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i a = Load(Row + I - 3), b = Load(Prior + I), c = Load(Prior + I - 3);
  const __m128i lo =
      Paeth16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero));
  const __m128i hi =
      Paeth16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero));
  return _mm_sub_epi8(x, _mm_packus_epi16(lo, hi));
}

// The sum of filter Type over the row, or some value of at least Stop once the
// sum reaches it.
template <int Type>
uint32_t SumBelow(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, uint32_t Stop) {
  uint32_t sum = 0;
  for (size_t i = 0; i < 3 && i < Bytes; ++i) sum += Cost(Filtered<Type>(Row[i], 0, Prior[i], 0));
  size_t i = 3;
  constexpr size_t kStretch = 1024;
  while (i + 16 <= Bytes && sum < Stop) {
    const size_t end = std::min(Bytes - 15, i + kStretch);
    __m128i s = _mm_setzero_si128();
    for (; i < end; i += 16) s = AddCost(s, Filtered16<Type>(Row, Prior, i));
    sum += Total(s);
  }
  for (; i < Bytes && sum < Stop; ++i)
    sum += Cost(Filtered<Type>(Row[i], Row[i - 3], Prior[i], Prior[i - 3]));
  return sum;
}

template <int Type>
void Write(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, uint8_t* Out) {
  Out[0] = uint8_t(Type);
  size_t i = 0;
  for (; i < 3 && i < Bytes; ++i) Out[1 + i] = Filtered<Type>(Row[i], 0, Prior[i], 0);
  for (; i + 16 <= Bytes; i += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 1 + i), Filtered16<Type>(Row, Prior, i));
  for (; i < Bytes; ++i) Out[1 + i] = Filtered<Type>(Row[i], Row[i - 3], Prior[i], Prior[i - 3]);
}

}  // namespace sse
#endif

}  // namespace

void FilterPngRow(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp,
                  uint8_t* Out) {
  uint32_t sums[5];
  Sums(Row, Prior, Bytes, Bpp, sums);
  WriteWith(Smallest(sums), Row, Prior, Bytes, Bpp, Out);
}

void FilterPngRowFavouringUp(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp,
                             uint8_t* Out) {
  // Another filter wins only below 70 % of up's sum, so each of them is summed
  // only until it reaches that; the smallest of those below wins, ties going to
  // the simpler filter.
#if defined(__SSE2__)
  if (Bpp == 3) {
    const uint32_t upSum = sse::SumBelow<2>(Row, Prior, Bytes, UINT32_MAX);
    const uint32_t upStop = uint32_t((uint64_t(upSum) * 7 + 9) / 10);
    const uint32_t sums[4] = {
        sse::SumBelow<0>(Row, Prior, Bytes, upStop), sse::SumBelow<1>(Row, Prior, Bytes, upStop),
        sse::SumBelow<3>(Row, Prior, Bytes, upStop), sse::SumBelow<4>(Row, Prior, Bytes, upStop)};
    static constexpr int kChoice[4] = {0, 1, 3, 4};
    int chosen = 2;
    uint32_t chosenSum = upStop;
    for (int k = 0; k < 4; ++k)
      if (sums[k] < chosenSum) chosenSum = sums[k], chosen = kChoice[k];
    switch (chosen) {
      case 0:
        sse::Write<0>(Row, Prior, Bytes, Out);
        return;
      case 1:
        sse::Write<1>(Row, Prior, Bytes, Out);
        return;
      case 2:
        sse::Write<2>(Row, Prior, Bytes, Out);
        return;
      case 3:
        sse::Write<3>(Row, Prior, Bytes, Out);
        return;
      default:
        sse::Write<4>(Row, Prior, Bytes, Out);
        return;
    }
  }
#endif
  const uint32_t up = SumOf<2>(Row, Prior, Bytes, Bpp);
  const uint32_t stop = uint32_t((uint64_t(up) * 7 + 9) / 10);
  const uint32_t others[4] = {
      SumBelow<0>(Row, Prior, Bytes, Bpp, stop), SumBelow<1>(Row, Prior, Bytes, Bpp, stop),
      SumBelow<3>(Row, Prior, Bytes, Bpp, stop), SumBelow<4>(Row, Prior, Bytes, Bpp, stop)};
  static constexpr int kTypes[4] = {0, 1, 3, 4};
  int best = 2;
  uint32_t bestSum = stop;
  for (int k = 0; k < 4; ++k)
    if (others[k] < bestSum) bestSum = others[k], best = kTypes[k];
  WriteWith(best, Row, Prior, Bytes, Bpp, Out);
}
