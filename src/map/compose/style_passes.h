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
  int32_t At(int32_t X) const {
    const size_t i = size_t((X >> 3) - FGx0);
    const int32_t fx = X & 7;
    const int32_t top = FTop[i] * (8 - fx) + FTop[i + 1] * fx;
    const int32_t bottom = FBottom[i] * (8 - fx) + FBottom[i + 1] * fx;
    return std::clamp((top * (8 - FFy) + bottom * FFy) / 40, -256, 256);
  }

 private:
  int32_t Lattice(int32_t X, int32_t Y) const {
    return int32_t(StyleHash(X, Y, FSeed) % 513) - 256;
  }
  int32_t FGx0, FCount;
  uint32_t FSeed;
  int32_t FFy = 0, FGy = INT32_MIN;
  std::vector<int32_t> FTop, FBottom;
};
