// vellumcraft-cli export-vtt end to end.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_runner.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using nlohmann::json;
using vctest::ReadFileBytes;
using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;
using vctest::WriteFileBytes;

namespace {

// A 6 x 5 map of 20-pixel cells: a floor with a wall ring whose room is cells
// (2, 2)-(3, 2), and a door on the room's top edge at cell (2, 2).
void SaveRoomMap(const std::string& Path) {
  TMapEditLayerList map;
  map.AddLayer()->SetFileName("0");
  map.AddLayer()->SetFileName("16777215");
  map.SetSize(6, 5, 20);
  map.FillRectChips(0, 0, 5, 4, 1);
  map.FillRectChips(1, 1, 4, 3, 0);
  map.FillRectChips(2, 2, 3, 2, 1);
  map.ToggleDoor(2, 2, true, 0x1FFFFFFF);
  map.SaveToFile(Path);
}

json Points(std::initializer_list<std::pair<double, double>> P) {
  json a = json::array();
  for (auto [x, y] : P) a.push_back({{"x", x}, {"y", y}});
  return a;
}

TEST(CliExportVtt, WritesTheRoomWithItsDoorAndScalesOnRequest) {
  TempDir dir;
  const std::string map = dir.File("room.qmx");
  SaveRoomMap(map);
  TCliResult r = RunCli({"export-vtt", map, dir.File("room.dd2vtt")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(r.Out, "");
  const json j = json::parse(ReadFileBytes(dir.File("room.dd2vtt")));
  EXPECT_EQ(j["format"], 0.3);
  EXPECT_EQ(j["resolution"]["map_size"], (json{{"x", 6}, {"y", 5}}));
  EXPECT_EQ(j["resolution"]["pixels_per_grid"], 20);
  ASSERT_EQ(j["portals"].size(), 1u);
  EXPECT_EQ(j["portals"][0]["bounds"], Points({{2, 2}, {3, 2}}));
  // The one-cell wall is opened on both faces over the door: each outline runs
  // round from one side of the doorway to the other.
  ASSERT_EQ(j["line_of_sight"].size(), 2u);
  EXPECT_EQ(j["line_of_sight"][0], Points({{3, 1}, {5, 1}, {5, 4}, {1, 4}, {1, 1}, {2, 1}}));
  EXPECT_EQ(j["line_of_sight"][1], Points({{2, 2}, {2, 3}, {4, 3}, {4, 2}, {3, 2}}));
  EXPECT_EQ(j["objects_line_of_sight"], json::array());

  r = RunCli({"export-vtt", map, dir.File("room.uvtt"), "--pixels-per-grid", "100", "--quiet"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const json big = json::parse(ReadFileBytes(dir.File("room.uvtt")));
  EXPECT_EQ(big["resolution"]["pixels_per_grid"], 100);
  EXPECT_EQ(big["line_of_sight"], j["line_of_sight"]);
  EXPECT_EQ(big["portals"], j["portals"]);
  // Five times the pixels in each direction: the image grows by far more.
  EXPECT_GT(big["image"].get<std::string>().size(), j["image"].get<std::string>().size());
}

TEST(CliExportVtt, UsageErrorsAndFailuresLeaveTheOutputAlone) {
  TempDir dir;
  const std::string map = dir.File("room.qmx");
  SaveRoomMap(map);
  const std::string out = dir.File("old.dd2vtt");
  WriteFileBytes(out, "old");
  for (const char* bad : {"0", "-3", "1001", "12x", ""}) {
    TCliResult r = RunCli({"export-vtt", map, out, "--pixels-per-grid", bad});
    EXPECT_EQ(r.Status, 2) << bad;
    EXPECT_NE(r.Err.find("--pixels-per-grid"), std::string::npos) << r.Err;
  }
  EXPECT_EQ(RunCli({"export-vtt", map}).Status, 2);
  EXPECT_EQ(RunCli({"export-vtt", map, out, "--pixels-per-grid"}).Status, 2);
  EXPECT_EQ(RunCli({"export-vtt", map, out, "--bogus"}).Status, 2);

  TCliResult missing = RunCli({"export-vtt", dir.File("nothing.qmx"), out});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("nothing.qmx"), std::string::npos) << missing.Err;

  TCliResult folder = RunCli({"export-vtt", map, dir.Path().string()});
  EXPECT_EQ(folder.Status, 1);
  EXPECT_NE(folder.Err.find("folder"), std::string::npos) << folder.Err;

  TCliResult self = RunCli({"export-vtt", map, map});
  EXPECT_EQ(self.Status, 1);
  EXPECT_GT(fs::file_size(map), 0u);

  TCliResult noDir = RunCli({"export-vtt", map, dir.File("no/such/place.dd2vtt")});
  EXPECT_EQ(noDir.Status, 1);
  EXPECT_NE(noDir.Err.find("place.dd2vtt"), std::string::npos) << noDir.Err;
  EXPECT_EQ(ReadFileBytes(out), "old");
}

}  // namespace
