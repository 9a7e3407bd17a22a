// Props that block sight go into the export's object lines as closed outlines.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "map/compose/prop_scene.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/vtt_export.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

TEST(VttProps, BlockingPropsListTheirOutlineInObjectLines) {
  vctest::TempDir dir;
  // A 20 x 10 image opaque in its left half.
  TBitmap32 im;
  im.SetSize(20, 10);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) im.Pixel(x, y) = 0xFF808080;
  vctest::WriteRgbaPng(dir.File("half.png"), im);

  TMapEditLayerList map;
  map.SetSize(4, 4, 10);
  map.AddLayer()->SetFileName("0");
  map.AddLayer()->SetFileName("255");
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) map.SetPixelLayer(x, y, 1);
  map.Refresh();

  TPropScene scene;
  scene.SetResolver([&](const std::string& P) { return dir.Path() / P; });
  TPropItem blocking;
  blocking.Path = "half.png";
  blocking.Transform.CenterX = 20, blocking.Transform.CenterY = 15;
  blocking.BlocksSight = true;
  TPropItem open = blocking;
  open.BlocksSight = false;
  open.Transform.CenterY = 30;
  scene.SetItems({blocking, open});

  TVttExportOptions options;
  options.Grid.Compose.Props = &scene;
  ExportVtt(map, dir.File("out.dd2vtt"), options);
  const nlohmann::json j = nlohmann::json::parse(vctest::ReadFileBytes(dir.File("out.dd2vtt")));
  const auto& lines = j.at("objects_line_of_sight");
  ASSERT_EQ(lines.size(), 1u);  // the open prop blocks nothing
  // The opaque half: map pixels 10..20 across and 10..20 down, in cells of 10
  // pixels 1..2 both ways, as a closed rectangle.
  const auto& line = lines[0];
  ASSERT_EQ(line.size(), 5u);
  EXPECT_EQ(line.front(), line.back());
  double x0 = 9, x1 = -9, y0 = 9, y1 = -9;
  for (const auto& p : line) {
    x0 = std::min(x0, p.at("x").get<double>()), x1 = std::max(x1, p.at("x").get<double>());
    y0 = std::min(y0, p.at("y").get<double>()), y1 = std::max(y1, p.at("y").get<double>());
  }
  EXPECT_DOUBLE_EQ(x0, 1);
  EXPECT_DOUBLE_EQ(x1, 2);
  EXPECT_DOUBLE_EQ(y0, 1);
  EXPECT_DOUBLE_EQ(y1, 2);
}
