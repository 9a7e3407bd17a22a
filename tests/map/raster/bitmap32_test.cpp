#include "map/raster/bitmap32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "map/base/grid2d.h"
#include "record/errors.h"

namespace {

// The pixels of B that differ from Background, as (x, y) pairs.
std::set<std::pair<int, int>> Changed(const TBitmap32& B, TColor32 Background) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x)
      if (B.Pixel(x, y) != Background) out.insert({x, y});
  return out;
}

// Per-channel blend written independently of the production code.
TColor32 ReferenceBlend(TColor32 F, TColor32 B) {
  const int a = int(F >> 24);
  if (a == 0) return B;
  if (a == 255) return F;
  TColor32 r = 0;
  for (int s = 0; s < 32; s += 8) {
    const int f = int((F >> s) & 0xFF), b = int((B >> s) & 0xFF);
    r |= TColor32((a * (f - b) + 256 * b + 128) / 256) << s;
  }
  return r;
}

}  // namespace

TEST(Bitmap32, BlendRuleExamples) {
  EXPECT_EQ(BlendPixel(0x80FF0000u, 0xFF0000FFu), 0xC0800080u);
  EXPECT_EQ(BlendPixel(0x00123456u, 0xFFABCDEFu), 0xFFABCDEFu);
  EXPECT_EQ(BlendPixel(0xFF123456u, 0x80ABCDEFu), 0xFF123456u);
  // Weight 1/256, not 1/255: alpha 1 over 0 channel 255 gives 1 only through rounding.
  EXPECT_EQ(BlendPixel(0x01FF0000u, 0x00000000u), 0x00010000u);
}

TEST(Bitmap32, BlendRowMatchesBlendPixelOnRandomPixels) {
  std::mt19937 rng(1234);
  for (size_t count : {size_t(0), size_t(1), size_t(3), size_t(4), size_t(7), size_t(1001)}) {
    std::vector<TColor32> src(count), dst(count);
    for (size_t i = 0; i < count; ++i) {
      TColor32 f = rng(), b = rng();
      switch (i % 5) {  // force the special alphas often, also in mixed groups of four
        case 0:
          f &= 0x00FFFFFFu;
          break;
        case 1:
          f |= 0xFF000000u;
          break;
        default:
          break;
      }
      src[i] = f;
      dst[i] = b;
    }
    std::vector<TColor32> expected(count);
    for (size_t i = 0; i < count; ++i) expected[i] = ReferenceBlend(src[i], dst[i]);
    BlendRow(src.data(), dst.data(), count);
    EXPECT_EQ(dst, expected) << "count " << count;
  }
  // Whole groups of alpha 0 and alpha 255 (the short cuts).
  std::vector<TColor32> src(8), dst(8, 0x11223344u);
  for (int i = 0; i < 4; ++i) src[size_t(i)] = 0x00FFFFFFu, src[size_t(i + 4)] = 0xFF010203u;
  BlendRow(src.data(), dst.data(), 8);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(dst[size_t(i)], 0x11223344u);
    EXPECT_EQ(dst[size_t(i + 4)], 0xFF010203u);
  }
  // Every alpha against extreme channels.
  for (int a = 0; a < 256; ++a)
    for (TColor32 b : {0x00000000u, 0xFFFFFFFFu, 0x00FF00FFu})
      for (TColor32 f : {0x00FFFFFFu, 0x00000000u, 0x00FF0080u}) {
        TColor32 s[4] = {f | TColor32(a) << 24, f | TColor32(a) << 24, 0, 0xFF000000u};
        TColor32 d[4] = {b, b, b, b};
        BlendRow(s, d, 4);
        EXPECT_EQ(d[0], ReferenceBlend(s[0], b)) << a;
      }
}

TEST(Bitmap32, SetSizeKeepsOrClearsPixels) {
  TBitmap32 b;
  EXPECT_TRUE(b.Empty());
  b.SetSize(3, 2);
  b.Clear(0x12345678u);
  b.SetSize(3, 2);
  EXPECT_EQ(b.Pixel(2, 1), 0x12345678u);
  b.SetSize(2, 3);
  ASSERT_EQ(b.Width(), 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.Bits()[i], 0u);
  b.SetSize(-5, 4);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 4);
  b.SetSize(2, 2);
  EXPECT_THROW(b.SetSize(1 << 20, 1 << 20), EImageError);
  EXPECT_TRUE(b.Empty());
  try {
    b.SetSize(0x7FFFFFFF, 0x7FFFFFFF);
    FAIL();
  } catch (const EImageError& e) {
    EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
  }
  EXPECT_EQ(b.Width(), 0);
}

