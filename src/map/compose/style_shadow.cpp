// The drop shadow: a floor pixel is in shadow when a wall pixel lies behind it,
// against the shadow's direction, within the shadow's length. The first wall
// met going back decides the strength: full over the first Length - Softness
// pixels, then falling off linearly over the last Softness pixels.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "map/compose/style_passes.h"

void DrawShadow(const TStyleField& Field, TStyleTarget& Out, const TStyleShadow& Shadow) {
  const int32_t len = Shadow.Length, soft = Shadow.Softness;
  if (len <= 0 || Shadow.Opacity == 0) return;
  const double a = double(Shadow.Angle % 360) * 3.14159265358979323846 / 180.0;
  const double ca = std::cos(a), sa = std::sin(a);
  // The steps back towards the casting wall, and the shadow alpha at each.
  std::vector<int32_t> ox(size_t(len) + 1), oy(size_t(len) + 1);
  std::vector<uint32_t> alpha(size_t(len) + 1, 0);  // 0: no wall met
  for (int32_t t = 1; t <= len; ++t) {
    ox[size_t(t)] = -int32_t(std::lround(t * ca));
    oy[size_t(t)] = -int32_t(std::lround(t * sa));
    const int32_t fade = t - (len - soft);  // 1 .. soft inside the soft end
    alpha[size_t(t)] =
        fade <= 0 ? Shadow.Opacity
                  : uint32_t(Shadow.Opacity) * uint32_t(soft + 1 - fade) / uint32_t(soft + 1);
  }
  // The steps as offsets in the field, which reaches Length pixels beyond the
  // drawn area on every side.
  std::vector<ptrdiff_t> step(size_t(len) + 1);
  for (int32_t t = 1; t <= len; ++t)
    step[size_t(t)] = ptrdiff_t(oy[size_t(t)]) * Field.Stride() + ox[size_t(t)];
  // The rough cells a step back may land in, as offsets from the cell a pixel
  // lies in (the field's cells sit on a grid fixed to the map): a shadow can
  // fall only on the floor of cells with a wall cell at one of them.
  constexpr int32_t kCell = TStyleField::kCell;
  auto cellOf = [](int32_t V) { return V >= 0 ? V / kCell : -((-V + kCell - 1) / kCell); };
  std::vector<std::pair<int32_t, int32_t>> behind;  // (cells across, rows of cells)
  for (int32_t t = 1; t <= len; ++t)
    for (int32_t dy = cellOf(oy[size_t(t)]); dy <= cellOf(oy[size_t(t)] + kCell - 1); ++dy)
      for (int32_t dx = cellOf(ox[size_t(t)]); dx <= cellOf(ox[size_t(t)] + kCell - 1); ++dx)
        if (std::find(behind.begin(), behind.end(), std::make_pair(dx, dy)) == behind.end())
          behind.emplace_back(dx, dy);
  const int32_t firstCell = Field.CellIndex(Out.Src.Left);
  const int32_t lastCell = Field.CellIndex(Out.Src.Right - 1);
  std::vector<uint8_t> walls(size_t(lastCell - firstCell + 1));
  // Row by row, over the stretches of cells that may take shadow: the step
  // back at which each pixel first meets a wall (0: none), found one step at a
  // time for the whole stretch, in plain byte loops the compiler turns into
  // vector code.
  const int32_t left = Out.Src.Left;
  std::vector<uint8_t> first(size_t(Out.Src.Width()));
  std::vector<TStyleSpan> runs;
  const uint8_t* runsOf = nullptr;  // the row of cells the runs were found for
  auto findRuns = [&](int32_t Y, const uint8_t* cellKinds) {
    // The kinds of the cells behind each cell, merged in plain byte loops.
    uint8_t* __restrict__ w = walls.data() - firstCell;
    std::fill(walls.begin(), walls.end(), uint8_t(0));
    for (const auto& [dx, dy] : behind) {
      const uint8_t* __restrict__ at = Field.CellKinds(Y + dy * kCell) + dx;
      for (int32_t c = firstCell; c <= lastCell; ++c) w[c] |= at[c];
    }
    runs.clear();
    for (int32_t c = firstCell; c <= lastCell; ++c) {
      if (!(cellKinds[c] & 1) || !(w[c] & 2)) continue;
      const int32_t x0 = std::max(left, Field.CellX(c));
      const int32_t x1 = std::min(Out.Src.Right, Field.CellX(c) + TStyleField::kCell);
      if (!runs.empty() && runs.back().End == x0)
        runs.back().End = x1;
      else
        runs.push_back({x0, x1});
    }
  };
  for (int32_t y = Out.Src.Top; y < Out.Src.Bottom; ++y) {
    const uint8_t* kind = Field.Kinds(y);
    const uint8_t* cellKinds = Field.CellKinds(y);
    // The runs hold for the four rows of a row of cells.
    if (cellKinds != runsOf) {
      runsOf = cellKinds;
      findRuns(y, cellKinds);
    }
    if (runs.empty()) continue;
    TColor32* dst = Out.Row(y);
    uint8_t* __restrict__ f = first.data() - left;
    for (const TStyleSpan r : runs) {
      // Bounds in locals: byte stores could otherwise alias them.
      const int32_t b = r.Begin, e = r.End;
      std::fill(f + b, f + e, uint8_t(0));
      for (int32_t t = 1; t <= len; ++t) {
        const uint8_t* __restrict__ back = kind + step[size_t(t)];
        const uint8_t tt = uint8_t(t);
        for (int32_t x = b; x < e; ++x) {
          const uint8_t cur = f[x];
          f[x] = ((cur == 0) & (back[x] == skWall)) ? tt : cur;
        }
      }
      // Only floor takes the shadow; then the pixels in shadow, found eight at
      // a time.
      for (int32_t x = b; x < e; ++x) f[x] = kind[x] == skFloor ? f[x] : uint8_t(0);
      auto shade = [&](int32_t X) {
        const uint32_t a = alpha[f[X]];
        dst[X] = StyleBlend(a, a << 24, dst[X]);
      };
      int32_t x = b;
      for (; x + 8 <= e; x += 8) {
        uint64_t any;
        std::memcpy(&any, f + x, 8);
        if (any)
          for (int32_t i = x; i < x + 8; ++i) shade(i);
      }
      for (; x < e; ++x)
        if (f[x]) shade(x);
    }
  }
}
