// Props: the asset browser beside the canvas, the prop tool and its commands,
// and the props in the view.

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>

#include "dialogs/language_file.h"
#include "dialogs/program_folders.h"
#include "editor/asset_browser.h"
#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "editor/prop_tool.h"
#include "map/base/asset_index.h"
#include "map/compose/prop_items.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_object_list.h"

namespace {

// The prop commands: object name, built-in caption, shortcut, language key.
struct TPropCommand {
  const char* Name;
  const char* Caption;
  const char* Shortcut;
  const char* Key;
};

const TPropCommand kPropCommands[] = {
    {"Prop1", "小物(&O)", "O", "Tool"},
    {"PropDuplicate1", "小物を複製(&D)", "Ctrl+D", "Duplicate"},
    {"PropDelete1", "小物を削除(&L)", "Delete", "Delete"},
    {"PropForward1", "前面へ(&F)", "Ctrl+]", "Forward"},
    {"PropBack1", "背面へ(&B)", "Ctrl+[", "Back"},
    {"PropShadow1", "影を付ける(&S)", "", "Shadow"},
    {"PropBlocksSight1", "視界を遮る(&V)", "", "BlocksSight"},
    {"PropSnapCentres1", "セルの中心に合わせる(&C)", "", "SnapCentres"},
    {"PropSnapCorners1", "セルの角に合わせる(&R)", "", "SnapCorners"},
    {"PropRescan1", "小物フォルダを読み直す(&R)", "", "Rescan"},
};

// Moves of the selection by the arrow keys: a pixel, or a cell with Ctrl.
struct TNudge {
  const char* Name;
  const char* Shortcut;
  int DX, DY;
  bool Cell;
};
const TNudge kNudges[] = {
    {"PropLeft1", "Left", -1, 0, false},
    {"PropRight1", "Right", 1, 0, false},
    {"PropUp1", "Up", 0, -1, false},
    {"PropDown1", "Down", 0, 1, false},
    {"PropCellLeft1", "Ctrl+Left", -1, 0, true},
    {"PropCellRight1", "Ctrl+Right", 1, 0, true},
    {"PropCellUp1", "Ctrl+Up", 0, -1, true},
    {"PropCellDown1", "Ctrl+Down", 0, 1, true},
};

}  // namespace

