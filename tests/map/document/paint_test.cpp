// Painting and door operations: grids, chip flags, visible alpha and the exact
// cells each operation recomposes.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "map/document/map_edit_layer_list.h"

namespace {

using TCellList = std::vector<std::pair<int32_t, int32_t>>;

// A map whose pixels all carry layer Fill and whose cells are all chip cells when
// Chips is set; layers are solid colours, layer 0 first.
void MakeMap(TMapEditLayerList& Map, int32_t W, int32_t H, int32_t Cs, int32_t Layers, int32_t Fill,
             bool Chips) {
  Map.SetSize(W, H, Cs);
  for (int32_t i = 0; i < Layers; ++i)
    Map.AddLayer()->SetFileName(std::to_string(0x00102030 + i * 0x00101010));
  Map.PixelGrid().Fill(Fill);
  Map.CellGrid().Fill(Chips ? 1 : 0);
}

// Records every cell RedrawCell recomposes, in order.
TCellList* Trace(TMapEditLayerList& Map) {
  auto* list = new TCellList;
  Map.OnRedrawCell = [list](int32_t X, int32_t Y) { list->push_back({X, Y}); };
  return list;
}

// The cells RedrawAround visits that lie in a W x H map.
TCellList Around(int32_t CX, int32_t CY, int32_t W, int32_t H) {
  const int32_t d[9][2] = {{0, 0},   {-1, 0}, {1, 0},  {0, 1}, {0, -1},
                           {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  TCellList r;
  for (const auto& o : d) {
    const int32_t x = CX + o[0], y = CY + o[1];
    if (x >= 0 && y >= 0 && x < W && y < H) r.push_back({x, y});
  }
  return r;
}

uint8_t Alpha(TMapEditLayerList& Map, int32_t Layer, int32_t X, int32_t Y) {
  return uint8_t(Map.Layers(Layer)->BMP().Pixel(X, Y) >> 24);
}

std::set<std::pair<int32_t, int32_t>> ChangedPixels(const TGrid2D<int32_t>& Before,
                                                    const TGrid2D<int32_t>& After) {
  std::set<std::pair<int32_t, int32_t>> r;
  for (int32_t y = 0; y < Before.Height(); ++y)
    for (int32_t x = 0; x < Before.Width(); ++x)
      if (Before.At(x, y) != After.At(x, y)) r.insert({x, y});
  return r;
}

// Every layer image and the shade image, for comparing states.
std::vector<std::vector<TColor32>> Images(TMapEditLayerList& Map) {
  std::vector<std::vector<TColor32>> r;
  for (int32_t i = 0; i < Map.Count(); ++i) {
    const TBitmap32& b = Map.Layers(i)->BMP();
    r.emplace_back(b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height()));
  }
  const TShadeImage& s = Map.Shades();
  std::vector<TColor32>& shades = r.emplace_back(size_t(s.Width()) * size_t(s.Height()));
  for (int32_t y = 0; y < s.Height(); ++y)
    s.ReadRow(y, 0, s.Width(), shades.data() + size_t(y) * size_t(s.Width()));
  return r;
}

// Every chip cell's pixels carry one layer (what the composition's short path
// relies on).
void ExpectChipCellsUniform(const TMapEditLayerList& Map) {
  const int32_t cs = Map.ChipSize();
  for (int32_t cy = 0; cy < Map.Height(); ++cy)
    for (int32_t cx = 0; cx < Map.Width(); ++cx) {
      if (Map.Cells(cx, cy) != 1) continue;
      const int32_t l = Map.PixelLayers(cx * cs, cy * cs);
      int32_t odd = 0;
      for (int32_t y = 0; y < cs; ++y)
        for (int32_t x = 0; x < cs; ++x) odd += Map.PixelLayers(cx * cs + x, cy * cs + y) != l;
      EXPECT_EQ(odd, 0) << "chip cell " << cx << "," << cy;
    }
}

}  // namespace

TEST(PaintChip, SameLayerChipCellIsLeftAloneOtherCellsBecomeChips) {
  TMapEditLayerList map;
  MakeMap(map, 4, 3, 16, 3, 1, true);
  std::unique_ptr<TCellList> trace(Trace(map));
  const TGrid2D<int32_t> before = map.PixelGrid();

  map.PaintChip(2, 1, 1);
  EXPECT_TRUE(trace->empty());
  EXPECT_EQ(map.PixelGrid(), before);

  // A mixed cell of the same layer still gets painted and flagged.
  map.SetCell(2, 1, 0);
  map.SetPixelLayer(40, 20, 2);
  map.PaintChip(2, 1, 1);
  EXPECT_EQ(map.Cells(2, 1), 1);
  EXPECT_EQ(map.PixelLayers(40, 20), 1);
  EXPECT_EQ(*trace, Around(2, 1, 4, 3));

  trace->clear();
  map.PaintChip(0, 0, 2);
  EXPECT_EQ(*trace, Around(0, 0, 4, 3));
  EXPECT_EQ(map.Cells(0, 0), 1);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x)
      EXPECT_EQ(map.PixelLayers(x, y), (x < 16 && y < 16) ? 2 : 1) << x << "," << y;

