#include "editor/canvas_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void ExpectEdge(TDoorEdge E, int32_t X, int32_t Y, bool Horizontal) {
  EXPECT_EQ(E.X, X);
  EXPECT_EQ(E.Y, Y);
  EXPECT_EQ(E.Horizontal, Horizontal);
}

TEST(HitDoorEdge, NearGridLinesAwayFromCornersAndBorder) {
  // Chip 32 on a 10 x 8 map (320 x 256 pixels).
  ExpectEdge(HitDoorEdge(40, 33, 32, 320, 256), 1, 1, true);   // top border of cell (1, 1)
  ExpectEdge(HitDoorEdge(33, 40, 32, 320, 256), 1, 1, false);  // left border of cell (1, 1)
  EXPECT_FALSE(HitDoorEdge(52, 40, 32, 320, 256).Valid());     // 12 and 8 pixels away
  EXPECT_FALSE(HitDoorEdge(36, 36, 32, 320, 256).Valid());     // on the diagonal
  EXPECT_FALSE(HitDoorEdge(2, 40, 32, 320, 256).Valid());      // at the canvas's left side
  EXPECT_FALSE(HitDoorEdge(317, 40, 32, 320, 256).Valid());    // at its right side
  // Just before a line the edge belongs to the next cell.
  ExpectEdge(HitDoorEdge(62, 40, 32, 320, 256), 2, 1, false);
  ExpectEdge(HitDoorEdge(40, 94, 32, 320, 256), 1, 3, true);
  // Chip 16: 9 pixels right of a line is not folded, so the line 7 pixels away
  // is not considered; 13 pixels right folds to 3 and hits the next line.
  EXPECT_FALSE(HitDoorEdge(25, 40, 16, 320, 256).Valid());
  ExpectEdge(HitDoorEdge(29, 40, 16, 320, 256), 2, 2, false);
  EXPECT_FALSE(HitDoorEdge(40, 33, 0, 320, 256).Valid());
}

TEST(GridLinePositions, InnerLinesOnly) {
  EXPECT_TRUE(GridLinePositions(32, 32).empty());  // a 1 x 1 map has none
  const std::vector<int32_t> v = GridLinePositions(20 * 32, 32);
  const std::vector<int32_t> h = GridLinePositions(15 * 32, 32);
  ASSERT_EQ(v.size(), 19u);
  ASSERT_EQ(h.size(), 14u);
  EXPECT_EQ(v.front(), 31);
  EXPECT_EQ(v.back(), 607);
  EXPECT_EQ(h.front(), 31);
  EXPECT_EQ(h.back(), 447);
  EXPECT_EQ(v[1] - v[0], 32);
}

TEST(BandFrame, ChipRectangleOverOneCell) {
  const TRect box = BandFrameBox({2, 3}, {2, 3}, true, 32);
  EXPECT_EQ(box, (TRect{64, 96, 95, 127}));
  // Corners in any order give the same box; pixel bands are not scaled.
  EXPECT_EQ(BandFrameBox({5, 7}, {2, 5}, true, 10), (TRect{20, 50, 59, 79}));
  EXPECT_EQ(BandFrameBox({30, 40}, {10, 20}, false, 32), (TRect{10, 20, 31, 41}));

  const TColor32 bg = 0xFF808080;
  TBitmap32 full;
  full.SetSize(160, 160);
  full.Clear(bg);
  DrawBandFrame(full, box);
  EXPECT_EQ(full.Pixel(64, 96), 0xFFFFFFFFu);                  // outer top-left: opaque white
  EXPECT_EQ(full.Pixel(94, 96), 0xFFFFFFFFu);                  // top row runs to X2 - 1
  EXPECT_EQ(full.Pixel(64, 126), 0xFF000000u);                 // bottom row: opaque black
  EXPECT_EQ(full.Pixel(94, 110), 0xFF000000u);                 // right column
  EXPECT_EQ(full.Pixel(64, 110), 0xFFFFFFFFu);                 // left column
  EXPECT_EQ(full.Pixel(65, 97), 0xFFFFFFFFu);                  // inner frame: light stays opaque
  EXPECT_EQ(full.Pixel(80, 125), BlendPixel(0x7F000000, bg));  // inner dark: alpha 127
  EXPECT_NE(full.Pixel(80, 125), bg);
  EXPECT_EQ(full.Pixel(80, 110), bg);  // inside untouched
  EXPECT_EQ(full.Pixel(95, 110), bg);  // the grid line column stays free
  EXPECT_EQ(full.Pixel(80, 127), bg);
  EXPECT_EQ(full.Pixel(63, 110), bg);

  // Drawn into a part of the canvas, the frame gives the same pixels.
  TBitmap32 part;
  part.SetSize(30, 25);
  part.Clear(bg);
  DrawBandFrame(part, box, 70, 105);
  for (int32_t y = 0; y < 25; ++y)
    for (int32_t x = 0; x < 30; ++x) ASSERT_EQ(part.Pixel(x, y), full.Pixel(x + 70, y + 105));
}

