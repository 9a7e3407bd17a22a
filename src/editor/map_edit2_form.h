#pragma once
// TMapEdit2Form: the editor's main window. It owns the open map, the undo
// history and every user command (QActions with captions, shortcuts, exclusive
// groups and enabling rules), lays out menus, toolbar, side panel, canvas and
// status bar, and turns canvas mouse input into edits of the map.

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "editor/canvas_geometry.h"
#include "editor/editor_dialogs.h"
#include "editor/editor_settings.h"
#include "editor/editor_texts.h"
#include "editor/object_edit_state.h"
#include "editor/recent_files.h"
#include "map/base/color.h"
#include "map/compose/compose_options.h"
#include "map/document/edit_tools.h"
#include "map/raster/bitmap32.h"
#include "record/record_list.h"

class QAction;
class QActionGroup;
class QDockWidget;
class TAssetBrowser;
class TPropTool;
class QLabel;
class QListWidget;
class QMenu;
class QScrollArea;
class QToolButton;
class TColorSwatch;
class TMapCanvas;
class TMapEditLayerList;
class TUndoHistory;
class TMapEditSession;
class TRecoveryStore;
struct TMapLoadReport;
class QTimer;
class TLanguageFile;
class QListWidgetItem;
class QUrl;

enum class TMouseButton { Left, Right, Middle };

class TMapEdit2Form : public QMainWindow {
  Q_OBJECT
 public:
  // Dialogs answers the window's modal questions; Settings is the settings file.
  TMapEdit2Form(std::unique_ptr<TEditorDialogs> Dialogs, std::unique_ptr<TEditorSettings> Settings,
                QWidget* Parent = nullptr);
  ~TMapEdit2Form() override;

  // Start-up: reads "Application" from the settings file when it exists.
  void LoadSettings();
  // Reads the draw modes (once, also called when the window is first shown).
  void ReadDrawModes();
  // Writes the draw modes (also done when the window is destroyed).
  void WriteDrawModes();

  // --- languages ---
  // Pairs of lines: a language's title, then its file's full path.
  const QStringList& Languages() const { return FLanguages; }
  // Fills List with the (title, path) pairs of the language files found.
  void ListLanguages(QStringList& List) const;
  // The folders searched for language files, in order (tests set their own).
  void SetLanguageFolders(std::vector<std::filesystem::path> Folders);
  // The handler of the language menu's items.
  void LanguageClick(QAction* Sender);
  // Applies a language file to the window and its dialogs and records the choice
  // in the settings file. Nothing happens when the file does not exist.
  void ApplyLanguageFile(const QString& Path);
  // Applies the keys of an open language file to the window, then lets the
  // dialogs read theirs.
  void ApplyLanguage(const TLanguageFile& File);
  // Whether the user's locale is Japanese (the built-in texts need no file).
  void SetJapaneseLocale(bool Value) { FJapaneseLocale = Value; }
  // At start-up: the language the settings file names or, with no settings file
  // on a non-Japanese system, the language titled "English".
  void ApplyStartupLanguage();
  const QString& DeleteLayerPrompt() const { return FDeleteLayerPrompt; }
  const QString& NoLayerPrompt() const { return FNoLayerPrompt; }
  const QString& ApplicationTitle() const { return FApplicationTitle; }

  // --- commands ---
  // The command of the given name ("New1", "Pencil1", ...), or nullptr.
  QAction* Action(const QString& Name) const;
  bool Checked(const QString& Name) const;
  // Evaluates every command's enabling rule (run whenever the event loop idles).
  void UpdateActions();
  // Makes Command one of the window's commands: Action(its object name) finds it,
  // its glyph comes from data/icons/<object name>.svg and its tooltip names its
  // shortcuts (refreshed when a language file renames it). Commands added after
  // the window was built (by other parts of the editor) come through here too.
  void RegisterCommand(QAction* Command);
  // The texts beyond the command captions, in the language chosen.
  const TEditorTexts& Texts() const { return FTexts; }

  // --- document ---
  TMapEditLayerList* Document() const { return FDocument; }
  // The edit session behind the window: every edit of the map goes through it.
  TMapEditSession& Session() const { return *FSession; }
  QString MapFileName() const;
  bool Modified() const;
  QListWidget* LayerList() const { return FLayerList; }
  // Panels 0 to 3 as designed, 4 the pointer's position, 5 the zoom.
  QString StatusText(int32_t Panel) const;
  // The status bar's note on recovery copies; empty when there is none.
  QString NoteText() const;
  // Opens a map file without the file dialog (command line, tests). Errors are
  // shown in a message box and leave the open map as it was. True on success.
  bool OpenMap(const QString& FileName);
  // Saves to FileName; errors are shown and keep the modified flag.
  bool SaveMap(const QString& FileName);
  // Asks whether unsaved changes may go (save, discard, cancel); true to proceed.
  bool ConfirmDiscard();
  // Opens the first map file among dropped URLs (after asking about unsaved
  // changes); true when one was opened.
  bool OpenDroppedFiles(const QList<QUrl>& Urls);

