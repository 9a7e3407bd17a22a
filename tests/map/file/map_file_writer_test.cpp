// The map writer refuses a map it could not read back, and reads back what it wrote
// before the file replaces the old one.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <functional>
#include <string>

#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/map_file_check.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

using vctest::Deflate;

namespace {

// A 3 x 2 map of 4-pixel cells with a wall, two floors and a door of each kind.
void MakeMap(TMapEditLayerList& Map) {
  Map.SetSize(3, 2, 4);
  TMapEditLayer* wall = Map.AddLayer();
  wall->LayerName = "\xE5\xA3\x81";  // 壁
  wall->LayerType = mltObject;
  wall->SetFileName("0");
  for (const char* name : {"grass", "stone"}) {
    TMapEditLayer* floor = Map.AddLayer();
    floor->LayerName = name;
    floor->SetFileName("65280");
  }
  Map.SetPixelLayer(5, 6, 2);
  Map.SetCell(1, 1, 1);
  Map.Doors().HorzDoor().Add()->X = 1;
  Map.Doors().VertDoor().Add()->Y = 1;
  Map.Doors().FreeDoor().Add()->X2 = 7;
}

std::string ErrorOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const EVellumError& e) {
    return e.what();
  }
  return "no error";
}

size_t EntryCount(const fs::path& Folder) {
  return size_t(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()));
}

}  // namespace

TEST(MapFileWriter, TextThatWouldNotReadBackIsRefusedAndNothingIsLost) {
  vctest::TempDir dir;
  const std::string path = dir.File("cafe.qmx");
  TMapEditLayerList map;
  MakeMap(map);
  map.SaveToFile(path);
  map.SaveToFile(path);
  const std::string saved = vctest::ReadFileBytes(path);
  const std::string backup = vctest::ReadFileBytes(path + ".bak");

  // A Latin-1 name and a source ending in half a Shift JIS character: the reader
  // would refuse the whole map, so the writer refuses them, saying which and where.
  map.Layers(1)->LayerName = "Caf\xE9 floor";
  std::string error = ErrorOf([&] { map.SaveToFile(path); });
  EXPECT_NE(error.find("name of layer 1 is not valid UTF-8 text (\"Caf\\xE9 floor\")"),
            std::string::npos)
      << error;
  map.Layers(1)->LayerName = "grass";
  map.Layers(2)->SetFileNameOnly("Lava\x82");
  error = ErrorOf([&] { map.SaveToFile(path); });
  EXPECT_NE(error.find("image source of layer 2"), std::string::npos) << error;
  EXPECT_THROW(BuildMapFile(map), EMapFileError);
  // Two failed saves later the map and its backup are both as they were.
  EXPECT_EQ(vctest::ReadFileBytes(path), saved);
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), backup);
  EXPECT_EQ(EntryCount(dir.Path()), 2u);
  TMapEditLayerList back;
  back.LoadFromFile(path);
  EXPECT_EQ(back.Layers(2)->FileName(), "65280");
}

TEST(MapFileWriter, MoreLayersThanAFileHoldsAreRefused) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  map.SetSize(1, 1, 1);
  for (int32_t i = 0; i < kMaxMapLayers; ++i) map.AddLayer()->SetFileName("0");
  // The most a file holds still saves and loads.
  map.SaveToFile(dir.File("most.qmx"));
  TMapEditLayerList back;
  back.LoadFromFile(dir.File("most.qmx"));
  EXPECT_EQ(back.Count(), kMaxMapLayers);
  map.AddLayer()->SetFileName("0");
  const std::string error = ErrorOf([&] { map.SaveToFile(dir.File("too_many.qmx")); });
  EXPECT_NE(error.find("65537 layers; a map file holds at most 65536"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(dir.File("too_many.qmx")));
  EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(MapFileWriter, TheCheckReadsTheFileAsTheReaderDoes) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  MakeMap(map);
  const std::string good = BuildMapFile(map);
  const std::string text = BuildMapText(map);
  auto check = [&](const std::string& Bytes) {
    vctest::WriteFileBytes(dir.File("t"), Bytes);
    return ErrorOf([&] { CheckWrittenMapFile(dir.File("t"), map, "cave.qmx"); });
  };
  EXPECT_EQ(check(good), "no error");
  // Text after the free doors belongs to later additions to the format; a file
  // written with lone LF line ends reads the same.
  EXPECT_EQ(check(Deflate(text + "EXTRA SECTION\r\n1\r\n")), "no error");
  std::string lf = text;
  for (size_t at = 0; (at = lf.find("\r\n", at)) != std::string::npos;) lf.erase(at, 1);
  EXPECT_EQ(check(Deflate(lf)), "no error");

  const std::string error = check(good.substr(0, good.size() - 9));
  EXPECT_NE(error.find("The map file written for \"cave.qmx\" does not read back"),
            std::string::npos)
      << error;
  EXPECT_NE(check(good + "x").find("bytes follow the compressed stream"), std::string::npos);
  // What the map holds but the file does not: a renamed layer, another door count,
  // a cut row, a missing door section.
  TMapEditLayerList renamed, moreDoors;
  MakeMap(renamed);
  renamed.Layers(2)->LayerName = "marble";
  EXPECT_NE(check(BuildMapFile(renamed)).find("layer 2 reads back differently"), std::string::npos);
  MakeMap(moreDoors);
  moreDoors.Doors().FreeDoor().Add();
  EXPECT_NE(check(BuildMapFile(moreDoors)).find("door count"), std::string::npos);
  std::string cut = text;
  cut.erase(cut.find("\r\nKRV2_MAP DRAW") - 1, 1);
  EXPECT_NE(check(Deflate(cut)).find("pixel row on line 17 is cut"), std::string::npos)
      << check(Deflate(cut));
  EXPECT_NE(check(Deflate(text.substr(0, text.find("KRV2_MAP FREE DOOR")))).find("ends after"),
            std::string::npos);
  // Shift JIS names come back as the same text.
  TMapEditLayerList other;
  MakeMap(other);
  other.Layers(1)->LayerName = "\xE7\x9F\xB3\xE7\x95\xB3";  // 石畳
  std::string encoding;
  BuildMapText(other, &encoding);
  EXPECT_EQ(encoding, "Shift_JIS");
  vctest::WriteFileBytes(dir.File("t"), BuildMapFile(other));
  EXPECT_NO_THROW(CheckWrittenMapFile(dir.File("t"), other, "cave.qmx"));
}
