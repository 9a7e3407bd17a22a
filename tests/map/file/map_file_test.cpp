#include "map/file/map_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "map/base/text_encoding.h"
#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_memory.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

using vctest::Deflate;

namespace {

const std::string kWall = "\xE5\xA3\x81";  // 壁

std::string Inflate(const std::string& Bytes) {
  z_stream z{};
  EXPECT_EQ(inflateInit(&z), Z_OK);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Bytes.data()));
  z.avail_in = uInt(Bytes.size());
  std::string out;
  int r = Z_OK;
  while (r == Z_OK) {
    char buffer[65536];
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    r = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  }
  EXPECT_EQ(r, Z_STREAM_END);
  inflateEnd(&z);
  return out;
}

// "KRV2_MAP", header, one layer, rows and no doors for a 1 x 1 map of chip size 1
// whose only pixel shows layer 0; Name and Source are the layer's raw lines.
std::string OneLayerText(const std::string& Name, const std::string& TypeAndSource) {
  return "KRV2_MAP\r\n1,1,1,1\r\n" + Name + "\r\n" + TypeAndSource + "\r\nKRV2_MAP LAYER\r\n" +
         EncodeLine("0000") + "\r\nKRV2_MAP DRAW\r\n" + EncodeLine("1") +
         "\r\nKRV2_MAP HORZ DOOR\r\n0\r\nKRV2_MAP VERT DOOR\r\n0\r\nKRV2_MAP FREE DOOR\r\n0\r\n";
}

void Load(TMapEditLayerList& Map, const std::string& Text, TMapLoadReport* Report = nullptr,
          const std::string& Folder = "") {
  TMapLoadReport r;
  LoadMapFromBytes(Map, Deflate(Text), Folder, Report ? *Report : r);
}

// A 3 x 2 map of chip size 4 with a wall and two floors, some painting and doors.
void MakeSampleMap(TMapEditLayerList& Map) {
  Map.SetSize(3, 2, 4);
  TMapEditLayer* wall = Map.AddLayer();
  wall->LayerName = kWall;
  wall->LayerType = mltObject;
  wall->SetFileName("0");
  TMapEditLayer* grass = Map.AddLayer();
  grass->LayerName = "grass";
  grass->LayerType = mltGround;
  grass->SetFileName("65280");
  TMapEditLayer* stone = Map.AddLayer();
  stone->LayerName = "";
  stone->LayerType = mltFloor;
  stone->SetFileName("-16777201");
  for (int32_t y = 0; y < Map.PixelHeight(); ++y)
    for (int32_t x = 0; x < Map.PixelWidth(); ++x) Map.SetPixelLayer(x, y, (x + 2 * y) % 3);
  Map.SetPixelLayer(11, 7, 2);
  Map.SetCell(0, 0, 1);
  Map.SetCell(2, 1, 1);
  TMapEditDoorList& doors = Map.Doors();
  TMapEditHorzDoor* h = doors.HorzDoor().Add();
  h->X = 1, h->Y = 0, h->Color = 0xFFFF0000u, h->Width = 1;
  TMapEditVertDoor* v = doors.VertDoor().Add();
  v->X = 2, v->Y = 1, v->Color = 0, v->Height = 1;
  TMapEditCustomDoor* f = doors.FreeDoor().Add();
  f->X = -3, f->Y = 5, f->X2 = 11, f->Y2 = 0, f->Color = 0xFFFFFFFFu;
}

}  // namespace

