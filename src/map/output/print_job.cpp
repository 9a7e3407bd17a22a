#include "map/output/print_job.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "map/output/image_output.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"
#include "record/errors.h"

namespace {

// The first cell and cell count of sheet Index along one direction.
void Span(int32_t Index, int32_t PerSheet, int32_t Cells, bool Overlap, int32_t& First,
          int32_t& Count) {
  const int32_t step = Overlap && PerSheet >= 2 ? PerSheet - 1 : PerSheet;
  First = Index * step;
  Count = std::min(PerSheet, Cells - First);
}

void ToGrey(TBitmap32& Image) {
  for (int32_t y = 0; y < Image.Height(); ++y)
    for (int32_t x = 0; x < Image.Width(); ++x) {
      TColor32& p = Image.Pixel(x, y);
      const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      const uint32_t l = (r * 299 + g * 587 + b * 114 + 500) / 1000;
      p = (p & 0xFF000000u) | (l << 16) | (l << 8) | l;
    }
}

// Darkens the cells repeated from the neighbour above (the first cell row) and
// to the left (the first cell column) by an eighth.
void ShadeOverlap(const TPrintLayout& Layout, const TPrintSheet& Sheet, TBitmap32& Image) {
  const int32_t rows = Sheet.Row > 0 && Layout.CellsPerSheetY >= 2 ? Layout.CellPixelsY : 0;
  const int32_t cols = Sheet.Column > 0 && Layout.CellsPerSheetX >= 2 ? Layout.CellPixelsX : 0;
  for (int32_t y = 0; y < Image.Height(); ++y) {
    TColor32* row = Image.ScanLine(y);
    const int32_t end = y < rows ? Image.Width() : std::min(cols, Image.Width());
    for (int32_t x = 0; x < end; ++x) {
      const TColor32 p = row[x];
      TColor32 out = p & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8)
        out |= ((((p >> shift) & 0xFF) * 7 + 4) / 8) << shift;
      row[x] = out;
    }
  }
}

// A rough width of Text in Helvetica Height device pixels high: wide enough for
// digits, capitals and most small letters, so that marks placed after it do not
// overlap it.
int32_t TextWidth(const std::string& Text, double Height) {
  return int32_t(std::ceil(double(Text.size()) * Height * 0.62));
}

int32_t Round(double V) { return int32_t(std::lround(V)); }

std::string SizeText(double V) { return FormatZoom(V); }

const char* UnitText(TPrintUnit Unit) {
  switch (Unit) {
    case TPrintUnit::Millimetre:
      return "mm";
    case TPrintUnit::Centimetre:
      return "cm";
    default:
      return "in";
  }
}

// A filled arrow head pointing left (Dx -1), right (1), up (Dy -1) or down (1),
// its tip Size device pixels from (X, Y) on the side it points to.
void DrawArrow(IPrintSink& Sink, int32_t X, int32_t Y, int32_t Dx, int32_t Dy, int32_t Size) {
  const int32_t h = Size / 2;
  std::vector<TPrintPoint> p;
  if (Dx != 0)
    p = {{X + Dx * h, Y}, {X - Dx * h, Y - h}, {X - Dx * h, Y + h}};
  else
    p = {{X, Y + Dy * h}, {X - h, Y - Dy * h}, {X + h, Y - Dy * h}};
  Sink.FillPolygon(p, 0);
}