  // --- recent files (map_edit2_form_files.cpp) ---
  const TRecentFiles& RecentFiles() const { return FRecent; }
  // The File menu's recent-files submenu, rebuilt each time it opens: entries
  // whose file no longer exists are shown greyed.
  QMenu* RecentMenu() const { return FRecentMenu; }
  void RebuildRecentMenu();
  void OpenRecent(const QString& FileName);

  // --- window state ---
  // Restores the remembered size, position and maximised state, or picks a size
  // that suits the screen on the first start.
  void RestoreWindowState();
  void SaveWindowState();
  // Grows the window (within the screen) so that the open map shows whole at the
  // current zoom, then zooms out to fit when it still does not.
  void FitWindowToMap();

  // --- recovery copies (map_edit2_form_recovery.cpp) ---
  // Where recovery copies are written (tests use a folder and process id of their own).
  void SetRecoveryStore(std::unique_ptr<TRecoveryStore> Store);
  TRecoveryStore& RecoveryStore() const { return *FRecovery; }
  // Minutes between recovery copies while the map has unsaved changes; 0 = off.
  void SetAutosaveMinutes(int32_t Minutes);
  int32_t AutosaveMinutes() const { return FAutosaveMinutes; }
  // Writes the recovery copy now when the map has unsaved changes (the timer's
  // handler). A failure shows in the status bar, not as a message box.
  void AutosaveNow();
  // At start-up: offers the copies left by sessions that ended without saving,
  // newest first. True when one was restored (it then is the open, modified map).
  bool OfferRecovery();

  // --- undo ---
  TUndoHistory& UndoList();
  int32_t UndoIndex() const;
  int32_t UndoLimit() const;
  void SetUndoLimit(int32_t Value);
  // The shared handler of Undo1 and Redo1.
  void ApplyUndo(QAction* Sender);

  // --- canvas input, in map pixels ---
  void PaintBox321MouseDown(TMouseButton Button, bool LeftHeld, int32_t X, int32_t Y);
  void PaintBox321MouseMove(bool LeftHeld, int32_t X, int32_t Y);
  void PaintBox321MouseUp(TMouseButton Button, bool LeftHeld, int32_t X, int32_t Y);
  TPoint BandStart() const { return FBandStart; }
  TPoint BandEnd() const { return FBandEnd; }
  int32_t PenRadius() const;
  void SetPenSize(int32_t Index);
  int32_t CurrentLayer() const;
  TColor DoorColor() const;
  void SetDoorColor(TColor Value);
  const TRecordList* TouchedCells() const;
  // The tools as the commands stand: layer kind, cells or free-hand, tool, pen
  // radius, shade and fast-draw modes.
  TEditTools Tools() const;

  // --- view ---
  // Composes MapRect of the map (clipped to the canvas) into Buffer, whose pixel
  // (0, 0) is MapRect's top-left, then draws the grid and the band over it.
  // Buffer is sized to the clipped rectangle, which MapRect receives. False when
  // there is nothing to draw.
  bool PaintBox321PaintBuffer(TBitmap32& Buffer, TRect& MapRect);
  void SetMapSize(int32_t Width, int32_t Height, int32_t ChipSize);
  int32_t CanvasWidth() const;
  int32_t CanvasHeight() const;
  TMapCanvas* Canvas() const { return FCanvas; }
  // Sets the zoom, keeping the map point under Anchor (a point of the scroll
  // area's viewport; by default its middle) where it is.
  void SetZoomPercent(int32_t Percent, std::optional<QPoint> Anchor = std::nullopt);
  void ZoomToFit();
  // Scrolls the view by (DX, DY) view pixels.
  void PanBy(int32_t DX, int32_t DY);
  // The pointer's map pixel for the status bar; a negative X clears it.
  void ShowPointer(int32_t X, int32_t Y);

  // --- layer visibility in the view (never stored, never output) ---
  // List item Index's layer is drawn in the view.
  bool LayerShown(int32_t Index) const;
  void SetLayerShown(int32_t Index, bool Shown);

  // The glyphs made for the layer buttons and the pen size buttons.
  QIcon FloorGlyph() const;
  QIcon WallGlyph() const;
  static QImage PenSizeGlyph(int32_t Index);

