// The tool's prop commands: prop, move-object, and props in render and export-vtt.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_runner.h"
#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_prop.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;

namespace {

std::string NewMap(const TempDir& Dir) {
  const std::string path = Dir.File("room.qmx");
  TCliResult r = RunCli(
      {"new", path, "--size", "4x3", "--chip", "32", "--layer-set", "tavern", "--quiet"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  // Wooden floor everywhere: props lie beneath the walls.
  r = RunCli({"edit", path, "-e", "rect-chips 0 0 3 2 1", "--quiet"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  return path;
}

TMapProp PropAt(const std::string& Map, size_t Index) {
  TMapEditLayerList map;
  map.LoadFromFile(Map);
  TMapProp p;
  EXPECT_TRUE(TMapProp::FromObject(map.Objects().At(Index), p, nullptr));
  return p;
}

}  // namespace

TEST(CliProps, PlaceMoveAndRender) {
  TempDir dir;
  const std::string map = NewMap(dir);
  // From the shipped pack (beside the tool), by its path there.
  TCliResult r = RunCli({"prop", map, "furniture/chair.png", "48", "40.5", "--rotation", "90",
                         "--shadow", "--blocks-sight"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "0\n");
  TMapProp p = PropAt(map, 0);
  EXPECT_EQ(p.Asset, "furniture/chair.png");
  EXPECT_EQ(p.X, 48);
  EXPECT_EQ(p.Y, 40.5);
  EXPECT_EQ(p.Rotation, 90);
  EXPECT_TRUE(p.Shadow);
  EXPECT_TRUE(p.BlocksSight);

  // An image outside the asset folders is kept by its path.
  TBitmap32 im;
  im.SetSize(64, 64);
  im.Clear(0xFF20A040);
  vctest::WriteRgbaPng(dir.File("cart.png"), im);
  r = RunCli({"prop", map, dir.File("cart.png"), "10", "10", "--scale", "0.5", "--mirror"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "1\n");
  EXPECT_EQ(PropAt(map, 1).Asset, dir.File("cart.png"));
  EXPECT_TRUE(PropAt(map, 1).Mirror);

  r = RunCli({"move-object", map, "1", "70", "20"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(PropAt(map, 1).X, 70);
  r = RunCli({"move-object", map, "1", "--by", "-5", "2.5"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(PropAt(map, 1).X, 65);
  EXPECT_EQ(PropAt(map, 1).Y, 22.5);

  // Rendered: the green cart shows at its centre.
  r = RunCli({"render", map, dir.File("out.png"), "--quiet"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  TBitmap32 out;
  LoadImageFile(dir.File("out.png"), out);
  EXPECT_EQ(out.Pixel(65, 22) & 0xFFFFFFu, 0x20A040u);

  // The blocking chair is in the export's object lines.
  r = RunCli({"export-vtt", map, dir.File("out.dd2vtt"), "--quiet"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto j = nlohmann::json::parse(vctest::ReadFileBytes(dir.File("out.dd2vtt")));
  EXPECT_EQ(j.at("objects_line_of_sight").size(), 1u);
}

TEST(CliProps, ErrorsLeaveTheMapAlone) {
  TempDir dir;
  const std::string map = NewMap(dir);
  ASSERT_EQ(RunCli({"prop", map, "furniture/chair.png", "5", "5"}).Status, 0);
  const std::string before = vctest::ReadFileBytes(map);
  EXPECT_EQ(RunCli({"prop", map, "furniture/sofa.png", "1", "1"}).Status, 1);
  EXPECT_EQ(RunCli({"prop", map, "furniture/chair.png", "1"}).Status, 2);
  EXPECT_EQ(RunCli({"prop", map, "furniture/chair.png", "x", "1"}).Status, 2);
  EXPECT_EQ(RunCli({"prop", map, "furniture/chair.png", "1", "1", "--scale", "0"}).Status, 2);
  EXPECT_EQ(RunCli({"move-object", map, "3", "1", "1"}).Status, 1);
  EXPECT_EQ(RunCli({"move-object", map, "-1", "1", "1"}).Status, 2);
  EXPECT_EQ(RunCli({"move-object", map, "0", "1e12", "1"}).Status, 2);
  EXPECT_EQ(vctest::ReadFileBytes(map), before);

  // A prop whose image has gone renders as a placeholder with one warning.
  TMapEditLayerList m;
  m.LoadFromFile(map);
  TMapProp gone;
  gone.Asset = "furniture/gone.png";
  gone.X = 60, gone.Y = 40;
  m.Objects().Add(gone.ToObject());
  m.Objects().Add(gone.ToObject());
  m.SaveToFile(map);
  const TCliResult r = RunCli({"render", map, dir.File("out.png")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const size_t first = r.Err.find("furniture/gone.png");
  ASSERT_NE(first, std::string::npos) << r.Err;
  EXPECT_EQ(r.Err.find("furniture/gone.png", first + 1), std::string::npos) << r.Err;
  TMapEditLayerList back;
  back.LoadFromFile(map);
  EXPECT_EQ(back.Objects().Count(), 3u);  // the paths are kept
}