// The strip below a sheet's cells: ruler and check mark in its upper half; label,
// arrows to the neighbouring sheets and Caption in its lower half.
void DrawSheetMarks(IPrintSink& Sink, const TPrintLayout& Layout, const TPrintSheet& Sheet,
                    const TPrintOptions& Options, int32_t Top, const std::string& Caption) {
  const double u = Layout.MarksHeight / 10.0;
  const TRulerPlace r = PlaceRuler(Layout, Sheet, Options);
  // Ticks above the bar at every cell edge, the bar itself and its text.
  for (int32_t i = 0; i <= r.Cells; ++i) {
    const int32_t x = std::min(r.X + i * Layout.CellPixelsX, r.X + r.Length - 1);
    Sink.DrawLine(x, Round(r.Y - u), x, r.Y);
  }
  Sink.FillRect(r.X, r.Y, r.Length, r.Height, 0);
  Sink.DrawTextSized(r.X + r.Length + Round(2 * u), Round(r.Y - 0.2 * u),
                     RulerText(Layout, Options, r.Cells), Round(2 * u));
  if (r.CheckLength > 0) {
    const bool metric = Options.Unit != TPrintUnit::Inch;
    const std::string check = metric ? "2 cm" : "1 in";
    Sink.FillRect(r.CheckX, r.CheckY, r.CheckLength, r.CheckHeight, 0);
    Sink.DrawTextSized(r.CheckX - TextWidth(check, 1.6 * u) - Round(u),
                       Round(r.CheckY + r.CheckHeight / 2.0 - 0.8 * u), check, Round(1.6 * u));
  }
  // The label, then an arrow and the label of each neighbour.
  const int32_t rowTop = Round(Top + 5.5 * u), mid = Round(Top + 7.5 * u);
  const std::string label = SheetLabel(Sheet.Row, Sheet.Column);
  Sink.DrawTextSized(0, rowTop, label, Round(4 * u));
  int32_t x = TextWidth(label, 4 * u) + Round(2 * u);
  const int32_t size = Round(2.4 * u);
  struct TNeighbour {
    int32_t Dx, Dy;
  };
  for (const TNeighbour n : {TNeighbour{-1, 0}, TNeighbour{0, -1}, TNeighbour{0, 1},
                             TNeighbour{1, 0}}) {
    const int32_t row = Sheet.Row + n.Dy, col = Sheet.Column + n.Dx;
    if (row < 0 || col < 0 || row >= Layout.SheetsY || col >= Layout.SheetsX) continue;
    DrawArrow(Sink, x + size / 2, mid, n.Dx, n.Dy, size);
    x += size + Round(0.6 * u);
    const std::string other = SheetLabel(row, col);
    Sink.DrawTextSized(x, Round(mid - 1.2 * u), other, size);
    x += TextWidth(other, size) + Round(2 * u);
  }
  Sink.DrawText(x, Round(mid - 1.2 * u), Caption);
}

