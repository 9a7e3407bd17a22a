#include "map/document/map_edit_layer_list.h"

#include <gtest/gtest.h>

#include <memory>

#include "map/document/map_edit_door_list.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace {

// Writes a recognisable value into every cell and pixel entry.
void FillGrids(TMapEditLayerList& Map) {
  for (int32_t y = 0; y < Map.Height(); ++y)
    for (int32_t x = 0; x < Map.Width(); ++x) Map.SetCell(x, y, uint8_t(1 + x + 10 * y));
  for (int32_t y = 0; y < Map.PixelHeight(); ++y)
    for (int32_t x = 0; x < Map.PixelWidth(); ++x) Map.SetPixelLayer(x, y, 1000 * y + x + 1);
}

TEST(LayerList, NewDocumentIsEmpty) {
  TMapEditLayerList map;
  EXPECT_EQ(map.Width(), 0);
  EXPECT_EQ(map.Height(), 0);
  EXPECT_EQ(map.ChipSize(), 0);
  EXPECT_EQ(map.Count(), 0);
  EXPECT_FALSE(map.DrawShadeOnlyCell);
  EXPECT_FALSE(map.FastDraw);
  EXPECT_EQ(map.ShadesIfCreated(), nullptr);
  EXPECT_EQ(map.DoorsIfCreated(), nullptr);
  EXPECT_EQ(map.PixelLayers(0, 0), 0);
  // No chip size yet: no division by zero.
  EXPECT_EQ(map.PixelToCell(5, 7), (TPoint{0, 0}));

  TShadeImage& shades = map.Shades();
  EXPECT_EQ(map.ShadesIfCreated(), &shades);
  EXPECT_TRUE(shades.Empty());  // sized with the map
  TMapEditDoorList& doors = map.Doors();
  EXPECT_EQ(map.DoorsIfCreated(), &doors);
  EXPECT_EQ(doors.Owner(), &map);
}

TEST(LayerList, SetSizeKeepsOverlappingEntries) {
  TMapEditLayerList map;
  map.SetSize(3, 2, 4);
  EXPECT_EQ(map.Shades().Width(), 12);
  EXPECT_EQ(map.Shades().Height(), 8);
  EXPECT_EQ(map.PixelGrid().Width(), 12);
  EXPECT_EQ(map.PixelGrid().Height(), 8);
  FillGrids(map);
  map.Shades().Alpha(3, 3) = 0x80;
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName("0");
  layer->BMPForWriting().Pixel(2, 2) = 0x11223344;

  // The same values change nothing at all.
  map.SetSize(3, 2, 4);
  EXPECT_EQ(map.Shades().Pixel(3, 3), 0x80000000u);
  EXPECT_EQ(layer->BMP().Pixel(2, 2), 0x11223344u);
  EXPECT_EQ(map.Cells(2, 1), 13);
  EXPECT_EQ(map.PixelLayers(11, 7), 7012);

  // 3 x 2 -> 4 x 2: old entries stay, new ones are 0 on the right.
  map.SetSize(4, 2, 4);
  EXPECT_EQ(map.Width(), 4);
  EXPECT_EQ(map.PixelWidth(), 16);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(map.Cells(x, y), 1 + x + 10 * y);
    EXPECT_EQ(map.Cells(3, y), 0);
  }
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 12; ++x) ASSERT_EQ(map.PixelLayers(x, y), 1000 * y + x + 1);
    for (int32_t x = 12; x < 16; ++x) ASSERT_EQ(map.PixelLayers(x, y), 0);
  }
  // The shades are cleared and sized; the layer image is rebuilt at the new size.
  EXPECT_EQ(map.Shades().Width(), 16);
  EXPECT_EQ(map.Shades().Pixel(3, 3), 0u);
  ASSERT_EQ(layer->BMP().Width(), 16);
  EXPECT_EQ(layer->BMP().Pixel(2, 2), 0xFF000000u);
  EXPECT_EQ(layer->BMP().Pixel(15, 7), 0xFF000000u);

  // A new chip size keeps pixel entries where they were (no rescaling).
  map.SetSize(4, 2, 2);
  EXPECT_EQ(map.PixelGrid().Width(), 8);
  EXPECT_EQ(map.PixelGrid().Height(), 4);
  EXPECT_EQ(map.PixelLayers(7, 3), 3008);
  EXPECT_EQ(map.Cells(2, 1), 13);

  // Shrinking keeps the top-left part.
  map.SetSize(1, 1, 2);
  EXPECT_EQ(map.Cells(0, 0), 1);
  EXPECT_EQ(map.PixelLayers(1, 1), 1002);
  EXPECT_EQ(map.PixelLayers(2, 0), 0);
}

