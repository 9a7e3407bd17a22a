#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>

#include "editor/editor_dialogs.h"

#include "dialogs/dialog_languages.h"
#include "dialogs/dialog_services.h"

namespace {
const char* const kMapFilter = "Map Data(*.qmx)";

// Message boxes carry the application's title (from the language file).
QString Title() { return QGuiApplication::applicationDisplayName(); }

// Save dialogs open in the open map's folder.
QString StartFolder() { return QString::fromStdString(FileDialogFolder()); }
}  // namespace

QString TQtEditorDialogs::OpenMapFileName(QWidget* Parent) {
  return QFileDialog::getOpenFileName(Parent, QString(), StartFolder(), kMapFilter);
}

QString TQtEditorDialogs::SaveMapFileName(QWidget* Parent) {
  QFileDialog dialog(Parent);
  dialog.setDirectory(StartFolder());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(kMapFilter);
  // The extension is appended when the user types none.
  dialog.setDefaultSuffix("qmx");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

QString TQtEditorDialogs::ChooseFolder(QWidget* Parent, const QString& Caption) {
  return QFileDialog::getExistingDirectory(Parent, Caption, StartFolder());
}

bool TQtEditorDialogs::ChooseColor(QWidget* Parent, const QColor& Initial, QColor& Chosen) {
  const QColor c = QColorDialog::getColor(Initial, Parent);
  if (!c.isValid()) return false;
  Chosen = c;
  return true;
}

bool TQtEditorDialogs::AskYesNo(QWidget* Parent, const QString& Text) {
  return QMessageBox::question(Parent, Title(), Text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

bool TQtEditorDialogs::AskOkCancel(QWidget* Parent, const QString& Text) {
  return QMessageBox::question(Parent, Title(), Text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

TDiscardAnswer TQtEditorDialogs::AskDiscard(QWidget* Parent, const QString& Text) {
  const auto b = QMessageBox::question(
      Parent, Title(), Text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  if (b == QMessageBox::Save) return TDiscardAnswer::Save;
  if (b == QMessageBox::Discard) return TDiscardAnswer::Discard;
  return TDiscardAnswer::Cancel;
}

void TQtEditorDialogs::ShowError(QWidget* Parent, const QString& Text) {
  QMessageBox::critical(Parent, Title(), Text);
}

void TQtEditorDialogs::ShowWarning(QWidget* Parent, const QString& Text) {
  QMessageBox::warning(Parent, Title(), Text);
}

bool TQtEditorDialogs::MapSize(QWidget* Parent, TMapSizeRequest& Request) {
  if (!FFileForm) FFileForm = new TFileForm(Parent);
  FFileForm->ApplyCaptions(FileFormCaptions);
  if (!FFileForm->Execute(true)) return false;
  Request.Width = FFileForm->MapWidth();
  Request.Height = FFileForm->MapHeight();
  Request.ChipSize = FFileForm->MapSize();
  Request.LayerSetFile = QFile::decodeName(FFileForm->LayerSetFile().string().c_str());
  return true;
}

bool TQtEditorDialogs::AddLayer(QWidget* Parent, TLayerRequest& Request) {
  if (!FTileForm) FTileForm = new TMapTileForm(Parent);
  if (!FLayerForm) FLayerForm = new TLayerForm(FTileForm, Parent);
  FTileForm->ApplyCaptions(MapTileCaptions);
  FLayerForm->ApplyCaptions(LayerCaptions);
  FLayerForm->UseJpColor = UseJpColor;
  std::vector<std::string> additions;
  for (const QString& name : Request.Additions) additions.push_back(name.toStdString());
  FLayerForm->SetAdditions(additions);
  // Editing opens with the layer's values; adding keeps the last ones.
  if (!Request.ShowAdditions) {
    FLayerForm->SetLayerName(Request.LayerName.toStdString());
    FLayerForm->SetFileName(Request.FileName.toStdString());
    FLayerForm->SetLayerType(TMapEditLayerType(Request.LayerType));
  }
  if (!FLayerForm->Execute(Request.ShowAdditions)) return false;
  Request.LayerName = QString::fromStdString(FLayerForm->LayerName());
  Request.FileName = QString::fromStdString(FLayerForm->FileName());
  Request.LayerType = int32_t(FLayerForm->LayerType());
  Request.AdditionIndex = FLayerForm->AdditionIndex();
  return true;
}

// --- Universal VTT export ---

bool TQtEditorDialogs::VttExportOptions(QWidget* Parent, TVttExportRequest& Request) {
  TVttExportForm form(Parent);
  form.ApplyCaptions(VttExportCaptions);
  form.SetMapSize(Request.Width, Request.Height);
  form.SetObjectChoices(Request.Labels, Request.BakeLights, Request.MergeObjects);
  if (!form.Execute(Request.ChipSize, Request.PixelsPerGrid, Request.Grid)) return false;
  form.ObjectChoices(Request.Labels, Request.BakeLights, Request.MergeObjects);
  return true;
}

QString TQtEditorDialogs::SaveVttFileName(QWidget* Parent) {
  QFileDialog dialog(Parent);
  dialog.setDirectory(StartFolder());
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
  ::LoadLanguage(File, OutputCaptions);
  ::LoadLanguage(File, PrintCaptions);
  ::LoadLanguage(File, PrintPreviewCaptions);
  ::LoadLanguage(File, VttExportCaptions);
  ::LoadLanguage(File, MapStyleCaptions);
  ::LoadLanguage(File, ObjectCaptions);
  ::LoadLanguage(File, PreferencesCaptions);
}

bool TQtEditorDialogs::Preferences(QWidget* Parent, TPreferences& Values) {
  TPreferencesForm form(Parent);
  form.ApplyCaptions(PreferencesCaptions);
  return form.Execute(Values);
}

// --- map style ---

bool TQtEditorDialogs::MapStyle(QWidget* Parent, TMapStyleSettings& Style) {
  TMapStyleForm form(Parent);
  form.ApplyCaptions(MapStyleCaptions);
  return form.Execute(Style);
}

// --- map objects ---

bool TQtEditorDialogs::EditObject(QWidget* Parent, TMapObject& Obj) {
  TObjectPropsForm form(Parent);
  form.ApplyCaptions(ObjectCaptions);
  return form.Execute(Obj);
}

void TQtEditorDialogs::ShowInformation(QWidget* Parent, const QString& Caption,
                                       const QString& Text) {
  QMessageBox box(Parent);
  box.setWindowTitle(Caption);
  box.setTextFormat(Qt::RichText);
  box.setText(Text);
  box.setIconPixmap(QGuiApplication::windowIcon().pixmap(64, 64));
  box.exec();
}

// --- image output and printing ---

QString TQtEditorDialogs::SaveImageFileName(QWidget* Parent) {
  QFileDialog dialog(Parent);
  dialog.setDirectory(StartFolder());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QString::fromStdString(
      QtFileFilter("PNG Image(*.png)|*.png|Bitmap Image(*.bmp)|*.bmp|JPG Image(*.jpg)|*.jpg|"
                   "WebP Image(*.webp)|*.webp")));
  // The extension is appended when the user types none.
  dialog.setDefaultSuffix("png");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

bool TQtEditorDialogs::OutputOptions(QWidget* Parent, TOutputOptions& Options) {
  if (!FOutputForm) FOutputForm = new TOutputOptForm(Parent);
  FOutputForm->ApplyCaptions(OutputCaptions);
  FOutputForm->HideImageOptions();
  // The grid lines start as the map's own style.
  FOutputForm->SetGridStyle(Options.GridStyle);
  FOutputForm->SetGridOpacity(Options.GridOpacity);
  if (!FOutputForm->Execute()) return false;
  Options = FOutputForm->Options();
  return true;
}

bool TQtEditorDialogs::ImageOutputOptions(QWidget* Parent, TImageOutputRequest& Request) {
  if (!FOutputForm) FOutputForm = new TOutputOptForm(Parent);
  FOutputForm->ApplyCaptions(OutputCaptions);
  FOutputForm->ShowImageOptions(Request.ChipSize, Request.Width, Request.Height,
                                Request.FileName.toLower().endsWith(".webp"));
  FOutputForm->SetGridStyle(Request.Options.GridStyle);
  FOutputForm->SetGridOpacity(Request.Options.GridOpacity);
  if (!FOutputForm->Execute()) return false;
  Request.Options = FOutputForm->Options();
  Request.PixelsPerCell = FOutputForm->PixelsPerCell();
  Request.Dpi = FOutputForm->Dpi();
  return true;
}

bool TQtEditorDialogs::PrintOptions(QWidget* Parent, TPrintRequest& Request) {
  if (!FPrintForm) FPrintForm = new TPrintOptForm(Parent);
  FPrintForm->ApplyCaptions(PrintCaptions);
  if (!FPrintForm->Execute(Request.ChipSize, Request.Width, Request.Height)) return false;
  const auto* printers = dynamic_cast<const TplSetPrinter*>(&FPrintForm->Printers());
  Request.Pdf = !printers || printers->IsPdf(FPrintForm->Printer());
  Request.PrinterName = FPrintForm->PrinterList()->currentText();
  Request.PaperName = FPrintForm->PaperName();
  Request.Landscape = FPrintForm->Landscape();
  Request.Layout = FPrintForm->Layout();
  Request.FullColor = FPrintForm->FullColor();
  Request.Smooth = FPrintForm->Smooth();
  Request.AssemblyPage = FPrintForm->AssemblyPage();
  Request.SheetMarks = FPrintForm->SheetMarks();
  Request.TrimBorder = FPrintForm->TrimBorder();
  Request.Selection = FPrintForm->Selection();
  Request.CellSize = FPrintForm->CellSize();
  Request.Unit = FPrintForm->Unit();
  Request.Preview = FPrintForm->PreviewAsked();
  return true;
}

QString TQtEditorDialogs::SavePdfFileName(QWidget* Parent) {
  QFileDialog dialog(Parent);
  dialog.setDirectory(StartFolder());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter("PDF (*.pdf)");
  dialog.setDefaultSuffix("pdf");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

bool TQtEditorDialogs::PrintPreview(QWidget* Parent, TMapEditLayerList& Map,
                                    const TPrintLayout& Layout, const TPrintOptions& Options) {
  TPrintPreviewForm form(Map, Layout, Options, Parent);
  form.ApplyCaptions(PrintPreviewCaptions);
  return form.exec() == QDialog::Accepted;
}
