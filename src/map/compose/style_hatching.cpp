// Hatching: the wall area near the floor is covered with clusters of short
// parallel pen strokes. The plane is cut into tiles (rows of squares, each row
// shifted by its own amount, their borders bent by smooth noise); every tile
// draws its strokes in one of twelve directions and reaches its own distance
// from the floor, so the hatched band ends raggedly. Everything follows from
// the pixel position and the seed.

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <optional>

#include "map/compose/style_passes.h"

namespace {

constexpr int32_t kDirections = 12;

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

// One tile's strokes.
struct TTile {
  int32_t CX = 0, CY = 0;  // centre, map pixels
  TDirection Dir{};
  int32_t Phase = 0;  // 1/256 pixel
  int32_t Reach = 0;  // chamfer length from the floor that the tile hatches
  uint32_t Hash = 0;
};

// A tile met before, kept with the half lengths of its strokes (kUnknown until
// first asked for), indexed by the stroke's number.
constexpr int32_t kStrokes = 32;
constexpr int16_t kUnknown = INT16_MIN;
struct TTileSlot {
  int32_t TX = INT32_MIN, TY = INT32_MIN;
  TTile Tile;
  std::array<int16_t, kStrokes> Half{};
};

}  // namespace

void DrawHatching(const TStyleField& Field, TStyleTarget& Out, const TStyleHatching& H) {
  static const std::array<TDirection, kDirections> dirs = Directions();
  const int32_t spacing = H.Spacing, tile = spacing * 4;
  const int32_t spacing256 = spacing * 256;
  // Division by the stroke period as a multiplication. u stays below 3600
  // periods (a pixel lies within 5/6 of a tile of its tile's centre, and u is
  // lifted by 8 periods to keep it positive), so the error, below u / 2^32,
  // never reaches one part in a period.
  const uint64_t inverse = ((uint64_t(1) << 32) + uint64_t(spacing256) - 1) / uint64_t(spacing256);
  const uint32_t colorAlpha = H.Color >> 24, rgb = H.Color & 0x00FFFFFFu;
  // The reach of a tile lies between 3/4 and 5/4 of the distance.
  const int32_t base = 2 * H.Distance;
  auto tileAt = [&](int32_t TX, int32_t TY, int32_t Shift) {
    TTile t;
    t.Hash = StyleHash(TX, TY, H.Seed);
    t.CX = TX * tile + Shift + tile / 2;
    t.CY = TY * tile + tile / 2;
    t.Dir = dirs[size_t(t.Hash % kDirections)];
    t.Phase = int32_t((t.Hash >> 8) % uint32_t(spacing256));
    t.Reach = base * 3 / 4 + int32_t((t.Hash >> 20) % uint32_t(base / 2 + 1));
    return t;
  };
  // The tiles met lately, by their place: a tile is met again on the rows
  // below and by the cells beside it.
  constexpr int32_t kSlotsX = 256, kSlotsY = 4;
  std::vector<TTileSlot> slots(size_t(kSlotsX * kSlotsY));
  auto slotOf = [&](int32_t TX, int32_t TY, int32_t Shift) -> TTileSlot& {
    TTileSlot& slot = slots[size_t((TY & (kSlotsY - 1)) * kSlotsX + (TX & (kSlotsX - 1)))];
    if (slot.TX != TX || slot.TY != TY) {
      slot.TX = TX, slot.TY = TY;
      slot.Tile = tileAt(TX, TY, Shift);
      slot.Half.fill(kUnknown);
    }
    return slot;
  };
  // Strokes end at their own length, no longer than the tile; one in eight is
  // left out (no pixel lies within -1 of its middle).
  auto halfOf = [&](int32_t K, uint32_t TileHash) {
    const uint32_t sh = StyleHash(K, int32_t(TileHash), H.Seed + 1);
    return sh % 8 == 0 ? -1 : tile * 256 * (6 + int32_t((sh >> 4) % 5)) / 20;
  };
  // The noise that bends the tile borders, made when first needed and moved
  // from row to row.
  std::optional<TStyleNoiseRow> bendX, bendY;
  // The rough cells of the current row of cells that may take strokes: those
  // holding wall within 5/4 of the distance from the floor. Found once for the
  // four pixel rows that share them.
  std::vector<int32_t> near;
  const uint8_t* nearOf = nullptr;  // the cell row they were found for
  const int32_t firstCell = Field.CellIndex(Out.Src.Left);
  const int32_t lastCell = Field.CellIndex(Out.Src.Right - 1);
  // The bending noise's blends along its band at each cell's middle column,
  // made when a cell is first met in a band (bandOf: the band they are for).
  const size_t cells = size_t(lastCell - firstCell + 1);
  std::vector<int32_t> upX(cells), loX(cells), upY(cells), loY(cells);
  std::vector<int32_t> bandOf(cells, INT32_MIN);
  int32_t band = INT32_MIN;
  for (int32_t y = Out.Src.Top; y < Out.Src.Bottom; ++y) {
    TColor32* dst = Out.Row(y);
    bool bent = false;  // the noise is on this row
    TNearDiv rowOfTiles(tile), tileOfRow(tile);
    TTileSlot* slot = nullptr;
    int32_t tileX = INT32_MIN, tileY = INT32_MIN;
    int32_t shiftRow = INT32_MIN, shift = 0;  // the row of tiles and its shift
    const uint8_t* kind = Field.Kinds(y);
    const uint8_t* cellKinds = Field.CellKinds(y);
    const uint8_t* toFloor = Field.RoughToFloorRow(y);
    if (cellKinds != nearOf) {
      nearOf = cellKinds;
      near.clear();
      for (int32_t c = firstCell; c <= lastCell; ++c)
        if ((cellKinds[c] & 2) && RoughPixels(toFloor[c]) <= base * 5 / 4) near.push_back(c);
    }
    for (const int32_t c : near) {
      const int32_t d = RoughPixels(toFloor[c]);
      const int32_t x0 = std::max(Out.Src.Left, Field.CellX(c));
      const int32_t x1 = std::min(Out.Src.Right, Field.CellX(c) + TStyleField::kCell);
      // The tile of the cell (four pixels of the row), its borders moved by up
      // to a third of a tile.
      if (!bent) {
        bent = true;
        if (!bendX) {
          bendX.emplace(Out.Src.Left, Out.Src.Right, y, H.Seed + 11);
          bendY.emplace(Out.Src.Left, Out.Src.Right, y, H.Seed + 12);
        }
        bendX->MoveTo(y);
        bendY->MoveTo(y);
        band = bendX->Band();
      }
      const size_t j = size_t(c - firstCell);
      const int32_t mid = std::clamp(Field.CellX(c) + 2, Out.Src.Left, Out.Src.Right - 1);
      if (bandOf[j] != band) {
        bandOf[j] = band;
        upX[j] = bendX->Upper(mid), loX[j] = bendX->Lower(mid);
        upY[j] = bendY->Upper(mid), loY[j] = bendY->Lower(mid);
      }
      const int32_t wx = mid + bendX->Mix(upX[j], loX[j]) * tile / 768;
      const int32_t wy = y + bendY->Mix(upY[j], loY[j]) * tile / 768;
      const int32_t ty = rowOfTiles(wy);
      if (ty != shiftRow) {
        shiftRow = ty;
        shift = int32_t(StyleHash(0x5EED, ty, H.Seed) % uint32_t(tile));
      }
      const int32_t tx = tileOfRow(wx - shift);
      if (tx != tileX || ty != tileY) {
        slot = &slotOf(tx, ty, shift);
        tileX = tx;
        tileY = ty;
      }
      const TTile& t = slot->Tile;
      if (d > t.Reach) continue;
      // Across the strokes (u) and along them (v), in 1/256 pixel, stepped
      // along the row.
      int32_t u = (x0 - t.CX) * t.Dir.Cos + (y - t.CY) * t.Dir.Sin + t.Phase + spacing256 * 8;
      int32_t v = -(x0 - t.CX) * t.Dir.Sin + (y - t.CY) * t.Dir.Cos;
      uint32_t alpha[TStyleField::kCell];
      for (int32_t x = x0; x < x1; ++x, u += t.Dir.Cos, v -= t.Dir.Sin) {
        // The stroke's number within the tile, and the place across it.
        const int32_t k = int32_t((uint64_t(uint32_t(u)) * inverse) >> 32);
        const int32_t across = u - k * spacing256;
        // Coverage from the distance to the stroke's centre line: a pen about
        // 1.2 pixels wide with soft edges.
        const uint32_t off = uint32_t(std::abs(across - spacing256 / 2));
        const int32_t cover = std::clamp(256 + 40 - int32_t(off * 5 / 4), 0, 256);
        int32_t half;
        if (uint32_t(k) < uint32_t(kStrokes)) {
          int16_t& known = slot->Half[size_t(k)];
          if (known == kUnknown) known = int16_t(halfOf(k, t.Hash));
          half = known;
        } else {
          half = halfOf(k, t.Hash);
        }
        // Ink only on wall pixels along the stroke; alpha 0 keeps the pixel.
        const bool on = (kind[x] == skWall) & (std::abs(v) <= half);
        alpha[x - x0] = on ? colorAlpha * uint32_t(cover) / 256 : 0;
      }
      if (x1 - x0 == TStyleField::kCell) {
        StyleBlendFour(dst + x0, alpha[0], alpha[1], alpha[2], alpha[3], rgb);
      } else {
        for (int32_t x = x0; x < x1; ++x)
          dst[x] = StyleBlend(alpha[x - x0], (alpha[x - x0] << 24) | rgb, dst[x]);
      }
    }
  }
}
