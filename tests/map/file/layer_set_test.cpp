#include "map/file/layer_set.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using vctest::TempDir;
using vctest::WriteFileBytes;

namespace {

void Put16(std::string& S, uint16_t V) {
  S += char(V & 0xFF);
  S += char(V >> 8);
}
void Put32(std::string& S, uint32_t V) {
  for (int i = 0; i < 4; ++i) S += char((V >> (8 * i)) & 0xFF);
}

// A 2 x 2 24-bit BMP filled with one colour (bytes B, G, R).
std::string SolidBmp(uint8_t R, uint8_t G, uint8_t B) {
  std::string s = "BM";
  const uint32_t rowBytes = 8;  // 2 pixels * 3 bytes, padded to 4
  Put32(s, 54 + 2 * rowBytes);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, 2);
  Put32(s, 2);
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);
  Put32(s, 2 * rowBytes);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (int row = 0; row < 2; ++row) {
    for (int px = 0; px < 2; ++px) s += {char(B), char(G), char(R)};
    s += std::string(2, '\0');
  }
  return s;
}

// Runs a block with the current folder switched to Dir.
class CurrentDir {
 public:
  explicit CurrentDir(const fs::path& Dir) : FOld(fs::current_path()) { fs::current_path(Dir); }
  ~CurrentDir() { fs::current_path(FOld); }

 private:
  fs::path FOld;
};

TEST(LayerSet, LinesArePairedAndAnOddLastLineIsIgnored) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitLines("").empty());

  TempDir dir;
  WriteFileBytes(dir.File("three.txt"), "Stone floor\r\nstone.bmp\r\nDirt\r\n");
  TLayerSet three = ReadLayerSetFile(dir.File("three.txt"));
  ASSERT_EQ(three.Entries.size(), 1u);
  EXPECT_EQ(three.Entries[0].Name, "Stone floor");
  EXPECT_EQ(three.Entries[0].Source, "stone.bmp");

  WriteFileBytes(dir.File("one.txt"), "Lonely\n");
  EXPECT_TRUE(ReadLayerSetFile(dir.File("one.txt")).Entries.empty());

  // An empty name line stays an empty name.
  WriteFileBytes(dir.File("blank.txt"), "\nx.bmp\n");
  TLayerSet blank = ReadLayerSetFile(dir.File("blank.txt"));
  ASSERT_EQ(blank.Entries.size(), 1u);
  EXPECT_EQ(blank.Entries[0].Name, "");

  EXPECT_THROW(ReadLayerSetFile(dir.File("absent.txt")), EFileError);
  EXPECT_THROW(ReadLayerSetFile(dir.Path()), EFileError);

  // 1 MiB is the most a set may hold, read from a file or from memory.
  std::string big(size_t(1) << 20, 'a');
  big[10] = '\n';
  EXPECT_EQ(ParseLayerSet(big, "mem.txt").Entries.size(), 1u);
  big += 'a';
  WriteFileBytes(dir.File("big.txt"), big);
  EXPECT_THROW(ReadLayerSetFile(dir.File("big.txt")), EFileError);
  try {
    ParseLayerSet(big, "mem.txt");
    ADD_FAILURE();
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Layer set \"mem.txt\" is too large to be a layer set");
  }
}

TEST(LayerSet, ShiftJisAndUtf8FilesBothRead) {
  TempDir dir;
  // "石畳" in Shift JIS, then in UTF-8 with a byte-order mark.
  WriteFileBytes(dir.File("sjis.txt"), "\x90\xCE\x8F\xF4\r\na.bmp\r\n");
  WriteFileBytes(dir.File("utf8.txt"), "\xEF\xBB\xBF\xE7\x9F\xB3\xE7\x95\xB3\na.bmp\n");
  EXPECT_EQ(ReadLayerSetFile(dir.File("sjis.txt")).Entries.at(0).Name, "\xE7\x9F\xB3\xE7\x95\xB3");
  EXPECT_EQ(ReadLayerSetFile(dir.File("utf8.txt")).Entries.at(0).Name, "\xE7\x9F\xB3\xE7\x95\xB3");
}

