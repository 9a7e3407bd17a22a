// Texture paths written for the folder a map is saved into, and read against the
// map's folder.

#include "map/file/texture_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/file/map_file.h"
#include "map/file/recovery_store.h"
#include "record/errors.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// The text of a map file (one zlib stream).
std::string InflateFile(const std::string& Path) {
  const std::string bytes = vctest::ReadFileBytes(Path);
  z_stream z{};
  EXPECT_EQ(inflateInit(&z), Z_OK);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = uInt(bytes.size());
  std::string out;
  char buffer[65536];
  int r = Z_OK;
  while (r == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    r = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  }
  inflateEnd(&z);
  EXPECT_EQ(r, Z_STREAM_END);
  return out;
}

// The "type:source" lines of the layers (the second line of each layer).
std::vector<std::string> LayerSourceLines(const std::string& Path) {
  const std::string text = InflateFile(Path);
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end - at));
    if (end == std::string::npos) break;
    at = end + 2;
  }
  std::vector<std::string> out;
  const int32_t layers = std::stoi(lines.at(1));
  for (int32_t i = 0; i < layers; ++i) out.push_back(lines.at(size_t(3 + 2 * i)));
  return out;
}

// Runs from another folder for the object's life.
class TChangeFolder {
 public:
  explicit TChangeFolder(const fs::path& Folder) : FOld(fs::current_path()) {
    fs::current_path(Folder);
  }
  ~TChangeFolder() { fs::current_path(FOld); }

 private:
  fs::path FOld;
};

}  // namespace

TEST(TexturePaths, SourcesAreWrittenRelativeBelowOrBesideAndAbsoluteFurther) {
  vctest::TempDir dir;
  const fs::path root = dir.Path();
  vctest::WriteSolidPng(root / "A/textures/grass.png", 0xFF00A000u);
  const std::string a = (root / "A").string();

  // Beside (one level up), below, in the folder itself, and the same folder.
  EXPECT_EQ(TextureSourceForFolder("textures/grass.png", a, (root / "B").string()),
            "../A/textures/grass.png");
  EXPECT_EQ(TextureSourceForFolder("textures/grass.png", a, (root / "A/textures").string()),
            "grass.png");
  EXPECT_EQ(TextureSourceForFolder("textures/grass.png", a, (root / "A/maps").string()),
            "../textures/grass.png");
  EXPECT_EQ(TextureSourceForFolder("textures/grass.png", a, a), "textures/grass.png");
  // Two levels up is written absolute.
  EXPECT_EQ(TextureSourceForFolder("textures/grass.png", a, (root / "X/Y").string()),
            (root / "A/textures/grass.png").string());
  // An absolute path beside the new folder becomes relative; the chip prefix stays.
  EXPECT_EQ(TextureSourceForFolder("<4,0,2>" + (root / "A/textures/grass.png").string(), "", a),
            "<4,0,2>textures/grass.png");
  // A relative source that still names the same file keeps its text, separators
  // and all; written for another folder it gets '/'.
  EXPECT_EQ(TextureSourceForFolder("textures\\grass.png", a, a), "textures\\grass.png");
  EXPECT_EQ(TextureSourceForFolder("textures\\grass.png", a, (root / "B").string()),
            "../A/textures/grass.png");
  // A missing file is written as where the map expected it.
  EXPECT_EQ(TextureSourceForFolder("gone/rock.png", a, (root / "B").string()),
            "../A/gone/rock.png");
  EXPECT_EQ(TextureSourceForFolder("<0,0,2>gone.png", a, (root / "A/sub").string()),
            "<0,0,2>../gone.png");
  // Colours, empty text, malformed chips and another machine's missing Windows
  // path are left alone.
  for (const char* s : {"0", "65280", "", "<1,x,2>a.png", "C:\\maps\\gone.png"})
    EXPECT_EQ(TextureSourceForFolder(s, a, (root / "B").string()), s) << s;
  // Another machine's Windows path whose file lies in the map's folder.
  vctest::WriteSolidPng(root / "A/stone.png", 0xFF707070u);
  EXPECT_EQ(TextureSourceForFolder("C:\\Users\\x\\stone.png", a, (root / "B").string()),
            "../A/stone.png");
}

