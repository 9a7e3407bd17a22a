// The Map Style command and the Show Map Style switch driven through the main
// window: the dialog's answer is stored as one undoable change, and the view
// draws the map's style only while the switch is on.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <cstring>
#include <memory>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_style.h"
#include "support/test_support.h"

namespace {

class MapStyleCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vc.ini"))));
    // A 6 x 5 map of 16-pixel cells: a white room inside the wall.
    Dialogs->Size = {6, 5, 16, {}};
    Dialogs->Discard = TDiscardAnswer::Discard;
    Form->New1Execute();
    Dialogs->Layer.LayerName = "Floor";
    Dialogs->Layer.FileName = "16777215";
    Dialogs->Layer.AdditionIndex = -1;
    Form->AddLayer1Execute();
    Form->Document()->FillRectChips(1, 1, 4, 3, 1);
  }
  // The view's picture of the whole map.
  void View(TBitmap32& Out) {
    TRect r{0, 0, 96, 80};
    ASSERT_TRUE(Form->PaintBox321PaintBuffer(Out, r));
  }
  TMapStyleSettings Stored() { return StoredMapStyle(Form->Document()->Objects()); }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

TEST_F(MapStyleCommandTest, TheDialogsAnswerIsStoredUndoablyAndDrawnWhileShown) {
  ASSERT_NE(Form->Action("MapStyle1"), nullptr);
  ASSERT_NE(Form->Action("ShowStyle1"), nullptr);
  EXPECT_TRUE(Form->findChild<QMenu*>("MapMenu")->actions().contains(Form->Action("MapStyle1")));
  EXPECT_TRUE(Form->findChild<QMenu*>("ViewMenu")->actions().contains(Form->Action("ShowStyle1")));
  TBitmap32 plain, styled;
  View(plain);

  // The dialog opens on the map's style (none yet) and its answer is stored.
  Dialogs->StyleAnswer.Looks.Outline = {true, 2, 0, 0xFFFF0000u, 1};
  Dialogs->StyleAnswer.GridStyle = TGridLineStyle::Dashed;
  Form->MapStyle1Execute();
  EXPECT_TRUE(Dialogs->LastStyleRequest.IsPlain());
  EXPECT_EQ(Stored(), Dialogs->StyleAnswer);
  EXPECT_EQ(Form->Document()->Objects().Count(), 1u);

  // The view draws it: the wall pixels next to the room are red (column 15
  // holds a grid line of the view).
  View(styled);
  EXPECT_EQ(styled.Pixel(14, 30), 0xFFFF0000u);
  EXPECT_NE(plain.Pixel(14, 30), 0xFFFF0000u);
  // Output settings take it too, the grid line style included.
  TOutputOptions o;
  Form->UseMapStyle(o);
  EXPECT_TRUE(o.Compose.Style.Outline.Enabled);
  EXPECT_EQ(o.GridStyle, TGridLineStyle::Dashed);
  // After the output settings dialog, its grid line style and opacity stay
  // while the looks come from the map.
  TOutputOptions chosen;
  chosen.GridStyle = TGridLineStyle::Dotted;
  chosen.GridOpacity = 40;
  Form->UseMapStyle(chosen, false);
  EXPECT_TRUE(chosen.Compose.Style.Outline.Enabled);
  EXPECT_EQ(chosen.GridStyle, TGridLineStyle::Dotted);
  EXPECT_EQ(chosen.GridOpacity, 40);

  // Switched off, the view is the plain picture again.
  Form->Action("ShowStyle1")->setChecked(false);
  View(styled);
  EXPECT_EQ(std::memcmp(styled.Bits(), plain.Bits(), size_t(96 * 80 * 4)), 0);
  Form->Action("ShowStyle1")->setChecked(true);

  // A cancelled dialog changes nothing; undo takes the style away.
  Dialogs->StyleOk = false;
  Dialogs->StyleAnswer = {};
  Form->MapStyle1Execute();
  EXPECT_EQ(Stored().GridStyle, TGridLineStyle::Dashed);
  Form->UpdateActions();
  Form->Action("Undo1")->trigger();
  EXPECT_EQ(Form->Document()->Objects().Count(), 0u);
  View(styled);
  EXPECT_EQ(std::memcmp(styled.Bits(), plain.Bits(), size_t(96 * 80 * 4)), 0);
}

}  // namespace