void TMapEdit2Form::CreatePropPanel() {
  FPropTool = std::make_unique<TPropTool>(*FSession);
  FPropDock = new QDockWidget("小物", this);
  FPropDock->setObjectName("PropDock");
  FPropDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  FAssetBrowser = new TAssetBrowser(FPropDock);
  FAssetBrowser->SetCaptions("検索", "すべて");
  FPropDock->setWidget(FAssetBrowser);
  FPropDock->setMinimumWidth(190);
  addDockWidget(Qt::RightDockWidgetArea, FPropDock);

  // Beside the other editing menus, before Language and Help.
  auto* menu = new QMenu("小物(&P)", this);
  menuBar()->insertMenu(FLanguageMenu->menuAction(), menu);
  menu->setObjectName("PropMenu");
  for (const TPropCommand& c : kPropCommands) {
    auto* a = new QAction(QString::fromUtf8(c.Caption), this);
    a->setObjectName(c.Name);
    if (*c.Shortcut) a->setShortcut(QKeySequence(c.Shortcut));
    RegisterCommand(a);
  }
  // The prop tool is one of the drawing tools.
  QAction* tool = Action("Prop1");
  tool->setCheckable(true);
  if (QActionGroup* tools = Action("Pencil1")->actionGroup()) tools->addAction(tool);
  for (const char* name :
       {"PropShadow1", "PropBlocksSight1", "PropSnapCentres1", "PropSnapCorners1"})
    Action(name)->setCheckable(true);
  auto* snap = new QActionGroup(this);
  snap->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  snap->addAction(Action("PropSnapCentres1"));
  snap->addAction(Action("PropSnapCorners1"));
  menu->addAction(tool);
  menu->addSeparator();
  menu->addActions({Action("PropDuplicate1"), Action("PropDelete1"), Action("PropForward1"),
                    Action("PropBack1")});
  menu->addSeparator();
  menu->addActions({Action("PropShadow1"), Action("PropBlocksSight1")});
  menu->addSeparator();
  menu->addActions({Action("PropSnapCentres1"), Action("PropSnapCorners1")});
  menu->addSeparator();
  menu->addAction(Action("PropRescan1"));

  auto edit = [this](auto Change) {
    return [this, Change] {
      if (!FDocument) return;
      try {
        Change(*FPropTool);
      } catch (const std::exception& e) {
        ShowException(e);
      }
      PropsChanged();
    };
  };
  connect(tool, &QAction::triggered, this, [this] { SelectModeExecute(Action("Prop1")); });
  connect(Action("PropDuplicate1"), &QAction::triggered, this,
          edit([](TPropTool& T) { T.Duplicate(); }));
  connect(Action("PropDelete1"), &QAction::triggered, this,
          edit([](TPropTool& T) { T.DeleteSelection(); }));
  connect(Action("PropForward1"), &QAction::triggered, this,
          edit([](TPropTool& T) { T.BringForward(); }));
  connect(Action("PropBack1"), &QAction::triggered, this, edit([](TPropTool& T) { T.SendBack(); }));
  connect(Action("PropShadow1"), &QAction::triggered, this,
          edit([this](TPropTool& T) { T.SetShadow(Action("PropShadow1")->isChecked()); }));
  connect(Action("PropBlocksSight1"), &QAction::triggered, this, edit([this](TPropTool& T) {
            T.SetBlocksSight(Action("PropBlocksSight1")->isChecked());
          }));
  for (const char* name : {"PropSnapCentres1", "PropSnapCorners1"})
    connect(Action(name), &QAction::toggled, this, [this] {
      FPropTool->Snap = Checked("PropSnapCentres1")   ? TPropSnap::CellCentres
                        : Checked("PropSnapCorners1") ? TPropSnap::CellCorners
                                                      : TPropSnap::None;
    });
  connect(Action("PropRescan1"), &QAction::triggered, this, [this] { RescanAssets(); });

  // The arrow keys move the selection while the canvas has the focus.
  for (const TNudge& n : kNudges) {
    auto* a = new QAction(this);
    a->setObjectName(n.Name);
    a->setShortcut(QKeySequence(n.Shortcut));
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    FScroll->addAction(a);
    FActions[n.Name] = a;
    connect(a, &QAction::triggered, this, edit([this, n](TPropTool& T) {
              const double step = n.Cell ? FDocument->ChipSize() : 1;
              T.Nudge(n.DX * step, n.DY * step);
            }));
  }
  // A thumbnail picked: the prop tool places it where the map is clicked.
  connect(FAssetBrowser, &TAssetBrowser::AssetPicked, this, [this](const QString& Path) {
    if (!Path.isEmpty()) Action("Prop1")->trigger();
  });
  RescanAssets();
}

void TMapEdit2Form::SetAssetFolders(std::vector<std::filesystem::path> Folders) {
  FAssetFolders = std::move(Folders);
  FAssetFoldersSet = true;
  RescanAssets();
}

void TMapEdit2Form::RescanAssets() {
  const TAssetIndex index(FAssetFoldersSet ? FAssetFolders : ProgramDataFolders("Assets"));
  FAssetBrowser->SetIndex(index);
  const QString map = MapFileName();
  FPropTool->SetAssets(
      index, map.isEmpty() ? std::filesystem::path()
                           : std::filesystem::path(
                                 QFile::encodeName(QFileInfo(map).absolutePath()).toStdString()));
  SyncProps(false);
  Invalidate();
}

void TMapEdit2Form::SyncProps(bool WarnMissing) {
  const std::vector<std::string> errors = FPropTool->Sync();
  UpdatePropChecks();
  if (!WarnMissing) return;
  // One warning for everything: the props show a placeholder and keep their paths.
  QString text = QString::fromStdString(MissingPropsWarning(FPropTool->Scene()));
  for (const std::string& e : errors) text += "\n" + QString::fromStdString(e);
  if (!text.isEmpty()) FDialogs->ShowWarning(this, text.trimmed());
}

