// The composition routine that stacks a map's images onto a target, and the
// whole-map refresh that feeds it.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "map/map_composer.h"
#include "map/map_edit_layer_list.h"

namespace {

// A map with walls, three floor layers, an object layer and doors of every kind,
// on 16-pixel cells; every layer has its own colour.
void MakeBusyMap(TMapEditLayerList& Map, int32_t W, int32_t H, uint32_t Seed) {
  Map.SetSize(W, H, 16);
  const char* sources[] = {"4210752", "255", "65280", "16711680", "8421631"};
  for (const char* s : sources) Map.AddLayer()->SetFileName(s);
  Map.Layers(4)->LayerType = mltObject;
  std::mt19937 rng(Seed);
  std::uniform_int_distribution<int32_t> layer(0, 4), cx(0, W - 1), cy(0, H - 1);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const int32_t L = layer(rng);
      for (int32_t py = y * 16; py < y * 16 + 16; ++py)
        for (int32_t px = x * 16; px < x * 16 + 16; ++px) Map.SetPixelLayer(px, py, L);
      Map.SetCell(x, y, 1);
    }
  // Free-hand blobs break some cells up.
  std::uniform_int_distribution<int32_t> px(0, W * 16 - 1), py(0, H * 16 - 1);
  for (int32_t i = 0; i < W * H / 2; ++i) {
    const int32_t x0 = px(rng), y0 = py(rng), L = layer(rng);
    for (int32_t y = y0; y < std::min(y0 + 9, H * 16); ++y)
      for (int32_t x = x0; x < std::min(x0 + 6, W * 16); ++x) {
        Map.SetPixelLayer(x, y, L);
        Map.SetCell(x / 16, y / 16, 0);
      }
  }
  for (int32_t i = 0; i < W * H / 6; ++i) {
    TMapEditHorzDoor* h = Map.Doors().HorzDoor().Add();
    h->X = cx(rng);
    h->Y = cy(rng);
    h->Width = 1;
    h->Color = (i % 2) ? 0xFFC08040u : 0;
    TMapEditVertDoor* v = Map.Doors().VertDoor().Add();
    v->X = cx(rng);
    v->Y = cy(rng);
    v->Height = 1;
    v->Color = (i % 3) ? 0xFF2050A0u : 0;
  }
  TMapEditCustomDoor* f = Map.Doors().FreeDoor().Add();
  f->X = 5;
  f->Y = 7;
  f->X2 = W * 8;
  f->Y2 = H * 8 + 3;
  f->Color = 0xFFFFFFFFu;
  Map.Doors().HorzDoor().Sort();
  Map.Doors().VertDoor().Sort();
  Map.Doors().RebuildDoorBitmap();
}

// Every source drawn in turn over the whole target, as the stacking order says.
void ReferenceStack(TMapEditLayerList& Map, TBitmap32& Target) {
  auto blend = [&](const TBitmap32& S) {
    for (int32_t y = 0; y < std::min(S.Height(), Target.Height()); ++y)
      for (int32_t x = 0; x < std::min(S.Width(), Target.Width()); ++x)
        Target.Pixel(x, y) = BlendPixel(S.Pixel(x, y), Target.Pixel(x, y));
  };
  for (int32_t j = Map.Count() - 1; j >= 1; --j) blend(Map.Layers(j)->BMP());
  if (Map.Doors().HasDoors()) {
    const TBitmap32& d = Map.Doors().Bitmap();
    for (int32_t y = 0; y < d.Height(); ++y)
      for (int32_t x = 0; x < d.Width(); ++x)
        DoorPixelCombine(d.Pixel(x, y), Target.Pixel(x, y), 255);
  }
  blend(Map.Layers(0)->BMP());
  blend(Map.Shades());
}

std::vector<TColor32> Pixels(const TBitmap32& B) {
  return std::vector<TColor32>(B.Bits(), B.Bits() + size_t(B.Width()) * size_t(B.Height()));
}

}  // namespace

