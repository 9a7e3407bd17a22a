// The prop tool: placing, picking, moving, turning, scaling and ordering props
// through the edit session, each change one undo step.

#include "editor/prop_tool.h"

#include <gtest/gtest.h>

#include <cmath>

#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_object_list.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

namespace {

class PropToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A 256 x 256 image: one cell of the pack, opaque in its middle half only.
    TBitmap32 im;
    im.SetSize(256, 256);
    for (int32_t y = 64; y < 192; ++y)
      for (int32_t x = 64; x < 192; ++x) im.Pixel(x, y) = 0xFF804020;
    std::filesystem::create_directories(Dir.Path() / "Assets" / "things");
    vctest::WriteRgbaPng((Dir.Path() / "Assets" / "things" / "box.png").string(), im);
    Session.New(8, 6, 32, nullptr);
    Tool.SetAssets(TAssetIndex({Dir.Path() / "Assets"}), {});
    Tool.Sync();
  }
  TMapProp PropOf(uint64_t Id) {
    TMapProp p;
    EXPECT_TRUE(TMapProp::FromObject(*Session.Map().Objects().Find(Id), p, nullptr));
    return p;
  }
  size_t Steps() { return size_t(Session.History().UndoIndex() + 1); }

  vctest::TempDir Dir;
  TMapEditSession Session{64};
  TPropTool Tool{Session};
};

}  // namespace

TEST_F(PropToolTest, PlacePickMoveAndUndo) {
  const uint64_t a = Tool.Place("things/box.png", 40, 50);
  ASSERT_NE(a, 0u);
  EXPECT_EQ(Tool.Selection(), std::vector<uint64_t>{a});
  EXPECT_EQ(Steps(), 1u);
  // Placing redraws the prop's area, not the map: one cell and its handles.
  const TRect dirty = Tool.TakeDirty();
  EXPECT_FALSE(dirty.IsEmpty());
  EXPECT_LE(dirty.Width(), 32 + 24);
  EXPECT_TRUE(Tool.TakeDirty().IsEmpty());

  // At 32 pixels a cell the opaque middle spans 16 pixels around the centre.
  EXPECT_EQ(Tool.PropAt(40, 50), a);
  EXPECT_EQ(Tool.PropAt(46, 56), a);
  EXPECT_EQ(Tool.PropAt(29, 50), 0u);  // the clear border of the image

  // A drag moves it; the map changes only on release, as one step.
  Tool.Press(40, 50, false);
  Tool.Drag(60, 55, false);
  EXPECT_EQ(PropOf(a).X, 40);
  EXPECT_EQ(Tool.Scene().Items()[0].Transform.CenterX, 60);
  Tool.Release(70, 58, false);
  EXPECT_EQ(PropOf(a).X, 70);
  EXPECT_EQ(PropOf(a).Y, 58);
  EXPECT_EQ(Steps(), 2u);
  // A click without a move changes nothing.
  Tool.Press(70, 58, false);
  Tool.Release(70, 58, false);
  EXPECT_EQ(Steps(), 2u);

  // Arrow keys: a pixel, or a cell.
  Tool.Nudge(1, 0);
  Tool.Nudge(0, -32);
  EXPECT_EQ(PropOf(a).X, 71);
  EXPECT_EQ(PropOf(a).Y, 26);
  EXPECT_EQ(Steps(), 4u);

  ASSERT_TRUE(Session.Undo());
  ASSERT_TRUE(Session.Undo());
  ASSERT_TRUE(Session.Undo());
  Tool.Sync();
  EXPECT_EQ(PropOf(a).X, 40);
  EXPECT_EQ(Tool.Scene().Items()[0].Transform.CenterX, 40);
  ASSERT_TRUE(Session.Undo());
  Tool.Sync();
  EXPECT_EQ(Session.Map().Objects().Count(), 0u);
  EXPECT_TRUE(Tool.Selection().empty());
  EXPECT_TRUE(Tool.Scene().Empty());
}

