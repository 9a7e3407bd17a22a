#include "map/codec/texture_cache.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace {

// A W x H image whose pixel (x, y) is 0xFF000000 | x << 8 | y.
std::string WriteRamp(const vctest::TempDir& Dir, const std::string& Name, int W, int H) {
  TBitmap32 b;
  b.SetSize(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) b.Pixel(x, y) = 0xFF000000u | uint32_t(x) << 8 | uint32_t(y);
  const std::string path = Dir.File(Name);
  SavePNGFile(b, path);
  return path;
}

}  // namespace

TEST(TextureCache, EachFileIsDecodedOnceAndChipsAloneAreKept) {
  vctest::TempDir dir;
  const std::string big = WriteRamp(dir, "big.png", 64, 48), small = WriteRamp(dir, "s.png", 4, 2);
  TTextureCache cache;
  cache.PlanChip(big, 8, 4, 16);
  cache.PlanChip(big, 40, 30, 16);
  cache.PlanWhole(small);
  int32_t w = 0, h = 0;
  for (int i = 0; i < 3; ++i) cache.ImageSize(big, w, h);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
  TRect within;
  const TBitmap32& chip = cache.Pixels(big, {40, 30, 56, 46}, within);
  EXPECT_EQ(within, (TRect{0, 0, 16, 16}));
  EXPECT_EQ(chip.Pixel(0, 0), 0xFF000000u | 40u << 8 | 30u);
  EXPECT_EQ(chip.Pixel(15, 15), 0xFF000000u | 55u << 8 | 45u);
  const TBitmap32& whole = cache.Pixels(small, {0, 0, 4, 2}, within);
  EXPECT_EQ(whole.Pixel(3, 1), 0xFF000301u);
  EXPECT_EQ(cache.Decodes(), 2);
  // Two chips of 16 x 16 and the small image, not the 64 x 48 one.
  EXPECT_EQ(cache.KeptBytes(), 2 * 16 * 16 * 4 + 4 * 2 * 4);
}

TEST(TextureCache, TheDecodedBytesOfAMapAreBoundedAndFailuresAreNotRetried) {
  vctest::TempDir dir;
  const std::string a = WriteRamp(dir, "a.png", 16, 16), b = WriteRamp(dir, "b.png", 16, 16);
  TTextureCache cache(16 * 16 * 4 + 100);
  int32_t w = 0, h = 0;
  cache.ImageSize(a, w, h);
  for (int i = 0; i < 2; ++i) {
    try {
      cache.ImageSize(b, w, h);
      ADD_FAILURE() << "no error";
    } catch (const EImageError& e) {
      EXPECT_EQ(std::string(e.what()),
                "The textures of this map take more than 0 MiB once decoded (\"" + b +
                    "\" is 16 x 16 pixels)");
    }
  }
  EXPECT_EQ(cache.Decodes(), 2);
  vctest::WriteFileBytes(dir.File("bad.png"), "not a png");
  EXPECT_THROW(cache.ImageSize(dir.File("bad.png"), w, h), EImageError);
  EXPECT_THROW(cache.ImageSize(dir.File("bad.png"), w, h), EImageError);
  EXPECT_EQ(cache.Decodes(), 3);
}

TEST(TextureCache, AMapNamingOneTextureManyTimesLoadsEveryLayerFromOneDecode) {
  vctest::TempDir dir;
  WriteRamp(dir, "t.png", 8, 8);
  // 300 layers: the whole texture and a chip of it, by turns, on a 2 x 1 map of 4 pixels.
  std::string text = "KRV2_MAP\r\n300,2,1,4\r\n";
  for (int i = 0; i < 300; ++i)
    text += "L\r\n" + std::string(i % 2 ? "0:<2,3,4>t.png" : "0:t.png") + "\r\n";
  text += "KRV2_MAP LAYER\r\n";
  for (int y = 0; y < 4; ++y) text += EncodeLine(std::string(32, '0')) + "\r\n";
  text += "KRV2_MAP DRAW\r\n" + EncodeLine("00") +
          "\r\nKRV2_MAP HORZ DOOR\r\n0\r\nKRV2_MAP VERT DOOR\r\n0\r\nKRV2_MAP FREE DOOR\r\n0\r\n";
  const std::string z = vctest::Deflate(text);
  TMapEditLayerList map;
  TMapLoadReport report;
  LoadMapFromBytes(map, z, dir.Path().string(), report);
  ASSERT_EQ(map.Count(), 300);
  EXPECT_TRUE(report.MissingTextures.empty());
  for (int32_t i : {0, 1, 298, 299}) {
    const TBitmap32& b = map.Layers(i)->BMP();
    // Colour channels (the composition rewrites alpha): whole texture from (0, 0),
    // the chip from (2, 3), repeated every 4 pixels across the 8 x 4 map.
    const uint32_t x0 = i % 2 ? 2 : 0, y0 = i % 2 ? 3 : 0;
    EXPECT_EQ(b.Pixel(5, 2) & 0xFFFFFF, ((x0 + (i % 2 ? 1 : 5)) << 8 | (y0 + 2))) << i;
  }
}
