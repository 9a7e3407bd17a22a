// The objects section after the free doors: written only when there are objects,
// read back exactly, damage reported by line, and invisible to a reader that
// stops after the free doors.

#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "map/base/text_encoding.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/map_file_check.h"
#include "map/objects/map_object_list.h"
#include "support/test_support.h"

using vctest::Deflate;

namespace {

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

// A 1 x 1 map of chip size 2 with one layer named Name (colour source "0") and
// no painting, as the format lays it out: rows of two zero pixels, one chip cell.
std::string PlainText(const std::string& Name = "W") {
  return "KRV2_MAP\r\n1,1,1,2\r\n" + Name +
         "\r\n2:0\r\nKRV2_MAP LAYER\r\nC30mC30mC30\r\nC30mC30mC30\r\nKRV2_MAP DRAW\r\nCG\r\n"
         "KRV2_MAP HORZ DOOR\r\n0\r\nKRV2_MAP VERT DOOR\r\n0\r\nKRV2_MAP FREE DOOR\r\n0\r\n";
}
// PlainText has 15 lines; the extension starts on line 16.
constexpr int kFirstExtensionLine = 16;

void MakePlain(TMapEditLayerList& Map, const std::string& Name = "W") {
  Map.SetSize(1, 1, 2);
  TMapEditLayer* wall = Map.AddLayer();
  wall->LayerName = Name;
  wall->LayerType = mltObject;
  wall->SetFileName("0");
  Map.SetCell(0, 0, 1);
}

TMapLoadReport Load(TMapEditLayerList& Map, const std::string& Text) {
  TMapLoadReport report;
  LoadMapFromBytes(Map, Deflate(Text), "", report, false);
  return report;
}

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < Text.size()) {
    const size_t end = Text.find("\r\n", at);
    out.push_back(Text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

// A reader of the format as it stood before objects: it reads the header, the
// layers, the rows and the three door lists, then stops. Returns the number of
// lines it took and fills the door counts; fails the test on anything it does
// not expect.
size_t ReadLikeAnOldReader(const std::string& Text, int Counts[3]) {
  const std::vector<std::string> lines = Lines(Text);
  size_t at = 0;
  auto next = [&]() -> const std::string& {
    EXPECT_LT(at, lines.size());
    return lines.at(at++);
  };
  EXPECT_EQ(next(), "KRV2_MAP");
  std::stringstream header(next());
  int n = 0, w = 0, h = 0, c = 0;
  char comma = 0;
  header >> n >> comma >> w >> comma >> h >> comma >> c;
  for (int i = 0; i < 2 * n; ++i) next();
  next();  // layer mark
  for (int y = 0; y < h * c; ++y) EXPECT_EQ(next().size(), size_t((w * c * 4 * 8 + 5) / 6));
  next();  // cell mark
  for (int y = 0; y < h; ++y) next();
  const char* marks[3] = {"KRV2_MAP HORZ DOOR", "KRV2_MAP VERT DOOR", "KRV2_MAP FREE DOOR"};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(next(), marks[k]);
    Counts[k] = std::stoi(next());
    for (int i = 0; i < Counts[k]; ++i) next();
  }
  return at;
}

}  // namespace

TEST(MapFileExtension, AMapWithoutObjectsIsWrittenAsBefore) {
  TMapEditLayerList map;
  MakePlain(map);
  EXPECT_EQ(BuildMapText(map), PlainText());
  const std::string file = BuildMapFile(map);
  EXPECT_EQ(file, Deflate(PlainText()));

  // An object added and removed again leaves no trace.
  const uint64_t id = map.Objects().Add(TMapObject::Make("label"));
  EXPECT_NE(BuildMapText(map), PlainText());
  map.Objects().Remove(id);
  EXPECT_EQ(BuildMapFile(map), file);
}

