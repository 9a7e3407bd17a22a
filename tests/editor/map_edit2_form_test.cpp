#include "editor/map_edit2_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <algorithm>
#include <memory>

#include "editor/color_swatch.h"
#include "editor/map_canvas.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"
#include "map/undo/undo_history.h"
#include "support/test_support.h"

namespace {

constexpr TColor32 kGrid = 0xFF7F7F7F;

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override { Make(); }

  void Make() {
    Form.reset();
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(std::move(dialogs),
                                           std::make_unique<TEditorSettings>(SettingsFile()));
  }
  QString SettingsFile() const { return QString::fromStdString(Dir.File("vellumcraft.ini")); }

  // A new map of W x H cells of chip C with the given floor layers (solid colours).
  void NewMap(int32_t W, int32_t H, int32_t C, int Layers) {
    Dialogs->Size = {W, H, C, {}};
    Dialogs->Discard = TDiscardAnswer::Discard;
    Form->New1Execute();
    for (int i = 0; i < Layers; ++i) {
      Dialogs->Layer.LayerName = QString("Layer %1").arg(i + 1);
      Dialogs->Layer.FileName = QString::number(0x203040 * (i + 1));
      Dialogs->Layer.AdditionIndex = -1;
      Form->AddLayer1Execute();
    }
  }
  void Click(int32_t X, int32_t Y) {
    Form->PaintBox321MouseDown(TMouseButton::Left, true, X, Y);
    Form->PaintBox321MouseUp(TMouseButton::Left, false, X, Y);
  }
  // Runs a command as the user would: its enabling rule has been evaluated.
  void Trigger(const char* Name) {
    Form->UpdateActions();
    Form->Action(Name)->trigger();
  }
  int32_t LayerAt(int32_t X, int32_t Y) { return Form->Document()->PixelLayers(X, Y); }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

TEST_F(FormTest, FirstRunDefaultsAndSettingsWrittenOnDestroy) {
  Form->LoadSettings();
  EXPECT_EQ(Form->UndoLimit(), 4);
  Form->show();
  for (const char* name : {"Pencil1", "Chip1", "Pen1", "EndDef1", "SaveFact"})
    EXPECT_TRUE(Form->Checked(name)) << name;
  for (const char* name : {"Rect1", "FreeHand1", "Wall1", "HighDef1", "NoneDef1", "AlwaysSlow"})
    EXPECT_FALSE(Form->Checked(name)) << name;
  EXPECT_EQ(Form->Action("New1")->text(), "新規作成(&N)");
  EXPECT_EQ(Form->Action("Undo1")->shortcut(), QKeySequence("Ctrl+Z"));
  EXPECT_EQ(Form->Action("Redo1")->shortcut(), QKeySequence("Ctrl+Shift+Z"));
  // Ctrl+Y redoes as well.
  EXPECT_EQ(Form->Action("Redo1")->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
  // The hint shows in the status bar; the tooltip names the command and its key.
  EXPECT_EQ(Form->Action("Undo1")->statusTip(), "1手元に戻します。");
  EXPECT_EQ(Form->Action("Undo1")->toolTip(), "元に戻す (Ctrl+Z)");
  EXPECT_EQ(Form->StatusText(0), "0 Layers");
  EXPECT_EQ(Form->windowTitle(), "Vellumcraft");
  // Checking one item of a group unchecks the others.
  Trigger("HighDef1");
  EXPECT_FALSE(Form->Checked("EndDef1"));
  Trigger("EndDef1");
  Form.reset();
  const std::string ini = vctest::ReadFileBytes(SettingsFile().toStdString());
  EXPECT_NE(ini.find("[DrawMode]"), std::string::npos);
  EXPECT_NE(ini.find("FastDraw=1"), std::string::npos);
  EXPECT_NE(ini.find("ShadeDraw=1"), std::string::npos);
  EXPECT_EQ(ini.find("UndoLimit"), std::string::npos);  // never written back
}

TEST_F(FormTest, SettingsSevenAndZeroPickNoShadesAndAlwaysFast) {
  Form.reset();
  vctest::WriteFileBytes(SettingsFile().toStdString(),
                         "[Application]\nUndoLimit=6\n[DrawMode]\nFastDraw=0\nShadeDraw=7\n");
  Make();
  Form->LoadSettings();
  EXPECT_EQ(Form->UndoLimit(), 6);
  Form->show();
  EXPECT_TRUE(Form->Checked("NoneDef1"));
  EXPECT_TRUE(Form->Checked("AlwaysFact1"));
  EXPECT_FALSE(Form->Checked("EndDef1"));
  EXPECT_FALSE(Form->Checked("SaveFact"));
  // Read once only: showing again keeps the user's later choice.
  Trigger("AlwaysSlow");
  Form->hide();
  Form->show();
  EXPECT_TRUE(Form->Checked("AlwaysSlow"));
  Form.reset();
  const std::string ini = vctest::ReadFileBytes(SettingsFile().toStdString());
  EXPECT_NE(ini.find("FastDraw=2"), std::string::npos);
  EXPECT_NE(ini.find("ShadeDraw=0"), std::string::npos);
}

TEST_F(FormTest, EnablingRulesBeforeAndAfterNew) {
  Form->UpdateActions();
  for (const char* name : {"Save1", "SaveAS1", "Output1", "Print1", "AddLayer1", "Option1",
                           "RecordLayerSet1", "Undo1", "Redo1", "DeleteLayer1"})
    EXPECT_FALSE(Form->Action(name)->isEnabled()) << name;
  for (const char* name : {"New1", "Open1", "Pen1", "Wall1", "Pencil1", "DoorColorChange1"})
    EXPECT_TRUE(Form->Action(name)->isEnabled()) << name;
  // Choosing wall mode before any map only changes the mode.
  Trigger("Wall1");
  EXPECT_TRUE(Form->Checked("Wall1"));
  EXPECT_EQ(Form->Document(), nullptr);
  Trigger("Pen1");

  NewMap(10, 8, 32, 0);
  Form->UpdateActions();
  for (const char* name : {"Save1", "SaveAS1", "AddLayer1"})
    EXPECT_TRUE(Form->Action(name)->isEnabled()) << name;
  for (const char* name : {"Option1", "RecordLayerSet1", "Undo1", "Redo1", "DeleteLayer1"})
    EXPECT_FALSE(Form->Action(name)->isEnabled()) << name;
  EXPECT_EQ(Form->StatusText(0), "0 Layers");
  EXPECT_EQ(Form->StatusText(1), "pxs:32px");
  EXPECT_EQ(Form->StatusText(2), "Tiles:10x8");
  EXPECT_EQ(Form->CanvasWidth(), 320);
  EXPECT_EQ(Form->CanvasHeight(), 256);

  NewMap(10, 8, 32, 2);
  Form->UpdateActions();
  EXPECT_TRUE(Form->Action("DeleteLayer1")->isEnabled());
  EXPECT_EQ(Form->StatusText(0), "2 Layers");
  EXPECT_EQ(Form->LayerList()->currentRow(), 1);
}

TEST_F(FormTest, UndoAndRedoFollowAnEdit) {
  NewMap(10, 8, 32, 1);
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("Undo1")->isEnabled());
  EXPECT_EQ(LayerAt(40, 40), 0);
  Click(40, 40);
  EXPECT_EQ(LayerAt(40, 40), 1);
  EXPECT_EQ(LayerAt(63, 63), 1);  // the whole cell (1, 1)
  EXPECT_EQ(LayerAt(64, 63), 0);
  Form->UpdateActions();
  EXPECT_TRUE(Form->Action("Undo1")->isEnabled());
  EXPECT_FALSE(Form->Action("Redo1")->isEnabled());
  Trigger("Undo1");
  EXPECT_EQ(LayerAt(40, 40), 0);
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("Undo1")->isEnabled());
  EXPECT_TRUE(Form->Action("Redo1")->isEnabled());
  Trigger("Redo1");
  EXPECT_EQ(LayerAt(40, 40), 1);
  EXPECT_EQ(Form->UndoIndex(), 0);
}

