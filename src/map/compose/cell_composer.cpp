#include "map/compose/cell_composer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "map/document/map_edit_layer_list.h"

namespace {

// Window pixel classes besides a plain layer index.
constexpr int32_t kDoorPixel = -1;  // door code 1 or 2: counts as wall
// An index that names no layer is classed as the layer count: above every layer,
// so open to each of them, and never a layer of its own.

constexpr uint8_t kSource = 255;
constexpr uint8_t kOpen = 254;
constexpr int32_t kMaxRounds = 250;

// The first value from which FadeAlpha (or ShadeAlpha) stays 0; propagation can
// stop once every smaller distance is final.
int32_t FadeCutoff(int32_t ChipSize) {
  int32_t c = 1;
  while (c < 253 && FadeAlpha(uint8_t(c), ChipSize) != 0) ++c;
  return c;
}
int32_t ShadeCutoff(int32_t ChipSize) {
  int32_t b = 8;
  while (b < 253 && ShadeAlpha(uint8_t(b), ChipSize) != 0) ++b;
  return b;
}
// Rounds needed so that every distance below Cutoff is final: a distance d is set
// in round d - 2 or d - 3.
int32_t RoundsFor(int32_t Cutoff) { return std::clamp(Cutoff - 2, 0, kMaxRounds); }

// Whether any pixel X0 .. X1 of row Y of the door bitmap may hold a door, from
// the doors' coverage record: most rows of a window have none, and their door
// pixels need not be read at all.
bool DoorsMayShow(const TMapEditDoorList& Doors, const TMapEditLayerList& Map, int32_t Y,
                  int32_t X0, int32_t X1) {
  const int32_t cs = Map.ChipSize();
  const TCellCoverage::TRow row = Doors.Coverage().Row(Y, Map.Width(), Map.Height(), cs);
  if (!row) return true;
  for (int32_t cx = X0 / cs; cx <= X1 / cs; ++cx) {
    const TCellCoverage::TSpan s = row[cx];
    if (s.Begin < s.End && cx * cs + s.Begin <= X1 && cx * cs + int32_t(s.End) > X0) return true;
  }
  return false;
}

// Out[i] = Lut[Grid[i]] for N entries, ORing them into Any and ANDing them into
// All for the coverage record, which would otherwise read them back at once.
void ValuesThrough(const uint8_t* Lut, const uint8_t* Grid, uint8_t* Out, int32_t N, uint8_t& Any,
                   uint8_t& All) {
  for (int32_t i = 0; i < N; ++i) {
    const uint8_t v = Lut[Grid[i]];
    Out[i] = v;
    Any |= v;
    All &= v;
  }
}

}  // namespace

uint8_t FadeAlpha(uint8_t Value, int32_t ChipSize) {
  if (Value == 0) return 0;
  if (Value == 255) return 255;
  const double quarter = double(ChipSize / 4);
  // Floating point as the rule is stated; nearbyint rounds half to even.
  const double a = 255.0 - std::nearbyint(double(Value) * 255.0 / quarter / 2.0);
  if (!(a > 0.0)) return 0;
  return uint8_t(a);
}

uint8_t ShadeAlpha(uint8_t Value, int32_t ChipSize) {
  if (Value <= 7 || ChipSize <= 0) return 0;
  const int32_t q = 150 / ChipSize + (150 % ChipSize > 0 ? 1 : 0);
  const int32_t a = 128 - q * (int32_t(Value) - 7);
  return a > 0 ? uint8_t(a) : 0;
}

void PropagateDistance(std::vector<uint8_t>& Grid, int32_t Size, const TRecordList& Seeds) {
  // Plain form of the bucket queue on an unpadded grid; the composer runs the same
  // rule on padded grids.
  std::vector<TPoint> buckets[4];
  for (int32_t i = 0; i < Seeds.Count(); ++i) buckets[0].push_back(Seeds.Item(i));
  auto relax = [&](int32_t x, int32_t y, int32_t value, std::vector<TPoint>& into) {
    if (x < 0 || y < 0 || x >= Size || y >= Size) return;
    uint8_t& v = Grid[size_t(y) * size_t(Size) + size_t(x)];
    if (v != kSource && v > value) {
      v = uint8_t(value);
      into.push_back({x, y});
    }
  };
  for (int32_t i = 0; i < kMaxRounds; ++i) {
    std::vector<TPoint>& cur = buckets[i & 3];
    for (size_t k = 0; k < cur.size(); ++k) {
      const TPoint p = cur[k];
      std::vector<TPoint>& b2 = buckets[(i + 2) & 3];
      relax(p.X, p.Y - 1, i + 2, b2);
      relax(p.X, p.Y + 1, i + 2, b2);
      relax(p.X + 1, p.Y, i + 2, b2);
      relax(p.X - 1, p.Y, i + 2, b2);
      std::vector<TPoint>& b3 = buckets[(i + 3) & 3];
      relax(p.X - 1, p.Y - 1, i + 3, b3);
      relax(p.X - 1, p.Y + 1, i + 3, b3);
      relax(p.X + 1, p.Y - 1, i + 3, b3);
      relax(p.X + 1, p.Y + 1, i + 3, b3);
    }
    cur.clear();
  }
}