// The assembly page: what the poster is, how to print it, and the whole map with
// the sheet grid and each sheet's label drawn over it.
void DrawAssemblyPage(TMapEditLayerList& Map, const TPrintLayout& Layout,
                      const std::vector<TPrintSheet>& All, const TPrintOptions& Options,
                      IPrintSink& Sink) {
  const double u = std::max(1, Layout.DpiY) / 20.0;
  const int32_t pw = Layout.PrintableWidth, ph = Layout.PrintableHeight;
  const std::string last = SheetLabel(Layout.SheetsY - 1, Layout.SheetsX - 1);
  Sink.DrawTextSized(0, 0,
                     "Assembly: " + std::to_string(Layout.SheetsX) + " x " +
                         std::to_string(Layout.SheetsY) + " sheets, A1 to " + last,
                     Round(4 * u));
  const std::string cellText = Options.CellSize > 0
                         ? SizeText(Options.CellSize) + " " + UnitText(Options.Unit)
                         : SizeText(double(Layout.CellPixelsX) / std::max(1, Layout.DpiX)) + " in";
  std::string line = "One cell = " + cellText;
  if (!Options.PaperText.empty()) line += " on " + Options.PaperText;
  line += "; " + std::to_string(Layout.CellsPerSheetX) + " x " +
          std::to_string(Layout.CellsPerSheetY) + " cells per sheet";
  if (Layout.Overlap) line += ", one cell of overlap (shaded)";
  Sink.DrawTextSized(0, Round(5.5 * u), line, Round(2.4 * u));
  Sink.DrawTextSized(0, Round(8.5 * u),
                     "Print at 100 % / actual size, never fit to page. Check the ruler on "
                     "each sheet.",
                     Round(2.4 * u));
  double top = 11.5 * u;
  if (!Options.Selection.empty()) {
    Sink.DrawTextSized(0, Round(top), "Sheets printed: " + Options.Selection, Round(2.4 * u));
    top += 3 * u;
  }
  const int32_t y0 = Round(top + u);
  const int64_t mw = Map.PixelWidth(), mh = Map.PixelHeight();
  if (mw <= 0 || mh <= 0 || ph - y0 <= 0 || pw <= 0) return;
  const double scale = std::min(double(pw) / mw, double(ph - y0) / mh);
  const int32_t w = std::max(1, int32_t(mw * scale)), h = std::max(1, int32_t(mh * scale));
  TBitmap32 image;
  image.SetSize(w, h);
  image.Clear(0xFFFFFFFFu);
  ComposeMapStretched(Map, image, TRect{0, 0, w, h}, TRect{0, 0, int32_t(mw), int32_t(mh)},
                      scale < 1 ? TResamplerKind::Draft : TResamplerKind::Nearest,
                      Options.Grid.Compose);
  if (!Options.FullColor) ToGrey(image);
  Sink.DrawImage(image, 0, y0);
  const double cell = Map.ChipSize() * scale;
  for (const TPrintSheet& s : All) {
    const int32_t x1 = Round(s.FirstCellX * cell), x2 = Round((s.FirstCellX + s.CellsX) * cell) - 1;
    const int32_t y1 = y0 + Round(s.FirstCellY * cell);
    const int32_t y2 = y0 + Round((s.FirstCellY + s.CellsY) * cell) - 1;
    Sink.DrawLine(x1, y1, x2, y1);
    Sink.DrawLine(x2, y1, x2, y2);
    Sink.DrawLine(x2, y2, x1, y2);
    Sink.DrawLine(x1, y2, x1, y1);
    const std::string label = SheetLabel(s.Row, s.Column);
    const double th = std::min(4 * u, (y2 - y1) / 3.0);
    if (th < 2) continue;
    const int32_t tw = TextWidth(label, th), pad = Round(th / 4);
    const int32_t cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    Sink.FillRect(cx - tw / 2 - pad, Round(cy - th / 2 - pad), tw + 2 * pad, Round(th + 2 * pad),
                  255);
    Sink.DrawTextSized(cx - tw / 2, Round(cy - th / 2), label, Round(th));
  }
}

}  // namespace

std::vector<TPrintSheet> SelectSheets(const TPrintLayout& Layout, int32_t MapWidth,
                                      int32_t MapHeight, const std::string& Selection) {
  std::vector<TPrintSheet> all = PlanSheets(Layout, MapWidth, MapHeight);
  const std::vector<bool> chosen = ParseSheetSelection(Selection, Layout.SheetsX, Layout.SheetsY);
  std::vector<TPrintSheet> out;
  for (const TPrintSheet& s : all)
    if (chosen[size_t(s.Row) * size_t(Layout.SheetsX) + size_t(s.Column)]) out.push_back(s);
  return out;
}

std::string RulerText(const TPrintLayout& Layout, const TPrintOptions& Options, int32_t Cells) {
  const std::string count = std::to_string(Cells) + (Cells == 1 ? " cell = " : " cells = ");
  if (Options.CellSize > 0)
    return count + SizeText(Options.CellSize * Cells) + " " + UnitText(Options.Unit);
  return count + SizeText(double(Layout.CellPixelsX) * Cells / std::max(1, Layout.DpiX)) + " in";
}

