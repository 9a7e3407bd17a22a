// Windows, labels and the light preview drawn over the composed map.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "map/compose/label_text.h"
#include "map/compose/map_composer.h"
#include "map/compose/object_overlay.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"

namespace {

// A W x H map of Chip-pixel cells: solid walls of 0x404040 everywhere, or a floor of
// platform colour Floor (0x00BBGGRR) when Floor is given.
void MakeMap(TMapEditLayerList& Map, int32_t W, int32_t H, int32_t Chip, const char* Floor) {
  Map.SetSize(W, H, Chip);
  Map.AddLayer()->SetFileName("4210752");  // 0x404040
  if (Floor) {
    Map.AddLayer()->SetFileName(Floor);
    for (int32_t y = 0; y < Map.PixelHeight(); ++y)
      for (int32_t x = 0; x < Map.PixelWidth(); ++x) Map.SetPixelLayer(x, y, 1);
  }
  Map.Refresh();
}

std::vector<TColor32> Pixels(const TBitmap32& B) {
  return std::vector<TColor32>(B.Bits(), B.Bits() + size_t(B.Width()) * size_t(B.Height()));
}

void Compose(const TMapEditLayerList& Map, TBitmap32& Out, const TComposeOptions& Options = {}) {
  Out.SetSize(Map.PixelWidth(), Map.PixelHeight());
  Out.Clear(0);
  ComposeMap(Map, Out, TRect{0, 0, Map.PixelWidth(), Map.PixelHeight()}, 0, 0, Options);
}

constexpr TColor32 kWall = 0xFF404040;

}  // namespace

TEST(ObjectOverlay, AWindowIsALightBarAcrossTheWallWithADarkerFrame) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 32, nullptr);
  TMapWindow w;
  w.Kind = TWindowKind::Horizontal;
  w.CX = 1;
  w.CY = 2;  // the edge y = 64 from x = 32 to 64
  map.Objects().Add(w.ToObject());
  TBitmap32 out;
  Compose(map, out);
  ASSERT_EQ(WindowBarWidth(32), 6);
  const TColor32 fill = TMapWindow::kDefaultColor;  // 0xFFCFEFFF
  const TColor32 frame = 0xFF67777F;                // each channel halved
  // Three pixel rows on each side of the edge: rows 61 and 66 are the frame.
  EXPECT_EQ(out.Pixel(40, 60), kWall);
  EXPECT_EQ(out.Pixel(40, 61), frame);
  for (int32_t y = 62; y <= 65; ++y) EXPECT_EQ(out.Pixel(40, y), fill) << y;
  EXPECT_EQ(out.Pixel(40, 66), frame);
  EXPECT_EQ(out.Pixel(40, 67), kWall);
  // Its ends are framed too, and it stops at the cell's corners.
  EXPECT_EQ(out.Pixel(31, 63), kWall);
  EXPECT_EQ(out.Pixel(32, 63), frame);
  EXPECT_EQ(out.Pixel(33, 63), fill);
  EXPECT_EQ(out.Pixel(63, 63), frame);
  EXPECT_EQ(out.Pixel(64, 63), kWall);

  // A vertical window of its own colour, on the left edge of cell (2, 0).
  TMapEditLayerList vmap;
  MakeMap(vmap, 4, 4, 32, nullptr);
  w.Kind = TWindowKind::Vertical;
  w.CX = 2;
  w.CY = 0;
  w.Color = 0xFFFF0000;
  vmap.Objects().Add(w.ToObject());
  Compose(vmap, out);
  EXPECT_EQ(out.Pixel(61, 10), 0xFF7F0000u);
  EXPECT_EQ(out.Pixel(62, 10), 0xFFFF0000u);
  EXPECT_EQ(out.Pixel(65, 10), 0xFFFF0000u);
  EXPECT_EQ(out.Pixel(66, 10), 0xFF7F0000u);
  EXPECT_EQ(out.Pixel(67, 10), kWall);
  EXPECT_EQ(out.Pixel(64, 40), kWall);  // the cell below has none
}

