// Object edits through the edit session: one undo step each, exchanged back and
// forth with ids kept, refused edits that change nothing, and no cell recomposed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_label.h"
#include "map/objects/map_object_error.h"
#include "map/objects/map_object_list.h"

namespace {

TMapObject Label(const std::string& Text, int32_t X = 0) {
  TMapLabel l;
  l.Text = Text;
  l.X = X;
  return l.ToObject();
}

// The texts of the labels in order, "|"-separated.
std::string Texts(const TMapEditSession& S) {
  std::string out;
  for (const TMapObject& o : S.Map().Objects().Items())
    out += o.Data.value("text", std::string("?")) + "|";
  return out;
}

}  // namespace

TEST(MapObjectSession, EachEditIsOneStepThatUndoAndRedoExchange) {
  TMapEditSession s(20);
  s.New(4, 3, 16, nullptr);
  int redrawn = 0;
  s.Map().OnRedrawCell = [&](int32_t, int32_t) { ++redrawn; };

  const uint64_t a = s.AddObject(Label("a"));
  const uint64_t b = s.AddObject(Label("b"));
  const uint64_t c = s.AddObject(Label("c"));
  EXPECT_TRUE(s.Modified());
  EXPECT_EQ(Texts(s), "a|b|c|");

  s.ReplaceObject(b, Label("B"));
  EXPECT_EQ(Texts(s), "a|B|c|");
  EXPECT_EQ(s.Map().Objects().At(1).Id, b);

  // A moved selection: both in one step.
  TMapObject movedA = Label("a", 50), movedC = Label("c", 60);
  movedA.Id = a;
  movedC.Id = c;
  s.ChangeObjects({movedA, movedC});
  EXPECT_EQ(s.Map().Objects().Find(a)->Data["x"], 50);
  EXPECT_EQ(s.Map().Objects().Find(c)->Data["x"], 60);

  s.MoveObjectInOrder(a, 2);
  EXPECT_EQ(Texts(s), "B|c|a|");
  s.DeleteObjects({b, a, b});
  EXPECT_EQ(Texts(s), "c|");

  // Back step by step, every id as it was.
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Texts(s), "B|c|a|");
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Texts(s), "a|B|c|");
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(s.Map().Objects().Find(a)->Data["x"], 0);
  EXPECT_EQ(s.Map().Objects().Find(c)->Data["x"], 0);
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Texts(s), "a|b|c|");
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Texts(s), "a|b|");
  ASSERT_TRUE(s.Undo());
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Texts(s), "");
  EXPECT_FALSE(s.History().CanUndo());

  // And forward again to the end.
  while (s.Redo()) {
  }
  EXPECT_EQ(Texts(s), "c|");
  EXPECT_EQ(s.Map().Objects().At(0).Id, c);
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(s.Map().Objects().IndexOf(a), 2);
  EXPECT_EQ(s.Map().Objects().IndexOf(b), 0);

  // Objects lie over the composed map: no edit or undo of them recomposed a cell.
  EXPECT_EQ(redrawn, 0);
}

TEST(MapObjectSession, RefusedEditsChangeNothingAndRecordNothing) {
  TMapEditSession s(20);
  s.New(4, 3, 16, nullptr);
  const uint64_t a = s.AddObject(Label("a"));
  s.SetModified(false);
  const int32_t steps = s.History().UndoList().Count();

  EXPECT_THROW(s.ReplaceObject(a + 100, Label("x")), EMapObjectError);
  EXPECT_THROW(s.DeleteObjects({a, a + 100}), EMapObjectError);
  TMapObject stray = Label("x");
  stray.Id = a + 100;
  TMapObject known = Label("y");
  known.Id = a;
  EXPECT_THROW(s.ChangeObjects({known, stray}), EMapObjectError);
  EXPECT_THROW(s.MoveObjectInOrder(a + 100, 1), EMapObjectError);
  // An object whose data does not say its type.
  TMapObject wrong = Label("z");
  wrong.Type = "light";
  EXPECT_THROW(s.AddObject(wrong), EMapObjectError);
  TMapObject array;
  array.Type = "label";
  array.Data = nlohmann::ordered_json::array();
  EXPECT_THROW(s.ReplaceObject(a, array), EMapObjectError);
  // Nothing to do: no step.
  s.DeleteObjects({});
  s.ChangeObjects({});
  s.MoveObjectInOrder(a, -3);  // already first

  EXPECT_EQ(Texts(s), "a|");
  EXPECT_EQ(s.History().UndoList().Count(), steps);
  EXPECT_FALSE(s.Modified());
}

TEST(MapObjectSession, ObjectAndPaintingStepsInterleave) {
  TMapEditSession s(20);
  s.New(4, 3, 16, nullptr);
  s.AddLayer(1, "A", "255", mltGround, TBadLayerSource::Revert);
  TEditTools chip;
  const uint64_t a = s.AddObject(Label("a"));
  s.BeginStroke(chip, 1, 5, 5);
  s.EndStroke();
  s.DeleteObjects({a});
  EXPECT_EQ(s.Map().PixelLayers(5, 5), 1);

  ASSERT_TRUE(s.Undo());  // the deletion
  EXPECT_EQ(Texts(s), "a|");
  EXPECT_EQ(s.Map().PixelLayers(5, 5), 1);
  ASSERT_TRUE(s.Undo());  // the stroke
  EXPECT_EQ(Texts(s), "a|");
  EXPECT_EQ(s.Map().PixelLayers(5, 5), 0);
  ASSERT_TRUE(s.Redo());
  ASSERT_TRUE(s.Redo());
  EXPECT_EQ(Texts(s), "");
  EXPECT_EQ(s.Map().PixelLayers(5, 5), 1);

  // Opening another map drops the objects with the history.
  s.New(2, 2, 16, nullptr);
  EXPECT_TRUE(s.Map().Objects().Empty());
}
