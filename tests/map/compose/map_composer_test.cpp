// The composition routine that stacks a map's images onto a target, and the
// whole-map refresh that feeds it.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "map/compose/map_composer.h"
#include "map/compose/prop_scene.h"
#include "map/document/map_edit_layer_list.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

namespace {

// A map with walls, three floor layers, an object layer and doors of every kind,
// on cells of Chip pixels; every layer has its own colour.
void MakeBusyMap(TMapEditLayerList& Map, int32_t W, int32_t H, uint32_t Seed, int32_t Chip = 16) {
  Map.SetSize(W, H, Chip);
  const char* sources[] = {"4210752", "255", "65280", "16711680", "8421631"};
  for (const char* s : sources) Map.AddLayer()->SetFileName(s);
  Map.Layers(4)->LayerType = mltObject;
  std::mt19937 rng(Seed);
  std::uniform_int_distribution<int32_t> layer(0, 4), cx(0, W - 1), cy(0, H - 1);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const int32_t L = layer(rng);
      for (int32_t py = y * Chip; py < y * Chip + Chip; ++py)
        for (int32_t px = x * Chip; px < x * Chip + Chip; ++px) Map.SetPixelLayer(px, py, L);
      Map.SetCell(x, y, 1);
    }
  // Free-hand blobs break some cells up.
  std::uniform_int_distribution<int32_t> px(0, W * Chip - 1), py(0, H * Chip - 1);
  for (int32_t i = 0; i < W * H / 2; ++i) {
    const int32_t x0 = px(rng), y0 = py(rng), L = layer(rng);
    for (int32_t y = y0; y < std::min(y0 + 9, H * Chip); ++y)
      for (int32_t x = x0; x < std::min(x0 + 6, W * Chip); ++x) {
        Map.SetPixelLayer(x, y, L);
        Map.SetCell(x / Chip, y / Chip, 0);
      }
  }
  for (int32_t i = 0; i < W * H / 6; ++i) {
    TMapEditHorzDoor* h = Map.Doors().HorzDoor().Add();
    h->X = cx(rng);
    h->Y = cy(rng);
    h->Width = 1;
    // Door colours with any alpha are drawn opaque.
    h->Color = (i % 2) ? 0xFFC08040u : (i % 4) ? 0x40336699u : 0;
    TMapEditVertDoor* v = Map.Doors().VertDoor().Add();
    v->X = cx(rng);
    v->Y = cy(rng);
    v->Height = 1;
    v->Color = (i % 3) ? 0xFF2050A0u : 0;
  }
  TMapEditCustomDoor* f = Map.Doors().FreeDoor().Add();
  f->X = 5;
  f->Y = 7;
  f->X2 = W * Chip / 2;
  f->Y2 = H * Chip / 2 + 3;
  f->Color = 0xFFFFFFFFu;
  Map.Doors().HorzDoor().Sort();
  Map.Doors().VertDoor().Sort();
  Map.Doors().RebuildDoorBitmap();
}

// Every source drawn in turn over the whole target, as the stacking order says;
// props, when given, go on the floor layers.
void ReferenceStack(const TMapEditLayerList& Map, TBitmap32& Target,
                    const TPropScene* Props = nullptr) {
  // Read-only access, so that the composition under test keeps its cell coverage.
  auto blend = [&](const auto& S) {
    for (int32_t y = 0; y < std::min(S.Height(), Target.Height()); ++y)
      for (int32_t x = 0; x < std::min(S.Width(), Target.Width()); ++x)
        Target.Pixel(x, y) = BlendPixel(S.Pixel(x, y), Target.Pixel(x, y));
  };
  for (int32_t j = Map.Count() - 1; j >= 1; --j) blend(std::as_const(*Map.Layers(j)).BMP());
  if (Props) Props->Draw(Target, TRect{0, 0, Target.Width(), Target.Height()}, 0, 0);
  if (const TMapEditDoorList* doors = Map.DoorsIfCreated(); doors && doors->HasDoors()) {
    const TBitmap32& d = *doors->BitmapIfCreated();
    for (int32_t y = 0; y < d.Height(); ++y)
      for (int32_t x = 0; x < d.Width(); ++x)
        DoorPixelCombine(d.Pixel(x, y), Target.Pixel(x, y), 255);
  }
  if (Map.Count() > 0) blend(std::as_const(*Map.Layers(0)).BMP());
  if (Map.ShadesIfCreated()) blend(*Map.ShadesIfCreated());
}

