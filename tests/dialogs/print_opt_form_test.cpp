#include "dialogs/print_opt_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/language_file.h"

namespace {

// One printer at 600 dpi with a 4800 x 6600 printable area (portrait), one
// without metrics, and the PDF file.
struct TFakePrinters : IPrinterService {
  QStringList PrinterNames() const override { return {"Laser", "Broken", "PDF file"}; }
  int DefaultPrinter() const override { return 0; }
  QStringList PaperNames(int) const override { return {"A4", "Letter"}; }
  int CurrentPaper(int) const override { return 1; }
  TPrinterMetrics Metrics(int Printer, int, bool Landscape) const override {
    if (Printer == 1) return {};
    return Landscape ? TPrinterMetrics{600, 600, 6600, 4800}
                     : TPrinterMetrics{600, 600, 4800, 6600};
  }
};

TEST(PrintOptForm, FiguresFollowEveryChoiceAndGuardTheDivisions) {
  TFakePrinters printers;
  TPrintOptForm form(nullptr, &printers);
  form.PrepareExecute(50, 20, 11);
  EXPECT_EQ(form.PrinterList()->currentIndex(), 0);
  EXPECT_EQ(form.PaperList()->currentText(), "Letter");  // the printer's current paper
  // 1 inch at 600 dpi: 600 pixels, zoom 1200, 8 x 11 cells a sheet, 3 x 1 sheets.
  EXPECT_EQ(form.Figure(0)->text(), "50");
  EXPECT_EQ(form.Figure(1)->text(), "600");
  EXPECT_EQ(form.Figure(2)->text(), "1200");
  EXPECT_EQ(form.Figure(3)->text(), "8");
  EXPECT_EQ(form.Figure(4)->text(), "11");
  EXPECT_EQ(form.Figure(5)->text(), "3");
  EXPECT_EQ(form.Figure(6)->text(), "1");
  EXPECT_EQ(form.Figure(7)->text(), "3");
  EXPECT_TRUE(form.OkButton()->isEnabled());

  form.LandscapeOption()->setChecked(true);  // 11 x 8 cells a sheet
  EXPECT_EQ(form.Figure(3)->text(), "11");
  EXPECT_EQ(form.Figure(5)->text(), "4");

  form.SetCellSize(10, TPrintUnit::Millimetre);
  EXPECT_EQ(form.Figure(1)->text(), "236");
  EXPECT_EQ(form.Figure(2)->text(), "472");

  // No metrics, a zero size and a cell larger than the sheet print nothing.
  form.PrinterList()->setCurrentIndex(1);
  EXPECT_EQ(form.Figure(1)->text(), "0");
  EXPECT_EQ(form.Figure(5)->text(), "0");
  EXPECT_FALSE(form.OkButton()->isEnabled());
  form.PrinterList()->setCurrentIndex(0);
  EXPECT_TRUE(form.OkButton()->isEnabled());
  form.SetCellSize(0, TPrintUnit::Inch);
  EXPECT_FALSE(form.OkButton()->isEnabled());
  form.SetCellSize(12, TPrintUnit::Inch);
  EXPECT_EQ(form.Figure(3)->text(), "0");
  EXPECT_FALSE(form.OkButton()->isEnabled());
}

TEST(PrintOptForm, LanguageKeysKeepTheClassicLabelMapping) {
  TFakePrinters printers;
  TPrintOptForm form(nullptr, &printers);
  form.LoadLanguage(TLanguageFile::FromBytes(
      "[PrintForm]\nCaption=Print\nPrinterName=Orientation\nWidth=Sheets\nHeight=Down\n"));
  EXPECT_EQ(form.windowTitle().toStdString(), "Print");
  EXPECT_EQ(form.Captions().PrinterName.toStdString(), "Orientation");
  // One key names two labels.
  EXPECT_EQ(form.Captions().Width.toStdString(), "Sheets");
  EXPECT_EQ(form.Captions().Width2.toStdString(), "Sheets");
  EXPECT_EQ(form.Captions().Height2.toStdString(), "Down");
  form.LoadLanguage(TLanguageFile::FromBytes("[PrintForm]\nCellSizeLabel=One cell\n"));
  EXPECT_EQ(form.Captions().Width.toStdString(), "Sheets");
  EXPECT_EQ(form.Captions().Width2.toStdString(), "One cell");
}

}  // namespace
