#include "editor/map_edit2_form.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/color_swatch.h"
#include "editor/command_glyphs.h"
#include "editor/command_table.h"
#include "editor/map_canvas.h"
#include "editor/prop_tool.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/file/recovery_store.h"
#include "map/undo/undo_history.h"

TMapEdit2Form::TMapEdit2Form(std::unique_ptr<TEditorDialogs> Dialogs,
                             std::unique_ptr<TEditorSettings> Settings, QWidget* Parent)
    : QMainWindow(Parent),
      FDialogs(std::move(Dialogs)),
      FSettings(std::move(Settings)),
      FSession(std::make_unique<TMapEditSession>(16)) {
  setObjectName("MapEdit2Form");
  QFont f("Tahoma");
  f.setPointSize(8);
  setFont(f);
  CreateActions();
  CreateMenus();
  CreateObjectCommands();
  CreateSidePanel();
  CreatePropPanel();
  // After the object and prop commands, which have buttons of their own on it.
  CreateToolBar();
  CreateStatusBar();
  resize(634, 540);
  setAcceptDrops(true);  // a map file dropped on the window opens
  ApplyTexts();
  UpdateCaption();
  CreateAutosave();
  // Enabling rules are evaluated whenever the event loop is about to go idle.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            &TMapEdit2Form::UpdateActions);
  UpdateActions();
}

TMapEdit2Form::~TMapEdit2Form() {
  // The draw modes persist across runs.
  try {
    WriteDrawModes();
  } catch (...) {
  }
}

