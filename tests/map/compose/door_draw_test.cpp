// Doors drawn into the door bitmap, and how the composition treats them.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr TColor32 kBlack = 0xFF000000u;
constexpr TColor32 kRed = 0xFFFF0000u;
constexpr TColor32 kDarkRed = 0xFF7F0000u;
constexpr TColor32 kRedCode = 0x02FF0000u;
constexpr TColor32 kGreen = 0xFF00FF00u;  // the wall texture below ("65280")

void MakeMap(TMapEditLayerList& Map, int32_t W, int32_t H, int32_t Cs, int32_t Fill) {
  Map.SetSize(W, H, Cs);
  Map.AddLayer()->SetFileName("65280");  // walls: green
  Map.AddLayer()->SetFileName("255");    // floor: red (platform colour 0x0000FF)
  for (int32_t y = 0; y < Map.PixelHeight(); ++y)
    for (int32_t x = 0; x < Map.PixelWidth(); ++x) Map.SetPixelLayer(x, y, Fill);
}

void PaintCell(TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t Layer) {
  const int32_t cs = Map.ChipSize();
  for (int32_t y = CY * cs; y < (CY + 1) * cs; ++y)
    for (int32_t x = CX * cs; x < (CX + 1) * cs; ++x) Map.SetPixelLayer(x, y, Layer);
}

void AddHorz(TMapEditLayerList& Map, int32_t X, int32_t Y, TColor32 Color) {
  TMapEditHorzDoor* d = Map.Doors().HorzDoor().Add();
  d->X = X;
  d->Y = Y;
  d->Width = 1;
  d->Color = Color;
}
void AddVert(TMapEditLayerList& Map, int32_t X, int32_t Y, TColor32 Color) {
  TMapEditVertDoor* d = Map.Doors().VertDoor().Add();
  d->X = X;
  d->Y = Y;
  d->Height = 1;
  d->Color = Color;
}

std::vector<TColor32> Pixels(const TBitmap32& B) {
  return std::vector<TColor32>(B.Bits(), B.Bits() + size_t(B.Width()) * size_t(B.Height()));
}

}  // namespace

TEST(DoorDraw, ColourlessDoorIsTwoBlackRowsWithoutShade) {
  TMapEditLayerList map;
  MakeMap(map, 3, 3, 32, 1);
  AddHorz(map, 1, 1, 0);
  map.Doors().RebuildDoorBitmap();
  const TBitmap32& bits = map.Doors().Bitmap();
  ASSERT_EQ(bits.Width(), 96);
  ASSERT_EQ(bits.Height(), 96);
  for (int32_t x = 32; x < 64; ++x) {
    EXPECT_EQ(bits.Pixel(x, 29), kBlack) << x;
    EXPECT_EQ(bits.Pixel(x, 34), kBlack) << x;
    for (int32_t y = 30; y <= 33; ++y) EXPECT_EQ(bits.Pixel(x, y), 0u) << x << "," << y;
  }
  EXPECT_EQ(bits.Pixel(31, 29), 0u);
  EXPECT_EQ(bits.Pixel(64, 29), 0u);
  EXPECT_EQ(map.Doors().DoorPixelCode(40, 29), 255);
  EXPECT_EQ(map.Doors().DoorPixelCode(-1, 29), 0);

  map.Refresh();
  for (int32_t y = 0; y < 96; ++y)
    for (int32_t x = 0; x < 96; ++x) ASSERT_EQ(map.Shades().Pixel(x, y), 0u) << x << "," << y;
  TBitmap32 out;
  out.SetSize(96, 96);
  ComposeMap(map, out, TRect{0, 0, 96, 96});
  EXPECT_EQ(out.Pixel(40, 29), kBlack);
  EXPECT_EQ(out.Pixel(40, 34), kBlack);
  EXPECT_EQ(out.Pixel(40, 31), kRed);
  EXPECT_EQ(out.Pixel(40, 32), kRed);
}