// Whether every layer, the shades and the doors carry a valid cell coverage.
bool CoverageKept(const TMapEditLayerList& Map) {
  const int32_t w = Map.Width(), h = Map.Height(), cs = Map.ChipSize();
  bool kept = bool(Map.ShadeCoverage().Row(0, w, h, cs));
  for (int32_t j = 0; j < Map.Count(); ++j)
    kept = kept && std::as_const(*Map.Layers(j)).Coverage().Row(0, w, h, cs);
  if (const TMapEditDoorList* doors = Map.DoorsIfCreated())
    kept = kept && doors->Coverage().Row(0, w, h, cs);
  return kept;
}

// ComposeMap against the reference over the whole map on a grey background.
void ExpectComposedAsReference(const TMapEditLayerList& Map, const char* Step) {
  TBitmap32 expected, got;
  expected.SetSize(Map.PixelWidth(), Map.PixelHeight());
  got.SetSize(Map.PixelWidth(), Map.PixelHeight());
  expected.Clear(0x80402010u);
  got.Clear(0x80402010u);
  ReferenceStack(Map, expected);
  ComposeMap(const_cast<TMapEditLayerList&>(Map), got,
             TRect{0, 0, Map.PixelWidth(), Map.PixelHeight()});
  const TColor32* e = expected.Bits();
  const TColor32* g = got.Bits();
  for (int32_t i = 0; i < Map.PixelWidth() * Map.PixelHeight(); ++i)
    if (e[i] != g[i]) {
      ADD_FAILURE() << Step << ": pixel " << i % Map.PixelWidth() << "," << i / Map.PixelWidth()
                    << " is " << std::hex << g[i] << " instead of " << e[i];
      return;
    }
}

// The pixels of a surface or the shades, row after row.
template <class TImage>
std::vector<TColor32> Pixels(const TImage& B) {
  std::vector<TColor32> out;
  out.reserve(size_t(B.Width()) * size_t(B.Height()));
  for (int32_t y = 0; y < B.Height(); ++y)
    for (int32_t x = 0; x < B.Width(); ++x) out.push_back(B.Pixel(x, y));
  return out;
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
  // Walls and floors that are see-through over whole cells are blended, not copied.
  for (int32_t y = 32; y < 48; ++y)
    for (int32_t x = 0; x < 192; ++x) {
      TColor32& wall = map.Layers(0)->BMPForWriting().Pixel(x, y);
      wall = (wall & 0x00FFFFFFu) | 0x80000000u;
      TColor32& floor = map.Layers(map.Count() - 1)->BMPForWriting().Pixel(x, y + 32);
      floor = (floor & 0x00FFFFFFu) | 0xC8000000u;
    }
  // Door pixels of every low alpha across a row are drawn opaque.
  for (int32_t x = 0; x < 192; ++x)
    map.Doors().Bitmap().Pixel(x, 50) = (TColor32(x % 7 + 2) << 24) | TColor32(x * 0x10305u);
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
    for (int32_t j = 0; j < map.Count(); ++j) map.Layers(j)->BMPForWriting().SetAllAlpha(77);
    map.Shades().Clear(0x33);
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
  map.Shades().Clear(0x80);
  TBitmap32 out;
  out.SetSize(16, 16);
  out.Clear(0xFFFFFFFFu);
  ComposeMap(map, out, TRect{0, 0, 16, 16});
  EXPECT_EQ(out.Pixel(3, 3), BlendPixel(0x80000000u, 0xFFFFFFFFu));
  EXPECT_EQ(out.Pixel(3, 3), 0xC0808080u);
}