  // Cells outside the map: nothing written, nothing redrawn.
  trace->clear();
  const TGrid2D<int32_t> now = map.PixelGrid();
  map.PaintChip(-1, 0, 0);
  map.PaintChip(4, 0, 0);
  map.PaintChip(0, 3, 0);
  map.PaintChip(1, 1, -1);
  EXPECT_EQ(map.PixelGrid(), now);
  EXPECT_TRUE(trace->empty());
}

TEST(PaintCircle, RadiusTwoStampAndCornerQuarter) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 16, 3, 1, true);
  std::unique_ptr<TCellList> trace(Trace(map));
  TGrid2D<int32_t> before = map.PixelGrid();

  map.PaintCircle(24, 24, 2, 2);
  const auto changed = ChangedPixels(before, map.PixelGrid());
  std::set<std::pair<int32_t, int32_t>> expected;
  for (int32_t dy = -1; dy <= 1; ++dy)
    for (int32_t dx = -1; dx <= 1; ++dx) expected.insert({24 + dx, 24 + dy});
  expected.insert({22, 24});
  expected.insert({26, 24});
  expected.insert({24, 22});
  expected.insert({24, 26});
  EXPECT_EQ(changed, expected);
  for (const auto& p : expected) {
    EXPECT_EQ(map.PixelLayers(p.first, p.second), 2);
  }
  // The stamp's cell lost its chip flag; cells beyond the stamp's reach kept theirs.
  EXPECT_EQ(map.Cells(1, 1), 0);
  EXPECT_EQ(map.Cells(0, 0), 1);
  EXPECT_EQ(map.Cells(2, 2), 1);
  EXPECT_EQ(*trace, Around(1, 1, 4, 4));

  // At the map corner only the quarter inside the map is written.
  before = map.PixelGrid();
  trace->clear();
  map.DrawShadeOnlyCell = true;
  map.PaintCircle(0, 0, 2, 0);
  EXPECT_EQ(
      ChangedPixels(before, map.PixelGrid()),
      (std::set<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}, {1, 1}}));
  EXPECT_TRUE(trace->empty());  // shades deferred: nothing recomposed
  // The hard-edged picture is written at once.
  EXPECT_EQ(Alpha(map, 0, 1, 1), 255);
  EXPECT_EQ(Alpha(map, 1, 1, 1), 0);
  EXPECT_EQ(Alpha(map, 2, 1, 1), 0);
  EXPECT_EQ(map.Layers(0)->BMP().Pixel(1, 1) & 0x00FFFFFFu, 0x00302010u);

  // Radius 8 reaches 8 pixels along the axes and 5 diagonally.
  map.DrawShadeOnlyCell = false;
  map.PixelGrid().Fill(1);
  map.PaintCircle(32, 32, 8, 2);
  EXPECT_EQ(map.PixelLayers(40, 32), 2);
  EXPECT_EQ(map.PixelLayers(41, 32), 1);
  EXPECT_EQ(map.PixelLayers(32, 24), 2);
  EXPECT_EQ(map.PixelLayers(37, 37), 2);
  EXPECT_EQ(map.PixelLayers(38, 38), 1);
  EXPECT_EQ(map.PixelLayers(27, 37), 2);
}