TEST(MapFile, EncodeLineAndDecodeLine) {
  EXPECT_EQ(EncodeLine("0000"), "C30mC0");
  EXPECT_EQ(EncodeLine("1"), "CG");
  EXPECT_EQ(EncodeLine("10"), "CJ0");
  EXPECT_EQ(EncodeLine("101"), "CJ0n");
  EXPECT_EQ(EncodeLine("00000000"), "C30mC30mC30");
  EXPECT_EQ(EncodeLine(""), "");
  EXPECT_EQ(EncodeLine(std::string("\xFF\xFF\xFF\x00", 4)), "////00");
  EXPECT_EQ(DecodeLine("C30mC0"), "0000");
  EXPECT_EQ(DecodeLine("CJ0n"), "101");
  EXPECT_EQ(DecodeLine("C30mC30mC30"), "00000000");
  // Decoding stops at the first character outside the alphabet.
  EXPECT_EQ(DecodeLine("CJ0n=CJ0n"), "101");
  EXPECT_EQ(DecodeLine("CJ0-n"), "10");
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(char(i));
  EXPECT_EQ(DecodeLine(EncodeLine(all)), all);
}

TEST(MapFile, SmallestMapIsWrittenLineByLine) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  map.SetSize(1, 1, 2);
  TMapEditLayer* wall = map.AddLayer();
  wall->LayerName = kWall;
  wall->LayerType = mltObject;
  wall->SetFileName("0");
  map.SetCell(0, 0, 1);
  map.SaveToFile(dir.File("small.qmx"));
  const std::string bytes = vctest::ReadFileBytes(dir.File("small.qmx"));
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\x78\x9C");  // zlib header of the default level
  EXPECT_EQ(Inflate(bytes),
            "KRV2_MAP\r\n1,1,1,2\r\n\x95\xC7\r\n2:0\r\nKRV2_MAP LAYER\r\nC30mC30mC30\r\n"
            "C30mC30mC30\r\nKRV2_MAP DRAW\r\nCG\r\nKRV2_MAP HORZ DOOR\r\n0\r\n"
            "KRV2_MAP VERT DOOR\r\n0\r\nKRV2_MAP FREE DOOR\r\n0\r\n");
}

TEST(MapFile, PixelIndicesAndDoorColoursAreWrittenExactly) {
  TMapEditLayerList map;
  map.SetSize(1, 1, 1);
  map.AddLayer()->SetFileName("0");
  map.SetPixelLayer(0, 0, 10);
  TMapEditHorzDoor* h = map.Doors().HorzDoor().Add();
  h->X = 0, h->Y = 0, h->Color = 0xFFFF0000u, h->Width = 1;
  std::string encoding;
  const std::string text = BuildMapText(map, &encoding);
  EXPECT_EQ(encoding, "Shift_JIS");
  EXPECT_NE(text.find("KRV2_MAP LAYER\r\n" + EncodeLine("000A") + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("KRV2_MAP HORZ DOOR\r\n1\r\n0,0,4294901760\r\n"), std::string::npos);

  TMapEditLayerList back;
  Load(back, text);
  EXPECT_EQ(back.PixelLayers(0, 0), 10);
  ASSERT_EQ(back.Doors().HorzDoor().Count(), 1);
  EXPECT_EQ(back.Doors().HorzDoor().Items(0)->Color, 0xFFFF0000u);
}

TEST(MapFile, SaveAndLoadKeepEverything) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  MakeSampleMap(map);
  map.SaveToFile(dir.File("a.qmx"));

  TMapEditLayerList back;
  TMapLoadReport report;
  back.LoadFromFile(dir.File("a.qmx"), report);
  EXPECT_TRUE(report.MissingTextures.empty());
  EXPECT_EQ(report.Encoding, "Shift_JIS");
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(back.Height(), 2);
  EXPECT_EQ(back.ChipSize(), 4);
  EXPECT_EQ(back.PixelGrid(), map.PixelGrid());
  EXPECT_EQ(back.CellGrid(), map.CellGrid());
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back.Layers(i)->LayerName, map.Layers(i)->LayerName);
    EXPECT_EQ(back.Layers(i)->LayerType, map.Layers(i)->LayerType);
    EXPECT_EQ(back.Layers(i)->FileName(), map.Layers(i)->FileName());
    EXPECT_EQ(back.Layers(i)->Owner(), &back);
  }
  EXPECT_EQ(back.Doors().Owner(), &back);
  const TMapEditHorzDoor* h = back.Doors().HorzDoor().Items(0);
  ASSERT_EQ(back.Doors().HorzDoor().Count(), 1);
  EXPECT_EQ((std::vector<int64_t>{h->X, h->Y, h->Color, h->Width}),
            (std::vector<int64_t>{1, 0, 0xFFFF0000u, 1}));
  ASSERT_EQ(back.Doors().VertDoor().Count(), 1);
  const TMapEditVertDoor* v = back.Doors().VertDoor().Items(0);
  EXPECT_EQ((std::vector<int64_t>{v->X, v->Y, v->Color, v->Height}),
            (std::vector<int64_t>{2, 1, 0, 1}));
  ASSERT_EQ(back.Doors().FreeDoor().Count(), 1);
  const TMapEditCustomDoor* f = back.Doors().FreeDoor().Items(0);
  EXPECT_EQ((std::vector<int64_t>{f->X, f->Y, f->X2, f->Y2, f->Color}),
            (std::vector<int64_t>{-3, 5, 11, 0, 0xFFFFFFFFu}));
  // Saved again, the file is the same byte for byte.
  back.SaveToFile(dir.File("b.qmx"));
  EXPECT_EQ(vctest::ReadFileBytes(dir.File("b.qmx")), vctest::ReadFileBytes(dir.File("a.qmx")));
  // The loaded map is composed: the grass pixel (1, 0) shows in its layer image.
  EXPECT_EQ(back.Layers(1)->BMP().Pixel(1, 0) >> 24, 255u);
}