TEST(ObjectOverlay, LabelsAreDrawnInTheirColourWithAHaloAndOnlyWhenAsked) {
  if (!LabelFontAvailable()) GTEST_SKIP() << "no label font installed";
  TMapEditLayerList map;
  MakeMap(map, 8, 8, 32, nullptr);
  TBitmap32 plain;
  Compose(map, plain);

  TMapLabel label;
  label.Text = "\xE2\x96\x88";  // U+2588, a block that fills the font's whole height
  label.X = 128;
  label.Y = 128;
  label.Size = 1;  // 32 pixels
  label.Color = 0xFF0000FF;
  const uint64_t id = map.Objects().Add(label.ToObject());
  TBitmap32 out;
  Compose(map, out);
  EXPECT_EQ(out.Pixel(128, 128), 0xFF0000FFu);
  // The block is about as tall as the font: well inside 30 pixels of its middle.
  EXPECT_EQ(out.Pixel(128, 98), kWall);
  EXPECT_EQ(out.Pixel(128, 158), kWall);
  EXPECT_EQ(out.Pixel(128, 115), 0xFF0000FFu);
  EXPECT_EQ(out.Pixel(128, 141), 0xFF0000FFu);

  // Off, the picture is the map's own.
  TComposeOptions noLabels;
  noLabels.Labels = false;
  Compose(map, out, noLabels);
  EXPECT_EQ(Pixels(out), Pixels(plain));

  // A halo of the outline colour around the letters, three pixels wide at 32.
  label.Outline = 0xFFFFFFFF;
  label.Id = id;
  map.Objects().Replace(id, label.ToObject());
  Compose(map, out);
  int32_t first = 0;
  while (first < 256 && out.Pixel(first, 128) != 0xFF0000FFu) ++first;
  ASSERT_LT(first, 128);
  EXPECT_EQ(out.Pixel(first - 3, 128), 0xFFFFFFFFu);
  EXPECT_EQ(out.Pixel(first - 6, 128), kWall);

  // Left and right alignment put the text on one side of the anchor.
  label.Outline.reset();
  for (TLabelAlign align : {TLabelAlign::Left, TLabelAlign::Right}) {
    label.Align = align;
    map.Objects().Replace(id, label.ToObject());
    Compose(map, out);
    const bool left = align == TLabelAlign::Left;
    EXPECT_EQ(out.Pixel(left ? 124 : 132, 128), kWall);
    EXPECT_EQ(out.Pixel(left ? 136 : 120, 128), 0xFF0000FFu);
  }
}

TEST(ObjectOverlay, PartsComposedApartMatchTheWhole) {
  // Output and printing compose a map in bands and pages: objects that cross
  // their borders must come out the same.
  TMapEditLayerList map;
  MakeMap(map, 6, 6, 16, "8421504");
  TMapWindow w;
  w.Kind = TWindowKind::Free;
  w.X1 = 5;
  w.Y1 = 40;
  w.X2 = 90;
  w.Y2 = 50;
  map.Objects().Add(w.ToObject());
  TMapLabel l;
  l.Text = "Room 12";
  l.X = 48;
  l.Y = 48;
  l.Outline = 0xFFFFFFFF;
  map.Objects().Add(l.ToObject());
  TMapLight light;
  light.X = 48;
  light.Y = 40;
  light.Radius = 2;
  map.Objects().Add(light.ToObject());
  TComposeOptions options;
  options.LightPreview = true;
  TBitmap32 whole;
  Compose(map, whole, options);
  TBitmap32 parts;
  parts.SetSize(96, 96);
  parts.Clear(0);
  for (const TRect& r :
       {TRect{0, 0, 50, 45}, TRect{50, 0, 96, 45}, TRect{0, 45, 50, 96}, TRect{50, 45, 96, 96}})
    ComposeMap(map, parts, r, r.Left, r.Top, options);
  EXPECT_EQ(Pixels(parts), Pixels(whole));
}

TEST(ObjectOverlay, TheLightPreviewDarkensWhatNoLightReaches) {
  TMapEditLayerList map;
  MakeMap(map, 8, 8, 16, "8421504");  // floor 0x808080
  TMapLight light;
  light.X = 64;
  light.Y = 64;
  light.Radius = 2;  // 32 pixels
  light.Color = 0xFFFF0000;
  light.Intensity = 1;
  map.Objects().Add(light.ToObject());
  TBitmap32 out;
  // Off by default: the design's picture.
  Compose(map, out);
  EXPECT_EQ(out.Pixel(64, 64), 0xFF808080u);
  EXPECT_EQ(out.Pixel(5, 5), 0xFF808080u);

  TComposeOptions baked;
  baked.LightPreview = true;
  Compose(map, out, baked);
  // Beyond the light: the ambient quarter, 0x80 / 4 = 0x20.
  EXPECT_EQ(out.Pixel(5, 5), 0xFF202020u);
  EXPECT_EQ(out.Pixel(64, 64 + 33), 0xFF202020u);
  // At the light a red light lifts red back to full and leaves the others dark.
  EXPECT_EQ(out.Pixel(64, 64), 0xFF802020u);
  // Halfway out less red than at the middle, more than beyond.
  const TRGB half = SplitColor(out.Pixel(64 + 16, 64));
  EXPECT_GT(half.R, 0x20);
  EXPECT_LT(half.R, 0x80);
  EXPECT_EQ(half.G, 0x20);
}
