// The edit session: when undo is recorded, which cells a stroke recomposes, the
// modified flag, layer changes that fail, and opening and saving.

#include "map/document/map_edit_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "support/test_support.h"

namespace {

using TCells = std::vector<std::pair<int32_t, int32_t>>;

// A new 4 x 3 map of 16-pixel cells with two solid floor layers.
void NewMap(TMapEditSession& S) {
  S.New(4, 3, 16, nullptr);
  S.AddLayer(1, "A", "255", mltGround, TBadLayerSource::Revert);
  S.AddLayer(2, "B", "65280", mltGround, TBadLayerSource::Revert);
  // The tests start from a map without undo steps.
  S.History().Reset();
  S.SetModified(false);
}

template <typename T>
std::vector<T> Entries(const TGrid2D<T>& Grid) {
  return std::vector<T>(Grid.Data(), Grid.Data() + size_t(Grid.Width()) * size_t(Grid.Height()));
}

TEditTools FreeHand(int32_t Radius, TShadeMode Shade = TShadeMode::AtStrokeEnd) {
  TEditTools t;
  t.Chip = false;
  t.PenRadius = Radius;
  t.Shade = Shade;
  return t;
}

TEST(MapEditSession, FreeHandStrokeRecordsOnceAndShadesTouchedCellsAtItsEnd) {
  TMapEditSession s(8);
  EXPECT_FALSE(s.HasMap());
  NewMap(s);
  ASSERT_TRUE(s.HasMap());
  TMapEditLayerList& map = s.Map();
  TCells redrawn;
  map.OnRedrawCell = [&](int32_t X, int32_t Y) { redrawn.push_back({X, Y}); };
  const int32_t records = s.History().UndoList().Count();

  s.BeginStroke(FreeHand(4), 1, 17, 17);  // cell (1, 1), reaching cell (0, 0)'s edge
  EXPECT_TRUE(s.InStroke());
  EXPECT_TRUE(s.Modified());
  EXPECT_TRUE(map.DrawShadeOnlyCell);  // shades wait for the end
  s.ContinueStroke(FreeHand(4), 1, 30, 17);
  EXPECT_EQ(s.History().UndoList().Count(), records + 1);  // one record per stroke
  // Touched, newest first: (1,1), (0,0), (0,1), (1,0) from the first stamp, then
  // (2,0), (2,1) from the second.
  std::vector<TPoint> touched;
  for (int32_t i = 0; i < s.TouchedCells().Count(); ++i)
    touched.push_back(s.TouchedCells().Item(i));
  EXPECT_EQ(touched, (std::vector<TPoint>{{2, 1}, {2, 0}, {1, 0}, {0, 1}, {0, 0}, {1, 1}}));
  EXPECT_EQ(map.PixelLayers(17, 17), 1);
  EXPECT_EQ(map.PixelLayers(30, 17), 1);

  redrawn.clear();
  s.EndStroke();
  EXPECT_FALSE(s.InStroke());
  EXPECT_FALSE(map.DrawShadeOnlyCell);
  EXPECT_EQ(s.TouchedCells().Count(), 0);
  // Every touched cell is recomposed with its shade (each with its neighbours).
  const std::set<std::pair<int32_t, int32_t>> got(redrawn.begin(), redrawn.end());
  for (const TPoint& p : touched) EXPECT_TRUE(got.count({p.X, p.Y})) << p.X << "," << p.Y;

  // Undo takes the whole stroke back.
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(map.PixelLayers(17, 17), 0);
  EXPECT_EQ(map.PixelLayers(30, 17), 0);
  ASSERT_TRUE(s.Redo());
  EXPECT_EQ(map.PixelLayers(30, 17), 1);
  EXPECT_FALSE(s.Redo());

  // With shades always drawn nothing waits: no touched cells, no switch.
  s.BeginStroke(FreeHand(2, TShadeMode::Always), 2, 40, 40);
  EXPECT_FALSE(map.DrawShadeOnlyCell);
  EXPECT_EQ(s.TouchedCells().Count(), 0);
  s.EndStroke();
  // Shades off: the document draws the painted cell only, and stays so.
  s.BeginStroke(FreeHand(2, TShadeMode::None), 2, 40, 40);
  s.EndStroke();
  EXPECT_TRUE(map.DrawShadeOnlyCell);
  map.OnRedrawCell = nullptr;
}

TEST(MapEditSession, DragIntoTheMapStartsAnUndoableStroke) {
  TMapEditSession s(8);
  NewMap(s);
  TEditTools chip;
  // No press was seen (it fell outside the map): the first move opens the stroke
  // and records undo, so what it paints can be taken back.
  s.ContinueStroke(chip, 1, 20, 20);
  EXPECT_TRUE(s.InStroke());
  s.ContinueStroke(chip, 1, 36, 20);
  s.EndStroke();
  EXPECT_EQ(s.Map().PixelLayers(20, 20), 1);
  EXPECT_EQ(s.Map().PixelLayers(36, 20), 1);
  EXPECT_EQ(s.History().UndoList().Count(), 1);
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(s.Map().PixelLayers(20, 20), 0);
  EXPECT_EQ(s.Map().PixelLayers(36, 20), 0);
  EXPECT_FALSE(s.Undo());
}

TEST(MapEditSession, ShapesTakeTheirCornersInAnyOrder) {
  for (TEditTool tool : {TEditTool::Rect, TEditTool::Ellipse}) {
    for (bool chip : {true, false}) {
      TMapEditSession a(4), b(4);
      NewMap(a);
      NewMap(b);
      TEditTools t;
      t.Tool = tool;
      t.Chip = chip;
      const TPoint p = chip ? TPoint{3, 0} : TPoint{50, 3};
      const TPoint q = chip ? TPoint{1, 2} : TPoint{9, 40};
      a.PaintShape(t, 2, p, q);
      b.PaintShape(t, 2, TPoint{q.X, p.Y}, TPoint{p.X, q.Y});
      EXPECT_EQ(Entries(a.Map().PixelGrid()), Entries(b.Map().PixelGrid()));
      EXPECT_EQ(Entries(a.Map().CellGrid()), Entries(b.Map().CellGrid()));
      EXPECT_TRUE(a.Modified());
      // Something was painted, and undo takes all of it back.
      const std::vector<int32_t> painted = Entries(a.Map().PixelGrid());
      EXPECT_NE(std::count(painted.begin(), painted.end(), 2), 0);
      ASSERT_TRUE(a.Undo());
      for (int32_t v : Entries(a.Map().PixelGrid())) ASSERT_EQ(v, 0);
    }
  }
}

TEST(MapEditSession, DoorsAreRecordedOnlyWhenTheyChange) {
  TMapEditSession s(8);
  NewMap(s);
  TEditTools t;
  t.Tool = TEditTool::Door;
  s.ToggleDoor(t, 1, 1, true, 0x0000FF);
  EXPECT_EQ(s.Map().Doors().HorzDoor().Count(), 1);
  EXPECT_TRUE(s.Modified());
  s.SetModified(false);
  t.Chip = false;
  // Nothing near: no record, not modified.
  const int32_t records = s.History().UndoList().Count();
  EXPECT_FALSE(s.EraseFreeDoorsAt(t, 30, 30));
  EXPECT_EQ(s.History().UndoList().Count(), records);
  EXPECT_FALSE(s.Modified());
  s.AddFreeDoor(t, {2, 2}, {40, 2}, clNone);
  EXPECT_EQ(s.Map().Doors().FreeDoor().Count(), 1);
  EXPECT_TRUE(s.EraseFreeDoorsAt(t, 20, 3));
  EXPECT_EQ(s.Map().Doors().FreeDoor().Count(), 0);
  EXPECT_EQ(s.History().UndoList().Count(), records + 2);
  ASSERT_TRUE(s.Undo());  // the erase
  EXPECT_EQ(s.Map().Doors().FreeDoor().Count(), 1);
  ASSERT_TRUE(s.Undo());  // the addition
  EXPECT_EQ(s.Map().Doors().FreeDoor().Count(), 0);
  ASSERT_TRUE(s.Undo());  // the edge door
  EXPECT_EQ(s.Map().Doors().HorzDoor().Count(), 0);
}

TEST(MapEditSession, AUnreadableLayerSourceIsKeptOrTakenBack) {
  TMapEditSession s(8);
  NewMap(s);
  TEditTools chip;
  s.BeginStroke(chip, 2, 1, 1);  // cell (0, 0) shows "B"
  s.EndStroke();
  // Taken back: every layer and pixel as before, not modified by it.
  s.SetModified(false);
  EXPECT_ANY_THROW(s.AddLayer(1, "C", "no-such-texture.png", mltFloor, TBadLayerSource::Revert));
  ASSERT_EQ(s.Map().Count(), 3);
  EXPECT_EQ(s.Map().Layers(1)->LayerName, "A");
  EXPECT_EQ(s.Map().PixelLayers(1, 1), 2);
  EXPECT_FALSE(s.Modified());
  EXPECT_ANY_THROW(s.EditLayer(1, "Z", "no-such-texture.png", TBadLayerSource::Revert));
  EXPECT_EQ(s.Map().Layers(1)->LayerName, "A");
  EXPECT_EQ(s.Map().Layers(1)->FileName(), "255");
  EXPECT_FALSE(s.Modified());
  // Kept: the layer is there (inserted before "A", so "B"'s pixels still show "B").
  EXPECT_ANY_THROW(s.AddLayer(1, "C", "no-such-texture.png", mltFloor, TBadLayerSource::KeepLayer));
  ASSERT_EQ(s.Map().Count(), 4);
  EXPECT_EQ(s.Map().Layers(1)->LayerName, "C");
  EXPECT_EQ(s.Map().Layers(1)->LayerType, mltFloor);
  EXPECT_EQ(s.Map().Layers(s.Map().PixelLayers(1, 1))->LayerName, "B");
  EXPECT_TRUE(s.Modified());
  // Deleting "B" (the last): its pixels take the layer before it.
  s.DeleteLayer(3);
  ASSERT_EQ(s.Map().Count(), 3);
  EXPECT_EQ(s.Map().Layers(s.Map().PixelLayers(1, 1))->LayerName, "A");
  // Each layer change is a step of its own: undo brings "B" back, then takes "C"
  // out, and the stroke's record, replayed in the numbering it was made in, shows
  // the wall again.
  ASSERT_TRUE(s.Undo());
  ASSERT_EQ(s.Map().Count(), 4);
  EXPECT_EQ(s.Map().Layers(s.Map().PixelLayers(1, 1))->LayerName, "B");
  ASSERT_TRUE(s.Undo());
  ASSERT_EQ(s.Map().Count(), 3);
  EXPECT_EQ(s.Map().PixelLayers(1, 1), 2);
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(s.Map().PixelLayers(1, 1), 0);
}

TEST(MapEditSession, NewOpenAndSaveKeepTheSessionConsistent) {
  vctest::TempDir dir;
  TMapEditSession s(8);
  NewMap(s);
  TEditTools chip;
  s.BeginStroke(chip, 1, 1, 1);
  s.EndStroke();
  const std::string path = dir.File("room.qmx");
  TMapSaveReport saved;
  s.Save(path, saved);
  EXPECT_EQ(s.FileName(), path);
  EXPECT_FALSE(s.Modified());
  EXPECT_EQ(vctest::ReadFileBytes(path), BuildMapFile(s.Map()));

  // A damaged file changes nothing: map, history, name and flag stay.
  const std::string bad = dir.File("bad.qmx");
  vctest::WriteFileBytes(bad, "not a map at all");
  s.SetModified(true);
  TMapLoadReport report;
  EXPECT_ANY_THROW(s.Open(bad, report));
  EXPECT_EQ(s.FileName(), path);
  EXPECT_TRUE(s.Modified());
  EXPECT_TRUE(s.History().CanUndo());
  EXPECT_EQ(s.Map().PixelLayers(1, 1), 1);
  // A refused size likewise.
  EXPECT_ANY_THROW(s.New(0, 5, 16, nullptr));
  EXPECT_EQ(s.Map().Width(), 4);
  EXPECT_TRUE(s.History().CanUndo());

  // The map object stays the same; its content, history and name are replaced.
  TMapEditLayerList* object = &s.Map();
  s.Map().FastDraw = true;
  s.Open(path, report);
  EXPECT_EQ(&s.Map(), object);
  EXPECT_EQ(s.FileName(), path);
  EXPECT_FALSE(s.Modified());
  EXPECT_FALSE(s.History().CanUndo());
  EXPECT_FALSE(s.Map().FastDraw);  // as a document of its own starts
  EXPECT_EQ(BuildMapFile(s.Map()), vctest::ReadFileBytes(path));
  s.New(2, 2, 8, nullptr);
  EXPECT_TRUE(s.FileName().empty());
  EXPECT_EQ(s.Map().Count(), 1);
  EXPECT_EQ(s.Map().PixelWidth(), 16);
}

TEST(MapEditSession, TouchedCellsNeedAChipSize) {
  TRecordList cells;
  RecordTouchedCells(cells, 5, 5, 0, 0, 4, 0);
  RecordTouchedCells(cells, 5, 5, 0, 0, 4, -3);
  EXPECT_EQ(cells.Count(), 0);
  // The same stamp with a chip size: its cell and the three it reaches.
  RecordTouchedCells(cells, 5, 5, 0, 0, 4, 8);
  EXPECT_EQ(cells.Count(), 4);
}

}  // namespace

