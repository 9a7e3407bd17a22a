#include "map/output/print_layout.h"

#include <gtest/gtest.h>

#include "record/errors.h"

namespace {

TEST(PrintLayout, DevicePixelsPerCellRoundOddUpAndKeepEven) {
  EXPECT_EQ(DevicePixelsPerCell(1, 600, TPrintUnit::Inch), 600);
  EXPECT_EQ(DevicePixelsPerCell(10, 600, TPrintUnit::Millimetre), 236);  // 236.22
  EXPECT_EQ(DevicePixelsPerCell(10, 300, TPrintUnit::Millimetre), 118);  // 118.11
  EXPECT_EQ(DevicePixelsPerCell(1, 254, TPrintUnit::Centimetre), 100);
  EXPECT_EQ(DevicePixelsPerCell(0.5, 15, TPrintUnit::Inch), 8);  // 7.5: odd 7 rounds up
  EXPECT_EQ(DevicePixelsPerCell(7, 1, TPrintUnit::Inch), 7);     // 7.0 stays
  EXPECT_EQ(DevicePixelsPerCell(8.6, 1, TPrintUnit::Inch), 8);
  EXPECT_EQ(DevicePixelsPerCell(7.3, 1, TPrintUnit::Inch), 8);
  // Nothing to divide by: 0, not a crash or a huge number.
  EXPECT_EQ(DevicePixelsPerCell(0, 600, TPrintUnit::Inch), 0);
  EXPECT_EQ(DevicePixelsPerCell(1, 0, TPrintUnit::Inch), 0);
  EXPECT_EQ(DevicePixelsPerCell(-2, 600, TPrintUnit::Inch), 0);
}

TEST(PrintLayout, ZoomText) {
  EXPECT_EQ(FormatZoom(100), "100");
  EXPECT_EQ(FormatZoom(37.5), "37.5");
  EXPECT_EQ(FormatZoom(1200), "1200");
  EXPECT_EQ(FormatZoom(200.0 / 3), "66.667");
  EXPECT_EQ(FormatZoom(0), "0");
}

TEST(PrintLayout, SheetsForAMap) {
  const TPrinterMetrics printer{600, 600, 4800, 6600};
  TPrintLayout l = ComputePrintLayout(1, TPrintUnit::Inch, printer, 50, 20, 11);
  EXPECT_EQ(l.CellPixelsX, 600);
  EXPECT_EQ(l.Zoom, "1200");
  EXPECT_EQ(l.CellsPerSheetX, 8);
  EXPECT_EQ(l.CellsPerSheetY, 11);
  EXPECT_EQ(l.SheetsX, 3);
  EXPECT_EQ(l.SheetsY, 1);
  EXPECT_EQ(l.Sheets, 3);
  EXPECT_TRUE(l.Printable());
  // With one cell of overlap a sheet adds 7 new columns: 8, then 7 and 7 more
  // cover 20 cells in three sheets; 23 cells need four.
  EXPECT_EQ(ComputePrintLayout(1, TPrintUnit::Inch, printer, 50, 22, 1, true).SheetsX, 3);
  EXPECT_EQ(ComputePrintLayout(1, TPrintUnit::Inch, printer, 50, 23, 1, true).SheetsX, 4);

  // A cell larger than the sheet, a zero size and a printer without metrics
  // print nothing and show zeros.
  for (const TPrintLayout& bad :
       {ComputePrintLayout(9, TPrintUnit::Inch, printer, 50, 20, 11),
        ComputePrintLayout(0, TPrintUnit::Inch, printer, 50, 20, 11),
        ComputePrintLayout(1, TPrintUnit::Inch, TPrinterMetrics{}, 50, 20, 11)}) {
    EXPECT_FALSE(bad.Printable());
    EXPECT_EQ(bad.Sheets, 0);
    EXPECT_EQ(bad.SheetsX, 0);
  }
}

TEST(PrintLayout, SheetMarksStripAndItsFallback) {
  // 600 dpi, 4660 x 6715 printable: seven cells across; the half-inch strip of
  // 300 pixels leaves 6415 pixels, ten rows of one-inch cells instead of eleven.
  const TPrinterMetrics a4{600, 600, 4660, 6715};
  const TPrintLayout marked = ComputePrintLayout(1, TPrintUnit::Inch, a4, 32, 30, 20, false, true);
  EXPECT_EQ(marked.MarksHeight, 300);
  EXPECT_EQ(marked.CellsPerSheetX, 7);
  EXPECT_EQ(marked.CellsPerSheetY, 10);
  EXPECT_EQ(marked.SheetsX, 5);
  EXPECT_EQ(marked.SheetsY, 2);
  EXPECT_EQ(marked.Sheets, 10);
  EXPECT_EQ(marked.DpiX, 600);
  EXPECT_EQ(ComputePrintLayout(1, TPrintUnit::Inch, a4, 32, 30, 20).CellsPerSheetY, 11);
  EXPECT_EQ(ComputePrintLayout(1, TPrintUnit::Inch, a4, 32, 30, 20).MarksHeight, 0);
  // A cell that fits only without the strip keeps printing, without marks.
  const TPrintLayout tall = ComputePrintLayout(11, TPrintUnit::Inch, TPrinterMetrics{100, 100, 1200, 1110},
                                               32, 3, 3, false, true);
  EXPECT_EQ(tall.MarksHeight, 0);
  EXPECT_EQ(tall.CellsPerSheetY, 1);
  EXPECT_TRUE(tall.Printable());
}

TEST(PrintLayout, SheetLabelsAndSelections) {
  EXPECT_EQ(SheetLabel(0, 0), "A1");
  EXPECT_EQ(SheetLabel(1, 2), "B3");
  EXPECT_EQ(SheetLabel(25, 9), "Z10");
  EXPECT_EQ(SheetLabel(26, 0), "AA1");
  EXPECT_EQ(SheetLabel(27, 0), "AB1");
  EXPECT_EQ(SheetLabel(701, 0), "ZZ1");
  EXPECT_EQ(SheetLabel(702, 0), "AAA1");

  // 4 sheets across, 3 down; flags in reading order.
  auto picked = [](const std::string& Text) {
    std::string out;
    for (bool b : ParseSheetSelection(Text, 4, 3)) out += b ? '1' : '.';
    return out;
  };
  EXPECT_EQ(picked(""), "111111111111");
  EXPECT_EQ(picked("  "), "111111111111");
  EXPECT_EQ(picked("A2, B1-B3"), ".1..111.....");
  EXPECT_EQ(picked("c4,a1"), "1..........1");
  // A range between two labels takes the rectangle, in either order.
  EXPECT_EQ(picked("B3-A2"), ".11..11.....");
  EXPECT_EQ(picked("A1-C4"), "111111111111");
  EXPECT_EQ(picked("A1,,A1 ,"), "1...........");
  for (const char* bad : {"A5", "D1", "A0", "1A", "A", "B1-", "A1-B", "A1-B2-C3", "A1;B2", "#"})
    EXPECT_THROW(ParseSheetSelection(bad, 4, 3), EVellumError) << bad;
  try {
    ParseSheetSelection("A2, Q7", 4, 3);
    ADD_FAILURE();
  } catch (const EVellumError& e) {
    EXPECT_NE(std::string(e.what()).find("\"Q7\""), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("A1 to C4"), std::string::npos) << e.what();
  }
}

}  // namespace

