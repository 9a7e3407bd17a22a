// The textures shipped in Layersets/textures tile without visible seams: the
// step from the last column back to the first (and from the last row to the
// first) is no larger than the largest step between neighbouring columns (rows)
// inside the picture, and no more than twice a typical large one (the 95th
// percentile), so that a texture with a few sharp joints cannot hide a seam.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "map/codec/image_file.h"

namespace fs = std::filesystem;

namespace {

int ChannelDiff(TColor32 A, TColor32 B) {
  int d = 0;
  for (int s = 0; s < 24; s += 8) d += std::abs(int((A >> s) & 255) - int((B >> s) & 255));
  return d;
}

// Mean difference between columns A and B, or rows A and B with Rows.
double LineDiff(const TBitmap32& Image, int A, int B, bool Rows) {
  const int n = Rows ? Image.Width() : Image.Height();
  double sum = 0;
  for (int i = 0; i < n; ++i)
    sum += Rows ? ChannelDiff(Image.Pixel(i, A), Image.Pixel(i, B))
                : ChannelDiff(Image.Pixel(A, i), Image.Pixel(B, i));
  return sum / n;
}

// The wrap-round step, and the largest and the 95th percentile of the inner steps.
struct TSeam {
  double Wrap = 0, Largest = 0, Typical = 0;
  bool Seamless() const { return Wrap <= Largest && Wrap <= 2 * Typical; }
};
TSeam SeamOf(const TBitmap32& Image, bool Rows) {
  const int n = Rows ? Image.Height() : Image.Width();
  std::vector<double> inner;
  for (int i = 0; i + 1 < n; ++i) inner.push_back(LineDiff(Image, i, i + 1, Rows));
  std::sort(inner.begin(), inner.end());
  return {LineDiff(Image, n - 1, 0, Rows), inner.back(), inner[inner.size() * 95 / 100]};
}

std::vector<fs::path> BundledTextures() {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(fs::path(VC_SOURCE_DIR) / "Layersets" / "textures"))
    if (e.path().extension() == ".jpg") out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(BundledTextures, EveryTextureIs512SquareAndTilesWithoutSeams) {
  const std::vector<fs::path> files = BundledTextures();
  // Sixteen floors and three walls at least.
  ASSERT_GE(files.size(), 19u);
  for (const fs::path& f : files) {
    SCOPED_TRACE(f.filename().string());
    TBitmap32 image;
    LoadImageFile(f.string(), image);
    ASSERT_EQ(image.Width(), 512);
    ASSERT_EQ(image.Height(), 512);
    for (bool rows : {false, true}) {
      const TSeam s = SeamOf(image, rows);
      EXPECT_TRUE(s.Seamless()) << (rows ? "rows " : "columns ") << s.Wrap
                                << " after inner steps up to " << s.Largest << ", typically up to "
                                << s.Typical;
    }
  }
}

TEST(BundledTextures, TheSeamMeasureSeesASeam) {
  // A smooth left-to-right ramp does not tile: its wrap step is far above its
  // inner steps, while a picture that repeats across the edge passes.
  TBitmap32 ramp;
  ramp.SetSize(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ramp.Pixel(x, y) = MakeColor(uint8_t(x * 4), 0, 0);
  EXPECT_FALSE(SeamOf(ramp, false).Seamless());
  EXPECT_GT(SeamOf(ramp, false).Wrap, 10 * SeamOf(ramp, false).Largest);
  TBitmap32 tri;
  tri.SetSize(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      tri.Pixel(x, y) = MakeColor(uint8_t(std::abs(x - 32) * 6 + 3), uint8_t(y), 0);
  EXPECT_TRUE(SeamOf(tri, false).Seamless());
  // One sharp joint inside does not excuse a seam at the edge as large as it.
  for (int y = 0; y < 64; ++y) tri.Pixel(63, y) = MakeColor(255, 255, 255);
  EXPECT_FALSE(SeamOf(tri, false).Seamless());
}

}  // namespace
