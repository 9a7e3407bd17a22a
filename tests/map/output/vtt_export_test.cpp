#include "map/output/vtt_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"
#include "map/output/image_output.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/outline_trace.h"
#include "record/errors.h"
#include "support/test_support.h"

using vctest::DecodeBase64;
using vctest::ReadFileBytes;
using vctest::TempDir;
using vctest::WriteFileBytes;

namespace {

constexpr int32_t kChip = 32;

// An 8 x 6 map of 32-pixel cells: layer 0 black walls, layer 1 a white floor
// everywhere, layer 2 a grey object layer.
void MakeMap(TMapEditLayerList& Map, int32_t W = 8, int32_t H = 6, int32_t Chip = kChip) {
  TMapEditLayer* wall = Map.AddLayer();
  wall->SetFileName("0");
  wall->LayerType = mltObject;
  TMapEditLayer* floor = Map.AddLayer();
  floor->SetFileName("16777215");
  TMapEditLayer* pillar = Map.AddLayer();
  pillar->SetFileName("8421504");
  pillar->LayerType = mltObject;
  Map.SetSize(W, H, Chip);
  Map.FillRectChips(0, 0, W - 1, H - 1, 1);
}

// A ring of wall cells with its outer edge on cells (1, 1)-(7, 5) and the room
// inside it on cells (2, 2)-(6, 4).
void AddRoomRing(TMapEditLayerList& Map) {
  Map.FillRectChips(1, 1, 6, 4, 0);
  Map.FillRectChips(2, 2, 5, 3, 1);
}

TVttPolyline Line(std::initializer_list<std::pair<double, double>> Points) {
  TVttPolyline l;
  for (auto [x, y] : Points) l.push_back({x, y});
  return l;
}

// Closed polylines compared without regard to start point and direction.
bool SameLoop(const TVttPolyline& A, const TVttPolyline& B) {
  if (A.size() != B.size() || A.size() < 2 || A.front() != A.back() || B.front() != B.back())
    return false;
  const size_t n = A.size() - 1;
  for (int dir : {1, -1})
    for (size_t s = 0; s < n; ++s) {
      bool same = true;
      for (size_t k = 0; k < n && same; ++k)
        same = A[k] == B[(s + n + dir * int64_t(k) % int64_t(n)) % n];
      if (same) return true;
    }
  return false;
}

bool HasLoop(const std::vector<TVttPolyline>& Lines, const TVttPolyline& Loop) {
  return std::any_of(Lines.begin(), Lines.end(),
                     [&](const TVttPolyline& l) { return SameLoop(l, Loop); });
}

double Length(const std::vector<TVttPolyline>& Lines) {
  double total = 0;
  for (const TVttPolyline& l : Lines)
    for (size_t i = 0; i + 1 < l.size(); ++i)
      total += std::hypot(l[i + 1].X - l[i].X, l[i + 1].Y - l[i].Y);
  return total;
}

// Every end point of the open polylines.
std::vector<TVttPoint> OpenEnds(const std::vector<TVttPolyline>& Lines) {
  std::vector<TVttPoint> ends;
  for (const TVttPolyline& l : Lines)
    if (l.front() != l.back()) {
      ends.push_back(l.front());
      ends.push_back(l.back());
    }
  return ends;
}

bool Contains(const std::vector<TVttPoint>& Points, TVttPoint P) {
  return std::find(Points.begin(), Points.end(), P) != Points.end();
}

TEST(VttScene, RoomWallsAreTheRingsTwoOutlinesInGridUnits) {
  TMapEditLayerList map;
  MakeMap(map);
  AddRoomRing(map);
  const TVttScene scene = BuildVttScene(map);
  EXPECT_EQ(scene.MapWidth, 8);
  EXPECT_EQ(scene.MapHeight, 6);
  ASSERT_EQ(scene.Walls.size(), 2u);
  EXPECT_TRUE(HasLoop(scene.Walls, Line({{1, 1}, {7, 1}, {7, 5}, {1, 5}, {1, 1}})));
  // The room: four lines along its cell edges, exactly on them.
  EXPECT_TRUE(HasLoop(scene.Walls, Line({{2, 2}, {6, 2}, {6, 4}, {2, 4}, {2, 2}})));
  EXPECT_TRUE(scene.Objects.empty());
  EXPECT_TRUE(scene.Portals.empty());

  // With a chip size that is no power of two the lines stay on the cell edges.
  TMapEditLayerList odd;
  MakeMap(odd, 8, 6, 50);
  AddRoomRing(odd);
  EXPECT_TRUE(HasLoop(BuildVttScene(odd).Walls, Line({{2, 2}, {6, 2}, {6, 4}, {2, 4}, {2, 2}})));
}

TEST(VttScene, MapBorderIsAWallOnlyWhereWallPixelsLieAlongIt) {
  TMapEditLayerList map;
  MakeMap(map);
  // Wall along the whole left column and a floor everywhere else.
  map.FillRectChips(0, 0, 0, 5, 0);
  TVttScene scene = BuildVttScene(map);
  ASSERT_EQ(scene.Walls.size(), 1u);
  EXPECT_TRUE(HasLoop(scene.Walls, Line({{0, 0}, {1, 0}, {1, 6}, {0, 6}, {0, 0}})));

  TMapEditLayerList open;
  MakeMap(open);
  EXPECT_TRUE(BuildVttScene(open).Walls.empty());
}

TEST(VttScene, DoorOnTheRoomsWallOpensBothFacesOfAOneCellWall) {
  TMapEditLayerList map;
  MakeMap(map);
  AddRoomRing(map);
  const double before = Length(BuildVttScene(map).Walls);
  // On the room's top edge at cell (3, 2): the wall cell (3, 1) lies above it.
  map.ToggleDoor(3, 2, true, 0x1FFFFFFF);
  const TVttScene scene = BuildVttScene(map);

  ASSERT_EQ(scene.Portals.size(), 1u);
  const TVttPortal& p = scene.Portals[0];
  EXPECT_EQ(p.Bounds[0], (TVttPoint{3, 2}));
  EXPECT_EQ(p.Bounds[1], (TVttPoint{4, 2}));
  EXPECT_EQ(p.Position, (TVttPoint{3.5, 2}));
  EXPECT_EQ(p.Rotation, 0.0);
  EXPECT_TRUE(p.Closed);
  EXPECT_FALSE(p.Freestanding);

  // Both loops are opened over exactly the door's length, at the door's ends.
  ASSERT_EQ(scene.Walls.size(), 2u);
  EXPECT_DOUBLE_EQ(Length(scene.Walls), before - 2.0);
  const std::vector<TVttPoint> ends = OpenEnds(scene.Walls);
  ASSERT_EQ(ends.size(), 4u);
  for (TVttPoint e : {TVttPoint{3, 2}, TVttPoint{4, 2}, TVttPoint{3, 1}, TVttPoint{4, 1}})
    EXPECT_TRUE(Contains(ends, e)) << e.X << "," << e.Y;
}

TEST(VttScene, DoorOnAThickWallOpensOnlyTheNearFace) {
  TMapEditLayerList map;
  MakeMap(map, 10, 8);
  // Walls two cells thick around the room (3, 3)-(6, 4).
  map.FillRectChips(1, 1, 8, 6, 0);
  map.FillRectChips(3, 3, 6, 4, 1);
  const double before = Length(BuildVttScene(map).Walls);
  map.ToggleDoor(3, 4, false, 0x1FFFFFFF);  // the room's left edge, rows 4..5
  const TVttScene scene = BuildVttScene(map);
  EXPECT_DOUBLE_EQ(Length(scene.Walls), before - 1.0);
  const std::vector<TVttPoint> ends = OpenEnds(scene.Walls);
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_TRUE(Contains(ends, {3, 4}));
  EXPECT_TRUE(Contains(ends, {3, 5}));
  ASSERT_EQ(scene.Portals.size(), 1u);
  EXPECT_DOUBLE_EQ(scene.Portals[0].Rotation, M_PI / 2);
  EXPECT_EQ(scene.Portals[0].Position, (TVttPoint{3, 4.5}));
}

TEST(VttScene, DoorInADoorwayLeavesTheWallsAsTheyAre) {
  TMapEditLayerList map;
  MakeMap(map);
  AddRoomRing(map);
  map.FillRectChips(1, 2, 1, 2, 1);  // a gap in the left wall
  const TVttScene open = BuildVttScene(map);
  ASSERT_EQ(open.Walls.size(), 1u);         // the ring is now one outline round the gap
  map.ToggleDoor(2, 2, false, 0x1FFFFFFF);  // across the gap at the room's edge
  const TVttScene scene = BuildVttScene(map);
  EXPECT_EQ(scene.Walls, open.Walls);
  ASSERT_EQ(scene.Portals.size(), 1u);
  EXPECT_EQ(scene.Portals[0].Bounds[0], (TVttPoint{2, 2}));
  EXPECT_EQ(scene.Portals[0].Bounds[1], (TVttPoint{2, 3}));
  EXPECT_FALSE(scene.Portals[0].Freestanding);  // its ends meet the jambs
}

TEST(VttScene, FreeDoorsInTheOpenAndThroughAThinWall) {
  TMapEditLayerList map;
  MakeMap(map, 10, 10);
  map.AddFreeDoor(40, 40, 100, 70, 0x1FFFFFFF);
  // A thin freehand wall along row 200, crossed by a vertical free door.
  map.FillRectPixels(0, 198, 320, 202, 0);
  map.AddFreeDoor(160, 190, 160, 210, 0x1FFFFFFF);
  map.AddFreeDoor(5, 5, 5, 5, 0x1FFFFFFF);  // no length: no portal
  const TVttScene scene = BuildVttScene(map);
  ASSERT_EQ(scene.Portals.size(), 2u);
  const TVttPortal& a = scene.Portals[0];
  EXPECT_EQ(a.Bounds[0], (TVttPoint{1.25, 1.25}));
  EXPECT_EQ(a.Bounds[1], (TVttPoint{3.125, 2.1875}));
  EXPECT_DOUBLE_EQ(a.Rotation, std::atan2(30.0, 60.0));
  EXPECT_TRUE(a.Freestanding);
  EXPECT_FALSE(scene.Portals[1].Freestanding);
  EXPECT_DOUBLE_EQ(scene.Portals[1].Rotation, M_PI / 2);
  // A door straight across a thin wall does not run along it: the wall stays.
  ASSERT_EQ(scene.Walls.size(), 1u);
  EXPECT_TRUE(HasLoop(scene.Walls,
                      Line({{0, 6.1875}, {10, 6.1875}, {10, 6.3125}, {0, 6.3125}, {0, 6.1875}})));
  // A slanted door ending on the wall's face leaves the face whole.
  map.AddFreeDoor(96, 168, 128, 198, 0x1FFFFFFF);
  EXPECT_EQ(BuildVttScene(map).Walls, scene.Walls);
  // A free door along the thin wall opens both of its faces over its length.
  map.AddFreeDoor(64, 200, 128, 200, 0x1FFFFFFF);
  const TVttScene cut = BuildVttScene(map);
  EXPECT_DOUBLE_EQ(Length(cut.Walls), Length(scene.Walls) - 4.0);
  const std::vector<TVttPoint> ends = OpenEnds(cut.Walls);
  for (TVttPoint e :
       {TVttPoint{2, 6.1875}, TVttPoint{4, 6.1875}, TVttPoint{2, 6.3125}, TVttPoint{4, 6.3125}})
    EXPECT_TRUE(Contains(ends, e)) << e.X << "," << e.Y;
}

TEST(VttScene, ObjectLayerPixelsGoToTheirOwnLines) {
  TMapEditLayerList map;
  MakeMap(map, 10, 8);
  map.FillRectChips(1, 1, 8, 6, 0);
  map.FillRectChips(2, 2, 7, 5, 1);  // a room of 6 x 4 cells
  const std::vector<TVttPolyline> walls = BuildVttScene(map).Walls;
  map.FillRectChips(4, 3, 4, 3, 2);  // a free-standing pillar
  map.FillRectChips(7, 2, 7, 2, 2);  // a crate in the room's top right corner
  const TVttScene scene = BuildVttScene(map);
  EXPECT_EQ(scene.Walls, walls);  // objects are no walls
  ASSERT_EQ(scene.Objects.size(), 2u);
  EXPECT_TRUE(HasLoop(scene.Objects, Line({{4, 3}, {5, 3}, {5, 4}, {4, 4}, {4, 3}})));
  // The crate's sides along the walls are the walls' lines already.
  EXPECT_TRUE(std::find(scene.Objects.begin(), scene.Objects.end(),
                        Line({{8, 3}, {7, 3}, {7, 2}})) != scene.Objects.end());
}

TEST(VttScene, DiagonalFreehandWallIsSimplifiedToFewPointsWithinHalfAPixel) {
  TMapEditLayerList map;
  MakeMap(map, 10, 10);
  // A brush stroke from (40, 40) to (280, 220), radius 4, one stamp a pixel.
  for (int32_t i = 0; i <= 240; ++i) map.PaintCircle(40 + i, 40 + i * 3 / 4, 4, 0);
  const TVttScene scene = BuildVttScene(map);
  ASSERT_EQ(scene.Walls.size(), 1u);
  const TVttPolyline& line = scene.Walls[0];
  EXPECT_LE(line.size(), 14u);
  // Every wall pixel next to a floor pixel lies within a pixel of the line.
  auto distance = [&](double x, double y) {
    double best = 1e9;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
      const double ax = line[i].X * kChip, ay = line[i].Y * kChip;
      const double bx = line[i + 1].X * kChip, by = line[i + 1].Y * kChip;
      const double vx = bx - ax, vy = by - ay;
      const double t = std::clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
      best = std::min(best, std::hypot(x - ax - t * vx, y - ay - t * vy));
    }
    return best;
  };
  int32_t edgePixels = 0;
  for (int32_t y = 1; y < map.PixelHeight() - 1; ++y)
    for (int32_t x = 1; x < map.PixelWidth() - 1; ++x)
      if (map.PixelLayers(x, y) == 0 &&
          (map.PixelLayers(x + 1, y) != 0 || map.PixelLayers(x - 1, y) != 0 ||
           map.PixelLayers(x, y + 1) != 0 || map.PixelLayers(x, y - 1) != 0)) {
        ++edgePixels;
        EXPECT_LE(distance(x + 0.5, y + 0.5), 1.0 + 1e-9) << x << "," << y;
      }
  EXPECT_GT(edgePixels, 400);
}

