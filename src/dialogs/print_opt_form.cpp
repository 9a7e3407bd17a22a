#include "dialogs/print_opt_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/dial_spin_edit.h"
#include "map/output/pdf_print_sink.h"
#include "record/errors.h"

namespace {

const char* const kPdfPapers[] = {"A4", "A3", "A5", "Letter", "Legal", "Tabloid"};

}  // namespace

TplSetPrinter::TplSetPrinter() { FPrinters = QPrinterInfo::availablePrinterNames(); }

QStringList TplSetPrinter::PrinterNames() const {
  QStringList names = FPrinters;
  names << QObject::tr("PDF file");
  return names;
}

int TplSetPrinter::DefaultPrinter() const {
  const int i = int(FPrinters.indexOf(QPrinterInfo::defaultPrinterName()));
  return i >= 0 ? i : int(FPrinters.size());  // the PDF file when there is no printer
}

QStringList TplSetPrinter::PaperNames(int Printer) const {
  QStringList names;
  if (IsPdf(Printer) || Printer < 0 || Printer > FPrinters.size()) {
    for (const char* p : kPdfPapers) names << p;
    return names;
  }
  for (const QPageSize& s : QPrinterInfo::printerInfo(FPrinters.at(Printer)).supportedPageSizes())
    names << s.name();
  return names;
}

int TplSetPrinter::CurrentPaper(int Printer) const {
  if (IsPdf(Printer) || Printer < 0 || Printer > FPrinters.size()) return 0;
  const QPrinterInfo info = QPrinterInfo::printerInfo(FPrinters.at(Printer));
  const int i = int(PaperNames(Printer).indexOf(info.defaultPageSize().name()));
  return std::max(0, i);
}

