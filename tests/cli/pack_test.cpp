// vellumcraft-cli pack: a map and its textures copied into one folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "cli/cli_runner.h"
#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;

TEST(CliPack, PacksAndRefusesWithOneLine) {
  TempDir dir;
  vctest::WriteSolidPng(dir.Path() / "textures/grass.png", 0xFF00A000u);
  vctest::WriteFileBytes(dir.File("set.txt"), "Grass\r\ntextures/grass.png\r\n");
  const std::string map = dir.File("maps/m.qmx");
  fs::create_directories(dir.Path() / "maps");
  TCliResult made = RunCli(
      {"new", map, "--size", "2x2", "--chip", "8", "--layer-set", dir.File("set.txt"), "--quiet"});
  ASSERT_EQ(made.Status, 0) << made.Err;

  TCliResult packed = RunCli({"pack", map, dir.File("out")});
  ASSERT_EQ(packed.Status, 0) << packed.Err;
  EXPECT_NE(packed.Out.find("-> textures/grass.png"), std::string::npos) << packed.Out;
  EXPECT_NE(packed.Out.find(dir.File("out/m.qmx")), std::string::npos) << packed.Out;
  fs::rename(dir.Path() / "out", dir.Path() / "moved");
  fs::remove_all(dir.Path() / "textures");
  TMapEditLayerList back;
  TMapLoadReport report;
  back.LoadFromFile(dir.File("moved/m.qmx"), report);
  EXPECT_TRUE(report.MissingTextures.empty());
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Layers(1)->FileName(), "textures/grass.png");
  EXPECT_EQ(back.Layers(1)->TextureState, TTextureState::Ok);

  // The original's texture is gone now: exit status 1, one line naming the map and
  // the texture, no output folder.
  TCliResult missing = RunCli({"pack", map, dir.File("out2")});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Err.find("vellumcraft-cli: " + map + ": "), 0u) << missing.Err;
  EXPECT_NE(missing.Err.find("cannot be found"), std::string::npos) << missing.Err;
  EXPECT_EQ(std::count(missing.Err.begin(), missing.Err.end(), '\n'), 1) << missing.Err;
  EXPECT_FALSE(fs::exists(dir.Path() / "out2"));

  // Usage errors: exit status 2.
  EXPECT_EQ(RunCli({"pack", map}).Status, 2);
  EXPECT_EQ(RunCli({"pack", map, dir.File("a"), dir.File("b")}).Status, 2);
  EXPECT_EQ(RunCli({"pack", map, dir.File("a"), "--fast"}).Status, 2);
}

TEST(CliPack, EditIntoAnotherFolderRewritesTexturePaths) {
  TempDir dir;
  vctest::WriteSolidPng(dir.Path() / "A/textures/grass.png", 0xFF00A000u);
  vctest::WriteFileBytes(dir.File("A/set.txt"), "Grass\r\ntextures/grass.png\r\n");
  const std::string map = dir.File("A/m.qmx");
  TCliResult made = RunCli(
      {"new", map, "--size", "2x2", "--chip", "8", "--layer-set", dir.File("A/set.txt"), "--quiet"},
      "/");
  ASSERT_EQ(made.Status, 0) << made.Err;
  fs::create_directories(dir.Path() / "B");
  // Written into a sibling folder, from yet another current folder.
  TCliResult r = RunCli({"edit", map, "-o", dir.File("B/m.qmx"), "--quiet"}, "/");
  ASSERT_EQ(r.Status, 0) << r.Err;
  TMapEditLayerList back;
  TMapLoadReport report;
  back.LoadFromFile(dir.File("B/m.qmx"), report);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Layers(1)->FileName(), "../A/textures/grass.png");
  EXPECT_EQ(back.Layers(1)->TextureState, TTextureState::Ok);
  // The source map names it from its own folder.
  TMapEditLayerList source;
  source.LoadFromFile(map, report);
  EXPECT_EQ(source.Layers(1)->FileName(), "textures/grass.png");
}