TEST(MapFile, LoadingReplacesDoorsAndKeepsDrawingSwitches) {
  TMapEditLayerList map;
  MakeSampleMap(map);
  map.FastDraw = true;
  for (int i = 0; i < 3; ++i) map.Doors().FreeDoor().Add();
  TMapEditLayerList source;
  source.SetSize(1, 1, 1);
  source.AddLayer()->SetFileName("0");
  TMapEditVertDoor* v = source.Doors().VertDoor().Add();
  v->X = 0, v->Y = 0, v->Color = 7, v->Height = 1;
  Load(map, BuildMapText(source));
  EXPECT_EQ(map.Count(), 1);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 0);
  EXPECT_EQ(map.Doors().VertDoor().Count(), 1);
  EXPECT_EQ(map.Doors().FreeDoor().Count(), 0);
  EXPECT_TRUE(map.FastDraw);
}

TEST(MapFile, LayerLinesSplitAtTheFirstColonAndKeepEmptyNames) {
  TMapEditLayerList map;
  TMapLoadReport report;
  Load(map, OneLayerText("", "1:C:\\maps\\stone.png"), &report);
  ASSERT_EQ(map.Count(), 1);
  EXPECT_EQ(map.Layers(0)->LayerName, "");
  EXPECT_EQ(map.Layers(0)->LayerType, mltFloor);
  EXPECT_EQ(map.Layers(0)->FileName(), "C:\\maps\\stone.png");
  // An empty name is written as an empty line again.
  EXPECT_EQ(report.MissingTextures, std::vector<std::string>{"C:\\maps\\stone.png"});
  const std::string start =
      "KRV2_MAP\r\n1,1,1,1\r\n\r\n1:C:\\maps\\stone.png\r\nKRV2_MAP LAYER\r\n";
  EXPECT_EQ(BuildMapText(map).substr(0, start.size()), start);
}

