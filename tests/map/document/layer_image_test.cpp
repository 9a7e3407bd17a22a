#include "map/document/layer_image.h"

#include <gtest/gtest.h>

#include <vector>

#include "record/errors.h"

namespace {

// A 3 x 2 tile with distinct colours and alphas.
void MakeTile(TBitmap32& T) {
  T.SetSize(3, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x)
      T.Pixel(x, y) =
          TColor32(0x40 + 0x10 * (y * 3 + x)) << 24 | TColor32(0x010203 * (y * 3 + x + 1));
}

}  // namespace

TEST(LayerImage, TiledPixelsRepeatTheTileAndAlphaChangesKeepColours) {
  TBitmap32 tile;
  MakeTile(tile);
  TLayerImage image;
  image.SetTiled(tile, TRect{0, 0, 3, 2}, 7, 5, 2);
  ASSERT_EQ(image.Width(), 7);
  ASSERT_EQ(image.Height(), 5);
  EXPECT_FALSE(image.IsFull());
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x) ASSERT_EQ(image.Pixel(x, y), tile.Pixel(x % 3, y % 2));
  // A chip of the tile: the 2 x 2 square from (1, 0).
  TLayerImage chip;
  chip.SetTiled(tile, TRect{1, 0, 3, 2}, 5, 3, 4);
  EXPECT_EQ(chip.Pixel(0, 0), tile.Pixel(1, 0));
  EXPECT_EQ(chip.Pixel(3, 2), tile.Pixel(2, 0));
  EXPECT_EQ(chip.Pixel(4, 1), tile.Pixel(1, 1));

  // Alpha writes keep the colour channels; the picture follows them.
  const TBitmap32& before = image.Picture();
  EXPECT_EQ(before.Pixel(4, 3), tile.Pixel(1, 1));
  const uint8_t a[3] = {0, 128, 255};
  image.WriteAlpha(2, 3, a, 3);
  image.FillAlpha(0, 4, 7, 9);
  EXPECT_EQ(image.Pixel(2, 3), tile.Pixel(2, 1) & 0x00FFFFFFu);
  EXPECT_EQ(image.Pixel(3, 3), (tile.Pixel(0, 1) & 0x00FFFFFFu) | 0x80000000u);
  EXPECT_EQ(image.Pixel(4, 3), (tile.Pixel(1, 1) & 0x00FFFFFFu) | 0xFF000000u);
  EXPECT_EQ(image.Pixel(6, 4), (tile.Pixel(0, 0) & 0x00FFFFFFu) | 0x09000000u);
  const TBitmap32& after = image.Picture();
  EXPECT_EQ(after.Pixel(3, 3), image.Pixel(3, 3));
  EXPECT_EQ(after.Pixel(6, 4), image.Pixel(6, 4));
  std::vector<TColor32> row(4);
  image.ReadRow(3, 2, 6, row.data());
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(row[size_t(i)], image.Pixel(2 + i, 3));
  // Rows read from any start run across the tile's edges and the alpha blocks
  // (bytes in some, one value in others) with the same pixels as one by one.
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x0 = 0; x0 < 7; ++x0) {
      std::vector<TColor32> part(size_t(7 - x0));
      image.ReadRow(y, x0, 7, part.data());
      for (int32_t x = x0; x < 7; ++x) {
        const TColor32 expected = (tile.Pixel(x % 3, y % 2) & 0x00FFFFFFu) |
                                  (y == 4   ? 0x09000000u
                                   : y != 3 ? tile.Pixel(x % 3, y % 2) & 0xFF000000u
                                   : x == 2 ? 0u
                                   : x == 3 ? 0x80000000u
                                   : x == 4 ? 0xFF000000u
                                            : tile.Pixel(x % 3, 1) & 0xFF000000u);
        ASSERT_EQ(part[size_t(x - x0)], expected) << x << "," << y << " from " << x0;
      }
    }
  image.SetAllAlpha(255);
  EXPECT_EQ(image.Pixel(2, 3), tile.Pixel(2, 1) | 0xFF000000u);

  // A solid colour, and a map lower than the tile.
  TLayerImage solid;
  solid.SetSolid(0xFF123456u, 4, 1, 3);
  EXPECT_EQ(solid.Pixel(3, 0), 0xFF123456u);
  TLayerImage low;
  low.SetTiled(tile, TRect{0, 0, 3, 2}, 4, 1, 1);
  EXPECT_EQ(low.Pixel(3, 0), tile.Pixel(0, 0));
}

