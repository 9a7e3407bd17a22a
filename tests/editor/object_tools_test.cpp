// The object tools of the editor: room numbers, labels, lights and windows placed
// on the canvas, selected, dragged, edited and deleted, each one undo step.

#include <gtest/gtest.h>

#include <QAction>
#include <memory>
#include <string>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"
#include "map/undo/undo_history.h"
#include "support/test_support.h"

namespace {

class ObjectToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vellumcraft.ini"))));
    Dialogs->Size = {8, 6, 32, {}};
    Dialogs->Discard = TDiscardAnswer::Discard;
    Form->New1Execute();
    Dialogs->Layer.LayerName = "Floor";
    Dialogs->Layer.FileName = "16777215";
    Form->AddLayer1Execute();
  }
  void Trigger(const char* Name) {
    Form->UpdateActions();
    Form->Action(Name)->trigger();
  }
  void Drag(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
    Form->PaintBox321MouseDown(TMouseButton::Left, true, X1, Y1);
    Form->PaintBox321MouseMove(true, (X1 + X2) / 2, (Y1 + Y2) / 2);
    Form->PaintBox321MouseMove(true, X2, Y2);
    Form->PaintBox321MouseUp(TMouseButton::Left, false, X2, Y2);
  }
  void Click(int32_t X, int32_t Y) { Drag(X, Y, X, Y); }
  const TMapObjectList& Objects() const { return Form->Document()->Objects(); }
  std::string Texts() const {
    std::string out;
    for (const TMapObject& o : Objects().Items()) out += o.Data.value("text", "?") + "|";
    return out;
  }
  int32_t Steps() const { return Form->Session().History().UndoList().Count(); }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

}  // namespace

TEST_F(ObjectToolsTest, RoomNumbersCountOnFromTheHighestNumberOnTheMap) {
  Trigger("RoomNumber1");
  Click(40, 40);
  Click(120, 40);
  Click(200, 40);
  EXPECT_EQ(Texts(), "1|2|3|");
  TMapLabel third;
  ASSERT_TRUE(TMapLabel::FromObject(Objects().At(2), third, nullptr));
  EXPECT_EQ(third.X, 200);
  EXPECT_EQ(third.Y, 40);
  EXPECT_TRUE(third.Outline.has_value());
  EXPECT_TRUE(Form->Modified());
  // Each number is a step of its own; after an undo the next click gives 3 again.
  Trigger("Undo1");
  EXPECT_EQ(Texts(), "1|2|");
  Click(200, 100);
  EXPECT_EQ(Texts(), "1|2|3|");
  // Painting still paints with its tools, and nothing else happened to the map.
  Trigger("Pencil1");
  Click(10, 10);
  EXPECT_EQ(Form->Document()->PixelLayers(10, 10), 1);
  EXPECT_EQ(Objects().Count(), 3u);
}

TEST_F(ObjectToolsTest, TheLabelToolAsksForTheTextAndCancellingAddsNothing) {
  Trigger("Label1");
  const int32_t before = Steps();
  Click(50, 60);  // no answer: cancelled
  EXPECT_EQ(Dialogs->ObjectDialogs, 1);
  EXPECT_TRUE(Objects().Empty());
  EXPECT_EQ(Steps(), before);
  Dialogs->ObjectAnswer = [](TMapObject& O) {
    O.Data["text"] = "Great Hall";
    return true;
  };
  Click(50, 60);
  ASSERT_EQ(Objects().Count(), 1u);
  EXPECT_EQ(Objects().At(0).Data["text"], "Great Hall");
  EXPECT_EQ(Objects().At(0).Data["x"], 50);
  EXPECT_EQ(Form->SelectedObjects(), std::vector<uint64_t>{Objects().At(0).Id});
}