TEST(MapFile, ReadsShiftJisAndUtf8Files) {
  TMapEditLayerList map;
  TMapLoadReport report;
  Load(map, OneLayerText("\x95\xC7", "2:0"), &report);  // Shift JIS
  EXPECT_EQ(report.Encoding, "Shift_JIS");
  EXPECT_EQ(map.Layers(0)->LayerName, kWall);
  Load(map, OneLayerText(kWall, "2:0"), &report);  // UTF-8
  EXPECT_EQ(report.Encoding, "UTF-8");
  EXPECT_EQ(map.Layers(0)->LayerName, kWall);

  // A name without a Shift JIS form is written in UTF-8 and read back unchanged.
  map.Layers(0)->LayerName = "caf\xC3\xA9 \xF0\x9F\x99\x82";
  std::string encoding;
  std::string text = BuildMapText(map, &encoding);
  EXPECT_EQ(encoding, "UTF-8");
  Load(map, text);
  EXPECT_EQ(map.Layers(0)->LayerName, "caf\xC3\xA9 \xF0\x9F\x99\x82");
  // Half-width katakana whose Shift JIS bytes happen to be valid UTF-8 ("ﾂｱ" is C2 B1,
  // which reads as "±") must not come back as another text.
  map.Layers(0)->LayerName = "\xEF\xBE\x82\xEF\xBD\xB1";
  text = BuildMapText(map, &encoding);
  EXPECT_EQ(encoding, "UTF-8");
  Load(map, text);
  EXPECT_EQ(map.Layers(0)->LayerName, "\xEF\xBE\x82\xEF\xBD\xB1");
}

TEST(MapFile, AFailedLoadLeavesTheDocumentAsItWas) {
  TMapEditLayerList map;
  MakeSampleMap(map);
  const std::string before = BuildMapText(map);
  auto unchanged = [&] { EXPECT_EQ(BuildMapText(map), before); };

  // The magic line with a trailing blank.
  std::string text = OneLayerText("x", "0:0");
  EXPECT_THROW(Load(map, "KRV2_MAP " + text.substr(8)), ENotAMapFile);
  unchanged();
  EXPECT_THROW(LoadMapFromBytes(map, "", "", *std::make_unique<TMapLoadReport>()), ENotAMapFile);
  EXPECT_THROW(Load(map, ""), ENotAMapFile);
  unchanged();
  // A stream zlib rejects.
  try {
    TMapLoadReport r;
    LoadMapFromBytes(map, "this is not zlib at all", "", r);
    FAIL() << "no error";
  } catch (const EDecompressionError& e) {
    EXPECT_STREQ(e.what(), "エラー");
  }
  unchanged();
  // A bad number in a pixel row names the offending text and the line.
  text = OneLayerText("x", "0:0");
  const std::string goodRow = EncodeLine("0000"), badRow = EncodeLine("00G0");
  text.replace(text.find(goodRow), goodRow.size(), badRow);
  try {
    Load(map, text);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), "'$00G0' は整数ではありません (line 6, the pixel rows)");
  }
  unchanged();
  // A short pixel row fails at its first missing pixel.
  text = OneLayerText("x", "0:0");
  text.replace(text.find(goodRow), goodRow.size(), "");
  EXPECT_THROW(Load(map, text), EConvertError);
  // A bad door colour, and a door list that runs past the end of the file.
  text = OneLayerText("x", "0:0");
  text.replace(text.find("HORZ DOOR\r\n0"), 12, "HORZ DOOR\r\n1\r\n1,2,-1");
  EXPECT_THROW(Load(map, text), EConvertError);
  text = OneLayerText("x", "0:0");
  text.replace(text.find("FREE DOOR\r\n0"), 12, "FREE DOOR\r\n2\r\n1,2,3,4,5");
  EXPECT_THROW(Load(map, text), EListError);
  // A stream that ends early is read as far as it goes, then lines are missing.
  const std::string whole = Deflate(OneLayerText("x", "0:0"));
  TMapLoadReport r;
  EXPECT_THROW(LoadMapFromBytes(map, whole.substr(0, whole.size() - 8), "", r), EListError);
  // A file that cannot be opened names the file.
  try {
    map.LoadFromFile("/nonexistent/folder/map.qmx");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("\"/nonexistent/folder/map.qmx\""), std::string::npos);
  }
  unchanged();
}