TEST_F(FormTest, ChipRectangleDraggedUpAndLeft) {
  NewMap(10, 8, 32, 1);
  Trigger("Rect1");
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 5 * 32 + 3, 5 * 32 + 3);
  EXPECT_EQ(Form->BandStart(), (TPoint{5, 5}));
  Form->PaintBox321MouseMove(true, 2 * 32 + 7, 7 * 32 + 9);
  EXPECT_EQ(Form->BandEnd(), (TPoint{2, 7}));
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 2 * 32 + 7, 7 * 32 + 9);
  for (int32_t cy = 0; cy < 8; ++cy)
    for (int32_t cx = 0; cx < 10; ++cx) {
      const bool inside = cx >= 2 && cx <= 5 && cy >= 5 && cy <= 7;
      EXPECT_EQ(LayerAt(cx * 32 + 16, cy * 32 + 16), inside ? 1 : 0) << cx << "," << cy;
    }
  EXPECT_EQ(Form->BandStart(), (TPoint{-1, -1}));
  EXPECT_EQ(Form->UndoIndex(), 0);

  // A right click during the drag cancels it without editing.
  Trigger("Ellipse1");
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 16, 16);
  Form->PaintBox321MouseMove(true, 100, 100);
  Form->PaintBox321MouseDown(TMouseButton::Right, true, 100, 100);
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 100, 100);
  EXPECT_EQ(LayerAt(16, 16), 0);
  EXPECT_EQ(Form->UndoIndex(), 0);
}

