// One action script replayed through the command-line tool's edit commands and
// through the window's canvas handlers and commands: both must save the same bytes.

#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_values.h"
#include "cli/edit_session.h"
#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/new_map.h"
#include "support/test_support.h"

namespace {

constexpr int32_t kChip = 32;

// Every operation of the edit command, several interleaved with undo and redo
// (the undo limit of 4 is passed on the way).
const std::vector<std::string> kScript = {
    "paint-chip 1 1 1",
    "paint-chip 2 1 2",
    "circle 100 70 4 3",
    "rect-chips 4 5 2 3 2",
    "rect-pixels 200 10 150 60 1",
    "ellipse-chips 5 0 7 2 3",
    "ellipse-pixels 10 150 90 220 2",
    "fill 300 240 1",
    "undo",
    "undo",
    "redo",
    "door 3 2 h #8B5A2B",
    "door 6 4 v",
    "door 3 2 h",
    "free-door 20 30 120 90 #FF0000",
    "free-door 40 200 40 100 none",
    "erase-free-doors 70 60",
    "circle 260 180 8 0",
    "add-layer Water 16711680 object before=1",
    "paint-chip 8 6 2",
    "edit-layer 0 \"Stone floor\" 8421504",
    "delete-layer 2",
    "undo",
    "paint-chip 0 7 1",
    "add-layer Moss 3381555 floor",
    "circle 150 150 6 4",
};

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The starting map: 10 x 8 cells with three solid floor layers.
    TMapEditLayerList map;
    CreateNewMap(map, 10, 8, kChip);
    for (const char* source : {"255", "65280", "16744448"}) {
      TMapEditLayer* layer = map.AddLayer();
      layer->LayerName = std::string("L") + source;
      layer->SetFileName(source);
    }
    Start = Dir.File("start.qmx");
    map.SaveToFile(Start);
  }

  std::string ThroughCli() {
    TMapEditLayerList map;
    map.LoadFromFile(Start);
    vcli::TEditSession session(map, 4);
    for (const std::string& line : kScript) session.ExecuteLine(line);
    const std::string out = Dir.File("cli.qmx");
    map.SaveToFile(out);
    return vctest::ReadFileBytes(out);
  }

  std::string ThroughCanvas() {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vellumcraft.ini"))));
    Form->LoadSettings();
    Form->SetUndoLimit(4);
    EXPECT_TRUE(Form->OpenMap(QString::fromStdString(Start)));
    for (const std::string& line : kScript) Replay(vcli::TokenizeCommand(line));
    const std::string out = Dir.File("canvas.qmx");
    EXPECT_TRUE(Form->SaveMap(QString::fromStdString(out)));
    EXPECT_TRUE(Dialogs->Errors.isEmpty()) << Dialogs->Errors.join("; ").toStdString();
    return vctest::ReadFileBytes(out);
  }

  void Check(const char* Name) { Form->Action(Name)->trigger(); }
  void SelectLayer(int32_t Layer) {
    if (Layer == 0) {
      Check("Wall1");
    } else {
      Form->LayerList()->setCurrentRow(Layer - 1);
      Check("Pen1");
    }
  }
  void Down(int32_t X, int32_t Y) { Form->PaintBox321MouseDown(TMouseButton::Left, true, X, Y); }
  void Move(int32_t X, int32_t Y) { Form->PaintBox321MouseMove(true, X, Y); }
  void Up(int32_t X, int32_t Y) { Form->PaintBox321MouseUp(TMouseButton::Left, false, X, Y); }
  void Drag(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
    Down(X1, Y1);
    Move(X2, Y2);
    Up(X2, Y2);
  }
  static TColor Color(const std::vector<std::string>& W, size_t I) {
    return W.size() > I ? *vcli::ParseDoorColor(W[I]) : clNone;
  }

  // What a person does in the window for each command.
  void Replay(const std::vector<std::string>& W) {
    auto n = [&](size_t I) { return std::stoi(W[I]); };
    const std::string& c = W[0];
    if (c == "paint-chip") {
      Check("Chip1");
      Check("Pencil1");
      SelectLayer(n(3));
      Down(n(1) * kChip + 5, n(2) * kChip + 7);
      Up(n(1) * kChip + 5, n(2) * kChip + 7);
    } else if (c == "circle") {
      Check("FreeHand1");
      Check("Pencil1");
      Form->SetPenSize((n(3) - 2) / 2);
      SelectLayer(n(4));
      Down(n(1), n(2));
      Up(n(1), n(2));
    } else if (c == "rect-chips" || c == "ellipse-chips") {
      Check("Chip1");
      Check(c == "rect-chips" ? "Rect1" : "Ellipse1");
      SelectLayer(n(5));
      Drag(n(1) * kChip + 3, n(2) * kChip + 3, n(3) * kChip + 9, n(4) * kChip + 9);
    } else if (c == "rect-pixels" || c == "ellipse-pixels") {
      Check("FreeHand1");
      Check(c == "rect-pixels" ? "Rect1" : "Ellipse1");
      SelectLayer(n(5));
      Drag(n(1), n(2), n(3), n(4));
    } else if (c == "fill") {
      Check("Fill1");
      SelectLayer(n(3));
      Down(n(1), n(2));
      Up(n(1), n(2));
    } else if (c == "door") {
      Check("Chip1");
      Check("Door1");
      Form->SetDoorColor(Color(W, 4));
      // A point on the middle of the edge.
      const int32_t x = n(1) * kChip + (W[3] == "h" ? kChip / 2 : 0);
      const int32_t y = n(2) * kChip + (W[3] == "h" ? 0 : kChip / 2);
      Down(x, y);
      Up(x, y);
    } else if (c == "free-door") {
      Check("FreeHand1");
      Check("Door1");
      Form->SetDoorColor(Color(W, 5));
      Drag(n(1), n(2), n(3), n(4));
    } else if (c == "erase-free-doors") {
      Check("FreeHand1");
      Check("Door1");
      Down(n(1), n(2));
      Up(n(1), n(2));
    } else if (c == "add-layer") {
      Dialogs->Layer = TLayerRequest{};
      Dialogs->Layer.LayerName = QString::fromStdString(W[1]);
      Dialogs->Layer.FileName = QString::fromStdString(W[2]);
      const std::string type = W.size() > 3 ? W[3] : "";
      Dialogs->Layer.LayerType = type == "object" ? 2 : type == "floor" ? 1 : 0;
      Dialogs->Layer.AdditionIndex =
          W.back().rfind("before=", 0) == 0 ? std::stoi(W.back().substr(7)) : -1;
      Form->AddLayer1Execute();
    } else if (c == "edit-layer") {
      Form->LayerList()->setCurrentRow(n(1));
      Dialogs->Layer = TLayerRequest{};
      Dialogs->Layer.LayerName = QString::fromStdString(W[2]);
      Dialogs->Layer.FileName = QString::fromStdString(W[3]);
      Form->ListBox1DblClick();
    } else if (c == "delete-layer") {
      Form->LayerList()->setCurrentRow(n(1));
      Dialogs->OkCancelAnswer = true;
      Form->DeleteLayer1Execute();
    } else if (c == "undo" || c == "redo") {
      Form->ApplyUndo(Form->Action(c == "undo" ? "Undo1" : "Redo1"));
    } else {
      ADD_FAILURE() << "no replay for " << c;
    }
  }

  vctest::TempDir Dir;
  std::string Start;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

