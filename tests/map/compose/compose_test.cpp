// Per-cell composition: layer alphas, fades and shades.

#include <gtest/gtest.h>

#include <cstdint>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "map/compose/cell_composer.h"
#include "map/document/map_edit_layer_list.h"

namespace {

// A map of W x H cells with one layer per entry of Sources (layer 0 first); every
// pixel starts on layer Fill.
void MakeMap(TMapEditLayerList& Map, int32_t W, int32_t H, int32_t Cs,
             const std::vector<std::string>& Sources, int32_t Fill) {
  Map.SetSize(W, H, Cs);
  for (const std::string& s : Sources) Map.AddLayer()->SetFileName(s);
  for (int32_t y = 0; y < Map.PixelHeight(); ++y)
    for (int32_t x = 0; x < Map.PixelWidth(); ++x) Map.SetPixelLayer(x, y, Fill);
}

void PaintCell(TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t Layer) {
  const int32_t cs = Map.ChipSize();
  for (int32_t y = CY * cs; y < (CY + 1) * cs; ++y)
    for (int32_t x = CX * cs; x < (CX + 1) * cs; ++x) Map.SetPixelLayer(x, y, Layer);
}

uint8_t AlphaAt(TMapEditLayerList& Map, int32_t Layer, int32_t X, int32_t Y) {
  return uint8_t(Map.Layers(Layer)->BMP().Pixel(X, Y) >> 24);
}
uint8_t ShadeAt(TMapEditLayerList& Map, int32_t X, int32_t Y) {
  return uint8_t(Map.Shades().Pixel(X, Y) >> 24);
}

}  // namespace

TEST(FadeAndShadeRules, ExactValues) {
  EXPECT_EQ(FadeAlpha(0, 32), 0);
  EXPECT_EQ(FadeAlpha(255, 32), 255);
  EXPECT_EQ(FadeAlpha(2, 32), 223);
  EXPECT_EQ(FadeAlpha(3, 32), 207);
  EXPECT_EQ(FadeAlpha(8, 32), 127);  // 127.5 rounds to the even 128
  EXPECT_EQ(FadeAlpha(15, 32), 16);
  EXPECT_EQ(FadeAlpha(16, 32), 0);
  // 6 * 255 / 10 / 2 = 76.5 rounds down to the even 76.
  EXPECT_EQ(FadeAlpha(6, 40), 179);
  for (int32_t cs = 8; cs <= 100; ++cs) EXPECT_EQ(FadeAlpha(254, cs), 0) << cs;

  EXPECT_EQ(ShadeAlpha(7, 32), 0);
  EXPECT_EQ(ShadeAlpha(8, 32), 123);
  EXPECT_EQ(ShadeAlpha(20, 32), 63);
  EXPECT_EQ(ShadeAlpha(32, 32), 3);
  EXPECT_EQ(ShadeAlpha(33, 32), 0);
  EXPECT_EQ(ShadeAlpha(254, 32), 0);
  EXPECT_EQ(ShadeAlpha(255, 32), 0);
  EXPECT_EQ(ShadeAlpha(8, 50), 125);   // q = 3
  EXPECT_EQ(ShadeAlpha(8, 150), 127);  // q = 1
}

TEST(PropagateDistance, ChamferStepsStopAtBlockedAndSources) {
  // 6 x 6 grid, all open except a blocked column at x = 2 (rows 0..4) and a source
  // at (0, 0).
  const int32_t n = 6;
  std::vector<uint8_t> g(size_t(n * n), 254);
  for (int32_t y = 0; y < 5; ++y) g[size_t(y * n + 2)] = 0;
  g[0] = 255;
  TRecordList seeds;
  seeds.Add({0, 0});
  PropagateDistance(g, n, seeds);
  EXPECT_EQ(g[0], 255);
  EXPECT_EQ(g[1], 2);          // (1, 0)
  EXPECT_EQ(g[size_t(n)], 2);  // (0, 1)
  EXPECT_EQ(g[size_t(n + 1)], 3);
  EXPECT_EQ(g[size_t(4 * n + 1)], 9);  // (1, 4): one diagonal and three straight steps
  EXPECT_EQ(g[2], 0);                  // blocked stays
  // Around the blocked column's lower end: (2,5) 12, (3,4) 15, then up to (3,0) 23.
  EXPECT_EQ(g[size_t(5 * n + 2)], 12);
  EXPECT_EQ(g[size_t(4 * n + 3)], 15);
  EXPECT_EQ(g[size_t(0 * n + 3)], 23);
}