TEST(MapEditSession, StrokePositionsAreJoined) {
  // A press at cell 0 and moves to cells 10 and 20 of one row paint the 21 cells
  // between, the diagonal way too; nothing outside the line.
  TMapEditSession s(8);
  s.New(24, 12, 8, nullptr);
  s.AddLayer(1, "A", "255", mltGround, TBadLayerSource::Revert);
  TEditTools chip;
  s.BeginStroke(chip, 1, 4, 4);
  s.ContinueStroke(chip, 1, 84, 4);
  s.ContinueStroke(chip, 1, 164, 4);
  s.EndStroke();
  TMapEditLayerList& m = s.Map();
  for (int32_t cx = 0; cx < 24; ++cx)
    EXPECT_EQ(m.PixelLayers(cx * 8 + 3, 3), cx <= 20 ? 1 : 0) << cx;
  s.BeginStroke(chip, 1, 4, 12);      // cell (0, 1)
  s.ContinueStroke(chip, 1, 84, 92);  // cell (10, 11)
  s.EndStroke();
  int32_t painted = 0;
  for (int32_t cy = 1; cy < 12; ++cy)
    for (int32_t cx = 0; cx < 24; ++cx) painted += m.PixelLayers(cx * 8, cy * 8) == 1;
  EXPECT_EQ(painted, 11);  // one cell per row: (0,1), (1,2) .. (10,11)
  for (int32_t i = 0; i <= 10; ++i) EXPECT_EQ(m.PixelLayers(i * 8, (i + 1) * 8), 1) << i;
  // The whole line is one undo step.
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(m.PixelLayers(40, 48), 0);
  EXPECT_EQ(m.PixelLayers(80, 0), 1);

  // Free-hand: stamps at most a radius apart leave no gap along the drag, and a
  // stalled drag (the same point again) adds nothing.
  s.BeginStroke(FreeHand(3), 1, 2, 60);
  s.ContinueStroke(FreeHand(3), 1, 150, 60);
  s.ContinueStroke(FreeHand(3), 1, 150, 60);
  s.EndStroke();
  for (int32_t x = 0; x <= 152; ++x) EXPECT_EQ(m.PixelLayers(x, 60), 1) << x;
  for (int32_t x = 2; x <= 150; ++x) {
    EXPECT_EQ(m.PixelLayers(x, 58), 1) << x;  // a radius-3 pen covers two rows above
    EXPECT_EQ(m.PixelLayers(x, 62), 1) << x;
  }
  EXPECT_EQ(m.PixelLayers(60, 64), 0);
}
