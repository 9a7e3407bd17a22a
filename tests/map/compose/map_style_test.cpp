// Map styles drawn by the composition: drop shadow and outline to the pixel,
// hatching by its statistics, ink-saving colours, and the same picture whether
// an area is composed whole or in parts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr TColor32 kRed = 0xFFFF0000u;

// A W x H-cell map of Chip pixels: grey walls (layer 0) and white floor
// (layer 1) or black floor (layer 2) as LayerAt says, recomputed.
void MakeMap(TMapEditLayerList& Map, int32_t W, int32_t H, int32_t Chip,
             const std::function<int32_t(int32_t, int32_t)>& LayerAt) {
  Map.SetSize(W, H, Chip);
  Map.AddLayer()->SetFileName("8421504");   // #808080
  Map.AddLayer()->SetFileName("16777215");  // white
  Map.AddLayer()->SetFileName("0");         // black
  for (int32_t y = 0; y < H * Chip; ++y)
    for (int32_t x = 0; x < W * Chip; ++x) Map.SetPixelLayer(x, y, LayerAt(x, y));
  Map.Refresh();
}

void Compose(const TMapEditLayerList& Map, TBitmap32& Out, const TMapStyleOptions& Style) {
  Out.SetSize(Map.PixelWidth(), Map.PixelHeight());
  Out.Clear(0);
  TComposeOptions o;
  o.Style = Style;
  ComposeMap(Map, Out, TRect{0, 0, Map.PixelWidth(), Map.PixelHeight()}, 0, 0, o);
}

// Walls on the first cell column (x < 8), floor elsewhere.
void WallOnTheLeft(TMapEditLayerList& Map, int32_t H = 2) {
  MakeMap(Map, 4, H, 8, [](int32_t x, int32_t) { return x < 8 ? 0 : 1; });
}

TEST(MapStyle, DropShadowFallsFromTheWallsToThePixel) {
  TMapEditLayerList map;
  WallOnTheLeft(map, 4);
  TBitmap32 plain, styled;
  Compose(map, plain, {});

  TMapStyleOptions s;
  s.Shadow = {true, 0, 4, 0, 128};  // towards +x, 4 pixels, hard
  Compose(map, styled, s);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) {
      const TColor32 want =
          (x >= 8 && x < 12) ? BlendPixel(0x80000000u, plain.Pixel(x, y)) : plain.Pixel(x, y);
      ASSERT_EQ(styled.Pixel(x, y), want) << x << "," << y;
    }

  // Softness 2: full for the first two pixels, then 2/3 and 1/3 of 128.
  s.Shadow.Softness = 2;
  Compose(map, styled, s);
  const uint32_t alpha[] = {128, 128, 85, 42};
  for (int32_t x = 8; x < 12; ++x)
    EXPECT_EQ(styled.Pixel(x, 5), BlendPixel(alpha[x - 8] << 24, plain.Pixel(x, 5))) << x;
  EXPECT_EQ(styled.Pixel(12, 5), plain.Pixel(12, 5));

  // Cast away from the floor (towards -x) the wall throws nothing onto it.
  s.Shadow = {true, 180, 6, 0, 128};
  Compose(map, styled, s);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(styled.Pixel(x, y), plain.Pixel(x, y));

  // Towards the lower right, 4 pixels long: the steps back are (1,1), (1,1),
  // (2,2), (3,3) after rounding, so the shadow reaches 3 pixels from the wall.
  s.Shadow = {true, 45, 4, 0, 128};
  Compose(map, styled, s);
  for (int32_t y = 4; y < 32; ++y)
    for (int32_t x = 8; x < 14; ++x) {
      const TColor32 want = x < 11 ? BlendPixel(0x80000000u, plain.Pixel(x, y)) : plain.Pixel(x, y);
      ASSERT_EQ(styled.Pixel(x, y), want) << x << "," << y;
    }
}