TEST(ComposeCell, ShadeFallsFromWallByChamferDistance) {
  // Wall cell (0, 0), floor elsewhere; 32-pixel cells.
  TMapEditLayerList map;
  MakeMap(map, 3, 2, 32, {"0", "255"}, 1);
  PaintCell(map, 0, 0, 0);
  map.Refresh();
  const int32_t y = 10;
  EXPECT_EQ(ShadeAt(map, 31, y), 0);  // the wall itself
  EXPECT_EQ(ShadeAt(map, 32, y), 0);  // distance 2
  EXPECT_EQ(ShadeAt(map, 33, y), 0);
  EXPECT_EQ(ShadeAt(map, 34, y), 0);
  EXPECT_EQ(ShadeAt(map, 35, y), 123);  // distance 8
  EXPECT_EQ(ShadeAt(map, 36, y), 113);
  EXPECT_EQ(ShadeAt(map, 47, y), 3);  // distance 32
  EXPECT_EQ(ShadeAt(map, 48, y), 0);  // distance 34
  // Diagonally off the wall's corner (31, 31): three diagonal steps = 9.
  EXPECT_EQ(ShadeAt(map, 34, 34), 118);
  // Shade pixels are black.
  EXPECT_EQ(map.Shades().Pixel(35, y), 0x7B000000u);
  // Layer 0 opaque exactly on the wall, with its colour kept.
  EXPECT_EQ(map.Layers(0)->BMP().Pixel(31, y), 0xFF000000u);
  EXPECT_EQ(AlphaAt(map, 0, 32, y), 0);
  EXPECT_EQ(AlphaAt(map, 1, 32, y), 255);
  EXPECT_EQ(map.Layers(1)->BMP().Pixel(32, y) & 0x00FFFFFFu, 0x00FF0000u);
  EXPECT_EQ(AlphaAt(map, 1, 31, y), 0);  // a floor never fades into walls
}

TEST(ComposeCell, OnlyWallLayerIsOpaqueWithoutShade) {
  TMapEditLayerList map;
  MakeMap(map, 2, 2, 16, {"0"}, 0);
  map.Refresh();
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) {
      ASSERT_EQ(AlphaAt(map, 0, x, y), 255);
      ASSERT_EQ(map.Shades().Pixel(x, y), 0u);
    }
}

TEST(ComposeCell, FloorFadesIntoHigherLayerAndEndsSharply) {
  TMapEditLayerList map;
  MakeMap(map, 2, 1, 32, {"0", "255", "65280"}, 1);
  PaintCell(map, 1, 0, 2);
  map.Refresh();
  const int32_t y = 5;
  const uint8_t expected[8] = {223, 191, 159, 127, 96, 64, 32, 0};
  for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(AlphaAt(map, 1, 32 + i, y), expected[i]) << i;
  EXPECT_EQ(AlphaAt(map, 1, 31, y), 255);
  EXPECT_EQ(AlphaAt(map, 1, 50, y), 0);
  // Layer 2 is opaque on its own pixels and ends at its border.
  EXPECT_EQ(AlphaAt(map, 2, 32, y), 255);
  EXPECT_EQ(AlphaAt(map, 2, 31, y), 0);
  EXPECT_EQ(AlphaAt(map, 2, 0, y), 0);
  // No walls: no shade anywhere, no wall layer.
  EXPECT_EQ(ShadeAt(map, 32, y), 0);
  EXPECT_EQ(AlphaAt(map, 0, 32, y), 0);
}

