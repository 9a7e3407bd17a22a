#include "map/output/print_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"
#include "record/errors.h"

namespace {

// Records what the job hands to a printer.
struct TRecordingSink : IPrintSink {
  std::vector<TPrintSheet> Sheets;
  std::vector<std::unique_ptr<TBitmap32>> Images;
  std::vector<std::string> Texts;
  int Lines = 0, Ended = 0;
  void BeginSheet(const TPrintSheet& S, int32_t) override { Sheets.push_back(S); }
  void DrawImage(const TBitmap32& I, int32_t, int32_t) override {
    Images.push_back(std::make_unique<TBitmap32>());
    Images.back()->Assign(I);
  }
  void DrawLine(int32_t, int32_t, int32_t, int32_t) override { ++Lines; }
  void DrawText(int32_t, int32_t, const std::string& T) override { Texts.push_back(T); }
  void EndSheet() override { ++Ended; }
};

// A 5 x 3 map at chip size 4 whose floor cells are red, green or blue by column.
void MakeMap(TMapEditLayerList& Map) {
  CreateNewMap(Map, 5, 3, 4);
  const char* colors[3] = {"255", "65280", "16711680"};
  for (int i = 0; i < 3; ++i) {
    Map.AddLayer();
    Map.Layers(i + 1)->LayerName = colors[i];
    Map.Layers(i + 1)->SetFileName(colors[i]);
  }
  for (int32_t cy = 0; cy < 3; ++cy)
    for (int32_t cx = 0; cx < 5; ++cx)
      for (int32_t y = cy * 4; y < cy * 4 + 4; ++y)
        for (int32_t x = cx * 4; x < cx * 4 + 4; ++x) Map.PixelGrid().Row(y)[x] = 1 + cx % 3;
  Map.Refresh();
}

TEST(PrintJob, SheetsInReadingOrderEachShowingItsCells) {
  TMapEditLayerList map;
  MakeMap(map);
  // 8 device pixels per cell, 2 x 2 cells per sheet: 3 sheets across, 2 down.
  const TPrintLayout layout =
      ComputePrintLayout(8, TPrintUnit::Inch, TPrinterMetrics{1, 1, 20, 17}, 4, 5, 3);
  ASSERT_EQ(layout.Sheets, 6);
  TRecordingSink sink;
  TPrintOptions options;
  options.CutMarks = false;
  ASSERT_TRUE(PrintMap(map, layout, options, sink));
  ASSERT_EQ(sink.Ended, 6);
  EXPECT_EQ(sink.Lines, 0);
  const int32_t firstX[6] = {0, 2, 4, 0, 2, 4}, cellsX[6] = {2, 2, 1, 2, 2, 1};
  const int32_t firstY[6] = {0, 0, 0, 2, 2, 2}, cellsY[6] = {2, 2, 2, 1, 1, 1};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(sink.Sheets[i].Row, i / 3);
    EXPECT_EQ(sink.Sheets[i].Column, i % 3);
    EXPECT_EQ(sink.Sheets[i].FirstCellX, firstX[i]);
    EXPECT_EQ(sink.Sheets[i].CellsX, cellsX[i]);
    EXPECT_EQ(sink.Sheets[i].FirstCellY, firstY[i]);
    EXPECT_EQ(sink.Sheets[i].CellsY, cellsY[i]);
    EXPECT_EQ(sink.Images[i]->Width(), cellsX[i] * 8);
    EXPECT_EQ(sink.Images[i]->Height(), cellsY[i] * 8);
  }
  EXPECT_EQ(sink.Texts[4], "row 2, column 2 (5 of 6)");
  // Sheet 2 (cells 2 and 3 of the top rows): the centre of its first cell is
  // blue (column 2), of its second red (column 3).
  EXPECT_EQ(sink.Images[1]->Pixel(4, 4) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(sink.Images[1]->Pixel(12, 4) & 0xFFFFFF, 0xFF0000u);
}

TEST(PrintJob, GridScaledToTheCellAndGreyscale) {
  TMapEditLayerList map;
  MakeMap(map);
  const TPrintLayout layout =
      ComputePrintLayout(8, TPrintUnit::Inch, TPrinterMetrics{1, 1, 100, 100}, 4, 5, 3);
  ASSERT_EQ(layout.Sheets, 1);
  TPrintOptions options;
  options.Grid.UseGrid = true;  // right and bottom, gray
  options.Grid.GridColor = 0;   // black
  TBitmap32 image;
  PrepareForOutput(map);
  RenderSheet(map, layout, PlanSheets(layout, 5, 3)[0], options, image);
  ASSERT_EQ(image.Width(), 40);
  // One map pixel of grid is two device pixels at this scale: columns 6 and 7.
  EXPECT_EQ(image.Pixel(5, 3) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.Pixel(6, 3) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.Pixel(7, 3) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.Pixel(8, 3) & 0xFFFFFF, 0x00FF00u);

  options.FullColor = false;
  options.Grid.UseGrid = false;
  RenderSheet(map, layout, PlanSheets(layout, 5, 3)[0], options, image);
  // Pure red in greyscale: 0.299 * 255 = 76.
  EXPECT_EQ(image.Pixel(3, 3) & 0xFFFFFF, 0x4C4C4Cu);

  // Nothing printable is an error, not an empty job.
  TRecordingSink sink;
  EXPECT_ANY_THROW(PrintMap(
      map, ComputePrintLayout(0, TPrintUnit::Inch, TPrinterMetrics{1, 1, 100, 100}, 4, 5, 3),
      options, sink));
  EXPECT_EQ(sink.Ended, 0);
}

// Also records the marks: filled rectangles and sized texts.
struct TMarkSink : TRecordingSink {
  struct TRect {
    int32_t X, Y, W, H;
    uint8_t Grey;
  };
  std::vector<TRect> Rects;
  std::vector<std::string> Sized;
  std::vector<bool> Assembly;
  int Polygons = 0;
  void BeginSheet(const TPrintSheet& S, int32_t N) override {
    TRecordingSink::BeginSheet(S, N);
    Assembly.push_back(S.Assembly);
  }
  void FillRect(int32_t X, int32_t Y, int32_t W, int32_t H, uint8_t G) override {
    Rects.push_back({X, Y, W, H, G});
  }
  void FillPolygon(const std::vector<TPrintPoint>& P, uint8_t) override {
    EXPECT_EQ(P.size(), 3u);
    ++Polygons;
  }
  void DrawTextSized(int32_t, int32_t, const std::string& T, int32_t) override {
    Sized.push_back(T);
  }
};

TEST(PrintJob, OverlapShadedOnTheLowerSheet) {
  TMapEditLayerList map;
  MakeMap(map);
  // 3 x 2 cells a sheet with one cell of overlap: columns 0-2 and 2-4, rows 0-1 and 1-2.
  const TPrintLayout layout =
      ComputePrintLayout(8, TPrintUnit::Inch, TPrinterMetrics{1, 1, 24, 16}, 4, 5, 3, true);
  ASSERT_EQ(layout.Sheets, 4);
  TPrintOptions options;
  TBitmap32 image;
  PrepareForOutput(map);
  const std::vector<TPrintSheet> sheets = PlanSheets(layout, 5, 3);
  // The first sheet is not shaded anywhere.
  RenderSheet(map, layout, sheets[0], options, image);
  EXPECT_EQ(image.Pixel(3, 3) & 0xFFFFFF, 0xFF0000u);
  // Sheet A2 starts at column 2 (blue), repeated from A1: shaded by an eighth,
  // 255 -> 223; its next column (red, column 3) is not.
  RenderSheet(map, layout, sheets[1], options, image);
  EXPECT_EQ(sheets[1].FirstCellX, 2);
  EXPECT_EQ(image.Pixel(3, 3) & 0xFFFFFF, 0x0000DFu);
  EXPECT_EQ(image.Pixel(11, 3) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.Pixel(11, 11) & 0xFFFFFF, 0xFF0000u);
  // Sheet B2: its first row and its first column are shaded, the rest is not.
  RenderSheet(map, layout, sheets[3], options, image);
  EXPECT_EQ(image.Pixel(11, 3) & 0xFFFFFF, 0xDF0000u);
  EXPECT_EQ(image.Pixel(3, 11) & 0xFFFFFF, 0x0000DFu);
  EXPECT_EQ(image.Pixel(11, 11) & 0xFFFFFF, 0xFF0000u);
  // Switched off, the repeated cells print as they are.
  options.ShadeOverlap = false;
  RenderSheet(map, layout, sheets[3], options, image);
  EXPECT_EQ(image.Pixel(3, 11) & 0xFFFFFF, 0x0000FFu);
}

TEST(PrintJob, AssemblyPageSelectionAndSheetMarks) {
  TMapEditLayerList map;
  MakeMap(map);
  // 100 dpi, one-inch cells: 3 x 1 cells a sheet beside a 50-pixel marks strip.
  const TPrintLayout layout = ComputePrintLayout(1, TPrintUnit::Inch,
                                                 TPrinterMetrics{100, 100, 350, 160}, 4, 5, 3,
                                                 false, true);
  ASSERT_EQ(layout.MarksHeight, 50);
  ASSERT_EQ(layout.SheetsX, 2);
  ASSERT_EQ(layout.SheetsY, 3);
  TPrintOptions options;
  options.AssemblyPage = true;
  options.CutMarks = false;
  options.CellSize = 1;
  options.Selection = "B1-B2, C2";
  TMarkSink sink;
  std::vector<int32_t> progress;
  ASSERT_TRUE(PrintMap(map, layout, options, sink, TOutputFastDraw::OffForOutput,
                       [&](int32_t Done, int32_t Total) {
                         EXPECT_EQ(Total, 4);
                         progress.push_back(Done);
                         return true;
                       }));
  // The assembly page, then B1, B2 and C2.
  ASSERT_EQ(sink.Ended, 4);
  EXPECT_EQ(progress, (std::vector<int32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(sink.Assembly, (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(sink.Sheets[1].Row, 1);
  EXPECT_EQ(sink.Sheets[1].Column, 0);
  EXPECT_EQ(sink.Sheets[3].Row, 2);
  EXPECT_EQ(sink.Sheets[3].Column, 1);
  // The assembly page shows the whole map, 20 x 12 pixels fitted into the space
  // below its four lines of text (78 pixels at 100 dpi): 82 rows of the 160, and
  // 20 / 12 as many columns; then every sheet's label, printed or not.
  ASSERT_GE(sink.Images.size(), 1u);
  EXPECT_EQ(sink.Images[0]->Height(), 160 - 78);
  EXPECT_EQ(sink.Images[0]->Width(), 136);
  auto has = [&](const std::string& T) {
    return std::find(sink.Sized.begin(), sink.Sized.end(), T) != sink.Sized.end();
  };
  EXPECT_TRUE(has("Assembly: 2 x 3 sheets, A1 to C2"));
  EXPECT_TRUE(has("Print at 100 % / actual size, never fit to page. Check the ruler on each sheet."));
  // The rulers: a bar of whole cells, 5 at most, beside its text; five cells of
  // 100 pixels do not fit beside the text and check mark in 350 pixels.
  const TRulerPlace ruler = PlaceRuler(layout, sink.Sheets[1], options);
  EXPECT_EQ(ruler.Length, ruler.Cells * 100);
  EXPECT_GE(ruler.Cells, 1);
  EXPECT_LT(ruler.Cells, 5);
  EXPECT_EQ(ruler.CheckLength, 100);  // one inch
  EXPECT_TRUE(has(RulerText(layout, options, ruler.Cells)));
  EXPECT_EQ(RulerText(layout, options, 3), "3 cells = 3 in");
  int bars = 0;
  for (const TMarkSink::TRect& r : sink.Rects)
    if (r.Grey == 0 && r.X == ruler.X && r.W == ruler.Length && r.Y == 100 + 10) ++bars;
  EXPECT_EQ(bars, 3);
  // B1 has neighbours A1, B2 and C1; C2 has B2 and C1.
  EXPECT_TRUE(has("B1"));
  EXPECT_TRUE(has("C2"));
  EXPECT_EQ(sink.Polygons, 3 + 3 + 2);
  EXPECT_EQ(sink.Texts, (std::vector<std::string>{"row 2, column 1 (1 of 3)",
                                                  "row 2, column 2 (2 of 3)",
                                                  "row 3, column 2 (3 of 3)"}));

  // A selection of sheets the poster does not have prints nothing.
  TMarkSink none;
  options.Selection = "D1";
  EXPECT_THROW(PrintMap(map, layout, options, none), EVellumError);
  EXPECT_EQ(none.Ended, 0);
  // The ruler's text in the chosen unit.
  options.CellSize = 25;
  options.Unit = TPrintUnit::Millimetre;
  EXPECT_EQ(RulerText(layout, options, 4), "4 cells = 100 mm");
  EXPECT_EQ(RulerText(layout, options, 1), "1 cell = 25 mm");
  EXPECT_EQ(PlaceRuler(layout, sink.Sheets[1], options).CheckLength, 79);  // 2 cm at 100 dpi
}

}  // namespace

namespace {

// Every sheet of many posters, the last column's included: the check bar lies
// inside the printable area and clear of the ruler bar.
TEST(PrintJob, CheckBarStaysInsideThePrintableArea) {
  int checked = 0;
  for (int32_t dpi : {72, 100, 203, 300, 600, 1200})
    for (int32_t tenths = 9; tenths <= 120; tenths += 3)
      for (double cell : {0.5, 1.0, 1.5, 2.5})
        for (TPrintUnit unit : {TPrintUnit::Inch, TPrintUnit::Centimetre, TPrintUnit::Millimetre})
          for (bool overlap : {false, true}) {
            const double size = cell * PrintUnitDivisor(unit);
            const TPrinterMetrics m{dpi, dpi, tenths * dpi / 10, 11 * dpi};
            const TPrintLayout l = ComputePrintLayout(size, unit, m, 16, 30, 20, overlap, true);
            if (!l.Printable() || l.MarksHeight == 0) continue;
            TPrintOptions o;
            o.CellSize = size;
            o.Unit = unit;
            for (const TPrintSheet& s : PlanSheets(l, 30, 20)) {
              const TRulerPlace r = PlaceRuler(l, s, o);
              ASSERT_GE(r.X, 0);
              ASSERT_LE(r.X + r.Length, l.PrintableWidth);
              if (r.CheckLength == 0) continue;
              ++checked;
              const int32_t want = unit == TPrintUnit::Inch ? dpi : int32_t(std::lround(dpi / 1.27));
              ASSERT_EQ(r.CheckLength, want);
              ASSERT_GE(r.CheckX, 0) << dpi << " " << tenths;
              ASSERT_LE(r.CheckX + r.CheckLength, l.PrintableWidth) << dpi << " " << tenths;
              ASSERT_LE(r.CheckY + r.CheckHeight, s.CellsY * l.CellPixelsY + l.MarksHeight);
              const bool sameRow = r.CheckY < r.Y + r.Height && r.CheckY + r.CheckHeight > r.Y;
              if (sameRow) {
                ASSERT_GE(r.CheckX, r.X + r.Length) << dpi << " " << tenths;
              }
            }
          }
  EXPECT_GT(checked, 1000);
  // A printable area narrower than the check bar leaves it out.
  const TPrintLayout narrow = ComputePrintLayout(0.5, TPrintUnit::Inch,
                                                 TPrinterMetrics{100, 100, 90, 1100}, 16, 30, 20,
                                                 false, true);
  ASSERT_TRUE(narrow.Printable());
  const TRulerPlace r = PlaceRuler(narrow, PlanSheets(narrow, 30, 20).back(), TPrintOptions{});
  EXPECT_EQ(r.CheckLength, 0);
  EXPECT_EQ(r.CheckX, 0);
}

}  // namespace