TEST_F(FormTest, RightClickPicksTheLayerUnderThePointer) {
  NewMap(10, 8, 32, 3);
  Form->LayerList()->setCurrentRow(2);  // document layer 3
  Click(100, 100);
  ASSERT_EQ(LayerAt(100, 100), 3);
  Form->LayerList()->setCurrentRow(0);
  Trigger("Wall1");
  Form->PaintBox321MouseDown(TMouseButton::Right, false, 100, 100);
  EXPECT_EQ(Form->LayerList()->currentRow(), 2);
  EXPECT_TRUE(Form->Checked("Pen1"));
  EXPECT_EQ(Form->CurrentLayer(), 3);
  Form->PaintBox321MouseDown(TMouseButton::Right, false, 10, 10);  // no floor here
  EXPECT_TRUE(Form->Checked("Wall1"));
  EXPECT_EQ(Form->CurrentLayer(), 0);
  EXPECT_EQ(Form->LayerList()->currentRow(), 2);
}

TEST_F(FormTest, FreeDoorDragAddsAndClickDeletes) {
  NewMap(10, 8, 32, 1);
  Trigger("FreeHand1");
  Trigger("Door1");
  TMapEditCustomDoorList& doors = Form->Document()->Doors().FreeDoor();
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 40, 40);
  Form->PaintBox321MouseMove(true, 120, 40);
  EXPECT_EQ(Form->BandEnd(), (TPoint{120, 40}));
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 120, 40);
  ASSERT_EQ(doors.Count(), 1);
  EXPECT_EQ(Form->UndoIndex(), 0);
  EXPECT_EQ(Form->BandStart(), (TPoint{-1, -1}));
  // A click away from every door adds nothing and records nothing.
  Click(200, 200);
  EXPECT_EQ(doors.Count(), 1);
  EXPECT_EQ(Form->UndoIndex(), 0);
  // A release on the start point deletes the door under it instead of adding.
  Click(80, 40);
  EXPECT_EQ(doors.Count(), 0);
  EXPECT_EQ(Form->UndoIndex(), 1);
  Trigger("Undo1");
  EXPECT_EQ(doors.Count(), 1);
}

TEST_F(FormTest, DoorClickInChipModeTogglesTheEdge) {
  NewMap(10, 8, 32, 1);
  Trigger("Door1");
  Form->PaintBox321MouseMove(false, 40, 33);  // hover preview over a horizontal edge
  EXPECT_EQ(Form->BandStart(), (TPoint{32, 30}));
  EXPECT_EQ(Form->BandEnd(), (TPoint{64, 34}));
  Form->PaintBox321MouseMove(false, 48, 48);
  EXPECT_EQ(Form->BandStart(), (TPoint{-1, -1}));
  Click(48, 48);  // no edge: no record
  EXPECT_FALSE(Form->UndoList().CanUndo());
  Click(40, 33);
  EXPECT_TRUE(Form->Document()->Doors().HasDoors());
  EXPECT_EQ(Form->UndoIndex(), 0);
  Trigger("Undo1");
  EXPECT_FALSE(Form->Document()->Doors().HasDoors());
}

TEST_F(FormTest, MouseUpWithoutLayersAsksForOne) {
  NewMap(10, 8, 32, 0);
  Dialogs->YesNoAnswer = false;
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 40, 40);
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 40, 40);
  ASSERT_EQ(Dialogs->Asked.size(), 1);
  EXPECT_EQ(Dialogs->Asked[0],
            "レイヤーなしではマップは編集できません。今からレイヤーを作りますか？");
  EXPECT_EQ(Dialogs->LayerDialogs, 0);
  Form->PaintBox321MouseUp(TMouseButton::Right, false, 40, 40);
  EXPECT_EQ(Dialogs->Asked.size(), 2);
  Dialogs->YesNoAnswer = true;
  Dialogs->Layer.LayerName = "Stone";
  Dialogs->Layer.FileName = "255";
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 40, 40);
  EXPECT_EQ(Dialogs->LayerDialogs, 1);
  ASSERT_EQ(Form->LayerList()->count(), 1);
  EXPECT_EQ(Form->LayerList()->item(0)->text(), "Stone");
  EXPECT_EQ(Form->Document()->Count(), 2);
  EXPECT_EQ(LayerAt(40, 40), 0);  // the question painted nothing
}

