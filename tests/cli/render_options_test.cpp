#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"
#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"
#include "support/test_support.h"

namespace {

using vctest::ReadFileBytes;
using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;

TEST(CliRender, PixelsPerCellAndDpi) {
  TempDir dir;
  const std::string map = dir.File("m.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "3x2", "--chip", "16"}).Status, 0);
  ASSERT_EQ(
      RunCli({"edit", map, "-e", "add-layer white 16777215", "-e", "paint-chip 1 0 1"}).Status, 0);

  // 40 pixels per cell: 120 x 80, every cell a 40-pixel block, the grid on the
  // scaled right edges.
  const std::string png = dir.File("big.png");
  TCliResult r = RunCli({"render", map, png, "--pixels-per-cell", "40", "--dpi", "254", "--grid",
                         "right", "--grid-color", "#FF0000"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  TBitmap32 img;
  LoadImageFile(png, img);
  ASSERT_EQ(img.Width(), 120);
  ASSERT_EQ(img.Height(), 80);
  EXPECT_EQ(img.Pixel(39, 20), 0xFFFF0000u);
  EXPECT_EQ(img.Pixel(79, 20), 0xFFFF0000u);
  EXPECT_NE(img.Pixel(60, 79), 0xFFFF0000u);  // right side only
  EXPECT_NE(img.Pixel(38, 20), 0xFFFF0000u);
  EXPECT_NE(img.Pixel(40, 20), 0xFFFF0000u);
  // 254 dpi is 10000 pixels per metre in pHYs.
  const std::string bytes = ReadFileBytes(png);
  const size_t at = bytes.find("pHYs");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(bytes.substr(at + 4, 9), std::string("\0\0\x27\x10\0\0\x27\x10\x01", 9));

  // Without the options: 1:1 and no density.
  ASSERT_EQ(RunCli({"render", map, dir.File("plain.png")}).Status, 0);
  LoadImageFile(dir.File("plain.png"), img);
  EXPECT_EQ(img.Width(), 48);
  EXPECT_EQ(ReadFileBytes(dir.File("plain.png")).find("pHYs"), std::string::npos);

  // Nonsense values are usage errors and write nothing.
  for (const auto& [opt, val] : {std::pair{"--pixels-per-cell", "0"},
                                 {"--pixels-per-cell", "x"},
                                 {"--pixels-per-cell", "1001"},
                                 {"--dpi", "-3"},
                                 {"--dpi", "70000"}}) {
    r = RunCli({"render", map, dir.File("no.png"), opt, val});
    EXPECT_NE(r.Status, 0) << opt << " " << val;
    EXPECT_NE(r.Err.find(opt), std::string::npos) << r.Err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("no.png")));
}

TEST(CliRender, WebpLosslessByDefaultOrAtAQuality) {
  TempDir dir;
  const std::string map = dir.File("m.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "3x2", "--chip", "16"}).Status, 0);
  ASSERT_EQ(
      RunCli({"edit", map, "-e", "add-layer white 16777215", "-e", "paint-chip 1 0 1"}).Status, 0);
  TCliResult r = RunCli({"render", map, dir.File("a.webp"), "--grid", "all"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string lossless = ReadFileBytes(dir.File("a.webp"));
  EXPECT_EQ(lossless.substr(8, 8), "WEBPVP8L");
  r = RunCli({"render", map, dir.File("b.WEBP"), "--lossless", "--grid", "all"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadFileBytes(dir.File("b.WEBP")), lossless);
  r = RunCli({"render", map, dir.File("c.webp"), "--webp-quality", "40"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadFileBytes(dir.File("c.webp")).substr(8, 8), "WEBPVP8 ");

  // Too wide for WebP: a failure naming the limit, and no file.
  ASSERT_EQ(RunCli({"new", dir.File("wide.qmx"), "--size", "200x1", "--chip", "16"}).Status, 0);
  r = RunCli({"render", dir.File("wide.qmx"), dir.File("wide.webp"), "--pixels-per-cell", "90"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("16383"), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("wide.webp")));

  // Usage errors: a quality out of range, both settings, WebP settings for a PNG.
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{dir.File("no.webp"), "--webp-quality", "101"},
        {dir.File("no.webp"), "--webp-quality", "x"},
        {dir.File("no.webp"), "--webp-quality", "50", "--lossless"},
        {dir.File("no.png"), "--lossless"},
        {dir.File("no.png"), "--webp-quality", "50"}}) {
    std::vector<std::string> args{"render", map};
    args.insert(args.end(), extra.begin(), extra.end());
    r = RunCli(args);
    EXPECT_EQ(r.Status, 2) << extra[1];
    EXPECT_NE(r.Err.find("usage:"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("no.webp")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("no.png")));
}

TEST(CliRender, PresetsSetTheSizeAndLargeImagesWarn) {
  TempDir dir;
  const std::string map = dir.File("m.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "3x2", "--chip", "16"}).Status, 0);
  TBitmap32 img;
  const std::pair<const char*, int32_t> sizes[] = {
      {"foundry", 100}, {"roll20", 70}, {"print300", 300}, {"ROLL20", 70}};
  for (const auto& [preset, cell] : sizes) {
    const std::string png = dir.File(std::string(preset) + ".png");
    TCliResult r = RunCli({"render", map, png, "--preset", preset});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    LoadImageFile(png, img);
    EXPECT_EQ(img.Width(), 3 * cell) << preset;
    EXPECT_EQ(img.Height(), 2 * cell) << preset;
    // Only the print preset stores a resolution: 300 dpi is 11811 pixels per metre.
    const std::string bytes = ReadFileBytes(png);
    const size_t at = bytes.find("pHYs");
    if (cell == 300) {
      ASSERT_NE(at, std::string::npos);
      EXPECT_EQ(bytes.substr(at + 4, 9), std::string("\0\0\x2E\x23\0\0\x2E\x23\x01", 9));
    } else {
      EXPECT_EQ(at, std::string::npos) << preset;
    }
  }
  // custom keeps what is given.
  TCliResult r = RunCli({"render", map, dir.File("c.png"), "--preset", "custom",
                         "--pixels-per-cell", "5"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  LoadImageFile(dir.File("c.png"), img);
  EXPECT_EQ(img.Width(), 15);
  // A named preset and an explicit size, or an unknown preset, are usage errors.
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"--preset", "foundry", "--pixels-per-cell", "5"},
        {"--dpi", "96", "--preset", "print300"},
        {"--preset", "foundryvtt"}}) {
    std::vector<std::string> args{"render", map, dir.File("no.png")};
    args.insert(args.end(), extra.begin(), extra.end());
    r = RunCli(args);
    EXPECT_EQ(r.Status, 2) << extra[1];
    EXPECT_NE(r.Err.find("--preset"), std::string::npos) << r.Err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("no.png")));

  // 200 x 1 cells at 100 px is 20000 wide: written, with a warning that names a
  // size that fits (16384 / 200 = 81).
  ASSERT_EQ(RunCli({"new", dir.File("wide.qmx"), "--size", "200x1", "--chip", "8"}).Status, 0);
  r = RunCli({"render", dir.File("wide.qmx"), dir.File("wide.bmp"), "--preset", "foundry"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("warning: The image will be 20000 x 100 pixels, more than 16384 a side"),
            std::string::npos)
      << r.Err;
  EXPECT_NE(r.Err.find("Try --pixels-per-cell 81."), std::string::npos) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("wide.bmp")));
  r = RunCli({"export-vtt", dir.File("wide.qmx"), dir.File("wide.dd2vtt"), "--preset", "roll20"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");  // 14000 pixels fit
  r = RunCli({"export-vtt", dir.File("wide.qmx"), dir.File("wide.dd2vtt"), "--preset", "foundry"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("Try --pixels-per-grid 81."), std::string::npos) << r.Err;
  r = RunCli({"export-vtt", dir.File("wide.qmx"), dir.File("x.dd2vtt"), "--preset", "roll20",
              "--pixels-per-grid", "70"});
  EXPECT_EQ(r.Status, 2);
}

}  // namespace