TEST(FillRectPixels, PartialAndFullCellsAndRingRedraw) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 16, 3, 1, true);
  // Cell (2, 0) is already a chip cell of the painted layer.
  map.FillRectPixels(32, 0, 48, 16, 2);
  map.Shades().Clear(0x40);
  std::unique_ptr<TCellList> trace(Trace(map));

  map.FillRectPixels(5, 5, 40, 40, 2);
  const uint8_t flags[4][4] = {// [y][x]
                               {0, 0, 1, 1},
                               {0, 1, 0, 1},
                               {0, 0, 0, 1},
                               {1, 1, 1, 1}};
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(map.Cells(x, y), flags[y][x]) << x << "," << y;
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const bool in = (x >= 5 && x < 40 && y >= 5 && y < 40) || (x >= 32 && x < 48 && y < 16);
      EXPECT_EQ(map.PixelLayers(x, y), in ? 2 : 1) << x << "," << y;
    }
  const TCellList ring = {{0, 0}, {0, 3}, {0, 2}, {1, 0}, {1, 3}, {1, 2}, {2, 0}, {2, 3},
                          {2, 2}, {3, 0}, {3, 3}, {3, 2}, {0, 1}, {3, 1}, {2, 1}};
  EXPECT_EQ(*trace, ring);
  // The inner cell's shade is cleared without recomposing it.
  EXPECT_EQ(map.Shades().Pixel(16, 16), 0u);
  EXPECT_EQ(map.Shades().Pixel(31, 31), 0u);

  // Clipped to the map; the cells it covers wholly become chip cells.
  map.CellGrid().Fill(0);
  map.FillRectPixels(-100, -100, 20, 16, 0);
  EXPECT_EQ(map.Cells(0, 0), 1);
  EXPECT_EQ(map.Cells(1, 0), 0);
  EXPECT_EQ(map.PixelLayers(19, 15), 0);
  EXPECT_EQ(map.PixelLayers(20, 15), 2);
  map.FillRectPixels(60, 60, 5000, 5000, 0);
  EXPECT_EQ(map.PixelLayers(63, 63), 0);
  EXPECT_EQ(map.PixelLayers(59, 63), 1);
}

TEST(FillRectPixels, InnerCellsNextToANarrowBorderStripAreRecomposed) {
  TMapEditLayerList map;
  MakeMap(map, 8, 8, 32, 3, 1, false);
  for (int32_t y = 0; y < 256; ++y) {
    map.SetPixelLayer(60, y, 0);
    map.SetPixelLayer(61, y, 0);
  }
  map.Refresh();
  std::unique_ptr<TCellList> trace(Trace(map));
  // Column 1 is painted over one pixel only, next to a wall; the right and bottom
  // edges cover 8 pixels of columns and rows 6.
  map.FillRectPixels(63, 40, 200, 200, 2);
  const auto incremental = Images(map);
  TCellList extra(trace->end() - 10, trace->end());
  EXPECT_EQ(
      extra,
      (TCellList{{2, 2}, {2, 3}, {2, 4}, {2, 5}, {3, 5}, {4, 5}, {5, 2}, {5, 3}, {5, 4}, {5, 5}}))
      << "the inner cells that see unpainted pixels";
  // Without them the wall's shade would stop at the inner cells' border.
  EXPECT_NE(map.Shades().Pixel(65, 100), 0u);
  map.Refresh();
  EXPECT_TRUE(Images(map) == incremental);
}

TEST(FillRectChips, WholeCellsAndFarCorners) {
  TMapEditLayerList map;
  MakeMap(map, 5, 5, 8, 2, 1, false);
  map.FillRectChips(1, 1, 3, 2, 0);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      const bool in = x >= 1 && x <= 3 && y >= 1 && y <= 2;
      EXPECT_EQ(map.Cells(x, y), in ? 1 : 0);
      EXPECT_EQ(map.PixelLayers(x * 8 + 3, y * 8 + 3), in ? 0 : 1);
    }
  map.FillRectChips(-2000000000, 4, 2000000000, 2000000000, 0);
  for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(map.Cells(x, 4), 1);
  EXPECT_EQ(map.PixelLayers(39, 39), 0);
}

