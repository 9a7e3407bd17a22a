#pragma once
// The print job: the map cut into the sheets of a print layout, in reading order,
// each sheet's cells rendered at the device cell size through the one composition
// routine, with the output grid scaled to the cell, in colour or greyscale. A sink
// receives each sheet (a printer page, a PDF page), so the window and the
// command-line tool print the same pages.

#include <cstdint>
#include <functional>
#include <string>

#include "map/raster/bitmap32.h"
#include "map/output/image_output.h"
#include "map/output/print_layout.h"

class TMapEditLayerList;

struct TPrintOptions {
  bool Smooth = false;    // the draft resampler instead of nearest neighbour
  bool FullColor = true;  // false prints in greyscale
  bool CutMarks = true;   // thin marks at the corners of the map part on each sheet
  TOutputOptions Grid;    // the output settings' grid, scaled to the cell
};

// One sheet: its place in the poster and the cells it shows.
struct TPrintSheet {
  int32_t Row = 0;
  int32_t Column = 0;
  int32_t FirstCellX = 0;
  int32_t FirstCellY = 0;
  int32_t CellsX = 0;
  int32_t CellsY = 0;
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
};

// Reports progress after each sheet; returning false cancels the job.
using TPrintProgress = std::function<bool(int32_t Done, int32_t Total)>;

// Prepares the map (shades on, door bitmap rebuilt, fast drawing off with
// OffForOutput) and prints every sheet of Layout to Sink: the cells at the top
// left of the printable area, cut marks at their corners, and "row r, column c"
// under them when there is room. Raises EVellumError when the layout prints
// nothing. Returns false when cancelled.
bool PrintMap(TMapEditLayerList& Map, const TPrintLayout& Layout, const TPrintOptions& Options,
              IPrintSink& Sink, TOutputFastDraw FastDraw = TOutputFastDraw::OffForOutput,
              const TPrintProgress& Progress = {});
