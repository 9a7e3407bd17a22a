#include "dialogs/print_preview_form.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "dialogs/painter_print_sink.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"
#include "map/output/image_output.h"

namespace {

// A 30 x 20 map of 8-pixel cells, all floor of one colour.
void FloorMap(TMapEditLayerList& Map) {
  CreateNewMap(Map, 30, 20, 8);
  TMapEditLayer* floor = Map.AddLayer();
  floor->SetFileName("8421376");  // teal
  Map.FillRectChips(0, 0, 29, 19, 1);
  PrepareForOutput(Map);
}

bool Black(const QImage& I, int X, int Y) { return (I.pixel(X, Y) & 0xFFFFFF) == 0; }

TEST(PainterPrintSink, DrawsTheRulerAndCheckBarAtTheirDevicePixels) {
  TMapEditLayerList map;
  FloorMap(map);
  // One-inch cells at 100 dpi on 777 x 1119 pixels: 7 x 10 cells a sheet, marks below.
  const TPrintLayout layout = ComputePrintLayout(1, TPrintUnit::Inch,
                                                 TPrinterMetrics{100, 100, 777, 1119}, 8, 30, 20,
                                                 false, true);
  ASSERT_EQ(layout.CellsPerSheetX, 7);
  ASSERT_EQ(layout.CellsPerSheetY, 10);
  TPrintOptions options;
  options.CellSize = 1;
  const std::vector<TPrintSheet> pages = PlanPages(map, layout, options);
  ASSERT_EQ(pages.size(), 5u * 2u);
  QImage page(layout.PrintableWidth, layout.PrintableHeight, QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    TPainterPrintSink sink(painter, 100);
    PrintPage(map, layout, options, pages, 0, sink);
    EXPECT_EQ(sink.Pages(), 1);
  }
  // The cells: 700 x 1000 pixels of the floor's colour.
  EXPECT_EQ(page.pixel(350, 500) & 0xFFFFFF, 0x008080u);
  EXPECT_EQ(page.pixel(699, 999) & 0xFFFFFF, 0x008080u);
  // The ruler bar: exactly its cells long on its row, black from its first pixel
  // to its last.
  const TRulerPlace r = PlaceRuler(layout, pages[0], options);
  const int y = r.Y + r.Height / 2;
  EXPECT_TRUE(Black(page, r.X, y));
  EXPECT_TRUE(Black(page, r.X + r.Length - 1, y));
  EXPECT_FALSE(Black(page, r.X + r.Length, y));
  int run = 0;
  for (int x = r.X; x < page.width() && Black(page, x, y); ++x) ++run;
  EXPECT_EQ(run, r.Cells * 100);
  // The one-inch check bar: 100 pixels, inside the printable area.
  const int cy = r.CheckY + r.CheckHeight / 2;
  ASSERT_EQ(r.CheckLength, 100);
  EXPECT_TRUE(Black(page, r.CheckX, cy));
  EXPECT_TRUE(Black(page, r.CheckX + 99, cy));
  EXPECT_LE(r.CheckX + r.CheckLength, layout.PrintableWidth);
  // The label row holds text and arrows: dark pixels below the ruler.
  int dark = 0;
  for (int yy = 1000 + 25; yy < 1000 + layout.MarksHeight; ++yy)
    for (int x = 0; x < 200; ++x) dark += (page.pixel(x, yy) & 0xFF) < 0x80;
  EXPECT_GT(dark, 50);
}

TEST(PrintPreviewForm, ShowsEveryPageAtAPreviewScale) {
  TMapEditLayerList map;
  FloorMap(map);
  const TPrintLayout layout = ComputePrintLayout(1, TPrintUnit::Inch,
                                                 TPrinterMetrics{600, 600, 4660, 6775}, 8, 30, 20,
                                                 false, true);
  TPrintOptions options;
  options.AssemblyPage = true;
  options.CellSize = 1;
  TPrintPreviewForm form(map, layout, options, nullptr, 678);
  // The assembly page and 5 x 2 sheets of 7 x 10 cells.
  ASSERT_EQ(layout.Sheets, 10);
  EXPECT_EQ(form.PageCount(), 11);
  EXPECT_NEAR(form.Scale(), 0.1, 0.001);
  EXPECT_EQ(form.PreviewLayout().CellPixelsX, 60);
  EXPECT_EQ(form.Page(), 0);
  EXPECT_FALSE(form.PreviousButton()->isEnabled());
  EXPECT_TRUE(form.NextButton()->isEnabled());
  EXPECT_TRUE(form.PageLabel()->text().startsWith("1 / 11"));
  ASSERT_FALSE(form.PageView()->pixmap().isNull());
  EXPECT_EQ(form.PageView()->pixmap().width(), form.PreviewLayout().PrintableWidth);
  form.NextButton()->click();
  EXPECT_EQ(form.Page(), 1);
  EXPECT_TRUE(form.PageLabel()->text().endsWith("A1"));
  // Sheet A1 at the preview's scale: cells of 60 pixels and the ruler below them.
  const QImage a1 = form.PageImage(1);
  EXPECT_EQ(a1.pixel(30, 30) & 0xFFFFFF, 0x008080u);
  const TRulerPlace r = PlaceRuler(form.PreviewLayout(), TPrintSheet{0, 0, 0, 0, 7, 10}, options);
  EXPECT_EQ(r.Length, r.Cells * 60);
  EXPECT_TRUE(Black(a1, r.X + r.Length - 1, r.Y + r.Height / 2));
  EXPECT_FALSE(Black(a1, r.X + r.Length, r.Y + r.Height / 2));
  form.ShowPage(99);
  EXPECT_EQ(form.Page(), form.PageCount() - 1);
  EXPECT_FALSE(form.NextButton()->isEnabled());
  EXPECT_TRUE(form.PageLabel()->text().endsWith("B5"));
  TPrintPreviewFormCaptions english;
  english.PageText = "Page %1 of %2: %3";
  form.ApplyCaptions(english);
  EXPECT_EQ(form.PageLabel()->text().toStdString(), "Page 11 of 11: B5");
}

}  // namespace
