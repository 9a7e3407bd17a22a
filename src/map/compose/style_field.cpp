#include "map/compose/style_field.h"

#include <algorithm>
#include <cstring>

#include "map/document/map_edit_layer_list.h"

namespace {

inline uint8_t Sat(uint8_t A, uint8_t B) {
  const unsigned s = unsigned(A) + B;
  return uint8_t(s > 255 ? 255 : s);
}

// Relaxes Row[X0 .. X1) from its neighbour row N (the row above or below): the
// straight step and the two diagonal ones. Plain loops over bytes, which the
// compiler turns into vector code.
void RelaxFromRow(uint8_t* __restrict__ Row, const uint8_t* __restrict__ N, int32_t X0, int32_t X1,
                  int32_t W) {
  int32_t x = X0;
  if (x == 0 && x < X1) {
    Row[0] = std::min(Row[0], Sat(N[0], 2));
    if (W > 1) Row[0] = std::min(Row[0], Sat(N[1], 3));
    ++x;
  }
  const int32_t inner = std::min(X1, W - 1);
  for (; x < inner; ++x) {
    uint8_t v = std::min(Row[x], Sat(N[x], 2));
    v = std::min(v, Sat(N[x - 1], 3));
    Row[x] = std::min(v, Sat(N[x + 1], 3));
  }
  if (x < X1 && x == W - 1 && W > 1) Row[x] = std::min({Row[x], Sat(N[x], 2), Sat(N[x - 1], 3)});
}

// Two-pass chamfer distance (2 straight, 3 diagonal) from the entries of D that
// are 0, over a W x H grid; with Runs, only over the runs of each block row of
// Block rows. Each pass takes the finished row before it, then runs along its
// own row: the same as the usual entry-by-entry scan, whose left (right) and
// upper (lower) neighbours are final when an entry is reached. Entries outside
// the runs keep their start values: they lie farther from every boundary than
// any distance asked for, so no path that matters runs through them.
void Chamfer(std::vector<uint8_t>& D, int32_t W, int32_t H,
             const std::vector<std::vector<TStyleSpan>>* Runs, int32_t Block) {
  const std::vector<TStyleSpan> whole{{0, W}};
  auto runs = [&](int32_t Y) -> const std::vector<TStyleSpan>& {
    return Runs ? (*Runs)[size_t(Y / Block)] : whole;
  };
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* row = D.data() + size_t(y) * size_t(W);
    for (const TStyleSpan& s : runs(y)) {
      if (y > 0) RelaxFromRow(row, row - W, s.Begin, s.End, W);
      for (int32_t x = std::max(1, s.Begin); x < s.End; ++x)
        row[x] = std::min(row[x], Sat(row[x - 1], 2));
    }
  }
  for (int32_t y = H - 1; y >= 0; --y) {
    uint8_t* row = D.data() + size_t(y) * size_t(W);
    for (const TStyleSpan& s : runs(y)) {
      if (y + 1 < H) RelaxFromRow(row, row + W, s.Begin, s.End, W);
      for (int32_t x = std::min(W - 2, s.End - 1); x >= s.Begin; --x)
        row[x] = std::min(row[x], Sat(row[x + 1], 2));
    }
  }
}

int32_t AlignDown(int32_t V, int32_t A) { return V >= 0 ? V / A * A : -((-V + A - 1) / A) * A; }

}  // namespace

TStyleField::TStyleField(const TMapEditLayerList& Map, const TRect& Src, const TStyleNeeds& Needs) {
  // Rough cells sit on a grid fixed to the map, whatever the area drawn.
  const int32_t m = Needs.Margin;
  FRegion = TRect{AlignDown(Src.Left - m, kCell), AlignDown(Src.Top - m, kCell),
                  AlignDown(Src.Right + m + kCell - 1, kCell),
                  AlignDown(Src.Bottom + m + kCell - 1, kCell)};
  FStride = std::max(FRegion.Width(), 0);
  FHeight = std::max(FRegion.Height(), 0);
  FCellsX = FStride / kCell;
  FCellsY = FHeight / kCell;
  FillKinds(Map);
  if (Needs.Rough) {
    const size_t n = FCellKind.size();
    FCellToFloor.resize(n);
    FCellToWall.resize(n);
    for (size_t i = 0; i < n; ++i) {
      FCellToFloor[i] = (FCellKind[i] & 1) ? 0 : kFar;
      FCellToWall[i] = (FCellKind[i] & 2) ? 0 : kFar;
    }
    Chamfer(FCellToFloor, FCellsX, FCellsY, nullptr, 1);
    Chamfer(FCellToWall, FCellsX, FCellsY, nullptr, 1);
  }
  if (Needs.ExactToFloor) {
    FindActiveBlocks(m);
    const size_t n = FKind.size();
    FToFloor.resize(n);
    for (size_t i = 0; i < n; ++i) FToFloor[i] = FKind[i] == skFloor ? 0 : kFar;
    Chamfer(FToFloor, FStride, FHeight, &FRuns, kBlock);
  }
}

