#include "map/output/print_job.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"

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

}  // namespace