TEST(ComposeCell, ObjectPixelsBlockShade) {
  // Wall cell (0,0); floor cell (1,0) with an object strip x 32..35, y 0..15.
  auto build = [](TMapEditLayerList& map, bool withObject) {
    MakeMap(map, 3, 1, 32, {"0", "255", "16711680"}, 1);
    map.Layers(2)->LayerType = mltObject;
    PaintCell(map, 0, 0, 0);
    if (withObject)
      for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 32; x < 36; ++x) map.SetPixelLayer(x, y, 2);
    map.Refresh();
  };
  TMapEditLayerList open, blocked;
  build(open, false);
  build(blocked, true);
  EXPECT_EQ(ShadeAt(open, 36, 12), 113);  // straight from the wall: distance 10
  // Around the strip's lower end: (31,16) -> (35,16) is 8, diagonal to (36,15) 11,
  // up to (36,12) 17.
  EXPECT_EQ(ShadeAt(blocked, 36, 12), 78);
  EXPECT_EQ(ShadeAt(blocked, 36, 2), 0);  // too far round
  EXPECT_EQ(ShadeAt(blocked, 33, 5), 0);  // the object itself carries none
  // The object layer has hard edges and the floor does not fade under it.
  EXPECT_EQ(AlphaAt(blocked, 2, 33, 5), 255);
  EXPECT_EQ(AlphaAt(blocked, 2, 36, 5), 0);
  EXPECT_EQ(AlphaAt(blocked, 1, 33, 5), 0);
  EXPECT_EQ(AlphaAt(blocked, 0, 33, 5), 0);
}

TEST(RedrawCell, FastDrawChipCells) {
  TMapEditLayerList map;
  MakeMap(map, 3, 1, 16, {"0", "255", "65280"}, 2);
  PaintCell(map, 0, 0, 0);
  PaintCell(map, 1, 0, 1);
  map.Refresh();
  // Remember the full computation, then spoil the chip cell (0,0) and redraw it
  // the short way.
  const TColor32 shadeMark = 0x55000000u;
  map.Shades().Alpha(3, 3) = uint8_t(shadeMark >> 24);
  for (int32_t j = 0; j < 3; ++j) map.Layers(j)->BMPForWriting().Pixel(5, 5) = 0x4D123456u;
  map.SetCell(0, 0, 1);
  map.FastDraw = true;
  map.RedrawCell(0, 0);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      ASSERT_EQ(AlphaAt(map, 0, x, y), 255);
      ASSERT_EQ(AlphaAt(map, 1, x, y), 0);
      ASSERT_EQ(AlphaAt(map, 2, x, y), 0);
    }
  // A wall cell holds no shade: the short way clears it, as the full computation
  // does, instead of keeping what an earlier floor left.
  EXPECT_EQ(map.Shades().Pixel(3, 3), 0u);
  EXPECT_EQ(map.Layers(1)->BMP().Pixel(5, 5), 0x00123456u);

  // A chip cell of layer 1: layer 1 opaque, layer 2 clear, layer 0 and the shades
  // as the full computation gives them.
  TMapEditLayerList full;
  MakeMap(full, 3, 1, 16, {"0", "255", "65280"}, 2);
  PaintCell(full, 0, 0, 0);
  PaintCell(full, 1, 0, 1);
  full.Refresh();
  map.SetCell(1, 0, 1);
  map.Layers(2)->BMPForWriting().Pixel(20, 4) = 0xFF00FF00u;
  map.Shades().Alpha(17, 4) = uint8_t(shadeMark >> 24);
  map.RedrawCell(1, 0);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 16; x < 32; ++x) {
      ASSERT_EQ(AlphaAt(map, 1, x, y), 255);
      ASSERT_EQ(AlphaAt(map, 2, x, y), 0);
      ASSERT_EQ(map.Layers(0)->BMP().Pixel(x, y), full.Layers(0)->BMP().Pixel(x, y));
      ASSERT_EQ(map.Shades().Pixel(x, y), full.Shades().Pixel(x, y));
    }
  EXPECT_GT(ShadeAt(map, 20, 4), 0);
}