TEST(DoorDraw, ColouredDoorShowsWallTextureAndCastsShade) {
  TMapEditLayerList map;
  MakeMap(map, 3, 3, 32, 1);
  AddHorz(map, 1, 1, kRed);
  map.Doors().RebuildDoorBitmap();
  const TBitmap32& bits = map.Doors().Bitmap();
  const TColor32 rows[6] = {kBlack, kDarkRed, kRedCode, kRedCode, kDarkRed, kBlack};
  for (int32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(bits.Pixel(32, 29 + i), rows[i]) << i;
    EXPECT_EQ(bits.Pixel(63, 29 + i), rows[i]) << i;
  }
  EXPECT_EQ(bits.Pixel(40, 28), 0u);
  EXPECT_EQ(bits.Pixel(40, 35), 0u);

  map.Refresh();
  // The colour rows count as wall: layer 0 opaque there, shade beneath the door.
  EXPECT_EQ(map.Layers(0)->BMP().Pixel(40, 31) >> 24, 255u);
  EXPECT_EQ(map.Layers(0)->BMP().Pixel(40, 33) >> 24, 0u);
  EXPECT_EQ(map.Shades().Pixel(40, 35), 0u);           // chamfer 6 from row 32
  EXPECT_EQ(map.Shades().Pixel(40, 36), 0x7B000000u);  // chamfer 8
  EXPECT_EQ(map.Shades().Pixel(40, 27), 0x7B000000u);  // 8 above row 31

  TBitmap32 out;
  out.SetSize(96, 96);
  ComposeMap(map, out, TRect{0, 0, 96, 96});
  const TColor32 shown[6] = {kBlack, kDarkRed, kGreen, kGreen, kDarkRed, kBlack};
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(out.Pixel(40, 29 + i), shown[i]) << i;
}

TEST(DoorDraw, DoorsTouchingRightOrBottomEdgeAreNotDrawn) {
  TMapEditLayerList map;
  MakeMap(map, 2, 2, 16, 1);
  AddHorz(map, 1, 0, kRed);  // ends at x = 32, the bitmap width
  AddVert(map, 0, 1, kRed);  // ends at y = 32
  map.Doors().RebuildDoorBitmap();
  for (TColor32 p : Pixels(map.Doors().Bitmap())) ASSERT_EQ(p, 0u);

  // A door on the top edge of the map keeps only its rows inside.
  TMapEditLayerList top;
  MakeMap(top, 2, 2, 16, 1);
  AddHorz(top, 0, 0, kRed);
  top.Doors().RebuildDoorBitmap();
  const TBitmap32& bits = top.Doors().Bitmap();
  EXPECT_EQ(bits.Pixel(5, 0), kRedCode);
  EXPECT_EQ(bits.Pixel(5, 1), kDarkRed);
  EXPECT_EQ(bits.Pixel(5, 2), kBlack);
  EXPECT_EQ(bits.Pixel(5, 3), 0u);
  EXPECT_EQ(bits.Pixel(16, 0), 0u);

  // A vertical door: columns across it.
  TMapEditLayerList vert;
  MakeMap(vert, 2, 2, 16, 1);
  AddVert(vert, 1, 0, kRed);
  vert.Doors().RebuildDoorBitmap();
  const TColor32 cols[6] = {kBlack, kDarkRed, kRedCode, kRedCode, kDarkRed, kBlack};
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(vert.Doors().Bitmap().Pixel(13 + i, 4), cols[i]);
  EXPECT_EQ(vert.Doors().Bitmap().Pixel(15, 16), 0u);
}

TEST(DoorDraw, EndsNearWallAreTrimmed) {
  // Wall cell (0,1) to the lower left of a door on the top edge of cell (1,1).
  TMapEditLayerList map;
  MakeMap(map, 3, 3, 32, 1);
  PaintCell(map, 0, 1, 0);
  AddHorz(map, 1, 1, kRed);
  map.Doors().RebuildDoorBitmap();
  const TBitmap32& bits = map.Doors().Bitmap();
  EXPECT_EQ(bits.Pixel(32, 29), 0u);  // black row within reach of (31, 32)
  EXPECT_EQ(bits.Pixel(33, 29), 0u);
  EXPECT_EQ(bits.Pixel(34, 29), kBlack);       // only the 7x7 square's corner is wall
  EXPECT_EQ(bits.Pixel(32, 31), 0x01000000u);  // colour pixel turned into code 1
  EXPECT_EQ(bits.Pixel(32, 33), 0u);           // dark row removed
  EXPECT_EQ(bits.Pixel(35, 31), kRedCode);
  EXPECT_EQ(bits.Pixel(35, 33), kDarkRed);
  EXPECT_EQ(map.Doors().DoorPixelCode(32, 31), 1);
}

