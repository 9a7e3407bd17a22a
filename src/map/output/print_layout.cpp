#include "map/output/print_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double PrintUnitDivisor(TPrintUnit Unit) {
  switch (Unit) {
    case TPrintUnit::Millimetre:
      return 25.4;
    case TPrintUnit::Centimetre:
      return 2.54;
    default:
      return 1.0;
  }
}

int32_t DevicePixelsPerCell(double Size, int32_t Dpi, TPrintUnit Unit) {
  if (!(Size > 0) || Dpi <= 0) return 0;
  const double x = Size * Dpi / PrintUnitDivisor(Unit);
  if (x >= 1e9) return 0;  // no device is that fine; keeps the figures in range
  const int64_t t = int64_t(x);
  return int32_t(t % 2 != 0 ? int64_t(std::ceil(x)) : t);
}

std::string FormatZoom(double Zoom) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", Zoom);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

namespace {

// Sheets needed for Cells cells with PerSheet on a sheet; with an overlap each
// sheet after the first adds PerSheet - 1 new cells.
int32_t SheetsFor(int32_t Cells, int32_t PerSheet, bool Overlap) {
  if (Cells <= 0 || PerSheet <= 0) return 0;
  if (!Overlap || PerSheet < 2 || Cells <= PerSheet) return (Cells + PerSheet - 1) / PerSheet;
  return 1 + (Cells - PerSheet + (PerSheet - 1) - 1) / (PerSheet - 1);
}

}  // namespace

TPrintLayout ComputePrintLayout(double CellSize, TPrintUnit Unit, const TPrinterMetrics& Printer,
                                int32_t ChipSize, int32_t MapWidth, int32_t MapHeight,
                                bool Overlap) {
  TPrintLayout l;
  l.Overlap = Overlap;
  l.PrintableWidth = std::max(0, Printer.PrintableWidth);
  l.PrintableHeight = std::max(0, Printer.PrintableHeight);
  l.CellPixelsX = DevicePixelsPerCell(CellSize, Printer.DpiX, Unit);
  l.CellPixelsY = DevicePixelsPerCell(CellSize, Printer.DpiY, Unit);
  l.Zoom = ChipSize > 0 ? FormatZoom(double(l.CellPixelsX) / ChipSize * 100.0) : "0";
  if (l.CellPixelsX > 0) l.CellsPerSheetX = l.PrintableWidth / l.CellPixelsX;
  if (l.CellPixelsY > 0) l.CellsPerSheetY = l.PrintableHeight / l.CellPixelsY;
  l.SheetsX = SheetsFor(MapWidth, l.CellsPerSheetX, Overlap);
  l.SheetsY = SheetsFor(MapHeight, l.CellsPerSheetY, Overlap);
  if (l.SheetsX == 0 || l.SheetsY == 0) l.SheetsX = l.SheetsY = 0;
  l.Sheets = l.SheetsX * l.SheetsY;
  return l;
}
