#include "map/compose/style_field.h"

#include <algorithm>
#include <climits>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "map/document/map_edit_layer_list.h"

namespace {

// A + B, at most 255, as a byte minimum and a byte sum that cannot overflow:
// vector code then stays in bytes.
inline uint8_t Sat(uint8_t A, uint8_t B) {
  return uint8_t(std::min<uint8_t>(A, uint8_t(255 - B)) + B);
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

// One doubling step of Sweep: Row[x] = min(Row[x], Row[x - Dir Step] + Add) for
// x in X0 .. X1 - 1, every read taking the entry as it was before the step.
// Done in place, walking away from the entries read (down the row for Dir 1),
// so that no entry is read after it has been written; sixteen at a time where
// the processor allows.
void SweepStep(uint8_t* Row, int32_t X0, int32_t X1, int32_t Dir, int32_t Step, uint8_t Add) {
  if (Dir > 0) {
    int32_t x = X1;
#if defined(__SSE2__)
    const __m128i add = _mm_set1_epi8(char(Add));
    for (; x - 16 >= X0; x -= 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + x - 16));
      const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + x - 16 - Step));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Row + x - 16),
                       _mm_min_epu8(v, _mm_adds_epu8(n, add)));
    }
#endif
    for (--x; x >= X0; --x) Row[x] = std::min(Row[x], Sat(Row[x - Step], Add));
  } else {
    int32_t x = X0;
#if defined(__SSE2__)
    const __m128i add = _mm_set1_epi8(char(Add));
    for (; x + 16 <= X1; x += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + x));
      const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + x + Step));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Row + x), _mm_min_epu8(v, _mm_adds_epu8(n, add)));
    }
#endif
    for (; x < X1; ++x) Row[x] = std::min(Row[x], Sat(Row[x + Step], Add));
  }
}

// Propagates along Row[X0 .. X1) from the left (Dir 1) or the right (Dir -1) by
// up to Reach entries, 2 per entry: Row[x] = min over k of Row[x - Dir k] + 2k.
// Sequentially for an unbounded reach; by doubling steps (1, 2, 4, ... entries)
// for a bounded one.
void Sweep(uint8_t* Row, int32_t X0, int32_t X1, int32_t W, int32_t Dir, int32_t Reach) {
  if (Reach <= 0 || Reach >= W) {
    if (Dir > 0) {
      for (int32_t x = std::max(1, X0); x < X1; ++x) Row[x] = std::min(Row[x], Sat(Row[x - 1], 2));
    } else {
      for (int32_t x = std::min(W - 2, X1 - 1); x >= X0; --x)
        Row[x] = std::min(Row[x], Sat(Row[x + 1], 2));
    }
    return;
  }
  for (int32_t step = 1; step <= Reach; step *= 2) {
    const uint8_t add = uint8_t(std::min(2 * step, 255));
    // The entries read lie up to Step beyond the stretch, within the row.
    if (Dir > 0)
      SweepStep(Row, std::max(X0, step), X1, 1, step, add);
    else
      SweepStep(Row, X0, std::min(X1, W - step), -1, step, add);
  }
}