TEST(MapFileExtension, ObjectsComeBackByteForByteUnknownTypesIncluded) {
  // Spaces, escapes, key order and numbers that a JSON writer would spell
  // otherwise: an object nobody changed is written back exactly as it came.
  const std::vector<std::string> objects = {
      R"({"type":"label","x":3,"y":1,"text":"1","size":0.5})",
      R"({ "z" : 1.50, "type" : "fog", "text" : "caf\u00e9", "list" : [1, 2.0e1] })",
      R"({"type":"light","x":1,"y":2,"radius":4,"color":"#FFFFE0A0","intensity":1,"shadows":true})",
      R"({"type":"window","edge":"h","cx":0,"cy":0})"};
  std::string text = PlainText() + "VELLUMCRAFT EXT 1\r\n";
  for (const std::string& o : objects) text += o + "\r\n";
  text += "VELLUMCRAFT END\r\n";

  TMapEditLayerList map;
  const TMapLoadReport report = Load(map, text);
  EXPECT_TRUE(report.Warnings.empty());
  const TMapObjectList& list = map.Objects();
  ASSERT_EQ(list.Count(), 4u);
  EXPECT_EQ(list.At(0).Type, "label");
  EXPECT_EQ(list.At(1).Type, "fog");
  EXPECT_EQ(list.At(1).Data["text"], "caf\xC3\xA9");
  EXPECT_EQ(list.At(1).Data.begin().key(), "z");  // order kept
  EXPECT_EQ(list.At(3).Type, "window");
  // Ids are given on load, each its own.
  EXPECT_NE(list.At(0).Id, 0u);
  EXPECT_NE(list.At(0).Id, list.At(1).Id);
  EXPECT_EQ(BuildMapText(map), text);

  // A changed object is written in compact form; the others stay as they were.
  TMapObject fog = list.At(1);
  fog.Data["z"] = 2;
  map.Objects().Replace(fog.Id, fog);
  const std::vector<std::string> lines = Lines(BuildMapText(map));
  ASSERT_EQ(lines.size(), 15u + 2 + objects.size());
  EXPECT_EQ(lines[15], "VELLUMCRAFT EXT 1");
  EXPECT_EQ(lines[16], objects[0]);
  EXPECT_EQ(lines[17], "{\"z\":2,\"type\":\"fog\",\"text\":\"caf\xC3\xA9\",\"list\":[1,20.0]}");
  EXPECT_EQ(lines[18], objects[2]);
  EXPECT_EQ(lines.back(), "VELLUMCRAFT END");
}

