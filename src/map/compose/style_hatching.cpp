// Hatching: the wall area near the floor is covered with clusters of short
// parallel pen strokes. The plane is cut into tiles (rows of squares, each row
// shifted by its own amount, their borders bent by smooth noise); every tile
// draws its strokes from one of a set of stroke patterns (twelve directions,
// each in two spacings of phase and stroke lengths) and reaches its own
// distance from the floor, so the hatched band ends raggedly. A cell of 4 x 4
// pixels belongs wholly to the tile its middle falls in, so the tile borders
// follow the cells. Everything follows from the pixel position and the seed.

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <optional>

#include "map/compose/style_passes.h"

namespace {

constexpr int32_t kDirections = 12;
constexpr int32_t kPatterns = 2 * kDirections;

struct TDirection {
  int32_t Cos, Sin;  // 1/256 units
};

std::array<TDirection, kDirections> Directions() {
  std::array<TDirection, kDirections> d{};
  for (int32_t k = 0; k < kDirections; ++k) {
    const double a = k * 3.14159265358979323846 / kDirections;
    d[size_t(k)] = {int32_t(std::lround(std::cos(a) * 256)),
                    int32_t(std::lround(std::sin(a) * 256))};
  }
  return d;
}

int32_t FloorDiv(int32_t A, int32_t B) { return A >= 0 ? A / B : -((-A + B - 1) / B); }

// floor(A / B) for values that move little from one call to the next: the last
// quotient stepped up or down, dividing only on a jump.
class TNearDiv {
 public:
  explicit TNearDiv(int32_t B) : FB(B) {}
  int32_t operator()(int32_t A) {
    const int64_t r = int64_t(A) - FLow;
    if (FValid && r >= 0 && r < FB) return FQ;
    if (FValid && r >= FB && r < 2 * int64_t(FB)) {
      FLow += FB;
      return ++FQ;
    }
    if (FValid && r < 0 && r >= -int64_t(FB)) {
      FLow -= FB;
      return --FQ;
    }
    FValid = true;
    FQ = FloorDiv(A, FB);
    FLow = int64_t(FQ) * FB;
    return FQ;
  }

 private:
  int32_t FB;
  bool FValid = false;
  int32_t FQ = 0;
  int64_t FLow = 0;  // FQ * FB
};

// The stroke patterns as alpha masks around a tile's centre, reaching as far
// as any pixel of a cell whose middle lies in the tile (5/6 of a tile and the
// cell's half), made once for the settings and kept for the thread.
struct TStrokeMasks {
  int32_t Spacing = 0;
  uint32_t Seed = 0, Alpha = 0;
  int32_t Radius = 0, Side = 0;
  std::vector<uint8_t> Mask;  // kPatterns squares of Side x Side

  const uint8_t* At(int32_t Pattern, int32_t DX, int32_t DY) const {
    return Mask.data() + (size_t(Pattern) * size_t(Side) + size_t(DY + Radius)) * size_t(Side) +
           size_t(DX + Radius);
  }
};

const TStrokeMasks& StrokeMasks(const TStyleHatching& H) {
  thread_local TStrokeMasks m;
  const uint32_t colorAlpha = H.Color >> 24;
  if (m.Side != 0 && m.Spacing == H.Spacing && m.Seed == H.Seed && m.Alpha == colorAlpha) return m;
  static const std::array<TDirection, kDirections> dirs = Directions();
  const int32_t spacing = H.Spacing, tile = spacing * 4, spacing256 = spacing * 256;
  m.Spacing = spacing, m.Seed = H.Seed, m.Alpha = colorAlpha;
  m.Radius = tile + 4;
  m.Side = 2 * m.Radius + 1;
  m.Mask.assign(size_t(kPatterns) * size_t(m.Side) * size_t(m.Side), 0);
  for (int32_t p = 0; p < kPatterns; ++p) {
    const uint32_t hash = StyleHash(p, 0x7A11, H.Seed);
    const TDirection dir = dirs[size_t(p % kDirections)];
    const int32_t phase = int32_t((hash >> 8) % uint32_t(spacing256));
    // Strokes end at their own length, no longer than the tile; one in eight
    // is left out.
    auto halfOf = [&](int32_t K) {
      const uint32_t sh = StyleHash(K, int32_t(hash), H.Seed + 1);
      return sh % 8 == 0 ? -1 : tile * 256 * (6 + int32_t((sh >> 4) % 5)) / 20;
    };
    for (int32_t dy = -m.Radius; dy <= m.Radius; ++dy)
      for (int32_t dx = -m.Radius; dx <= m.Radius; ++dx) {
        // Across the strokes (u, lifted by whole periods to stay positive)
        // and along them (v), in 1/256 pixel.
        const int32_t u = dx * dir.Cos + dy * dir.Sin + phase + spacing256 * 16;
        const int32_t v = -dx * dir.Sin + dy * dir.Cos;
        const int32_t k = u / spacing256, across = u - k * spacing256;
        if (std::abs(v) > halfOf(k)) continue;
        // Coverage from the distance to the stroke's centre line: a pen about
        // 1.2 pixels wide with soft edges.
        const int32_t off = std::abs(across - spacing256 / 2);
        const int32_t cover = std::clamp(256 + 40 - off * 5 / 4, 0, 256);
        m.Mask[size_t(m.At(p, dx, dy) - m.Mask.data())] =
            uint8_t(colorAlpha * uint32_t(cover) / 256);
      }
  }
  return m;
}

}  // namespace