TEST(MapStyle, OutlineRunsAlongTheWallSideOfTheBoundary) {
  TMapEditLayerList map;
  WallOnTheLeft(map);
  TBitmap32 plain, styled;
  Compose(map, plain, {});
  TMapStyleOptions s;
  s.Outline = {true, 2, 0, kRed, 1};
  Compose(map, styled, s);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 32; ++x) {
      const TColor32 want = (x == 6 || x == 7) ? kRed : plain.Pixel(x, y);
      ASSERT_EQ(styled.Pixel(x, y), want) << x << "," << y;
    }

  // A floor square in a wall: the corners are reached diagonally (chamfer 3 a
  // step), so a 1-pixel outline leaves the wall pixels diagonal to the corner.
  TMapEditLayerList box;
  MakeMap(box, 3, 3, 8,
          [](int32_t x, int32_t y) { return (x >= 8 && x < 16 && y >= 8 && y < 16) ? 1 : 0; });
  s.Outline.Width = 1;
  Compose(box, styled, s);
  EXPECT_EQ(styled.Pixel(7, 10), kRed);
  EXPECT_EQ(styled.Pixel(12, 16), kRed);
  EXPECT_NE(styled.Pixel(7, 7), kRed);
  EXPECT_NE(styled.Pixel(6, 10), kRed);
  EXPECT_NE(styled.Pixel(10, 10), kRed);

  // Rough: the line keeps at least one pixel, never passes width + roughness, and
  // its width changes along the wall.
  TMapEditLayerList tall;
  WallOnTheLeft(tall, 16);
  Compose(tall, plain, {});
  s.Outline = {true, 2, 2, kRed, 7};
  Compose(tall, styled, s);
  int32_t narrow = 0, wide = 0;
  for (int32_t y = 0; y < 128; ++y) {
    ASSERT_EQ(styled.Pixel(7, y), kRed) << y;
    for (int32_t x = 0; x <= 3; ++x) ASSERT_EQ(styled.Pixel(x, y), plain.Pixel(x, y));
    for (int32_t x = 8; x < 32; ++x) ASSERT_EQ(styled.Pixel(x, y), plain.Pixel(x, y));
    narrow += styled.Pixel(6, y) != kRed;
    wide += styled.Pixel(5, y) == kRed;
  }
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, 0);
}

// A room of floor in the middle of a 12 x 12-cell map of 16 pixels: pixels 64 ..
// 127 both ways.
void RoomMap(TMapEditLayerList& Map) {
  MakeMap(Map, 12, 12, 16,
          [](int32_t x, int32_t y) { return (x >= 64 && x < 128 && y >= 64 && y < 128) ? 1 : 0; });
}
int32_t RoomDistance(int32_t x, int32_t y) {
  const int32_t dx = x < 64 ? 64 - x : x >= 128 ? x - 127 : 0;
  const int32_t dy = y < 64 ? 64 - y : y >= 128 ? y - 127 : 0;
  return std::max(dx, dy);  // Chebyshev distance to the room
}

TEST(MapStyle, HatchingCoversTheWallsNearTheFloorOnly) {
  TMapEditLayerList map;
  RoomMap(map);
  TBitmap32 plain, styled, again;
  Compose(map, plain, {});
  TMapStyleOptions s;
  s.Hatching.Enabled = true;
  s.Hatching.Distance = 16;
  s.Hatching.Color = 0xFF000000u;
  Compose(map, styled, s);
  int32_t nearWall = 0, inked = 0;
  for (int32_t y = 0; y < 192; ++y)
    for (int32_t x = 0; x < 192; ++x) {
      const int32_t d = RoomDistance(x, y);
      const bool changed = styled.Pixel(x, y) != plain.Pixel(x, y);
      // Nothing on the floor, nothing beyond 5/4 of the distance (20 pixels)
      // and the rough cells' rounding (up to 7 pixels more).
      if (d == 0 || d > 27) {
        ASSERT_FALSE(changed) << x << "," << y;
      }
      // Near the floor every tile hatches (it reaches 3/4 of the distance, 12
      // pixels, at least; less the rough cells' rounding).
      if (d >= 1 && d <= 8) {
        ++nearWall;
        inked += changed;
      }
    }
  // Pen strokes with gaps: a good share of the wall is inked, far from all of it
  // (a stroke about 1.9 pixels wide every 5 pixels, one in eight left out, most
  // of a tile long: about a quarter).
  EXPECT_GT(inked, nearWall * 3 / 20);
  EXPECT_LT(inked, nearWall * 3 / 5);

  // The same seed gives the same strokes; another seed other strokes.
  Compose(map, again, s);
  EXPECT_EQ(std::memcmp(again.Bits(), styled.Bits(), size_t(192 * 192 * 4)), 0);
  s.Hatching.Seed = 2;
  Compose(map, again, s);
  int32_t differ = 0;
  for (int32_t i = 0; i < 192 * 192; ++i) differ += again.Bits()[i] != styled.Bits()[i];
  EXPECT_GT(differ, inked / 4);
}