TEST(MapFileExtension, DamagedLinesAreWarningsAndTheMapStillOpens) {
  const int first = kFirstExtensionLine + 1;  // the first object line
  std::string text = PlainText() + "VELLUMCRAFT EXT 1\r\n" +
                     R"({"type":"label","text":"kept"})"
                     "\r\n"  // first
                     R"({"type":"label","text":)"
                     "\r\n"       // first + 1: cut short
                     "[1,2]\r\n"  // first + 2: not an object
                     R"({"text":"no type"})"
                     "\r\n"  // first + 3
                     "\r\n"  // blank: passed over
                     R"({"type":"light"})"
                     "\r\n"  // first + 5
                     "VELLUMCRAFT END\r\n";
  TMapEditLayerList map;
  const TMapLoadReport report = Load(map, text);
  ASSERT_EQ(map.Objects().Count(), 2u);
  EXPECT_EQ(map.Objects().At(0).Data["text"], "kept");
  EXPECT_EQ(map.Objects().At(1).Type, "light");
  ASSERT_EQ(report.Warnings.size(), 3u);
  EXPECT_EQ(report.Warnings[0].rfind("Line " + std::to_string(first + 1) + " ", 0), 0u)
      << report.Warnings[0];
  EXPECT_EQ(report.Warnings[1].rfind("Line " + std::to_string(first + 2) + " ", 0), 0u)
      << report.Warnings[1];
  EXPECT_EQ(report.Warnings[2].rfind("Line " + std::to_string(first + 3) + " ", 0), 0u)
      << report.Warnings[2];
  EXPECT_NE(report.Warnings[0].find("left out"), std::string::npos);
  // The map itself is all there.
  EXPECT_EQ(map.Width(), 1);
  EXPECT_EQ(map.Layers(0)->LayerName, "W");

  // A section cut short keeps what it held; one of a newer kind, or text that is
  // not a section, is passed over with a word.
  TMapEditLayerList cut;
  TMapLoadReport r = Load(cut, PlainText() + "VELLUMCRAFT EXT 1\r\n{\"type\":\"label\"}\r\n");
  EXPECT_EQ(cut.Objects().Count(), 1u);
  ASSERT_EQ(r.Warnings.size(), 1u);
  EXPECT_NE(r.Warnings[0].find("VELLUMCRAFT END"), std::string::npos);

  TMapEditLayerList newer;
  r = Load(newer, PlainText() + "VELLUMCRAFT EXT 2\r\n{\"type\":\"label\"}\r\nVELLUMCRAFT END\r\n");
  EXPECT_EQ(newer.Objects().Count(), 0u);
  ASSERT_EQ(r.Warnings.size(), 1u);
  EXPECT_EQ(r.Warnings[0].rfind("Line " + std::to_string(kFirstExtensionLine) + " ", 0), 0u);

  TMapEditLayerList after;
  r = Load(after, PlainText() + "VELLUMCRAFT EXT 1\r\n{\"type\":\"label\"}\r\nVELLUMCRAFT END\r\n" +
                      "\r\nleft over\r\n");
  EXPECT_EQ(after.Objects().Count(), 1u);
  ASSERT_EQ(r.Warnings.size(), 1u);
  EXPECT_EQ(r.Warnings[0].rfind("Line " + std::to_string(kFirstExtensionLine + 4) + " ", 0), 0u)
      << r.Warnings[0];

  // Blank lines after the free doors of an older file are nothing to warn about.
  TMapEditLayerList blank;
  r = Load(blank, PlainText() + "\r\n\r\n");
  EXPECT_TRUE(r.Warnings.empty());
  EXPECT_EQ(blank.Objects().Count(), 0u);
}

TEST(MapFileExtension, AReaderThatStopsAfterTheFreeDoorsReadsAMapWithObjects) {
  TMapEditLayerList map;
  map.SetSize(3, 2, 4);
  TMapEditLayer* wall = map.AddLayer();
  wall->LayerName = "Wall";
  wall->SetFileName("0");
  map.ToggleDoor(1, 1, true, clNone);
  map.ToggleDoor(2, 0, false, clNone);
  map.AddFreeDoor(0, 0, 5, 5, clNone);
  map.AddFreeDoor(1, 2, 7, 3, clNone);
  map.Objects().Add(TMapObject::Make("label"));
  map.Objects().Add(TMapObject::Make("light"));
  const std::string text = Inflate(BuildMapFile(map));

  int counts[3] = {-1, -1, -1};
  const size_t taken = ReadLikeAnOldReader(text, counts);
  EXPECT_EQ(counts[0], 1);
  EXPECT_EQ(counts[1], 1);
  EXPECT_EQ(counts[2], 2);
  // What the old reader left alone is exactly the objects' section.
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), taken + 4);
  EXPECT_EQ(lines[taken], "VELLUMCRAFT EXT 1");
  EXPECT_EQ(lines[taken + 1], "{\"type\":\"label\"}");
  EXPECT_EQ(lines[taken + 2], "{\"type\":\"light\"}");
  EXPECT_EQ(lines[taken + 3], "VELLUMCRAFT END");
}

