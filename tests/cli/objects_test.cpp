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
