#include "map/compose/prop_draw.h"

#include <gtest/gtest.h>

namespace {

// A W x H image whose pixel (x, y) is Colors[y * W + x].
void MakeImage(TBitmap32& Im, int32_t W, int32_t H, const std::vector<TColor32>& Colors) {
  Im.SetSize(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) Im.Pixel(x, y) = Colors[size_t(y * W + x)];
}

// A 4 x 4 image of distinct opaque colours.
void Numbered(TBitmap32& Im) {
  std::vector<TColor32> c;
  for (uint32_t i = 0; i < 16; ++i) c.push_back(0xFF000000u | (i * 0x0F0A05u + 0x102030u));
  MakeImage(Im, 4, 4, c);
}

TPropTransform At(double X, double Y, double Rotation = 0, double Scale = 1, bool Mirror = false) {
  TPropTransform t;
  t.CenterX = X, t.CenterY = Y, t.Rotation = Rotation, t.Scale = Scale, t.Mirror = Mirror;
  return t;
}

constexpr TColor32 kGround = 0xFF101010;
constexpr TRect kAll{-1000, -1000, 1000, 1000};

}  // namespace

TEST(PropDraw, WholeTurnsAndMirrorsMovePixelsExactly) {
  TBitmap32 im;
  Numbered(im);
  const TPropImage prop(im, 1.0);
  // Centre (10, 10): the image covers pixels 8..11 both ways.
  struct TCase {
    double Rotation;
    bool Mirror;
    // Where image pixel (i, j) lands, relative to (8, 8).
    int32_t (*X)(int32_t, int32_t);
    int32_t (*Y)(int32_t, int32_t);
  };
  const TCase cases[] = {
      {0, false, [](int32_t i, int32_t) { return i; }, [](int32_t, int32_t j) { return j; }},
      // A quarter turn clockwise: the top edge becomes the right edge.
      {90, false, [](int32_t, int32_t j) { return 3 - j; }, [](int32_t i, int32_t) { return i; }},
      {180, false, [](int32_t i, int32_t) { return 3 - i; },
       [](int32_t, int32_t j) { return 3 - j; }},
      {-90, false, [](int32_t, int32_t j) { return j; }, [](int32_t i, int32_t) { return 3 - i; }},
      {0, true, [](int32_t i, int32_t) { return 3 - i; }, [](int32_t, int32_t j) { return j; }},
      // Mirrored first, then turned: the top-left pixel ends at the bottom-right.
      {90, true, [](int32_t, int32_t j) { return 3 - j; },
       [](int32_t i, int32_t) { return 3 - i; }},
      {450, false, [](int32_t, int32_t j) { return 3 - j; }, [](int32_t i, int32_t) { return i; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "rotation " << c.Rotation << " mirror " << c.Mirror);
    TBitmap32 t;
    t.SetSize(20, 20);
    t.Clear(kGround);
    DrawProp(prop, At(10, 10, c.Rotation, 1, c.Mirror), {}, t, kAll);
    for (int32_t j = 0; j < 4; ++j)
      for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(t.Pixel(8 + c.X(i, j), 8 + c.Y(i, j)), im.Pixel(i, j)) << i << "," << j;
    int32_t changed = 0;
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 20; ++x) changed += t.Pixel(x, y) != kGround;
    EXPECT_EQ(changed, 16);
  }
}

TEST(PropDraw, DrawsOnlyInsideTheClipAtTheTargetOffset) {
  TBitmap32 im;
  Numbered(im);
  const TPropImage prop(im, 1.0);
  TBitmap32 t;
  t.SetSize(20, 20);
  t.Clear(kGround);
  // Map pixels 8..11 land on target pixels 3..6 across and 5..8 down; only map
  // columns 9 and 10 may change.
  DrawProp(prop, At(10, 10), {}, t, TRect{9, 0, 11, 100}, -5, -3);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      const int32_t mx = x + 5, my = y + 3;
      const bool inside = mx >= 9 && mx <= 10 && my >= 8 && my <= 11;
      EXPECT_EQ(t.Pixel(x, y), inside ? im.Pixel(mx - 8, my - 8) : kGround) << x << "," << y;
    }
  // A clip beside the prop, or a target the prop misses, changes nothing.
  t.Clear(kGround);
  DrawProp(prop, At(10, 10), {}, t, TRect{0, 0, 7, 20});
  DrawProp(prop, At(-50, 10), {}, t, kAll);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(t.Pixel(x, y), kGround);
}