TEST(MapStyle, InkSavingLightensFloorsAndClearsWalls) {
  // White floor on the right half, black floor in a far corner, a door line.
  TMapEditLayerList map;
  MakeMap(map, 8, 8, 8, [](int32_t x, int32_t y) {
    if (x < 16) return 0;
    return (x >= 48 && y >= 48) ? 2 : 1;
  });
  TBitmap32 styled;
  TMapStyleOptions s;
  s.InkSaving = {true, TInkWalls::Grey};
  Compose(map, styled, s);
  EXPECT_EQ(styled.Pixel(3, 3), 0xFFA8A8A8u);    // wall
  EXPECT_EQ(styled.Pixel(40, 20), 0xFFFFFFFFu);  // white floor, out of the shade
  EXPECT_EQ(styled.Pixel(60, 60), 0xFFC0C0C0u);  // black floor: a quarter of the ink
  // In the shade next to the wall the floor is grey, lighter than the plain shade.
  TBitmap32 plain;
  Compose(map, plain, {});
  const TColor32 shaded = plain.Pixel(21, 20), light = styled.Pixel(21, 20);
  EXPECT_LT(shaded & 0xFF, 0xFFu);
  EXPECT_GT(light & 0xFF, shaded & 0xFF);
  EXPECT_EQ((light >> 8) & 0xFF, light & 0xFF);  // grey

  // With hatched walls the walls are white paper under the strokes.
  s.InkSaving.Walls = TInkWalls::Hatching;
  s.Hatching.Distance = 4;
  Compose(map, styled, s);
  EXPECT_EQ(styled.Pixel(1, 30), 0xFFFFFFFFu);  // 15 pixels from the floor: past any stroke
}

TEST(MapStyle, PartsComposeAsTheWhole) {
  TMapEditLayerList map;
  RoomMap(map);
  TMapEditHorzDoor* d = map.Doors().HorzDoor().Add();
  d->X = 5, d->Y = 4, d->Width = 1, d->Color = 0xFF8B5A2Bu;
  map.Doors().RebuildDoorBitmap();
  map.Refresh();
  TMapStyleOptions s;
  s.Hatching.Enabled = true;
  s.Shadow.Enabled = true;
  s.Outline = {true, 2, 2, kRed, 3};
  s.InkSaving.Enabled = true;
  TBitmap32 whole, parts;
  Compose(map, whole, s);
  parts.SetSize(192, 192);
  parts.Clear(0);
  TComposeOptions o;
  o.Style = s;
  // Bands of 50 rows, the last band in two pieces side by side.
  for (int32_t y = 0; y < 150; y += 50) ComposeMap(map, parts, TRect{0, y, 192, y + 50}, 0, y, o);
  ComposeMap(map, parts, TRect{0, 150, 77, 192}, 0, 150, o);
  ComposeMap(map, parts, TRect{77, 150, 192, 192}, 77, 150, o);
  for (int32_t y = 0; y < 192; ++y)
    for (int32_t x = 0; x < 192; ++x)
      ASSERT_EQ(parts.Pixel(x, y), whole.Pixel(x, y)) << x << "," << y;
}

TEST(MapStyle, HatchingInPartsAtOddEdgesComposesAsTheWhole) {
  // Hatching alone (no outline over its strokes), the parts' edges off the
  // 4-pixel cells, so that cells are cut by the parts.
  TMapEditLayerList map;
  RoomMap(map);
  TMapStyleOptions s;
  s.Hatching.Enabled = true;
  s.Hatching.Distance = 20;
  s.Hatching.Spacing = 3;
  TBitmap32 whole, parts;
  Compose(map, whole, s);
  parts.SetSize(192, 192);
  parts.Clear(0);
  TComposeOptions o;
  o.Style = s;
  const int32_t xs[] = {0, 61, 63, 130, 192}, ys[] = {0, 37, 38, 101, 192};
  for (int32_t j = 0; j + 1 < 5; ++j)
    for (int32_t i = 0; i + 1 < 5; ++i)
      ComposeMap(map, parts, TRect{xs[i], ys[j], xs[i + 1], ys[j + 1]}, xs[i], ys[j], o);
  TBitmap32 plain;
  Compose(map, plain, {});
  int32_t inked = 0;
  for (int32_t y = 0; y < 192; ++y)
    for (int32_t x = 0; x < 192; ++x) {
      ASSERT_EQ(parts.Pixel(x, y), whole.Pixel(x, y)) << x << "," << y;
      inked += whole.Pixel(x, y) != plain.Pixel(x, y);
    }
  EXPECT_GT(inked, 1000);  // the strokes are there to compare
}