  // Command handlers, public so that menus, buttons and tests share them.
  void New1Execute();
  void Open1Execute();
  void Save1Execute();
  void SaveAS1Execute();
  // --- maps that travel (map_edit2_form_travel.cpp) ---
  // Copies the map and its textures into a folder the user picks.
  void SaveWithTextures1Execute();
  // Looks for the missing textures in a folder the user picks and rebinds the
  // found ones (the map is then modified); false when nothing was looked for.
  bool LookForMissingTextures();
  // The preferences dialog: the undo limit and memory cap, stored and applied.
  void Preferences1Execute();
  void AddLayer1Execute();
  void DeleteLayer1Execute();
  // Edits the selected layer's name and source with the layer dialog.
  void ListBox1DblClick();
  void DoorColorChange1Execute();
  // Image output (the output settings dialog, then the image file).
  void Output1Execute();
  // Printing (the print settings dialog, then the printer or a PDF file).
  void Print1Execute();
  // Moves the selected layer Delta places along the list (-1 up, +1 down).
  void MoveLayer1Execute(int32_t Delta);
  void About1Execute();
  void Shortcuts1Execute();
  void SelectModeExecute(QAction* Sender);

  // --- map objects (map_edit2_form_objects.cpp) ---
  const std::vector<uint64_t>& SelectedObjects() const { return FObjectEdit.Selection; }
  void SelectObjects(const std::vector<uint64_t>& Ids);
  // The properties dialog of the one selected object.
  void ObjectProps1Execute();
  void DeleteObject1Execute();
  // Moves the one selected object Delta places in the drawing order.
  void MoveSelectedObjects(int Delta);
  void LayerModeExecute();
  void UpdateLayerButtons();

  // What the view composes beyond the plain picture, as the View menu has it: the
  // map's style while Show Map Style is on, labels, the light preview.
  TComposeOptions ViewComposeOptions() const;
  // Output settings with the map's style: its looks and its grid line style.
  // WithGrid false keeps the grid style the output settings chose.
  void UseMapStyle(TOutputOptions& Options, bool WithGrid = true) const;
  // Opens the map style dialog and stores the result as one undoable change.
  void MapStyle1Execute();
  // --- props (map_edit2_form_props.cpp) ---
  // The asset browser beside the canvas.
  TAssetBrowser* AssetBrowser() const { return FAssetBrowser; }
  // The folders searched for prop images, in order (tests set their own).
  void SetAssetFolders(std::vector<std::filesystem::path> Folders);
  // Lists the asset folders again (a user copied new images in).
  void RescanAssets();
  // The prop tool: the props of the open map, the selection and the drag.
  TPropTool& PropTool() const { return *FPropTool; }
  // The canvas's mouse while the prop tool is chosen: Phase 0 press, 1 move,
  // 2 release; false (and nothing done) when the prop tool is not chosen.
  bool PropMouse(int Phase, TMouseButton Button, int32_t X, int32_t Y, bool Shift);
  // An asset dropped on the canvas at map pixel (X, Y): placed there.
  void DropAsset(const QString& Path, int32_t X, int32_t Y);
  // Rebuilds the props from the map (after loading, undo or redo); with
  // WarnMissing, one warning names the images that could not be used.
  void SyncProps(bool WarnMissing);