TEST(ComposeMap, EqualsDrawingEverySourceInTurn) {
  TMapEditLayerList map;
  MakeBusyMap(map, 12, 9, 7);
  map.Refresh();
  TBitmap32 expected, got;
  expected.SetSize(192, 144);
  got.SetSize(192, 144);
  // A background that shows through where nothing is opaque.
  expected.Clear(0x80402010u);
  got.Clear(0x80402010u);
  // A pixel of a layer index without a layer: transparent in every layer.
  map.SetPixelLayer(100, 100, 9);
  map.RedrawAround(100 / 16, 100 / 16);
  ReferenceStack(map, expected);
  ComposeMap(map, got, TRect{0, 0, 192, 144});
  EXPECT_EQ(Pixels(got), Pixels(expected));

  // A clip rectangle placed elsewhere gives the same pixels there and nothing else.
  TBitmap32 part;
  part.SetSize(50, 40);
  part.Clear(0x80402010u);
  ComposeMap(map, part, TRect{30, 20, 70, 50}, 10, 5);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 50; ++x) {
      const bool inside = x >= 10 && y >= 5 && x < 50 && y < 35;
      const TColor32 want = inside ? expected.Pixel(x - 10 + 30, y - 5 + 20) : 0x80402010u;
      ASSERT_EQ(part.Pixel(x, y), want) << x << "," << y;
    }

  // Clipped on every side: map rectangle beyond the map, destination off the target.
  TBitmap32 edge;
  edge.SetSize(20, 20);
  ComposeMap(map, edge, TRect{180, -10, 220, 30}, -5, 0);
  EXPECT_EQ(edge.Pixel(0, 10), expected.Pixel(185, 0));
  EXPECT_EQ(edge.Pixel(6, 19), expected.Pixel(191, 9));
  EXPECT_EQ(edge.Pixel(7, 10), 0u);
  EXPECT_EQ(edge.Pixel(3, 9), 0u);
}

TEST(ComposeMap, LayerWithoutImageIsSkipped) {
  // A layer with no texture has an empty image: it shows nothing and is not
  // written by the composition.
  TMapEditLayerList map;
  map.SetSize(3, 2, 16);
  map.AddLayer()->SetFileName("0");
  map.AddLayer()->SetFileName("255");
  map.AddLayer();  // no source
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 48; ++x) map.SetPixelLayer(x, y, x < 16 ? 0 : (x < 32 ? 1 : 2));
  map.Refresh();
  EXPECT_TRUE(map.Layers(2)->BMP().Empty());
  TBitmap32 got, expected;
  got.SetSize(48, 32);
  expected.SetSize(48, 32);
  ComposeMap(map, got, TRect{0, 0, 48, 32});
  ReferenceStack(map, expected);
  EXPECT_EQ(Pixels(got), Pixels(expected));
  EXPECT_EQ(got.Pixel(40, 5), 0x00000000u);  // nothing opaque there
  EXPECT_EQ(got.Pixel(28, 5), 0xFFFF0000u);  // floor layer 1, out of the shade
  EXPECT_EQ(got.Pixel(5, 5), 0xFF000000u);   // wall
}

TEST(ComposeMapStretched, NearestDoublesEveryPixel) {
  TMapEditLayerList map;
  MakeBusyMap(map, 4, 3, 3);
  map.Refresh();
  TBitmap32 one, two;
  one.SetSize(64, 48);
  ComposeMap(map, one, TRect{0, 0, 64, 48});
  two.SetSize(128, 96);
  ComposeMapStretched(map, two, TRect{0, 0, 128, 96}, TRect{0, 0, 64, 48}, TResamplerKind::Nearest);
  for (int32_t y = 0; y < 96; ++y)
    for (int32_t x = 0; x < 128; ++x)
      ASSERT_EQ(two.Pixel(x, y), one.Pixel(x / 2, y / 2)) << x << "," << y;
}

TEST(Refresh, ParallelEqualsSerialRedraw) {
  for (bool fast : {false, true}) {
    TMapEditLayerList map;
    MakeBusyMap(map, 23, 17, 11);
    map.FastDraw = fast;
    map.Refresh();
    std::vector<std::vector<TColor32>> parallel;
    for (int32_t j = 0; j < map.Count(); ++j) parallel.push_back(Pixels(map.Layers(j)->BMP()));
    parallel.push_back(Pixels(map.Shades()));

    // Spoil every derived pixel, then redraw cell by cell in the defined order.
    for (int32_t j = 0; j < map.Count(); ++j) map.Layers(j)->BMP().SetAllAlpha(77);
    map.Shades().Clear(0x33000000u);
    if (fast) map.Shades().Clear(0);  // chip cells of walls keep their shade pixels
    for (int32_t x = 0; x < map.Width(); ++x)
      for (int32_t y = 0; y < map.Height(); ++y) map.RedrawCell(x, y);
    for (int32_t j = 0; j < map.Count(); ++j)
      ASSERT_EQ(Pixels(map.Layers(j)->BMP()), parallel[size_t(j)]) << "layer " << j;
    ASSERT_EQ(Pixels(map.Shades()), parallel.back());
  }
}

TEST(ComposeMap, MapWithoutLayersShowsOnlyShades) {
  TMapEditLayerList map;
  map.SetSize(2, 2, 8);
  map.Shades().Clear(0x80000000u);
  TBitmap32 out;
  out.SetSize(16, 16);
  out.Clear(0xFFFFFFFFu);
  ComposeMap(map, out, TRect{0, 0, 16, 16});
  EXPECT_EQ(out.Pixel(3, 3), BlendPixel(0x80000000u, 0xFFFFFFFFu));
  EXPECT_EQ(out.Pixel(3, 3), 0xC0808080u);
}