TPrinterMetrics TplSetPrinter::Metrics(int Printer, int Paper, bool Landscape) const {
  const QStringList papers = PaperNames(Printer);
  if (Paper < 0 || Paper >= papers.size()) return {};
  if (IsPdf(Printer) || Printer < 0 || Printer > FPrinters.size())
    return PdfPrinterMetrics(PaperByName(papers.at(Paper).toStdString()), Landscape, PdfDpi,
                             TPdfPrintSink::DefaultMarginMm);
  const QPrinterInfo info = QPrinterInfo::printerInfo(FPrinters.at(Printer));
  if (info.isNull()) return {};
  QPrinter printer(info, QPrinter::HighResolution);
  const QList<QPageSize> sizes = info.supportedPageSizes();
  if (Paper < sizes.size()) printer.setPageSize(sizes.at(Paper));
  printer.setPageOrientation(Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  TPrinterMetrics m;
  m.DpiX = printer.logicalDpiX();
  m.DpiY = printer.logicalDpiY();
  const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
  m.PrintableWidth = area.width();
  m.PrintableHeight = area.height();
  return m;
}

TPrintOptForm::TPrintOptForm(QWidget* Parent, IPrinterService* Printers)
    : QDialog(Parent), FPrinters(Printers) {
  setObjectName("PrintOptForm");
  if (!FPrinters) {
    FPrinters = new TplSetPrinter;
    FOwnPrinters = true;
  }
  FPrinterLabel = new QLabel(this);
  FPrinterList = new QComboBox(this);
  FPrinterList->setMinimumWidth(220);
  FPaperLabel = new QLabel(this);
  FPaperList = new QComboBox(this);
  FOrientLabel = new QLabel(this);
  FPortrait = new QRadioButton(this);
  FLandscape = new QRadioButton(this);
  FPortrait->setChecked(true);
  auto* top = new QGridLayout;
  top->addWidget(FPrinterLabel, 0, 0);
  top->addWidget(FPrinterList, 0, 1, 1, 2);
  top->addWidget(FPaperLabel, 1, 0);
  top->addWidget(FPaperList, 1, 1, 1, 2);
  top->addWidget(FOrientLabel, 2, 0);
  top->addWidget(FPortrait, 2, 1);
  top->addWidget(FLandscape, 2, 2);

  FChipGroup = new QGroupBox(this);
  FCellLabel = new QLabel(FChipGroup);
  FRSE1 = new TDialRealSpinEdit(FChipGroup);
  FRSE1->SetMinValue(0);
  FRSE1->SetMaxValue(50);
  FRSE1->SetIncrement(1);
  FRSE1->SetValue(1.0L);
  FUnit = new QComboBox(FChipGroup);
  FUnit->addItems({"㎜", "cm", FCaptions.Inch});
  FUnit->setCurrentIndex(2);
  for (QLineEdit*& f : FFigures) {
    f = new QLineEdit(FChipGroup);
    f->setReadOnly(true);
    f->setAlignment(Qt::AlignRight);
    f->setFixedWidth(64);
  }
  FPxLabel = new QLabel(FChipGroup);
  FZoomLabel = new QLabel(FChipGroup);
  FPerSheetLabel = new QLabel(FChipGroup);
  FPerSheetW = new QLabel(FChipGroup);
  FPerSheetH = new QLabel(FChipGroup);
  FSheetsLabel = new QLabel(FChipGroup);
  FSheetsDown = new QLabel(FChipGroup);
  FSheetsAcross = new QLabel(FChipGroup);
  auto* g = new QGridLayout(FChipGroup);
  g->addWidget(FCellLabel, 0, 0);
  g->addWidget(FRSE1, 0, 1);
  g->addWidget(FUnit, 0, 2);
  auto* px = new QHBoxLayout;
  px->addWidget(FFigures[0]);
  px->addWidget(FPxLabel);
  px->addWidget(FFigures[1]);
  FPxOpenLabel = new QLabel(FChipGroup);
  px->addWidget(FPxOpenLabel);
  px->addWidget(FFigures[2]);
  px->addWidget(FZoomLabel);
  px->addStretch();
  g->addLayout(px, 1, 0, 1, 6);
  g->addWidget(FPerSheetLabel, 2, 0);
  g->addWidget(FPerSheetW, 2, 1, Qt::AlignRight);
  g->addWidget(FFigures[3], 2, 2);
  g->addWidget(FPerSheetH, 2, 3, Qt::AlignRight);
  g->addWidget(FFigures[4], 2, 4);
  g->addWidget(FSheetsLabel, 3, 0);
  g->addWidget(FFigures[5], 3, 1);
  g->addWidget(FSheetsDown, 3, 2, Qt::AlignRight);
  g->addWidget(FFigures[6], 3, 3);
  g->addWidget(FSheetsAcross, 3, 4, Qt::AlignRight);
  g->addWidget(FFigures[7], 3, 5);

  FFullColor = new QCheckBox(this);
  FFullColor->setChecked(true);
  FSmooth = new QCheckBox(this);
  FOverlap = new QCheckBox(this);
  FAssembly = new QCheckBox(this);
  FAssembly->setChecked(true);
  FSheetMarks = new QCheckBox(this);
  FTrimBorder = new QCheckBox(this);
  FSheetsLabel2 = new QLabel(this);
  FSheets = new QLineEdit(this);
  FSheetsLabel2->setBuddy(FSheets);
  FSheetsMessage = new QLabel(this);
  FSheetsMessage->setStyleSheet("color: #B00000;");
  FSheetsMessage->setWordWrap(true);
  FSheetsMessage->setVisible(false);
  auto* sheetsRow = new QHBoxLayout;
  sheetsRow->addWidget(FSheetsLabel2);
  sheetsRow->addWidget(FSheets, 1);
  FPreview = new QPushButton(this);
  FPreview->setAutoDefault(false);
  FOk = new QPushButton(this);
  FOk->setDefault(true);
  FCancel = new QPushButton(this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FPreview);
  buttons->addStretch();
  buttons->addWidget(FOk);
  buttons->addWidget(FCancel);
  auto* col = new QVBoxLayout(this);
  col->addLayout(top);
  col->addWidget(FChipGroup);
  col->addWidget(FFullColor);
  col->addWidget(FSmooth);
  col->addWidget(FOverlap);
  col->addWidget(FAssembly);
  col->addWidget(FSheetMarks);
  col->addWidget(FTrimBorder);
  col->addLayout(sheetsRow);
  col->addWidget(FSheetsMessage);
  col->addLayout(buttons);
  col->setSizeConstraint(QLayout::SetFixedSize);

  connect(FPrinterList, &QComboBox::currentIndexChanged, this, [this] {
    if (!FFilling) PrinterChosen();
  });
  connect(FPaperList, &QComboBox::currentIndexChanged, this, [this] {
    if (!FFilling) Recompute();
  });
  connect(FPortrait, &QRadioButton::toggled, this, [this] { Recompute(); });
  connect(FUnit, &QComboBox::currentIndexChanged, this, [this] { Recompute(); });
  connect(FRSE1, &TDialSpinBase::Changed, this, [this] { Recompute(); });
  connect(FOverlap, &QCheckBox::toggled, this, [this] { Recompute(); });
  connect(FSheetMarks, &QCheckBox::toggled, this, [this] { Recompute(); });
  connect(FSheets, &QLineEdit::textChanged, this, [this] { Recompute(); });
  connect(FPreview, &QPushButton::clicked, this, [this] {
    FPreviewAsked = true;
    accept();
  });
  connect(FOk, &QPushButton::clicked, this, [this] {
    FPreviewAsked = false;
    accept();
  });
  connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
  ApplyCaptions(FCaptions);
}

TPrintOptForm::~TPrintOptForm() {
  if (FOwnPrinters) delete FPrinters;
}

void TPrintOptForm::ApplyCaptions(const TPrintOptFormCaptions& V) {
  FCaptions = V;
  setWindowTitle(V.Caption);
  FOk->setText(V.OK);
  FCancel->setText(V.Cancel);
  FOrientLabel->setText(V.PrinterName);
  FZoomLabel->setText(V.PaperSize);
  FSheetsLabel->setText(V.Width);
  FCellLabel->setText(V.Width2);
  FSheetsDown->setText(V.Height);
  FPaperLabel->setText(V.Height2);
  FChipGroup->setTitle(V.OptChipSize);
  FPrinterLabel->setText(V.ChipSize);
  FPerSheetH->setText(V.Zoom);
  FPxLabel->setText(V.Num);
  FPerSheetW->setText(V.Vert);
  FSheetsAcross->setText(V.Horz);
  FFullColor->setText(V.FullColor);
  FSmooth->setText(V.DraftResampling);
  FPortrait->setText(V.Portrait);
  FLandscape->setText(V.Landscape);
  FPerSheetLabel->setText(V.PerSheet);
  FPxOpenLabel->setText(V.PxOpen);
  FOverlap->setText(V.Overlap);
  FAssembly->setText(V.AssemblyPage);
  FSheetMarks->setText(V.SheetMarks);
  FTrimBorder->setText(V.TrimBorder);
  FSheetsLabel2->setText(V.Sheets);
  FSheets->setPlaceholderText(V.SheetsHint);
  FPreview->setText(V.Preview);
  FUnit->setItemText(2, V.Inch);
  if (FPrinterList->count() > 0) FPrinterList->setItemText(FPrinterList->count() - 1, V.PdfFile);
}

void TPrintOptForm::PrepareExecute(int32_t ChipSize, int32_t Width, int32_t Height) {
  FChipSize = ChipSize;
  FMapWidth = Width;
  FMapHeight = Height;
  FFilling = true;
  const int keep = FPrinterList->currentIndex();
  FPrinterList->clear();
  FPrinterList->addItems(FPrinters->PrinterNames());
  // The last destination is the PDF file, named in the dialog's language.
  if (FPrinterList->count() > 0)
    FPrinterList->setItemText(FPrinterList->count() - 1, FCaptions.PdfFile);
  FPrinterList->setCurrentIndex(
      keep >= 0 && keep < FPrinterList->count() ? keep : FPrinters->DefaultPrinter());
  FFilling = false;
  PrinterChosen();
}

bool TPrintOptForm::Execute(int32_t ChipSize, int32_t Width, int32_t Height) {
  PrepareExecute(ChipSize, Width, Height);
  if (parentWidget()) {
    adjustSize();
    move(parentWidget()->window()->geometry().center() - rect().center());
  }
  FPreviewAsked = false;
  return exec() == QDialog::Accepted && FOk->isEnabled();
}

void TPrintOptForm::PrinterChosen() {
  FFilling = true;
  const QString before = FPaperList->currentText();
  FPaperList->clear();
  const int printer = Printer();
  FPaperList->addItems(FPrinters->PaperNames(printer));
  const int same = FPaperList->findText(before);
  FPaperList->setCurrentIndex(same >= 0 ? same : FPrinters->CurrentPaper(printer));
  FFilling = false;
  Recompute();
}

void TPrintOptForm::Recompute() {
  const TPrintUnit units[3] = {TPrintUnit::Millimetre, TPrintUnit::Centimetre, TPrintUnit::Inch};
  const TPrintUnit unit = units[std::clamp(FUnit->currentIndex(), 0, 2)];
  const TPrinterMetrics m = FPrinters->Metrics(Printer(), Paper(), Landscape());
  FLayout = ComputePrintLayout(double(FRSE1->Value()), unit, m, FChipSize, FMapWidth, FMapHeight,
                               Overlap(), SheetMarks());
  const int32_t figures[8] = {FChipSize,
                              FLayout.CellPixelsX,
                              0,
                              FLayout.CellsPerSheetX,
                              FLayout.CellsPerSheetY,
                              FLayout.Sheets,
                              FLayout.SheetsY,
                              FLayout.SheetsX};
  for (int i = 0; i < 8; ++i)
    FFigures[i]->setText(i == 2 ? QString::fromStdString(FLayout.Zoom)
                                : QString::number(figures[i]));
  // The selection must name sheets of this poster.
  QString problem;
  if (FLayout.Printable()) {
    try {
      ParseSheetSelection(Selection().toStdString(), FLayout.SheetsX, FLayout.SheetsY);
    } catch (const EVellumError& e) {
      problem = QString::fromStdString(e.what());
    }
  }
  FSheetsMessage->setText(problem);
  FSheetsMessage->setVisible(!problem.isEmpty());
  const bool ok = FLayout.Printable() && problem.isEmpty();
  FOk->setEnabled(ok);
  FPreview->setEnabled(ok);
}

int TPrintOptForm::Printer() const { return FPrinterList->currentIndex(); }
int TPrintOptForm::Paper() const { return FPaperList->currentIndex(); }
QString TPrintOptForm::PaperName() const { return FPaperList->currentText(); }
bool TPrintOptForm::Landscape() const { return FLandscape->isChecked(); }
bool TPrintOptForm::FullColor() const { return FFullColor->isChecked(); }
bool TPrintOptForm::Smooth() const { return FSmooth->isChecked(); }
bool TPrintOptForm::Overlap() const { return FOverlap->isChecked(); }
bool TPrintOptForm::AssemblyPage() const { return FAssembly->isChecked(); }
bool TPrintOptForm::SheetMarks() const { return FSheetMarks->isChecked(); }
bool TPrintOptForm::TrimBorder() const { return FTrimBorder->isChecked(); }
QString TPrintOptForm::Selection() const { return FSheets->text().trimmed(); }
double TPrintOptForm::CellSize() const { return double(FRSE1->Value()); }
TPrintUnit TPrintOptForm::Unit() const {
  const TPrintUnit units[3] = {TPrintUnit::Millimetre, TPrintUnit::Centimetre, TPrintUnit::Inch};
  return units[std::clamp(FUnit->currentIndex(), 0, 2)];
}

void TPrintOptForm::SetCellSize(double Size, TPrintUnit Unit) {
  FUnit->setCurrentIndex(Unit == TPrintUnit::Millimetre   ? 0
                         : Unit == TPrintUnit::Centimetre ? 1
                                                          : 2);
  FRSE1->SetValue(Size);
  Recompute();
}