 protected:
  void showEvent(QShowEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool event(QEvent* Event) override;
  void dragEnterEvent(QDragEnterEvent* Event) override;
  void dropEvent(QDropEvent* Event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateSidePanel();
  void CreateStatusBar();
  // Adds the File menu's "Export" submenu (virtual tabletop export).
  void CreateExportMenu(QMenu* File);
  // The map style commands: "Map Style..." in the Map menu and "Show Map Style"
  // in the View menu.
  void CreateStyleCommands(QMenu* Map, QMenu* View);
  // Rebuilds the language menu from the language files found.
  void BuildLanguageMenu();
  QToolButton* MakePanelButton(QAction* Command, QWidget* Parent);
  void CreateHelpMenu();
  void CreateRecentMenu(QMenu* File);
  // Re-captions the window's own additions from FTexts.
  void ApplyTexts();
  QListWidgetItem* MakeLayerItem(const QString& Name) const;
  void RememberFile(const QString& FileName);
  // The layers' view states (shown, selected) by layer object, and the list
  // rebuilt from the document with them: after an undo or redo that reorders
  // layers, each layer keeps its check box and the selection follows its layer.
  struct TLayerViewState {
    std::map<const void*, bool> Shown;
    const void* Selected = nullptr;
  };
  TLayerViewState CaptureLayerViewState() const;
  void RestoreLayerList(const TLayerViewState& State);
  void MarkCurrentLanguage();
  void CreatePropPanel();
  void ApplyPropLanguage(const TLanguageFile& File);
  // After a prop edit: redraws the area it changed and updates the commands.
  void PropsChanged();
  void UpdatePropChecks();

  // The object tools' commands, menu and toolbar buttons (after the menus).
  static const char* const kObjectTools[5];
  void CreateObjectCommands();
  // The checked object tool's command name; empty when a painting tool is on.
  QString ObjectTool() const;
  // The canvas input of the object tools; false (nothing done) for other tools.
  bool ObjectMouseDown(TMouseButton Button, int32_t X, int32_t Y);
  bool ObjectMouseMove(bool LeftHeld, int32_t X, int32_t Y);
  bool ObjectMouseUp(TMouseButton Button, int32_t X, int32_t Y);
  // Light handles, the selection and a window being drawn, over the view.
  void DrawObjectOverlay(TBitmap32& Buffer, const TRect& MapRect);

  void CreateAutosave();
  void DiscardOwnRecoveryCopy();
  void ResetDocument();
  void FillLayerList();
  // Whether a layer's name in the list is not the document's.
  bool LayerNamesDiffer() const;
  void AfterDocumentLoaded();
  void WarnMissingTextures(const TMapLoadReport& Report);
  void SetModified(bool Value);
  void UpdateCaption();
  void SetStatus(int32_t Panel, const QString& Text);
  void ShowException(const std::exception& E);
  void Invalidate();
  void ClearBand();

  std::unique_ptr<TEditorDialogs> FDialogs;
  std::unique_ptr<TEditorSettings> FSettings;
  std::unique_ptr<TMapEditSession> FSession;
  // The session's map once one is open, else null.
  TMapEditLayerList* FDocument = nullptr;
  std::unique_ptr<TRecoveryStore> FRecovery;
  QTimer* FAutosaveTimer = nullptr;
  int32_t FAutosaveMinutes = 0;
  bool FDrawModesRead = false;
  QString FDeleteLayerPrompt;
  QString FNoLayerPrompt;
  // The core's error texts in the language chosen ("Messages" keys), by key.
  std::map<std::string, QString> FMessageForms;
  QStringList FLanguages;
  std::vector<std::filesystem::path> FLanguageFolders;
  bool FLanguageFoldersSet = false;
  bool FJapaneseLocale = false;
  // The layer-set texts of a language file, kept for the layer-set command.
  QString FLayerSetName, FLayerSetOpt;
  // The application title and the window caption's first part.
  QString FApplicationTitle = "Vellumcraft";
  QString FCaptionTitle = "Vellumcraft";
  TObjectEditState FObjectEdit;
  TPoint FBandStart{-1, -1};
  TPoint FBandEnd{-1, -1};
  QColor FLastDialogColor = Qt::black;

  std::map<QString, QAction*> FActions;
  QAction* FQuit = nullptr;
  QAction* FZoomIn = nullptr;
  QAction* FZoomOut = nullptr;
  QAction* FZoomActual = nullptr;
  QAction* FZoomFit = nullptr;
  QMenu* FLanguageMenu = nullptr;
  QScrollArea* FScroll = nullptr;
  TMapCanvas* FCanvas = nullptr;
  QToolButton* FFloorButton = nullptr;
  QToolButton* FWallButton = nullptr;
  QToolButton* FPenButtons[4] = {};
  TColorSwatch* FDoorSwatch = nullptr;
  QListWidget* FLayerList = nullptr;
  // The design's four panels, then the pointer's position and the zoom.
  static constexpr int32_t kPanels = 6;
  QLabel* FStatus[kPanels] = {};
  // Status tips of commands and menu items; the panels stay as they are.
  QLabel* FTip = nullptr;
  // Notes of the recovery copies.
  QLabel* FNote = nullptr;
  TEditorTexts FTexts;
  TRecentFiles FRecent;
  QMenu* FRecentMenu = nullptr;
  QMenu* FHelpMenu = nullptr;
  QActionGroup* FLanguageGroup = nullptr;
  // Until the first map is shown, a window without a remembered size may also
  // shrink to the map (never below what shows the toolbar whole).
  bool FMayShrinkToMap = false;
  QString FLanguagePath;
  // Props.
  QDockWidget* FPropDock = nullptr;
  TAssetBrowser* FAssetBrowser = nullptr;
  std::vector<std::filesystem::path> FAssetFolders;
  bool FAssetFoldersSet = false;
  std::unique_ptr<TPropTool> FPropTool;
};
