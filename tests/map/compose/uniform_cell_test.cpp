// Cells whose whole window shows one layer: recomposed without distances, with the
// same result as the full computation.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "map/document/map_edit_layer_list.h"

namespace {

// A 7 x 7-cell map at chip 8: the wall layer, two floors and an object layer;
// every pixel on layer Fill.
void MakeMap(TMapEditLayerList& Map, int32_t Fill) {
  Map.SetSize(7, 7, 8);
  for (const char* s : {"0", "255", "65280", "16711680"}) Map.AddLayer()->SetFileName(s);
  Map.Layers(3)->LayerType = mltObject;
  for (int32_t y = 0; y < Map.PixelHeight(); ++y)
    for (int32_t x = 0; x < Map.PixelWidth(); ++x) Map.SetPixelLayer(x, y, Fill);
}

// Alpha 77 on every layer and a shade of 0x40 everywhere: whatever a redraw does
// not write keeps these marks.
void Smudge(TMapEditLayerList& Map) {
  for (int32_t j = 0; j < Map.Count(); ++j) Map.Layers(j)->SetAllAlpha(77);
  Map.Shades().Clear(0x40);
}

// The alphas of every layer and the shade over cell (CX, CY), pixel by pixel.
std::vector<uint32_t> CellState(TMapEditLayerList& Map, int32_t CX, int32_t CY) {
  std::vector<uint32_t> out;
  for (int32_t y = CY * 8; y < CY * 8 + 8; ++y)
    for (int32_t x = CX * 8; x < CX * 8 + 8; ++x) {
      for (int32_t j = 0; j < Map.Count(); ++j)
        out.push_back(Map.Layers(j)->Image().Pixel(x, y) >> 24);
      out.push_back(Map.Shades().Pixel(x, y));
    }
  return out;
}

}  // namespace

TEST(UniformCell, OneLayerOpaqueTheOthersClearAndNoShade) {
  for (int32_t fill : {0, 1, 2, 3, 9}) {  // 9: an index without a layer
    SCOPED_TRACE("layer " + std::to_string(fill));
    TMapEditLayerList map;
    MakeMap(map, fill);
    Smudge(map);
    map.RedrawCell(3, 3);
    const std::vector<uint32_t> got = CellState(map, 3, 3);
    for (size_t i = 0; i < got.size(); i += 5) {
      for (size_t j = 0; j < 4; ++j) ASSERT_EQ(got[i + j], int32_t(j) == fill ? 255u : 0u) << i;
      ASSERT_EQ(got[i + 4], 0u);
    }
    // A cell beside it that was not redrawn keeps its marks.
    EXPECT_EQ(map.Layers(1)->Image().Pixel(8 * 5, 8 * 3) >> 24, 77u);
  }
}

TEST(UniformCell, SameResultAsTheFullComputation) {
  // Layer 2 everywhere: the window of cell (3, 3) is of one layer. With an object
  // pixel in the window's margin (the window reaches 4 pixels beyond the cell),
  // the full computation runs; the object blocks the floor's fade and casts no
  // shade, and shows only on its own pixel outside the cell, so the cell must come
  // out the same.
  TMapEditLayerList uniform, object;
  MakeMap(uniform, 2);
  MakeMap(object, 2);
  object.SetPixelLayer(8 * 3 - 1, 8 * 3 - 1, 3);
  Smudge(uniform);
  Smudge(object);
  uniform.RedrawCell(3, 3);
  object.RedrawCell(3, 3);
  EXPECT_EQ(CellState(uniform, 3, 3), CellState(object, 3, 3));
  EXPECT_EQ(object.Layers(3)->Image().Pixel(8 * 3 - 1, 8 * 3 - 1) >> 24, 77u);  // not in the cell
}