TEST(PrintLayout, ScaledForAPreviewKeepsTheSheets) {
  // 1 inch at 600 dpi on 4660 x 6775 with the marks strip.
  const TPrintLayout l = ComputePrintLayout(1, TPrintUnit::Inch, TPrinterMetrics{600, 600, 4660, 6775},
                                            32, 30, 20, false, true);
  ASSERT_EQ(l.MarksHeight, 300);
  const TPrintLayout s = ScalePrintLayout(l, 0.1);
  EXPECT_EQ(s.CellPixelsX, 60);
  EXPECT_EQ(s.CellPixelsY, 60);
  EXPECT_EQ(s.DpiX, 60);
  EXPECT_EQ(s.MarksHeight, 30);
  EXPECT_EQ(s.PrintableWidth, 466);
  EXPECT_EQ(s.PrintableHeight, 678);
  EXPECT_EQ(s.CellsPerSheetX, l.CellsPerSheetX);
  EXPECT_EQ(s.CellsPerSheetY, l.CellsPerSheetY);
  EXPECT_EQ(s.SheetsX, l.SheetsX);
  EXPECT_EQ(s.Sheets, l.Sheets);
  // Tiny scales keep a pixel a cell and room for the cells; nonsense scales none.
  const TPrintLayout t = ScalePrintLayout(l, 0.0001);
  EXPECT_EQ(t.CellPixelsX, 1);
  EXPECT_GE(t.PrintableWidth, t.CellsPerSheetX);
  EXPECT_GE(t.PrintableHeight, t.CellsPerSheetY + t.MarksHeight);
  EXPECT_EQ(ScalePrintLayout(l, -1).CellPixelsX, 600);
  EXPECT_EQ(ScalePrintLayout(l, 2).PrintableWidth, 4660);
}
