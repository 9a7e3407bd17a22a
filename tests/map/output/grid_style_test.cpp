// Grid line styles of image output, printing and the VTT image: dashed and
// dotted lines with the cell corners on a dash or a dot, and grid opacity.

#include <gtest/gtest.h>

#include <string>

#include "map/output/image_output.h"
#include "map/raster/bitmap32.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu;

TOutputOptions RedGrid(TGridLineStyle Style) {
  TOutputOptions o;
  o.UseGrid = true;   // right and bottom sides
  o.GridColor = 255;  // platform red
  o.GridStyle = Style;
  return o;
}

// The drawn pixels of column X (true) or row Y (false), as "#" and ".".
std::string Line(const TBitmap32& B, int32_t At, bool Column) {
  std::string s;
  const int32_t n = Column ? B.Height() : B.Width();
  for (int32_t i = 0; i < n; ++i)
    s += (Column ? B.Pixel(At, i) : B.Pixel(i, At)) == kWhite ? '.' : '#';
  return s;
}

TEST(GridStyle, DashesAndDotsFollowTheCells) {
  TBitmap32 b;
  b.SetSize(32, 32);
  // Dashed, 16-pixel cells: four dashes a side, periods of 4 pixels with 2.4 of
  // them drawn, centred on the period boundaries: pixels 3, 4, 7, 8, ... and the
  // corner (15, 16) in the middle of a dash.
  b.Clear(kWhite);
  DrawGrid(b, 2, 2, 16, RedGrid(TGridLineStyle::Dashed));
  EXPECT_EQ(Line(b, 15, true), "#..##..##..##..##..##..##..##..#");
  EXPECT_EQ(Line(b, 31, false), "#..##..##..##..##..##..##..##..#");
  EXPECT_EQ(Line(b, 10, true), std::string(32, '.'));
  EXPECT_EQ(b.Pixel(15, 3), 0xFFFF0000u);

  // Dotted: a one-pixel dot every 4 pixels, the last pixel of every cell side
  // (the corner) among them.
  b.Clear(kWhite);
  DrawGrid(b, 2, 2, 16, RedGrid(TGridLineStyle::Dotted));
  EXPECT_EQ(Line(b, 15, true), "...#...#...#...#...#...#...#...#");
  EXPECT_EQ(Line(b, 15, false), "...#...#...#...#...#...#...#...#");

  // The same pattern when the image is drawn in bands (the origin moves up).
  TBitmap32 band;
  band.SetSize(32, 10);
  band.Clear(kWhite);
  DrawGridScaled(band, 0, -12, 16, 0, 0, 2, 2, RedGrid(TGridLineStyle::Dashed));
  EXPECT_EQ(Line(band, 15, true), "#..##..##.");  // rows 12 .. 21

  // Solid stays what it was.
  b.Clear(kWhite);
  DrawGrid(b, 2, 2, 16, RedGrid(TGridLineStyle::Solid));
  EXPECT_EQ(Line(b, 15, true), std::string(32, '#'));
}

TEST(GridStyle, OpacityScalesTheGridAlpha) {
  TOutputOptions o = RedGrid(TGridLineStyle::Solid);
  EXPECT_EQ(GridColor32(o), 0xFFFF0000u);
  o.GridOpacity = 50;
  EXPECT_EQ(GridColor32(o), 0x80FF0000u);  // 255 * 50 / 100, rounded
  o.HalfTone = true;
  EXPECT_EQ(GridColor32(o), 0x40FF0000u);  // half of half-tone's 128
  o.GridOpacity = 0;
  EXPECT_EQ(GridColor32(o), 0x00FF0000u);
  o.GridOpacity = 250;  // out of range: taken as 100
  EXPECT_EQ(GridColor32(o), 0x80FF0000u);
}

}  // namespace
