// Layer changes as undo steps: moving a layer keeps every pixel's texture, and
// inserting, deleting, editing and moving are each undone and redone exactly.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "record/errors.h"

namespace {

// A 3 x 2 map of 8-pixel cells with floor layers "R", "G", "B" in solid colours,
// cells (0..2, 0) painted with R, G and B and cell (1, 1) with the wall.
void NewMap(TMapEditSession& S) {
  S.New(3, 2, 8, nullptr);
  S.AddLayer(1, "R", "255", mltGround, TBadLayerSource::Revert);
  S.AddLayer(2, "G", "65280", mltGround, TBadLayerSource::Revert);
  S.AddLayer(3, "B", "16711680", mltFloor, TBadLayerSource::Revert);
  TEditTools chip;
  for (int32_t i = 0; i < 3; ++i) {
    S.BeginStroke(chip, i + 1, i * 8 + 2, 2);
    S.EndStroke();
  }
  S.BeginStroke(chip, 0, 10, 10);
  S.EndStroke();
}

// The layer name each pixel shows, row by row.
std::vector<std::string> ShownNames(const TMapEditLayerList& M) {
  std::vector<std::string> out;
  for (int32_t y = 0; y < M.PixelHeight(); ++y)
    for (int32_t x = 0; x < M.PixelWidth(); ++x)
      out.push_back(M.Layers(M.PixelLayers(x, y))->LayerName);
  return out;
}

std::vector<std::string> LayerNames(const TMapEditLayerList& M) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < M.Count(); ++i) out.push_back(M.Layers(i)->LayerName);
  return out;
}

// Everything a layer change may touch: order, names, sources, types, grids and
// every layer's image (alpha included) and the shades after the change's redraw.
struct TState {
  std::vector<std::string> Names, Sources;
  std::vector<int> Types;
  TGrid2D<int32_t> Pixels;
  TGrid2D<uint8_t> Cells;
  std::vector<std::vector<TColor32>> Images;
  std::vector<TColor32> Shades;
};

TState Capture(TMapEditLayerList& M) {
  TState s;
  s.Pixels = M.PixelGrid();
  s.Cells = M.CellGrid();
  for (int32_t i = 0; i < M.Count(); ++i) {
    const TMapEditLayer& l = *M.Layers(i);
    s.Names.push_back(l.LayerName);
    s.Sources.push_back(l.FileName());
    s.Types.push_back(int(l.LayerType));
    const TBitmap32& b = l.BMP();
    s.Images.emplace_back(b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height()));
  }
  const TShadeImage& sh = M.Shades();
  s.Shades.assign(sh.Row(0), sh.Row(0) + size_t(sh.Width()) * size_t(sh.Height()));
  return s;
}

// The first part that differs, or "" when the states are the same.
std::string Diff(const TState& A, const TState& B) {
  if (A.Names != B.Names) return "names";
  if (A.Sources != B.Sources) return "sources";
  if (A.Types != B.Types) return "types";
  if (!(A.Pixels == B.Pixels)) return "pixels";
  if (!(A.Cells == B.Cells)) return "cells";
  for (size_t i = 0; i < A.Images.size(); ++i)
    if (A.Images[i] != B.Images[i]) {
      size_t p = 0;
      while (p < A.Images[i].size() && A.Images[i][p] == B.Images[i][p]) ++p;
      char text[96];
      std::snprintf(text, sizeof text, "image of layer %zu at pixel %zu: %08X, not %08X", i, p,
                    A.Images[i][p], B.Images[i][p]);
      return text;
    }
  if (A.Shades != B.Shades) {
    size_t p = 0;
    while (p < A.Shades.size() && A.Shades[p] == B.Shades[p]) ++p;
    char text[96];
    std::snprintf(text, sizeof text, "shades at pixel %zu: %08X, not %08X", p, A.Shades[p],
                  B.Shades[p]);
    return text;
  }
  return "";
}

}  // namespace