TEST(MapStyle, ALargeAreaSharedOutAmongThreadsComposesAsInBands) {
  // 600 x 600 pixels: composed whole, the style is drawn in stripes of rows.
  TMapEditLayerList map;
  MakeMap(map, 30, 30, 20, [](int32_t x, int32_t y) {
    const int32_t cx = x / 20, cy = y / 20;
    return (cx % 7 != 0 && cy % 5 != 0) || (cx % 7 == 3) ? 1 + (cx / 7 + cy / 5) % 2 : 0;
  });
  TMapStyleOptions s;
  s.Hatching.Enabled = true;
  s.Shadow.Enabled = true;
  s.Outline = {true, 2, 2, kRed, 3};
  TBitmap32 whole, bands;
  Compose(map, whole, s);
  bands.SetSize(600, 600);
  bands.Clear(0);
  TComposeOptions o;
  o.Style = s;
  for (int32_t y = 0; y < 600; y += 64)
    ComposeMap(map, bands, TRect{0, y, 600, std::min(600, y + 64)}, 0, y, o);
  ASSERT_EQ(std::memcmp(whole.Bits(), bands.Bits(), size_t(600 * 600 * 4)), 0);
}

TEST(MapStyle, OutlineOnALargeMapMatchesTheDistanceToTheFloor) {
  // Rooms far apart in a 400 x 400-pixel wall, free-hand blobs across cell
  // borders: every wall pixel within chamfer length 6 of the floor (3 pixels
  // straight, 2 diagonally) is outlined, and no other pixel.
  TMapEditLayerList map;
  auto floorAt = [](int32_t x, int32_t y) {
    if (x >= 37 && x < 90 && y >= 41 && y < 77) return true;
    if (x >= 250 && x < 380 && y >= 300 && y < 330) return true;
    const int32_t dx = x - 200, dy = y - 120;
    return dx * dx + dy * dy < 23 * 23;
  };
  MakeMap(map, 20, 20, 20, [&](int32_t x, int32_t y) { return floorAt(x, y) ? 1 : 0; });
  TMapStyleOptions s;
  s.Outline = {true, 3, 0, kRed, 1};
  TBitmap32 styled;
  Compose(map, styled, s);
  for (int32_t y = 0; y < 400; ++y)
    for (int32_t x = 0; x < 400; ++x) {
      bool near = false;
      for (int32_t j = -3; j <= 3 && !near; ++j)
        for (int32_t i = -3; i <= 3 && !near; ++i) {
          const int32_t a = std::abs(i), b = std::abs(j);
          const int32_t chamfer = 3 * std::min(a, b) + 2 * (std::max(a, b) - std::min(a, b));
          const int32_t qx = x + i, qy = y + j;
          near = chamfer <= 6 && qx >= 0 && qy >= 0 && qx < 400 && qy < 400 && floorAt(qx, qy);
        }
      ASSERT_EQ(styled.Pixel(x, y) == kRed, !floorAt(x, y) && near) << x << "," << y;
    }
}

