// End-to-end tests of vellumcraft-cli: each runs the built executable.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "map/codec/image_file.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/raster/bitmap32.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using nlohmann::json;
using vctest::Deflate;
using vctest::ReadFileBytes;
using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;
using vctest::WriteFileBytes;

namespace {

// A failure: exit status 1 and exactly one line naming the file.
void ExpectOneLineFailure(const TCliResult& R, const std::string& Names) {
  EXPECT_EQ(R.Status, 1) << R.Err;
  EXPECT_EQ(R.Err.rfind("vellumcraft-cli: ", 0), 0u) << R.Err;
  ASSERT_FALSE(R.Err.empty());
  EXPECT_EQ(R.Err.find('\n'), R.Err.size() - 1) << R.Err;
  EXPECT_NE(R.Err.find(Names), std::string::npos) << R.Err;
}

json InfoJson(const std::string& Map) {
  TCliResult r = RunCli({"info", Map, "--json"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  return json::parse(r.Out);
}

void SolidTexture(const std::string& Path, TColor32 C) {
  TBitmap32 b;
  b.SetSize(4, 4);
  b.Clear(C);
  SaveBmpFile(b, Path);
}

TEST(Cli, NewThenInfoJson) {
  TempDir dir;
  const std::string map = dir.File("plain.qmx");
  TCliResult r = RunCli({"new", map, "--size", "4x3", "--chip", "16"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");

  json j = InfoJson(map);
  EXPECT_EQ(j["width"], 4);
  EXPECT_EQ(j["height"], 3);
  EXPECT_EQ(j["chip_size"], 16);
  EXPECT_EQ(j["pixel_width"], 64);
  EXPECT_EQ(j["pixel_height"], 48);
  EXPECT_EQ(j["encoding"], "shift_jis");
  ASSERT_EQ(j["layers"].size(), 1u);
  EXPECT_EQ(
      j["layers"][0],
      (json{{"index", 0}, {"name", "壁"}, {"type", "object"}, {"source", "0"}, {"texture", "ok"}}));
  EXPECT_EQ(
      j["doors"],
      (json{{"horizontal", json::array()}, {"vertical", json::array()}, {"free", json::array()}}));

  // The plain listing names the same things.
  TCliResult text = RunCli({"info", map});
  ASSERT_EQ(text.Status, 0);
  EXPECT_NE(text.Out.find("4 x 3 cells"), std::string::npos) << text.Out;
  EXPECT_NE(text.Out.find("64 x 48"), std::string::npos) << text.Out;
  EXPECT_NE(text.Out.find("壁"), std::string::npos) << text.Out;

  // Every cell is a chip cell of the wall.
  TMapEditLayerList loaded;
  loaded.LoadFromFile(map);
  for (int32_t x = 0; x < 4; ++x)
    for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(loaded.Cells(x, y), 1);
}

TEST(Cli, NewWithLayerSetAndMissingTextureWarning) {
  TempDir dir;
  fs::create_directory(dir.Path() / "textures");
  SolidTexture(dir.File("textures/grass.bmp"), 0xFF00A000);
  SolidTexture(dir.File("textures/stone.bmp"), 0xFF707070);
  WriteFileBytes(dir.File("outdoor.txt"),
                 "Grass\r\ntextures/grass.bmp\r\nStone\r\n<0,0,2>textures/stone.bmp\r\n");
  const std::string map = dir.File("set.qmx");
  // Run from another folder: the set's relative paths resolve beside the set.
  TCliResult r = RunCli(
      {"new", map, "--size", "3x3", "--chip", "8", "--layer-set", dir.File("outdoor.txt")}, "/");
  ASSERT_EQ(r.Status, 0) << r.Err;
  json j = InfoJson(map);
  ASSERT_EQ(j["layers"].size(), 3u);
  EXPECT_EQ(j["layers"][1]["name"], "Grass");
  EXPECT_EQ(j["layers"][1]["type"], "ground");
  // The set's textures lie beside the map: written relative to its folder, so that
  // the map can be moved with them.
  EXPECT_EQ(j["layers"][1]["source"], "textures/grass.bmp");
  EXPECT_EQ(j["layers"][2]["source"], "<0,0,2>textures/stone.bmp");
  EXPECT_EQ(j["layers"][2]["texture"], "ok");

  // A texture that went missing is a warning, not a failure.
  fs::remove(dir.File("textures/grass.bmp"));
  TCliResult info = RunCli({"info", map, "--json"});
  ASSERT_EQ(info.Status, 0) << info.Err;
  EXPECT_EQ(json::parse(info.Out)["layers"][1]["texture"], "missing");
  EXPECT_NE(info.Err.find("warning"), std::string::npos) << info.Err;

  // A set whose source is missing is refused when asked for by name: no map.
  TCliResult bad = RunCli({"new", dir.File("none.qmx"), "--size", "3x3", "--chip", "8",
                           "--layer-set", dir.File("outdoor.txt")});
  ExpectOneLineFailure(bad, "outdoor.txt:2");
  EXPECT_FALSE(fs::exists(dir.File("none.qmx")));
  TCliResult unknown = RunCli(
      {"new", dir.File("none.qmx"), "--size", "3x3", "--chip", "8", "--layer-set", "no-such-set"});
  ExpectOneLineFailure(unknown, "no-such-set");
  EXPECT_FALSE(fs::exists(dir.File("none.qmx")));
}

// Every edit command in one script, then the result checked through info and a
// reload of the grids.
TEST(Cli, EditScriptWithEveryCommand) {
  TempDir dir;
  const std::string map = dir.File("edit.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "6x4", "--chip", "16"}).Status, 0);
  WriteFileBytes(dir.File("script.txt"),
                 "# layers first\n"
                 "add-layer \"Stone floor\" 16777215 floor\n"
                 "add-layer Dirt 255 object before=0   # now layer 1; stone is 2\n"
                 "\n"
                 "rect-chips 4 3 1 1 2\n"
                 "paint-chip 0 0 1\n"
                 "fill 0 20 2\n"
                 "undo\n"
                 "redo\n"
                 "rect-pixels 20 40 17 36 1\n"
                 "circle 70 30 2 1\n"
                 "ellipse-chips 5 3 5 0 2\n"
                 "ellipse-pixels 0 48 16 64 1\n"
                 "door 2 1 h #FF0000\n"
                 "door 3 1 v\n"
                 "door 3 1 v\n"
                 "undo\n"
                 "free-door 10 10 50 12 #00FF00\n"
                 "free-door 10 30 50 30\n"
                 "erase-free-doors 30 31\n"
                 "undo\n"
                 "redo\n"
                 "edit-layer 0 \"Dirt path\" 8421504\n"
                 "add-layer Temp 0\n"
                 "delete-layer 2\n");
  const std::string out = dir.File("edited.qmx");
  const std::string before = ReadFileBytes(map);
  TCliResult r = RunCli(
      {"edit", map, "-o", out, "-e", "paint-chip 5 3 0", "--script", dir.File("script.txt")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadFileBytes(map), before);  // -o leaves the input alone

  json j = InfoJson(out);
  ASSERT_EQ(j["layers"].size(), 3u);
  EXPECT_EQ(j["layers"][1], (json{{"index", 1},
                                  {"name", "Dirt path"},
                                  {"type", "object"},
                                  {"source", "8421504"},
                                  {"texture", "ok"}}));
  EXPECT_EQ(j["layers"][2], (json{{"index", 2},
                                  {"name", "Stone floor"},
                                  {"type", "floor"},
                                  {"source", "16777215"},
                                  {"texture", "ok"}}));
  EXPECT_EQ(j["doors"]["horizontal"],
            (json::array({{{"x", 2}, {"y", 1}, {"color", 4294901760u}}})));
  EXPECT_EQ(j["doors"]["vertical"], (json::array({{{"x", 3}, {"y", 1}, {"color", 0}}})));
  ASSERT_EQ(j["doors"]["free"].size(), 1u);
  EXPECT_EQ(j["doors"]["free"][0],
            (json{{"x", 10}, {"y", 10}, {"x2", 50}, {"y2", 12}, {"color", 4278255360u}}));

  TMapEditLayerList m;
  m.LoadFromFile(out);
  EXPECT_EQ(m.PixelLayers(0, 0), 1);  // the dirt chip
  EXPECT_EQ(m.Cells(0, 0), 1);
  EXPECT_EQ(m.PixelLayers(20, 20), 2);  // the stone rectangle, corners put in order
  EXPECT_EQ(m.PixelLayers(79, 63), 2);
  EXPECT_EQ(m.PixelLayers(15, 15), 1);
  EXPECT_EQ(m.Cells(1, 1), 1);
  EXPECT_EQ(m.PixelLayers(0, 20), 2);  // the fill, undone and redone
  EXPECT_EQ(m.PixelLayers(0, 47), 2);
  EXPECT_EQ(m.PixelLayers(17, 36), 1);  // pixel rectangle 17..19 x 36..39
  EXPECT_EQ(m.PixelLayers(19, 39), 1);
  EXPECT_EQ(m.PixelLayers(20, 39), 2);
  EXPECT_EQ(m.PixelLayers(19, 40), 2);
  EXPECT_EQ(m.PixelLayers(16, 36), 2);
  EXPECT_EQ(m.Cells(1, 2), 0);
  EXPECT_EQ(m.PixelLayers(70, 30), 1);  // the stamp of radius 2
  EXPECT_EQ(m.PixelLayers(70, 32), 1);
  EXPECT_EQ(m.PixelLayers(70, 33), 2);
  EXPECT_EQ(m.PixelLayers(71, 31), 1);
  EXPECT_EQ(m.PixelLayers(72, 32), 2);
  EXPECT_EQ(m.Cells(4, 1), 0);
  EXPECT_EQ(m.PixelLayers(88, 32), 2);  // the one-column ellipse
  EXPECT_EQ(m.PixelLayers(80, 0), 0);
  EXPECT_EQ(m.Cells(5, 0), 0);
  EXPECT_EQ(m.PixelLayers(8, 56), 1);  // the pixel ellipse's centre, not its corner
  EXPECT_EQ(m.PixelLayers(0, 48), 2);
  EXPECT_EQ(m.Cells(0, 3), 0);
}

TEST(Cli, UndoLimitAndUndoRedoErrors) {
  TempDir dir;
  const std::string map = dir.File("u.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "3x1", "--chip", "8", "--layer-set", ""}).Status, 2);
  ASSERT_EQ(RunCli({"new", map, "--size", "3x1", "--chip", "8"}).Status, 0);
  ASSERT_EQ(RunCli({"edit", map, "-e", "add-layer A 255"}).Status, 0);
  const std::string before = ReadFileBytes(map);

  // With a limit of 2, three edits keep two records: the first cannot be undone.
  TCliResult ok =
      RunCli({"edit", map, "--undo-limit", "2", "-e", "paint-chip 0 0 1", "-e", "paint-chip 1 0 1",
              "-e", "paint-chip 2 0 1", "-e", "undo", "-e", "undo"});
  ASSERT_EQ(ok.Status, 0) << ok.Err;
  TMapEditLayerList m;
  m.LoadFromFile(map);
  EXPECT_EQ(m.PixelLayers(1, 1), 1);
  EXPECT_EQ(m.PixelLayers(9, 1), 0);
  EXPECT_EQ(m.PixelLayers(17, 1), 0);

  const std::string after = ReadFileBytes(map);
  TCliResult third =
      RunCli({"edit", map, "--undo-limit", "2", "-e", "paint-chip 0 0 0", "-e", "paint-chip 1 0 1",
              "-e", "paint-chip 2 0 1", "-e", "undo", "-e", "undo", "-e", "undo"});
  ExpectOneLineFailure(third, "nothing to undo");
  EXPECT_EQ(ReadFileBytes(map), after);  // a failed edit changes nothing
  ExpectOneLineFailure(RunCli({"edit", map, "-e", "redo"}), "nothing to redo");
  EXPECT_NE(before, after);
}

TEST(Cli, RenderShadeBesideAWall) {
  TempDir dir;
  const std::string map = dir.File("shade.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "2x1", "--chip", "32"}).Status, 0);
  ASSERT_EQ(
      RunCli({"edit", map, "-e", "add-layer white 16777215", "-e", "paint-chip 1 0 1"}).Status, 0);
  const std::string png = dir.File("shade.png");
  TCliResult r = RunCli({"render", map, png});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");  // not a terminal: no progress bar
  TBitmap32 img;
  LoadImageFile(png, img);
  ASSERT_EQ(img.Width(), 64);
  ASSERT_EQ(img.Height(), 32);
  auto shaded = [](int a) {
    uint32_t c = uint32_t((a * (0 - 255) + 256 * 255 + 128) >> 8);
    return 0xFF000000u | (c << 16) | (c << 8) | c;
  };
  for (int32_t y : {0, 15, 31}) {
    EXPECT_EQ(img.Pixel(31, y), 0xFF000000u);
    EXPECT_EQ(img.Pixel(32, y), 0xFFFFFFFFu);
    EXPECT_EQ(img.Pixel(34, y), 0xFFFFFFFFu);
    EXPECT_EQ(img.Pixel(35, y), shaded(123));
    EXPECT_EQ(img.Pixel(36, y), shaded(113));
    EXPECT_EQ(img.Pixel(47, y), shaded(3));
    EXPECT_EQ(img.Pixel(48, y), 0xFFFFFFFFu);
  }
}

TEST(Cli, RenderGridSidesAtExactColumnsAndRows) {
  TempDir dir;
  const std::string map = dir.File("grid.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "3x2", "--chip", "16"}).Status, 0);
  ASSERT_EQ(
      RunCli({"edit", map, "-e", "add-layer white 16777215", "-e", "rect-chips 0 0 2 1 1"}).Status,
      0);
  auto render = [&](TBitmap32& Img, std::vector<std::string> Extra) {
    std::vector<std::string> args{"render", map, dir.File("g.png")};
    args.insert(args.end(), Extra.begin(), Extra.end());
    TCliResult r = RunCli(args);
    EXPECT_EQ(r.Status, 0) << r.Err;
    LoadImageFile(dir.File("g.png"), Img);
    EXPECT_EQ(Img.Width(), 48);
    EXPECT_EQ(Img.Height(), 32);
  };
  auto columns = [](const TBitmap32& B, int32_t Y, TColor32 C) {
    std::vector<int32_t> xs;
    for (int32_t x = 0; x < B.Width(); ++x)
      if (B.Pixel(x, Y) == C) xs.push_back(x);
    return xs;
  };
  auto rows = [](const TBitmap32& B, int32_t X, TColor32 C) {
    std::vector<int32_t> ys;
    for (int32_t y = 0; y < B.Height(); ++y)
      if (B.Pixel(X, y) == C) ys.push_back(y);
    return ys;
  };
  const TColor32 gray = 0xFF808080, red = 0xFFFF0000;

  TBitmap32 none;
  render(none, {});
  EXPECT_TRUE(columns(none, 8, gray).empty());
  EXPECT_EQ(none.Pixel(20, 20), 0xFFFFFFFFu);

  TBitmap32 left;
  render(left, {"--grid", "left"});
  EXPECT_EQ(columns(left, 8, gray), (std::vector<int32_t>{0, 16, 32}));
  EXPECT_TRUE(rows(left, 8, gray).empty());

  TBitmap32 rb;
  render(rb, {"--grid", "right,bottom", "--grid-color", "#FF0000"});
  EXPECT_EQ(columns(rb, 8, red), (std::vector<int32_t>{15, 31, 47}));
  EXPECT_EQ(rows(rb, 8, red), (std::vector<int32_t>{15, 31}));

  TBitmap32 top;
  render(top, {"--grid", "top"});
  EXPECT_EQ(rows(top, 8, gray), (std::vector<int32_t>{0, 16}));
  EXPECT_TRUE(columns(top, 8, gray).empty());

  // Half-tone red over white: (255, 128, 128); all four sides.
  TBitmap32 half;
  render(half, {"--grid", "all", "--grid-color", "#FF0000", "--half-tone"});
  const TColor32 pink = 0xFFFF8080;
  EXPECT_EQ(columns(half, 8, pink), (std::vector<int32_t>{0, 15, 16, 31, 32, 47}));
  EXPECT_EQ(rows(half, 8, pink), (std::vector<int32_t>{0, 15, 16, 31}));

  // JPEG and BMP by extension.
  ASSERT_EQ(RunCli({"render", map, dir.File("g.JPG")}).Status, 0);
  EXPECT_EQ(ReadFileBytes(dir.File("g.JPG")).substr(0, 2), "\xFF\xD8");
  ASSERT_EQ(RunCli({"render", map, dir.File("g.jpeg")}).Status, 0);
  EXPECT_EQ(ReadFileBytes(dir.File("g.jpeg")).substr(0, 2), "BM");
}

TEST(Cli, FailuresGiveOneLineAndNoOutput) {
  TempDir dir;
  const std::string map = dir.File("good.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "2x2", "--chip", "8"}).Status, 0);
  const std::string good = ReadFileBytes(map);

  WriteFileBytes(dir.File("damaged.qmx"), good.substr(0, good.size() / 2) + "garbage");
  WriteFileBytes(dir.File("text.qmx"), Deflate("HELLO\r\nthis is no map\r\n"));
  WriteFileBytes(dir.File("plain.txt"), "just some text\n");

  for (const char* name : {"damaged.qmx", "text.qmx", "plain.txt", "missing.qmx"}) {
    const std::string in = dir.File(name);
    const std::string inBytes = fs::exists(in) ? ReadFileBytes(in) : "";
    ExpectOneLineFailure(RunCli({"info", in}), name);
    ExpectOneLineFailure(RunCli({"render", in, dir.File("out.png")}), name);
    EXPECT_FALSE(fs::exists(dir.File("out.png"))) << name;
    ExpectOneLineFailure(RunCli({"edit", in, "-o", dir.File("out.qmx"), "-e", "undo"}), name);
    EXPECT_FALSE(fs::exists(dir.File("out.qmx"))) << name;
    if (fs::exists(in)) {
      EXPECT_EQ(ReadFileBytes(in), inBytes) << name;
    }
  }
  EXPECT_NE(RunCli({"info", dir.File("text.qmx")}).Err.find("not a map"), std::string::npos);

  // Bad commands: the map stays as it was, nothing else is written.
  for (const char* command :
       {"paint-chip 9 0 0", "paint-chip 0 0 5", "fly 1 2", "door 0 0 x", "rect-pixels 3 3 3 9 0",
        "circle 1 1", "add-layer X 1 sideways", "add-layer X /no/such/texture.png",
        "delete-layer 0", "door 0 0 h #12345"}) {
    ExpectOneLineFailure(RunCli({"edit", map, "-e", command}), "good.qmx");
    EXPECT_EQ(ReadFileBytes(map), good) << command;
  }
  WriteFileBytes(dir.File("bad.txt"), "paint-chip 0 0 0\n\nfly away\n");
  TCliResult script =
      RunCli({"edit", map, "-o", dir.File("out.qmx"), "--script", dir.File("bad.txt")});
  ExpectOneLineFailure(script, "bad.txt:3");
  EXPECT_FALSE(fs::exists(dir.File("out.qmx")));
  ExpectOneLineFailure(RunCli({"edit", map, "--script", dir.File("none.txt")}), "none.txt");

  // Output into a missing folder: nothing written, one line naming it.
  ExpectOneLineFailure(RunCli({"render", map, dir.File("no/dir/x.png")}), "x.png");
  ExpectOneLineFailure(RunCli({"new", dir.File("no/dir/x.qmx"), "--size", "2x2", "--chip", "8"}),
                       "x.qmx");
  // Rendering over the map itself would destroy it.
  ExpectOneLineFailure(RunCli({"render", map, map}), "good.qmx");
  EXPECT_EQ(ReadFileBytes(map), good);

  // Only the files made here are in the folder: no temporary file is left.
  for (const auto& e : fs::directory_iterator(dir.Path()))
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
}

TEST(Cli, UsageErrorsExitTwo) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"info"},
           {"info", "a.qmx", "--bogus"},
           {"new", "x.qmx", "--size", "0x5", "--chip", "8"},
           {"new", "x.qmx", "--size", "5x201", "--chip", "8"},
           {"new", "x.qmx", "--size", "5x5", "--chip", "101"},
           {"new", "x.qmx", "--size", "5x5"},
           {"edit", "a.qmx", "--undo-limit", "0"},
           {"edit", "a.qmx", "-e"},
           {"render", "a.qmx"},
           {"render", "a.qmx", "b.png", "--grid", "middle"},
           {"render", "a.qmx", "b.png", "--grid-color", "gray"}}) {
    TCliResult r = RunCli(args);
    EXPECT_EQ(r.Status, 2) << r.Err;
    EXPECT_EQ(r.Err.rfind("vellumcraft-cli: ", 0), 0u) << r.Err;
    EXPECT_NE(r.Err.find("usage:"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
  }
  TCliResult help = RunCli({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("vellumcraft-cli render MAP OUT"), std::string::npos);
  TCliResult version = RunCli({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out.rfind("vellumcraft-cli ", 0), 0u);
}

}  // namespace

namespace {

// Every command that writes a file from a map refuses the map itself as the
// output, and a folder, leaving the map as it was.
TEST(Cli, OutputCommandsRefuseTheMapAndFolders) {
  vctest::TempDir dir;
  const std::string map = dir.File("m.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "3x2", "--chip", "8"}).Status, 0);
  const std::string before = vctest::ReadFileBytes(map);
  const std::vector<std::vector<std::string>> commands = {
      {"render", map, map},
      {"export-vtt", map, map},
      {"print", map, map, "--cell", "1in"},
      {"render", map, dir.Path().string()},
      {"print", map, dir.Path().string(), "--cell", "1in"},
  };
  for (const auto& args : commands) {
    TCliResult r = RunCli(args);
    EXPECT_EQ(r.Status, 1) << args[0] << " " << args[2];
    const bool named = r.Err.find("is the map itself") != std::string::npos ||
                       r.Err.find("is a folder") != std::string::npos;
    EXPECT_TRUE(named) << r.Err;
    EXPECT_EQ(vctest::ReadFileBytes(map), before) << args[0];
  }
}

}  // namespace