void TMapEdit2Form::CreateActions() {
  std::map<int32_t, QActionGroup*> groups;
  for (const TCommandDef& def : CommandTable()) {
    auto* a = new QAction(QString::fromUtf8(def.Caption), this);
    a->setObjectName(def.Name);
    a->setProperty("category", QString::fromUtf8(def.Category));
    // The tooltip names the command and its shortcut; the hint goes to the
    // status bar.
    if (*def.Hint) a->setStatusTip(QString::fromUtf8(def.Hint));
    if (*def.Shortcut) a->setShortcuts(QKeySequence::listFromString(def.Shortcut));
    // In Qt a command of an exclusive group must be checkable to show its state.
    a->setCheckable(def.Check || def.Group != 0);
    a->setChecked(def.Checked);
    if (def.Group != 0) {
      QActionGroup*& g = groups[def.Group];
      if (!g) {
        g = new QActionGroup(this);
        g->setExclusive(true);
      }
      g->addAction(a);
    }
    RegisterCommand(a);
  }
  auto on = [this](const char* name, auto handler) {
    connect(FActions.at(name), &QAction::triggered, this, handler);
  };
  on("New1", [this] { New1Execute(); });
  on("Open1", [this] { Open1Execute(); });
  on("Save1", [this] { Save1Execute(); });
  on("SaveAS1", [this] { SaveAS1Execute(); });
  on("SaveWithTextures1", [this] { SaveWithTextures1Execute(); });
  on("Preferences1", [this] { Preferences1Execute(); });
  on("Undo1", [this] { ApplyUndo(FActions.at("Undo1")); });
  on("Redo1", [this] { ApplyUndo(FActions.at("Redo1")); });
  on("Pen1", [this] { LayerModeExecute(); });
  on("Wall1", [this] { LayerModeExecute(); });
  for (const char* name : {"Chip1", "FreeHand1", "Pencil1", "Rect1", "Ellipse1", "Fill1", "Door1"})
    on(name, [this, name] { SelectModeExecute(FActions.at(name)); });
  on("DoorColorChange1", [this] { DoorColorChange1Execute(); });
  // The shade and fast-draw modes take effect when the canvas next reads them.
  on("AddLayer1", [this] { AddLayer1Execute(); });
  on("DeleteLayer1", [this] { DeleteLayer1Execute(); });
  on("Output1", [this] { Output1Execute(); });
  on("Print1", [this] { Print1Execute(); });

  FQuit = new QAction("終了(&X)", this);
  FQuit->setObjectName("Quit1");
  connect(FQuit, &QAction::triggered, this, &QWidget::close);
  FZoomIn = new QAction("拡大(&I)", this);
  FZoomIn->setObjectName("ZoomIn1");
  FZoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence("Ctrl+=")});
  connect(FZoomIn, &QAction::triggered, this, [this] { SetZoomPercent(FCanvas->Zoom().NextIn()); });
  FZoomOut = new QAction("縮小(&O)", this);
  FZoomOut->setObjectName("ZoomOut1");
  FZoomOut->setShortcut(QKeySequence::ZoomOut);
  connect(FZoomOut, &QAction::triggered, this,
          [this] { SetZoomPercent(FCanvas->Zoom().NextOut()); });
  FZoomActual = new QAction("等倍(&A)", this);
  FZoomActual->setObjectName("ZoomActual1");
  FZoomActual->setShortcut(QKeySequence("Ctrl+0"));
  connect(FZoomActual, &QAction::triggered, this, [this] { SetZoomPercent(100); });
  FZoomFit = new QAction("ウィンドウに合わせる(&F)", this);
  FZoomFit->setObjectName("ZoomFit1");
  connect(FZoomFit, &QAction::triggered, this, [this] { ZoomToFit(); });
  addActions({FZoomIn, FZoomOut, FZoomActual, FZoomFit});
  for (QAction* a : {FQuit, FZoomIn, FZoomOut, FZoomActual, FZoomFit}) RegisterCommand(a);

  // Moving the selected layer up or down the list (the drawing order).
  auto* up = new QAction(this);
  up->setObjectName("LayerUp1");
  up->setShortcut(QKeySequence("Ctrl+Up"));
  connect(up, &QAction::triggered, this, [this] { MoveLayer1Execute(-1); });
  auto* down = new QAction(this);
  down->setObjectName("LayerDown1");
  down->setShortcut(QKeySequence("Ctrl+Down"));
  connect(down, &QAction::triggered, this, [this] { MoveLayer1Execute(+1); });
  auto* about = new QAction(this);
  about->setObjectName("About1");
  connect(about, &QAction::triggered, this, [this] { About1Execute(); });
  auto* keys = new QAction(this);
  keys->setObjectName("Shortcuts1");
  keys->setShortcut(QKeySequence::HelpContents);
  connect(keys, &QAction::triggered, this, [this] { Shortcuts1Execute(); });
  addActions({up, down, about, keys});
  for (QAction* a : {up, down, about, keys}) RegisterCommand(a);

  // The pen sizes on the keys 1 to 4.
  for (int32_t i = 0; i < 4; ++i) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_1 + i), this);
    connect(key, &QShortcut::activated, this, [this, i] { SetPenSize(i); });
  }
}

void TMapEdit2Form::RegisterCommand(QAction* Command) {
  if (!Command || Command->objectName().isEmpty()) return;
  FActions[Command->objectName()] = Command;
  DecorateCommand(*Command);
  // A new caption (a language file) or new shortcut gives a new tooltip. Setting an
  // unchanged tooltip emits nothing, so this settles at once.
  connect(Command, &QAction::changed, this, [Command] {
    const QString tip = CommandToolTip(*Command);
    if (Command->toolTip() != tip) Command->setToolTip(tip);
  });
}

QAction* TMapEdit2Form::Action(const QString& Name) const {
  auto it = FActions.find(Name);
  return it == FActions.end() ? nullptr : it->second;
}

bool TMapEdit2Form::Checked(const QString& Name) const {
  QAction* a = Action(Name);
  return a && a->isChecked();
}