TRulerPlace PlaceRuler(const TPrintLayout& Layout, const TPrintSheet& Sheet,
                       const TPrintOptions& Options) {
  TRulerPlace r;
  const double u = Layout.MarksHeight / 10.0;
  const int32_t top = Sheet.CellsY * Layout.CellPixelsY;
  const int32_t pw = Layout.PrintableWidth, cx = std::max(1, Layout.CellPixelsX);
  r.Y = Round(top + 2 * u);
  r.Height = Round(2 * u);
  r.CheckHeight = std::max(1, Round(u));
  const bool metric = Options.Unit != TPrintUnit::Inch;
  r.CheckLength = metric ? Round(2 / 2.54 * Layout.DpiX) : Layout.DpiX;
  // As many cells as fit, at most five, with the text and the check mark beside.
  const int32_t check = r.CheckLength + TextWidth("2 cm", 1.6 * u) + Round(4 * u);
  for (r.Cells = 5; r.Cells > 1; --r.Cells)
    if (r.Cells * cx + Round(2 * u) + TextWidth(RulerText(Layout, Options, r.Cells), 2 * u) +
            check <= pw)
      break;
  r.Length = r.Cells * cx;
  r.CheckX = pw - r.CheckLength;
  r.CheckY = Round(top + 2.5 * u);
  if (r.Length + Round(2 * u) + TextWidth(RulerText(Layout, Options, r.Cells), 2 * u) + check >
      pw) {
    // No room beside the ruler: the check mark goes to the right end of the label row.
    r.CheckY = Round(top + 7 * u);
  }
  // The check bar ends at the right edge of the printable area, never past it; a
  // bar wider than the area is left out rather than cut.
  if (r.CheckX < 0 || r.CheckLength > pw) {
    r.CheckX = 0;
    r.CheckLength = 0;
  }
  return r;
}

std::vector<TPrintSheet> PlanSheets(const TPrintLayout& Layout, int32_t MapWidth,
                                    int32_t MapHeight) {
  std::vector<TPrintSheet> sheets;
  if (!Layout.Printable()) return sheets;
  for (int32_t r = 0; r < Layout.SheetsY; ++r)
    for (int32_t c = 0; c < Layout.SheetsX; ++c) {
      TPrintSheet s;
      s.Row = r;
      s.Column = c;
      Span(c, Layout.CellsPerSheetX, MapWidth, Layout.Overlap, s.FirstCellX, s.CellsX);
      Span(r, Layout.CellsPerSheetY, MapHeight, Layout.Overlap, s.FirstCellY, s.CellsY);
      if (s.CellsX > 0 && s.CellsY > 0) sheets.push_back(s);
    }
  return sheets;
}

void RenderSheet(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintSheet& Sheet,
                 const TPrintOptions& Options, TBitmap32& Image) {
  const int32_t cx = Layout.CellPixelsX, cy = Layout.CellPixelsY, chip = Map.ChipSize();
  Image.SetSize(Sheet.CellsX * cx, Sheet.CellsY * cy);
  // Paper is white: transparent parts of the map print as paper.
  Image.Clear(0xFFFFFFFFu);
  const TRect mapRect{Sheet.FirstCellX * chip, Sheet.FirstCellY * chip,
                      (Sheet.FirstCellX + Sheet.CellsX) * chip,
                      (Sheet.FirstCellY + Sheet.CellsY) * chip};
  ComposeMapStretched(Map, Image, TRect{0, 0, Image.Width(), Image.Height()}, mapRect,
                      Options.Smooth ? TResamplerKind::Draft : TResamplerKind::Nearest,
                      Options.Grid.Compose);
  // Every map pixel line of a cell edge becomes a band as thick as one map pixel
  // at this scale.
  const int32_t lineX = std::max(1, (cx + chip / 2) / std::max(1, chip));
  const int32_t lineY = std::max(1, (cy + chip / 2) / std::max(1, chip));
  DrawGridScaled(Image, 0, 0, cx, cy, 0, 0, Sheet.CellsX, Sheet.CellsY, Options.Grid, lineX, lineY);
  if (Layout.Overlap && Options.ShadeOverlap) ShadeOverlap(Layout, Sheet, Image);
  if (!Options.FullColor) ToGrey(Image);
}