TEST(MapFileExtension, ObjectTextsFollowTheFileEncoding) {
  const std::string wall = "\xE5\xA3\x81";              // 壁, which Shift JIS holds
  const std::string room = "\xE9\x83\xA8\xE5\xB1\x8B";  // 部屋
  const std::string snowman = "\xE2\x98\x83";           // ☃, which it does not

  // A Shift JIS file: the label's text is written in Shift JIS as well.
  TMapEditLayerList map;
  MakePlain(map, wall);
  TMapObject label = TMapObject::Make("label");
  label.Data["text"] = room;
  map.Objects().Add(label);
  std::string encoding;
  const std::string text = BuildMapText(map, &encoding);
  EXPECT_EQ(encoding, "Shift_JIS");
  const std::vector<std::string> lines = Lines(text);
  EXPECT_EQ(lines[2], *Utf8ToCp932(wall));
  EXPECT_EQ(lines[16], *Utf8ToCp932(label.Data.dump()));
  TMapEditLayerList back;
  TMapLoadReport report = Load(back, text);
  EXPECT_EQ(report.Encoding, "Shift_JIS");
  EXPECT_EQ(back.Layers(0)->LayerName, wall);
  ASSERT_EQ(back.Objects().Count(), 1u);
  EXPECT_EQ(back.Objects().At(0).Data["text"], room);

  // A label Shift JIS cannot hold makes the whole file UTF-8.
  TMapObject snow = TMapObject::Make("label");
  snow.Data["text"] = snowman;
  map.Objects().Add(snow);
  const std::string utf8 = BuildMapText(map, &encoding);
  EXPECT_EQ(encoding, "UTF-8");
  EXPECT_EQ(Lines(utf8)[2], wall);
  TMapEditLayerList again;
  report = Load(again, utf8);
  EXPECT_EQ(report.Encoding, "UTF-8");
  EXPECT_EQ(again.Layers(0)->LayerName, wall);
  ASSERT_EQ(again.Objects().Count(), 2u);
  EXPECT_EQ(again.Objects().At(0).Data["text"], room);
  EXPECT_EQ(again.Objects().At(1).Data["text"], snowman);
}

TEST(MapFileExtension, SavedObjectsPassTheReadBackCheck) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  MakePlain(map, "\xE5\xA3\x81");
  TMapObject label = TMapObject::Make("label");
  label.Data["text"] = "\xE9\x83\xA8";
  map.Objects().Add(label);
  map.Objects().Add(TMapObject::Parse(R"({ "type" : "fog" })"));
  const std::string path = dir.File("objects.qmx");
  map.SaveToFile(path);
  TMapEditLayerList back;
  TMapLoadReport report;
  back.LoadFromFile(path, report);
  EXPECT_TRUE(report.Warnings.empty());
  ASSERT_EQ(back.Objects().Count(), 2u);
  EXPECT_EQ(back.Objects().At(0).Data["text"], "\xE9\x83\xA8");
  EXPECT_EQ(back.Objects().At(1).FileLine(), R"({ "type" : "fog" })");

  // The check before a save replaces anything finds an object that does not read
  // back, and a section that is missing.
  std::string text = BuildMapText(map);
  const std::string bad = dir.File("bad.qmx");
  std::string changed = text;
  changed.replace(changed.find("fog"), 3, "fig");
  vctest::WriteFileBytes(bad, Deflate(changed));
  EXPECT_THROW(
      try { CheckWrittenMapFile(bad, map, "objects.qmx"); } catch (const EMapFileError& e) {
        EXPECT_NE(std::string(e.what()).find("object 1 reads back differently"), std::string::npos)
            << e.what();
        throw;
      },
      EMapFileError);
  vctest::WriteFileBytes(bad, Deflate(text.substr(0, text.find("VELLUMCRAFT EXT 1"))));
  EXPECT_THROW(CheckWrittenMapFile(bad, map, "objects.qmx"), EMapFileError);
  vctest::WriteFileBytes(bad, Deflate(text));
  EXPECT_NO_THROW(CheckWrittenMapFile(bad, map, "objects.qmx"));
}
