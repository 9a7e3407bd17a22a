// The per-row record of where an image may show, which the composition trusts to
// pass over pixels: a wrong span or opaque flag would drop or hide pixels.

#include <gtest/gtest.h>

#include <vector>

#include "map/document/cell_coverage.h"

namespace {

struct TExpect {
  int Begin, End;
  bool Opaque;
};

void ExpectSpan(const TCellCoverage& C, int32_t CX, int32_t PY, TExpect E, const char* Step) {
  const TCellCoverage::TRow row = C.Row(PY, C.Width(), C.Height(), C.ChipSize());
  ASSERT_TRUE(row) << Step;
  const TCellCoverage::TSpan s = row[CX];
  EXPECT_EQ(int(s.Begin), E.Begin) << Step << " cell " << CX << " row " << PY;
  EXPECT_EQ(int(s.End), E.End) << Step << " cell " << CX << " row " << PY;
  EXPECT_EQ(bool(s.Opaque), E.Opaque) << Step << " cell " << CX << " row " << PY;
}

}  // namespace

TEST(CellCoverage, RowsRecordTheirStretchAndOpacityThroughEveryWrite) {
  // 3 x 2 cells of 10 pixels: 20 pixel rows, more than one group of rows kept
  // together, and a last group that is not full.
  TCellCoverage c;
  c.Reset(3, 2, 10, false);
  ASSERT_TRUE(c.Valid());
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 3; ++x) ExpectSpan(c, x, y, {0, 0, false}, "empty");
  c.Reset(3, 2, 10, true);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 3; ++x) ExpectSpan(c, x, y, {0, 10, false}, "covered");

  // Rows recorded from their pixels: transparent, opaque, partly showing (alpha 1
  // counts as showing), and opaque but for one pixel.
  std::vector<TColor32> px(10, 0x00FFFFFFu);
  c.SetRow(1, 13, px.data());
  ExpectSpan(c, 1, 13, {0, 0, false}, "transparent row");
  std::fill(px.begin(), px.end(), 0xFF102030u);
  c.SetRow(1, 14, px.data());
  ExpectSpan(c, 1, 14, {0, 10, true}, "opaque row");
  std::fill(px.begin(), px.end(), 0u);
  px[3] = 0x01000000u;
  px[7] = 0x80FFFFFFu;
  c.SetRow(2, 19, px.data());
  ExpectSpan(c, 2, 19, {3, 8, false}, "partial row");
  std::fill(px.begin(), px.end(), 0xFF000000u);
  px[9] = 0xFE000000u;
  c.SetRow(0, 0, px.data());
  ExpectSpan(c, 0, 0, {0, 10, false}, "nearly opaque row");
  // Neighbouring rows and cells are untouched.
  ExpectSpan(c, 1, 12, {0, 10, false}, "row above");
  ExpectSpan(c, 0, 14, {0, 10, false}, "cell beside");

  // Whole cells at once.
  c.SetCell(2, 1, true);
  for (int32_t y = 10; y < 20; ++y) ExpectSpan(c, 2, y, {0, 10, true}, "opaque cell");
  ExpectSpan(c, 2, 9, {0, 10, false}, "cell above the opaque one");
  c.SetCell(0, 0, false);
  for (int32_t y = 0; y < 10; ++y) ExpectSpan(c, 0, y, {0, 0, false}, "cleared cell");

  // Marked pixels widen the spans they touch and drop their opacity, across cell
  // edges and clipped to the map.
  c.MarkPixels(-5, 3, 12, 4);
  ExpectSpan(c, 0, 3, {0, 10, false}, "marked from outside the map");
  ExpectSpan(c, 1, 3, {0, 10, false}, "marked, was covered");
  ExpectSpan(c, 0, 5, {0, 0, false}, "row below the marks");
  px.assign(10, 0);
  px[4] = 0xFF000000u;
  c.SetRow(1, 5, px.data());
  c.MarkPixels(17, 5, 18, 5);
  ExpectSpan(c, 1, 5, {4, 9, false}, "span widened to the right");
  c.MarkPixels(26, 12, 40, 30);
  ExpectSpan(c, 2, 12, {0, 10, false}, "opaque cell marked");
  ExpectSpan(c, 2, 11, {0, 10, true}, "opaque row above the marks");
  ExpectSpan(c, 2, 19, {0, 10, false}, "last row marked");

  // Marks wholly outside the map change nothing.
  c.SetCell(0, 0, false);
  c.MarkPixels(-20, 2, -5, 3);
  c.MarkPixels(2, -20, 3, -5);
  c.MarkPixels(30, 2, 40, 3);
  c.MarkPixels(2, 20, 3, 30);
  for (int32_t y = 0; y < 10; ++y) ExpectSpan(c, 0, y, {0, 0, false}, "marks outside the map");

  // A record is only read for the map it was made for.
  EXPECT_FALSE(c.Row(0, 3, 2, 11));
  EXPECT_FALSE(c.Row(0, 4, 2, 10));
  EXPECT_FALSE(c.Row(20, 3, 2, 10));
  EXPECT_FALSE(c.Row(-1, 3, 2, 10));
  c.Invalidate();
  EXPECT_FALSE(c.Row(0, 3, 2, 10));
  // Writes to an invalid record change nothing and do not fail.
  c.SetCell(0, 0, true);
  c.MarkPixels(0, 0, 29, 19);
  EXPECT_FALSE(c.Valid());
  c.Reset(0, 0, 10, true);
  EXPECT_FALSE(c.Valid());
}