TEST(LayerSet, TextThatIsNeitherUtf8NorShiftJisIsRefusedNamingItsLine) {
  // Latin-1 "Café floor" on line 3: E9 followed by a blank is no Shift JIS character.
  const std::string latin = "Stone\r\na.bmp\r\nCaf\xE9 floor\r\nb.bmp\r\n";
  try {
    ParseLayerSet(latin, "latin.txt");
    FAIL() << "a Latin-1 set was read";
  } catch (const EFileError& e) {
    EXPECT_STREQ(e.what(),
                 "Layer set \"latin.txt\", line 3: the text is neither UTF-8 nor Shift JIS");
  }
  // Lines ending in LF or CR alone count alike; a bad last line without a line end.
  try {
    ParseLayerSet("a\rb\nc\r\nd\n\x80", "x.txt");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("line 5:"), std::string::npos) << e.what();
  }
  // Each line valid on its own, Shift JIS and UTF-8 mixed: the line where reading
  // the whole as Shift JIS fails is named (UTF-8 "一" is E4 B8 80: a Shift JIS pair,
  // then 80, which is no Shift JIS character).
  try {
    ParseLayerSet("\x90\xCE\r\na.bmp\r\n\xE4\xB8\x80\r\nb.bmp\r\n", "mixed.txt");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("line 3:"), std::string::npos) << e.what();
  }
}

TEST(LayerSet, ASetThatWouldMakeMoreThan65535LayersAddsNothing) {
  TempDir dir;
  WriteFileBytes(dir.File("red.bmp"), SolidBmp(255, 0, 0));
  TMapEditLayerList map;
  map.SetSize(1, 1, 1);
  for (int32_t i = 0; i < kMaxEditableLayers - 2; ++i) map.AddLayer()->SetFileName("0");
  TLayerSet set;
  set.File = dir.File("set.txt");
  set.Entries = {{"A", "red.bmp"}, {"B", "red.bmp"}, {"C", "red.bmp"}};
  try {
    ApplyLayerSet(map, set);
    FAIL() << "no error";
  } catch (const EVellumError& e) {
    EXPECT_STREQ(e.what(), "The map would have 65536 layers; it can have at most 65535");
  }
  EXPECT_EQ(map.Count(), kMaxEditableLayers - 2);
  set.Entries.pop_back();
  EXPECT_EQ(ApplyLayerSet(map, set), 2);
  EXPECT_EQ(map.Count(), 65535);
  EXPECT_EQ(map.Layers(65534)->LayerName, "B");
}

TEST(LayerSet, SourceValidityRule) {
  TempDir dir;
  WriteFileBytes(dir.File("tiles.bmp"), SolidBmp(1, 2, 3));
  fs::create_directory(dir.Path() / "sub");
  const fs::path none;  // no set folder: only absolute or current-folder paths
  const std::string img = dir.File("tiles.bmp");

  EXPECT_EQ(ResolveLayerSetSource(img, none), img);
  EXPECT_EQ(ResolveLayerSetSource("<0,0,32>" + img, none), "<0,0,32>" + img);
  EXPECT_EQ(ResolveLayerSetSource("<10,20,16>" + img, none), "<10,20,16>" + img);

  std::string reason;
  EXPECT_EQ(ResolveLayerSetSource("", none, &reason), "");
  EXPECT_EQ(reason, "empty source");
  EXPECT_EQ(ResolveLayerSetSource("<0,32>" + img, none), "");            // two numbers
  EXPECT_EQ(ResolveLayerSetSource("<0,0,0,32>" + img, none), "");        // four numbers
  EXPECT_EQ(ResolveLayerSetSource("<0,a,32>" + img, none), "");          // a letter
  EXPECT_EQ(ResolveLayerSetSource("<0,0,32" + img, none, &reason), "");  // no ">"
  EXPECT_EQ(reason, "chip reference without \">\"");
  EXPECT_EQ(ResolveLayerSetSource("<>" + img, none), "");
  EXPECT_EQ(ResolveLayerSetSource("<,,>" + img, none), "");     // numbers missing
  EXPECT_EQ(ResolveLayerSetSource("<0,0,0>" + img, none), "");  // a square of size 0
  EXPECT_EQ(ResolveLayerSetSource("<0,0,32>" + dir.File("gone.bmp"), none), "");
  EXPECT_EQ(ResolveLayerSetSource(dir.File("gone.bmp"), none), "");
  EXPECT_EQ(ResolveLayerSetSource((dir.Path() / "sub").string(), none), "");  // a folder
}