TCellComposer& TCellComposer::ForThisThread() {
  static thread_local TCellComposer composer;
  return composer;
}

void TCellComposer::Propagate(uint8_t* G, int32_t Rounds) {
  const int32_t s = FStride;
  // A value only falls, to at least the round's number plus 2, so an entry
  // falls at most twice: a bucket never holds more than twice the entries.
  const size_t room = 2 * size_t(s) * size_t(s);
  if (FQueue.size() < 4 * room) FQueue.resize(4 * room);
  int32_t* bucket[4];
  size_t size[4] = {0, 0, 0, 0};
  for (int k = 0; k < 4; ++k) bucket[k] = FQueue.data() + size_t(k) * room;
  size[0] = std::min(FSeeds.size(), room);
  std::copy(FSeeds.begin(), FSeeds.begin() + std::ptrdiff_t(size[0]), bucket[0]);
  FSeeds.clear();
  for (int32_t i = 0; i < Rounds; ++i) {
    const int k = i & 3;
    if (size[k] == 0) {
      if (size[(i + 1) & 3] == 0 && size[(i + 2) & 3] == 0 && size[(i + 3) & 3] == 0) break;
      continue;
    }
    int32_t* const b2 = bucket[(i + 2) & 3];
    int32_t* const b3 = bucket[(i + 3) & 3];
    size_t n2 = size[(i + 2) & 3], n3 = size[(i + 3) & 3];
    const uint8_t v2 = uint8_t(i + 2), v3 = uint8_t(i + 3);
    // The border entries hold 255, so neighbours need no bounds checks.
    auto relax = [G](int32_t n, uint8_t value, int32_t* into, size_t& count) {
      const uint8_t v = G[n];
      if (v != kSource && v > value) {
        G[n] = value;
        into[count++] = n;
      }
    };
    // The current bucket does not change while it is worked off (only the next
    // two are filled).
    const int32_t* const items = bucket[k];
    const size_t items_n = size[k];
    for (size_t j = 0; j < items_n; ++j) {
      const int32_t p = items[j];
      relax(p - s, v2, b2, n2);
      relax(p + s, v2, b2, n2);
      relax(p + 1, v2, b2, n2);
      relax(p - 1, v2, b2, n2);
      relax(p - s - 1, v3, b3, n3);
      relax(p + s - 1, v3, b3, n3);
      relax(p - s + 1, v3, b3, n3);
      relax(p + s + 1, v3, b3, n3);
    }
    size[(i + 2) & 3] = n2;
    size[(i + 3) & 3] = n3;
    size[k] = 0;
  }
}