TEST(MapStyle, ShadowOnARandomMapMatchesTheWallBehindEachFloorPixel) {
  // Rooms and free-hand blobs of wall and floor at random, 360 x 360 pixels (so
  // the area is drawn in stripes): every floor pixel takes the alpha of the
  // first wall met stepping back against the shadow, each step rounded to the
  // pixel; pixels beyond the map cast nothing.
  TMapEditLayerList map;
  std::mt19937 rng(5);
  std::vector<uint8_t> floor(360 * 360, 0);
  for (int32_t i = 0; i < 14; ++i) {
    const int32_t x0 = int32_t(rng() % 320), y0 = int32_t(rng() % 320);
    const int32_t w = 8 + int32_t(rng() % 90), h = 8 + int32_t(rng() % 90);
    const uint8_t v = i % 4 == 3 ? 0 : 1;  // now and then a wall block inside a room
    for (int32_t y = y0; y < std::min(360, y0 + h); ++y)
      for (int32_t x = x0; x < std::min(360, x0 + w); ++x) floor[size_t(y * 360 + x)] = v;
  }
  for (int32_t i = 0; i < 30; ++i) {
    const int32_t cx = int32_t(rng() % 360), cy = int32_t(rng() % 360), r = 2 + int32_t(rng() % 9);
    const uint8_t v = uint8_t(rng() % 2);
    for (int32_t y = std::max(0, cy - r); y <= std::min(359, cy + r); ++y)
      for (int32_t x = std::max(0, cx - r); x <= std::min(359, cx + r); ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) floor[size_t(y * 360 + x)] = v;
  }
  MakeMap(map, 18, 18, 20, [&](int32_t x, int32_t y) { return floor[size_t(y * 360 + x)]; });
  TBitmap32 plain, styled;
  Compose(map, plain, {});
  for (const TStyleShadow& shadow :
       {TStyleShadow{true, 45, 14, 6, 110}, TStyleShadow{true, 200, 30, 0, 200},
        TStyleShadow{true, 343, 5, 5, 255}, TStyleShadow{true, 90, 100, 40, 90}}) {
    TMapStyleOptions s;
    s.Shadow = shadow;
    Compose(map, styled, s);
    const double a = shadow.Angle * 3.14159265358979323846 / 180.0;
    for (int32_t y = 0; y < 360; ++y)
      for (int32_t x = 0; x < 360; ++x) {
        TColor32 want = plain.Pixel(x, y);
        for (int32_t t = 1; floor[size_t(y * 360 + x)] && t <= shadow.Length; ++t) {
          const int32_t qx = x - int32_t(std::lround(t * std::cos(a)));
          const int32_t qy = y - int32_t(std::lround(t * std::sin(a)));
          if (qx < 0 || qy < 0 || qx >= 360 || qy >= 360 || floor[size_t(qy * 360 + qx)]) continue;
          const int32_t fade = t - (shadow.Length - shadow.Softness);
          const uint32_t alpha = fade <= 0 ? shadow.Opacity
                                           : uint32_t(shadow.Opacity) *
                                                 uint32_t(shadow.Softness + 1 - fade) /
                                                 uint32_t(shadow.Softness + 1);
          want = BlendPixel(alpha << 24, want);
          break;
        }
        ASSERT_EQ(styled.Pixel(x, y), want) << shadow.Angle << ": " << x << "," << y;
      }
  }
}

// A random map of chip cells (one layer each, as the chip tools paint them)
// beside free-hand cells holding wall and floor blobs, in the same rows of cells.
// Floor[y * W + x] tells the floor pixels.
void ChipAndFreeHandMap(TMapEditLayerList& Map, int32_t Cells, int32_t Chip, uint32_t Seed,
                        std::vector<uint8_t>& Floor) {
  std::mt19937 rng(Seed);
  const int32_t w = Cells * Chip;
  std::vector<int32_t> layer(size_t(w * w), 0);
  std::vector<uint8_t> chip(size_t(Cells * Cells), 0);
  for (int32_t cy = 0; cy < Cells; ++cy)
    for (int32_t cx = 0; cx < Cells; ++cx) {
      const uint32_t r = rng() % 6;
      if (r == 0) continue;  // free-hand, filled below
      chip[size_t(cy * Cells + cx)] = 1;
      const int32_t l = r < 3 ? 0 : 1 + int32_t(r % 2);
      for (int32_t y = cy * Chip; y < (cy + 1) * Chip; ++y)
        for (int32_t x = cx * Chip; x < (cx + 1) * Chip; ++x) layer[size_t(y * w + x)] = l;
    }
  for (int32_t cy = 0; cy < Cells; ++cy)
    for (int32_t cx = 0; cx < Cells; ++cx) {
      if (chip[size_t(cy * Cells + cx)]) continue;
      const int32_t mx = cx * Chip + int32_t(rng() % uint32_t(Chip)),
                    my = cy * Chip + int32_t(rng() % uint32_t(Chip));
      const int32_t r = 1 + int32_t(rng() % uint32_t(Chip));
      const int32_t l = int32_t(rng() % 3);
      for (int32_t y = cy * Chip; y < (cy + 1) * Chip; ++y)
        for (int32_t x = cx * Chip; x < (cx + 1) * Chip; ++x)
          layer[size_t(y * w + x)] = (x - mx) * (x - mx) + (y - my) * (y - my) < r * r ? l : 2 - l;
    }
  MakeMap(Map, Cells, Cells, Chip, [&](int32_t x, int32_t y) { return layer[size_t(y * w + x)]; });
  for (int32_t cy = 0; cy < Cells; ++cy)
    for (int32_t cx = 0; cx < Cells; ++cx)
      if (chip[size_t(cy * Cells + cx)]) Map.SetCell(cx, cy, 1);
  Map.Refresh();
  Floor.assign(size_t(w * w), 0);
  for (size_t i = 0; i < layer.size(); ++i) Floor[i] = layer[i] != 0;
}

