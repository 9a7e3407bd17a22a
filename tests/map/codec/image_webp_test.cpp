#include "map/codec/image_webp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "map/raster/bitmap32.h"
#include "map/output/image_output.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using vctest::ReadFileBytes;
using vctest::TempDir;

namespace {

bool HaveDwebp() { return std::system("command -v dwebp >/dev/null 2>&1") == 0; }

// Decodes a WebP file with the independent dwebp tool into an opaque bitmap;
// false when dwebp refuses the file.
bool DecodeWithDwebp(const std::string& Path, TBitmap32& Out) {
  const std::string ppm = Path + ".ppm";
  const std::string cmd = "dwebp -quiet -ppm '" + Path + "' -o '" + ppm + "'";
  if (std::system(cmd.c_str()) != 0) return false;
  const std::string bytes = ReadFileBytes(ppm);
  int w = 0, h = 0, maxv = 0, used = 0;
  if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &w, &h, &maxv, &used) != 3 || maxv != 255)
    return false;
  const size_t start = size_t(used) + 1;  // one blank after the header
  if (bytes.size() != start + size_t(w) * size_t(h) * 3) return false;
  Out.SetSize(w, h);
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + start);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x, p += 3)
      Out.Pixel(x, y) = 0xFF000000u | (TColor32(p[0]) << 16) | (TColor32(p[1]) << 8) | p[2];
  return true;
}

// A picture with every channel varying, a transparent pixel and a half-opaque one.
void Pattern(TBitmap32& B, int32_t W, int32_t H) {
  B.SetSize(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      B.Pixel(x, y) = 0xFF000000u | (TColor32(x * 7 + y) & 0xFF) << 16 |
                      (TColor32(y * 13) & 0xFF) << 8 | (TColor32(x * y + 3) & 0xFF);
  B.Pixel(1, 1) = 0x00123456u;
  B.Pixel(2, 1) = 0x80ABCDEFu;
}

TEST(ImageWebp, LosslessRoundTripThroughAnIndependentDecoder) {
  if (!HaveDwebp()) GTEST_SKIP() << "dwebp is not installed";
  TempDir dir;
  TBitmap32 src;
  Pattern(src, 37, 23);
  const std::string path = dir.File("pattern.webp");
  SaveWebPFile(src, path);
  const std::string bytes = ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 12u);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(8, 4), "WEBP");
  TBitmap32 back;
  ASSERT_TRUE(DecodeWithDwebp(path, back));
  ASSERT_EQ(back.Width(), 37);
  ASSERT_EQ(back.Height(), 23);
  // Same colours; alpha is not written, as in the PNG output.
  for (int32_t y = 0; y < 23; ++y)
    for (int32_t x = 0; x < 37; ++x)
      ASSERT_EQ(back.Pixel(x, y), src.Pixel(x, y) | 0xFF000000u) << x << "," << y;
}

TEST(ImageWebp, LossyQualityDecidesTheSizeAndStaysClose) {
  if (!HaveDwebp()) GTEST_SKIP() << "dwebp is not installed";
  TempDir dir;
  TBitmap32 src;
  src.SetSize(64, 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x)
      src.Pixel(x, y) = 0xFF000000u | TColor32(x * 4) << 16 | TColor32(y * 4) << 8 | 0x40;
  TWebpSettings low{false, 5}, high{false, 95};
  SaveWebPFile(src, dir.File("low.webp"), low);
  SaveWebPFile(src, dir.File("high.webp"), high);
  const std::string lowBytes = ReadFileBytes(dir.File("low.webp"));
  const std::string highBytes = ReadFileBytes(dir.File("high.webp"));
  EXPECT_LT(lowBytes.size(), highBytes.size());
  // Lossy files carry a "VP8 " chunk, lossless ones "VP8L".
  EXPECT_EQ(highBytes.substr(12, 4), "VP8 ");
  SaveWebPFile(src, dir.File("exact.webp"));
  EXPECT_EQ(ReadFileBytes(dir.File("exact.webp")).substr(12, 4), "VP8L");
  TBitmap32 back;
  ASSERT_TRUE(DecodeWithDwebp(dir.File("high.webp"), back));
  int worst = 0;
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x)
      for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((back.Pixel(x, y) >> shift) & 0xFF) -
                                         int((src.Pixel(x, y) >> shift) & 0xFF)));
  EXPECT_GT(worst, 0);   // lossy after all
  EXPECT_LE(worst, 12);  // but close at quality 95
}

TEST(ImageWebp, SidesOverTheLimitAreRefusedAndLeaveNoFile) {
  TempDir dir;
  TBitmap32 wide;
  wide.SetSize(kMaxWebpSide + 1, 1);
  wide.Clear(0xFFFFFFFFu);
  const std::string path = dir.File("wide.webp");
  try {
    SaveWebPFile(wide, path);
    FAIL() << "no error";
  } catch (const EImageError& e) {
    const std::string m = e.what();
    EXPECT_NE(m.find("16384 x 1"), std::string::npos) << m;
    EXPECT_NE(m.find("16383"), std::string::npos) << m;
  }
  EXPECT_FALSE(fs::exists(path));
  TBitmap32 empty;
  EXPECT_THROW(SaveWebPFile(empty, path), EImageError);
  EXPECT_FALSE(fs::exists(path));
  // The largest side allowed is written.
  TBitmap32 edge;
  edge.SetSize(kMaxWebpSide, 1);
  edge.Clear(0xFF102030u);
  SaveWebPFile(edge, path);
  EXPECT_TRUE(fs::exists(path));
  // Through image output too, by extension and case ignored, with no temporary file left.
  EXPECT_THROW(WriteImageByExtension(wide, dir.File("WIDE.WEBP")), EImageError);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir.Path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);  // only edge's file
  // A lower-case name is WebP as well.
  WriteImageByExtension(edge, dir.File("Edge.WebP"));
  EXPECT_EQ(ReadFileBytes(dir.File("Edge.WebP")).substr(8, 4), "WEBP");
}

}  // namespace