void TCellComposer::ScanWithoutDoors(uint8_t* G, int32_t J, bool WithSeeds) {
  // Every pixel's entry follows from its class alone: a source for the layer's
  // own pixels, blocked under the layers above it and under objects, open
  // otherwise.
  const int32_t count = int32_t(FIsObject.size()) - 1;
  FValue.resize(size_t(count) + 1);
  for (int32_t c = 0; c <= count; ++c)
    FValue[size_t(c)] = c == J ? kSource : (c < J || FIsObject[size_t(c)]) ? 0 : kOpen;
  const uint8_t* const value = FValue.data();
  const int32_t stride = FStride, winW = FWinW, winH = FWinH;
  uint8_t* const first = G + (FOffY + 1) * stride + (FOffX + 1);
  for (int32_t wy = 0; wy < winH; ++wy) {
    const int32_t* cls = FClass.data() + size_t(wy) * size_t(winW);
    uint8_t* row = first + wy * stride;
    for (int32_t wx = 0; wx < winW; ++wx) row[wx] = value[cls[wx]];
  }
  if (!WithSeeds) return;

  // The seeds are the sources beside a pixel that is not one, looking only
  // inside the window. Which of them the queue takes first does not change the
  // distances it finds. A source's entry has every bit set, so the four
  // neighbours ANDed together stay all ones exactly when each is a source.
  std::vector<int32_t>& seeds = FSeeds;
  FAllSources.assign(size_t(winW), kSource);
  const int32_t base = int32_t(first - G);
  for (int32_t wy = 0; wy < winH; ++wy) {
    const uint8_t* row = first + wy * stride;
    const uint8_t* up = wy > 0 ? row - stride : FAllSources.data();
    const uint8_t* down = wy + 1 < winH ? row + stride : FAllSources.data();
    const int32_t at = base + wy * stride;
    auto check = [&](int32_t wx, uint8_t Left, uint8_t Right) {
      if (row[wx] == kSource && uint8_t(Left & Right & up[wx] & down[wx]) != kSource)
        seeds.push_back(at + wx);
    };
    if (winW == 1) {
      check(0, kSource, kSource);
      continue;
    }
    check(0, kSource, row[1]);
    int32_t wx = 1;
#if defined(__SSE2__)
    const __m128i ones = _mm_set1_epi8(char(kSource));
    for (; wx + 17 <= winW; wx += 16) {
      auto load = [](const uint8_t* P) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
      };
      const __m128i all = _mm_and_si128(_mm_and_si128(load(row + wx - 1), load(row + wx + 1)),
                                        _mm_and_si128(load(up + wx), load(down + wx)));
      const __m128i isSource = _mm_cmpeq_epi8(load(row + wx), ones);
      unsigned mask =
          unsigned(_mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(all, ones), isSource)));
      while (mask != 0) {
        seeds.push_back(at + wx + __builtin_ctz(mask));
        mask &= mask - 1;
      }
    }
#endif
    for (; wx + 1 < winW; ++wx) check(wx, row[wx - 1], row[wx + 1]);
    check(winW - 1, row[winW - 2], kSource);
  }
}

void TCellComposer::ScanLayer(int32_t J, int32_t M, bool WithSeeds) {
  std::vector<uint8_t>& grid = FGrids[size_t(J)];
  const size_t total = size_t(FStride) * size_t(FStride);
  if (!FHasDoors && FWinW == FSide && FWinH == FSide) {
    // A whole window without doors: the scan sets every entry inside the border.
    grid.resize(total);
  } else {
    grid.assign(total, 0);
  }
  // Border of sources so that the propagation never leaves the grid.
  std::memset(grid.data(), kSource, size_t(FStride));
  std::memset(grid.data() + total - size_t(FStride), kSource, size_t(FStride));
  for (int32_t r = 1; r < FStride - 1; ++r) {
    grid[size_t(r) * size_t(FStride)] = kSource;
    grid[size_t(r) * size_t(FStride) + size_t(FStride - 1)] = kSource;
  }
  uint8_t* g = grid.data();
  if (!FHasDoors) {
    ScanWithoutDoors(g, J, WithSeeds);
    return;
  }
  std::vector<int32_t>& seeds = FSeeds;
  // The members in locals: the byte stores below may alias anything, so the
  // compiler would read the members again after every one.
  const int32_t stride = FStride, winW = FWinW, winH = FWinH;
  const int32_t base = (FOffY + 1) * stride + (FOffX + 1);
  const int32_t* const classes = FClass.data();
  const uint8_t* const isObject = FIsObject.data();
  auto index = [stride, base](int32_t wx, int32_t wy) { return base + wy * stride + wx; };

  // Column scan: x outer, y inner; the run flag carries over between columns.
  bool run = false;
  for (int32_t wx = 0; wx < winW; ++wx) {
    for (int32_t wy = 0; wy < winH; ++wy) {
      const int32_t c = classes[size_t(wy) * size_t(winW) + size_t(wx)];
      const int32_t n = index(wx, wy);
      if (c == kDoorPixel) {
        if (J == 0) {
          if (!run && WithSeeds) seeds.push_back(n);
          g[n] = kSource;
          run = true;
        } else if (J < M) {
          g[n] = kSource;
          run = false;
        }
        // The lowest computed layer is left as it is on door pixels.
        continue;
      }
      if (J < c) {
        g[n] = isObject[size_t(c)] ? 0 : kOpen;
        if (run && wy > 0 && WithSeeds) seeds.push_back(n - stride);
        run = false;
      } else if (J == c) {
        g[n] = kSource;
        if (!run && wy > 0 && WithSeeds) seeds.push_back(n);
        run = true;
      } else {
        g[n] = 0;
        if (run && wy > 0 && WithSeeds) seeds.push_back(n - stride);
        run = false;
      }
    }
  }
  if (!WithSeeds) return;

  // Row scan: each row starts with the state of its first pixel.
  for (int32_t wy = 0; wy < winH; ++wy) {
    const int32_t n0 = index(0, wy);
    run = g[n0] == kSource;
    for (int32_t wx = 1; wx < winW; ++wx) {
      const int32_t n = n0 + wx;
      const bool src = g[n] == kSource;
      if (src != run) {
        seeds.push_back(run ? n - 1 : n);
        run = src;
      }
    }
  }
}

