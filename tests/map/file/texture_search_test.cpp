// Missing textures looked for by file name in a folder and its sub-folders.

#include "map/file/texture_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

TEST(TextureSearch, FindsByNameNearestAndExactFirstWithinBounds) {
  vctest::TempDir dir;
  const fs::path root = dir.Path();
  const fs::path look = root / "look";
  // grass.png: a nearer and a deeper copy; the nearer wins.
  vctest::WriteSolidPng(look / "a/grass.png", 0xFF00A000u);
  vctest::WriteSolidPng(look / "a/b/c/grass.png", 0xFFFF0000u);
  // stone: only in other letter case, and an exact match deeper wins over it.
  vctest::WriteSolidPng(look / "Stone.PNG", 0xFF101010u);
  vctest::WriteSolidPng(look / "x/stone.png", 0xFF707070u);
  // water: only in other letter case.
  vctest::WriteSolidPng(look / "WATER.png", 0xFF0000C0u);
  // sand: too deep to be found.
  fs::path deep = look;
  for (int32_t i = 0; i <= kTextureSearchDepth; ++i) deep /= "d";
  vctest::WriteSolidPng(deep / "sand.png", 0xFFC0C000u);
  // rock: found, but not an image.
  fs::create_directories(look / "r");
  vctest::WriteFileBytes((look / "r/rock.png").string(), "not a png");

  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  for (const char* s : {"0", "gone/grass.png", "C:\\maps\\stone.png", "<0,0,2>water.png",
                        "sand.png", "rock.png", "none.png", "65280", "tex/grass.png"})
    map.AddLayer()->SetFileNameOnly(s);
  vctest::WriteFileBytes((root / "m.qmx").string(), BuildMapFile(map));
  TMapEditLayerList doc;
  TMapLoadReport loaded;
  doc.LoadFromFile((root / "m.qmx").string(), loaded);
  ASSERT_EQ(loaded.MissingTextures.size(), 7u);

  TTextureSearchReport report;
  RebindMissingTextures(doc, look.string(), report);
  EXPECT_EQ(report.Rebound, 4);
  EXPECT_EQ(report.StillMissing, (std::vector<std::string>{"sand.png", "rock.png", "none.png"}));
  EXPECT_EQ(doc.Layers(1)->FileName(), (look / "a/grass.png").string());
  EXPECT_EQ(doc.Layers(2)->FileName(), (look / "x/stone.png").string());
  EXPECT_EQ(doc.Layers(3)->FileName(), "<0,0,2>" + (look / "WATER.png").string());
  EXPECT_EQ(doc.Layers(8)->FileName(), (look / "a/grass.png").string());
  EXPECT_EQ(doc.Layers(1)->BMP().Pixel(5, 2) & 0xFFFFFFu, 0x00A000u);
  EXPECT_EQ(doc.Layers(2)->BMP().Pixel(5, 2) & 0xFFFFFFu, 0x707070u);
  EXPECT_EQ(doc.Layers(3)->BMP().Pixel(5, 2) & 0xFFFFFFu, 0x0000C0u);
  for (int32_t i : {1, 2, 3, 8}) EXPECT_EQ(doc.Layers(i)->TextureState, TTextureState::Ok) << i;
  // The ones not found keep their source and placeholder.
  EXPECT_EQ(doc.Layers(4)->FileName(), "sand.png");
  EXPECT_EQ(doc.Layers(5)->FileName(), "rock.png");
  EXPECT_EQ(doc.Layers(5)->TextureState, TTextureState::Missing);
  EXPECT_EQ(doc.Layers(4)->BMP().Pixel(0, 0) & 0xFFFFFFu, 0xFF00FFu);
  EXPECT_EQ(doc.Layers(5)->BMP().Pixel(0, 0) & 0xFFFFFFu, 0xFF00FFu);

  // Nothing left to find in a second search of the same folder.
  RebindMissingTextures(doc, look.string(), report);
  EXPECT_EQ(report.Rebound, 0);
  EXPECT_EQ(report.StillMissing.size(), 3u);
}