TEST(MapFile, HeaderSizesAreCheckedBeforeAllocating) {
  TMapEditLayerList map;
  MakeSampleMap(map);
  const std::string before = BuildMapText(map);
  const char* bad[] = {"1,-1,1,1", "-1,1,1,1", "1,1,1,-5", "1,1,1,0", "1,201,200,100", "1,1,1,1001",
                       "70000,1,1,1", "100,200,200,50", "1,x,1,1",
                       // sides whose product overflows 64 bits (found by fuzzing)
                       "1,1116777215,7778215,112"};
  for (const char* header : bad) {
    std::string text = OneLayerText("x", "0:0");
    text.replace(10, 7, header);
    EXPECT_THROW(Load(map, text), EVellumError) << header;
  }
  EXPECT_EQ(BuildMapText(map), before);
  // 200 x 200 cells of 100 pixels is within the limits: this file fails only
  // because it is cut short, found before the grids are allocated.
  EXPECT_THROW(Load(map, "KRV2_MAP\r\n1,200,200,100\r\nwall\r\n2:0\r\n"), EListError);
  // Enough lines but far too little text: a few kilobytes of empty lines may not
  // make the reader allocate grids for 20000 x 20000 pixels.
  std::string empties = "KRV2_MAP\r\n1,200,200,100\r\nwall\r\n2:0\r\n";
  for (int i = 0; i < 20300; ++i) empties += "\n";
  try {
    Load(map, empties);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_NE(std::string(e.what()).find("characters where its header needs at least"),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(BuildMapText(map), before);
  // A map without cells is allowed.
  Load(map,
       "KRV2_MAP\r\n0,0,0,0\r\nKRV2_MAP LAYER\r\nKRV2_MAP DRAW\r\nKRV2_MAP HORZ DOOR\r\n0\r\n"
       "KRV2_MAP VERT DOOR\r\n0\r\nKRV2_MAP FREE DOOR\r\n0\r\n");
  EXPECT_EQ(map.Count(), 0);
  EXPECT_EQ(map.Width(), 0);

  // Cells in one direction only (both found by fuzzing): no columns but twenty rows
  // with a texture once tiled rows from a null image, and 167772151 columns of no
  // height made every whole-map loop run over the width. Such a map has nothing to
  // show and is refused.
  const std::string before2 = BuildMapText(map);
  for (const char* name : {"zero-width-map-with-a-texture.txt", "wide-map-of-no-height.txt"}) {
    const std::string text =
        vctest::ReadFileBytes(std::string(VC_SOURCE_DIR) + "/fuzz/regressions/map_file/" + name);
    try {
      Load(map, text);
      ADD_FAILURE() << name;
    } catch (const EMapFileError& e) {
      EXPECT_NE(std::string(e.what()).find("which is not valid"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(BuildMapText(map), before2);
}

TEST(MapFile, DecompressedTextIsBounded) {
  // A small file that inflates to far more text than a 1 x 1 map can need.
  std::string text = OneLayerText("x", "0:0");
  text.append(size_t(160) << 20, 'A');
  const std::string bomb = Deflate(text);
  EXPECT_LT(bomb.size(), size_t(1) << 20);
  TMapEditLayerList map;
  TMapLoadReport r;
  EXPECT_THROW(LoadMapFromBytes(map, bomb, "", r), EMapFileError);
  EXPECT_EQ(map.Count(), 0);
}

TEST(MapFile, MissingTexturesGiveAPlaceholderAndKeepTheirSource) {
  vctest::TempDir dir;
  TBitmap32 image;
  image.SetSize(2, 2);
  image.Clear(0xFF102030u);
  SavePNGFile(image, dir.File("stone.png"));
  vctest::WriteFileBytes(dir.File("broken.png"), "not a png");

  TMapEditLayerList map;
  map.SetSize(2, 2, 8);
  const char* sources[] = {"0",          "C:\\Users\\someone\\maps\\stone.png",
                           "stone.png",  "gone.png",
                           "broken.png", "<0,0,2>gone.png"};
  for (const char* s : sources) {
    TMapEditLayer* layer = map.AddLayer();
    layer->SetFileNameOnly(s);
  }
  vctest::WriteFileBytes(dir.File("m.qmx"), BuildMapFile(map));

  TMapEditLayerList back;
  TMapLoadReport report;
  back.LoadFromFile(dir.File("m.qmx"), report);
  ASSERT_EQ(back.Count(), 6);
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(back.Layers(i)->FileName(), sources[i]);
  EXPECT_EQ(back.Layers(1)->TextureState, TTextureState::Ok);  // file name in the map's folder
  EXPECT_EQ(back.Layers(1)->BMP().Pixel(3, 3) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(back.Layers(2)->TextureState, TTextureState::Ok);  // relative to the map's folder
  EXPECT_EQ(back.Layers(3)->TextureState, TTextureState::Missing);
  EXPECT_EQ(back.Layers(4)->TextureState, TTextureState::Unreadable);
  EXPECT_EQ(back.Layers(5)->TextureState, TTextureState::Missing);
  EXPECT_EQ(report.MissingTextures,
            (std::vector<std::string>{"gone.png", "broken.png", "<0,0,2>gone.png"}));
  // The placeholder: magenta and black squares of 8 pixels.
  const TBitmap32& bmp = back.Layers(3)->BMP();
  ASSERT_EQ(bmp.Width(), 16);
  EXPECT_EQ(bmp.Pixel(0, 0) & 0xFFFFFF, 0xFF00FFu);
  EXPECT_EQ(bmp.Pixel(8, 0) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(bmp.Pixel(15, 15) & 0xFFFFFF, 0xFF00FFu);
  // Saving keeps every source as it was.
  EXPECT_EQ(BuildMapText(back), BuildMapText(map));
}

TEST(MapFile, MapsAFileCannotHoldAreRefused) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  MakeSampleMap(map);
  map.SaveToFile(dir.File("keep.qmx"));
  const std::string old = vctest::ReadFileBytes(dir.File("keep.qmx"));

  map.SetPixelLayer(5, 6, 0x10000);
  try {
    map.SaveToFile(dir.File("keep.qmx"));
    FAIL() << "no error";
  } catch (const EMapFileError& e) {
    EXPECT_NE(std::string(e.what()).find("(5, 6)"), std::string::npos) << e.what();
  }
  map.SetPixelLayer(5, 6, -1);
  EXPECT_THROW(map.SaveToFile(dir.File("keep.qmx")), EMapFileError);
  map.SetPixelLayer(5, 6, 0xFFFF);
  map.Layers(1)->LayerName = "two\r\nlines";
  EXPECT_THROW(map.SaveToFile(dir.File("keep.qmx")), EMapFileError);
  EXPECT_EQ(vctest::ReadFileBytes(dir.File("keep.qmx")), old);

  map.Layers(1)->LayerName = "grass";
  EXPECT_THROW(map.SaveToFile(dir.File("no/such/folder.qmx")), EFileError);
  EXPECT_THROW(map.SaveToFile(dir.Path().string()), EFileError);
  map.SaveToFile(dir.File("keep.qmx"));
  TMapEditLayerList back;
  back.LoadFromFile(dir.File("keep.qmx"));
  EXPECT_EQ(back.PixelLayers(5, 6), 0xFFFF);
  // Only the map and the backup of the version it replaced; no temporary files.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
  EXPECT_EQ(vctest::ReadFileBytes(dir.File("keep.qmx.bak")), old);
}

TEST(MapFile, PixelRowsOfEveryWidthReadBackExactly) {
  // Rows are read three pixels at a time with the last one or two read on their
  // own; every width modulo three, and every digit, must come back.
  std::mt19937 random(11);
  for (int32_t chip : {1, 2, 3, 4, 5, 7, 16, 17}) {
    TMapEditLayerList map;
    map.SetSize(2, 1, chip);
    map.AddLayer()->SetFileName("0");
    for (int32_t y = 0; y < map.PixelHeight(); ++y)
      for (int32_t x = 0; x < map.PixelWidth(); ++x)
        map.SetPixelLayer(x, y, int32_t(random() % 65536));
    map.SetPixelLayer(0, 0, 0xFFFF);
    TMapEditLayerList back;
    Load(back, BuildMapText(map));
    EXPECT_EQ(back.PixelGrid(), map.PixelGrid()) << chip;
  }

  // Lower-case digits are read as upper-case ones, and a foreign digit in a later
  // group of a row is reported with its text and line.
  const std::string upper = "00AB12CDEF0F3A4b";
  std::string lower = upper;
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  TMapEditLayerList four;
  four.SetSize(1, 1, 4);
  four.AddLayer()->SetFileName("0");
  std::string text = BuildMapText(four);
  const std::string zeroRow = EncodeLine(std::string(16, '0'));
  text.replace(text.find(zeroRow), zeroRow.size(), EncodeLine(lower));
  TMapEditLayerList back;
  Load(back, text);
  EXPECT_EQ(back.PixelLayers(0, 0), 0x00AB);
  EXPECT_EQ(back.PixelLayers(1, 0), 0x12CD);
  EXPECT_EQ(back.PixelLayers(2, 0), 0xEF0F);
  EXPECT_EQ(back.PixelLayers(3, 0), 0x3A4B);
  text.replace(text.find(zeroRow), zeroRow.size(), EncodeLine("000000000000x12F"));
  try {
    Load(back, text);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), "'$x12F' は整数ではありません (line 7, the pixel rows)");
  }
  EXPECT_EQ(back.PixelLayers(3, 0), 0x3A4B);
}

TEST(MapFile, AMapInflatedAheadOnASecondThreadLoadsTheSame) {
  // Random layer indices barely compress, so this file is large enough to be
  // inflated on a thread of its own while its rows and layer images are read.
  std::mt19937 random(5);
  TMapEditLayerList map;
  map.SetSize(20, 20, 16);
  for (int i = 0; i < 4; ++i) map.AddLayer()->SetFileName(std::to_string(i * 99));
  for (int32_t y = 0; y < map.PixelHeight(); ++y)
    for (int32_t x = 0; x < map.PixelWidth(); ++x)
      map.SetPixelLayer(x, y, int32_t(random() % 65536));
  const std::string file = BuildMapFile(map);
  ASSERT_GT(file.size(), size_t(1) << 17);
  TMapEditLayerList back;
  TMapLoadReport report;
  LoadMapFromBytes(back, file, "", report);
  EXPECT_EQ(back.PixelGrid(), map.PixelGrid());
  EXPECT_EQ(BuildMapText(back), BuildMapText(map));
  // The layer images, built on another thread, are those of the map composed here.
  map.Refresh();
  for (int32_t i = 0; i < map.Count(); ++i) {
    const TBitmap32& want = std::as_const(*map.Layers(i)).BMP();
    const TBitmap32& got = std::as_const(*back.Layers(i)).BMP();
    ASSERT_EQ(got.Width(), want.Width());
    EXPECT_TRUE(std::equal(got.Bits(), got.Bits() + 320 * 320, want.Bits())) << i;
  }
  // Cut short, it fails and leaves the document as it was.
  EXPECT_THROW(LoadMapFromBytes(back, file.substr(0, file.size() / 2), "", report), EVellumError);
  EXPECT_EQ(back.PixelGrid(), map.PixelGrid());
}

TEST(MapFile, ALargeMapIsCompressedAsOneStream) {
  // The text of this map is a few megabytes, compressed a piece at a time.
  TMapEditLayerList map;
  map.SetSize(40, 40, 20);
  for (int i = 0; i < 3; ++i) map.AddLayer()->SetFileName(std::to_string(i * 1000));
  for (int32_t y = 0; y < map.PixelHeight(); ++y)
    for (int32_t x = 0; x < map.PixelWidth(); ++x) map.SetPixelLayer(x, y, (x * 7 + y / 3) % 3);
  for (int i = 0; i < 20000; ++i) {
    TMapEditCustomDoor* d = map.Doors().FreeDoor().Add();
    d->X = i, d->Y = 1, d->X2 = 2, d->Y2 = 3, d->Color = 0xFF000000u + uint32_t(i);
  }
  const std::string text = BuildMapText(map);
  ASSERT_GT(text.size(), size_t(3) << 20);
  const std::string file = BuildMapFile(map);
  EXPECT_EQ(file.substr(0, 2), "\x78\x9C");
  EXPECT_EQ(Inflate(file), text);
  TMapEditLayerList back;
  TMapLoadReport report;
  LoadMapFromBytes(back, file, "", report);
  EXPECT_EQ(BuildMapText(back), text);
}

TEST(MapFile, ACellRowShorterThanTheMapReadsItsMissingCellsAsZero) {
  // A 5 x 2 map: row 0 gives only its first two cells ("11"), row 1 is empty;
  // everything else of the file is whole.
  std::string text = "KRV2_MAP\r\n1,5,2,1\r\nwall\r\n2:0\r\nKRV2_MAP LAYER\r\n";
  for (int y = 0; y < 2; ++y) text += EncodeLine("00000000000000000000") + "\r\n";
  text += "KRV2_MAP DRAW\r\n" + EncodeLine("11") + "\r\n\r\n";
  text += "KRV2_MAP HORZ DOOR\r\n0\r\nKRV2_MAP VERT DOOR\r\n0\r\nKRV2_MAP FREE DOOR\r\n0\r\n";
  TMapEditLayerList map;
  Load(map, text);
  std::string cells;
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 5; ++x) cells += char('0' + map.Cells(x, y));
  EXPECT_EQ(cells, "1100000000");
  // Written back, the rows are whole again.
  const std::string written = BuildMapText(map);
  EXPECT_NE(written.find("KRV2_MAP DRAW\r\n" + EncodeLine("11000") + "\r\n" + EncodeLine("00000") +
                         "\r\nKRV2_MAP HORZ DOOR"),
            std::string::npos);
}

TEST(MapFile, AHeaderClaimingMoreMemoryThanTheMachineHasIsRefusedNamingTheSize) {
  // Ten layers of 20000 x 20000 pixels within the format's limits, on a machine
  // of 16 GiB: refused from the header, before a grid or image is allocated.
  SetMapMemoryLimit(int64_t(16) << 30);
  TMapEditLayerList map;
  MakeSampleMap(map);
  const std::string before = BuildMapText(map);
  std::string text = "KRV2_MAP\r\n10,200,200,100\r\n";
  for (int i = 0; i < 10; ++i) text += "layer\r\n0:255\r\n";
  text += "KRV2_MAP LAYER\r\n";
  try {
    Load(map, text);
    ADD_FAILURE() << "no error";
  } catch (const EMapFileError& e) {
    EXPECT_STREQ(e.what(),
                 "The map of 200 x 200 cells of 100 pixels with 10 layers needs 19.4 GiB of "
                 "memory; 16.0 GiB are available");
  }
  EXPECT_EQ(BuildMapText(map), before);
  // A small map fits a small bound.
  SetMapMemoryLimit(int64_t(1) << 20);
  Load(map, OneLayerText("x", "0:0"));
  EXPECT_EQ(map.Count(), 1);
  SetMapMemoryLimit(0);
  EXPECT_GT(MapMemoryLimit(), int64_t(1) << 20);
  EXPECT_EQ(MapMemoryNeed(2, 10, 10, 4), 5 * 100 * 4 + 4);
}

TEST(MapFile, ADamagedCompressedStreamNamesTheFile) {
  vctest::TempDir dir;
  const std::string path = dir.File("broken.qmx");
  vctest::WriteFileBytes(path, "this is not zlib at all");
  TMapEditLayerList map;
  try {
    map.LoadFromFile(path);
    FAIL() << "no error";
  } catch (const EDecompressionError& e) {
    EXPECT_EQ(std::string(e.what()), "エラー: the map file \"" + path +
                                         "\" is damaged; its compressed data cannot be read");
  }
}