void TCellComposer::ComposeCell(TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t M) {
  const int32_t count = Map.Count();
  M = std::min(M, count - 1);
  const int32_t cs = Map.ChipSize();
  if (M < 0 || cs <= 0) return;
  const int32_t u = cs / 2;
  const int32_t X0 = CX * cs, Y0 = CY * cs;
  const int32_t PW = Map.PixelWidth(), PH = Map.PixelHeight();
  const int32_t xa = std::max(0, X0 - u), xb = std::min(PW, X0 + cs + u) - 1;
  const int32_t ya = std::max(0, Y0 - u), yb = std::min(PH, Y0 + cs + u) - 1;
  if (xb < xa || yb < ya) return;

  FSide = 2 * cs;
  FStride = FSide + 2;
  FWinW = xb - xa + 1;
  FWinH = yb - ya + 1;
  FOffX = xa - (X0 - u);
  FOffY = ya - (Y0 - u);

  // One slot past the layers stands for the pixels that name no layer: never
  // an object, and it takes their presence marks.
  FIsObject.assign(size_t(count) + 1, 0);
  for (int32_t j = 0; j < count; ++j) {
    const TMapEditLayer* layer = Map.Layers(j);
    FIsObject[size_t(j)] = (layer && layer->LayerType == mltObject) ? 1 : 0;
  }
  FPresent.assign(size_t(count) + 1, 0);
  if (FGrids.size() < size_t(count)) FGrids.resize(size_t(count));

  // Classify the window's pixels once, row after row: door pixel, layer index
  // or the count for no layer.
  FClass.resize(size_t(FWinW) * size_t(FWinH));
  FHasDoors = false;
  const TGrid2D<int32_t>& pixels = Map.PixelGrid();
  const TMapEditDoorList* doors = Map.DoorsIfCreated();
  const TBitmap32* doorBits = doors ? doors->BitmapIfCreated() : nullptr;
  {
    // In locals, and without branches where no door can show: the stores below
    // may alias the members, and most rows hold no door.
    const int32_t winW = FWinW, winH = FWinH;
    int32_t* const classes = FClass.data();
    uint8_t* const present = FPresent.data();
    const uint32_t layers = uint32_t(count), upTo = uint32_t(M);
    bool hasDoors = false;
    for (int32_t wy = 0; wy < winH; ++wy) {
      const int32_t y = ya + wy;
      const int32_t* src = pixels.Row(y) + xa;
      int32_t* dst = classes + size_t(wy) * size_t(winW);
      // The rows of the window lie far apart in the grid; the one after next is
      // fetched while this one is classified.
      if (wy + 2 < winH) {
        const char* ahead = reinterpret_cast<const char*>(pixels.Row(y + 2) + xa);
        for (int32_t b = 0; b < winW * 4; b += 64) __builtin_prefetch(ahead + b, 0, 3);
      }
      const TColor32* doorRow = nullptr;
      int32_t doorEnd = 0;
      if (doorBits && y < doorBits->Height() && DoorsMayShow(*doors, Map, y, xa, xb)) {
        doorRow = doorBits->ScanLine(y) + xa;
        doorEnd = std::min(winW, doorBits->Width() - xa);
      }
      if (!doorRow) {
        for (int32_t wx = 0; wx < winW; ++wx) {
          const int32_t L = src[wx];
          dst[wx] = uint32_t(L) < layers ? L : count;
          present[uint32_t(L) <= upTo ? size_t(L) : size_t(count)] = 1;
        }
        continue;
      }
      for (int32_t wx = 0; wx < winW; ++wx) {
        if (wx < doorEnd) {
          const uint32_t code = doorRow[wx] >> 24;
          if (code == 1 || code == 2) {
            // A door pixel counts as wall, and the layer under it as absent.
            dst[wx] = kDoorPixel;
            hasDoors = true;
            continue;
          }
        }
        const int32_t L = src[wx];
        dst[wx] = uint32_t(L) < layers ? L : count;
        present[uint32_t(L) <= upTo ? size_t(L) : size_t(count)] = 1;
      }
    }
    FHasDoors = hasDoors;
  }

  TShadeImage& shades = Map.Shades();
  const bool shadesFit = shades.Width() == PW && shades.Height() == PH;

  // A window of one class only (inside a room, inside a wall) has no edges: no
  // seeds, no distances. Its one layer is opaque over the cell (a door pixel
  // counts as wall), every other layer transparent, and no shade falls on it.
  const int32_t first = FClass[0];
  if (std::all_of(FClass.begin(), FClass.end(), [first](int32_t C) { return C == first; })) {
    const int32_t shown = first == kDoorPixel ? 0 : first;
    for (int32_t j = 0; j <= M; ++j) {
      TMapEditLayer& layer = *Map.Layers(j);
      TLayerImage& image = layer.ImageKeepingCoverage();
      if (image.Width() != PW || image.Height() != PH) continue;
      image.FillSquareAlpha(X0, Y0, cs, j == shown ? 255 : 0);
      layer.Coverage().SetCell(CX, CY, j == shown);
    }
    if (shadesFit) {
      shades.FillArea(X0, Y0, X0 + cs, Y0 + cs, 0);
      Map.ShadeCoverage().SetCell(CX, CY, false);
    }
    return;
  }

  // Sets the alpha of layer J over the cell from its work grid through Lut, and
  // records what each of its rows shows.
  // The alpha of the whole cell is handed over at once, so that a cell of one
  // alpha (wholly shown or hidden) is kept as one value.
  std::vector<uint8_t>& alpha = FAlphaCell;
  alpha.resize(size_t(cs) * size_t(cs));
  auto writeAlpha = [&](int32_t J, const uint8_t* Lut) {
    TMapEditLayer& layer = *Map.Layers(J);
    TLayerImage& image = layer.ImageKeepingCoverage();
    // A layer whose image does not cover the map (no texture yet) has nothing to set.
    if (image.Width() != PW || image.Height() != PH) return;
    const uint8_t* g = FGrids[size_t(J)].data();
    for (int32_t py = 0; py < cs; ++py) {
      const uint8_t* gr = g + size_t(u + py + 1) * size_t(FStride) + size_t(u + 1);
      uint8_t* a = alpha.data() + size_t(py) * size_t(cs);
      uint8_t any = 0, all = 255;
      ValuesThrough(Lut, gr, a, cs, any, all);
      layer.Coverage().SetRowAlpha(CX, Y0 + py, a, any, all);
    }
    image.WriteSquareAlpha(X0, Y0, cs, alpha.data());
  };
  auto clearAlpha = [&](int32_t J) {
    TMapEditLayer& layer = *Map.Layers(J);
    TLayerImage& image = layer.ImageKeepingCoverage();
    if (image.Width() != PW || image.Height() != PH) return;
    image.FillSquareAlpha(X0, Y0, cs, 0);
    layer.Coverage().SetCell(CX, CY, false);
  };

  // Layer 0: hard edges, and the shades from its distances.
  if (FLutChipSize != cs) {
    for (int32_t v = 0; v < 256; ++v) {
      FWallLut[v] = v == 255 ? 255 : 0;
      FShadeLut[v] = ShadeAlpha(uint8_t(v), cs);
      FFadeLut[v] = FadeAlpha(uint8_t(v), cs);
    }
    FShadeRounds = RoundsFor(ShadeCutoff(cs));
    FFadeRounds = RoundsFor(FadeCutoff(cs));
    FLutChipSize = cs;
  }
  const uint8_t* shadeLut = FShadeLut;
  ScanLayer(0, M, true);
  Propagate(FGrids[0].data(), FShadeRounds);
  writeAlpha(0, FWallLut);
  if (shadesFit) {
    const uint8_t* g = FGrids[0].data();
    for (int32_t py = 0; py < cs; ++py) {
      const uint8_t* gr = g + size_t(u + py + 1) * size_t(FStride) + size_t(u + 1);
      uint8_t* row = shades.Row(Y0 + py) + X0;
      uint8_t any = 0, all = 255;
      ValuesThrough(shadeLut, gr, row, cs, any, all);
      Map.ShadeCoverage().SetRowAlpha(CX, Y0 + py, row, any, all);
    }
  }

  // Floor and object layers. A layer without pixels in the window is transparent
  // over the cell; its grids are not built at all.
  for (int32_t j = 1; j <= M; ++j) {
    if (!FPresent[size_t(j)]) {
      clearAlpha(j);
      continue;
    }
    const bool object = FIsObject[size_t(j)] != 0;
    ScanLayer(j, M, !object);
    if (!object) Propagate(FGrids[size_t(j)].data(), FFadeRounds);
    writeAlpha(j, FFadeLut);
  }
}