TEST(DoorDraw, RebuildingDoesNotChangeTheDoor) {
  // The door bitmap depends on the grids and the door lists only: not on the wall
  // layer's alpha, which the previous composition made opaque over the door's
  // colour rows, nor on a freshly built solid wall layer that is opaque everywhere.
  TMapEditLayerList map;
  MakeMap(map, 4, 3, 32, 1);
  PaintCell(map, 0, 1, 0);
  PaintCell(map, 3, 0, 0);
  AddHorz(map, 1, 1, kRed);
  AddVert(map, 2, 1, 0xFF3366CCu);
  TMapEditCustomDoor* f = map.Doors().FreeDoor().Add();
  f->X = 70;
  f->Y = 40;
  f->X2 = 100;
  f->Y2 = 55;
  f->Color = 0xFFFFFFFFu;
  map.Doors().RebuildDoorBitmap();
  map.Refresh();
  const std::vector<TColor32> first = Pixels(map.Doors().Bitmap());

  map.Doors().RebuildDoorBitmap();
  EXPECT_EQ(Pixels(map.Doors().Bitmap()), first);
  map.Refresh();
  map.Doors().RebuildDoorBitmap();
  EXPECT_EQ(Pixels(map.Doors().Bitmap()), first);
  map.Layers(0)->BMPForWriting().SetAllAlpha(255);
  map.Doors().RebuildDoorBitmap();
  EXPECT_EQ(Pixels(map.Doors().Bitmap()), first);
  // The colour rows far from walls are still there.
  EXPECT_EQ(map.Doors().Bitmap().Pixel(45, 31), kRedCode);
}

TEST(DoorDraw, DiagonalFreeDoorsKeepTheirBandAcross) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 16, 1);
  // Down-right: the band lies towards the upper right and lower left.
  TMapEditCustomDoor* a = map.Doors().FreeDoor().Add();
  a->X = 10;
  a->Y = 10;
  a->X2 = 30;
  a->Y2 = 30;
  a->Color = kRed;
  map.Doors().RebuildDoorBitmap();
  const TBitmap32& bits = map.Doors().Bitmap();
  // Row 20 crosses the door line at x = 20 and each offset line (ox, oy) at
  // x = 20 + ox - oy; the columns between them stay empty.
  EXPECT_EQ(bits.Pixel(20, 20), kRedCode);  // the door line
  EXPECT_EQ(bits.Pixel(22, 20), kRedCode);  // (+1, -1)
  EXPECT_EQ(bits.Pixel(24, 20), kDarkRed);  // (+2, -2)
  EXPECT_EQ(bits.Pixel(26, 20), kBlack);    // (+3, -3)
  EXPECT_EQ(bits.Pixel(18, 20), kDarkRed);  // (-1, +1)
  EXPECT_EQ(bits.Pixel(16, 20), kBlack);    // (-2, +2)
  EXPECT_EQ(bits.Pixel(21, 20), 0u);
  EXPECT_EQ(bits.Pixel(28, 20), 0u);

  // Down-left: the band lies towards the upper left and lower right.
  TMapEditLayerList other;
  MakeMap(other, 4, 4, 16, 1);
  TMapEditCustomDoor* b = other.Doors().FreeDoor().Add();
  b->X = 40;
  b->Y = 10;
  b->X2 = 20;
  b->Y2 = 30;
  b->Color = kRed;
  other.Doors().RebuildDoorBitmap();
  const TBitmap32& ob = other.Doors().Bitmap();
  // Here row 20 meets the line (ox, oy) at x = 30 + ox + oy.
  EXPECT_EQ(ob.Pixel(30, 20), kRedCode);
  EXPECT_EQ(ob.Pixel(28, 20), kRedCode);  // (-1, -1)
  EXPECT_EQ(ob.Pixel(26, 20), kDarkRed);  // (-2, -2)
  EXPECT_EQ(ob.Pixel(24, 20), kBlack);    // (-3, -3)
  EXPECT_EQ(ob.Pixel(32, 20), kDarkRed);  // (+1, +1)
  EXPECT_EQ(ob.Pixel(34, 20), kBlack);    // (+2, +2)

  // A zero-length free door draws nothing and a door with an end outside neither.
  TMapEditLayerList none;
  MakeMap(none, 2, 2, 16, 1);
  TMapEditCustomDoor* z = none.Doors().FreeDoor().Add();
  z->X = z->X2 = 5;
  z->Y = z->Y2 = 5;
  z->Color = kRed;
  TMapEditCustomDoor* o = none.Doors().FreeDoor().Add();
  o->X = -1;
  o->Y = 5;
  o->X2 = 10;
  o->Y2 = 5;
  none.Doors().RebuildDoorBitmap();
  for (TColor32 p : Pixels(none.Doors().Bitmap())) ASSERT_EQ(p, 0u);
}

