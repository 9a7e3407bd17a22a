#include "map/output/print_job.h"

#include <algorithm>
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

}  // namespace

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
                      Options.Smooth ? TResamplerKind::Draft : TResamplerKind::Nearest);
  // Every map pixel line of a cell edge becomes a band as thick as one map pixel
  // at this scale.
  const int32_t lineX = std::max(1, (cx + chip / 2) / std::max(1, chip));
  const int32_t lineY = std::max(1, (cy + chip / 2) / std::max(1, chip));
  DrawGridScaled(Image, 0, 0, cx, cy, 0, 0, Sheet.CellsX, Sheet.CellsY, Options.Grid, lineX, lineY);
  if (!Options.FullColor) ToGrey(Image);
}

bool PrintMap(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintOptions& Options,
              IPrintSink& Sink, TOutputFastDraw FastDraw, const TPrintProgress& Progress) {
  const std::vector<TPrintSheet> sheets = PlanSheets(Layout, Map.Width(), Map.Height());
  if (sheets.empty())
    throw EVellumError(
        "Nothing to print: the cell size is zero, larger than the printable area, or the "
        "printer reports no resolution");
  PrepareForOutput(Map, FastDraw);
  const int32_t total = int32_t(sheets.size());
  int32_t done = 0;
  TBitmap32 image;
  for (const TPrintSheet& s : sheets) {
    if (Progress && !Progress(done, total)) return false;
    RenderSheet(Map, Layout, s, Options, image);
    Sink.BeginSheet(s, total);
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
      if (h + 2 < ph) {
        Sink.DrawLine(0, h + 2, 0, std::min(ph, h + 2 + m));
        Sink.DrawLine(w - 1, h + 2, w - 1, std::min(ph, h + 2 + m));
      }
    }
    Sink.DrawText(0, h,
                  "row " + std::to_string(s.Row + 1) + ", column " + std::to_string(s.Column + 1) +
                      " (" + std::to_string(done + 1) + " of " + std::to_string(total) + ")");
    Sink.EndSheet();
    ++done;
  }
  if (Progress) Progress(done, total);
  return true;
}