TEST(LayerUndo, MoveKeepsEveryPixelsLayerAndIsOneStep) {
  TMapEditSession s(100);
  NewMap(s);
  TMapEditLayerList& m = s.Map();
  const std::vector<std::string> shown = ShownNames(m);
  const TState before = Capture(m);
  const int32_t records = s.History().UndoList().Count();

  // R (1) to the bottom (3): G and B move up one place each.
  s.MoveLayer(1, 3);
  EXPECT_EQ(LayerNames(m), (std::vector<std::string>{m.Layers(0)->LayerName, "G", "B", "R"}));
  EXPECT_EQ(ShownNames(m), shown);
  EXPECT_EQ(m.PixelLayers(2, 2), 3);                       // R's cell
  EXPECT_EQ(m.PixelLayers(10, 2), 1);                      // G's
  EXPECT_EQ(m.PixelLayers(18, 2), 2);                      // B's
  EXPECT_EQ(m.PixelLayers(10, 10), 0);                     // the wall stays 0
  EXPECT_EQ(m.Layers(3)->BMP().Pixel(2, 2), 0xFFFF0000u);  // R's image went with it
  EXPECT_EQ(s.History().UndoList().Count(), records + 1);
  const TState moved = Capture(m);

  // B (3 before, 2 now) to the top: up the other way.
  s.MoveLayer(2, 1);
  EXPECT_EQ(LayerNames(m), (std::vector<std::string>{m.Layers(0)->LayerName, "B", "G", "R"}));
  EXPECT_EQ(ShownNames(m), shown);

  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Diff(Capture(m), moved), "");
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Diff(Capture(m), before), "");
  ASSERT_TRUE(s.Redo());
  EXPECT_EQ(Diff(Capture(m), moved), "");

  // The wall layer does not move, nor do layers that do not exist; nothing changes.
  EXPECT_THROW(s.MoveLayer(0, 2), EListError);
  EXPECT_THROW(s.MoveLayer(1, 0), EListError);
  EXPECT_THROW(s.MoveLayer(1, 4), EListError);
  EXPECT_EQ(Diff(Capture(m), moved), "");
  // A move onto itself is no step.
  const int32_t count = s.History().UndoList().Count();
  s.MoveLayer(2, 2);
  EXPECT_EQ(s.History().UndoList().Count(), count);
}

TEST(LayerUndo, InsertDeleteAndEditComeBackExactly) {
  TMapEditSession s(100);
  NewMap(s);
  TMapEditLayerList& m = s.Map();
  const TState start = Capture(m);

  // Insert before G, paint a cell with it, delete G (whose pixels go to the layer
  // now in its place, B), and edit R's name and colour.
  s.AddLayer(2, "N", "8421504", mltGround, TBadLayerSource::Revert);
  const TState inserted = Capture(m);
  TEditTools chip;
  s.BeginStroke(chip, 2, 2, 10);
  s.EndStroke();
  const TState painted = Capture(m);
  s.DeleteLayer(3);
  EXPECT_EQ(LayerNames(m), (std::vector<std::string>{m.Layers(0)->LayerName, "R", "N", "B"}));
  EXPECT_EQ(m.PixelLayers(10, 2), 3);  // G's cell shows B now
  const TState deleted = Capture(m);
  s.EditLayer(1, "R2", "65535", TBadLayerSource::Revert);
  EXPECT_EQ(m.Layers(1)->BMP().Pixel(0, 0) & 0x00FFFFFFu, 0xFFFF00u);
  const TState edited = Capture(m);

  const std::vector<const TState*> steps = {&start, &inserted, &painted, &deleted, &edited};
  for (size_t i = steps.size() - 1; i > 0; --i) {
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(Diff(Capture(m), *steps[i - 1]), "") << "undo to step " << i - 1;
  }
  for (size_t i = 1; i < steps.size(); ++i) {
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(Diff(Capture(m), *steps[i]), "") << "redo to step " << i;
  }
  EXPECT_FALSE(s.Redo());
}