TEST_F(ObjectToolsTest, LightsAndWindowsSelectedDraggedEditedAndDeleted) {
  Trigger("Light1");
  Click(100, 80);
  Trigger("Window1");  // cell mode: a click near an edge puts a window on it
  Click(70, 65);       // near the top edge of cell (2, 2)
  Trigger("FreeHand1");
  Trigger("Window1");
  Drag(10, 150, 90, 150);  // free-hand mode: a drawn segment
  ASSERT_EQ(Objects().Count(), 3u);
  TMapWindow edge, free;
  ASSERT_TRUE(TMapWindow::FromObject(Objects().At(1), edge, nullptr));
  EXPECT_EQ(edge.Kind, TWindowKind::Horizontal);
  EXPECT_EQ(edge.CX, 2);
  EXPECT_EQ(edge.CY, 2);
  ASSERT_TRUE(TMapWindow::FromObject(Objects().At(2), free, nullptr));
  EXPECT_EQ(free.Kind, TWindowKind::Free);
  EXPECT_EQ(free.X1, 10);
  EXPECT_EQ(free.X2, 90);

  // Select the light by its handle and drag it: one step moves it.
  Trigger("Chip1");
  Trigger("ObjectSelect1");
  const int32_t steps = Steps();
  Drag(102, 81, 142, 101);
  TMapLight light;
  ASSERT_TRUE(TMapLight::FromObject(Objects().At(0), light, nullptr));
  EXPECT_EQ(light.X, 140);
  EXPECT_EQ(light.Y, 100);
  EXPECT_EQ(Steps(), steps + 1);
  // The edge window moves by whole cells.
  Drag(70, 64, 105, 64);
  ASSERT_TRUE(TMapWindow::FromObject(Objects().At(1), edge, nullptr));
  EXPECT_EQ(edge.CX, 3);
  EXPECT_EQ(edge.CY, 2);
  // A click on nothing selects nothing.
  Click(250, 10);
  EXPECT_TRUE(Form->SelectedObjects().empty());

  // Properties of the selected light.
  Click(140, 100);
  ASSERT_EQ(Form->SelectedObjects().size(), 1u);
  Dialogs->ObjectAnswer = [](TMapObject& O) {
    O.Data["radius"] = 7;
    return true;
  };
  Trigger("ObjectProps1");
  ASSERT_TRUE(TMapLight::FromObject(Objects().At(0), light, nullptr));
  EXPECT_EQ(light.Radius, 7);

  // Deleting, then undoing everything back to the first light. Without a
  // selection the object commands are off, leaving Delete to the props.
  Form->UpdateActions();
  EXPECT_TRUE(Form->Action("DeleteObject1")->isEnabled());
  Trigger("DeleteObject1");
  EXPECT_EQ(Objects().Count(), 2u);
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("DeleteObject1")->isEnabled());
  EXPECT_FALSE(Form->Action("ObjectProps1")->isEnabled());
  EXPECT_EQ(Objects().At(0).Type, "window");
  Trigger("Undo1");
  EXPECT_EQ(Objects().Count(), 3u);
  ASSERT_TRUE(TMapLight::FromObject(Objects().At(0), light, nullptr));
  EXPECT_EQ(light.Radius, 7);
  Trigger("Undo1");
  Trigger("Undo1");
  Trigger("Undo1");
  ASSERT_TRUE(TMapLight::FromObject(Objects().At(0), light, nullptr));
  EXPECT_EQ(light.X, 100);
  EXPECT_EQ(light.Radius, 4);
}

TEST_F(ObjectToolsTest, TheViewShowsLabelsAsTheViewMenuSaysAndLightHandles) {
  Trigger("Light1");
  Click(100, 80);
  TBitmap32 view;
  TRect all{0, 0, 256, 192};
  ASSERT_TRUE(Form->PaintBox321PaintBuffer(view, all));
  // The handle is the light's colour inside a black frame; the map itself has no
  // light drawn into it.
  EXPECT_EQ(view.Pixel(100, 80), 0xFFFFFFFFu);
  EXPECT_EQ(view.Pixel(100 - 6, 80), 0xFF000000u);
  EXPECT_FALSE(Form->ViewComposeOptions().LightPreview);
  EXPECT_TRUE(Form->ViewComposeOptions().Labels);
  Trigger("ShowLabels1");
  EXPECT_FALSE(Form->ViewComposeOptions().Labels);
  Trigger("LightPreview1");
  EXPECT_TRUE(Form->ViewComposeOptions().LightPreview);
  // A new map starts with no selection.
  Trigger("ObjectSelect1");
  Click(100, 80);
  EXPECT_EQ(Form->SelectedObjects().size(), 1u);
  Form->New1Execute();
  EXPECT_TRUE(Form->SelectedObjects().empty());
}
