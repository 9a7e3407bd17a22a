// Lights, windows, labels and alignment in the Universal VTT export, and how
// few wall segments a free-hand cave gives.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"
#include "map/output/vtt_export.h"
#include "support/test_support.h"

using nlohmann::json;

namespace {

// A W x H map of Chip-pixel cells: black walls (layer 0), a white floor (layer 1)
// everywhere, a grey object layer (layer 2).
void MakeMap(TMapEditLayerList& Map, int32_t W, int32_t H, int32_t Chip) {
  TMapEditLayer* wall = Map.AddLayer();
  wall->SetFileName("0");
  wall->LayerType = mltObject;
  Map.AddLayer()->SetFileName("16777215");
  TMapEditLayer* pillar = Map.AddLayer();
  pillar->SetFileName("8421504");
  pillar->LayerType = mltObject;
  Map.SetSize(W, H, Chip);
  Map.FillRectChips(0, 0, W - 1, H - 1, 1);
}

// A room: a ring of wall cells from (1, 1) to (6, 4) around the floor (2, 2)-(5, 3).
void AddRoom(TMapEditLayerList& Map) {
  Map.FillRectChips(1, 1, 6, 4, 0);
  Map.FillRectChips(2, 2, 5, 3, 1);
}

json Export(TMapEditLayerList& Map, const TVttExportOptions& Options, TBitmap32* Image = nullptr) {
  vctest::TempDir dir;
  ExportVtt(Map, dir.File("map.dd2vtt"), Options);
  const json j = json::parse(vctest::ReadFileBytes(dir.File("map.dd2vtt")));
  if (Image) {
    const std::string png = vctest::DecodeBase64(j["image"].get<std::string>());
    DecodeImage(reinterpret_cast<const uint8_t*>(png.data()), png.size(), ".png", *Image);
  }
  return j;
}

}  // namespace

TEST(VttObjects, LabelsTwoLightsAWindowAndDoorsGiveTheFieldsImportersRead) {
  TMapEditLayerList map;
  MakeMap(map, 8, 6, 32);
  AddRoom(map);
  map.ToggleDoor(3, 2, true, 0x1FFFFFFF);  // on the room's top wall
  TMapWindow window;
  window.Kind = TWindowKind::Vertical;
  window.CX = 6;
  window.CY = 3;  // on the room's right wall
  map.Objects().Add(window.ToObject());
  TMapLight warm, cold;
  warm.X = 96;
  warm.Y = 80;
  warm.Radius = 3;
  warm.Color = 0xFFFFE0A0;
  warm.Intensity = 0.8;
  cold.X = 160;
  cold.Y = 96;
  cold.Radius = 1.5;
  cold.Color = 0x80A0C0FF;
  cold.Shadows = false;
  map.Objects().Add(warm.ToObject());
  map.Objects().Add(cold.ToObject());
  TMapLabel label;
  label.Text = "1";
  label.X = 120;
  label.Y = 90;
  map.Objects().Add(label.ToObject());

  TBitmap32 image;
  const json j = Export(map, {}, &image);
  ASSERT_EQ(j["lights"].size(), 2u);
  EXPECT_EQ(j["lights"][0],
            json::parse(R"({"position":{"x":3.0,"y":2.5},"range":3.0,"intensity":0.8,)"
                        R"("color":"ffffe0a0","shadows":true})"));
  EXPECT_EQ(j["lights"][1]["position"], json::parse(R"({"x":5.0,"y":3.0})"));
  EXPECT_EQ(j["lights"][1]["color"], "80a0c0ff");
  EXPECT_EQ(j["lights"][1]["shadows"], false);
  // The image does not show the lights: the tabletop is to light the map.
  EXPECT_EQ(j["environment"]["baked_lighting"], false);

  ASSERT_EQ(j["portals"].size(), 2u);
  EXPECT_EQ(j["portals"][0]["closed"], true);
  EXPECT_EQ(j["portals"][1]["closed"], false);
  EXPECT_EQ(j["portals"][1]["bounds"], json::parse(R"([{"x":6.0,"y":3.0},{"x":6.0,"y":4.0}])"));
  EXPECT_EQ(j["portals"][1]["position"], json::parse(R"({"x":6.0,"y":3.5})"));
  EXPECT_EQ(j["portals"][1]["freestanding"], false);
  // Labels are not part of the format.
  for (const char* key : {"format", "resolution", "line_of_sight", "objects_line_of_sight",
                          "portals", "environment", "lights", "image"})
    EXPECT_TRUE(j.contains(key)) << key;
  EXPECT_EQ(j.size(), 8u);

  // The window opens the wall exactly as a door in its place does.
  TMapEditLayerList withDoor;
  MakeMap(withDoor, 8, 6, 32);
  AddRoom(withDoor);
  withDoor.ToggleDoor(3, 2, true, 0x1FFFFFFF);
  withDoor.ToggleDoor(6, 3, false, 0x1FFFFFFF);
  const TVttScene doors = BuildVttScene(withDoor);
  const TVttScene windows = BuildVttScene(map);
  ASSERT_EQ(windows.Walls.size(), doors.Walls.size());
  for (size_t i = 0; i < doors.Walls.size(); ++i) EXPECT_EQ(windows.Walls[i], doors.Walls[i]);
  EXPECT_LT(windows.WallSegments(), BuildVttScene(withDoor).WallSegments() + 1);

  // A players' copy: the exported image has no label; asked for, it has.
  TMapEditLayerList bare;
  MakeMap(bare, 8, 6, 32);
  AddRoom(bare);
  bare.ToggleDoor(3, 2, true, 0x1FFFFFFF);
  bare.Objects().Add(window.ToObject());
  TBitmap32 bareImage;
  Export(bare, {}, &bareImage);
  ASSERT_EQ(bareImage.Width(), image.Width());
  EXPECT_EQ(std::vector<TColor32>(image.Bits(), image.Bits() + image.Width() * image.Height()),
            std::vector<TColor32>(bareImage.Bits(),
                                  bareImage.Bits() + bareImage.Width() * bareImage.Height()));
  // Baked lights say so, and darken the room's corners.
  TVttExportOptions baked;
  baked.BakeLights = true;
  TBitmap32 lit;
  EXPECT_EQ(Export(map, baked, &lit)["environment"]["baked_lighting"], true);
  EXPECT_LT(lit.Pixel(250, 10) & 0xFF, image.Pixel(250, 10) & 0xFF);
}