TEST(VttScene, StairsOfWholeCellsKeepEveryCornerEvenAtTheSmallestChip) {
  TMapEditLayerList map;
  MakeMap(map, 6, 6, 8);
  for (int32_t cy = 0; cy < 6; ++cy) map.FillRectChips(0, cy, cy, cy, 0);
  const TVttScene scene = BuildVttScene(map);
  ASSERT_EQ(scene.Walls.size(), 1u);
  TVttPolyline expected{{0, 0}, {1, 0}};
  for (double k = 1; k < 6; ++k) {
    expected.push_back({k, k});
    expected.push_back({k + 1, k});
  }
  expected.push_back({6, 6});
  expected.push_back({0, 6});
  expected.push_back({0, 0});
  EXPECT_TRUE(HasLoop(scene.Walls, expected));

  // The same stairs one pixel a step are one slanted line.
  TMapEditLayerList fine;
  MakeMap(fine, 6, 6, 8);
  for (int32_t y = 0; y < 48; ++y) fine.FillRectPixels(0, y, y + 1, y + 1, 0);
  const TVttScene slanted = BuildVttScene(fine);
  ASSERT_EQ(slanted.Walls.size(), 1u);
  EXPECT_LE(slanted.Walls[0].size(), 6u);
}

TEST(OutlineTrace, HiddenNeighboursOpenTheOutlineAndCornersJoinRegions) {
  TGrid2D<TOutlineClass> g;
  g.Reset(3, 3);
  g.At(0, 0) = TOutlineClass::Inside;
  g.At(1, 1) = TOutlineClass::Inside;  // touches (0, 0) at a corner only
  std::vector<TPixelOutline> traced = TraceOutlines(g);
  ASSERT_EQ(traced.size(), 1u);
  EXPECT_TRUE(traced[0].Closed);
  EXPECT_EQ(traced[0].Points.size(), 8u);

  g.Fill(TOutlineClass::Outside);
  g.At(1, 1) = TOutlineClass::Inside;
  g.At(2, 1) = TOutlineClass::Hidden;
  traced = TraceOutlines(g);
  ASSERT_EQ(traced.size(), 1u);
  EXPECT_FALSE(traced[0].Closed);
  const std::vector<TCornerPoint> expected{{2, 2}, {1, 2}, {1, 1}, {2, 1}};
  EXPECT_EQ(traced[0].Points, expected);
}