TEST(ComposeMap, CellCoverageSkipsOnlyWhatIsTransparentThroughEveryKindOfEdit) {
  TMapEditLayerList map;
  MakeBusyMap(map, 20, 14, 11);
  map.Refresh();
  ASSERT_TRUE(CoverageKept(map));
  // The coverage really passes over something: some layer is absent from some
  // cell rows, shows on part of others, and is opaque over others again.
  int32_t skipped = 0, part = 0, opaque = 0;
  for (int32_t j = 0; j < map.Count(); ++j)
    for (int32_t y = 0; y < map.PixelHeight(); ++y)
      for (int32_t cx = 0; cx < map.Width(); ++cx) {
        const TCellCoverage::TSpan s =
            std::as_const(*map.Layers(j)).Coverage().Row(y, 20, 14, 16)[cx];
        skipped += s.Begin == s.End;
        part += s.Begin < s.End && (s.Begin > 0 || s.End < 16);
        opaque += s.Opaque;
      }
  EXPECT_GT(skipped, 1000);
  EXPECT_GT(part, 100);
  EXPECT_GT(opaque, 1000);
  ExpectComposedAsReference(map, "after Refresh");

  // Edits that redraw cells keep the coverage, and it stays exact.
  map.FastDraw = true;
  map.PaintChip(3, 3, 2);
  map.RedrawAround(3, 3);
  map.PaintCircle(100, 80, 9, 1);
  map.RedrawAround(100 / 16, 80 / 16);
  map.FillRectChips(10, 2, 14, 6, 0);
  for (int32_t cy = 1; cy <= 7; ++cy)
    for (int32_t cx = 9; cx <= 15; ++cx) map.RedrawCell(cx, cy);
  map.FillRectPixels(200, 150, 260, 190, 3);
  for (int32_t cy = 8; cy <= 12; ++cy)
    for (int32_t cx = 11; cx <= 17; ++cx) map.RedrawCell(cx, cy);
  map.ClearCellShade(1, 1);
  map.ToggleDoor(5, 5, true, 0xFF3060C0u);
  map.AddFreeDoor(20, 200, 300, 30, 0);
  ASSERT_TRUE(CoverageKept(map));
  ExpectComposedAsReference(map, "after painting and doors");

  // Pixels painted before their cells are redrawn (a stroke in progress), with a
  // layer no cell showed until now.
  TMapEditLayerList plain;
  plain.SetSize(4, 2, 16);
  for (const char* source : {"0", "255", "65280"}) plain.AddLayer()->SetFileName(source);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) plain.SetPixelLayer(x, y, 1);
  plain.Refresh();
  ASSERT_TRUE(CoverageKept(plain));
  plain.PaintPixel(37, 20, 2);
  plain.PaintCircle(10, 10, 3, 2);
  ExpectComposedAsReference(plain, "during a stroke");

  // Writing a layer's image another way drops its coverage: still the same pixels.
  map.Layers(2)->SetFileName("8388736");
  EXPECT_FALSE(CoverageKept(map));
  ExpectComposedAsReference(map, "after a new texture");
  map.Layers(1)->BMPForWriting().Clear(0xFF00FF00u);
  ExpectComposedAsReference(map, "after writing an image directly");
  map.Doors().Bitmap().Pixel(3, 3) = 0xFF000000u;
  ExpectComposedAsReference(map, "after writing the door bitmap directly");
  map.Refresh();
  map.Doors().RebuildDoorBitmap();
  EXPECT_TRUE(CoverageKept(map));
  ExpectComposedAsReference(map, "after Refresh again");

  // Cells wide enough to be composed one at a time, and a clip rectangle that
  // starts and ends inside cells.
  TMapEditLayerList wide;
  MakeBusyMap(wide, 7, 5, 23, 40);
  wide.Refresh();
  ASSERT_TRUE(CoverageKept(wide));
  ExpectComposedAsReference(wide, "cells of 40 pixels");
  TBitmap32 all, clipped;
  all.SetSize(280, 200);
  all.Clear(0x80402010u);
  ReferenceStack(wide, all);
  clipped.SetSize(150, 90);
  clipped.Clear(0x80402010u);
  ComposeMap(wide, clipped, TRect{37, 55, 187, 145});
  for (int32_t y = 0; y < 90; ++y)
    for (int32_t x = 0; x < 150; ++x) ASSERT_EQ(clipped.Pixel(x, y), all.Pixel(x + 37, y + 55));
}

namespace {

// Two prop images in Dir: a 24 x 16 gradient with a soft edge and a 10 x 10 square.
void MakePropFiles(const vctest::TempDir& Dir) {
  TBitmap32 a, b;
  a.SetSize(24, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 24; ++x)
      a.Pixel(x, y) =
          MakeColor(uint8_t(x * 10), uint8_t(y * 15), 200, uint8_t(x == 0 || y == 0 ? 100 : 255));
  b.SetSize(10, 10);
  b.Clear(0xFFE0C020);
  vctest::WriteRgbaPng(Dir.File("a.png"), a);
  vctest::WriteRgbaPng(Dir.File("b.png"), b);
}

TPropItem Prop(const std::string& Path, double X, double Y, double Rotation, double Scale,
               bool Shadow = false) {
  TPropItem p;
  p.Path = Path;
  p.Transform.CenterX = X, p.Transform.CenterY = Y;
  p.Transform.Rotation = Rotation, p.Transform.Scale = Scale;
  p.Shadow.On = Shadow, p.Shadow.OffsetX = 3, p.Shadow.OffsetY = 2, p.Shadow.Softness = 2;
  return p;
}

}  // namespace

