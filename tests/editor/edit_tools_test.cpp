// The tool state read from the window's commands in one place.

#include <gtest/gtest.h>

#include <QAction>
#include <memory>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "support/test_support.h"

namespace {

TEST(EditTools, FollowTheCommands) {
  vctest::TempDir dir;
  TMapEdit2Form form(std::make_unique<TFakeDialogs>(),
                     std::make_unique<TEditorSettings>(QString::fromStdString(dir.File("v.ini"))));
  // The window's defaults are the tools' defaults.
  TEditTools t = form.Tools();
  const TEditTools d;
  EXPECT_EQ(t.Wall, d.Wall);
  EXPECT_EQ(t.Chip, d.Chip);
  EXPECT_EQ(t.Tool, d.Tool);
  EXPECT_EQ(t.PenRadius, d.PenRadius);
  EXPECT_EQ(t.Shade, d.Shade);

  const struct {
    const char* Command;
    TEditTool Tool;
  } tools[] = {{"Rect1", TEditTool::Rect},
               {"Ellipse1", TEditTool::Ellipse},
               {"Fill1", TEditTool::Fill},
               {"Door1", TEditTool::Door},
               {"Pencil1", TEditTool::Pencil}};
  for (const auto& c : tools) {
    form.Action(c.Command)->trigger();
    EXPECT_EQ(form.Tools().Tool, c.Tool) << c.Command;
  }
  form.Action("FreeHand1")->trigger();
  form.Action("Wall1")->trigger();
  form.Action("NoneDef1")->trigger();
  form.Action("AlwaysSlow")->trigger();
  form.SetPenSize(2);
  t = form.Tools();
  EXPECT_FALSE(t.Chip);
  EXPECT_TRUE(t.Wall);
  EXPECT_EQ(t.PenRadius, 6);
  EXPECT_EQ(t.Shade, TShadeMode::None);
  EXPECT_EQ(t.FastDraw, TFastDrawMode::AlwaysSlow);
  EXPECT_TRUE(t.DrawShadeOnlyCell());
  EXPECT_FALSE(t.FastDrawing());
  EXPECT_EQ(form.CurrentLayer(), 0);
  form.Action("HighDef1")->trigger();
  form.Action("SaveFact")->trigger();
  form.Action("Chip1")->trigger();
  form.Action("Pen1")->trigger();
  form.SetPenSize(3);
  t = form.Tools();
  EXPECT_TRUE(t.Chip);
  EXPECT_FALSE(t.Wall);
  EXPECT_EQ(t.PenRadius, 8);
  EXPECT_EQ(t.Shade, TShadeMode::Always);
  EXPECT_EQ(t.FastDraw, TFastDrawMode::SlowOnlyForOutput);
  EXPECT_TRUE(t.FastDrawing());
  EXPECT_FALSE(t.ShadesAtStrokeEnd());
}

}  // namespace
