#pragma once
// The passes of the map styles, each drawn over a composed area in this order:
// ink-saving colours, drop shadow, hatching, outline. map_style.cpp runs them.

#include <algorithm>
#include <vector>

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
inline uint32_t StyleHash(int32_t X, int32_t Y, uint32_t Seed) {
  uint32_t h = Seed * 0x9E3779B1u ^ uint32_t(X) * 0x85EBCA77u ^ uint32_t(Y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Smooth noise in -256 .. 256 along one row Y of map pixels X0 .. X1 - 1:
// bilinear between hashed lattice values every 8 pixels (fetched once for the
// row), stretched so that the whole range is used often.
class TStyleNoiseRow {
 public:
  TStyleNoiseRow(int32_t X0, int32_t X1, int32_t Y, uint32_t Seed) : FGx0(X0 >> 3), FFy(Y & 7) {
    const int32_t gy = Y >> 3, n = (std::max(X1, X0 + 1) >> 3) - FGx0 + 2;
    for (int32_t i = 0; i < n; ++i) {
      FTop.push_back(int32_t(StyleHash(FGx0 + i, gy, Seed) % 513) - 256);
      FBottom.push_back(int32_t(StyleHash(FGx0 + i, gy + 1, Seed) % 513) - 256);
    }
  }
  int32_t At(int32_t X) const {
    const size_t i = size_t((X >> 3) - FGx0);
    const int32_t fx = X & 7;
    const int32_t top = FTop[i] * (8 - fx) + FTop[i + 1] * fx;
    const int32_t bottom = FBottom[i] * (8 - fx) + FBottom[i + 1] * fx;
    return std::clamp((top * (8 - FFy) + bottom * FFy) / 40, -256, 256);
  }

 private:
  int32_t FGx0, FFy;
  std::vector<int32_t> FTop, FBottom;
};