void TMapEdit2Form::CreateMenus() {
  QMenu* file = menuBar()->addMenu("ファイル(&F)");
  file->setObjectName("FileMenu");
  file->addActions({Action("New1"), Action("Open1")});
  CreateRecentMenu(file);
  file->addActions({Action("Save1"), Action("SaveAS1"), Action("SaveWithTextures1")});
  file->addSeparator();
  file->addActions({Action("Output1"), Action("Print1")});
  CreateExportMenu(file);
  file->addSeparator();
  file->addAction(FQuit);

  QMenu* edit = menuBar()->addMenu("編集(&E)");
  edit->setObjectName("EditMenu");
  edit->addActions({Action("Undo1"), Action("Redo1")});
  edit->addSeparator();
  edit->addAction(Action("Preferences1"));

  QMenu* map = menuBar()->addMenu("マップ(&M)");
  map->setObjectName("MapMenu");
  map->addAction(Action("Option1"));
  QMenu* shade = map->addMenu("自由編集時の影(&S)");
  shade->setObjectName("ShadeMenu");
  shade->addActions({Action("HighDef1"), Action("EndDef1"), Action("NoneDef1")});
  QMenu* fast = map->addMenu("描画の高速化(&F)");
  fast->setObjectName("FastDrawMenu");
  fast->addActions({Action("AlwaysFact1"), Action("SaveFact"), Action("AlwaysSlow")});
  map->addSeparator();
  // The chip-edit item has a caption of its own (language files rename the chip
  // command, not this item) and selects chip mode.
  auto* chipItem = new QAction("チップ編集(&C)", map);
  chipItem->setObjectName("ChipMenuItem");
  chipItem->setCheckable(true);
  // A group of its own shows it as the radio item it stands for.
  auto* chipGroup = new QActionGroup(chipItem);
  chipGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  chipGroup->addAction(chipItem);
  chipItem->setChecked(Action("Chip1")->isChecked());
  connect(chipItem, &QAction::triggered, this, [this, chipItem] {
    chipItem->setChecked(true);
    Action("Chip1")->trigger();
  });
  connect(Action("Chip1"), &QAction::changed, chipItem,
          [this, chipItem] { chipItem->setChecked(Action("Chip1")->isChecked()); });
  map->addActions({chipItem, Action("FreeHand1")});
  map->addSeparator();
  map->addActions(
      {Action("Pencil1"), Action("Rect1"), Action("Ellipse1"), Action("Fill1"), Action("Door1")});
  map->addSeparator();
  map->addAction(Action("DoorColorChange1"));

  QMenu* layer = menuBar()->addMenu("レイヤー(&L)");
  layer->setObjectName("LayerMenu");
  layer->addActions({Action("AddLayer1"), Action("RecordLayerSet1")});
  layer->addSeparator();
  layer->addActions({Action("LayerUp1"), Action("LayerDown1")});

  QMenu* view = menuBar()->addMenu("表示(&V)");
  view->setObjectName("ViewMenu");
  view->addActions({FZoomIn, FZoomOut, FZoomActual, FZoomFit});
  CreateStyleCommands(map, view);

  FLanguageMenu = menuBar()->addMenu("言語(&A)");
  FLanguageMenu->setObjectName("LanguageMenu");
  CreateHelpMenu();
}

void TMapEdit2Form::CreateToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setObjectName("ToolBar1");
  bar->setMovable(false);
  // Glyphs only, so that every command shows at the window's default size; the
  // tooltips name them with their shortcuts.
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->setIconSize(QSize(24, 24));
  const char* const layout[] = {"New1",
                                "Open1",
                                "Save1",
                                "|",
                                "Output1",
                                "Print1",
                                "|",
                                "Undo1",
                                "Redo1",
                                "|",
                                "Pen1",
                                "Wall1",
                                "|",
                                "Chip1",
                                "FreeHand1",
                                "|",
                                "Pencil1",
                                "Rect1",
                                "Ellipse1",
                                "Fill1",
                                "Door1",
                                "|",
                                "DoorColorChange1",
                                "|",
                                "ObjectSelect1",
                                "Label1",
                                "RoomNumber1",
                                "Light1",
                                "Window1",
                                "Prop1"};
  for (const char* name : layout) {
    if (QString(name) == "|")
      bar->addSeparator();
    else
      bar->addAction(Action(name));
  }
}