void TStyleField::FillKinds(const TMapEditLayerList& Map) {
  FKind.assign(size_t(FStride) * size_t(FHeight), skOutside);
  FCellKind.assign(size_t(FCellsX) * size_t(FCellsY), 0);
  const TGrid2D<int32_t>& pixels = Map.PixelGrid();
  const TGrid2D<uint8_t>& cells = Map.CellGrid();
  const int32_t cs = Map.ChipSize();
  const TRect inside =
      IntersectRect(FRegion, TRect{0, 0, std::min(Map.PixelWidth(), pixels.Width()),
                                   std::min(Map.PixelHeight(), pixels.Height())});
  for (int32_t y = inside.Top; y < inside.Bottom; ++y) {
    const int32_t* src = pixels.Row(y);
    uint8_t* dst = FKind.data() + size_t(y - FRegion.Top) * size_t(FStride) - FRegion.Left;
    uint8_t* rough = FCellKind.data() + size_t((y - FRegion.Top) / kCell) * size_t(FCellsX);
    const int32_t cy = cs > 0 ? y / cs : 0;
    for (int32_t x = inside.Left; x < inside.Right;) {
      const int32_t cx = cs > 0 ? x / cs : 0;
      const int32_t end = cs > 0 ? std::min(inside.Right, (cx + 1) * cs) : inside.Right;
      if (cs > 0 && cx < cells.Width() && cy < cells.Height() && cells.At(cx, cy) == 1) {
        // A chip cell carries one layer on all its pixels: one look for its span.
        const uint8_t kind = src[x] == 0 ? skWall : skFloor;
        std::memset(dst + x, kind, size_t(end - x));
        for (int32_t c = CellIndex(x); c <= CellIndex(end - 1); ++c)
          rough[c] |= uint8_t(1u << kind);
      } else {
        for (int32_t i = x; i < end; ++i) {
          dst[i] = src[i] == 0 ? skWall : skFloor;
          rough[CellIndex(i)] |= uint8_t(1u << dst[i]);
        }
      }
      x = end;
    }
  }
}

void TStyleField::FindActiveBlocks(int32_t Margin) {
  // Blocks of 4 x 4 rough cells.
  const int32_t per = kBlock / kCell;
  const int32_t bx = (FCellsX + per - 1) / per, by = (FCellsY + per - 1) / per;
  std::vector<uint8_t> kinds(size_t(bx) * size_t(by), 0);
  for (int32_t y = 0; y < FCellsY; ++y)
    for (int32_t x = 0; x < FCellsX; ++x)
      kinds[size_t(y / per) * size_t(bx) + size_t(x / per)] |=
          FCellKind[size_t(y) * size_t(FCellsX) + size_t(x)];
  auto at = [&](int32_t X, int32_t Y) -> uint8_t {
    if (X < 0 || Y < 0 || X >= bx || Y >= by) return 0;
    return kinds[size_t(Y) * size_t(bx) + size_t(X)];
  };
  // A boundary lies in a block holding both kinds, or between two neighbouring
  // blocks holding one each (both of which are taken); every pixel within the
  // margin of it lies within this many blocks of one of them.
  const int32_t reach = (Margin + kBlock - 1) / kBlock;
  std::vector<uint8_t> active(kinds.size(), 0);
  for (int32_t j = 0; j < by; ++j)
    for (int32_t i = 0; i < bx; ++i) {
      uint8_t around = 0;
      for (int32_t v = -1; v <= 1; ++v)
        for (int32_t u = -1; u <= 1; ++u) around |= at(i + u, j + v);
      if (!at(i, j) || (around & 3) != 3) continue;
      const int32_t x0 = std::max(0, i - reach), x1 = std::min(bx - 1, i + reach);
      for (int32_t v = std::max(0, j - reach); v <= std::min(by - 1, j + reach); ++v)
        std::memset(active.data() + size_t(v) * size_t(bx) + size_t(x0), 1, size_t(x1 - x0 + 1));
    }
  FRuns.assign(size_t(by), {});
  for (int32_t j = 0; j < by; ++j) {
    const uint8_t* a = active.data() + size_t(j) * size_t(bx);
    for (int32_t i = 0; i < bx;) {
      if (!a[i]) {
        ++i;
        continue;
      }
      int32_t e = i;
      while (e < bx && a[e]) ++e;
      FRuns[size_t(j)].push_back({i * kBlock, std::min(FStride, e * kBlock)});
      i = e;
    }
  }
}

std::vector<TStyleSpan> TStyleField::ActiveSpans(int32_t Y, int32_t Left, int32_t Right) const {
  std::vector<TStyleSpan> out;
  for (const TStyleSpan& s : FRuns[size_t((Y - FRegion.Top) / kBlock)]) {
    const int32_t b = std::max(Left, s.Begin + FRegion.Left);
    const int32_t e = std::min(Right, s.End + FRegion.Left);
    if (b < e) out.push_back({b, e});
  }
  return out;
}
