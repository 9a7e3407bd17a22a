// The window as a person meets it: glyphs and tooltips, the status bar, the
// title from the language file, recent files, dropped files, layers hidden in
// the view, and the help boxes.

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <memory>

#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_layer_list.h"
#include "support/test_support.h"

#ifndef VC_SOURCE_DIR
#error "VC_SOURCE_DIR must name the source folder"
#endif

namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Make(); }
  void TearDown() override { QGuiApplication::setApplicationDisplayName("Vellumcraft"); }

  void Make() {
    Form.reset();
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(std::move(dialogs),
                                           std::make_unique<TEditorSettings>(SettingsFile()));
    Form->SetLanguageFolders({Dir.Path() / "Langs"});
  }
  QString SettingsFile() const { return QString::fromStdString(Dir.File("vellumcraft.ini")); }
  QString File(const std::string& Name) const { return QString::fromStdString(Dir.File(Name)); }
  QString ShippedLanguage(const char* Name) const {
    return QString::fromStdString(std::string(VC_SOURCE_DIR) + "/Langs/" + Name);
  }

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
  // A saved map file of its own.
  QString SavedMap(const std::string& Name) {
    NewMap(3, 2, 16, 1);
    const QString path = File(Name);
    EXPECT_TRUE(Form->SaveMap(path));
    return path;
  }
  // The composed view pixel at map pixel (X, Y).
  TColor32 ViewPixel(int32_t X, int32_t Y) {
    TBitmap32 buffer;
    TRect rect{X, Y, X + 1, Y + 1};
    EXPECT_TRUE(Form->PaintBox321PaintBuffer(buffer, rect));
    return buffer.Pixel(0, 0);
  }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

TEST_F(WindowTest, ToolbarShowsEveryCommandWithGlyphAndShortcutTooltip) {
  auto* bar = Form->findChild<QToolBar*>("ToolBar1");
  ASSERT_NE(bar, nullptr);
  int commands = 0;
  for (QAction* a : bar->actions()) {
    if (a->isSeparator()) continue;
    ++commands;
    SCOPED_TRACE(a->objectName().toStdString());
    EXPECT_FALSE(a->icon().isNull());
    // The glyph is drawn from its SVG at any size.
    EXPECT_FALSE(a->icon().pixmap(48, 48).isNull());
    if (!a->shortcut().isEmpty()) {
      EXPECT_TRUE(a->toolTip().contains("(" + a->shortcut().toString(QKeySequence::NativeText)));
    }
  }
  EXPECT_EQ(commands, 23);
  EXPECT_EQ(Form->Action("Pencil1")->toolTip(), "鉛筆 (P)");
  EXPECT_EQ(Form->Action("SaveAS1")->toolTip(), "名前を付けて保存");
  for (const char* name :
       {"Pen1", "Wall1", "Chip1", "FreeHand1", "Rect1", "Ellipse1", "Fill1", "Door1",
        "ObjectSelect1", "Label1", "RoomNumber1", "Light1", "Window1", "Prop1"})
    EXPECT_EQ(Form->Action(name)->shortcut().count(), 1) << name;
  // At the first-start size for a 1280 x 800 screen nothing hides behind the
  // toolbar's overflow button.
  Form->resize(1100, 760);
  Form->show();
  QApplication::processEvents();
  auto* more = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
  ASSERT_NE(more, nullptr);
  EXPECT_FALSE(more->isVisible());
  // A language file renames a command; its tooltip follows with the shortcut.
  Form->ApplyLanguageFile(ShippedLanguage("English.ini"));
  EXPECT_EQ(Form->Action("Pencil1")->toolTip(), "Pencil (P)");
  EXPECT_EQ(Form->Action("Redo1")->toolTip(), "Redo (Ctrl+Shift+Z, Ctrl+Y)");
  EXPECT_EQ(Form->Action("SaveAS1")->toolTip(), "Save As");
  // Side-panel extras have tooltips of their own.
  EXPECT_EQ(Form->findChild<QToolButton*>("PenSize3")->toolTip(), "Free-hand pen width: 12 px (3)");
  EXPECT_FALSE(Form->findChild<QWidget*>("DoorSwatch")->toolTip().isEmpty());
}

