// Packing a map with its textures into one folder that opens anywhere.

#include "map/file/map_pack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/file/map_file.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// A map in Root/maps/cave.qmx whose layers use Root/tex/grass.png (twice),
// Root/other/grass.png (another file of the same name), a chip of Root/tex/stone.png
// and a colour.
std::string MakeMap(const fs::path& Root) {
  vctest::WriteSolidPng(Root / "tex/grass.png", 0xFF00A000u);
  vctest::WriteSolidPng(Root / "other/grass.png", 0xFF0000C0u);
  vctest::WriteSolidPng(Root / "tex/stone.png", 0xFF707070u);
  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  map.AddLayer()->SetFileName("0");
  const std::string sources[] = {
      (Root / "tex/grass.png").string(), (Root / "other/grass.png").string(),
      "<0,0,2>" + (Root / "tex/stone.png").string(), (Root / "tex/grass.png").string(), "65280"};
  for (const std::string& s : sources) map.AddLayer()->SetFileName(s);
  fs::create_directories(Root / "maps");
  const std::string file = (Root / "maps/cave.qmx").string();
  TMapEditSession session(map, 10);
  TMapSaveReport report;
  EXPECT_TRUE(session.Save(file, report));
  return file;
}

std::string ErrorOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const EMapPackError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(MapPack, PackedMapCopiedElsewhereOpensWithEveryTexture) {
  vctest::TempDir dir;
  const fs::path src = dir.Path() / "src";
  const std::string file = MakeMap(src);
  const std::string before = vctest::ReadFileBytes(file);

  TPackReport report;
  PackMapFile(file, (dir.Path() / "out").string(), report);
  EXPECT_EQ(report.MapFile, (dir.Path() / "out/cave.qmx").string());
  ASSERT_EQ(report.Textures.size(), 3u);  // grass once, the other grass, stone
  EXPECT_EQ(report.Textures[0].Name, "textures/grass.png");
  EXPECT_EQ(report.Textures[1].Name, "textures/grass-2.png");
  EXPECT_EQ(report.Textures[2].Name, "textures/stone.png");
  // The source map is untouched.
  EXPECT_EQ(vctest::ReadFileBytes(file), before);

  // Copied to a fresh folder, the originals gone.
  const fs::path fresh = dir.Path() / "elsewhere/deep/pack";
  fs::create_directories(fresh.parent_path());
  fs::copy(dir.Path() / "out", fresh, fs::copy_options::recursive);
  fs::remove_all(src);
  fs::remove_all(dir.Path() / "out");

  TMapEditLayerList back;
  TMapLoadReport loaded;
  back.LoadFromFile((fresh / "cave.qmx").string(), loaded);
  EXPECT_TRUE(loaded.MissingTextures.empty());
  ASSERT_EQ(back.Count(), 6);
  const std::vector<std::string> expected = {"0",
                                             "textures/grass.png",
                                             "textures/grass-2.png",
                                             "<0,0,2>textures/stone.png",
                                             "textures/grass.png",
                                             "65280"};
  for (int32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(back.Layers(i)->FileName(), expected[size_t(i)]) << i;
    EXPECT_EQ(back.Layers(i)->TextureState, TTextureState::Ok) << i;
  }
  EXPECT_EQ(back.Layers(1)->BMP().Pixel(3, 5) & 0xFFFFFFu, 0x00A000u);
  EXPECT_EQ(back.Layers(2)->BMP().Pixel(3, 5) & 0xFFFFFFu, 0x0000C0u);
  EXPECT_EQ(back.Layers(3)->BMP().Pixel(3, 5) & 0xFFFFFFu, 0x707070u);
  EXPECT_EQ(back.Layers(4)->BMP().Pixel(0, 0) & 0xFFFFFFu, 0x00A000u);
  EXPECT_EQ(fs::file_size(fresh / "textures/grass.png") > 0, true);
  EXPECT_EQ(std::distance(fs::directory_iterator(fresh / "textures"), fs::directory_iterator()), 3);
}

TEST(MapPack, PackingAnOpenMapLeavesItAsItWasAndRepacksInPlace) {
  vctest::TempDir dir;
  const std::string file = MakeMap(dir.Path());
  TMapEditSession session;
  TMapLoadReport loaded;
  session.Open(file, loaded);
  const std::string source1 = session.Map().Layers(1)->FileName();
  const std::string folder = session.Map().TextureFolder;
  EXPECT_EQ(source1, "../tex/grass.png");

  TPackReport report;
  PackMap(session.Map(), session.FileName(), (dir.Path() / "pack").string(), report);
  EXPECT_EQ(session.Map().Layers(1)->FileName(), source1);
  EXPECT_EQ(session.Map().TextureFolder, folder);
  EXPECT_EQ(report.Textures.size(), 3u);

  // Packing the packed map again into its own folder would replace it.
  const std::string packed = (dir.Path() / "pack/cave.qmx").string();
  EXPECT_NE(ErrorOf([&] {
              PackMapFile(packed, (dir.Path() / "pack").string(), report);
            }).find("would replace the map"),
            std::string::npos);
  // Into a folder beside it: its textures, already in a "textures" folder, are read
  // from there.
  PackMapFile(packed, (dir.Path() / "pack2").string(), report);
  EXPECT_EQ(report.Textures.size(), 3u);
  EXPECT_EQ(report.Textures[1].Name, "textures/grass-2.png");
}

TEST(MapPack, RefusedPacksWriteNothing) {
  vctest::TempDir dir;
  const std::string file = MakeMap(dir.Path());

  // A missing texture names the layer and its source; no folder is made.
  fs::remove(dir.Path() / "tex/stone.png");
  const std::string missing = ErrorOf([&] {
    TPackReport r;
    PackMapFile(file, (dir.Path() / "out").string(), r);
  });
  EXPECT_NE(missing.find("layer 3"), std::string::npos) << missing;
  EXPECT_NE(missing.find("<0,0,2>../tex/stone.png"), std::string::npos) << missing;
  EXPECT_NE(missing.find("cannot be found"), std::string::npos) << missing;
  EXPECT_FALSE(fs::exists(dir.Path() / "out"));
  vctest::WriteSolidPng(dir.Path() / "tex/stone.png", 0xFF707070u);

  // A folder that cannot be made (a file is in the way).
  vctest::WriteFileBytes((dir.Path() / "file").string(), "x");
  const std::string blocked = ErrorOf([&] {
    TPackReport r;
    PackMapFile(file, (dir.Path() / "file/out").string(), r);
  });
  EXPECT_NE(blocked.find("cannot be made"), std::string::npos) << blocked;

  // Into the map's own folder: the map itself would be replaced.
  const std::string before = vctest::ReadFileBytes(file);
  const std::string itself = ErrorOf([&] {
    TPackReport r;
    PackMapFile(file, (dir.Path() / "maps").string(), r);
  });
  EXPECT_NE(itself.find("would replace the map"), std::string::npos) << itself;
  EXPECT_EQ(vctest::ReadFileBytes(file), before);
  EXPECT_FALSE(fs::exists(dir.Path() / "maps/textures"));
}
