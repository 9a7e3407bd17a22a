// The BMP header written for every bitmap, and the extension the writers and
// readers choose by.

#include "map/codec/bmp_header.h"

#include <gtest/gtest.h>

#include <vector>

#include "map/codec/image_file.h"
#include "record/errors.h"

namespace {

TEST(BmpHeader, BytesOfA3x2ImageAt300Dpi) {
  const auto h = BmpHeader(3, 2, 300, "x.bmp");
  const std::vector<uint8_t> want = {
      'B',  'M',  78, 0, 0,    0,    0, 0, 0, 0, 54, 0, 0, 0,  // size 54 + 24, offset 54
      40,   0,    0,  0,                                       // info header size
      3,    0,    0,  0, 2,    0,    0, 0,                     // width, height (bottom up)
      1,    0,    32, 0,                                       // planes, bits
      0,    0,    0,  0, 24,   0,    0, 0,                     // BI_RGB, pixel bytes
      0x23, 0x2E, 0,  0, 0x23, 0x2E, 0, 0,                     // 11811 pixels per metre
      0,    0,    0,  0, 0,    0,    0, 0};
  EXPECT_EQ(std::vector<uint8_t>(h.begin(), h.end()), want);
  // Without a resolution: 72 dpi (2835 pixels per metre).
  const auto d = BmpHeader(1, 1, 0, "x.bmp");
  EXPECT_EQ(d[38], 0x13);
  EXPECT_EQ(d[39], 0x0B);
  EXPECT_THROW(BmpHeader(0, 5, 0, "x.bmp"), EImageError);
  EXPECT_THROW(BmpHeader(40000, 40000, 0, "x.bmp"), EImageError);  // over 4 GiB of pixels
}

TEST(BmpHeader, LowerExtension) {
  EXPECT_EQ(LowerExtension("maps/Out.PNG"), ".png");
  EXPECT_EQ(LowerExtension("a.b/c"), "");
  EXPECT_EQ(LowerExtension("C:\\tex\\Stone.JPG"), ".jpg");
  EXPECT_EQ(LowerExtension("picture"), "");
  EXPECT_EQ(LowerExtension("x.tar.Gz"), ".gz");
}

}  // namespace
