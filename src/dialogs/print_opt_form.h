#pragma once
// TPrintOptForm: the print settings dialog. It chooses the destination (an
// installed printer or a PDF file), paper and orientation and the printed size of
// one cell, and shows the device pixels per cell, the zoom, the cells per sheet
// and the sheets the map needs; it also chooses the poster's extras (assembly
// page, sheet labels with the ruler, trim border) and which sheets to print, and
// can ask for a print preview. "印刷" is enabled only when something can be
// printed. The dialog lives as long as the window and keeps its choices.

#include <QDialog>
#include <QString>
#include <QStringList>

#include "map/output/print_layout.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TDialRealSpinEdit;
class TLanguageFile;

struct TPrintOptFormCaptions {
  QString Caption = "印刷の設定";
  QString OK = "印刷";
  QString Cancel = "キャンセル";
  // The language keys set these labels in the classic program's order, so some
  // keys name other labels than their names suggest.
  QString PrinterName = "用紙の向き";
  QString PaperSize = "%)";
  QString Width = "枚数";
  QString Width2 = "１マスの大きさ";
  QString Height = "縦";
  QString Height2 = "サイズ";
  QString OptChipSize = "チップサイズの設定";
  QString ChipSize = "プリンタ名";
  QString Zoom = "高さ";
  QString Num = "px  ->";
  QString Vert = "幅";
  QString Horz = "横";
  QString FullColor = "フルカラーで出力";
  QString DraftResampling = "綺麗な拡大縮小";
  // Texts without a classic key, with keys of their own so that a translation
  // reaches every text of the dialog.
  QString Portrait = "縦";
  QString Landscape = "横";
  QString PerSheet = "１枚のタイル数";
  QString PxOpen = "px  (";
  QString Overlap = "1マス重ねて印刷";
  QString AssemblyPage = "組み立て用のページを最初に付ける";
  QString SheetMarks = "シートのラベルと定規を付ける";
  QString TrimBorder = "裁ち線を引く";
  QString Sheets = "印刷するシート";
  QString SheetsHint = "空欄で全て (例: A2, B1-B3)";
  QString Preview = "プレビュー";
  // The last destination (a PDF file instead of a printer) and the inch unit.
  QString PdfFile = "PDFファイル";
  QString Inch = "インチ";
};

// What the print dialog's destinations offer: a printer's papers and metrics.
class IPrinterService {
 public:
  virtual ~IPrinterService() = default;
  // Installed printer names; the last destination is always the PDF file.
  virtual QStringList PrinterNames() const = 0;
  virtual int DefaultPrinter() const = 0;
  virtual QStringList PaperNames(int Printer) const = 0;
  virtual int CurrentPaper(int Printer) const = 0;
  // Resolution and printable area; zeros when the printer reports none.
  virtual TPrinterMetrics Metrics(int Printer, int Paper, bool Landscape) const = 0;
};

// Qt's installed printers plus "PDF file" at 600 dpi.
class TplSetPrinter : public IPrinterService {
 public:
  static constexpr int PdfDpi = 600;
  TplSetPrinter();
  QStringList PrinterNames() const override;
  int DefaultPrinter() const override;
  QStringList PaperNames(int Printer) const override;
  int CurrentPaper(int Printer) const override;
  TPrinterMetrics Metrics(int Printer, int Paper, bool Landscape) const override;
  bool IsPdf(int Printer) const { return Printer == FPrinters.size(); }

 private:
  QStringList FPrinters;
};

class TPrintOptForm : public QDialog {
  Q_OBJECT

 public:
  explicit TPrintOptForm(QWidget* Parent = nullptr, IPrinterService* Printers = nullptr);
  ~TPrintOptForm() override;

  // Fills the lists and shows the dialog for a map of Width x Height cells of
  // ChipSize pixels; true when closed with "印刷" or the preview button (then
  // PreviewAsked is set).
  bool Execute(int32_t ChipSize, int32_t Width, int32_t Height);
  // Prepares the dialog as Execute does, without showing it.
  void PrepareExecute(int32_t ChipSize, int32_t Width, int32_t Height);

  // The figures for the current choices.
  const TPrintLayout& Layout() const { return FLayout; }
  int Printer() const;
  int Paper() const;
  QString PaperName() const;
  bool Landscape() const;
  bool FullColor() const;
  bool Smooth() const;
  bool Overlap() const;
  bool AssemblyPage() const;
  bool SheetMarks() const;
  bool TrimBorder() const;
  // The sheets to print as typed ("A2, B1-B3"); empty prints every sheet.
  QString Selection() const;
  // Whether the dialog was closed with the preview button.
  bool PreviewAsked() const { return FPreviewAsked; }
  double CellSize() const;
  TPrintUnit Unit() const;
  void SetCellSize(double Size, TPrintUnit Unit);
  IPrinterService& Printers() const { return *FPrinters; }

  const TPrintOptFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TPrintOptFormCaptions& Value);
  void LoadLanguage(const TLanguageFile& File);

  // Parts reached by tests.
  QComboBox* PrinterList() const { return FPrinterList; }
  QComboBox* PaperList() const { return FPaperList; }
  QComboBox* UnitList() const { return FUnit; }
  QRadioButton* LandscapeOption() const { return FLandscape; }
  QPushButton* OkButton() const { return FOk; }
  QPushButton* PreviewButton() const { return FPreview; }
  QCheckBox* AssemblyCheck() const { return FAssembly; }
  QCheckBox* SheetMarksCheck() const { return FSheetMarks; }
  QCheckBox* TrimBorderCheck() const { return FTrimBorder; }
  QLineEdit* SheetsEdit() const { return FSheets; }
  QLabel* SheetsMessage() const { return FSheetsMessage; }
  QLineEdit* Figure(int Index) const { return FFigures[Index]; }  // see Recompute

 private:
  void PrinterChosen();
  void Recompute();

  IPrinterService* FPrinters;
  bool FOwnPrinters = false;
  TPrintOptFormCaptions FCaptions;
  TPrintLayout FLayout;
  int32_t FChipSize = 50, FMapWidth = 0, FMapHeight = 0;
  bool FFilling = false;
  QLabel *FPrinterLabel, *FPaperLabel, *FOrientLabel, *FCellLabel, *FPxLabel, *FZoomLabel,
      *FPerSheetLabel, *FPxOpenLabel, *FPerSheetW, *FPerSheetH, *FSheetsLabel, *FSheetsDown,
      *FSheetsAcross;
  QComboBox* FPrinterList;
  QComboBox* FPaperList;
  QRadioButton* FPortrait;
  QRadioButton* FLandscape;
  QGroupBox* FChipGroup;
  TDialRealSpinEdit* FRSE1;
  QComboBox* FUnit;
  // chip size, device pixels, zoom, cells across, cells down, sheets, down, across
  QLineEdit* FFigures[8];
  QCheckBox* FFullColor;
  QCheckBox* FSmooth;
  QCheckBox* FOverlap;
  QCheckBox* FAssembly;
  QCheckBox* FSheetMarks;
  QCheckBox* FTrimBorder;
  QLabel* FSheetsLabel2;
  QLineEdit* FSheets;
  QLabel* FSheetsMessage;
  QPushButton* FPreview;
  bool FPreviewAsked = false;
  QPushButton* FOk;
  QPushButton* FCancel;
};