// Two-pass chamfer distance (2 straight, 3 diagonal) from the entries of D that
// are 0, over a W x H grid; with Runs, only over the runs of each block row of
// Block rows. Each pass takes the finished row before it, then sweeps along its
// own row: the same as the usual entry-by-entry scan, whose left (right) and
// upper (lower) neighbours are final when an entry is reached. Entries outside
// the runs keep their start values: they lie farther from every boundary than
// any distance asked for, so no path that matters runs through them. With Reach
// > 0 only distances up to 2 Reach are needed: a shortest path runs at most
// Reach entries along one row, so the sweeps may stop there.
void Chamfer(std::vector<uint8_t>& D, int32_t W, int32_t H,
             const std::vector<std::vector<TStyleSpan>>* Runs, int32_t Block, int32_t Reach) {
  const std::vector<TStyleSpan> whole{{0, W}};
  auto runs = [&](int32_t Y) -> const std::vector<TStyleSpan>& {
    return Runs ? (*Runs)[size_t(Y / Block)] : whole;
  };
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* row = D.data() + size_t(y) * size_t(W);
    for (const TStyleSpan& s : runs(y)) {
      if (y > 0) RelaxFromRow(row, row - W, s.Begin, s.End, W);
      Sweep(row, s.Begin, s.End, W, 1, Reach);
    }
  }
  for (int32_t y = H - 1; y >= 0; --y) {
    uint8_t* row = D.data() + size_t(y) * size_t(W);
    for (const TStyleSpan& s : runs(y)) {
      if (y + 1 < H) RelaxFromRow(row, row + W, s.Begin, s.End, W);
      Sweep(row, s.Begin, s.End, W, -1, Reach);
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
  // Rough distances up to D pixel units are D / 4 cell units, and a bounded
  // chamfer is exact up to twice its reach.
  auto rough = [&](std::vector<uint8_t>& D, uint8_t Bit, int32_t Pixels) {
    D.resize(FCellKind.size());
    for (size_t i = 0; i < D.size(); ++i) D[i] = (FCellKind[i] & Bit) ? 0 : kFar;
    Chamfer(D, FCellsX, FCellsY, nullptr, 1, Pixels / (2 * kCell) + 2);
  };
  if (Needs.RoughToFloor > 0) rough(FCellToFloor, 1, Needs.RoughToFloor);
  if (Needs.RoughToWall > 0) rough(FCellToWall, 2, Needs.RoughToWall);
  if (Needs.ExactToFloor) {
    FindActiveBlocks(m);
    const size_t n = FKind.size();
    FToFloor.resize(n);
    // Through plain pointers: byte stores through the vector could alias its
    // own bookkeeping and keep the loop from vector code.
    uint8_t* __restrict__ to = FToFloor.data();
    const uint8_t* __restrict__ kinds = FKind.data();
    for (size_t i = 0; i < n; ++i) to[i] = kinds[i] == skFloor ? 0 : kFar;
    Chamfer(FToFloor, FStride, FHeight, &FRuns, kBlock, Needs.ExactReach);
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
  // Whether a row of cells is chip cells all across the region: its pixel rows
  // are then all alike.
  auto chipRow = [&](int32_t CY) {
    if (cs <= 0 || CY >= cells.Height() || inside.IsEmpty()) return false;
    for (int32_t cx = inside.Left / cs; cx <= (inside.Right - 1) / cs; ++cx)
      if (cx >= cells.Width() || cells.At(cx, CY) != 1) return false;
    return true;
  };
  int32_t lastCY = INT32_MIN;
  bool lastChip = false;
  // The kind of each chip cell of the current row of cells (kFar: not a chip
  // cell, or not looked up yet), indexed by cell column.
  const int32_t firstCX = cs > 0 ? inside.Left / cs : 0;
  std::vector<uint8_t> chipKinds;
  // The kinds of row pixels X .. End - 1 from their layers, into the rough cells too.
  auto pixelSpan = [&](const int32_t* __restrict__ In, uint8_t* __restrict__ Out,
                       uint8_t* __restrict__ Rough, int32_t X, int32_t End) {
    for (int32_t i = X; i < End; ++i) Out[i] = In[i] == 0 ? skWall : skFloor;
    const int32_t c0 = CellIndex(X), c1 = CellIndex(End - 1), left = FRegion.Left;
    for (int32_t c = c0; c <= c1; ++c) {
      const int32_t b = std::max(X, left + c * kCell), e = std::min(End, left + (c + 1) * kCell);
      uint8_t bits = 0;
      for (int32_t i = b; i < e; ++i) bits |= uint8_t(1u << Out[i]);
      Rough[c] |= bits;
    }
  };
  for (int32_t y = inside.Top; y < inside.Bottom; ++y) {
    const int32_t* src = pixels.Row(y);
    uint8_t* dst = FKind.data() + size_t(y - FRegion.Top) * size_t(FStride) - FRegion.Left;
    uint8_t* rough = FCellKind.data() + size_t((y - FRegion.Top) / kCell) * size_t(FCellsX);
    const int32_t cy = cs > 0 ? y / cs : 0;
    if (cy != lastCY) {
      lastCY = cy;
      lastChip = chipRow(cy);
      chipKinds.assign(cs > 0 ? size_t((inside.Right - 1) / cs - firstCX + 1) : 0, kFar);
    } else if (cs > 0 && (y - FRegion.Top) % kCell != 0) {
      // The row above in the same row of cells and the same rough cells: its
      // chip cells' kinds hold here too, and the rough cells hold them already;
      // only the pixels of the other cells are looked at.
      std::memcpy(dst + inside.Left, dst + inside.Left - FStride, size_t(inside.Width()));
      if (lastChip) continue;
      for (int32_t x = inside.Left; x < inside.Right;) {
        const int32_t cx = x / cs;
        const int32_t end = std::min(inside.Right, (cx + 1) * cs);
        if (chipKinds[size_t(cx - firstCX)] == kFar) pixelSpan(src, dst, rough, x, end);
        x = end;
      }
      continue;
    }
    for (int32_t x = inside.Left; x < inside.Right;) {
      const int32_t cx = cs > 0 ? x / cs : 0;
      const int32_t end = cs > 0 ? std::min(inside.Right, (cx + 1) * cs) : inside.Right;
      uint8_t* known = cs > 0 ? &chipKinds[size_t(cx - firstCX)] : nullptr;
      if (known && *known == kFar && cx < cells.Width() && cy < cells.Height() &&
          cells.At(cx, cy) == 1)
        *known = src[x] == 0 ? skWall : skFloor;
      if (known && *known != kFar) {
        // A chip cell carries one layer on all its pixels: one look for its span.
        // Bounds in locals: byte stores could otherwise alias the members.
        const uint8_t kind = *known, bit = uint8_t(1u << kind);
        const int32_t c0 = CellIndex(x), c1 = CellIndex(end - 1);
        std::memset(dst + x, kind, size_t(end - x));
        for (int32_t c = c0; c <= c1; ++c) rough[c] |= bit;
      } else {
        pixelSpan(src, dst, rough, x, end);
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

void TStyleField::ActiveSpans(int32_t Y, int32_t Left, int32_t Right,
                              std::vector<TStyleSpan>& Out) const {
  Out.clear();
  for (const TStyleSpan& s : FRuns[size_t((Y - FRegion.Top) / kBlock)]) {
    const int32_t b = std::max(Left, s.Begin + FRegion.Left);
    const int32_t e = std::min(Right, s.End + FRegion.Left);
    if (b < e) Out.push_back({b, e});
  }
}