std::vector<TPrintSheet> PlanPages(const TMapEditLayerList& Map, const TPrintLayout& Layout,
                                   const TPrintOptions& Options) {
  if (PlanSheets(Layout, Map.Width(), Map.Height()).empty())
    throw EVellumError(
        "Nothing to print: the cell size is zero, larger than the printable area, or the "
        "printer reports no resolution");
  std::vector<TPrintSheet> sheets =
      SelectSheets(Layout, Map.Width(), Map.Height(), Options.Selection);
  if (sheets.empty()) throw EVellumError("The selection names no sheet to print");
  if (Options.AssemblyPage) {
    TPrintSheet assembly;
    assembly.Assembly = true;
    sheets.insert(sheets.begin(), assembly);
  }
  return sheets;
}

void PrintPage(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintOptions& Options,
               const std::vector<TPrintSheet>& Pages, size_t Index, IPrintSink& Sink) {
  if (Index >= Pages.size()) throw EVellumError("No such page to print");
  const int32_t pages = int32_t(Pages.size());
  const TPrintSheet& s = Pages[Index];
  if (s.Assembly) {
    Sink.BeginSheet(s, pages);
    DrawAssemblyPage(Map, Layout, PlanSheets(Layout, Map.Width(), Map.Height()), Options, Sink);
    Sink.EndSheet();
    return;
  }
  const int32_t first = !Pages.empty() && Pages[0].Assembly ? 1 : 0;
  const int32_t total = pages - first, done = int32_t(Index) - first;
  TBitmap32 image;
  RenderSheet(Map, Layout, s, Options, image);
  Sink.BeginSheet(s, pages);
  Sink.DrawImage(image, 0, 0);
  const int32_t w = image.Width(), h = image.Height();
  if (Options.CutMarks) {
    // Short marks outside each corner of the printed cells, where there is room.
    const int32_t m = std::max<int32_t>(8, Layout.CellPixelsX / 6);
    const int32_t pw = Layout.PrintableWidth, ph = Layout.PrintableHeight;
    if (w + 2 < pw) {
      Sink.DrawLine(w + 2, 0, std::min(pw, w + 2 + m), 0);
      Sink.DrawLine(w + 2, h - 1, std::min(pw, w + 2 + m), h - 1);
    }
    if (h + 2 < ph && !(Options.SheetMarks && Layout.MarksHeight > 0)) {
      Sink.DrawLine(0, h + 2, 0, std::min(ph, h + 2 + m));
      Sink.DrawLine(w - 1, h + 2, w - 1, std::min(ph, h + 2 + m));
    }
  }
  if (Options.TrimBorder) {
    Sink.DrawLine(0, 0, w - 1, 0);
    Sink.DrawLine(w - 1, 0, w - 1, h - 1);
    Sink.DrawLine(w - 1, h - 1, 0, h - 1);
    Sink.DrawLine(0, h - 1, 0, 0);
  }
  const std::string caption = "row " + std::to_string(s.Row + 1) + ", column " +
                              std::to_string(s.Column + 1) + " (" + std::to_string(done + 1) +
                              " of " + std::to_string(total) + ")";
  if (Options.SheetMarks && Layout.MarksHeight > 0)
    DrawSheetMarks(Sink, Layout, s, Options, h, caption);
  else
    Sink.DrawText(0, h, caption);
  Sink.EndSheet();
}

bool PrintMap(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintOptions& Options,
              IPrintSink& Sink, TOutputFastDraw FastDraw, const TPrintProgress& Progress) {
  const std::vector<TPrintSheet> pages = PlanPages(Map, Layout, Options);
  PrepareForOutput(Map, FastDraw);
  const int32_t total = int32_t(pages.size());
  for (int32_t page = 0; page < total; ++page) {
    if (Progress && !Progress(page, total)) return false;
    PrintPage(Map, Layout, Options, pages, size_t(page), Sink);
  }
  if (Progress) Progress(total, total);
  return true;
}