TEST(LayerSet, RelativeSourcesResolveAgainstCurrentFolderThenSetFolder) {
  TempDir work, sets;
  fs::create_directory(sets.Path() / "textures");
  WriteFileBytes((sets.Path() / "textures" / "stone.bmp").string(), SolidBmp(9, 9, 9));
  WriteFileBytes(work.File("local.bmp"), SolidBmp(1, 1, 1));
  CurrentDir cd(work.Path());

  // Found beside the set: made absolute so that the map works from any folder.
  const std::string beside = (sets.Path() / "textures" / "stone.bmp").string();
  EXPECT_EQ(ResolveLayerSetSource("textures/stone.bmp", sets.Path()), beside);
  EXPECT_EQ(ResolveLayerSetSource("<0,0,2>textures/stone.bmp", sets.Path()), "<0,0,2>" + beside);
  // Found in the current folder: kept as written.
  EXPECT_EQ(ResolveLayerSetSource("local.bmp", sets.Path()), "local.bmp");
  // The current folder wins when both have the file.
  fs::create_directory(work.Path() / "textures");
  WriteFileBytes((work.Path() / "textures" / "stone.bmp").string(), SolidBmp(3, 3, 3));
  EXPECT_EQ(ResolveLayerSetSource("textures/stone.bmp", sets.Path()), "textures/stone.bmp");
}

TEST(LayerSet, FindAndListSetsInFolderOrder) {
  TempDir first, second;
  WriteFileBytes(first.File("dungeon.txt"), "");
  WriteFileBytes(second.File("dungeon.txt"), "");
  WriteFileBytes(second.File("cave.txt"), "");
  WriteFileBytes(second.File("notes.md"), "");
  const std::vector<fs::path> folders{first.Path() / "missing", first.Path(), second.Path()};

  EXPECT_EQ(FindLayerSet("dungeon", folders), first.Path() / "dungeon.txt");
  EXPECT_EQ(FindLayerSet("cave", folders), second.Path() / "cave.txt");
  EXPECT_EQ(FindLayerSet("forest", folders), fs::path());
  EXPECT_EQ(FindLayerSet("", folders), fs::path());
  // A path to a ".txt" file is taken as it is; a name never climbs out of the folders.
  EXPECT_EQ(FindLayerSet(second.File("cave.txt"), {}), fs::path(second.File("cave.txt")));
  EXPECT_EQ(FindLayerSet("../cave", {second.Path() / "x"}), fs::path());

  EXPECT_EQ(ListLayerSets(folders), (std::vector<std::string>{"cave", "dungeon"}));

  std::vector<fs::path> defaults = DefaultLayerSetFolders("/opt/vc/bin", "/usr/share/vellumcraft");
  ASSERT_GE(defaults.size(), 4u);
  EXPECT_EQ(defaults[0], fs::path("/opt/vc/bin/Layersets"));
  // An installation keeps its data beside bin/ wherever it was moved.
  EXPECT_EQ(defaults[1], fs::path("/opt/vc/share/vellumcraft/Layersets"));
  EXPECT_EQ(defaults[2], fs::path("/usr/share/vellumcraft/Layersets"));
}

