#include "map/output/output_preset.h"

#include <gtest/gtest.h>

namespace {

TEST(OutputPreset, NamesKeysAndSizes) {
  EXPECT_STREQ(OutputPresetName(TOutputPreset::Foundry),
               "Foundry / Universal VTT (100 px per cell)");
  EXPECT_STREQ(OutputPresetName(TOutputPreset::Roll20), "Roll20 (70 px per cell)");
  EXPECT_STREQ(OutputPresetName(TOutputPreset::Print300), "print at 300 dpi");
  EXPECT_STREQ(OutputPresetName(TOutputPreset::Custom), "custom");
  for (int i = 0; i < TOutputPresetCount; ++i) {
    const auto p = TOutputPreset(i);
    EXPECT_EQ(OutputPresetFromKey(OutputPresetKey(p)), p);
  }
  EXPECT_EQ(OutputPresetFromKey("ROLL20"), TOutputPreset::Roll20);
  EXPECT_FALSE(OutputPresetFromKey("foundryvtt"));
  EXPECT_FALSE(OutputPresetFromKey(""));

  EXPECT_EQ(PresetSize(TOutputPreset::Foundry).PixelsPerCell, 100);
  EXPECT_EQ(PresetSize(TOutputPreset::Foundry).Dpi, 0);
  EXPECT_EQ(PresetSize(TOutputPreset::Roll20).PixelsPerCell, 70);
  // Print: the printed cell at 300 dpi, rounded to whole pixels.
  EXPECT_EQ(PresetSize(TOutputPreset::Print300).PixelsPerCell, 300);
  EXPECT_EQ(PresetSize(TOutputPreset::Print300).Dpi, 300);
  EXPECT_EQ(PresetSize(TOutputPreset::Print300, 25, TPrintUnit::Millimetre).PixelsPerCell, 295);
  EXPECT_EQ(PresetSize(TOutputPreset::Print300, 2.54, TPrintUnit::Centimetre).PixelsPerCell, 300);
  EXPECT_EQ(PresetSize(TOutputPreset::Print300, 0.5).PixelsPerCell, 150);
  EXPECT_EQ(PresetSize(TOutputPreset::Print300, 0.001).PixelsPerCell, 1);
  EXPECT_EQ(PresetSize(TOutputPreset::Print300, 0).PixelsPerCell, 300);  // no size: one inch
  EXPECT_EQ(PresetSize(TOutputPreset::Custom, 1, TPrintUnit::Inch, {37, 96}).PixelsPerCell, 37);
  EXPECT_EQ(PresetSize(TOutputPreset::Custom, 1, TPrintUnit::Inch, {37, 96}).Dpi, 96);

  EXPECT_EQ(MatchPreset(100, 0), TOutputPreset::Foundry);
  EXPECT_EQ(MatchPreset(70, 0), TOutputPreset::Roll20);
  EXPECT_EQ(MatchPreset(300, 300), TOutputPreset::Print300);
  EXPECT_EQ(MatchPreset(300, 0), TOutputPreset::Custom);
  EXPECT_EQ(MatchPreset(100, 300), TOutputPreset::Custom);
  EXPECT_EQ(MatchPreset(295, 300, 25, TPrintUnit::Millimetre), TOutputPreset::Print300);
}

TEST(OutputPreset, LargeImagesAreFlaggedWithASizeThatFits) {
  // 160 x 20 cells at 100 px: 16000 wide fits; at 103 px, 16480 does not.
  TImageSizeCheck c = CheckImageSize(160, 20, 100);
  EXPECT_EQ(c.Width, 16000);
  EXPECT_EQ(c.Height, 2000);
  EXPECT_FALSE(c.TooLarge);
  EXPECT_EQ(LargeImageWarning(c), "");
  EXPECT_TRUE(CheckImageSize(1, 1, 16384).Width == 16384 && !CheckImageSize(1, 1, 16384).TooLarge);
  EXPECT_TRUE(CheckImageSize(1, 1, 16385).TooLarge);
  c = CheckImageSize(160, 20, 103);
  EXPECT_TRUE(c.TooLarge);
  EXPECT_EQ(c.Suggested, 102);  // 16384 / 160
  EXPECT_LE(CheckImageSize(160, 20, c.Suggested).Width, 16384);
  EXPECT_EQ(LargeImageWarning(c),
            "The image will be 16480 x 2060 pixels, more than 16384 a side, which many programs "
            "refuse; 102 pixels per cell fit.");
  // The taller side decides; WebP's own limit can be asked for.
  c = CheckImageSize(10, 200, 300, 16383);
  EXPECT_TRUE(c.TooLarge);
  EXPECT_EQ(c.Height, 60000);
  EXPECT_EQ(c.Suggested, 81);
  // Not even one pixel per cell fits.
  c = CheckImageSize(20000, 1, 1);
  EXPECT_TRUE(c.TooLarge);
  EXPECT_EQ(c.Suggested, 0);
  EXPECT_NE(LargeImageWarning(c).find("even at one pixel per cell"), std::string::npos);
  // Nonsense input is no image at all.
  c = CheckImageSize(-5, 10, 50);
  EXPECT_EQ(c.Width, 0);
  EXPECT_FALSE(c.TooLarge);
}

}  // namespace