QToolButton* TMapEdit2Form::MakePanelButton(QAction* Command, QWidget* Parent) {
  // The button mirrors its command's check and enabled state; clicking it runs
  // the command.
  // The caption without its accelerator: the button is clicked, not typed.
  auto* b = new QToolButton(Parent);
  b->setText(PlainCaption(Command->text()));
  b->setCheckable(Command->isCheckable());
  b->setChecked(Command->isChecked());
  b->setIcon(Command->icon());
  b->setIconSize(QSize(16, 16));
  b->setToolTip(Command->toolTip());
  b->setToolButtonStyle(Command->icon().isNull() ? Qt::ToolButtonTextOnly
                                                 : Qt::ToolButtonTextBesideIcon);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  connect(b, &QToolButton::clicked, Command, [Command, b] {
    if (Command->isCheckable() && Command->isChecked() && Command->actionGroup()) {
      b->setChecked(true);  // an exclusive choice cannot be unchosen by a click
      return;
    }
    Command->trigger();
  });
  connect(Command, &QAction::changed, b, [Command, b] {
    b->setText(PlainCaption(Command->text()));
    b->setToolTip(Command->toolTip());
    b->setChecked(Command->isChecked());
    b->setEnabled(Command->isEnabled());
  });
  return b;
}

void TMapEdit2Form::CreateSidePanel() {
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(2, 2, 2, 2);
  auto* panel = new QWidget(central);
  panel->setFixedWidth(176);
  auto* col = new QVBoxLayout(panel);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(2);

  auto* layerRow = new QHBoxLayout;
  FFloorButton = MakePanelButton(Action("Pen1"), panel);
  FWallButton = MakePanelButton(Action("Wall1"), panel);
  for (QToolButton* b : {FFloorButton, FWallButton}) {
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(32, 32));
    layerRow->addWidget(b);
  }
  col->addLayout(layerRow);
  auto* modeRow = new QHBoxLayout;
  modeRow->addWidget(MakePanelButton(Action("Chip1"), panel));
  modeRow->addWidget(MakePanelButton(Action("FreeHand1"), panel));
  col->addLayout(modeRow);
  auto* toolGrid = new QHBoxLayout;
  for (const char* name : {"Pencil1", "Rect1"})
    toolGrid->addWidget(MakePanelButton(Action(name), panel));
  col->addLayout(toolGrid);
  auto* toolGrid2 = new QHBoxLayout;
  for (const char* name : {"Ellipse1", "Fill1"})
    toolGrid2->addWidget(MakePanelButton(Action(name), panel));
  col->addLayout(toolGrid2);
  auto* doorRow = new QHBoxLayout;
  doorRow->addWidget(MakePanelButton(Action("Door1"), panel));
  FDoorSwatch = new TColorSwatch(panel);
  FDoorSwatch->setObjectName("DoorSwatch");
  FDoorSwatch->setFixedWidth(40);
  connect(FDoorSwatch, &TColorSwatch::LeftClicked, this, [this] { DoorColorChange1Execute(); });
  doorRow->addWidget(FDoorSwatch);
  col->addLayout(doorRow);

  auto* penRow = new QHBoxLayout;
  for (int32_t i = 0; i < 4; ++i) {
    auto* b = new QToolButton(panel);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    b->setIcon(QIcon(QPixmap::fromImage(PenSizeGlyph(i))));
    b->setIconSize(QSize(20, 20));
    b->setChecked(i == 0);
    b->setObjectName("PenSize" + QString::number(i + 1));
    FPenButtons[i] = b;
    penRow->addWidget(b);
  }
  col->addLayout(penRow);

  FLayerList = new QListWidget(panel);
  FLayerList->setObjectName("ListBox1");
  FLayerList->setDragDropMode(QAbstractItemView::NoDragDrop);
  connect(FLayerList, &QListWidget::itemClicked, this, [this] { LayerModeExecute(); });
  // The check box of an item shows or hides its layer in the view.
  connect(FLayerList, &QListWidget::itemChanged, this, [this] { Invalidate(); });
  connect(FLayerList, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
  connect(FLayerList, &QListWidget::currentRowChanged, this, [this] { UpdateActions(); });
  col->addWidget(FLayerList, 1);
  auto* addRow = new QHBoxLayout;
  addRow->addWidget(MakePanelButton(Action("AddLayer1"), panel));
  addRow->addWidget(MakePanelButton(Action("DeleteLayer1"), panel));
  col->addLayout(addRow);
  // Moving the selected layer: glyph buttons, named by their tooltips.
  auto* moveRow = new QHBoxLayout;
  moveRow->addStretch();
  for (const char* name : {"LayerUp1", "LayerDown1"}) {
    QToolButton* b = MakePanelButton(Action(name), panel);
    b->setObjectName(QString(name) + "Button");
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setIconSize(QSize(20, 20));
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    moveRow->addWidget(b);
  }
  moveRow->addStretch();
  col->addLayout(moveRow);
  row->addWidget(panel);

  FScroll = new QScrollArea(central);
  FCanvas = new TMapCanvas(this, FScroll);
  FScroll->setWidget(FCanvas);
  FScroll->setWidgetResizable(false);
  FScroll->setBackgroundRole(QPalette::Dark);
  row->addWidget(FScroll, 1);
  setCentralWidget(central);
}