TEST_F(WindowTest, StatusBarKeepsItsPanelsAndShowsPointerAndZoom) {
  NewMap(10, 8, 32, 2);
  const QString panels[4] = {Form->StatusText(0), Form->StatusText(1), Form->StatusText(2),
                             Form->StatusText(3)};
  EXPECT_EQ(panels[0], "2 Layers");
  // A status tip (hovering Undo) shows beside the panels, not over them.
  QStatusTipEvent tip("1手元に戻します。");
  QApplication::sendEvent(Form.get(), &tip);
  EXPECT_EQ(Form->findChild<QLabel*>("StatusTip")->text(), "1手元に戻します。");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Form->StatusText(i), panels[i]) << i;

  Form->ShowPointer(37, 9);
  EXPECT_EQ(Form->StatusText(4), "マス 1, 0 / 37, 9 px");
  Form->ShowPointer(320, 9);  // off the map
  EXPECT_TRUE(Form->StatusText(4).isEmpty());
  Form->SetZoomPercent(200);
  EXPECT_EQ(Form->StatusText(5), "200%");

  // The shipped files translate the status texts.
  Form->ApplyLanguageFile(ShippedLanguage("English.ini"));
  Form->ShowPointer(37, 9);
  EXPECT_EQ(Form->StatusText(4), "Cell 1, 0 / 37, 9 px");
  EXPECT_EQ(Form->StatusText(0), "2 Layers");
  Form->ApplyLanguageFile(ShippedLanguage("Japanese.ini"));
  EXPECT_EQ(Form->StatusText(0), "2 レイヤー");
  EXPECT_EQ(Form->StatusText(1), "32px/マス");
  EXPECT_EQ(Form->StatusText(2), "10×8 マス");
}

TEST_F(WindowTest, TitleQuestionsAndLanguageMenuFollowTheLanguageFile) {
  std::filesystem::create_directories(Dir.Path() / "Langs");
  vctest::WriteFileBytes(Dir.File("Langs/a.ini"),
                         "[Title]\nLang=A\nExe=Kartograph\n[Prompts]\nSaveChanges=Keep it?\n");
  vctest::WriteFileBytes(Dir.File("Langs/b.ini"), "[Title]\nLang=B\n");
  Form->LoadSettings();
  QMenu* menu = Form->findChild<QMenu*>("LanguageMenu");
  ASSERT_EQ(menu->actions().size(), 2);
  for (QAction* a : menu->actions()) EXPECT_FALSE(a->isChecked());
  menu->actions().at(0)->trigger();
  // The application's title (message boxes) and the caption come from the file.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Kartograph");
  EXPECT_TRUE(Form->windowTitle().startsWith("Kartograph"));
  EXPECT_TRUE(menu->actions().at(0)->isChecked());
  EXPECT_FALSE(menu->actions().at(1)->isChecked());
  // The save-changes question is the file's.
  NewMap(3, 3, 16, 1);
  Dialogs->Discard = TDiscardAnswer::Cancel;
  EXPECT_FALSE(Form->ConfirmDiscard());
  EXPECT_EQ(Dialogs->Asked.last(), "Keep it?");
  menu->actions().at(1)->trigger();
  EXPECT_FALSE(menu->actions().at(0)->isChecked());
  EXPECT_TRUE(menu->actions().at(1)->isChecked());
  // The next start marks the language the settings file names.
  Make();
  Form->LoadSettings();
  EXPECT_TRUE(Form->findChild<QMenu*>("LanguageMenu")->actions().at(1)->isChecked());
}