TEST(RecordTouchedCells, NeighboursNewestFirstWithoutDuplicates) {
  TRecordList list;
  RecordTouchedCells(list, 33, 33, 1, 1, 4, 32);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Item(0), (TPoint{1, 0}));
  EXPECT_EQ(list.Item(1), (TPoint{0, 1}));
  EXPECT_EQ(list.Item(2), (TPoint{0, 0}));
  EXPECT_EQ(list.Item(3), (TPoint{1, 1}));
  RecordTouchedCells(list, 34, 34, 1, 1, 4, 32);
  EXPECT_EQ(list.Count(), 4);
  // A circle in the middle of a cell adds only that cell.
  TRecordList one;
  RecordTouchedCells(one, 48, 48, 1, 1, 8, 32);
  ASSERT_EQ(one.Count(), 1);
  EXPECT_EQ(one.Item(0), (TPoint{1, 1}));
  // Reaching right and down.
  TRecordList rb;
  RecordTouchedCells(rb, 62, 62, 1, 1, 4, 32);
  ASSERT_EQ(rb.Count(), 4);
  EXPECT_EQ(rb.Item(0), (TPoint{1, 2}));
  EXPECT_EQ(rb.Item(1), (TPoint{2, 2}));
  EXPECT_EQ(rb.Item(2), (TPoint{2, 1}));
}

TEST(Zoom, MapsViewPixelsToMapPixels) {
  TZoom z;
  EXPECT_EQ(z.ViewToMap(40.0), 40);
  EXPECT_EQ(z.MapToView(640), 640);
  z.SetPercent(200);
  EXPECT_EQ(z.ViewToMap(65.0), 32);
  EXPECT_EQ(z.ViewToMap(63.9), 31);
  EXPECT_EQ(z.ViewToMap(-0.5), -1);  // left of the map stays outside it
  EXPECT_EQ(z.MapToView(640), 1280);
  EXPECT_EQ(z.ViewRectToMap({1, 1, 5, 3}), (TRect{0, 0, 3, 2}));
  z.SetPercent(50);
  EXPECT_EQ(z.ViewToMap(10.0), 20);
  EXPECT_EQ(z.ViewRectToMap({1, 1, 5, 3}), (TRect{2, 2, 10, 6}));
  z.SetPercent(5);
  EXPECT_EQ(z.Percent(), TZoom::MinPercent);
  z.SetPercent(100);
  EXPECT_EQ(z.NextIn(), 150);
  EXPECT_EQ(z.NextOut(), 67);
  EXPECT_EQ(TZoom::FitPercent(1000, 500, 500, 500), 50);
  EXPECT_EQ(TZoom::FitPercent(100, 100, 500, 500), 100);
}

}  // namespace