TEST(DoorDraw, CombineRule) {
  TColor32 b = 0x12345678u;
  DoorPixelCombine(0, b, 255);
  EXPECT_EQ(b, 0x12345678u);
  DoorPixelCombine(0x01000000u, b, 255);
  EXPECT_EQ(b, 0x12345678u);
  DoorPixelCombine(0x02FF0000u, b, 255);
  EXPECT_EQ(b, 0xFFFF0000u);
  DoorPixelCombine(0x00000001u, b, 255);
  EXPECT_EQ(b, 0xFF000001u);
}

TEST(DoorDraw, DoorsFarOutsideTheMapAreIgnored) {
  // Cell numbers whose pixel position does not fit 32 bits (a damaged file).
  TMapEditLayerList map;
  MakeMap(map, 2, 2, 16, 1);
  AddHorz(map, 0x7FFFFFF0, 0, kRed);
  AddVert(map, 0, -0x7FFFFFF0, kRed);
  TMapEditHorzDoor* wide = map.Doors().HorzDoor().Add();
  wide->X = 0;
  wide->Y = 1;
  wide->Width = 0x7FFFFFFF;
  wide->Color = kRed;
  map.Doors().RebuildDoorBitmap();
  for (TColor32 p : Pixels(map.Doors().Bitmap())) ASSERT_EQ(p, 0u);
}

TEST(DoorDraw, RebuildAtTheSameSizeClearsEveryPixelTheOldDoorsDrew) {
  TMapEditLayerList map;
  MakeMap(map, 4, 4, 16, 1);
  AddHorz(map, 1, 1, kRed);
  AddVert(map, 3, 2, 0);
  map.Doors().RebuildDoorBitmap();
  std::vector<TColor32> both = Pixels(*map.Doors().BitmapIfCreated());
  int64_t drawn = 0;
  for (TColor32 p : both) drawn += p != 0;
  ASSERT_GT(drawn, 0);

  // Without the horizontal door, a rebuild gives exactly the bitmap of a map that
  // only ever had the vertical one: nothing of the old door is left behind.
  map.Doors().HorzDoor().Clear();
  map.Doors().RebuildDoorBitmap();
  TMapEditLayerList alone;
  MakeMap(alone, 4, 4, 16, 1);
  AddVert(alone, 3, 2, 0);
  alone.Doors().RebuildDoorBitmap();
  EXPECT_EQ(Pixels(*map.Doors().BitmapIfCreated()), Pixels(*alone.Doors().BitmapIfCreated()));

  // A pixel written through the writable bitmap, outside any door's reach, is
  // cleared by the next rebuild too.
  map.Doors().Bitmap().Pixel(2, 60) = kRedCode;
  map.Doors().RebuildDoorBitmap();
  EXPECT_EQ(map.Doors().BitmapIfCreated()->Pixel(2, 60), 0u);
  EXPECT_EQ(Pixels(*map.Doors().BitmapIfCreated()), Pixels(*alone.Doors().BitmapIfCreated()));
  // With no doors at all, the bitmap is empty everywhere.
  map.Doors().VertDoor().Clear();
  map.Doors().RebuildDoorBitmap();
  for (TColor32 p : Pixels(*map.Doors().BitmapIfCreated())) ASSERT_EQ(p, 0u);
}