TEST_F(PropToolTest, HandlesTurnWithSnapAndScale) {
  const uint64_t a = Tool.Place("things/box.png", 100, 100);
  double tx, ty, sx, sy;
  Tool.Handles(a, tx, ty, sx, sy);
  // The turning handle stands above the frame's top edge (y 84), the size handle
  // on the bottom-right corner.
  EXPECT_DOUBLE_EQ(tx, 100);
  EXPECT_LT(ty, 84);
  EXPECT_DOUBLE_EQ(sx, 116);
  EXPECT_DOUBLE_EQ(sy, 116);

  // A quarter turn and a little more; Shift snaps it to 15 degrees.
  Tool.Press(tx, ty, false);
  Tool.Release(100 + (100 - ty) * std::cos(0.2), 100 + (100 - ty) * std::sin(0.2), true);
  EXPECT_DOUBLE_EQ(PropOf(a).Rotation, 105);  // 90 + 11.5 degrees, snapped
  // Without Shift the turn is free: the handle carried 20 degrees further round.
  Tool.Handles(a, tx, ty, sx, sy);
  const double k = 20 * 3.14159265358979323846 / 180;
  Tool.Press(tx, ty, false);
  Tool.Release(100 + std::cos(k) * (tx - 100) - std::sin(k) * (ty - 100),
               100 + std::sin(k) * (tx - 100) + std::cos(k) * (ty - 100), false);
  EXPECT_NEAR(PropOf(a).Rotation, 125, 1e-9);

  // The size handle: twice as far from the centre is twice the size.
  Tool.Handles(a, tx, ty, sx, sy);
  Tool.Press(sx, sy, false);
  Tool.Release(100 + (sx - 100) * 2, 100 + (sy - 100) * 2, false);
  EXPECT_NEAR(PropOf(a).Scale, 2, 1e-9);
  EXPECT_EQ(Steps(), 4u);
}

TEST_F(PropToolTest, SelectionBandDuplicateDeleteOrderAndSnap) {
  const uint64_t a = Tool.Place("things/box.png", 20, 20);
  const uint64_t b = Tool.Place("things/box.png", 100, 20);
  const uint64_t c = Tool.Place("things/box.png", 200, 150);
  // A band from nothing takes the props whose centres it holds.
  Tool.Press(5, 5, false);
  Tool.Release(120, 40, false);
  EXPECT_EQ(Tool.Selection(), (std::vector<uint64_t>{a, b}));
  // Shift adds with a click, and takes away again.
  Tool.Press(200, 150, true);
  Tool.Release(200, 150, true);
  EXPECT_EQ(Tool.Selection(), (std::vector<uint64_t>{a, b, c}));
  Tool.Press(100, 20, true);
  Tool.Release(100, 20, true);
  EXPECT_EQ(Tool.Selection(), (std::vector<uint64_t>{a, c}));

  // Moving the selection moves both, in one step.
  const size_t before = Steps();
  Tool.Press(20, 20, false);
  Tool.Release(25, 30, false);
  EXPECT_EQ(Steps(), before + 1);
  EXPECT_EQ(PropOf(a).X, 25);
  EXPECT_EQ(PropOf(c).X, 205);
  EXPECT_EQ(PropOf(c).Y, 160);
  EXPECT_EQ(PropOf(b).X, 100);

  // Duplicates: a cell to the right and down, selected.
  Tool.Select({a});
  Tool.Duplicate();
  ASSERT_EQ(Session.Map().Objects().Count(), 4u);
  const uint64_t d = Tool.Selection().at(0);
  EXPECT_EQ(PropOf(d).X, 25 + 32);
  EXPECT_EQ(PropOf(d).Y, 30 + 32);

  // Order: a goes above b and c, then back below all.
  auto order = [this] {
    std::vector<uint64_t> ids;
    for (const TMapObject& o : Session.Map().Objects().Items()) ids.push_back(o.Id);
    return ids;
  };
  Tool.Select({a});
  Tool.BringForward();
  EXPECT_EQ(order(), (std::vector<uint64_t>{b, a, c, d}));
  Tool.SendBack();
  Tool.SendBack();  // already at the bottom: nothing happens
  EXPECT_EQ(order(), (std::vector<uint64_t>{a, b, c, d}));

  Tool.Select({b, d});
  Tool.DeleteSelection();
  EXPECT_EQ(order(), (std::vector<uint64_t>{a, c}));
  EXPECT_TRUE(Tool.Selection().empty());

  // Snapping: a placed prop and a dragged one land on cell centres, or corners.
  Tool.Snap = TPropSnap::CellCentres;
  const uint64_t e = Tool.Place("things/box.png", 70, 40);
  EXPECT_EQ(PropOf(e).X, 80);
  EXPECT_EQ(PropOf(e).Y, 48);
  Tool.Snap = TPropSnap::CellCorners;
  Tool.Press(80, 48, false);
  Tool.Release(91, 70, false);
  EXPECT_EQ(PropOf(e).X, 96);
  EXPECT_EQ(PropOf(e).Y, 64);

  // Shadow and sight: one step for the selection.
  Tool.Select({a, e});
  const size_t now = Steps();
  Tool.SetShadow(true);
  Tool.SetBlocksSight(true);
  EXPECT_EQ(Steps(), now + 2);
  EXPECT_TRUE(PropOf(a).Shadow);
  EXPECT_TRUE(PropOf(e).BlocksSight);
  EXPECT_FALSE(PropOf(c).Shadow);
}