TEST_F(WindowTest, RecentFilesKeepOrderGreyMissingOnesAndPersist) {
  Form->LoadSettings();
  const QString a = SavedMap("a.qmx");
  const QString b = SavedMap("b.qmx");
  const QString c = SavedMap("c.qmx");
  EXPECT_EQ(Form->RecentFiles().Items(), (QStringList{c, b, a}));
  // Opening a listed file moves it to the front, once.
  ASSERT_TRUE(Form->OpenMap(a));
  EXPECT_EQ(Form->RecentFiles().Items(), (QStringList{a, c, b}));
  // The menu lists them in that order; a file that went is greyed.
  std::filesystem::remove(c.toStdString());
  Form->RebuildRecentMenu();
  const QList<QAction*> items = Form->RecentMenu()->actions();
  ASSERT_GE(items.size(), 3);
  EXPECT_EQ(items.at(0)->data().toString(), a);
  EXPECT_EQ(items.at(1)->data().toString(), c);
  EXPECT_TRUE(items.at(0)->isEnabled());
  EXPECT_FALSE(items.at(1)->isEnabled());
  EXPECT_TRUE(items.at(2)->isEnabled());
  // Choosing an entry opens it.
  items.at(2)->trigger();
  EXPECT_EQ(Form->MapFileName(), b);
  EXPECT_EQ(Form->RecentFiles().Items().first(), b);

  // The list lives in the settings file and comes back at the next start.
  Make();
  Form->LoadSettings();
  EXPECT_EQ(Form->RecentFiles().Items(), (QStringList{b, a, c}));
  // It holds at most MaxCount files, dropping the oldest.
  for (int i = 0; i < TRecentFiles::MaxCount; ++i) SavedMap("m" + std::to_string(i) + ".qmx");
  EXPECT_EQ(Form->RecentFiles().Items().size(), TRecentFiles::MaxCount);
  EXPECT_FALSE(Form->RecentFiles().Items().contains(a));
  EXPECT_EQ(Form->RecentFiles().Items().first(), File("m7.qmx"));
  // Clearing empties it, in the file too.
  QAction* clear = Form->findChild<QAction*>("ClearRecent1");
  ASSERT_NE(clear, nullptr);
  clear->trigger();
  EXPECT_TRUE(Form->RecentFiles().Items().isEmpty());
  Make();
  Form->LoadSettings();
  EXPECT_TRUE(Form->RecentFiles().Items().isEmpty());
}

TEST_F(WindowTest, DroppedMapFileOpens) {
  const QString map = SavedMap("dropped.qmx");
  NewMap(5, 5, 16, 1);
  vctest::WriteFileBytes(Dir.File("notes.txt"), "not a map");
  const QList<QUrl> urls{QUrl("https://example.com/x.qmx"), QUrl::fromLocalFile(File("notes.txt")),
                         QUrl::fromLocalFile(map)};
  // Only a local map file is taken.
  QMimeData onlyText;
  onlyText.setUrls({QUrl::fromLocalFile(File("notes.txt"))});
  QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &onlyText, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Form.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent taken(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Form.get(), &taken);
  EXPECT_TRUE(taken.isAccepted());

  // Unsaved changes are asked about first; cancelling keeps the open map.
  Form->Session().SetModified(true);
  Dialogs->Discard = TDiscardAnswer::Cancel;
  EXPECT_FALSE(Form->OpenDroppedFiles(urls));
  EXPECT_EQ(Form->Document()->Width(), 5);
  Dialogs->Discard = TDiscardAnswer::Discard;
  EXPECT_TRUE(Form->OpenDroppedFiles(urls));
  EXPECT_EQ(Form->MapFileName(), map);
  EXPECT_EQ(Form->Document()->Width(), 3);
  EXPECT_FALSE(Form->OpenDroppedFiles({QUrl::fromLocalFile(File("notes.txt"))}));
}