TEST_F(FormTest, FiveStrokesWithLimitFour) {
  NewMap(10, 8, 32, 1);
  Form->SetUndoLimit(4);
  for (int i = 0; i < 5; ++i) Click(16 + 32 * i, 16);
  EXPECT_EQ(Form->UndoList().UndoList().Count(), 4);
  EXPECT_EQ(Form->UndoIndex(), 3);
  Trigger("Undo1");
  EXPECT_EQ(Form->UndoIndex(), 2);
  EXPECT_EQ(LayerAt(16 + 32 * 4, 16), 0);
  Click(16, 200);
  EXPECT_EQ(Form->UndoList().UndoList().Count(), 4);
  EXPECT_EQ(Form->UndoIndex(), 3);
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("Redo1")->isEnabled());
  // Four undos go back to the second stroke; the first cannot be undone.
  for (int i = 0; i < 4; ++i) Trigger("Undo1");
  EXPECT_EQ(LayerAt(16, 16), 1);
  EXPECT_EQ(LayerAt(48, 16), 0);
}

TEST_F(FormTest, GridLinesAndBandFrameInThePaintBuffer) {
  NewMap(1, 1, 32, 1);
  TBitmap32 one;
  TRect all{0, 0, 1000, 1000};
  ASSERT_TRUE(Form->PaintBox321PaintBuffer(one, all));
  EXPECT_EQ(all, (TRect{0, 0, 32, 32}));
  for (int32_t i = 0; i < 32; ++i) {
    EXPECT_NE(one.Pixel(31, i), kGrid);
    EXPECT_NE(one.Pixel(i, 31), kGrid);
  }

  NewMap(20, 15, 32, 1);
  TBitmap32 full;
  TRect r{0, 0, 640, 480};
  ASSERT_TRUE(Form->PaintBox321PaintBuffer(full, r));
  int vertical = 0, horizontal = 0;
  for (int32_t x = 0; x < 640; ++x) vertical += full.Pixel(x, 5) == kGrid;
  for (int32_t y = 0; y < 480; ++y) horizontal += full.Pixel(5, y) == kGrid;
  EXPECT_EQ(vertical, 19);
  EXPECT_EQ(horizontal, 14);
  EXPECT_EQ(full.Pixel(31, 479), kGrid);
  EXPECT_EQ(full.Pixel(607, 0), kGrid);
  EXPECT_EQ(full.Pixel(639, 200), full.Pixel(638, 200));  // no line on the border
  EXPECT_EQ(full.Pixel(200, 447), kGrid);

  // Chip rectangle band over cell (2, 3).
  Trigger("Rect1");
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 70, 100);
  TBitmap32 band;
  TRect br{0, 0, 640, 480};
  ASSERT_TRUE(Form->PaintBox321PaintBuffer(band, br));
  EXPECT_EQ(band.Pixel(64, 96), 0xFFFFFFFFu);
  EXPECT_EQ(band.Pixel(94, 96), 0xFFFFFFFFu);
  EXPECT_EQ(band.Pixel(64, 126), 0xFF000000u);
  EXPECT_EQ(band.Pixel(94, 126), 0xFF000000u);
  EXPECT_EQ(band.Pixel(95, 110), kGrid);
  EXPECT_EQ(band.Pixel(80, 110), full.Pixel(80, 110));
  EXPECT_EQ(band.Pixel(80, 125), BlendPixel(0x7F000000, full.Pixel(80, 125)));

  // An exposed part composes the same pixels as the whole canvas.
  TBitmap32 part;
  TRect pr{50, 70, 333, 215};
  ASSERT_TRUE(Form->PaintBox321PaintBuffer(part, pr));
  ASSERT_EQ(part.Width(), 283);
  ASSERT_EQ(part.Height(), 145);
  for (int32_t y = 0; y < part.Height(); ++y)
    for (int32_t x = 0; x < part.Width(); ++x)
      ASSERT_EQ(part.Pixel(x, y), band.Pixel(x + 50, y + 70)) << x << "," << y;
  TRect outside{700, 0, 800, 10};
  EXPECT_FALSE(Form->PaintBox321PaintBuffer(part, outside));
}