TEST(Bitmap32, FillAreaAndAlphaAreClipped) {
  TBitmap32 b;
  b.SetSize(4, 3);
  b.FillArea(-2, 1, 2, 99, 0x80ABCDEFu);
  EXPECT_EQ(Changed(b, 0), (std::set<std::pair<int, int>>{{0, 1}, {1, 1}, {0, 2}, {1, 2}}));
  b.SetAllAlpha();
  EXPECT_EQ(b.Pixel(1, 2), 0xFFABCDEFu);
  EXPECT_EQ(b.Pixel(3, 0), 0xFF000000u);
  b.SetAllAlpha(7);
  EXPECT_EQ(b.Pixel(0, 1), 0x07ABCDEFu);
}

TEST(Bitmap32, LineRasterisation) {
  TBitmap32 b;
  b.SetSize(6, 6);
  b.DrawLine(0, 0, 4, 2, 0xFFFFFFFFu, false);
  EXPECT_EQ(Changed(b, 0), (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 1}, {3, 2}}));
  b.Clear(0);
  // Backwards: the error term runs from (4, 2), so the pixels differ from the forward line.
  b.DrawLine(4, 2, 0, 0, 0xFFFFFFFFu, true);
  EXPECT_EQ(Changed(b, 0), (std::set<std::pair<int, int>>{{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}));
  b.Clear(0);
  b.DrawLine(1, 0, 2, 5, 0xFFFFFFFFu, false);  // steep: steps along y
  EXPECT_EQ(Changed(b, 0), (std::set<std::pair<int, int>>{{1, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}));
  b.Clear(0);
  b.DrawLine(3, 4, 3, 1, 0xFFFFFFFFu, false);  // vertical run, end excluded
  EXPECT_EQ(Changed(b, 0), (std::set<std::pair<int, int>>{{3, 4}, {3, 3}, {3, 2}}));
  b.Clear(0);
  b.DrawLine(2, 2, 2, 2, 0xFFFFFFFFu, false);
  EXPECT_TRUE(Changed(b, 0).empty());
  // Off-surface parts are skipped, never written out of bounds.
  b.DrawLine(-3, 1, 8, 1, 0xFF0000FFu, false);
  EXPECT_EQ(Changed(b, 0).size(), 6u);
  b.DrawLine(-100000, -5, 100000, -5, 0xFF0000FFu, true);
  EXPECT_EQ(Changed(b, 0).size(), 6u);
}

TEST(Bitmap32, BlendedLineIsClippedAndBlended) {
  TBitmap32 b;
  b.SetSize(3, 2);
  b.Clear(0xFF0000FFu);
  b.DrawLineBlended(-1, 0, 5, 0, 0x80FF0000u, false);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, 0), 0xC0800080u);
  EXPECT_EQ(b.Pixel(0, 1), 0xFF0000FFu);
  b.DrawLineBlended(0, 1, 2, 1, 0x00FFFFFFu, true);
  EXPECT_EQ(b.Pixel(2, 1), 0xFF0000FFu);
}

