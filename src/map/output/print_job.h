#pragma once
// The print job: the map cut into the sheets of a print layout, in reading order,
// each sheet's cells rendered at the device cell size through the one composition
// routine, with the output grid scaled to the cell, in colour or greyscale. A sink
// receives each sheet (a printer page, a PDF page), so the window and the
// command-line tool print the same pages.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "map/raster/bitmap32.h"
#include "map/output/image_output.h"
#include "map/output/print_layout.h"

class TMapEditLayerList;

struct TPrintOptions {
  bool Smooth = false;    // the draft resampler instead of nearest neighbour
  bool FullColor = true;  // false prints in greyscale
  bool CutMarks = true;   // thin marks at the corners of the map part on each sheet
  TOutputOptions Grid;    // the output settings: grid (scaled to the cell) and map style
  // A first page with the whole map, the sheet grid and each sheet's label (the
  // command-line tool and the print dialog switch it on unless told otherwise).
  bool AssemblyPage = false;
  // The strip below the cells (kept free by a layout computed with sheet marks):
  // the sheet's label, arrows to its neighbours and a scale ruler with a check
  // mark. Nothing is drawn when the layout keeps no strip.
  bool SheetMarks = true;
  // With an overlapping layout, the cells repeated from the sheet above or to the
  // left are shaded lightly: that part goes under the neighbour when gluing.
  bool ShadeOverlap = true;
  // A thin border around the cells of each sheet, to cut along.
  bool TrimBorder = false;
  // The sheets to print, such as "A2, B1-B3"; empty prints every sheet.
  std::string Selection;
  // The printed size of one cell as chosen, for the ruler's text; 0 writes the
  // size in inches from the device resolution.
  double CellSize = 0;
  TPrintUnit Unit = TPrintUnit::Inch;
  // The paper as the assembly page names it ("A4 portrait").
  std::string PaperText;
};

// One sheet: its place in the poster and the cells it shows.
struct TPrintSheet {
  int32_t Row = 0;
  int32_t Column = 0;
  int32_t FirstCellX = 0;
  int32_t FirstCellY = 0;
  int32_t CellsX = 0;
  int32_t CellsY = 0;
  bool Assembly = false;  // the assembly page, which shows no cells of its own
};

// A point in device pixels, for filled shapes.
struct TPrintPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

// The sheets of Layout for a map of MapWidth x MapHeight cells, row by row.
std::vector<TPrintSheet> PlanSheets(const TPrintLayout& Layout, int32_t MapWidth,
                                    int32_t MapHeight);

// Renders one sheet's cells into Image, sized CellsX * CellPixelsX by
// CellsY * CellPixelsY. The map must be prepared for output first.
void RenderSheet(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintSheet& Sheet,
                 const TPrintOptions& Options, TBitmap32& Image);

class IPrintSink {
 public:
  virtual ~IPrintSink() = default;
  // A new page; the printable area is Layout's, in device pixels.
  virtual void BeginSheet(const TPrintSheet& Sheet, int32_t SheetCount) = 0;
  // The rendered cells, to be placed at (X, Y) device pixels of the printable area.
  virtual void DrawImage(const TBitmap32& Image, int32_t X, int32_t Y) = 0;
  // A thin line in device pixels (cut marks), and a small caption at (X, Y).
  virtual void DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) = 0;
  virtual void DrawText(int32_t X, int32_t Y, const std::string& Text) = 0;
  virtual void EndSheet() = 0;
  // The sheet marks and the assembly page. Grey 0 is black, 255 white. Text is
  // Height device pixels high with its top at Y, kept as text where the device can.
  virtual void FillRect(int32_t /*X*/, int32_t /*Y*/, int32_t /*Width*/, int32_t /*Height*/,
                        uint8_t /*Grey*/) {}
  virtual void FillPolygon(const std::vector<TPrintPoint>& /*Points*/, uint8_t /*Grey*/) {}
  virtual void DrawTextSized(int32_t /*X*/, int32_t /*Y*/, const std::string& /*Text*/,
                             int32_t /*Height*/) {}
};

// Reports progress after each sheet; returning false cancels the job.
using TPrintProgress = std::function<bool(int32_t Done, int32_t Total)>;

// The sheets of Layout that Selection names (see ParseSheetSelection), in reading
// order. Raises EVellumError for a selection that is not of this poster.
std::vector<TPrintSheet> SelectSheets(const TPrintLayout& Layout, int32_t MapWidth,
                                      int32_t MapHeight, const std::string& Selection);

// Where the ruler of a sheet lies, in device pixels of the printable area: its
// bar starts at (X, Y) and is Cells cells long; a check bar of exactly one inch (or
// two centimetres with metric units) starts at (CheckX, CheckY).
struct TRulerPlace {
  int32_t X = 0, Y = 0, Length = 0, Height = 0, Cells = 0;
  int32_t CheckX = 0, CheckY = 0, CheckLength = 0, CheckHeight = 0;
};
TRulerPlace PlaceRuler(const TPrintLayout& Layout, const TPrintSheet& Sheet,
                       const TPrintOptions& Options);

// The ruler's text: "5 cells = 5 in", "3 cells = 75 mm".
std::string RulerText(const TPrintLayout& Layout, const TPrintOptions& Options, int32_t Cells);

// The pages PrintMap prints for Options, in order: the assembly page (Assembly
// set) when chosen, then the selected sheets. Raises EVellumError when the
// layout prints nothing or the selection is not of this poster.
std::vector<TPrintSheet> PlanPages(const TMapEditLayerList& Map, const TPrintLayout& Layout,
                                   const TPrintOptions& Options);

// Prints page Index of Pages (as PlanPages gives them) to Sink, exactly as
// PrintMap prints it; the print preview shows one page at a time this way. The
// map must be prepared for output first.
void PrintPage(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintOptions& Options,
               const std::vector<TPrintSheet>& Pages, size_t Index, IPrintSink& Sink);

// Prepares the map (shades on, door bitmap rebuilt, fast drawing off with
// OffForOutput) and prints to Sink the assembly page, when chosen, and every
// selected sheet of Layout: the cells at the top left of the printable area,
// cut marks at their corners, the sheet marks in the strip below them and
// "row r, column c" there, or under the cells when there is room. Raises
// EVellumError when the layout prints nothing or the selection is not of this
// poster, before anything is printed. Returns false when cancelled.
bool PrintMap(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintOptions& Options,
              IPrintSink& Sink, TOutputFastDraw FastDraw = TOutputFastDraw::OffForOutput,
              const TPrintProgress& Progress = {});
