// The window's document commands: new, open, save, layers, door colour, undo.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QSignalBlocker>
#include <algorithm>
#include <exception>
#include <functional>
#include <optional>

#include "editor/busy_cursor.h"
#include "editor/color_swatch.h"
#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "map/base/atomic_file.h"
#include "map/base/text_messages.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/file/layer_set.h"
#include "map/file/map_file.h"
#include "map/undo/undo_history.h"

namespace {

std::string LocalPath(const QString& Name) { return QFile::encodeName(Name).toStdString(); }

}  // namespace

void TMapEdit2Form::ShowException(const std::exception& E) {
  const std::string text = LocalizeMessage(E.what(), [this](const TMessageForm& F) {
    auto it = FMessageForms.find(F.Key);
    return it == FMessageForms.end() ? std::string() : it->second.toStdString();
  });
  FDialogs->ShowError(this, QString::fromUtf8(text));
}

void TMapEdit2Form::Invalidate() {
  if (FCanvas) FCanvas->update();
}

QString TMapEdit2Form::MapFileName() const {
  return QFile::decodeName(FSession->FileName().c_str());
}

bool TMapEdit2Form::Modified() const { return FSession->Modified(); }

TUndoHistory& TMapEdit2Form::UndoList() { return FSession->History(); }

bool TMapEdit2Form::ConfirmDiscard() {
  if (!Modified()) return true;
  switch (FDialogs->AskDiscard(this, FTexts.SaveChanges)) {
    case TDiscardAnswer::Save:
      Save1Execute();
      return !Modified();  // a cancelled or failed save keeps the map open
    case TDiscardAnswer::Discard:
      return true;
    default:
      return false;
  }
}

void TMapEdit2Form::ResetDocument() {
  // Called once the session holds the new or loaded map (with an empty history).
  FObjectEdit = TObjectEditState();
  FLayerList->clear();
  ClearBand();
}

QListWidgetItem* TMapEdit2Form::MakeLayerItem(const QString& Name) const {
  // The check box shows or hides the layer in the view only.
  auto* item = new QListWidgetItem(Name);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(Qt::Checked);
  return item;
}

void TMapEdit2Form::FillLayerList() {
  FLayerList->clear();
  for (int32_t i = 1; i < FDocument->Count(); ++i)
    FLayerList->addItem(MakeLayerItem(QString::fromStdString(FDocument->Layers(i)->LayerName)));
}

bool TMapEdit2Form::LayerShown(int32_t Index) const {
  const QListWidgetItem* item = FLayerList->item(Index);
  return !item || item->checkState() != Qt::Unchecked;
}

void TMapEdit2Form::SetLayerShown(int32_t Index, bool Shown) {
  if (QListWidgetItem* item = FLayerList->item(Index))
    item->setCheckState(Shown ? Qt::Checked : Qt::Unchecked);
}

bool TMapEdit2Form::LayerNamesDiffer() const {
  for (int32_t i = 1; i < FDocument->Count() && i - 1 < FLayerList->count(); ++i)
    if (FLayerList->item(i - 1)->text() != QString::fromStdString(FDocument->Layers(i)->LayerName))
      return true;
  return false;
}

