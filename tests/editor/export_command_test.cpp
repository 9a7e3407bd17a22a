// The File menu's Universal VTT export driven through the main window.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_layer_list.h"
#include "support/test_support.h"

namespace {

// Answers the export's two questions and records what it was asked.
struct TExportDialogs : TFakeDialogs {
  bool OptionsOk = true;
  int32_t AnswerPixels = 0;  // 0 keeps what the window proposed
  bool AnswerGrid = false;
  QString VttName;
  std::vector<TVttExportRequest> Proposed;
  int FileDialogs = 0;

  bool VttExportOptions(QWidget*, TVttExportRequest& Request) override {
    Proposed.push_back(Request);
    if (AnswerPixels > 0) Request.PixelsPerGrid = AnswerPixels;
    Request.Grid = AnswerGrid;
    return OptionsOk;
  }
  QString SaveVttFileName(QWidget*) override {
    ++FileDialogs;
    return VttName;
  }
};

class ExportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TExportDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vc.ini"))));
  }

  // A 6 x 5 map of 16-pixel cells with one floor layer and a wall ring whose
  // room is cells (2, 2)-(3, 2).
  void NewRoomMap() {
    Dialogs->Size = {6, 5, 16, {}};
    Dialogs->Discard = TDiscardAnswer::Discard;
    Form->New1Execute();
    Dialogs->Layer.LayerName = "Floor";
    Dialogs->Layer.FileName = "16777215";
    Dialogs->Layer.AdditionIndex = -1;
    Form->AddLayer1Execute();
    TMapEditLayerList* map = Form->Document();
    map->FillRectChips(0, 0, 5, 4, 1);
    map->FillRectChips(1, 1, 4, 3, 0);
    map->FillRectChips(2, 2, 3, 2, 1);
  }
  void Trigger() {
    Form->UpdateActions();
    Form->Action("ExportVtt1")->trigger();
  }

  vctest::TempDir Dir;
  TExportDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

TEST_F(ExportCommandTest, SubmenuHoldsTheCommandEnabledOnlyWithAMap) {
  auto* menu = Form->findChild<QMenu*>("ExportMenu");
  ASSERT_NE(menu, nullptr);
  QAction* vtt = Form->Action("ExportVtt1");
  ASSERT_NE(vtt, nullptr);
  EXPECT_TRUE(menu->actions().contains(vtt));
  EXPECT_EQ(vtt->objectName(), "ExportVtt1");
  Form->UpdateActions();
  EXPECT_FALSE(vtt->isEnabled());
  NewRoomMap();
  Form->UpdateActions();
  EXPECT_TRUE(vtt->isEnabled());
}

TEST_F(ExportCommandTest, ExportsWithTheChosenSettingsAndRemembersThem) {
  NewRoomMap();
  Dialogs->AnswerPixels = 70;
  Dialogs->VttName = QString::fromStdString(Dir.File("room"));
  const bool modified = Form->Modified();
  Trigger();
  ASSERT_TRUE(Dialogs->Errors.isEmpty()) << Dialogs->Errors.join("\n").toStdString();
  ASSERT_EQ(Dialogs->Proposed.size(), 1u);
  EXPECT_EQ(Dialogs->Proposed[0].ChipSize, 16);
  EXPECT_EQ(Dialogs->Proposed[0].PixelsPerGrid, 16);
  // A name without an extension gets ".dd2vtt".
  const std::string path = Dir.File("room.dd2vtt");
  ASSERT_TRUE(std::filesystem::exists(path));
  const nlohmann::json j = nlohmann::json::parse(vctest::ReadFileBytes(path));
  EXPECT_EQ(j["resolution"]["pixels_per_grid"], 70);
  EXPECT_EQ(j["resolution"]["map_size"], nlohmann::json::parse(R"({"x":6,"y":5})"));
  EXPECT_EQ(j["line_of_sight"].size(), 2u);
  EXPECT_EQ(Form->Modified(), modified);  // exporting changes nothing in the map

  // The next export proposes the size chosen last; the chip size again is not
  // remembered as a choice of its own.
  Dialogs->AnswerPixels = 16;
  Dialogs->VttName = QString::fromStdString(Dir.File("again.uvtt"));
  Trigger();
  ASSERT_EQ(Dialogs->Proposed.size(), 2u);
  EXPECT_EQ(Dialogs->Proposed[1].PixelsPerGrid, 70);
  EXPECT_TRUE(std::filesystem::exists(Dir.File("again.uvtt")));
  Dialogs->AnswerPixels = 0;
  Trigger();
  EXPECT_EQ(Dialogs->Proposed[2].PixelsPerGrid, 16);
}

TEST_F(ExportCommandTest, CancellingOrFailingWritesNothing) {
  NewRoomMap();
  Dialogs->OptionsOk = false;
  Dialogs->VttName = QString::fromStdString(Dir.File("never.dd2vtt"));
  Trigger();
  EXPECT_EQ(Dialogs->FileDialogs, 0);
  Dialogs->OptionsOk = true;
  Dialogs->VttName.clear();
  Trigger();
  EXPECT_EQ(Dialogs->FileDialogs, 1);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("never.dd2vtt")));
  EXPECT_TRUE(Dialogs->Errors.isEmpty());

  // An unwritable place: one message box, the document untouched.
  Dialogs->VttName = QString::fromStdString(Dir.File("no/such/folder/x.dd2vtt"));
  Trigger();
  ASSERT_EQ(Dialogs->Errors.size(), 1);
  EXPECT_TRUE(Dialogs->Errors[0].contains("x.dd2vtt")) << Dialogs->Errors[0].toStdString();
  EXPECT_EQ(Form->Document()->PixelLayers(16, 16), 0);
  EXPECT_EQ(Form->Document()->PixelLayers(40, 40), 1);
}

}  // namespace
