#include "map/raster/shade_image.h"

#include <gtest/gtest.h>

#include <vector>

#include "map/raster/bitmap32.h"
#include "record/errors.h"

TEST(ShadeImage, OneAlphaBytePerPixelReadAsBlackAtThatAlpha) {
  TShadeImage s;
  EXPECT_TRUE(s.Empty());
  s.SetSize(5, 3);
  ASSERT_EQ(s.Width(), 5);
  ASSERT_EQ(s.Height(), 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) ASSERT_EQ(s.Alpha(x, y), 0) << x << "," << y;
  s.Alpha(4, 2) = 0x7B;
  EXPECT_EQ(s.Pixel(4, 2), 0x7B000000u);
  EXPECT_EQ(s.Row(2)[4], 0x7B);
  // A rectangle is clipped to the image; an unchanged size keeps the shades.
  s.FillArea(-2, 1, 2, 9, 0x40);
  s.SetSize(5, 3);
  std::vector<TColor32> row(4, 0x12345678u);
  s.ReadRow(1, 1, 5, row.data());
  EXPECT_EQ(row, (std::vector<TColor32>{0x40000000u, 0, 0, 0}));
  EXPECT_EQ(s.Alpha(0, 0), 0);
  EXPECT_EQ(s.Alpha(1, 2), 0x40);
  EXPECT_EQ(s.Alpha(2, 2), 0);
  // Blending a shade pixel is blending black at its alpha over the colour.
  EXPECT_EQ(BlendPixel(s.Pixel(0, 1), 0xFFFFFFFFu), BlendPixel(0x40000000u, 0xFFFFFFFFu));

  // Copies and hand-overs carry size and shades; the giver is left empty.
  TShadeImage copy;
  copy.Assign(s);
  EXPECT_EQ(copy.Alpha(4, 2), 0x7B);
  TShadeImage taken;
  taken.TakePixels(copy);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(taken.Width(), 5);
  EXPECT_EQ(taken.Alpha(1, 1), 0x40);
  taken.Clear(9);
  EXPECT_EQ(taken.Alpha(4, 2), 9);
  // A new size starts without shade; one too large is refused and leaves it empty.
  taken.SetSize(2, 2);
  EXPECT_EQ(taken.Alpha(1, 1), 0);
  EXPECT_THROW(taken.SetSize(1 << 16, 1 << 15), EImageError);
  EXPECT_TRUE(taken.Empty());
}
