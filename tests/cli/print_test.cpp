// vellumcraft-cli print: layout figures, one PDF page per sheet, and the pages'
// rendered content.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"
#include "support/test_support.h"

namespace {

std::string Map() { return std::string(VC_SOURCE_DIR) + "/examples/dungeon.qmx"; }

TEST(CliPrint, LayoutJsonAndOnePagePerSheet) {
  vctest::TempDir dir;
  const std::string pdf = dir.File("poster.pdf");
  // The example is 16 x 12 cells of 32 pixels. A4 at 100 dpi with a quarter-inch
  // margin: 776 x 1119 printable pixels; one inch is 100 pixels, 7 x 11 cells a
  // sheet, so 3 sheets across and 2 down. Without the assembly page and the sheet
  // marks the pages are the plain tiles.
  const vctest::TCliResult r =
      vctest::RunCli({"print", Map(), pdf, "--cell", "1in", "--dpi", "100", "--layout-json",
                      "--grid", "all", "--no-assembly", "--no-sheet-marks"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const nlohmann::json j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(j["cell_pixels_x"], 100);
  EXPECT_EQ(j["cell_pixels_y"], 100);
  EXPECT_EQ(j["zoom"], "312.5");
  EXPECT_EQ(j["printable_width"], 776);
  EXPECT_EQ(j["printable_height"], 1119);
  EXPECT_EQ(j["cells_per_sheet_x"], 7);
  EXPECT_EQ(j["cells_per_sheet_y"], 11);
  EXPECT_EQ(j["sheets_x"], 3);
  EXPECT_EQ(j["sheets_y"], 2);
  EXPECT_EQ(j["sheets"], 6);

  const std::string info = dir.File("info.txt");
  ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + info + "'").c_str()), 0);
  EXPECT_NE(vctest::ReadFileBytes(info).find("Pages:           6"), std::string::npos);

  // Page 1 at the print resolution: its top-left cell (0, 0) is wall, black; the
  // cell (2, 2) is the stone room's floor, light; the paper margin is white.
  const std::string prefix = dir.File("page");
  ASSERT_EQ(std::system(("pdftoppm -r 100 -f 1 -l 1 -png '" + pdf + "' '" + prefix + "'").c_str()),
            0);
  TBitmap32 page;
  LoadImageFile(prefix + "-1.png", page);
  ASSERT_EQ(page.Width(), 827);
  auto at = [&](int X, int Y) { return page.Pixel(25 + X, 25 + Y) & 0xFFFFFF; };
  EXPECT_LT(at(50, 50) & 0xFF, 0x20u);
  EXPECT_GT(at(250, 250) & 0xFF, 0x60u);
  EXPECT_EQ(page.Pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(CliPrint, RulerIsExactlyFiveCellsAtTheDeviceResolution) {
  vctest::TempDir dir;
  const std::string pdf = dir.File("a1.pdf");
  const vctest::TCliResult r =
      vctest::RunCli({"print", Map(), pdf, "--cell", "1in", "--dpi", "600", "--sheets", "A1"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  if (std::system("qpdf --version > /dev/null 2>&1") == 0) {
    EXPECT_EQ(std::system(("qpdf --check '" + pdf + "' > /dev/null").c_str()), 0);
  }
  // The assembly page and the one chosen sheet, its label searchable as text.
  const std::string text = dir.File("text.txt");
  ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + text + "'").c_str()), 0);
  const std::string words = vctest::ReadFileBytes(text);
  EXPECT_NE(words.find("Assembly: 3 x 2 sheets, A1 to B3"), std::string::npos) << words;
  EXPECT_NE(words.find("5 cells = 5 in"), std::string::npos) << words;
  // Sheet A1 holds 7 x 10 one-inch cells from the quarter-inch margin (150 pixels);
  // the ruler's bar lies 60 to 120 pixels below them. One pixel row through its
  // middle, rendered at 600 dpi: a dark run of exactly 5 x 600 pixels.
  const std::string prefix = dir.File("ruler");
  ASSERT_EQ(std::system(("pdftoppm -r 600 -f 2 -l 2 -x 0 -y 6240 -W 4961 -H 1 -png '" + pdf +
                         "' '" + prefix + "'")
                            .c_str()),
            0);
  TBitmap32 row;
  LoadImageFile(prefix + "-2.png", row);
  ASSERT_EQ(row.Height(), 1);
  auto dark = [&](int X) { return (row.Pixel(X, 0) & 0xFF) < 128; };
  EXPECT_FALSE(dark(149));
  int run = 0;
  while (150 + run < row.Width() && dark(150 + run)) ++run;
  EXPECT_EQ(run, 3000);
}

TEST(CliPrint, RefusesWhatCannotPrint) {
  vctest::TempDir dir;
  const std::string pdf = dir.File("x.pdf");
  EXPECT_EQ(vctest::RunCli({"print", Map(), pdf}).Status, 2);  // no --cell
  EXPECT_EQ(vctest::RunCli({"print", Map(), pdf, "--cell", "1ft"}).Status, 2);
  EXPECT_EQ(vctest::RunCli({"print", Map(), pdf, "--cell", "1in", "--paper", "B9"}).Status, 2);
  EXPECT_EQ(vctest::RunCli({"print", Map(), pdf, "--cell", "1in", "--sheets", "C1"}).Status, 2);
  // A cell larger than the sheet: the figures show zeros and nothing is written.
  const vctest::TCliResult r =
      vctest::RunCli({"print", Map(), pdf, "--cell", "40cm", "--layout-json"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(nlohmann::json::parse(r.Out)["sheets"], 0);
  EXPECT_FALSE(std::filesystem::exists(pdf));
}

}  // namespace