TEST(ComposeMap, PropsLieOnTheFloorsBeneathDoorsWallsAndShades) {
  vctest::TempDir dir;
  MakePropFiles(dir);
  TMapEditLayerList map;
  MakeBusyMap(map, 12, 9, 11);
  map.Refresh();
  TPropScene scene;
  scene.SetResolver([&](const std::string& P) { return dir.Path() / P; });
  scene.SetItems({Prop("a.png", 40.5, 30, 30, 2, true), Prop("b.png", 100, 70, 0, 3),
                  Prop("a.png", 150, 120, -100, 1.5, true), Prop("gone.png", 20, 120, 0, 0.1)});
  ASSERT_EQ(scene.Missing().size(), 1u);
  EXPECT_EQ(scene.Missing()[0].Path, "gone.png");
  TComposeOptions withProps;
  withProps.Props = &scene;

  TBitmap32 expected, got, plain;
  for (TBitmap32* b : {&expected, &got, &plain}) {
    b->SetSize(192, 144);
    b->Clear(0x80402010u);
  }
  ReferenceStack(map, expected, &scene);
  ComposeMap(map, got, TRect{0, 0, 192, 144}, 0, 0, withProps);
  EXPECT_EQ(Pixels(got), Pixels(expected));
  ComposeMap(map, plain, TRect{0, 0, 192, 144});
  EXPECT_NE(Pixels(got), Pixels(plain));

  // A part of the map composed elsewhere on the target: the same pixels there.
  TBitmap32 part;
  part.SetSize(60, 50);
  part.Clear(0x80402010u);
  ComposeMap(map, part, TRect{70, 50, 130, 100}, 0, 0, withProps);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 60; ++x) ASSERT_EQ(part.Pixel(x, y), expected.Pixel(x + 70, y + 50));

  // Where no prop reaches, and with no props at all, nothing changes to the pixel.
  TBitmap32 far, bare;
  for (TBitmap32* b : {&far, &bare}) {
    b->SetSize(30, 20);
    b->Clear(0x80402010u);
  }
  TPropScene empty;
  TComposeOptions none;
  none.Props = &empty;
  ComposeMap(map, far, TRect{160, 0, 190, 20}, 0, 0, withProps);
  ComposeMap(map, bare, TRect{160, 0, 190, 20}, 0, 0, none);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 30; ++x) {
      ASSERT_EQ(far.Pixel(x, y), plain.Pixel(x + 160, y));
      ASSERT_EQ(bare.Pixel(x, y), plain.Pixel(x + 160, y));
    }
}

TEST(ComposeMap, APropAcrossAWallIsHiddenByItAndShadedBesideIt) {
  vctest::TempDir dir;
  MakePropFiles(dir);
  // Cells of 32: a wall cell on the left, floor on the right.
  TMapEditLayerList map;
  map.SetSize(2, 1, 32);
  map.AddLayer()->SetFileName("4210752");
  map.AddLayer()->SetFileName("65280");
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) map.SetPixelLayer(x, y, x < 32 ? 0 : 1);
  map.Refresh();
  TPropScene scene;
  scene.SetResolver([&](const std::string& P) { return dir.Path() / P; });
  // The 10 x 10 square, three times as large, centred on the wall's edge.
  scene.SetItems({Prop("b.png", 32, 16, 0, 3)});
  TComposeOptions opts;
  opts.Props = &scene;
  TBitmap32 got, plain;
  got.SetSize(64, 32);
  plain.SetSize(64, 32);
  ComposeMap(map, got, TRect{0, 0, 64, 32}, 0, 0, opts);
  ComposeMap(map, plain, TRect{0, 0, 64, 32});
  const TShadeImage& shades = *map.ShadesIfCreated();
  for (int32_t x = 20; x < 44; ++x) {
    // In the wall the wall shows; on the floor the prop, darkened by the shade
    // exactly as the floor would be.
    const TColor32 want = x < 32 ? plain.Pixel(x, 16) : BlendPixel(shades.Pixel(x, 16), 0xFFE0C020);
    EXPECT_EQ(got.Pixel(x, 16), want) << x;
  }
  EXPECT_NE(shades.Pixel(37, 16) >> 24, 0u);  // the case shows shade at all
  EXPECT_EQ(got.Pixel(50, 16), plain.Pixel(50, 16));

  // A layer without an image sends the composition down its general path: the
  // props still lie between the floors and the walls.
  map.AddLayer();
  map.Refresh();
  TBitmap32 expected;
  expected.SetSize(64, 32);
  got.Clear(0);
  ReferenceStack(map, expected, &scene);
  ComposeMap(map, got, TRect{0, 0, 64, 32}, 0, 0, opts);
  EXPECT_EQ(Pixels(got), Pixels(expected));
}