TEST(TexturePaths, MapSavedIntoAnotherFolderReopensWithEveryTexture) {
  vctest::TempDir dir;
  const fs::path root = dir.Path();
  vctest::WriteSolidPng(root / "A/textures/grass.png", 0xFF00A000u);
  vctest::WriteSolidPng(root / "A/textures/stone.png", 0xFF707070u);
  // A decoy in the folder the program runs from: a relative path must be read
  // against the map's folder first.
  vctest::WriteSolidPng(root / "run/textures/grass.png", 0xFFFF0000u);
  TChangeFolder run(root / "run");

  // Made with absolute paths, as a layer set gives them; saved in A they become
  // relative.
  {
    TMapEditLayerList map;
    map.SetSize(2, 2, 4);
    map.AddLayer()->SetFileName("0");
    TMapEditLayer* grass = map.AddLayer();
    grass->LayerName = "grass";
    grass->SetFileName((root / "A/textures/grass.png").string());
    TMapEditLayer* stone = map.AddLayer();
    stone->LayerName = "stone";
    stone->SetFileName("<0,0,2>" + (root / "A/textures/stone.png").string());
    TMapEditSession session(map, 10);
    TMapSaveReport report;
    ASSERT_TRUE(session.Save((root / "A/map.qmx").string(), report));
  }
  EXPECT_EQ(
      LayerSourceLines((root / "A/map.qmx").string()),
      (std::vector<std::string>{"0:0", "0:textures/grass.png", "0:<0,0,2>textures/stone.png"}));

  struct TCase {
    std::string File;
    std::vector<std::string> Lines;
  };
  const std::string absGrass = (root / "A/textures/grass.png").string();
  const std::string absStone = (root / "A/textures/stone.png").string();
  const TCase cases[] = {
      {"B/map.qmx", {"0:0", "0:../A/textures/grass.png", "0:<0,0,2>../A/textures/stone.png"}},
      {"A/maps/map.qmx", {"0:0", "0:../textures/grass.png", "0:<0,0,2>../textures/stone.png"}},
      {"far/away/map.qmx", {"0:0", "0:" + absGrass, "0:<0,0,2>" + absStone}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    fs::create_directories((root / c.File).parent_path());
    TMapEditSession session;
    TMapLoadReport loaded;
    session.Open((root / "A/map.qmx").string(), loaded);
    ASSERT_TRUE(loaded.MissingTextures.empty());
    TMapSaveReport saved;
    ASSERT_TRUE(session.Save((root / c.File).string(), saved));
    EXPECT_EQ(LayerSourceLines((root / c.File).string()), c.Lines);
    // The open map's sources now belong to the new folder.
    EXPECT_EQ(session.Map().Layers(1)->FileName(), c.Lines[1].substr(2));

    TMapEditLayerList back;
    TMapLoadReport report;
    back.LoadFromFile((root / c.File).string(), report);
    EXPECT_TRUE(report.MissingTextures.empty());
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.Layers(1)->TextureState, TTextureState::Ok);
    EXPECT_EQ(back.Layers(2)->TextureState, TTextureState::Ok);
    EXPECT_EQ(back.Layers(1)->BMP().Pixel(5, 6) & 0xFFFFFFu, 0x00A000u);
    EXPECT_EQ(back.Layers(2)->BMP().Pixel(1, 1) & 0xFFFFFFu, 0x707070u);
    // A resize rebuilds the images from the relative sources, read against the
    // map's folder as well.
    back.SetSize(3, 2, 4);
    EXPECT_EQ(back.Layers(1)->BMP().Pixel(10, 6) & 0xFFFFFFu, 0x00A000u);
  }
}

TEST(TexturePaths, FailedSaveKeepsTheSourcesAndFolder) {
  vctest::TempDir dir;
  const fs::path root = dir.Path();
  vctest::WriteSolidPng(root / "A/textures/grass.png", 0xFF00A000u);
  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  map.AddLayer()->SetFileName("0");
  map.AddLayer()->SetFileName((root / "A/textures/grass.png").string());
  TMapEditSession session(map, 10);
  TMapSaveReport report;
  ASSERT_TRUE(session.Save((root / "A/map.qmx").string(), report));
  const std::string folder = map.TextureFolder;
  EXPECT_EQ(fs::path(folder), fs::absolute(root / "A").lexically_normal());

  // A folder that does not exist: the save fails and the map is as it was.
  EXPECT_THROW(session.Save((root / "none/map.qmx").string(), report), EVellumError);
  EXPECT_EQ(map.Layers(1)->FileName(), "textures/grass.png");
  EXPECT_EQ(map.TextureFolder, folder);
  EXPECT_EQ(session.FileName(), (root / "A/map.qmx").string());
}

TEST(TexturePaths, RecoveryCopyOfAMovedMapFindsItsTextures) {
  vctest::TempDir dir;
  const fs::path root = dir.Path();
  vctest::WriteSolidPng(root / "A/textures/grass.png", 0xFF00A000u);
  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  map.AddLayer()->SetFileName("0");
  map.AddLayer()->SetFileName((root / "A/textures/grass.png").string());
  TMapEditSession session(map, 10);
  TMapSaveReport saved;
  ASSERT_TRUE(session.Save((root / "A/map.qmx").string(), saved));
  fs::create_directories(root / "B");
  ASSERT_TRUE(session.Save((root / "B/map.qmx").string(), saved));
  ASSERT_EQ(map.Layers(1)->FileName(), "../A/textures/grass.png");

  // The copy, kept in a folder of its own, holds the sources as the map has them
  // now; restored, they are read against the map's own folder.
  TRecoveryStore store(root / "recovery", 999999984);
  store.Write(map, session.FileName());
  TRecoveryCopy copy;
  copy.File = store.CopyFile();
  copy.MapFileName = session.FileName();
  TMapEditLayerList back;
  TMapLoadReport report;
  TRecoveryStore::Restore(copy, back, report);
  EXPECT_TRUE(report.MissingTextures.empty());
  EXPECT_EQ(back.Layers(1)->TextureState, TTextureState::Ok);
  EXPECT_EQ(back.Layers(1)->BMP().Pixel(2, 2) & 0xFFFFFFu, 0x00A000u);
  EXPECT_EQ(fs::path(back.TextureFolder), root / "B");
  store.Remove();
}