void TMapEdit2Form::CreateStatusBar() {
  // The design's four panels, then the pointer's cell and pixel and the zoom.
  const int widths[kPanels] = {60, 70, 80, 50, 170, 50};
  for (int i = 0; i < kPanels; ++i) {
    FStatus[i] = new QLabel(this);
    FStatus[i]->setMinimumWidth(widths[i]);
    if (i < 3 || i == 5) FStatus[i]->setAlignment(Qt::AlignCenter);
    FStatus[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(FStatus[i]);
  }
  // Status tips show beside the panels, never over them.
  FTip = new QLabel(this);
  FTip->setObjectName("StatusTip");
  FTip->setTextFormat(Qt::PlainText);
  statusBar()->addWidget(FTip, 1);
  FNote = new QLabel(this);
  FNote->setObjectName("StatusNote");
  statusBar()->addPermanentWidget(FNote);
  SetStatus(0, FTexts.Layers.arg(0));
  SetStatus(5, FTexts.Zoom.arg(100));
}

QImage TMapEdit2Form::PenSizeGlyph(int32_t Index) {
  QImage img(20, 20, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  const int a = 7 - 2 * Index, b = 11 + 2 * Index;
  // The box runs from (a, a) to (b, b), its right and bottom edges excluded; a
  // stroked Qt rectangle covers its size plus the pen width, hence the - 1.
  p.drawEllipse(QRect(a, a, b - a - 1, b - a - 1));
  return img;
}

void TMapEdit2Form::SetStatus(int32_t Panel, const QString& Text) { FStatus[Panel]->setText(Text); }

QString TMapEdit2Form::StatusText(int32_t Panel) const {
  return Panel >= 0 && Panel < kPanels ? FStatus[Panel]->text() : QString();
}

bool TMapEdit2Form::event(QEvent* Event) {
  // QMainWindow would show status tips as a message over the panels.
  if (Event->type() == QEvent::StatusTip) {
    if (FTip) FTip->setText(static_cast<QStatusTipEvent*>(Event)->tip());
    return true;
  }
  return QMainWindow::event(Event);
}

void TMapEdit2Form::LoadSettings() {
  BuildLanguageMenu();
  if (FSettings->Exists())
    SetUndoLimit(FSettings->ReadUndoLimit());
  else
    SetUndoLimit(TEditorSettings::DefaultUndoLimit);
  UndoList().SetMemoryLimit(int64_t(FSettings->ReadUndoMemoryMB()) << 20);
  SetAutosaveMinutes(FSettings->ReadAutosaveMinutes());
  FRecent.Load(*FSettings);
  RebuildRecentMenu();
  ApplyStartupLanguage();
  RestoreWindowState();
}

void TMapEdit2Form::ReadDrawModes() {
  FDrawModesRead = true;
  switch (FSettings->ReadFastDraw()) {
    case TFastDrawMode::SlowOnlyForOutput:
      Action("SaveFact")->setChecked(true);
      break;
    case TFastDrawMode::AlwaysSlow:
      Action("AlwaysSlow")->setChecked(true);
      break;
    default:
      Action("AlwaysFact1")->setChecked(true);
  }
  switch (FSettings->ReadShadeDraw()) {
    case TShadeMode::AtStrokeEnd:
      Action("EndDef1")->setChecked(true);
      break;
    case TShadeMode::Always:
      Action("HighDef1")->setChecked(true);
      break;
    default:
      Action("NoneDef1")->setChecked(true);
  }
}

void TMapEdit2Form::WriteDrawModes() {
  const TEditTools tools = Tools();
  FSettings->WriteDrawModes(tools.FastDraw, tools.Shade);
}

void TMapEdit2Form::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  if (!FDrawModesRead) ReadDrawModes();
}

void TMapEdit2Form::closeEvent(QCloseEvent* Event) {
  if (ConfirmDiscard()) {
    // Saved or knowingly discarded: nothing is left to recover.
    DiscardOwnRecoveryCopy();
    SaveWindowState();
    Event->accept();
  } else {
    Event->ignore();
  }
}

void TMapEdit2Form::UpdateActions() {
  const bool hasLayer = FDocument && FDocument->Count() > 0;
  for (const char* name : {"Save1", "SaveAS1", "SaveWithTextures1", "AddLayer1"})
    Action(name)->setEnabled(hasLayer);
  // A command without a handler is disabled.
  Action("Output1")->setEnabled(hasLayer);
  Action("Print1")->setEnabled(hasLayer);
  if (QAction* vtt = Action("ExportVtt1")) vtt->setEnabled(hasLayer);
  for (const char* name : {"Option1", "RecordLayerSet1"}) Action(name)->setEnabled(false);
  Action("DeleteLayer1")->setEnabled(FLayerList->currentRow() >= 0);
  Action("Undo1")->setEnabled(FSession->History().CanUndo());
  Action("Redo1")->setEnabled(FSession->History().CanRedo());
  FZoomFit->setEnabled(CanvasWidth() > 0);
  const int32_t row = FLayerList->currentRow();
  Action("LayerUp1")->setEnabled(row > 0);
  Action("LayerDown1")->setEnabled(row >= 0 && row + 1 < FLayerList->count());
  // The object commands need a selection. Disabled they also leave Delete and
  // Return to the prop commands, which share those keys.
  const size_t objects = FObjectEdit.Selection.size();
  Action("DeleteObject1")->setEnabled(objects > 0);
  for (const char* name : {"ObjectProps1", "ObjectForward1", "ObjectBackward1"})
    Action(name)->setEnabled(objects == 1);
}

void TMapEdit2Form::SetModified(bool Value) {
  if (!Value) {
    DiscardOwnRecoveryCopy();
    FNote->clear();  // the map as saved needs no recovery copy
  }
  // The session may have set the flag already; the caption follows it either way.
  FSession->SetModified(Value);
  UpdateCaption();
}

void TMapEdit2Form::UpdateCaption() {
  QString caption = FCaptionTitle;
  const QString fileName = MapFileName();
  if (!fileName.isEmpty()) caption += " - " + QFileInfo(fileName).fileName();
  if (FSession->Modified()) caption += " *";
  setWindowTitle(caption);
}