TEST(EllipseChips, ChipFlagsOverThreeAndSevenCellsAndThinEllipse) {
  {
    TMapEditLayerList map;
    MakeMap(map, 5, 5, 16, 3, 1, true);
    std::unique_ptr<TCellList> trace(Trace(map));
    map.EllipseChips(2, 2, 0, 0, 2);  // corners in any order
    EXPECT_EQ(map.Cells(1, 1), 1);
    for (int32_t y = 16; y < 32; ++y)
      for (int32_t x = 16; x < 32; ++x) EXPECT_EQ(map.PixelLayers(x, y), 2);
    EXPECT_EQ(map.Cells(0, 0), 0);
    EXPECT_EQ(map.Cells(2, 0), 0);
    EXPECT_EQ(map.Cells(0, 2), 0);
    EXPECT_EQ(map.Cells(2, 2), 0);
    EXPECT_EQ(map.PixelLayers(0, 0), 1);
    EXPECT_EQ(map.PixelLayers(24, 0), 2);  // the ellipse touches the box's sides
    EXPECT_EQ(map.Cells(3, 3), 1);         // outside the box: untouched
    // The box and its neighbours, each once.
    std::set<std::pair<int32_t, int32_t>> cells(trace->begin(), trace->end());
    EXPECT_EQ(cells.size(), trace->size());
    EXPECT_EQ(cells.size(), 16u);
    EXPECT_EQ(cells.count({4, 4}), 0u);
  }
  {
    TMapEditLayerList map;
    MakeMap(map, 7, 7, 16, 3, 1, false);
    map.EllipseChips(0, 0, 6, 6, 2);
    for (auto c : {std::pair{0, 0}, {6, 0}, {0, 6}, {6, 6}}) {
      EXPECT_EQ(map.Cells(c.first, c.second), 1);
      for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x)
          EXPECT_EQ(map.PixelLayers(c.first * 16 + x, c.second * 16 + y), 1);
    }
    EXPECT_EQ(map.Cells(3, 3), 1);
    EXPECT_EQ(map.PixelLayers(56, 56), 2);
    EXPECT_EQ(map.Cells(1, 0), 0);  // partly inside
  }
  {
    TMapEditLayerList map;
    MakeMap(map, 3, 5, 16, 3, 1, true);
    map.PaintChip(1, 2, 2);
    map.EllipseChips(1, 0, 1, 4, 2);
    for (int32_t y = 0; y < 5; ++y) EXPECT_EQ(map.Cells(1, y), y == 2 ? 1 : 0) << y;
    EXPECT_EQ(map.Cells(0, 2), 1);
    EXPECT_EQ(map.PixelLayers(24, 40), 2);
    ExpectChipCellsUniform(map);
  }
}

TEST(EllipsePixels, ClippedToTheMap) {
  TMapEditLayerList map;
  MakeMap(map, 2, 2, 8, 2, 1, true);
  map.EllipsePixels(-8, -8, 24, 24, 0);  // centre (8, 8), radius 16
  EXPECT_EQ(map.PixelLayers(8, 8), 0);
  EXPECT_EQ(map.PixelLayers(0, 0), 0);
  EXPECT_EQ(map.PixelLayers(15, 15), 0);
  EXPECT_EQ(map.Cells(0, 0), 1);      // wholly inside
  map.EllipsePixels(5, 5, 5, 20, 0);  // empty box
  map.EllipsePixels(100, 100, 200, 200, 0);
  EXPECT_EQ(map.PixelLayers(15, 15), 0);
}

TEST(FloodFill, StopsAtOtherLayersEdgesAndDiagonals) {
  TMapEditLayerList map;
  MakeMap(map, 4, 2, 8, 3, 1, true);
  // A wall column at x = 10 splits the map.
  for (int32_t y = 0; y < 16; ++y) map.SetPixelLayer(10, y, 0);
  std::unique_ptr<TCellList> trace(Trace(map));
  map.FloodFill(2, 3, 2);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 32; ++x)
      EXPECT_EQ(map.PixelLayers(x, y), x < 10 ? 2 : (x == 10 ? 0 : 1)) << x << "," << y;
  // Chip flags are kept; the touched cells (columns 0 and 1) and their neighbours
  // are recomposed once each.
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(map.Cells(x, 0), 1);
  std::set<std::pair<int32_t, int32_t>> cells(trace->begin(), trace->end());
  EXPECT_EQ(cells.size(), trace->size());
  EXPECT_EQ(cells, (std::set<std::pair<int32_t, int32_t>>{
                       {0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));

  // Already the layer: nothing happens.
  trace->clear();
  const TGrid2D<int32_t> now = map.PixelGrid();
  map.FloodFill(0, 0, 2);
  map.FloodFill(-1, 0, 1);
  map.FloodFill(32, 0, 2);
  EXPECT_EQ(map.PixelGrid(), now);
  EXPECT_TRUE(trace->empty());

  // Diagonal neighbours are not connected.
  map.PixelGrid().Fill(0);
  map.SetPixelLayer(3, 3, 1);
  map.SetPixelLayer(4, 4, 1);
  map.SetPixelLayer(2, 4, 1);
  map.FloodFill(3, 3, 2);
  EXPECT_EQ(map.PixelLayers(3, 3), 2);
  EXPECT_EQ(map.PixelLayers(4, 4), 1);
  EXPECT_EQ(map.PixelLayers(2, 4), 1);

  // A winding region that reaches every edge.
  map.PixelGrid().Fill(1);
  for (int32_t x = 0; x < 30; ++x) map.SetPixelLayer(x, 5, 0);
  for (int32_t x = 2; x < 32; ++x) map.SetPixelLayer(x, 10, 0);
  map.FloodFill(31, 15, 2);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 32; ++x)
      if (!((y == 5 && x < 30) || (y == 10 && x >= 2))) {
        EXPECT_EQ(map.PixelLayers(x, y), 2) << x << "," << y;
      }
}

