#include "map/base/color.h"

#include <gtest/gtest.h>

TEST(Color, FromPlatform) {
  EXPECT_EQ(ColorFromPlatform(0x000000FF), 0xFFFF0000u);
  EXPECT_EQ(ColorFromPlatform(0x00FF0000), 0xFF0000FFu);
  EXPECT_EQ(ColorFromPlatform(0x0000FF00), 0xFF00FF00u);
  EXPECT_EQ(ColorFromPlatform(0x00123456), 0xFF563412u);
  EXPECT_EQ(ColorFromPlatform(clNone), 0xFFFFFFFFu);
  EXPECT_EQ(ColorFromPlatform(0x7F102030), 0xFF302010u);
  // System colours resolve through the table first.
  const TColor face = ResolveSystemColor(clBtnFace);
  EXPECT_GE(face, 0);
  EXPECT_EQ(ColorFromPlatform(clBtnFace), ColorFromPlatform(face));
  EXPECT_EQ(ColorFromPlatform(TColor(0x80000005)), 0xFFFFFFFFu);  // window: white
  EXPECT_EQ(ColorFromPlatform(TColor(0x80000008)), 0xFF000000u);  // window text: black
  EXPECT_EQ(ResolveSystemColor(0x00123456), 0x00123456);
  EXPECT_EQ(ColorToPlatform(0x80FF0000u), 0x000000FF);
  EXPECT_EQ(ColorToPlatform(ColorFromPlatform(0x00ABCDEF)), 0x00ABCDEF);
}

TEST(Color, MakeAndSplit) {
  EXPECT_EQ(MakeColor(0x12, 0x34, 0x56, 0x78), 0x78123456u);
  EXPECT_EQ(MakeColor(1, 2, 3), 0xFF010203u);
  const TRGB c = SplitColor(0x80A0B0C0u);
  EXPECT_EQ(c.R, 0xA0);
  EXPECT_EQ(c.G, 0xB0);
  EXPECT_EQ(c.B, 0xC0);
  EXPECT_EQ(AlphaOf(0x80A0B0C0u), 0x80);
  EXPECT_EQ(WithAlpha(0x80A0B0C0u, 3), 0x03A0B0C0u);
}