TEST(RedrawCell, HookOrderAndCellsOutsideMap) {
  TMapEditLayerList map;
  MakeMap(map, 3, 3, 8, {"0", "255"}, 1);
  std::vector<TPoint> seen;
  map.OnRedrawCell = [&](int32_t x, int32_t y) { seen.push_back({x, y}); };
  map.RedrawCell(-1, 0);
  map.RedrawCell(3, 0);
  map.RedrawCell(0, 3);
  EXPECT_TRUE(seen.empty());
  map.RedrawAround(0, 0);
  const std::vector<TPoint> around = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  EXPECT_EQ(seen, around);

  seen.clear();
  TRecordList list;
  list.Add({1, 1});
  map.RedrawCells(list);
  // Taken in the order (1,1) (0,1) (0,0) (0,2) (2,1) (2,0) (2,2) (1,0) (1,2), each
  // put in front.
  const std::vector<TPoint> cells = {{1, 2}, {1, 0}, {2, 2}, {2, 0}, {2, 1},
                                     {0, 2}, {0, 0}, {0, 1}, {1, 1}};
  EXPECT_EQ(seen, cells);
  // The door bitmap is rebuilt at the end: sized to the map.
  EXPECT_EQ(map.Doors().Bitmap().Width(), 24);

  seen.clear();
  map.Refresh();
  ASSERT_EQ(seen.size(), 9u);
  EXPECT_EQ(seen[1], (TPoint{0, 1}));  // column by column
  EXPECT_EQ(seen[3], (TPoint{1, 0}));
}

TEST(ClearCellShade, ClearsOneCellOnly) {
  TMapEditLayerList map;
  MakeMap(map, 2, 2, 8, {"0", "255"}, 1);
  map.Shades().Clear(0x40);
  map.ClearCellShade(1, 0);
  map.ClearCellShade(5, 5);  // outside: ignored
  EXPECT_EQ(map.Shades().Pixel(8, 0), 0u);
  EXPECT_EQ(map.Shades().Pixel(15, 7), 0u);
  EXPECT_EQ(map.Shades().Pixel(7, 0), 0x40000000u);
  EXPECT_EQ(map.Shades().Pixel(8, 8), 0x40000000u);
}

namespace {

// Reference for maps without doors: within each cell's window, the chamfer
// distance of every pixel from the nearest source of a layer, by Dijkstra.
std::vector<int32_t> ReferenceDistances(TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t J,
                                        int32_t& XA, int32_t& YA, int32_t& WW) {
  const int32_t cs = Map.ChipSize(), u = cs / 2;
  XA = std::max(0, CX * cs - u);
  YA = std::max(0, CY * cs - u);
  const int32_t xb = std::min(Map.PixelWidth(), CX * cs + cs + u);
  const int32_t yb = std::min(Map.PixelHeight(), CY * cs + cs + u);
  WW = xb - XA;
  const int32_t wh = yb - YA;
  const int32_t kInf = 1 << 20, kBlocked = -1, kSrc = -2;
  std::vector<int32_t> d(size_t(WW * wh), kInf);
  using Item = std::pair<int32_t, int32_t>;
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> q;
  for (int32_t y = 0; y < wh; ++y)
    for (int32_t x = 0; x < WW; ++x) {
      const int32_t L = Map.PixelLayers(XA + x, YA + y);
      int32_t& v = d[size_t(y * WW + x)];
      if (L == J) {
        v = kSrc;
        q.push({0, y * WW + x});
      } else if (J > L || Map.Layers(L)->LayerType == mltObject) {
        v = kBlocked;
      }
    }
  while (!q.empty()) {
    auto [dist, p] = q.top();
    q.pop();
    if (d[size_t(p)] >= 0 && dist > d[size_t(p)]) continue;
    const int32_t px = p % WW, py = p / WW;
    for (int32_t dy = -1; dy <= 1; ++dy)
      for (int32_t dx = -1; dx <= 1; ++dx) {
        if (!dx && !dy) continue;
        const int32_t nx = px + dx, ny = py + dy;
        if (nx < 0 || ny < 0 || nx >= WW || ny >= wh) continue;
        int32_t& v = d[size_t(ny * WW + nx)];
        if (v == kBlocked || v == kSrc) continue;
        const int32_t nd = dist + ((dx && dy) ? 3 : 2);
        if (nd < v) {
          v = nd;
          q.push({nd, ny * WW + nx});
        }
      }
  }
  return d;
}

}  // namespace