void SendMouse(QWidget* W, QEvent::Type Type, QPointF Pos, Qt::MouseButton Button,
               Qt::MouseButtons Held) {
  QMouseEvent e(Type, Pos, W->mapToGlobal(Pos), Button, Held, Qt::NoModifier);
  QApplication::sendEvent(W, &e);
}

TEST_F(FormTest, CanvasAtDoubleSizeHitsTheSameCells) {
  NewMap(10, 8, 32, 1);
  Form->SetZoomPercent(200);
  QWidget* canvas = Form->Canvas();
  EXPECT_EQ(canvas->width(), 640);
  // View (2*100+1, 2*70+1) is map pixel (100, 70): cell (3, 2).
  const QPointF p(201.0, 141.0);
  SendMouse(canvas, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
  SendMouse(canvas, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(LayerAt(100, 70), 1);
  EXPECT_EQ(LayerAt(96, 64), 1);
  EXPECT_EQ(LayerAt(127, 95), 1);
  EXPECT_EQ(LayerAt(128, 70), 0);
  EXPECT_EQ(LayerAt(95, 70), 0);
  // A door edge hit at 200 % is the edge hit at 100 %.
  Trigger("Door1");
  const QPointF d(80.0, 66.0);  // map (40, 33)
  SendMouse(canvas, QEvent::MouseMove, d, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(Form->BandStart(), (TPoint{32, 30}));
  Form->SetZoomPercent(100);
  EXPECT_EQ(canvas->width(), 320);
}

TEST_F(FormTest, ModifiedFlagAndDiscardQuestion) {
  NewMap(10, 8, 32, 0);
  EXPECT_FALSE(Form->Modified());
  EXPECT_EQ(Form->windowTitle(), "Vellumcraft");
  Dialogs->Layer.FileName = "255";
  Form->AddLayer1Execute();  // a layer change is a change
  EXPECT_TRUE(Form->Modified());
  EXPECT_EQ(Form->windowTitle(), "Vellumcraft *");
  ASSERT_TRUE(Form->SaveMap(QString::fromStdString(Dir.File("a.qmx"))));
  EXPECT_FALSE(Form->Modified());
  EXPECT_EQ(Form->windowTitle(), "Vellumcraft - a.qmx");
  Click(40, 40);
  EXPECT_TRUE(Form->Modified());
  EXPECT_EQ(Form->windowTitle(), "Vellumcraft - a.qmx *");

  Dialogs->Discard = TDiscardAnswer::Cancel;
  Form->New1Execute();
  EXPECT_EQ(Dialogs->Asked.size(), 1);
  EXPECT_EQ(LayerAt(40, 40), 1);  // still the painted map
  EXPECT_TRUE(Form->Modified());

  Dialogs->Discard = TDiscardAnswer::Save;  // saves to the opened file
  EXPECT_TRUE(Form->ConfirmDiscard());
  EXPECT_EQ(Dialogs->Asked.size(), 2);
  EXPECT_FALSE(Form->Modified());
  EXPECT_TRUE(Form->ConfirmDiscard());  // nothing to lose: no question
  EXPECT_EQ(Dialogs->Asked.size(), 2);

  Trigger("Undo1");
  EXPECT_TRUE(Form->Modified());
  Dialogs->Discard = TDiscardAnswer::Discard;
  Form->New1Execute();
  EXPECT_EQ(Dialogs->Asked.size(), 3);
  EXPECT_FALSE(Form->Modified());
  EXPECT_EQ(LayerAt(40, 40), 0);
  EXPECT_TRUE(Form->MapFileName().isEmpty());
  EXPECT_EQ(Form->windowTitle(), "Vellumcraft");
}

TEST_F(FormTest, InsertingAndDeletingLayersKeepsEveryPixelsTexture) {
  NewMap(10, 8, 32, 3);
  auto nameAt = [this](int32_t X, int32_t Y) {
    return Form->Document()->Layers(LayerAt(X, Y))->LayerName;
  };
  for (int row = 0; row < 3; ++row) {
    Form->LayerList()->setCurrentRow(row);
    Click(16 + 32 * row, 16);
  }
  ASSERT_EQ(nameAt(16, 16), "Layer 1");
  ASSERT_EQ(nameAt(48, 16), "Layer 2");
  ASSERT_EQ(nameAt(80, 16), "Layer 3");

  // Inserted before list item 0: it becomes document layer 1, the last item is
  // selected, and every painted pixel still shows its layer.
  Dialogs->Layer.LayerName = "Inserted";
  Dialogs->Layer.FileName = "255";
  Dialogs->Layer.AdditionIndex = 0;
  Form->AddLayer1Execute();
  ASSERT_EQ(Form->Document()->Count(), 5);
  EXPECT_EQ(Form->Document()->Layers(1)->LayerName, "Inserted");
  EXPECT_EQ(Form->LayerList()->item(0)->text(), "Inserted");
  EXPECT_EQ(Form->LayerList()->currentRow(), 3);
  EXPECT_EQ(nameAt(16, 16), "Layer 1");
  EXPECT_EQ(nameAt(80, 16), "Layer 3");

  // Undo of the last stroke brings back the pixels as they were, by texture.
  Trigger("Undo1");
  EXPECT_EQ(nameAt(80, 16), "壁");
  EXPECT_EQ(nameAt(48, 16), "Layer 2");
  Trigger("Redo1");
  EXPECT_EQ(nameAt(80, 16), "Layer 3");

  // Deleting "Layer 2" (list item 2): the layers below keep their pixels, its
  // own pixels take the layer now in its place.
  Form->LayerList()->setCurrentRow(2);
  Dialogs->OkCancelAnswer = false;
  Form->DeleteLayer1Execute();
  EXPECT_EQ(Form->Document()->Count(), 5);
  Dialogs->OkCancelAnswer = true;
  Form->DeleteLayer1Execute();
  EXPECT_EQ(Dialogs->Asked.last(), "本当にレイヤーを削除しますか？");
  ASSERT_EQ(Form->Document()->Count(), 4);
  EXPECT_EQ(Form->LayerList()->count(), 3);
  EXPECT_EQ(Form->LayerList()->currentRow(), 1);
  EXPECT_EQ(nameAt(16, 16), "Layer 1");
  EXPECT_EQ(nameAt(48, 16), "Layer 3");
  EXPECT_EQ(nameAt(80, 16), "Layer 3");
  for (int32_t y = 0; y < Form->CanvasHeight(); y += 7)
    for (int32_t x = 0; x < Form->CanvasWidth(); x += 7) ASSERT_LT(LayerAt(x, y), 4);
  // Undo records were renumbered alike.
  Trigger("Undo1");
  EXPECT_EQ(nameAt(80, 16), "壁");
  EXPECT_EQ(nameAt(16, 16), "Layer 1");
}

TEST_F(FormTest, DoorSwatchColourAndItsReset) {
  auto* swatch = Form->findChild<TColorSwatch*>("DoorSwatch");
  ASSERT_NE(swatch, nullptr);
  EXPECT_EQ(swatch->Color(), 0x00FFFFFF);  // white at start
  EXPECT_EQ(Form->DoorColor(), 0x00FFFFFF);
  Dialogs->Color = QColor(0x12, 0x34, 0x56);
  Trigger("DoorColorChange1");
  EXPECT_EQ(swatch->Color(), 0x00563412);  // platform order 0x00BBGGRR
  Dialogs->ColorOk = false;
  Trigger("DoorColorChange1");
  EXPECT_EQ(swatch->Color(), 0x00563412);
  // Right button released over the swatch: the default door colour, passed on
  // to the map as "none".
  QMouseEvent up(QEvent::MouseButtonRelease, QPointF(3, 3), swatch->mapToGlobal(QPointF(3, 3)),
                 Qt::RightButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(swatch, &up);
  EXPECT_EQ(swatch->Color(), clBtnFace);
  EXPECT_EQ(Form->DoorColor(), clNone);
}

TEST(PenSizeGlyph, CirclesGrowInsideTheirBoxes) {
  for (int i = 0; i < 4; ++i) {
    const QImage g = TMapEdit2Form::PenSizeGlyph(i);
    ASSERT_EQ(g.size(), QSize(20, 20));
    const int lo = 7 - 2 * i, hi = 11 + 2 * i;
    int black = 0, minX = 99, maxX = -1;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const QRgb c = g.pixel(x, y) & 0xFFFFFF;
        if (c == 0xFFFFFF) continue;
        EXPECT_EQ(c, 0u) << i << ": " << x << "," << y;  // outline black, fill white
        EXPECT_TRUE(x >= lo && x < hi && y >= lo && y < hi) << i << ": " << x << "," << y;
        ++black;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
      }
    EXPECT_EQ(minX, lo) << i;
    EXPECT_EQ(maxX, hi - 1) << i;
    if (i > 0) {
      EXPECT_EQ(g.pixel(10, 10) & 0xFFFFFF, 0xFFFFFFu);
    }
    EXPECT_GT(black, 4 * i);
  }
}

TEST_F(FormTest, FailedOpenKeepsTheOpenMap) {
  NewMap(10, 8, 32, 2);
  Click(40, 40);
  const std::string bad = Dir.File("bad.qmx");
  vctest::WriteFileBytes(bad, "not a map at all");
  Dialogs->Discard = TDiscardAnswer::Discard;
  EXPECT_FALSE(Form->OpenMap(QString::fromStdString(bad)));
  ASSERT_EQ(Dialogs->Errors.size(), 1);
  EXPECT_FALSE(Dialogs->Errors[0].isEmpty());
  EXPECT_EQ(LayerAt(40, 40), 2);
  EXPECT_EQ(Form->LayerList()->count(), 2);
  EXPECT_EQ(Form->Document()->Count(), 3);
  EXPECT_TRUE(Form->Modified());
  EXPECT_TRUE(Form->UndoList().CanUndo());
}

TEST_F(FormTest, SaveAndOpenRoundTrip) {
  NewMap(6, 5, 16, 2);
  Form->LayerList()->setCurrentRow(0);
  Click(20, 20);
  const QString name = QString::fromStdString(Dir.File("round.qmx"));
  Dialogs->SaveName = name;
  Trigger("Save1");  // no file yet: asks for a name
  EXPECT_EQ(Form->MapFileName(), name);
  EXPECT_FALSE(Form->Modified());
  Make();
  ASSERT_TRUE(Form->OpenMap(name)) << Dialogs->Errors.join("\n").toStdString();
  EXPECT_EQ(Form->LayerList()->count(), 2);
  EXPECT_EQ(Form->LayerList()->currentRow(), 0);
  EXPECT_EQ(Form->StatusText(2), "Tiles:6x5");
  EXPECT_EQ(Form->CanvasWidth(), 96);
  EXPECT_EQ(LayerAt(20, 20), 1);
  EXPECT_FALSE(Form->Modified());
}

}  // namespace

namespace {

TEST_F(FormTest, NewWithAndWithoutALayerSet) {
  // Without a set: the wall layer only, opaque black everywhere.
  Dialogs->Size = {4, 3, 8, {}};
  Form->New1Execute();
  EXPECT_EQ(Form->LayerList()->count(), 0);
  EXPECT_EQ(Form->StatusText(0), "0 Layers");
  EXPECT_EQ(Form->LayerList()->currentRow(), -1);
  EXPECT_EQ(Form->Document()->Count(), 1);
  EXPECT_EQ(Form->Document()->Layers(0)->LayerName, "壁");

  // A set of three layers, in file order, item 0 selected.
  const std::string tex = std::string(VC_SOURCE_DIR) + "/Layersets/textures/";
  const std::string set = Dir.File("three.txt");
  vctest::WriteFileBytes(set, "Stone\r\n" + tex + "stone.png\r\nWood\r\n" + tex +
                                  "wood.png\r\nDirt\r\n" + tex + "dirt.png\r\n");
  Dialogs->Size = {5, 4, 16, QString::fromStdString(set)};
  Form->New1Execute();
  ASSERT_EQ(Form->LayerList()->count(), 3);
  EXPECT_EQ(Form->LayerList()->item(0)->text(), "Stone");
  EXPECT_EQ(Form->LayerList()->item(2)->text(), "Dirt");
  EXPECT_EQ(Form->LayerList()->currentRow(), 0);
  EXPECT_EQ(Form->StatusText(0), "3 Layers");
  EXPECT_EQ(Form->Document()->Layers(2)->FileName(), tex + "wood.png");
  EXPECT_TRUE(Form->MapFileName().isEmpty());

  // A set file that cannot be read is an error that keeps the open map.
  Dialogs->Size = {2, 2, 16, QString::fromStdString(Dir.File("missing.txt"))};
  Form->New1Execute();
  EXPECT_EQ(Dialogs->Errors.size(), 1);
  EXPECT_EQ(Form->LayerList()->count(), 3);
  EXPECT_EQ(Form->CanvasWidth(), 80);
}

TEST_F(FormTest, EditingALayerKeepsItsTypeAndDeletingTheLastLeavesNoneSelected) {
  NewMap(4, 4, 16, 1);
  Form->Document()->Layers(1)->LayerType = TMapEditLayerType(2);
  Form->LayerList()->setCurrentRow(0);
  Dialogs->Layer.LayerName = "Renamed";
  Dialogs->Layer.FileName = "16711680";
  Dialogs->Layer.LayerType = 0;
  Form->ListBox1DblClick();
  // The dialog opened with the layer's own values and without the place group.
  EXPECT_FALSE(Dialogs->LastLayerRequest.ShowAdditions);
  EXPECT_EQ(Dialogs->LastLayerRequest.LayerName, "Layer 1");
  EXPECT_EQ(Dialogs->LastLayerRequest.FileName, QString::number(0x203040));
  EXPECT_EQ(Dialogs->LastLayerRequest.LayerType, 2);  // the dialog shows the layer's type
  EXPECT_EQ(Form->Document()->Layers(1)->LayerName, "Renamed");
  EXPECT_EQ(Form->Document()->Layers(1)->FileName(), "16711680");
  EXPECT_EQ(int(Form->Document()->Layers(1)->LayerType), 2);
  EXPECT_EQ(Form->LayerList()->item(0)->text(), "Renamed");
  EXPECT_EQ(Form->Document()->Count(), 2);

  // Cancel changes nothing.
  Dialogs->LayerOk = false;
  Dialogs->Layer.LayerName = "Other";
  Form->ListBox1DblClick();
  EXPECT_EQ(Form->LayerList()->item(0)->text(), "Renamed");

  Form->DeleteLayer1Execute();
  EXPECT_EQ(Form->LayerList()->count(), 0);
  EXPECT_EQ(Form->LayerList()->currentRow(), -1);
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("DeleteLayer1")->isEnabled());
}

TEST_F(FormTest, SaveAfterOpenWritesTheOpenedFile) {
  NewMap(3, 3, 16, 1);
  const QString name = QString::fromStdString(Dir.File("opened.qmx"));
  ASSERT_TRUE(Form->SaveMap(name));
  Make();
  ASSERT_TRUE(Form->OpenMap(name));
  Form->LayerList()->setCurrentRow(0);
  Click(8, 8);
  Dialogs->SaveName.clear();  // a save dialog would cancel
  Trigger("Save1");
  EXPECT_FALSE(Form->Modified());
  Make();
  ASSERT_TRUE(Form->OpenMap(name));
  EXPECT_EQ(LayerAt(8, 8), 1);
}

TEST_F(FormTest, DeletingTheFirstOfThreeAndSavingANewMap) {
  NewMap(10, 8, 32, 3);
  auto nameAt = [this](int32_t X, int32_t Y) {
    return Form->Document()->Layers(LayerAt(X, Y))->LayerName;
  };
  Form->LayerList()->setCurrentRow(0);
  Click(16, 16);
  Form->LayerList()->setCurrentRow(2);
  Click(48, 16);
  Form->LayerList()->setCurrentRow(0);
  Form->DeleteLayer1Execute();
  ASSERT_EQ(Form->Document()->Count(), 3);
  EXPECT_EQ(Form->LayerList()->count(), 2);
  EXPECT_EQ(Form->LayerList()->item(0)->text(), "Layer 2");
  EXPECT_EQ(Form->LayerList()->currentRow(), 0);
  EXPECT_EQ(Form->StatusText(0), "2 Layers");
  // The deleted layer's pixels went to the layer now first; the others kept theirs.
  EXPECT_EQ(nameAt(16, 16), "Layer 2");
  EXPECT_EQ(nameAt(48, 16), "Layer 3");

  // A new map has no file yet: Save asks for one, a cancel writes nothing.
  Dialogs->SaveName.clear();
  Trigger("Save1");
  EXPECT_TRUE(Form->MapFileName().isEmpty());
  EXPECT_TRUE(Form->Modified());
  const QString name = QString::fromStdString(Dir.File("new.qmx"));
  Dialogs->SaveName = name;
  Trigger("Save1");
  EXPECT_EQ(Form->MapFileName(), name);
  EXPECT_FALSE(Form->Modified());
  Make();
  ASSERT_TRUE(Form->OpenMap(name));
  ASSERT_EQ(Form->LayerList()->count(), 2);
  EXPECT_EQ(Form->LayerList()->item(1)->text(), "Layer 3");
  EXPECT_EQ(nameAt(48, 16), "Layer 3");
}

}  // namespace