TEST_F(WindowTest, HiddenLayerLeavesTheViewOnlyNeverTheFile) {
  NewMap(4, 3, 8, 2);
  // Fill the whole map with the first floor layer: no walls, so no shades.
  Form->LayerList()->setCurrentRow(0);
  Form->Action("Fill1")->trigger();
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 3, 3);
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 3, 3);
  ASSERT_EQ(Form->Document()->PixelLayers(20, 12), 1);
  // 0x203040 is blue 0x20, green 0x30, red 0x40.
  EXPECT_EQ(ViewPixel(20, 12), 0xFF403020u);
  const QString before = File("before.qmx");
  ASSERT_TRUE(Form->SaveMap(before));

  Form->SetLayerShown(0, false);
  EXPECT_FALSE(Form->LayerShown(0));
  EXPECT_TRUE(Form->LayerShown(1));
  // Nothing lies under the hidden layer here: the view shows no colour at all.
  EXPECT_EQ(ViewPixel(20, 12), 0x00000000u);
  // Hiding is not an edit: nothing to save, nothing to undo, the file the same.
  EXPECT_FALSE(Form->Modified());
  EXPECT_EQ(Form->Document()->PixelLayers(20, 12), 1);
  const QString after = File("after.qmx");
  ASSERT_TRUE(Form->SaveMap(after));
  EXPECT_EQ(vctest::ReadFileBytes(after.toStdString()),
            vctest::ReadFileBytes(before.toStdString()));
  // Ticking the box again shows it.
  Form->LayerList()->item(0)->setCheckState(Qt::Checked);
  EXPECT_EQ(ViewPixel(20, 12), 0xFF403020u);
}

TEST_F(WindowTest, MovingALayerRenumbersKeepsTheLookAndUndoes) {
  NewMap(4, 3, 8, 2);
  Form->LayerList()->setCurrentRow(0);
  Form->Action("Fill1")->trigger();
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 3, 3);
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 3, 3);
  ASSERT_EQ(Form->Document()->PixelLayers(20, 12), 1);
  ASSERT_EQ(ViewPixel(20, 12), 0xFF403020u);
  ASSERT_TRUE(Form->SaveMap(File("before-move.qmx")));
  ASSERT_FALSE(Form->Modified());
  // The second layer is hidden in the view; the box must travel with the layer.
  Form->SetLayerShown(1, false);
  const auto names = [this] {
    QStringList out;
    for (int i = 0; i < Form->LayerList()->count(); ++i) out << Form->LayerList()->item(i)->text();
    return out;
  };

  Form->LayerList()->setCurrentRow(0);
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("LayerUp1")->isEnabled());
  ASSERT_TRUE(Form->Action("LayerDown1")->isEnabled());
  Form->Action("LayerDown1")->trigger();
  EXPECT_EQ(names(), (QStringList{"Layer 2", "Layer 1"}));
  EXPECT_EQ(Form->LayerList()->currentRow(), 1);
  EXPECT_FALSE(Form->LayerShown(0));
  EXPECT_TRUE(Form->LayerShown(1));
  // The floor's pixels follow their layer to its new number: same colour on screen.
  EXPECT_EQ(Form->Document()->PixelLayers(20, 12), 2);
  EXPECT_EQ(ViewPixel(20, 12), 0xFF403020u);
  EXPECT_TRUE(Form->Modified());
  // The last row cannot go further down.
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("LayerDown1")->isEnabled());
  EXPECT_TRUE(Form->Action("LayerUp1")->isEnabled());

  Form->ApplyUndo(Form->Action("Undo1"));
  EXPECT_EQ(names(), (QStringList{"Layer 1", "Layer 2"}));
  EXPECT_EQ(Form->LayerList()->currentRow(), 0);
  EXPECT_TRUE(Form->LayerShown(0));
  EXPECT_FALSE(Form->LayerShown(1));
  EXPECT_EQ(Form->Document()->PixelLayers(20, 12), 1);
  EXPECT_EQ(ViewPixel(20, 12), 0xFF403020u);

  Form->ApplyUndo(Form->Action("Redo1"));
  EXPECT_EQ(names(), (QStringList{"Layer 2", "Layer 1"}));
  EXPECT_EQ(Form->Document()->PixelLayers(20, 12), 2);
  // Moving it back up by the other command gives the first order again.
  Form->LayerList()->setCurrentRow(1);
  Form->UpdateActions();
  Form->Action("LayerUp1")->trigger();
  EXPECT_EQ(names(), (QStringList{"Layer 1", "Layer 2"}));
  EXPECT_EQ(Form->Document()->PixelLayers(20, 12), 1);
  EXPECT_EQ(ViewPixel(20, 12), 0xFF403020u);
}