TEST(LayerImage, FullSurfaceTakesAnyPixelAndTheTiledFormIsSmall) {
  TBitmap32 tile;
  MakeTile(tile);
  TLayerImage image;
  image.SetTiled(tile, TRect{0, 0, 3, 2}, 6, 4, 3);
  TBitmap32& full = image.Full();
  EXPECT_TRUE(image.IsFull());
  EXPECT_EQ(full.Pixel(4, 3), tile.Pixel(1, 1));
  EXPECT_EQ(full.DrawMode, dmBlend);
  full.Pixel(5, 0) = 0x12345678u;  // no longer the tile's colour
  EXPECT_EQ(image.Pixel(5, 0), 0x12345678u);
  ASSERT_NE(image.FullRow(0), nullptr);
  EXPECT_EQ(image.FullRow(0)[5], 0x12345678u);
  image.FillAlpha(5, 0, 1, 0xAB);
  EXPECT_EQ(image.Pixel(5, 0), 0xAB345678u);
  // A new build goes back to the tiled form.
  image.SetTiled(tile, TRect{0, 0, 3, 2}, 6, 4, 3);
  EXPECT_FALSE(image.IsFull());
  EXPECT_EQ(image.FullRow(0), nullptr);
  EXPECT_EQ(image.Pixel(5, 0), tile.Pixel(2, 0));

  // A 1000 x 1000 layer of an opaque 64 x 64 texture holds its tile and one
  // alpha byte per 50 x 50 block; a block gets bytes of its own only while
  // its pixels differ.
  TBitmap32 texture;
  texture.SetSize(64, 64);
  texture.Clear(0xFF336699u);
  TLayerImage big;
  big.SetTiled(texture, TRect{0, 0, 64, 64}, 1000, 1000, 50);
  const size_t small = big.MemoryBytes();
  EXPECT_LT(small, size_t(64) * 64 * 4 + 400 * 32);
  std::vector<uint8_t> square(2500, 255);
  square[1234] = 7;
  big.WriteSquareAlpha(100, 50, 50, square.data());
  EXPECT_EQ(big.MemoryBytes(), small + 2500);
  EXPECT_EQ(big.Pixel(100 + 1234 % 50, 50 + 1234 / 50), 0x07336699u);
  EXPECT_EQ(big.Pixel(101, 50), 0xFF336699u);
  big.FillAlpha(120, 60, 5, 0);  // a part of the block with bytes
  EXPECT_EQ(big.Pixel(124, 60), 0x00336699u);
  big.FillAlpha(0, 0, 1000, 255);  // already so: no bytes made
  EXPECT_EQ(big.MemoryBytes(), small + 2500);
  square[1234] = 255;
  big.WriteSquareAlpha(100, 50, 50, square.data());  // one alpha again
  EXPECT_EQ(big.MemoryBytes(), small);
  EXPECT_EQ(big.Pixel(124, 60), 0xFF336699u);
  big.FillSquareAlpha(950, 950, 50, 0);
  EXPECT_EQ(big.Pixel(999, 999), 0x00336699u);
  EXPECT_EQ(big.MemoryBytes(), small);

  // A size that cannot be held is refused and the image is kept.
  EXPECT_THROW(big.SetSolid(0xFF000000u, 1 << 16, 1 << 15, 50), EImageError);
  EXPECT_EQ(big.Width(), 1000);
}

TEST(LayerImage, LongRowsOfANarrowTileReadAsThePixelsOneByOne) {
  // A 3-pixel tile on a map far wider than it, with alpha written in some
  // blocks: rows of every start and length cross the tile's repeats, the blocks
  // and the vector-wide runs, and must give the tile's colours and the alpha.
  TBitmap32 tile;
  MakeTile(tile);
  TLayerImage image;
  image.SetTiled(tile, TRect{0, 0, 3, 2}, 230, 3, 20);
  std::vector<uint8_t> alpha(230);
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = uint8_t(i * 7 + 1);
  image.WriteAlpha(13, 1, alpha.data() + 13, 150);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x0 = 0; x0 < 230; x0 += 7)
      for (int32_t x1 : {x0 + 1, x0 + 17, x0 + 70, 230}) {
        if (x1 > 230) continue;
        std::vector<TColor32> row(size_t(x1 - x0));
        image.ReadRow(y, x0, x1, row.data());
        for (int32_t x = x0; x < x1; ++x) {
          const TColor32 a = (y == 1 && x >= 13 && x < 163)
                                 ? TColor32(alpha[size_t(x)]) << 24
                                 : tile.Pixel(x % 3, y % 2) & 0xFF000000u;
          ASSERT_EQ(row[size_t(x - x0)], (tile.Pixel(x % 3, y % 2) & 0x00FFFFFFu) | a)
              << "row " << y << " from " << x0 << " to " << x1 << " at " << x;
        }
      }
}
