#include "map/codec/png_row_filter.h"

#include <cstdlib>

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