TEST(VttJson, EveryFieldIsThereWithItsType) {
  TMapEditLayerList map;
  MakeMap(map);
  AddRoomRing(map);
  map.FillRectChips(3, 3, 3, 3, 2);
  map.ToggleDoor(3, 2, true, 0x1FFFFFFF);
  const TVttScene scene = BuildVttScene(map);
  const nlohmann::json j = nlohmann::json::parse(VttJson(scene, 32, "PNG!"));
  ASSERT_TRUE(j["format"].is_number_float());
  EXPECT_EQ(j["format"].get<double>(), 0.3);
  const auto& res = j["resolution"];
  EXPECT_EQ(res["map_origin"], nlohmann::json::parse(R"({"x":0,"y":0})"));
  EXPECT_EQ(res["map_size"]["x"], 8);
  EXPECT_EQ(res["map_size"]["y"], 6);
  ASSERT_TRUE(res["pixels_per_grid"].is_number_integer());
  EXPECT_EQ(res["pixels_per_grid"], 32);
  for (const char* key : {"line_of_sight", "objects_line_of_sight"}) {
    ASSERT_TRUE(j[key].is_array()) << key;
    ASSERT_FALSE(j[key].empty()) << key;
    for (const auto& line : j[key]) {
      ASSERT_TRUE(line.is_array());
      for (const auto& p : line) {
        EXPECT_TRUE(p["x"].is_number());
        EXPECT_TRUE(p["y"].is_number());
      }
    }
  }
  ASSERT_EQ(j["portals"].size(), 1u);
  const auto& portal = j["portals"][0];
  EXPECT_EQ(portal["position"], nlohmann::json::parse(R"({"x":3.5,"y":2.0})"));
  EXPECT_EQ(portal["bounds"], nlohmann::json::parse(R"([{"x":3.0,"y":2.0},{"x":4.0,"y":2.0}])"));
  EXPECT_TRUE(portal["rotation"].is_number());
  EXPECT_EQ(portal["closed"], true);
  EXPECT_EQ(portal["freestanding"], false);
  EXPECT_EQ(j["environment"],
            nlohmann::json::parse(R"({"baked_lighting":true,"ambient_light":"ffffffff"})"));
  EXPECT_EQ(j["lights"], nlohmann::json::array());
  EXPECT_EQ(DecodeBase64(j["image"].get<std::string>()), "PNG!");
}

