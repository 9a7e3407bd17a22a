#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

#include "editor/editor_dialogs.h"

#include "dialogs/dialog_languages.h"

namespace {
const char* const kMapFilter = "Map Data(*.qmx)";
}

QString TQtEditorDialogs::OpenMapFileName(QWidget* Parent) {
  return QFileDialog::getOpenFileName(Parent, QString(), QString(), kMapFilter);
}

QString TQtEditorDialogs::SaveMapFileName(QWidget* Parent) {
  QFileDialog dialog(Parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(kMapFilter);
  // The extension is appended when the user types none.
  dialog.setDefaultSuffix("qmx");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

bool TQtEditorDialogs::ChooseColor(QWidget* Parent, const QColor& Initial, QColor& Chosen) {
  const QColor c = QColorDialog::getColor(Initial, Parent);
  if (!c.isValid()) return false;
  Chosen = c;
  return true;
}

bool TQtEditorDialogs::AskYesNo(QWidget* Parent, const QString& Text) {
  return QMessageBox::question(Parent, QString(), Text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

bool TQtEditorDialogs::AskOkCancel(QWidget* Parent, const QString& Text) {
  return QMessageBox::question(Parent, QString(), Text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

TDiscardAnswer TQtEditorDialogs::AskDiscard(QWidget* Parent, const QString& Text) {
  const auto b = QMessageBox::question(
      Parent, QString(), Text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  if (b == QMessageBox::Save) return TDiscardAnswer::Save;
  if (b == QMessageBox::Discard) return TDiscardAnswer::Discard;
  return TDiscardAnswer::Cancel;
}

void TQtEditorDialogs::ShowError(QWidget* Parent, const QString& Text) {
  QMessageBox::critical(Parent, QString(), Text);
}

bool TQtEditorDialogs::MapSize(QWidget* /*Parent*/, TMapSizeRequest& Request) {
  // Until the map size dialog exists, New takes its defaults.
  Request = TMapSizeRequest{};
  return true;
}

bool TQtEditorDialogs::AddLayer(QWidget* Parent, TLayerRequest& Request) {
  // A plain stand-in for the layer settings dialog: name, source and type.
  QDialog dialog(Parent);
  auto* form = new QFormLayout(&dialog);
  auto* name = new QLineEdit(Request.LayerName, &dialog);
  auto* source = new QLineEdit(Request.FileName, &dialog);
  source->setPlaceholderText("0x00BBGGRR, image path or <x,y,size>path");
  auto* type = new QComboBox(&dialog);
  type->addItems({"Ground", "Floor", "Object"});
  auto* where = new QComboBox(&dialog);
  where->addItem("(end)");
  where->addItems(Request.Additions);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow("Name", name);
  form->addRow("Source", source);
  form->addRow("Type", type);
  form->addRow("Insert before", where);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return false;
  Request.LayerName = name->text();
  Request.FileName = source->text();
  Request.LayerType = type->currentIndex();
  Request.AdditionIndex = where->currentIndex() - 1;
  return true;
}

// --- Universal VTT export ---

bool TQtEditorDialogs::VttExportOptions(QWidget* Parent, TVttExportRequest& Request) {
  TVttExportForm form(Parent);
  form.ApplyCaptions(VttExportCaptions);
  return form.Execute(Request.ChipSize, Request.PixelsPerGrid, Request.Grid);
}

QString TQtEditorDialogs::SaveVttFileName(QWidget* Parent) {
  QFileDialog dialog(Parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter("Universal VTT (*.dd2vtt *.uvtt)");
  dialog.setDefaultSuffix("dd2vtt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

// --- languages ---

void TQtEditorDialogs::LoadLanguage(const TLanguageFile& File) {
  ::LoadLanguage(File, MapTileCaptions);
  ::LoadLanguage(File, LayerCaptions, UseJpColor);
  ::LoadLanguage(File, FileFormCaptions);
  ::LoadLanguage(File, VttExportCaptions);
}