TEST(Bitmap32, RaisedFrame) {
  TBitmap32 b;
  b.SetSize(6, 5);
  const TColor32 bg = 0xFF808080u;
  auto frame = [&](int contrast) {
    b.Clear(bg);
    b.DrawRaisedFrame(1, 1, 5, 5, contrast);
  };
  frame(100);  // light: white, alpha 255 (512 clamped); dark: black, alpha 255
  EXPECT_EQ(b.Pixel(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(4, 1), 0xFFFFFFFFu);  // top row includes the right corner
  EXPECT_EQ(b.Pixel(1, 3), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(1, 4), 0xFF000000u);  // bottom row from X1
  EXPECT_EQ(b.Pixel(4, 3), 0xFF000000u);
  EXPECT_EQ(b.Pixel(2, 2), bg);
  EXPECT_EQ(b.Pixel(0, 0), bg);
  EXPECT_EQ(Changed(b, bg).size(), 12u);
  frame(50);  // light alpha 256 -> 255, dark alpha 127
  EXPECT_EQ(b.Pixel(2, 1), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(2, 4), BlendPixel(0x7F000000u, bg));
  // alpha (127 * -128 + 65280 + 128) div 256 = 192, grey (127 * -128 + 32768 + 128) div 256 = 65
  EXPECT_EQ(b.Pixel(2, 4), 0xC0414141u);
  frame(20);  // light alpha 102, dark alpha 51
  EXPECT_EQ(b.Pixel(1, 2), BlendPixel(0x66FFFFFFu, bg));
  EXPECT_EQ(b.Pixel(4, 2), BlendPixel(0x33000000u, bg));
  frame(-100);  // swapped: dark on top and left, light bottom and right
  EXPECT_EQ(b.Pixel(1, 1), 0xFF000000u);
  EXPECT_EQ(b.Pixel(1, 3), 0xFF000000u);
  EXPECT_EQ(b.Pixel(3, 4), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(4, 2), 0xFFFFFFFFu);
  frame(0);
  EXPECT_TRUE(Changed(b, bg).empty());
  b.DrawRaisedFrame(3, 1, 3, 4, 100);
  b.DrawRaisedFrame(7, 1, 9, 4, 100);
  EXPECT_TRUE(Changed(b, bg).empty());
  b.DrawRaisedFrame(-2, -2, 3, 3, 100);  // partly outside: clipped
  EXPECT_EQ(b.Pixel(2, 2), 0xFF000000u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFF000000u);
}

TEST(Bitmap32, FilledEllipseCoversTheInscribedShape) {
  TBitmap32 b;
  b.SetSize(12, 12);
  b.FillEllipse(1, 2, 11, 8, 0xFFFFFFFFu);
  const auto px = Changed(b, 0);
  // Touches all four sides of the box, and nothing outside it.
  for (auto [x, y] : px) {
    EXPECT_GE(x, 1);
    EXPECT_LT(x, 11);
    EXPECT_GE(y, 2);
    EXPECT_LT(y, 8);
  }
  EXPECT_TRUE(px.count({1, 4}) && px.count({10, 5}) && px.count({5, 2}) && px.count({6, 7}));
  // The corners stay free; the centre is filled; rows are contiguous and symmetric.
  EXPECT_FALSE(px.count({1, 2}) || px.count({10, 2}) || px.count({1, 7}) || px.count({10, 7}));
  for (int y = 2; y < 8; ++y) {
    int n = 0;
    for (int x = 1; x < 11; ++x) n += px.count({x, y}) ? 1 : 0;
    for (int x = 1; x < 11; ++x) EXPECT_EQ(px.count({x, y}), px.count({11 - 1 - (x - 1), y}));
    EXPECT_EQ(n, [&] {
      int cnt = 0;
      for (int x = 1; x < 11; ++x) cnt += px.count({x, 2 + 7 - y}) ? 1 : 0;
      return cnt;
    }());
  }
  // A 1 x 1 box covers its pixel; an empty box nothing; clipping at the edges.
  b.Clear(0);
  b.FillEllipse(3, 3, 4, 4, 0xFF00FF00u);
  EXPECT_EQ(Changed(b, 0), (std::set<std::pair<int, int>>{{3, 3}}));
  b.Clear(0);
  b.FillEllipse(3, 3, 3, 9, 0xFF00FF00u);
  EXPECT_TRUE(Changed(b, 0).empty());
  b.FillEllipse(-20, -20, 40, 40, 0xFF00FF00u);
  EXPECT_EQ(Changed(b, 0).size(), 144u);
}

TEST(Bitmap32, DrawSurfaceModes) {
  TBitmap32 src, dst;
  src.SetSize(2, 2);
  src.Bits()[0] = 0x80FF0000u;
  src.Bits()[1] = 0x00FFFFFFu;
  src.Bits()[2] = 0xFF00FF00u;
  src.Bits()[3] = 0x40000000u;
  dst.SetSize(3, 3);
  dst.Clear(0xFF0000FFu);
  dst.DrawSurface(2, 2, src);  // clipped to one pixel
  EXPECT_EQ(dst.Pixel(2, 2), 0x80FF0000u);
  EXPECT_EQ(dst.Pixel(1, 1), 0xFF0000FFu);
  dst.Clear(0xFF0000FFu);
  src.DrawMode = dmBlend;
  dst.DrawSurface(-1, 0, src);
  EXPECT_EQ(dst.Pixel(0, 0), 0xFF0000FFu);  // alpha-0 source pixel keeps the destination
  EXPECT_EQ(dst.Pixel(0, 1), BlendPixel(0x40000000u, 0xFF0000FFu));
  EXPECT_EQ(dst.Pixel(1, 0), 0xFF0000FFu);
  dst.Clear(0xFF0000FFu);
  dst.DrawSurface(1, 1, TRect{0, 0, 1, 1}, src);
  EXPECT_EQ(dst.Pixel(1, 1), 0xC0800080u);
  EXPECT_EQ(Changed(dst, 0xFF0000FFu).size(), 1u);
  src.DrawMode = dmCustom;
  src.OnPixelCombine = [](TColor32 F, TColor32& B, TColor32 M) { B = (F ^ B) + M; };
  dst.Clear(1);
  dst.DrawSurface(0, 0, src);
  EXPECT_EQ(dst.Pixel(1, 1), (0x40000000u ^ 1u) + 255u);
  EXPECT_EQ(dst.Pixel(2, 2), 1u);
}

TEST(Bitmap32, StretchedNearestAndDraft) {
  TBitmap32 src, dst;
  src.SetSize(2, 2);
  src.Bits()[0] = 0xFF000000u;
  src.Bits()[1] = 0xFF0000FFu;
  src.Bits()[2] = 0xFF00FF00u;
  src.Bits()[3] = 0xFFFF0000u;
  dst.SetSize(5, 5);
  dst.DrawSurface(TRect{0, 0, 4, 4}, TRect{0, 0, 2, 2}, src);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << y;
  EXPECT_EQ(dst.Pixel(4, 4), 0u);
  // Shrinking by nearest picks the pixel under each centre.
  TBitmap32 big;
  big.SetSize(4, 1);
  for (int i = 0; i < 4; ++i) big.Bits()[i] = 0xFF000000u | TColor32(i);
  TBitmap32 small;
  small.SetSize(2, 1);
  small.DrawSurface(TRect{0, 0, 2, 1}, TRect{0, 0, 4, 1}, big);
  EXPECT_EQ(small.Pixel(0, 0), 0xFF000001u);
  EXPECT_EQ(small.Pixel(1, 0), 0xFF000003u);

  // Draft: a two-pixel ramp 0 -> 240 enlarged to 8 gives a monotone smooth ramp
  // with the linear values between pixel centres.
  TBitmap32 ramp;
  ramp.SetSize(2, 1);
  ramp.Bits()[0] = 0xFF000000u;
  ramp.Bits()[1] = 0xFF0000F0u;
  ramp.Resampler = TResamplerKind::Draft;
  TBitmap32 wide;
  wide.SetSize(8, 1);
  wide.DrawSurface(TRect{0, 0, 8, 1}, TRect{0, 0, 2, 1}, ramp);
  // Centre of destination pixel i maps to u = (i + 0.5) / 4 - 0.5.
  for (int i = 0; i < 8; ++i) {
    const double u = std::clamp((i + 0.5) / 4 - 0.5, 0.0, 1.0);
    EXPECT_EQ(int(wide.Pixel(i, 0) & 0xFF), int(std::lround(u * 240))) << i;
    EXPECT_EQ(wide.Pixel(i, 0) >> 8, 0xFF0000u);
  }
  // Draft shrinking averages: 4 -> 2 gives the means of pixel pairs.
  TBitmap32 four;
  four.SetSize(4, 1);
  four.Bits()[0] = 0xFF000010u;
  four.Bits()[1] = 0xFF000030u;
  four.Bits()[2] = 0xFF0000A0u;
  four.Bits()[3] = 0xFF0000C0u;
  four.Resampler = TResamplerKind::Draft;
  small.DrawSurface(TRect{0, 0, 2, 1}, TRect{0, 0, 4, 1}, four);
  EXPECT_EQ(small.Pixel(0, 0), 0xFF000020u);
  EXPECT_EQ(small.Pixel(1, 0), 0xFF0000B0u);
  // Transparent pixels do not bleed their colour.
  four.Bits()[1] = 0x00FFFFFFu;
  small.DrawSurface(TRect{0, 0, 2, 1}, TRect{0, 0, 4, 1}, four);
  EXPECT_EQ(small.Pixel(0, 0), 0x80000010u);
}

TEST(Grid2D, ResetAndResizeGiveZeroWhereNothingWasKept) {
  // Storage comes zeroed from the allocator; a grid shrunk and grown again, or
  // reset to another size, must not show what an earlier size held.
  TGrid2D<int32_t> g;
  g.Reset(4, 3, 7);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(g.At(x, y), 7);
  g.At(1, 1) = 42;
  g.Resize(2, 2);
  g.Resize(4, 3);
  EXPECT_EQ(g.At(1, 1), 42);
  EXPECT_EQ(g.At(0, 0), 7);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x)
      if (x >= 2 || y >= 2) {
        EXPECT_EQ(g.At(x, y), 0) << x << "," << y;
      }
  g.Reset(4, 3, 5);  // the same size: filled in place
  EXPECT_EQ(g.At(3, 2), 5);
  g.Reset(5, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(g.At(x, y), 0);
  g.Reset(5, 3, 0);
  EXPECT_EQ(g.At(4, 2), 0);
}