TEST(VttBase64, EncodesEveryTailLength) {
  const std::vector<std::pair<std::string, std::string>> cases{{"", ""},
                                                               {"f", "Zg=="},
                                                               {"fo", "Zm8="},
                                                               {"foo", "Zm9v"},
                                                               {"foob", "Zm9vYg=="},
                                                               {"fooba", "Zm9vYmE="},
                                                               {"foobar", "Zm9vYmFy"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(EncodeBase64(in), out) << in;
  std::string all;
  for (int i = 0; i < 256; ++i) all += char(i);
  EXPECT_EQ(DecodeBase64(EncodeBase64(all)), all);
}

// Reads an exported file and decodes its image.
nlohmann::json ReadExport(const std::string& Path, TBitmap32& Image) {
  const nlohmann::json j = nlohmann::json::parse(ReadFileBytes(Path));
  const std::string png = DecodeBase64(j["image"].get<std::string>());
  DecodeImage(reinterpret_cast<const uint8_t*>(png.data()), png.size(), ".png", Image);
  return j;
}

TEST(VttExport, ImageIsTheComposedMapAndScalingLeavesTheLines) {
  TempDir dir;
  TMapEditLayerList map;
  MakeMap(map);
  AddRoomRing(map);
  map.FillRectChips(3, 3, 3, 3, 2);
  map.ToggleDoor(3, 2, true, 0x00FF0000);
  ExportVtt(map, dir.File("room.dd2vtt"), {});

  TBitmap32 expected;
  ComposeForOutput(map, expected, TOutputOptions{});
  TBitmap32 image;
  const nlohmann::json plain = ReadExport(dir.File("room.dd2vtt"), image);
  ASSERT_EQ(image.Width(), 256);
  ASSERT_EQ(image.Height(), 192);
  int32_t differing = 0;
  for (int32_t y = 0; y < 192; ++y)
    for (int32_t x = 0; x < 256; ++x)
      if ((image.Pixel(x, y) & 0xFFFFFF) != (expected.Pixel(x, y) & 0xFFFFFF)) ++differing;
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(image.Pixel(16, 16), 0xFFFFFFFFu);  // floor
  EXPECT_EQ(image.Pixel(48, 48), 0xFF000000u);  // wall
  EXPECT_EQ(plain["resolution"]["pixels_per_grid"], 32);

  TVttExportOptions big;
  big.PixelsPerGrid = 70;
  ExportVtt(map, dir.File("room70.uvtt"), big);
  TBitmap32 scaled;
  const nlohmann::json j70 = ReadExport(dir.File("room70.uvtt"), scaled);
  EXPECT_EQ(scaled.Width(), 8 * 70);
  EXPECT_EQ(scaled.Height(), 6 * 70);
  EXPECT_EQ(j70["resolution"]["pixels_per_grid"], 70);
  EXPECT_EQ(j70["resolution"]["map_size"], plain["resolution"]["map_size"]);
  EXPECT_EQ(j70["line_of_sight"], plain["line_of_sight"]);
  EXPECT_EQ(j70["objects_line_of_sight"], plain["objects_line_of_sight"]);
  EXPECT_EQ(j70["portals"], plain["portals"]);
  // The middle of each cell shows what it shows at the chip size.
  for (int32_t cy = 0; cy < 6; ++cy)
    for (int32_t cx = 0; cx < 8; ++cx)
      for (int shift : {0, 8, 16}) {
        // The smoothing resampler blends neighbours a little in shade gradients.
        const int a = int(scaled.Pixel(cx * 70 + 35, cy * 70 + 35) >> shift & 0xFF);
        const int b = int(expected.Pixel(cx * 32 + 16, cy * 32 + 16) >> shift & 0xFF);
        EXPECT_LE(std::abs(a - b), 4) << cx << "," << cy;
      }

  // Grid lines when asked: the right and bottom pixel of each cell at 70 pixels.
  TVttExportOptions grid = big;
  grid.Grid.UseGrid = true;
  ExportVtt(map, dir.File("grid.dd2vtt"), grid);
  TBitmap32 gridded;
  ReadExport(dir.File("grid.dd2vtt"), gridded);
  EXPECT_EQ(gridded.Pixel(69, 35), 0xFF808080u);
  EXPECT_EQ(gridded.Pixel(35, 69), 0xFF808080u);
  EXPECT_EQ(gridded.Pixel(68, 35), scaled.Pixel(68, 35));
}

TEST(VttExport, BadSettingsAndPathsFailAndKeepTheOldFile) {
  TempDir dir;
  TMapEditLayerList map;
  MakeMap(map);
  const std::string path = dir.File("old.dd2vtt");
  WriteFileBytes(path, "old");
  for (int32_t n : {-5, 1001}) {
    TVttExportOptions o;
    o.PixelsPerGrid = n;
    EXPECT_THROW(ExportVtt(map, path, o), EImageError) << n;
  }
  TMapEditLayerList huge;
  MakeMap(huge, 200, 200, 8);
  TVttExportOptions large;
  large.PixelsPerGrid = 500;  // 100000 x 100000 pixels
  EXPECT_THROW(ExportVtt(huge, path, large), EImageError);
  TMapEditLayerList empty;
  EXPECT_THROW(ExportVtt(empty, path, {}), EImageError);
  EXPECT_THROW(ExportVtt(map, dir.File("missing/x.dd2vtt"), {}), EFileError);
  EXPECT_THROW(ExportVtt(map, "", {}), EFileError);
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

}  // namespace