TEST(ComposeCell, RandomMapsMatchDistanceReference) {
  std::mt19937 rng(1234);
  for (int32_t cs : {8, 13, 24}) {
    TMapEditLayerList map;
    MakeMap(map, 5, 4, cs, {"0", "255", "65280", "16711680", "8421504"}, 1);
    map.Layers(3)->LayerType = mltObject;
    // Blobs of every layer, some whole cells, some scattered pixels.
    std::uniform_int_distribution<int32_t> layer(0, 4), px(0, 5 * cs - 1), py(0, 4 * cs - 1);
    for (int32_t c = 0; c < 8; ++c) PaintCell(map, c % 5, (c * 3) % 4, layer(rng));
    for (int32_t i = 0; i < 40; ++i) {
      const int32_t x0 = px(rng), y0 = py(rng), L = layer(rng);
      for (int32_t y = y0; y < std::min(y0 + 5, 4 * cs); ++y)
        for (int32_t x = x0; x < std::min(x0 + 7, 5 * cs); ++x) map.SetPixelLayer(x, y, L);
    }
    map.Refresh();
    for (int32_t cy = 0; cy < 4; ++cy)
      for (int32_t cx = 0; cx < 5; ++cx)
        for (int32_t j = 0; j < 5; ++j) {
          int32_t xa, ya, ww;
          const std::vector<int32_t> d = ReferenceDistances(map, cx, cy, j, xa, ya, ww);
          bool present = false;
          for (int32_t yy = ya; yy < ya + int32_t(d.size()) / ww && !present; ++yy)
            for (int32_t xx = xa; xx < xa + ww; ++xx)
              if (map.PixelLayers(xx, yy) == j) present = true;
          for (int32_t y = cy * cs; y < (cy + 1) * cs; ++y)
            for (int32_t x = cx * cs; x < (cx + 1) * cs; ++x) {
              const int32_t v = d[size_t((y - ya) * ww + (x - xa))];
              uint8_t grid;  // the value the cell grid should hold
              if (v == -2)
                grid = 255;
              else if (v == -1)
                grid = 0;
              else if (v > 252)
                grid = 254;
              else
                grid = uint8_t(v);
              uint8_t alpha;
              if (j == 0)
                alpha = grid == 255 ? 255 : 0;
              else if (!present)
                alpha = 0;
              else if (map.Layers(j)->LayerType == mltObject)
                alpha = grid == 255 ? 255 : 0;
              else
                alpha = FadeAlpha(grid, cs);
              ASSERT_EQ(AlphaAt(map, j, x, y), alpha)
                  << "cs " << cs << " layer " << j << " at " << x << "," << y;
              if (j == 0) {
                ASSERT_EQ(ShadeAt(map, x, y), ShadeAlpha(grid, cs)) << x << "," << y;
              }
            }
        }
  }
}

TEST(ComposeCell, LayerIndicesWithoutLayerShowNothing) {
  // Entries that name no layer (a deleted layer, a damaged file) are open to every
  // layer and shown by none; nothing is read or written out of bounds.
  for (bool fast : {false, true}) {
    TMapEditLayerList map;
    MakeMap(map, 3, 3, 16, {"0", "255", "65280"}, 1);
    PaintCell(map, 1, 1, 99);
    map.SetPixelLayer(0, 0, -5);
    map.SetPixelLayer(47, 47, -2147483647 - 1);
    map.SetCell(1, 1, 1);
    map.SetCell(0, 0, 1);
    map.FastDraw = fast;
    map.Refresh();
    for (int32_t j = 0; j < 3; ++j) EXPECT_EQ(AlphaAt(map, j, 24, 24), 0) << j;
    // Layer 1 fades into them as into a higher layer (cs 16: 191 after one step).
    EXPECT_EQ(AlphaAt(map, 1, 0, 0), 191);
    EXPECT_EQ(AlphaAt(map, 1, 47, 47), 191);
    EXPECT_EQ(AlphaAt(map, 1, 15, 24), 255);
    EXPECT_EQ(AlphaAt(map, 1, 16, 24), 191);
    EXPECT_EQ(AlphaAt(map, 1, 17, 24), 127);
  }
}
