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

}  // namespace