TEST(PropDraw, EnlargingInterpolatesAndShrinkingAveragesArea) {
  // 2 x 2: red, blue / green, white, drawn twice as large at (10, 10): pixels 8..11.
  TBitmap32 im;
  MakeImage(im, 2, 2, {0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF});
  TBitmap32 t;
  t.SetSize(20, 20);
  t.Clear(0xFF000000);
  DrawProp(TPropImage(im, 2.0), At(10, 10, 0, 2), {}, t, kAll);
  // Pixel (9, 9) samples a quarter of the way from red towards its neighbours,
  // mixed across, then down, each rounded: red-blue gives (191, 0, 64),
  // green-white (64, 255, 64); a quarter of the second into the first gives
  // (159.25, 63.75, 64.0), each rounded to the nearest: (159, 64, 64).
  EXPECT_EQ(t.Pixel(9, 9), 0xFF9F4040u);
  // Pixel (10, 10) three quarters of the way: (64, 0, 191) and (191, 255, 191)
  // mixed at 3/4: (159.25, 191.25, 191) -> (159, 191, 191).
  EXPECT_EQ(t.Pixel(10, 10), 0xFF9FBFBFu);
  // The outer ring fades out: (8, 8) mixes red with the transparent border at
  // 192 / 256 twice: 255 -> 191 -> 143 in red and alpha. Over opaque black the
  // black keeps its share, (255 - 143) / 255 of 0, and the alpha becomes whole.
  EXPECT_EQ(t.Pixel(8, 8), 0xFF8F0000u);

  // A 4 x 4 checkerboard of black and white halved: each 2 x 2 block averages to
  // mid grey (127.5 rounds to 128). Sampling alone would give black or white.
  std::vector<TColor32> board;
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) board.push_back((x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
  MakeImage(im, 4, 4, board);
  const TPropImage half(im, 0.5);
  EXPECT_EQ(half.Width(), 2);
  t.Clear(kGround);
  DrawProp(half, At(10, 10, 0, 0.5), {}, t, kAll);
  for (int32_t y = 9; y <= 10; ++y)
    for (int32_t x = 9; x <= 10; ++x) EXPECT_EQ(t.Pixel(x, y), 0xFF808080u) << x << "," << y;
  EXPECT_EQ(t.Pixel(8, 9), kGround);
  EXPECT_EQ(t.Pixel(11, 9), kGround);
}

TEST(PropDraw, ShadowLiesBeneathThePropAndBlursSymmetrically) {
  TBitmap32 im;
  MakeImage(im, 4, 4, std::vector<TColor32>(16, 0xFF3070B0));
  const TPropImage prop(im, 1.0);
  TPropShadow hard;
  hard.On = true, hard.OffsetX = 2, hard.OffsetY = 0, hard.Softness = 0, hard.Opacity = 100;
  TBitmap32 t;
  t.SetSize(24, 24);
  t.Clear(0xFFFFFFFF);
  DrawProp(prop, At(10, 10), hard, t, kAll);
  // Black at alpha 100 over white keeps (255 - 100) / 255 of it: 155.
  const TColor32 shade = 0xFF9B9B9Bu;
  for (int32_t y = 8; y <= 11; ++y) {
    for (int32_t x = 8; x <= 11; ++x) EXPECT_EQ(t.Pixel(x, y), 0xFF3070B0u);  // over its shadow
    EXPECT_EQ(t.Pixel(12, y), shade);
    EXPECT_EQ(t.Pixel(13, y), shade);
    EXPECT_EQ(t.Pixel(14, y), 0xFFFFFFFFu);
    EXPECT_EQ(t.Pixel(7, y), 0xFFFFFFFFu);
  }
  EXPECT_EQ(t.Pixel(12, 7), 0xFFFFFFFFu);
  EXPECT_EQ(t.Pixel(12, 12), 0xFFFFFFFFu);

  // A soft shadow away from the prop: symmetric about its centre, darkest there but
  // lighter than the hard one, fading to nothing beyond the blur radius.
  TPropShadow soft = hard;
  soft.OffsetX = 0, soft.OffsetY = 0, soft.Softness = 4, soft.Opacity = 200;
  TBitmap32 a, b;
  a.SetSize(30, 30);
  a.Clear(0xFFFFFFFF);
  b.SetSize(30, 30);
  b.Clear(0xFFFFFFFF);
  // The prop far off the surface: only its shadow, moved back onto it, is drawn.
  soft.OffsetX = -100;
  DrawProp(prop, At(115, 15), soft, a, kAll);
  DrawProp(prop, At(115, 15), soft, b, kAll);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 30; ++x) {
      ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y));  // deterministic
      EXPECT_EQ(a.Pixel(x, y), a.Pixel(29 - x, y)) << x << "," << y;
      EXPECT_EQ(a.Pixel(x, y), a.Pixel(x, 29 - y)) << x << "," << y;
      EXPECT_EQ(a.Pixel(x, y), a.Pixel(y, x)) << x << "," << y;
      const bool reach = x >= 13 - 4 && x <= 16 + 4 && y >= 13 - 4 && y <= 16 + 4;
      if (!reach) {
        EXPECT_EQ(a.Pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
      }
    }
  const uint32_t centre = a.Pixel(14, 14) & 0xFF, edge = a.Pixel(14, 11) & 0xFF;
  const uint32_t hardCentre = 55;  // white under black at alpha 200: 255 x 55 / 255
  EXPECT_GT(centre, hardCentre);
  EXPECT_LT(centre, edge);
  EXPECT_LT(edge, 255u);
}