TEST(FloodFill, WholeLargeMapCompletes) {
  TMapEditLayerList map;
  MakeMap(map, 40, 40, 50, 2, 1, false);
  // A comb of walls makes the region snake through every row pair.
  for (int32_t y = 1; y < 2000; y += 2) {
    const int32_t gap = (y / 2) % 2 == 0 ? 1999 : 0;
    for (int32_t x = 0; x < 2000; ++x)
      if (x != gap) map.SetPixelLayer(x, y, 0);
  }
  map.FloodFill(0, 0, 2);
  int64_t filled = 0;
  for (int32_t y = 0; y < 2000; ++y)
    for (int32_t x = 0; x < 2000; ++x) filled += map.PixelLayers(x, y) == 2;
  EXPECT_EQ(filled, 1000 * 2000 + 1000);
  EXPECT_EQ(map.PixelLayers(1999, 1998), 2);
  EXPECT_EQ(map.PixelLayers(0, 1999), 2);  // the last gap
  EXPECT_EQ(map.PixelLayers(1, 1999), 0);
}

TEST(Doors, ToggleDoorAddsRemovesAndRedraws) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 16, 2, 1, true);
  std::unique_ptr<TCellList> trace(Trace(map));
  map.ToggleDoor(2, 1, true, 0x000000FF);
  ASSERT_EQ(map.Doors().HorzDoor().Count(), 1);
  const TMapEditHorzDoor* d = map.Doors().HorzDoor().Items(0);
  EXPECT_EQ(d->X, 2);
  EXPECT_EQ(d->Y, 1);
  EXPECT_EQ(d->Width, 1);
  EXPECT_EQ(d->Color, 0xFFFF0000u);
  EXPECT_EQ(*trace, Around(2, 1, 4, 4));
  EXPECT_EQ(map.Doors().DoorPixelCode(40, 13), 255);  // black row 3 above the edge

  map.ToggleDoor(2, 1, true, 0x00FF0000);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 0);
  EXPECT_EQ(map.Doors().DoorPixelCode(40, 13), 0);

  // Vertical doors stay sorted; no colour gives 0.
  map.ToggleDoor(3, 1, false, clNone);
  map.ToggleDoor(1, 2, false, clNone);
  map.ToggleDoor(1, 1, false, clNone);
  const TMapEditVertDoorList& v = map.Doors().VertDoor();
  ASSERT_EQ(v.Count(), 3);
  EXPECT_EQ(std::pair(v.Items(0)->X, v.Items(0)->Y), std::pair(1, 1));
  EXPECT_EQ(std::pair(v.Items(1)->X, v.Items(1)->Y), std::pair(1, 2));
  EXPECT_EQ(std::pair(v.Items(2)->X, v.Items(2)->Y), std::pair(3, 1));
  EXPECT_EQ(v.Items(0)->Color, 0u);
  EXPECT_EQ(v.Items(0)->Height, 1);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 0);
}