TEST(LayerList, SetSizeWithTheSamePixelSizeStillClearsShades) {
  TMapEditLayerList map;
  map.SetSize(4, 2, 8);
  FillGrids(map);
  map.Shades().Clear(0xFF);
  map.SetSize(8, 4, 4);  // still 32 x 16 pixels
  EXPECT_EQ(map.Shades().Width(), 32);
  EXPECT_EQ(map.Shades().Pixel(31, 15), 0u);
  EXPECT_EQ(map.PixelLayers(31, 15), 15032);
  EXPECT_EQ(map.Cells(3, 1), 14);
  EXPECT_EQ(map.Cells(7, 3), 0);
}

TEST(LayerList, BadSizesRaiseAndChangeNothing) {
  TMapEditLayerList map;
  map.SetSize(3, 2, 4);
  FillGrids(map);
  map.Shades().Alpha(0, 0) = 0x01;
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName("0");

  auto unchanged = [&] {
    return map.Width() == 3 && map.Height() == 2 && map.ChipSize() == 4 &&
           map.Shades().Width() == 12 && map.Shades().Height() == 8 &&
           map.Shades().Pixel(0, 0) == 0x01000000u && map.PixelGrid().Width() == 12 &&
           map.PixelLayers(11, 7) == 7012 && map.Cells(2, 1) == 13 && layer->BMP().Width() == 12;
  };
  EXPECT_THROW(map.SetSize(-1, 2, 4), EConvertError);
  EXPECT_TRUE(unchanged());
  EXPECT_THROW(map.SetSize(3, -2, 4), EConvertError);
  EXPECT_TRUE(unchanged());
  EXPECT_THROW(map.SetSize(3, 2, 0), EConvertError);
  EXPECT_TRUE(unchanged());
  EXPECT_THROW(map.SetSize(3, 2, -4), EConvertError);
  EXPECT_TRUE(unchanged());
  EXPECT_THROW(map.SetSize(100000, 100000, 100), EImageError);
  EXPECT_TRUE(unchanged());
  EXPECT_THROW(map.SetSize(2147483647, 1, 2), EImageError);
  EXPECT_TRUE(unchanged());

  // An empty map is a valid size.
  map.SetSize(0, 0, 0);
  EXPECT_EQ(map.Shades().Width(), 0);
  EXPECT_EQ(map.PixelLayers(0, 0), 0);
}

TEST(LayerList, FailingLayerDoesNotStopTheOthers) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  map.SetSize(1, 1, 4);
  TMapEditLayer* first = map.AddLayer();
  first->SetFileName("255");
  TMapEditLayer* broken = map.AddLayer();
  broken->SetFileName("0");
  broken->SetFileNameOnly(dir.File("gone.png"));
  TMapEditLayer* last = map.AddLayer();
  last->SetFileName("65280");

  EXPECT_THROW(map.SetSize(2, 2, 4), EFileError);
  // The size took effect and every readable layer is at the new size.
  EXPECT_EQ(map.Width(), 2);
  EXPECT_EQ(first->BMP().Width(), 8);
  EXPECT_EQ(first->BMP().Pixel(7, 7), 0xFFFF0000u);
  EXPECT_EQ(last->BMP().Width(), 8);
  EXPECT_EQ(last->BMP().Pixel(7, 7), 0xFF00FF00u);
  // The failing layer keeps its source and its old image.
  EXPECT_EQ(broken->FileName(), dir.File("gone.png"));
  EXPECT_EQ(broken->BMP().Width(), 4);
}

TEST(LayerList, PixelAndCellCoordinates) {
  TMapEditLayerList map;
  map.SetSize(3, 2, 32);
  EXPECT_EQ(map.PixelToCell(-1, 5), (TPoint{0, 0}));
  EXPECT_EQ(map.PixelToCell(31, 32), (TPoint{0, 1}));
  EXPECT_EQ(map.PixelToCell(95, 63), (TPoint{2, 1}));
  EXPECT_EQ(map.PixelToCell(-33, -64), (TPoint{-1, -2}));
  int32_t cx = 9, cy = 9;
  map.PixelToCell(64, -31, cx, cy);
  EXPECT_EQ(cx, 2);
  EXPECT_EQ(cy, 0);
  int32_t px = 0, py = 0;
  map.CellToPixel(3, -1, px, py);
  EXPECT_EQ(px, 96);
  EXPECT_EQ(py, -32);

  map.SetPixelLayer(95, 63, 4);
  EXPECT_EQ(map.PixelLayers(95, 63), 4);
  EXPECT_EQ(map.PixelLayers(-1, 0), 0);
  EXPECT_EQ(map.PixelLayers(96, 0), 0);
  EXPECT_EQ(map.PixelLayers(0, -1), 0);
  EXPECT_EQ(map.PixelLayers(0, 64), 0);
}