TEST(PropDraw, FreeTurnsStayInsideTheirBounds) {
  TBitmap32 im;
  MakeImage(im, 4, 4, std::vector<TColor32>(16, 0xFF408020));
  // A uniform square turned by 45 degrees: the centre keeps its colour, the
  // corners of the unturned square are left bare.
  TBitmap32 t;
  t.SetSize(40, 40);
  t.Clear(kGround);
  DrawProp(TPropImage(im, 4.0), At(20, 20, 45, 4), {}, t, kAll);
  EXPECT_EQ(t.Pixel(19, 19), 0xFF408020u);
  EXPECT_EQ(t.Pixel(20, 20), 0xFF408020u);
  EXPECT_EQ(t.Pixel(12, 12), kGround);
  EXPECT_EQ(t.Pixel(27, 27), kGround);
  EXPECT_NE(t.Pixel(20, 10), kGround);  // the turned corner reaches up

  // Whatever the transform, every pixel drawn lies in PropBounds.
  const TPropTransform odd[] = {At(21.3, 18.7, 33, 2.5), At(20, 20, -71, 0.37, true),
                                At(19.5, 20.5, 200, 5.2)};
  TPropShadow sh;
  sh.On = true, sh.OffsetX = 3.5, sh.OffsetY = -2.25, sh.Softness = 2.5;
  for (const TPropTransform& tr : odd) {
    t.Clear(kGround);
    DrawProp(TPropImage(im, tr.Scale), tr, sh, t, kAll);
    const TRect r = PropBounds(4, 4, tr, sh);
    int32_t changed = 0;
    for (int32_t y = 0; y < 40; ++y)
      for (int32_t x = 0; x < 40; ++x)
        if (t.Pixel(x, y) != kGround) {
          ++changed;
          EXPECT_TRUE(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) << x << "," << y;
        }
    EXPECT_GT(changed, 0);
  }
}

TEST(PropDraw, ASpriteServesEveryWholePixelMove) {
  TBitmap32 im;
  std::vector<TColor32> c;
  for (uint32_t i = 0; i < 48; ++i) c.push_back(((i * 37) % 256) << 24 | 0x304050u);
  MakeImage(im, 8, 6, c);
  const TPropImage prop(im, 2.5);
  TPropShadow sh;
  sh.On = true, sh.OffsetX = 2.5, sh.OffsetY = 4, sh.Softness = 3, sh.Opacity = 180;
  TPropTransform t = At(20.3, 18.6, 27, 2.5, true);
  const TPropSprite sprite(prop, t, sh);
  EXPECT_GT(sprite.Bytes(), 0u);
  for (const double dx : {0.0, 7.0, -13.0}) {
    TPropTransform moved = t;
    moved.CenterX += dx, moved.CenterY += dx / 2 == 3.5 ? 1 : 0;
    TBitmap32 direct, cached;
    for (TBitmap32* b : {&direct, &cached}) {
      b->SetSize(48, 48);
      b->Clear(0xFFC0C0C0);
    }
    // Whole and clipped: the same pixels either way.
    for (const TRect& clip : {kAll, TRect{10, 12, 30, 25}}) {
      DrawProp(prop, moved, sh, direct, clip);
      DrawPropSprite(sprite, moved, cached, clip);
      for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 48; ++x)
          ASSERT_EQ(cached.Pixel(x, y), direct.Pixel(x, y)) << dx << ": " << x << "," << y;
    }
  }
}