void TMapEdit2Form::New1Execute() {
  if (!ConfirmDiscard()) return;
  TMapSizeRequest size;
  if (!FDialogs->MapSize(this, size)) return;
  try {
    TBusyCursor busy;
    std::optional<TLayerSet> set;
    if (!size.LayerSetFile.isEmpty()) set = ReadLayerSetFile(LocalPath(size.LayerSetFile));
    // A refused size leaves the open map alone.
    FSession->New(size.Width, size.Height, size.ChipSize, set ? &*set : nullptr);
    FDocument = &FSession->Map();
    ResetDocument();
    SetMapSize(size.Width, size.Height, size.ChipSize);
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  SyncProps(false);
  FillLayerList();
  SetStatus(0, FTexts.Layers.arg(FLayerList->count()));
  SetModified(false);
  UpdateCaption();
  FitWindowToMap();
  if (FLayerList->count() == 0) {
    UpdateLayerButtons();
  } else {
    FLayerList->setCurrentRow(0);
    LayerModeExecute();
  }
  Invalidate();
  UpdateActions();
}

bool TMapEdit2Form::OpenMap(const QString& FileName) {
  TMapLoadReport report;
  try {
    TBusyCursor busy;
    // A damaged file leaves the open map as it was.
    FSession->Open(LocalPath(FileName), report);
    FDocument = &FSession->Map();
    ResetDocument();
    SetMapSize(FDocument->Width(), FDocument->Height(), FDocument->ChipSize());
  } catch (const std::exception& e) {
    ShowException(e);
    return false;
  }
  AfterDocumentLoaded();
  RememberFile(FileName);
  FitWindowToMap();
  WarnMissingTextures(report);
  return true;
}

void TMapEdit2Form::AfterDocumentLoaded() {
  FillLayerList();
  RescanAssets();  // props beside the map are looked for in its folder
  SyncProps(true);
  SetStatus(0, FTexts.Layers.arg(FLayerList->count()));
  if (FLayerList->count() > 0) FLayerList->setCurrentRow(0);
  LayerModeExecute();
  SetModified(false);
  UpdateCaption();
  Invalidate();
  UpdateActions();
}

void TMapEdit2Form::WarnMissingTextures(const TMapLoadReport& Report) {
  // Parts of the file that could not be read (damaged object lines): the map
  // opened without them, and saving writes it without them.
  if (!Report.Warnings.empty()) {
    QString lines;
    for (const std::string& w : Report.Warnings) lines += "\n" + QString::fromStdString(w);
    FDialogs->ShowWarning(this, QString("Parts of this map file could not be read; the map opened "
                                        "without them:") +
                                    lines);
  }
  if (Report.MissingTextures.empty()) return;
  // One warning for all of them; the layers show a placeholder and keep their file
  // names, so saving loses nothing.
  QString list;
  for (const std::string& name : Report.MissingTextures)
    list += "\n" + QFile::decodeName(name.c_str());
  FDialogs->ShowWarning(this, FTexts.MissingTextures + list);
  // The files may have come along in another folder (a map sent without them, or
  // moved apart from them).
  if (FDialogs->AskYesNo(this, FTexts.LookForTextures)) LookForMissingTextures();
}

void TMapEdit2Form::Open1Execute() {
  if (!ConfirmDiscard()) return;
  const QString name = FDialogs->OpenMapFileName(this);
  if (name.isEmpty()) return;
  OpenMap(name);
}

bool TMapEdit2Form::SaveMap(const QString& FileName) {
  if (!FDocument) return false;
  try {
    // Asked when the map's own file was changed by another program since it was
    // opened or saved here.
    const auto confirm = [&] {
      return FDialogs->AskYesNo(
          this, FTexts.ChangedOnDisk.arg(
                    FileName, QFile::decodeName(BackupName(LocalPath(FileName)).c_str())));
    };
    TMapSaveReport report;
    if (!FSession->Save(LocalPath(FileName), report, confirm)) return false;
    if (report.WroteInPlace)
      FDialogs->ShowWarning(this, FTexts.WroteInPlace.arg(FileName, FileName + ".bak"));
  } catch (const std::exception& e) {
    ShowException(e);
    return false;
  }
  SetModified(false);
  UpdateCaption();
  RememberFile(FileName);
  return true;
}

void TMapEdit2Form::Save1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  if (!FSession->FileName().empty())
    SaveMap(MapFileName());
  else
    SaveAS1Execute();
}

void TMapEdit2Form::SaveAS1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  const QString name = FDialogs->SaveMapFileName(this);
  if (name.isEmpty()) return;
  SaveMap(name);
}

void TMapEdit2Form::AddLayer1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  try {
    CheckRoomForLayers(*FDocument, 1);  // a map file holds only so many layers
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  TLayerRequest request;
  for (int32_t i = 0; i < FLayerList->count(); ++i)
    request.Additions << FLayerList->item(i)->text();
  if (!FDialogs->AddLayer(this, request)) return;
  const int32_t count = FLayerList->count();
  const bool insert = request.AdditionIndex >= 0 && request.AdditionIndex < count;
  if (insert)
    FLayerList->insertItem(request.AdditionIndex, MakeLayerItem(request.LayerName));
  else
    FLayerList->addItem(MakeLayerItem(request.LayerName));
  try {
    TBusyCursor busy;
    // The layer stays (with no image) when its source cannot be read; the user can
    // fix the source.
    FSession->AddLayer(insert ? request.AdditionIndex + 1 : FDocument->Count(),
                       request.LayerName.toStdString(), request.FileName.toStdString(),
                       TMapEditLayerType(std::clamp(request.LayerType, 0, 2)),
                       TBadLayerSource::KeepLayer);
  } catch (const std::exception& e) {
    ShowException(e);
  }
  FLayerList->setCurrentRow(FLayerList->count() - 1);
  SetStatus(0, FTexts.Layers.arg(FLayerList->count()));
  SetModified(true);
  Invalidate();
  UpdateLayerButtons();
  UpdateActions();
}

void TMapEdit2Form::ListBox1DblClick() {
  const int32_t i = FLayerList->currentRow();
  if (!FDocument || i < 0 || i + 1 >= FDocument->Count()) return;
  TMapEditLayer* layer = FDocument->Layers(i + 1);
  TLayerRequest request;
  request.ShowAdditions = false;
  request.LayerName = QString::fromStdString(layer->LayerName);
  request.FileName = QString::fromStdString(layer->FileName());
  request.LayerType = int32_t(layer->LayerType);
  if (!FDialogs->AddLayer(this, request)) return;
  try {
    TBusyCursor busy;
    // The type stays as it was.
    FSession->EditLayer(i + 1, request.LayerName.toStdString(), request.FileName.toStdString(),
                        TBadLayerSource::KeepLayer);
  } catch (const std::exception& e) {
    ShowException(e);
  }
  FLayerList->item(i)->setText(request.LayerName);
  SetModified(true);
  Invalidate();
  UpdateLayerButtons();
}

