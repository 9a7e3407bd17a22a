#include "map/output/print_layout.h"

#include <gtest/gtest.h>

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

}  // namespace
