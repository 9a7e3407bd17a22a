// The tool's object commands and the objects in info.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/objects/map_object_list.h"
#include "support/test_support.h"

using nlohmann::json;
using vctest::ReadFileBytes;
using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;

namespace {

json InfoJson(const std::string& Map) {
  TCliResult r = RunCli({"info", Map, "--json"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  return json::parse(r.Out);
}

// A new 4 x 3 map with the objects given as JSON lines.
std::string MapWithObjects(const TempDir& Dir, const std::vector<std::string>& Objects) {
  const std::string path = Dir.File("objects.qmx");
  TCliResult r = RunCli({"new", path, "--size", "4x3", "--chip", "16", "--quiet"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  TMapEditLayerList map;
  map.LoadFromFile(path);
  for (const std::string& o : Objects) map.Objects().Add(TMapObject::Parse(o));
  map.SaveToFile(path);
  return path;
}

}  // namespace

TEST(CliObjects, InfoListsObjectsAndDeleteObjectTakesTheirIndices) {
  TempDir dir;
  const std::string map = MapWithObjects(dir, {R"({"type":"label","x":8,"y":8,"text":"1"})",
                                               R"({"type":"light","x":20,"y":20,"radius":3})",
                                               R"({"type":"fog","index":99,"density":0.5})"});
  json j = InfoJson(map);
  ASSERT_EQ(j["objects"].size(), 3u);
  EXPECT_EQ(j["objects"][0], json::parse(R"({"index":0,"type":"label","x":8,"y":8,"text":"1"})"));
  EXPECT_EQ(j["objects"][1]["index"], 1);
  EXPECT_EQ(j["objects"][1]["radius"], 3);
  // The place in the file wins over a key of the object's own with that name.
  EXPECT_EQ(j["objects"][2], json::parse(R"({"index":2,"type":"fog","density":0.5})"));

  TCliResult text = RunCli({"info", map});
  EXPECT_NE(text.Out.find("objects:    3"), std::string::npos) << text.Out;

  TCliResult r = RunCli({"delete-object", map, "2", "0"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  j = InfoJson(map);
  ASSERT_EQ(j["objects"].size(), 1u);
  EXPECT_EQ(j["objects"][0]["type"], "light");
  EXPECT_EQ(j["objects"][0]["index"], 0);

  // A wrong index changes nothing and says what is wrong in one line.
  const std::string before = ReadFileBytes(map);
  r = RunCli({"delete-object", map, "0", "1"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("there is no object 1"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find(map), std::string::npos) << r.Err;
  EXPECT_EQ(ReadFileBytes(map), before);
  EXPECT_EQ(RunCli({"delete-object", map, "first"}).Status, 2);
  EXPECT_EQ(RunCli({"delete-object", map}).Status, 2);

  // -o writes the result elsewhere.
  const std::string out = dir.File("out.qmx");
  ASSERT_EQ(RunCli({"delete-object", map, "0", "-o", out}).Status, 0);
  EXPECT_EQ(ReadFileBytes(map), before);
  EXPECT_TRUE(InfoJson(out)["objects"].empty());
}

TEST(CliObjects, ADamagedObjectLineIsAWarningNamingItsLine) {
  TempDir dir;
  const std::string two = R"({"type":"label","text":"two"})";
  const std::string map = MapWithObjects(dir, {R"({"type":"label","text":"one"})", two});
  TMapEditLayerList m;
  m.LoadFromFile(map);
  std::string text = BuildMapText(m);
  const size_t at = text.find(two);
  ASSERT_NE(at, std::string::npos);
  const long line = std::count(text.begin(), text.begin() + long(at), '\n') + 1;
  text.replace(at, two.size(), R"({"type":"label","text":)");
  vctest::WriteFileBytes(map, vctest::Deflate(text));

  TCliResult r = RunCli({"info", map, "--json"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  ASSERT_EQ(json::parse(r.Out)["objects"].size(), 1u);
  EXPECT_NE(r.Err.find("warning"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("Line " + std::to_string(line) + " "), std::string::npos) << r.Err;
}

TEST(CliObjects, LabelLightAndWindowAddAndChangeObjects) {
  TempDir dir;
  const std::string map = MapWithObjects(dir, {});
  ASSERT_EQ(
      RunCli({"label", map, "96", "64", "Room 1", "--outline", "#FFFFFF", "--size", "0.75"}).Status,
      0);
  ASSERT_EQ(RunCli({"light", map, "100", "-20", "--radius", "2.5", "--color", "#80FFE0A0",
                    "--shadows", "off"})
                .Status,
            0);
  ASSERT_EQ(RunCli({"window", map, "h", "2", "1"}).Status, 0);
  ASSERT_EQ(RunCli({"window", map, "4", "4", "40", "4", "--color", "#00FF00"}).Status, 0);
  json objects = InfoJson(map)["objects"];
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(objects[0], json::parse(R"({"index":0,"type":"label","x":96,"y":64,"text":"Room 1",)"
                                    R"("size":0.75,"color":"#FF000000","outline":"#FFFFFFFF",)"
                                    R"("align":"center"})"));
  EXPECT_EQ(objects[1], json::parse(R"({"index":1,"type":"light","x":100,"y":-20,"radius":2.5,)"
                                    R"("color":"#80FFE0A0","intensity":1,"shadows":false})"));
  EXPECT_EQ(objects[2], json::parse(R"({"index":2,"type":"window","edge":"h","cx":2,"cy":1})"));
  EXPECT_EQ(objects[3]["color"], "#FF00FF00");

  // --index changes an object in its place; what is not given stays.
  ASSERT_EQ(RunCli({"label", map, "--index", "0", "--align", "left", "--outline", "none"}).Status,
            0);
  objects = InfoJson(map)["objects"];
  EXPECT_EQ(objects[0]["align"], "left");
  EXPECT_EQ(objects[0]["text"], "Room 1");
  EXPECT_FALSE(objects[0].contains("outline"));

  // Wrong words change nothing.
  const std::string before = ReadFileBytes(map);
  TCliResult r = RunCli({"label", map, "--index", "1", "--size", "2"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("object 1 is a light, not a label"), std::string::npos) << r.Err;
  r = RunCli({"light", map, "1", "2", "--radius", "-3"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("\"radius\""), std::string::npos) << r.Err;
  EXPECT_EQ(RunCli({"label", map, "1", "2"}).Status, 2);
  EXPECT_EQ(RunCli({"label", map, "1", "2", "x", "--color", "red"}).Status, 2);
  EXPECT_EQ(RunCli({"window", map, "d", "2", "1"}).Status, 2);
  EXPECT_EQ(RunCli({"window", map, "3", "3", "3", "3"}).Status, 2);
  EXPECT_EQ(RunCli({"light", map, "1", "2", "--shadows", "maybe"}).Status, 2);
  EXPECT_EQ(ReadFileBytes(map), before);
}

TEST(CliObjects, RenderAndExportChooseLabelsAndLights) {
  TempDir dir;
  const std::string map =
      MapWithObjects(dir, {R"({"type":"label","x":32,"y":24,"text":"1","size":1,)"
                           R"("color":"#FFFF0000","outline":"#FFFFFFFF"})",
                           R"({"type":"light","x":8,"y":8,"radius":1})"});
  // A floor under the light, which the preview darkens away from it.
  ASSERT_EQ(
      RunCli({"edit", map, "-e", "add-layer Floor 16777215", "-e", "rect-chips 0 0 3 2 1"}).Status,
      0);
  const std::string with = dir.File("with.png"), without = dir.File("without.png");
  ASSERT_EQ(RunCli({"render", map, with, "--quiet"}).Status, 0);
  ASSERT_EQ(RunCli({"render", map, without, "--no-labels", "--quiet"}).Status, 0);
  EXPECT_NE(ReadFileBytes(with), ReadFileBytes(without));
  const std::string lit = dir.File("lit.png");
  ASSERT_EQ(RunCli({"render", map, lit, "--no-labels", "--light-preview", "--quiet"}).Status, 0);
  EXPECT_NE(ReadFileBytes(lit), ReadFileBytes(without));

  const std::string vtt = dir.File("m.dd2vtt");
  ASSERT_EQ(RunCli({"export-vtt", map, vtt, "--quiet"}).Status, 0);
  json j = json::parse(ReadFileBytes(vtt));
  EXPECT_EQ(j["environment"]["baked_lighting"], false);
  EXPECT_EQ(j["lights"].size(), 1u);
  ASSERT_EQ(
      RunCli({"export-vtt", map, vtt, "--bake-lights", "--labels", "--merge-objects", "--quiet"})
          .Status,
      0);
  j = json::parse(ReadFileBytes(vtt));
  EXPECT_EQ(j["environment"]["baked_lighting"], true);
}