TEST_F(ReplayTest, CliAndCanvasSaveTheSameFile) {
  const std::string cli = ThroughCli();
  const std::string canvas = ThroughCanvas();
  ASSERT_FALSE(cli.empty());
  EXPECT_TRUE(cli == canvas) << "the files differ (" << cli.size() << " and " << canvas.size()
                             << " bytes)";
  // The script did its work: layers, doors and pixels changed.
  TMapEditLayerList map;
  map.LoadFromFile(Dir.File("cli.qmx"));
  // The undo after "delete-layer 2" took the deletion back (layer changes are undo
  // steps of their own).
  ASSERT_EQ(map.Count(), 6);
  EXPECT_EQ(map.Layers(1)->LayerName, "Stone floor");
  EXPECT_EQ(map.Layers(2)->LayerName, "Water");
  EXPECT_EQ(map.Layers(3)->LayerName, "L65280");
  EXPECT_EQ(map.Layers(4)->LayerName, "L16744448");
  EXPECT_EQ(map.Layers(5)->LayerName, "Moss");
  EXPECT_EQ(map.Doors().HorzDoor().Count(), 0);  // toggled on and off again
  EXPECT_EQ(map.Doors().VertDoor().Count(), 1);
  EXPECT_EQ(map.Doors().FreeDoor().Count(), 1);  // the one near (70, 60) erased
  EXPECT_EQ(map.PixelLayers(150, 150), 4);
  EXPECT_NE(cli, vctest::ReadFileBytes(Start));
}

}  // namespace