TEST_F(WindowTest, DoorColourDialogOpensOnTheSwatchColourAndHelpBoxes) {
  // 0x0000FF is red in the platform's blue-green-red order.
  Form->SetDoorColor(0x0000FF);
  Dialogs->Color = QColor(0, 128, 0);
  Form->DoorColorChange1Execute();
  EXPECT_EQ(Dialogs->ColorShown, QColor(255, 0, 0));
  EXPECT_EQ(Form->DoorColor(), 0x008000);
  Form->DoorColorChange1Execute();
  EXPECT_EQ(Dialogs->ColorShown, QColor(0, 128, 0));

  Form->About1Execute();
  Form->Shortcuts1Execute();
  ASSERT_EQ(Dialogs->Informations.size(), 2);
  EXPECT_TRUE(Dialogs->Informations[0].contains("Qt " + QString(qVersion())));
  EXPECT_TRUE(Dialogs->Informations[0].contains("Vellumcraft"));
  EXPECT_TRUE(Dialogs->Informations[1].contains("Ctrl+Y"));
}

TEST_F(WindowTest, WindowSizePlaceAndMaximisedStateAreRemembered) {
  Form->LoadSettings();
  Form->resize(700, 500);
  Form->move(30, 40);
  Form->SaveWindowState();
  TEditorSettings settings(SettingsFile());
  EXPECT_EQ(settings.ReadInteger("Window", "Width", 0), 700);
  EXPECT_EQ(settings.ReadInteger("Window", "Height", 0), 500);
  EXPECT_EQ(settings.ReadInteger("Window", "Maximized", -1), 0);
  Make();
  Form->LoadSettings();
  EXPECT_EQ(Form->size(), QSize(700, 500));
  EXPECT_EQ(Form->pos(), QPoint(30, 40));
  EXPECT_FALSE(Form->windowState() & Qt::WindowMaximized);
  // A remembered size larger than this screen is cut to it.
  settings.WriteInteger("Window", "Width", 100000);
  settings.WriteInteger("Window", "Maximized", 1);
  Make();
  Form->LoadSettings();
  EXPECT_LE(Form->width(), Form->screen()->availableGeometry().width());
  EXPECT_TRUE(Form->windowState() & Qt::WindowMaximized);
}

TEST_F(WindowTest, LargeMapOpensWholeAndZoomKeepsThePointUnderThePointer) {
  Form->resize(700, 500);
  Form->show();
  QApplication::processEvents();
  // 200 x 200 cells of 32 pixels cannot fit any screen at full size.
  NewMap(200, 200, 32, 1);
  QApplication::processEvents();
  auto* scroll = Form->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  const int32_t fit = Form->Canvas()->Zoom().Percent();
  EXPECT_LT(fit, 100);
  EXPECT_LE(Form->Canvas()->width(), scroll->maximumViewportSize().width());
  EXPECT_LE(Form->Canvas()->height(), scroll->maximumViewportSize().height());
  EXPECT_EQ(Form->StatusText(5), QString("%1%").arg(fit));

  // Zooming in about a point of the view keeps the map pixel under it there.
  Form->SetZoomPercent(200);
  QApplication::processEvents();
  const QPoint at(100, 80);
  auto mapPixelAt = [&](QPoint P) {
    const QPoint c = P - Form->Canvas()->pos();
    return QPointF(c.x() * 100.0 / Form->Canvas()->Zoom().Percent(),
                   c.y() * 100.0 / Form->Canvas()->Zoom().Percent());
  };
  Form->PanBy(1000, 700);
  QApplication::processEvents();
  const QPointF before = mapPixelAt(at);
  Form->SetZoomPercent(400, at);
  QApplication::processEvents();
  const QPointF after = mapPixelAt(at);
  EXPECT_NEAR(after.x(), before.x(), 1.0);
  EXPECT_NEAR(after.y(), before.y(), 1.0);
  // Panning moves the view by as many view pixels.
  const QPoint pos = Form->Canvas()->pos();
  Form->PanBy(-30, 40);
  EXPECT_EQ(Form->Canvas()->pos(), pos + QPoint(30, -40));
}

}  // namespace