void DrawHatching(const TStyleField& Field, TStyleTarget& Out, const TStyleHatching& H) {
  const TStrokeMasks& masks = StrokeMasks(H);
  const int32_t tile = H.Spacing * 4;
  const uint32_t rgb = H.Color & 0x00FFFFFFu;
  // The reach of a tile lies between 3/4 and 5/4 of the distance.
  const int32_t base = 2 * H.Distance;
  const int32_t firstCell = Field.CellIndex(Out.Src.Left);
  const int32_t lastCell = Field.CellIndex(Out.Src.Right - 1);
  // The noise that bends the tile borders, taken at the cells' middles.
  std::optional<TStyleNoiseRow> bendX, bendY;
  // Its blends along its band at each cell's middle column, which hold for
  // the two rows of cells in a band (bandOf: the band they are for).
  const size_t cells = size_t(lastCell - firstCell + 1);
  std::vector<int32_t> upX(cells), loX(cells), upY(cells), loY(cells);
  std::vector<int32_t> bandOf(cells, INT32_MIN);
  int32_t band = INT32_MIN;
  constexpr int32_t kCell = TStyleField::kCell;
  const int32_t top = Out.Src.Top - (((Out.Src.Top % kCell) + kCell) % kCell);
  for (int32_t cellTop = top; cellTop < Out.Src.Bottom; cellTop += kCell) {
    const int32_t y0 = std::max(Out.Src.Top, cellTop);
    const int32_t y1 = std::min(Out.Src.Bottom, cellTop + kCell);
    const uint8_t* cellKinds = Field.CellKinds(y0);
    const uint8_t* toFloor = Field.RoughToFloorRow(y0);
    // The pixel rows of this row of cells.
    const uint8_t* kindRows[kCell];
    TColor32* dstRows[kCell];
    for (int32_t y = y0; y < y1; ++y) {
      kindRows[y - y0] = Field.Kinds(y);
      dstRows[y - y0] = Out.Row(y);
    }
    bool bent = false;                        // the noise is on this row of cells
    int32_t shiftRow = INT32_MIN, shift = 0;  // the row of tiles and its shift
    TNearDiv rowOfTiles(tile), tileOfRow(tile);
    // The last tile met, with its reach and pattern.
    int32_t tileX = INT32_MIN, tileY = INT32_MIN, reach = 0, pattern = 0;
    for (int32_t c = firstCell; c <= lastCell; ++c) {
      // Only cells holding wall within 5/4 of the distance from the floor.
      if (!(cellKinds[c] & 2)) continue;
      const int32_t d = RoughPixels(toFloor[c]);
      if (d > base * 5 / 4) continue;
      const int32_t cellX = Field.CellX(c);
      const int32_t midX = cellX + kCell / 2, midY = cellTop + kCell / 2;
      if (!bent) {
        bent = true;
        if (!bendX) {
          const int32_t left = Field.CellX(firstCell), right = Field.CellX(lastCell) + kCell;
          bendX.emplace(left, right, midY, H.Seed + 11);
          bendY.emplace(left, right, midY, H.Seed + 12);
        }
        bendX->MoveTo(midY);
        bendY->MoveTo(midY);
        band = bendX->Band();
      }
      // The tile of the cell's middle, its borders moved by up to a third of a
      // tile.
      const size_t j = size_t(c - firstCell);
      if (bandOf[j] != band) {
        bandOf[j] = band;
        upX[j] = bendX->Upper(midX), loX[j] = bendX->Lower(midX);
        upY[j] = bendY->Upper(midX), loY[j] = bendY->Lower(midX);
      }
      const int32_t wx = midX + bendX->Mix(upX[j], loX[j]) * tile / 768;
      const int32_t wy = midY + bendY->Mix(upY[j], loY[j]) * tile / 768;
      const int32_t ty = rowOfTiles(wy);
      if (ty != shiftRow) {
        shiftRow = ty;
        shift = int32_t(StyleHash(0x5EED, ty, H.Seed) % uint32_t(tile));
      }
      const int32_t tx = tileOfRow(wx - shift);
      if (tx != tileX || ty != tileY) {
        tileX = tx, tileY = ty;
        const uint32_t hash = StyleHash(tx, ty, H.Seed);
        reach = base * 3 / 4 + int32_t((hash >> 20) % uint32_t(base / 2 + 1));
        pattern = int32_t(hash % kPatterns);
      }
      if (d > reach) continue;
      const int32_t cx = tx * tile + shift + tile / 2, cy = ty * tile + tile / 2;
      const int32_t x0 = std::max(Out.Src.Left, cellX);
      const int32_t x1 = std::min(Out.Src.Right, cellX + kCell);
      const uint8_t* mask = masks.At(pattern, x0 - cx, y0 - cy) - masks.Side;
      for (int32_t r = 0; r < y1 - y0; ++r) {
        mask += masks.Side;
        const uint8_t* kind = kindRows[r] + x0;
        TColor32* dst = dstRows[r] + x0;
        // Ink only on wall pixels; alpha 0 keeps the pixel.
        if (x1 - x0 == kCell) {
          uint32_t m4, k4;
          std::memcpy(&m4, mask, 4);
          if (m4 == 0) continue;
          std::memcpy(&k4, kind, 4);
          const uint32_t a0 = kind[0] == skWall ? mask[0] : 0u;
          const uint32_t a1 = kind[1] == skWall ? mask[1] : 0u;
          const uint32_t a2 = kind[2] == skWall ? mask[2] : 0u;
          const uint32_t a3 = kind[3] == skWall ? mask[3] : 0u;
          if (k4 == 0x01010101u || (a0 | a1 | a2 | a3) != 0)
            StyleBlendFour(dst, a0, a1, a2, a3, rgb);
        } else {
          for (int32_t i = 0; i < x1 - x0; ++i) {
            const uint32_t a = kind[i] == skWall ? mask[i] : 0u;
            dst[i] = StyleBlend(a, (a << 24) | rgb, dst[i]);
          }
        }
      }
    }
  }
}