TEST(LayerSet, AppliesAllLayersOrNone) {
  TempDir dir;
  WriteFileBytes(dir.File("red.bmp"), SolidBmp(255, 0, 0));
  WriteFileBytes(dir.File("blue.bmp"), SolidBmp(0, 0, 255));
  WriteFileBytes(dir.File("good.txt"), "Red\nred.bmp\nBlue tiles\n<0,0,1>blue.bmp\n");

  TMapEditLayerList map;
  TLayerSet good = ReadLayerSetFile(dir.File("good.txt"));
  EXPECT_TRUE(CheckLayerSet(good).Valid);
  ASSERT_EQ(CreateNewMap(map, 3, 2, 4, &good), 2);
  ASSERT_EQ(map.Count(), 3);
  EXPECT_EQ(map.Layers(0)->LayerName, kWallLayerName);
  EXPECT_EQ(map.Layers(1)->LayerName, "Red");
  EXPECT_EQ(map.Layers(1)->FileName(), dir.File("red.bmp"));
  EXPECT_EQ(map.Layers(1)->LayerType, mltGround);
  EXPECT_EQ(map.Layers(2)->LayerName, "Blue tiles");
  EXPECT_EQ(map.Layers(2)->FileName(), "<0,0,1>" + dir.File("blue.bmp"));
  // The textures were loaded and tiled over the map (colour channels).
  EXPECT_EQ(map.Layers(1)->BMP().Pixel(11, 7) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(map.Layers(2)->BMP().Pixel(5, 3) & 0xFFFFFF, 0x0000FFu);

  // The second source is missing: not even the first layer is added.
  WriteFileBytes(dir.File("bad.txt"), "Red\nred.bmp\nGreen\ngreen.bmp\n");
  TLayerSet bad = ReadLayerSetFile(dir.File("bad.txt"));
  TLayerSetCheck check = CheckLayerSet(bad);
  EXPECT_FALSE(check.Valid);
  EXPECT_EQ(check.Line, 4);
  EXPECT_EQ(check.Reason, "image file \"green.bmp\" not found");
  TMapEditLayerList other;
  EXPECT_EQ(CreateNewMap(other, 2, 2, 4, &bad), 0);
  EXPECT_EQ(other.Count(), 1);

  // A source that exists but does not decode: the layers added so far go again.
  WriteFileBytes(dir.File("broken.bmp"), "not an image at all");
  WriteFileBytes(dir.File("broken.txt"), "Red\nred.bmp\nBroken\nbroken.bmp\n");
  TLayerSet broken = ReadLayerSetFile(dir.File("broken.txt"));
  TMapEditLayerList third;
  CreateNewMap(third, 2, 2, 4);
  EXPECT_THROW(ApplyLayerSet(third, broken), EVellumError);
  EXPECT_EQ(third.Count(), 1);
}

TEST(NewMap, WallLayerChipCellsAndRanges) {
  TMapEditLayerList map;
  CreateNewMap(map, 3, 2, 8);
  EXPECT_EQ(map.Width(), 3);
  EXPECT_EQ(map.Height(), 2);
  EXPECT_EQ(map.ChipSize(), 8);
  ASSERT_EQ(map.Count(), 1);
  const TMapEditLayer& wall = *map.Layers(0);
  EXPECT_EQ(wall.LayerName, "壁");
  EXPECT_EQ(wall.FileName(), "0");
  EXPECT_EQ(wall.LayerType, mltObject);
  EXPECT_EQ(wall.BMP().Width(), 24);
  EXPECT_EQ(wall.BMP().Pixel(23, 15), 0xFF000000u);
  for (int32_t x = 0; x < 3; ++x)
    for (int32_t y = 0; y < 2; ++y) EXPECT_EQ(map.Cells(x, y), 1);
  EXPECT_EQ(map.Shades().Pixel(12, 8), 0u);

  // A second New over a used document starts afresh: no doors, no old pixels.
  map.SetPixelLayer(3, 3, 7);
  map.Doors().FreeDoor().Add();
  CreateNewMap(map, 2, 2, 8);
  EXPECT_EQ(map.PixelLayers(3, 3), 0);
  EXPECT_EQ(map.Doors().FreeDoor().Count(), 0);
  EXPECT_EQ(map.Count(), 1);

  EXPECT_THROW(CreateNewMap(map, 0, 5, 8), EVellumError);
  EXPECT_THROW(CreateNewMap(map, 201, 5, 8), EVellumError);
  EXPECT_THROW(CreateNewMap(map, 5, 5, 101), EVellumError);
  EXPECT_EQ(map.Width(), 2);  // a refused size changes nothing
}

}  // namespace