TEST(VttObjects, AWallAlongACellEdgeLandsOnThatEdgeAtEveryPixelsPerGrid) {
  TMapEditLayerList map;
  MakeMap(map, 6, 4, 32);
  map.FillRectChips(3, 0, 5, 3, 0);  // walls from x = 3 cells on
  for (int32_t ppg : {16, 32, 50, 70, 100, 141}) {
    TVttExportOptions options;
    options.PixelsPerGrid = ppg;
    TBitmap32 image;
    const json j = Export(map, options, &image);
    EXPECT_EQ(j["resolution"]["map_origin"], json::parse(R"({"x":0,"y":0})"));
    EXPECT_EQ(j["resolution"]["map_size"], json::parse(R"({"x":6,"y":4})"));
    ASSERT_EQ(image.Width(), 6 * ppg);
    ASSERT_EQ(image.Height(), 4 * ppg);
    // The wall's line runs along x = 3 (grid units) ...
    bool found = false;
    for (const auto& line : j["line_of_sight"])
      for (size_t i = 0; i + 1 < line.size(); ++i)
        found = found || (line[i]["x"] == 3.0 && line[i + 1]["x"] == 3.0);
    EXPECT_TRUE(found) << ppg;
    const int32_t row = 2 * ppg;
    // ... and the image turns from floor to wall at pixel column 3 * ppg: the
    // two columns beside that edge are mirror images (white plus black).
    const uint32_t left = image.Pixel(3 * ppg - 1, row) & 0xFF;
    const uint32_t right = image.Pixel(3 * ppg, row) & 0xFF;
    EXPECT_EQ(left + right, 0xFFu) << ppg;
    EXPECT_GT(left, right) << ppg;
    EXPECT_EQ(image.Pixel(3 * ppg + 2, row) & 0xFFFFFF, 0u) << ppg;
  }
}

TEST(VttObjects, ObjectOutlinesCanJoinTheWalls) {
  TMapEditLayerList map;
  MakeMap(map, 8, 6, 32);
  AddRoom(map);
  map.FillRectChips(3, 3, 3, 3, 2);  // a pillar in the room
  const TVttScene apart = BuildVttScene(map);
  ASSERT_EQ(apart.Objects.size(), 1u);
  const TVttScene merged = BuildVttScene(map, true);
  EXPECT_TRUE(merged.Objects.empty());
  EXPECT_EQ(merged.Walls.size(), apart.Walls.size() + 1);
  EXPECT_EQ(merged.Walls.back(), apart.Objects[0]);
  TVttExportOptions options;
  options.MergeObjectOutlines = true;
  const json j = Export(map, options);
  EXPECT_EQ(j["objects_line_of_sight"], json::array());
  EXPECT_EQ(j["line_of_sight"].size(), apart.Walls.size() + 1);
}

TEST(VttObjects, AFreeHandCaveGivesAFewHundredSegments) {
  // A 40 x 40 map of 32-pixel cells, all wall, with a cave dug with the free-hand
  // brush: round chambers joined by winding passages.
  TMapEditLayerList map;
  MakeMap(map, 40, 40, 32);
  map.FillRectChips(0, 0, 39, 39, 0);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0, 1);
  struct TChamber {
    double X, Y, R;
  };
  std::vector<TChamber> chambers;
  for (int i = 0; i < 7; ++i)
    chambers.push_back({160 + unit(rng) * 960, 160 + unit(rng) * 960, 70 + unit(rng) * 80});
  for (const TChamber& c : chambers) map.PaintCircle(int32_t(c.X), int32_t(c.Y), int32_t(c.R), 1);
  for (size_t i = 0; i + 1 < chambers.size(); ++i) {
    const TChamber a = chambers[i], b = chambers[i + 1];
    const double len = std::hypot(b.X - a.X, b.Y - a.Y);
    for (double t = 0; t <= len; t += 4) {
      const double k = t / len, wiggle = 40 * std::sin(k * 6.283);
      const double x = a.X + (b.X - a.X) * k - (b.Y - a.Y) / len * wiggle;
      const double y = a.Y + (b.Y - a.Y) * k + (b.X - a.X) / len * wiggle;
      map.PaintCircle(int32_t(x), int32_t(y), 28, 1);
    }
  }
  const TVttScene scene = BuildVttScene(map);
  const size_t segments = scene.WallSegments();
  std::printf("free-hand cave: %zu wall lines, %zu segments\n", scene.Walls.size(), segments);
  EXPECT_GT(segments, 50u);
  EXPECT_LE(segments, 400u);
  // No two segments in a row run the same way.
  for (const TVttPolyline& line : scene.Walls)
    for (size_t i = 0; i + 2 < line.size(); ++i) {
      const double ax = line[i + 1].X - line[i].X, ay = line[i + 1].Y - line[i].Y;
      const double bx = line[i + 2].X - line[i + 1].X, by = line[i + 2].Y - line[i + 1].Y;
      EXPECT_FALSE(std::fabs(ax * by - ay * bx) < 1e-9 && ax * bx + ay * by > 0);
    }
}