TEST(MapStyle, InkSavingOnChipAndFreeHandCellsMatchesItsColours) {
  // 23 cells of 13 pixels (a row width no multiple of four), doors across it,
  // composed whole and as an area starting at an odd column: walls solid grey,
  // door pixels kept, every other floor pixel the quarter-ink grey of its
  // plain colour.
  TMapEditLayerList map;
  std::vector<uint8_t> floor;
  ChipAndFreeHandMap(map, 23, 13, 3, floor);
  for (int32_t i = 0; i < 9; ++i) {
    TMapEditHorzDoor* d = map.Doors().HorzDoor().Add();
    d->X = 2 * i + 1, d->Y = 2 + 2 * i, d->Width = 1 + i % 3, d->Color = 0xFF8B5A2Bu;
  }
  map.Doors().RebuildDoorBitmap();
  map.Refresh();
  const int32_t w = 23 * 13;
  const TBitmap32* doors = map.Doors().BitmapIfCreated();
  ASSERT_NE(doors, nullptr);
  TBitmap32 plain, styled;
  Compose(map, plain, {});
  TMapStyleOptions s;
  s.InkSaving = {true, TInkWalls::Grey};
  Compose(map, styled, s);
  TBitmap32 part;
  part.SetSize(w, w);
  part.Clear(0);
  TComposeOptions o;
  o.Style = s;
  ComposeMap(map, part, TRect{5, 3, w - 2, w}, 5, 3, o);
  int32_t kept = 0;
  for (int32_t y = 0; y < w; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const TColor32 p = plain.Pixel(x, y);
      TColor32 want = 0xFFA8A8A8u;
      if (floor[size_t(y * w + x)]) {
        const bool door =
            x < doors->Width() && y < doors->Height() && (doors->Pixel(x, y) >> 24) == 255;
        const uint32_t lum =
            (77 * ((p >> 16) & 255) + 150 * ((p >> 8) & 255) + 29 * (p & 255)) >> 8;
        const uint32_t g = 255 - (255 - lum) / 4;
        want = door ? p : 0xFF000000u | (g << 16) | (g << 8) | g;
        kept += door;
      }
      ASSERT_EQ(styled.Pixel(x, y), want) << x << "," << y;
      if (x >= 5 && x < w - 2 && y >= 3) {
        ASSERT_EQ(part.Pixel(x, y), want) << x << "," << y;
      }
    }
  EXPECT_GT(kept, 0);
}

TEST(MapStyle, OutlineOnChipAndFreeHandCellsMatchesTheDistanceToTheFloor) {
  // Chip cells and free-hand cells side by side in every row of cells: every
  // wall pixel within chamfer length 4 of the floor is outlined, and no other.
  for (const uint32_t seed : {1u, 2u}) {
    TMapEditLayerList map;
    std::vector<uint8_t> floor;
    ChipAndFreeHandMap(map, 30, 10 + int32_t(seed), seed, floor);
    const int32_t w = map.PixelWidth();
    TMapStyleOptions s;
    s.Outline = {true, 2, 0, kRed, 1};
    TBitmap32 styled;
    Compose(map, styled, s);
    for (int32_t y = 0; y < w; ++y)
      for (int32_t x = 0; x < w; ++x) {
        bool near = false;
        for (int32_t j = -2; j <= 2 && !near; ++j)
          for (int32_t i = -2; i <= 2 && !near; ++i) {
            const int32_t a = std::abs(i), b = std::abs(j);
            const int32_t chamfer = 3 * std::min(a, b) + 2 * (std::max(a, b) - std::min(a, b));
            const int32_t qx = x + i, qy = y + j;
            near = chamfer <= 4 && qx >= 0 && qy >= 0 && qx < w && qy < w &&
                   floor[size_t(qy * w + qx)];
          }
        ASSERT_EQ(styled.Pixel(x, y) == kRed, !floor[size_t(y * w + x)] && near)
            << seed << ": " << x << "," << y;
      }
  }
}

}  // namespace