TEST(Doors, AddFreeDoorColourAndRedrawSet) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 16, 2, 1, true);
  std::unique_ptr<TCellList> trace(Trace(map));
  map.AddFreeDoor(5, 5, 20, 5, clNone);
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 1);
  EXPECT_EQ(map.Doors().FreeDoor().Items(0)->Color, 0xFFFFFFFFu);
  EXPECT_EQ(*trace, (TCellList{{0, 0}, {1, 0}}));

  trace->clear();
  map.AddFreeDoor(5, 40, 5, 5, 0x0000FF00);
  const TMapEditCustomDoor* d = map.Doors().FreeDoor().Items(1);
  EXPECT_EQ(d->X, 5);
  EXPECT_EQ(d->Y, 40);
  EXPECT_EQ(d->X2, 5);
  EXPECT_EQ(d->Y2, 5);
  EXPECT_EQ(d->Color, 0xFF00FF00u);
  EXPECT_EQ(*trace, (TCellList{{0, 0}, {0, 2}, {1, 2}, {0, 3}, {0, 1}, {1, 1}, {1, 3}}));

  // Far-away ends are kept but redraw only cells of the map.
  trace->clear();
  map.AddFreeDoor(-2000000000, -2000000000, 2000000000, 2000000000, 0);
  EXPECT_EQ(map.Doors().FreeDoor().Count(), 3);
  for (const auto& c : *trace) {
    EXPECT_TRUE(c.first >= 0 && c.first < 4 && c.second >= 0 && c.second < 4);
  }
}

TEST(Doors, DeleteFreeDoorsAtThreeAndFourPixels) {
  TMapEditLayerList map;
  MakeMap(map, 8, 8, 16, 2, 1, true);
  map.AddFreeDoor(10, 10, 50, 10, 0);
  map.AddFreeDoor(60, 60, 60, 60, 0);  // zero length: measured to its point
  map.AddFreeDoor(100, 20, 100, 90, 0);
  std::unique_ptr<TCellList> trace(Trace(map));

  map.DeleteFreeDoorsAt(30, 14);       // 4 pixels from the first door
  map.DeleteFreeDoorsAt(54, 10);       // 4 pixels beyond its end
  map.DeleteFreeDoorsAt(63, 60);       // 3 pixels from the point door
  EXPECT_EQ(trace->size(), 3u * 64u);  // each deletion refreshes the whole map
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 2);
  EXPECT_EQ(map.Doors().FreeDoor().Items(0)->X2, 50);
  EXPECT_EQ(map.Doors().FreeDoor().Items(1)->X, 100);

  map.DeleteFreeDoorsAt(30, 13);  // 3 pixels away
  ASSERT_EQ(map.Doors().FreeDoor().Count(), 1);
  EXPECT_EQ(map.Doors().FreeDoor().Items(0)->X, 100);
  map.DeleteFreeDoorsAt(97, 50);
  EXPECT_EQ(map.Doors().FreeDoor().Count(), 0);
}

class RedrawSets : public ::testing::TestWithParam<bool> {};

TEST_P(RedrawSets, TypicalEditsMatchAFullRefresh) {
  TMapEditLayerList map;
  map.FastDraw = GetParam();
  MakeMap(map, 8, 6, 32, 3, 1, false);
  map.FillRectChips(0, 0, 7, 0, 0);
  map.FillRectChips(4, 2, 7, 5, 2);
  map.Refresh();

  // A free-hand stroke of radius 8 across three layers.
  for (int32_t x = 20; x < 220; x += 5) map.PaintCircle(x, 40 + x / 4, 8, 0);
  for (int32_t y = 30; y < 180; y += 3) map.PaintCircle(150, y, 6, 2);
  map.PaintChip(2, 4, 0);
  map.PaintChip(1, 3, 2);
  map.FillRectChips(1, 1, 3, 3, 1);  // inner cell (2, 2) is only cleared
  map.EllipseChips(4, 1, 6, 4, 0);
  map.FloodFill(5, 150, 2);
  map.ToggleDoor(3, 4, true, 0x00FF8040);
  map.ToggleDoor(5, 2, false, clNone);

  ExpectChipCellsUniform(map);
  const auto incremental = Images(map);
  map.Refresh();
  const auto full = Images(map);
  ASSERT_EQ(incremental.size(), full.size());
  for (size_t i = 0; i < full.size(); ++i) EXPECT_TRUE(incremental[i] == full[i]) << "image " << i;
}

INSTANTIATE_TEST_SUITE_P(FastDraw, RedrawSets, ::testing::Bool());
