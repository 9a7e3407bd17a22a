#include "dialogs/print_opt_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
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

TEST(PrintOptForm, PdfDestinationAndInchFollowTheLanguage) {
  TFakePrinters printers;
  TPrintOptForm form(nullptr, &printers);
  form.PrepareExecute(50, 20, 11);
  // The last destination is the PDF file, whatever the service calls it.
  ASSERT_EQ(form.PrinterList()->count(), 3);
  EXPECT_EQ(form.PrinterList()->itemText(2), "PDFファイル");
  EXPECT_EQ(form.PrinterList()->itemText(0), "Laser");
  EXPECT_EQ(form.UnitList()->itemText(2), "インチ");
  TPrintOptFormCaptions c = form.Captions();
  c.PdfFile = "PDF file";
  c.Inch = "inch";
  form.ApplyCaptions(c);
  EXPECT_EQ(form.PrinterList()->itemText(2), "PDF file");
  EXPECT_EQ(form.UnitList()->itemText(2), "inch");
  // Opened again, the list is filled anew in the chosen language.
  form.PrepareExecute(50, 20, 11);
  EXPECT_EQ(form.PrinterList()->itemText(2), "PDF file");
}

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

namespace {

TEST(PrintOptForm, PosterExtrasAndASelectionCheckedAsTyped) {
  TFakePrinters printers;
  TPrintOptForm form(nullptr, &printers);
  form.PrepareExecute(50, 20, 11);
  // The assembly page is on to begin with; labels and ruler and the border off.
  EXPECT_TRUE(form.AssemblyPage());
  EXPECT_FALSE(form.SheetMarks());
  EXPECT_FALSE(form.TrimBorder());
  EXPECT_EQ(form.Layout().MarksHeight, 0);
  EXPECT_EQ(form.Figure(4)->text(), "11");
  // Sheet marks keep half an inch free below the cells: 10 cells down, 2 sheets.
  form.SheetMarksCheck()->setChecked(true);
  EXPECT_EQ(form.Layout().MarksHeight, 300);
  EXPECT_EQ(form.Figure(4)->text(), "10");
  EXPECT_EQ(form.Figure(6)->text(), "2");
  // 3 x 2 sheets: A1-B3. A sheet outside the poster is named and refused.
  form.SheetsEdit()->setText("A2, B1-B3");
  EXPECT_FALSE(form.SheetsMessage()->isVisibleTo(&form));
  EXPECT_TRUE(form.OkButton()->isEnabled());
  EXPECT_EQ(form.Selection(), "A2, B1-B3");
  form.SheetsEdit()->setText("A2, C1");
  EXPECT_TRUE(form.SheetsMessage()->isVisibleTo(&form));
  EXPECT_TRUE(form.SheetsMessage()->text().contains("C1")) << form.SheetsMessage()->text().toStdString();
  EXPECT_FALSE(form.OkButton()->isEnabled());
  EXPECT_FALSE(form.PreviewButton()->isEnabled());
  form.SheetsEdit()->setText("x-");
  EXPECT_FALSE(form.OkButton()->isEnabled());
  // Without the strip the poster has one row of sheets, so B1 is refused there.
  form.SheetsEdit()->setText("B1");
  EXPECT_TRUE(form.OkButton()->isEnabled());
  form.SheetMarksCheck()->setChecked(false);
  EXPECT_FALSE(form.OkButton()->isEnabled());
  form.SheetsEdit()->setText("  ");
  EXPECT_TRUE(form.OkButton()->isEnabled());
  EXPECT_EQ(form.Selection(), "");
  EXPECT_DOUBLE_EQ(form.CellSize(), 1.0);
  EXPECT_EQ(form.Unit(), TPrintUnit::Inch);

  const TLanguageFile f = TLanguageFile::FromBytes(
      "[PrintForm]\nAssemblyPage=Assembly page first\nPreview=Preview\nSheetsHint=all\n");
  form.LoadLanguage(f);
  EXPECT_EQ(form.AssemblyCheck()->text().toStdString(), "Assembly page first");
  EXPECT_EQ(form.PreviewButton()->text().toStdString(), "Preview");
  EXPECT_EQ(form.SheetsEdit()->placeholderText().toStdString(), "all");
  EXPECT_EQ(form.TrimBorderCheck()->text().toStdString(), "裁ち線を引く");
}

}  // namespace
