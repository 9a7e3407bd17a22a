#include "map/output/print_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "record/errors.h"

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
                                bool Overlap, bool SheetMarks) {
  TPrintLayout l;
  l.Overlap = Overlap;
  l.DpiX = std::max(0, Printer.DpiX);
  l.DpiY = std::max(0, Printer.DpiY);
  l.PrintableWidth = std::max(0, Printer.PrintableWidth);
  l.PrintableHeight = std::max(0, Printer.PrintableHeight);
  l.CellPixelsX = DevicePixelsPerCell(CellSize, Printer.DpiX, Unit);
  l.CellPixelsY = DevicePixelsPerCell(CellSize, Printer.DpiY, Unit);
  l.Zoom = ChipSize > 0 ? FormatZoom(double(l.CellPixelsX) / ChipSize * 100.0) : "0";
  if (l.CellPixelsX > 0) l.CellsPerSheetX = l.PrintableWidth / l.CellPixelsX;
  if (l.CellPixelsY > 0) {
    l.CellsPerSheetY = l.PrintableHeight / l.CellPixelsY;
    const int32_t strip = SheetMarks ? SheetMarksHeight(l.DpiY) : 0;
    if (strip > 0 && (l.PrintableHeight - strip) / l.CellPixelsY > 0) {
      l.MarksHeight = strip;
      l.CellsPerSheetY = (l.PrintableHeight - strip) / l.CellPixelsY;
    }
  }
  l.SheetsX = SheetsFor(MapWidth, l.CellsPerSheetX, Overlap);
  l.SheetsY = SheetsFor(MapHeight, l.CellsPerSheetY, Overlap);
  if (l.SheetsX == 0 || l.SheetsY == 0) l.SheetsX = l.SheetsY = 0;
  l.Sheets = l.SheetsX * l.SheetsY;
  return l;
}

int32_t SheetMarksHeight(int32_t DpiY) { return DpiY > 0 ? (DpiY + 1) / 2 : 0; }

std::string SheetLabel(int32_t Row, int32_t Column) {
  std::string letters;
  for (int64_t r = int64_t(std::max(0, Row)) + 1; r > 0; r = (r - 1) / 26)
    letters.insert(letters.begin(), char('A' + (r - 1) % 26));
  return letters + std::to_string(int64_t(Column) + 1);
}

namespace {

// One label ("B3", case ignored) as a 0-based row and column; false when Text is
// not a label.
bool ParseLabel(const std::string& Text, int64_t& Row, int64_t& Column) {
  size_t i = 0;
  int64_t r = 0, c = 0;
  while (i < Text.size() && std::isalpha(static_cast<unsigned char>(Text[i]))) {
    r = r * 26 + (std::toupper(static_cast<unsigned char>(Text[i])) - 'A' + 1);
    if (r > 1000000) return false;
    ++i;
  }
  if (i == 0 || i == Text.size()) return false;
  for (; i < Text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(Text[i]))) return false;
    c = c * 10 + (Text[i] - '0');
    if (c > 1000000) return false;
  }
  if (c < 1) return false;
  Row = r - 1;
  Column = c - 1;
  return true;
}

std::string Trim(const std::string& S) {
  const size_t a = S.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  return S.substr(a, S.find_last_not_of(" \t") - a + 1);
}

}  // namespace

std::vector<bool> ParseSheetSelection(const std::string& Text, int32_t SheetsX, int32_t SheetsY) {
  const int64_t count = int64_t(std::max(0, SheetsX)) * std::max(0, SheetsY);
  if (Trim(Text).empty()) return std::vector<bool>(size_t(count), true);
  std::vector<bool> chosen(size_t(count), false);
  const std::string range =
      count > 0 ? "the sheets are A1 to " + SheetLabel(SheetsY - 1, SheetsX - 1) : "no sheets";
  size_t start = 0;
  while (start <= Text.size()) {
    size_t comma = Text.find(',', start);
    if (comma == std::string::npos) comma = Text.size();
    const std::string part = Trim(Text.substr(start, comma - start));
    start = comma + 1;
    if (part.empty()) continue;
    const size_t dash = part.find('-');
    int64_t r0 = 0, c0 = 0, r1 = 0, c1 = 0;
    bool ok = dash == std::string::npos
                  ? ParseLabel(part, r0, c0)
                  : ParseLabel(Trim(part.substr(0, dash)), r0, c0) &&
                        ParseLabel(Trim(part.substr(dash + 1)), r1, c1);
    if (dash == std::string::npos) {
      r1 = r0;
      c1 = c0;
    }
    if (r0 > r1) std::swap(r0, r1);
    if (c0 > c1) std::swap(c0, c1);
    if (!ok)
      throw EVellumError("\"" + part + "\" is not a sheet or a range of sheets such as A2 or B1-B3");
    if (r1 >= SheetsY || c1 >= SheetsX)
      throw EVellumError("\"" + part + "\" is not on this poster; " + range);
    for (int64_t r = r0; r <= r1; ++r)
      for (int64_t c = c0; c <= c1; ++c) chosen[size_t(r * SheetsX + c)] = true;
  }
  return chosen;
}

TPrintLayout ScalePrintLayout(const TPrintLayout& Layout, double Factor) {
  if (!(Factor > 0) || Factor > 1) Factor = 1;
  auto scale = [Factor](int32_t V) { return int32_t(std::lround(V * Factor)); };
  TPrintLayout l = Layout;
  l.CellPixelsX = std::max(Layout.CellPixelsX > 0 ? 1 : 0, scale(Layout.CellPixelsX));
  l.CellPixelsY = std::max(Layout.CellPixelsY > 0 ? 1 : 0, scale(Layout.CellPixelsY));
  l.DpiX = std::max(Layout.DpiX > 0 ? 1 : 0, scale(Layout.DpiX));
  l.DpiY = std::max(Layout.DpiY > 0 ? 1 : 0, scale(Layout.DpiY));
  l.MarksHeight = scale(Layout.MarksHeight);
  l.PrintableWidth = std::max(scale(Layout.PrintableWidth), l.CellsPerSheetX * l.CellPixelsX);
  l.PrintableHeight = std::max(scale(Layout.PrintableHeight),
                               l.CellsPerSheetY * l.CellPixelsY + l.MarksHeight);
  return l;
}