void TMapEdit2Form::UpdatePropChecks() {
  // The shadow and sight checks show the first selected prop's settings.
  bool shadow = false, blocks = false;
  if (!FPropTool->Selection().empty() && FDocument)
    if (const TMapObject* o = FDocument->Objects().Find(FPropTool->Selection().front())) {
      TMapProp p;
      if (TMapProp::FromObject(*o, p, nullptr)) shadow = p.Shadow, blocks = p.BlocksSight;
    }
  Action("PropShadow1")->setChecked(shadow);
  Action("PropBlocksSight1")->setChecked(blocks);
  const bool any = !FPropTool->Selection().empty();
  for (const char* name : {"PropDuplicate1", "PropDelete1", "PropForward1", "PropBack1",
                           "PropShadow1", "PropBlocksSight1"})
    Action(name)->setEnabled(any);
  for (const TNudge& n : kNudges) Action(n.Name)->setEnabled(any);
}

void TMapEdit2Form::PropsChanged() {
  if (FSession->Modified()) SetModified(true);
  UpdatePropChecks();
  const TRect r = FPropTool->TakeDirty();
  if (r.IsEmpty() || !FCanvas) return;
  // Only the area the props covered before and cover now.
  const TZoom& z = FCanvas->Zoom();
  const double f = z.Percent() / 100.0;
  FCanvas->update(QRect(int(std::floor(r.Left * f)) - 1, int(std::floor(r.Top * f)) - 1,
                        int(std::ceil(r.Width() * f)) + 3, int(std::ceil(r.Height() * f)) + 3));
  UpdateActions();
}

bool TMapEdit2Form::PropMouse(int Phase, TMouseButton Button, int32_t X, int32_t Y, bool Shift) {
  if (!Checked("Prop1") || !FDocument) return false;
  try {
    if (Phase == 0 && Button == TMouseButton::Right) {
      // A right click puts the picked asset back and drops a drag.
      FPropTool->Cancel();
      FAssetBrowser->ClearPick();
    } else if (Phase == 0 && Button == TMouseButton::Left) {
      const QString asset = FAssetBrowser->PickedAsset();
      if (!asset.isEmpty() && !FPropTool->PropAt(X, Y))
        FPropTool->Place(asset.toStdString(), X + 0.5, Y + 0.5);
      else
        FPropTool->Press(X + 0.5, Y + 0.5, Shift);
    } else if (Phase == 1) {
      FPropTool->Drag(X + 0.5, Y + 0.5, Shift);
    } else if (Phase == 2 && Button == TMouseButton::Left) {
      FPropTool->Release(X + 0.5, Y + 0.5, Shift);
    }
  } catch (const std::exception& e) {
    FPropTool->Cancel();
    ShowException(e);
  }
  PropsChanged();
  return true;
}

void TMapEdit2Form::DropAsset(const QString& Path, int32_t X, int32_t Y) {
  if (!FDocument || Path.isEmpty()) return;
  Action("Prop1")->setChecked(true);
  try {
    FPropTool->Place(Path.toStdString(), X + 0.5, Y + 0.5);
  } catch (const std::exception& e) {
    ShowException(e);
  }
  PropsChanged();
}

void TMapEdit2Form::ApplyPropLanguage(const TLanguageFile& File) {
  FPropDock->setWindowTitle(File.ReadString("Props", "Panel", FPropDock->windowTitle()));
  FAssetBrowser->SetCaptions(File.ReadString("Props", "Search", "検索"),
                             File.ReadString("Props", "AllGroups", "すべて"));
  if (auto* menu = findChild<QMenu*>("PropMenu"))
    menu->setTitle(File.ReadString("Props", "Menu", menu->title()));
  for (const TPropCommand& c : kPropCommands)
    if (QAction* a = Action(c.Name)) a->setText(File.ReadString("Props", c.Key, a->text()));
}