void TMapEdit2Form::DeleteLayer1Execute() {
  const int32_t i = FLayerList->currentRow();
  if (!FDocument || i < 0) return;
  if (FDeleteLayerPrompt.isEmpty()) FDeleteLayerPrompt = "本当にレイヤーを削除しますか？";
  if (!FDialogs->AskOkCancel(this, FDeleteLayerPrompt)) return;
  const int32_t docIndex = i + 1;
  delete FLayerList->takeItem(i);
  // The layers below move up one number; the pixels of the deleted layer take the
  // layer now in its place (or the one above it when it was the last), so that the
  // rest of the map keeps its textures and no pixel names a missing layer.
  {
    TBusyCursor busy;
    FSession->DeleteLayer(docIndex);
  }
  FLayerList->setCurrentRow(FLayerList->count() > 0 ? std::max(i - 1, 0) : -1);
  SetStatus(0, FTexts.Layers.arg(FLayerList->count()));
  SetModified(true);
  Invalidate();
  LayerModeExecute();
  UpdateActions();
}

void TMapEdit2Form::DoorColorChange1Execute() {
  QColor chosen;
  // The dialog opens with the swatch's colour (the default door colour stands for
  // itself), so that a small change starts from what is in use.
  const QColor current = QColor::fromRgb(ColorFromPlatform(FDoorSwatch->Color()));
  if (!FDialogs->ChooseColor(this, current, chosen)) return;
  FLastDialogColor = chosen;
  FDoorSwatch->SetColor(ColorToPlatform(chosen.rgb() | 0xFF000000u));
}

TColor TMapEdit2Form::DoorColor() const {
  const TColor c = FDoorSwatch->Color();
  return c == clBtnFace ? clNone : c;
}

void TMapEdit2Form::SetDoorColor(TColor Value) { FDoorSwatch->SetColor(Value); }

int32_t TMapEdit2Form::UndoIndex() const { return FSession->History().UndoIndex(); }
int32_t TMapEdit2Form::UndoLimit() const { return FSession->History().UndoLimit(); }
void TMapEdit2Form::SetUndoLimit(int32_t Value) { FSession->History().SetUndoLimit(Value); }

void TMapEdit2Form::ApplyUndo(QAction* Sender) {
  if (!FDocument) return;
  const bool redo = Sender == Action("Redo1");
  const TLayerViewState view = CaptureLayerViewState();
  {
    TBusyCursor busy;
    if (!(redo ? FSession->Redo() : FSession->Undo())) return;
  }
  RestoreLayerList(view);
  SyncProps(false);
  SetModified(true);
  Invalidate();
  UpdateActions();
}

TMapEdit2Form::TLayerViewState TMapEdit2Form::CaptureLayerViewState() const {
  TLayerViewState state;
  if (!FDocument) return state;
  for (int32_t i = 0; i < FLayerList->count() && i + 1 < FDocument->Count(); ++i)
    state.Shown[FDocument->Layers(i + 1)] = LayerShown(i);
  const int32_t row = FLayerList->currentRow();
  if (row >= 0 && row + 1 < FDocument->Count()) state.Selected = FDocument->Layers(row + 1);
  return state;
}

void TMapEdit2Form::RestoreLayerList(const TLayerViewState& State) {
  if (!FDocument) return;
  const int32_t row = FLayerList->currentRow();
  const QSignalBlocker block(FLayerList);
  FLayerList->clear();
  int32_t selected = -1;
  for (int32_t i = 1; i < FDocument->Count(); ++i) {
    const TMapEditLayer* layer = FDocument->Layers(i);
    QListWidgetItem* item = MakeLayerItem(QString::fromStdString(layer->LayerName));
    const auto it = State.Shown.find(layer);
    if (it != State.Shown.end() && !it->second) item->setCheckState(Qt::Unchecked);
    FLayerList->addItem(item);
    if (layer == State.Selected) selected = i - 1;
  }
  if (selected < 0) selected = std::min(row, FLayerList->count() - 1);
  FLayerList->setCurrentRow(selected);
  UpdateLayerButtons();
}

// Moves the selected layer one place up or down the list. The session renumbers
// the pixels so every floor keeps its texture, and the move undoes like an edit.
// The list keeps each layer's view check box and the selection follows the layer.
void TMapEdit2Form::MoveLayer1Execute(int32_t Delta) {
  if (!FDocument) return;
  const int32_t row = FLayerList->currentRow();
  const int32_t to = row + Delta;
  if (row < 0 || to < 0 || to >= FLayerList->count() || to + 1 >= FDocument->Count()) return;
  const TLayerViewState view = CaptureLayerViewState();
  try {
    TBusyCursor busy;
    FSession->MoveLayer(row + 1, to + 1);
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  RestoreLayerList(view);
  SetModified(true);
  Invalidate();
  UpdateActions();
}