TEST(LayerList, LayersAreOwnedAndIndexed) {
  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  EXPECT_EQ(map.Layers(0), nullptr);
  TMapEditLayer* wall = map.AddLayer();
  EXPECT_EQ(wall->Owner(), &map);
  EXPECT_EQ(wall->LayerName, "");
  EXPECT_EQ(wall->FileName(), "");
  EXPECT_EQ(wall->LayerType, mltGround);
  EXPECT_TRUE(wall->BMP().Empty());
  wall->LayerName = "壁";
  map.AddLayer()->LayerName = "b";
  map.InsertLayer(1);
  EXPECT_EQ(map.Count(), 3);
  EXPECT_EQ(map.Layers(0)->LayerName, "壁");
  EXPECT_EQ(map.Layers(1)->LayerName, "");
  EXPECT_EQ(map.Layers(1)->Owner(), &map);
  EXPECT_EQ(map.Layers(2)->LayerName, "b");
  EXPECT_EQ(map.Layers(3), nullptr);
  EXPECT_EQ(map.Layers(-1), nullptr);

  TMapEditLayer source;
  source.LayerName = "c";
  map.InsertLayer(3, &source);
  EXPECT_EQ(map.Layers(3)->LayerName, "c");
  EXPECT_EQ(map.Layers(3)->Owner(), &map);

  // Inserting beyond either end is refused instead of writing outside the list.
  EXPECT_THROW(map.InsertLayer(5), EListError);
  EXPECT_THROW(map.InsertLayer(-1), EListError);
  EXPECT_EQ(map.Count(), 4);
}

TEST(LayerList, ClearFreesLayersOnly) {
  TMapEditLayerList map;
  map.SetSize(2, 1, 2);
  FillGrids(map);
  map.AddLayer()->SetFileName("0");
  map.AddLayer();
  map.Doors().HorzDoor().Add()->X = 1;
  map.Shades().Alpha(1, 1) = 5;
  map.Clear();
  EXPECT_EQ(map.Count(), 0);
  TMapEditLayer* layer = map.AddLayer();
  EXPECT_EQ(map.Count(), 1);
  EXPECT_TRUE(layer->BMP().Empty());
  EXPECT_EQ(map.Width(), 2);
  EXPECT_EQ(map.PixelLayers(3, 1), 1004);
  EXPECT_EQ(map.Cells(1, 0), 2);
  EXPECT_EQ(map.Shades().Alpha(1, 1), 5u);
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 1);
}

TEST(LayerList, AssignCopiesSizeAndLayersIntoTheOtherDocument) {
  auto source = std::make_unique<TMapEditLayerList>();
  source->SetSize(2, 1, 4);
  TMapEditLayer* l0 = source->AddLayer();
  l0->LayerName = "壁";
  l0->LayerType = mltObject;
  l0->SetFileName("0");
  source->AddLayer()->SetFileName("255");

  TMapEditLayerList copy;
  copy.AddLayer()->LayerName = "old";
  copy.Assign(source.get());
  EXPECT_EQ(copy.Width(), 2);
  EXPECT_EQ(copy.Height(), 1);
  EXPECT_EQ(copy.ChipSize(), 4);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Layers(0)->LayerName, "壁");
  EXPECT_EQ(copy.Layers(0)->LayerType, mltObject);
  EXPECT_EQ(copy.Layers(1)->FileName(), "255");
  EXPECT_NE(copy.Layers(1), source->Layers(1));
  EXPECT_EQ(copy.Layers(1)->Owner(), &copy);
  EXPECT_EQ(copy.Layers(1)->BMP().Pixel(7, 3), 0xFFFF0000u);

  // The copy lives on without the source document.
  source.reset();
  copy.SetSize(3, 1, 4);
  EXPECT_EQ(copy.Layers(1)->BMP().Width(), 12);
  EXPECT_EQ(copy.Layers(1)->BMP().Pixel(11, 3), 0xFFFF0000u);

  // A layer list copies only into another layer list.
  TMapEditHorzDoorList doors;
  try {
    doors.Assign(&copy);
    ADD_FAILURE() << "a layer list was copied into a door list";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "TMapEditLayerList を TMapEditHorzDoorList に代入することはできません");
  }
}

}  // namespace
