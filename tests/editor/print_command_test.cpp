#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <cstdlib>
#include <memory>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_layer_list.h"
#include "support/test_support.h"

namespace {

struct TPrintDialogs : TFakeDialogs {
  bool GridOk = true, PrintOk = true;
  QString PdfName;
  TPrintRequest Asked;
  bool OutputOptions(QWidget*, TOutputOptions& O) override {
    O.UseGrid = true;
    return GridOk;
  }
  bool PrintOptions(QWidget*, TPrintRequest& R) override {
    Asked = R;
    // One inch at 100 dpi on A4 with the PDF margin: 7 x 11 cells a sheet.
    R.Pdf = true;
    R.PaperName = "A4";
    R.Layout = ComputePrintLayout(1, TPrintUnit::Inch, TPrinterMetrics{100, 100, 776, 1119},
                                  R.ChipSize, R.Width, R.Height);
    return PrintOk;
  }
  QString SavePdfFileName(QWidget*) override { return PdfName; }
};

TEST(PrintCommand, PrintsOnePdfPagePerSheet) {
  vctest::TempDir dir;
  auto owned = std::make_unique<TPrintDialogs>();
  TPrintDialogs* d = owned.get();
  TMapEdit2Form form(std::move(owned),
                     std::make_unique<TEditorSettings>(QString::fromStdString(dir.File("v.ini"))));
  form.UpdateActions();
  EXPECT_FALSE(form.Action("Print1")->isEnabled());
  d->Size = {16, 12, 32, {}};
  form.New1Execute();
  d->Layer.LayerName = "Floor";
  d->Layer.FileName = "255";
  form.AddLayer1Execute();
  form.UpdateActions();
  EXPECT_TRUE(form.Action("Print1")->isEnabled());

  const std::string pdf = dir.File("poster.pdf");
  d->PdfName = QString::fromStdString(pdf);
  d->PrintOk = false;
  form.Print1Execute();
  EXPECT_EQ(d->Asked.Width, 16);
  EXPECT_EQ(d->Asked.ChipSize, 32);
  EXPECT_FALSE(std::filesystem::exists(pdf));

  d->PrintOk = true;
  form.Print1Execute();
  ASSERT_TRUE(d->Errors.isEmpty()) << d->Errors.join("\n").toStdString();
  // 16 x 12 cells at 7 x 11 a sheet: 3 across, 2 down.
  const std::string info = dir.File("info.txt");
  ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + info + "'").c_str()), 0);
  EXPECT_NE(vctest::ReadFileBytes(info).find("Pages:           6"), std::string::npos);
}

// Asks for a preview first, closes it without printing, then asks again and
// prints from the preview with the poster's extras.
struct TPreviewDialogs : TPrintDialogs {
  int PrintAsked = 0, Previews = 0;
  int PreviewPages = 0;
  bool PrintOptions(QWidget* W, TPrintRequest& R) override {
    ++PrintAsked;
    TPrintDialogs::PrintOptions(W, R);
    R.Layout = ComputePrintLayout(1, TPrintUnit::Inch, TPrinterMetrics{100, 100, 776, 1119},
                                  R.ChipSize, R.Width, R.Height, false, true);
    R.AssemblyPage = true;
    R.SheetMarks = true;
    R.TrimBorder = true;
    R.Selection = "A1, B2";
    R.CellSize = 1;
    R.Preview = true;
    return PrintOk;
  }
  bool PrintPreview(QWidget*, TMapEditLayerList& Map, const TPrintLayout& Layout,
                    const TPrintOptions& Options) override {
    ++Previews;
    EXPECT_TRUE(Options.AssemblyPage);
    EXPECT_TRUE(Options.SheetMarks);
    EXPECT_TRUE(Options.TrimBorder);
    EXPECT_EQ(Options.Selection, "A1, B2");
    EXPECT_EQ(Options.PaperText, "A4 portrait");
    PreviewPages = int(PlanPages(Map, Layout, Options).size());
    return Previews >= 2;
  }
};

TEST(PrintCommand, APreviewClosedReturnsToTheSettingsAndOnePrintsTheChosenPages) {
  vctest::TempDir dir;
  auto owned = std::make_unique<TPreviewDialogs>();
  TPreviewDialogs* d = owned.get();
  TMapEdit2Form form(std::move(owned),
                     std::make_unique<TEditorSettings>(QString::fromStdString(dir.File("v.ini"))));
  d->Size = {16, 12, 32, {}};
  form.New1Execute();
  d->Layer.LayerName = "Floor";
  d->Layer.FileName = "255";
  form.AddLayer1Execute();
  const std::string pdf = dir.File("poster.pdf");
  d->PdfName = QString::fromStdString(pdf);
  form.Print1Execute();
  ASSERT_TRUE(d->Errors.isEmpty()) << d->Errors.join("\n").toStdString();
  EXPECT_EQ(d->PrintAsked, 2);
  EXPECT_EQ(d->Previews, 2);
  // The assembly page and the two chosen sheets.
  EXPECT_EQ(d->PreviewPages, 3);
  const std::string info = dir.File("info.txt");
  ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + info + "'").c_str()), 0);
  EXPECT_NE(vctest::ReadFileBytes(info).find("Pages:           3"), std::string::npos);
  const std::string text = dir.File("text.txt");
  ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + text + "'").c_str()), 0);
  const std::string words = vctest::ReadFileBytes(text);
  EXPECT_NE(words.find("Assembly: 3 x 2 sheets, A1 to B3"), std::string::npos) << words;
  EXPECT_NE(words.find("Sheets printed: A1, B2"), std::string::npos) << words;
  EXPECT_NE(words.find("cells = "), std::string::npos) << words;
}

}  // namespace
