#pragma once
// The arithmetic of poster printing: how many device pixels one map cell takes at
// a chosen physical size, how many cells fit on a sheet, and how many sheets the
// map needs. The print settings dialog and the command-line tool share it.

#include <cstdint>
#include <string>
#include <vector>

enum class TPrintUnit : uint8_t { Millimetre, Centimetre, Inch };

// 25.4 for millimetres, 2.54 for centimetres, 1 for inches.
double PrintUnitDivisor(TPrintUnit Unit);

// Device pixels of one cell of Size units at Dpi: x = Size * Dpi / divisor; an odd
// whole part rounds up, an even one is kept (7.3 gives 8, 7.0 gives 7, 8.6 gives
// 8). 0 for a size or resolution that is not positive.
int32_t DevicePixelsPerCell(double Size, int32_t Dpi, TPrintUnit Unit);

// Zoom as the dialog shows it: at most three decimals, no trailing zeros ("100",
// "37.5", "1200").
std::string FormatZoom(double Zoom);

// The printer's part: resolution and printable area in device pixels.
struct TPrinterMetrics {
  int32_t DpiX = 0;
  int32_t DpiY = 0;
  int32_t PrintableWidth = 0;
  int32_t PrintableHeight = 0;
};

struct TPrintLayout {
  int32_t CellPixelsX = 0;  // device pixels of one cell across
  int32_t CellPixelsY = 0;  // and down
  std::string Zoom = "0";   // CellPixelsX / chip size * 100, formatted
  int32_t CellsPerSheetX = 0;
  int32_t CellsPerSheetY = 0;
  int32_t SheetsX = 0;
  int32_t SheetsY = 0;
  int32_t Sheets = 0;
  int32_t PrintableWidth = 0;
  int32_t PrintableHeight = 0;
  // With an overlap of one cell, each sheet after the first repeats the last
  // cell row or column of the one before it, for gluing.
  bool Overlap = false;
  // Resolution of the device, and the strip below each sheet's cells kept free
  // for the sheet's label, arrows and scale ruler (0 without sheet marks).
  int32_t DpiX = 0;
  int32_t DpiY = 0;
  int32_t MarksHeight = 0;
  // False when nothing can be printed (no cell size, no printer metrics, a cell
  // larger than the printable area): every figure that would divide by zero is 0.
  bool Printable() const { return Sheets > 0; }
};

// Height of the sheet-marks strip: half an inch at DpiY.
int32_t SheetMarksHeight(int32_t DpiY);

// The figures for a map of MapWidth x MapHeight cells of ChipSize pixels. With
// SheetMarks the strip for the sheet marks is kept free below the cells, unless
// not even one cell row would fit beside it (then no strip is kept).
TPrintLayout ComputePrintLayout(double CellSize, TPrintUnit Unit, const TPrinterMetrics& Printer,
                                int32_t ChipSize, int32_t MapWidth, int32_t MapHeight,
                                bool Overlap = false, bool SheetMarks = false);

// A sheet's label: its row as letters (A .. Z, AA, AB ..) and its column as a
// number from 1: row 0, column 1 is "A2", row 1, column 0 is "B1", row 26 is "AA".
std::string SheetLabel(int32_t Row, int32_t Column);

// Parses a selection of sheets such as "A2, B1-B3" (single labels, and ranges
// that take every sheet of the rectangle between two labels) for a poster of
// SheetsX x SheetsY sheets. The result has one flag per sheet in reading order.
// An empty or blank text selects every sheet. Raises EVellumError naming the
// part that is not a sheet of this poster.
std::vector<bool> ParseSheetSelection(const std::string& Text, int32_t SheetsX, int32_t SheetsY);

// The same layout at a smaller scale, for a preview: the same sheets and cells per
// sheet, with the cell size, printable area, resolution and sheet-marks strip
// multiplied by Factor (0 < Factor <= 1) and rounded, a cell at least one pixel.
// The printable area grows where rounding needs it, so the cells still fit.
TPrintLayout ScalePrintLayout(const TPrintLayout& Layout, double Factor);
