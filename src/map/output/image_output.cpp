#include "map/output/image_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <vector>

#include "map/base/atomic_file.h"
#include "map/codec/image_band_writer.h"
#include "map/codec/image_file.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/raster/bitmap32.h"
#include "record/errors.h"

namespace fs = std::filesystem;

namespace {

// Rows composed between two progress reports.
constexpr int32_t kComposeStripRows = 64;

}  // namespace

void PrepareForOutput(TMapEditLayerList& Map, TOutputFastDraw FastDraw,
                      const TOutputProgress& Progress) {
  Map.DrawShadeOnlyCell = false;
  Map.Doors().RebuildDoorBitmap();
  if (FastDraw == TOutputFastDraw::OffForOutput) {
    const bool fast = Map.FastDraw;
    Map.FastDraw = false;
    try {
      Map.Refresh(Progress);
    } catch (...) {
      Map.FastDraw = fast;
      throw;
    }
    Map.FastDraw = fast;
  }
}

TColor32 GridColor32(const TOutputOptions& Options) {
  TColor32 c = ColorFromPlatform(Options.GridColor);
  c = Options.HalfTone ? (c & 0x80FFFFFFu) : c;
  const int32_t opacity = std::clamp(Options.GridOpacity, 0, 100);
  if (opacity == 100) return c;
  const uint32_t a = ((c >> 24) * uint32_t(opacity) + 50) / 100;
  return (a << 24) | (c & 0x00FFFFFFu);
}

namespace {

// The image position of cell edge Index (the left or top edge of cell Index).
int64_t CellEdge(int64_t Origin, double CellPixels, int64_t Index) {
  return Origin + int64_t(std::floor(double(Index) * CellPixels + 0.5));
}

// The pattern of a dashed or dotted line along one cell side from Start to End
// (image pixels), for a line Line pixels thick: whether pixel Pos is drawn.
struct TGridDash {
  TGridLineStyle Style = TGridLineStyle::Solid;
  int32_t Line = 1;
  bool On(int64_t Pos, int64_t Start, int64_t End) const {
    if (Style == TGridLineStyle::Solid) return true;
    const double len = double(End - Start), at = double(Pos - Start) + 0.5;
    if (!(len > 0)) return true;
    if (Style == TGridLineStyle::Dashed) {
      // Four dashes of 60 % of their period, the cell corners in a dash's middle.
      const double period = len / 4;
      return std::fmod(at + 0.3 * period, period) < 0.6 * period;
    }
    // Dots as long as the line is thick, about four thicknesses apart, a whole
    // number of them on each side so that every corner has one.
    const double n = std::max(1.0, std::floor(len / (4.0 * Line) + 0.5));
    const double period = len / n;
    return std::fmod(at + 0.5 * Line, period) < double(Line);
  }
};

// Blends C into column X for Y0 <= y < Y1, where Dash allows it; Edge gives the
// cell edges along the line.
template <class TEdge>
void BlendColumn(TBitmap32& Image, int64_t X, int64_t Y0, int64_t Y1, TColor32 C,
                 const TGridDash& Dash, const TEdge& Edge, int32_t FirstCell) {
  if (X < 0 || X >= Image.Width()) return;
  const int64_t lo = std::max<int64_t>(Y0, 0), hi = std::min<int64_t>(Y1, Image.Height());
  int64_t cell = FirstCell, start = Edge(cell), end = Edge(cell + 1);
  for (int64_t y = lo; y < hi; ++y) {
    if (Dash.Style != TGridLineStyle::Solid) {
      while (y >= end) start = end, end = Edge(++cell + 1);
      if (!Dash.On(y, start, end)) continue;
    }
    TColor32& p = Image.Pixel(int32_t(X), int32_t(y));
    p = BlendPixel(C, p);
  }
}

template <class TEdge>
void BlendRowSpan(TBitmap32& Image, int64_t Y, int64_t X0, int64_t X1, TColor32 C,
                  const TGridDash& Dash, const TEdge& Edge, int32_t FirstCell) {
  if (Y < 0 || Y >= Image.Height()) return;
  const int64_t lo = std::max<int64_t>(X0, 0), hi = std::min<int64_t>(X1, Image.Width());
  int64_t cell = FirstCell, start = Edge(cell), end = Edge(cell + 1);
  for (int64_t x = lo; x < hi; ++x) {
    if (Dash.Style != TGridLineStyle::Solid) {
      while (x >= end) start = end, end = Edge(++cell + 1);
      if (!Dash.On(x, start, end)) continue;
    }
    TColor32& p = Image.Pixel(int32_t(x), int32_t(Y));
    p = BlendPixel(C, p);
  }
}

}  // namespace

void DrawGridScaled(TBitmap32& Image, int64_t OriginX, int64_t OriginY, double CellPixelsX,
                    double CellPixelsY, int32_t FirstCellX, int32_t FirstCellY, int32_t CellsX,
                    int32_t CellsY, const TOutputOptions& Options, int32_t LineX, int32_t LineY) {
  if (!Options.UseGrid || CellsX <= 0 || CellsY <= 0 || !(CellPixelsX > 0) || !(CellPixelsY > 0))
    return;
  LineX = std::max(LineX, 1);
  LineY = std::max(LineY, 1);
  const TColor32 color = GridColor32(Options);
  const int64_t left = CellEdge(OriginX, CellPixelsX, FirstCellX);
  const int64_t right = CellEdge(OriginX, CellPixelsX, int64_t(FirstCellX) + CellsX);
  const int64_t top = CellEdge(OriginY, CellPixelsY, FirstCellY);
  const int64_t bottom = CellEdge(OriginY, CellPixelsY, int64_t(FirstCellY) + CellsY);
  auto edgeX = [&](int64_t C) { return CellEdge(OriginX, CellPixelsX, C); };
  auto edgeY = [&](int64_t C) { return CellEdge(OriginY, CellPixelsY, C); };
  // Vertical lines are dashed along y and horizontal ones along x, with dots as
  // long as the line is thick across.
  const TGridDash dashV{Options.GridStyle, LineX}, dashH{Options.GridStyle, LineY};
  // The cell a clipped line starts in, found without walking from far away.
  auto firstCell = [](int64_t Lo, int64_t Origin, double Cell, int32_t First) {
    const int64_t c = int64_t(std::floor(double(std::max<int64_t>(Lo, 0) - Origin) / Cell)) - 1;
    return int32_t(std::max<int64_t>(c, First));
  };
  const int32_t rowFrom = firstCell(top, OriginY, CellPixelsY, FirstCellY);
  const int32_t colFrom = firstCell(left, OriginX, CellPixelsX, FirstCellX);
  // Only the cells whose lines can touch the image are visited.
  for (int64_t c = FirstCellX; c < int64_t(FirstCellX) + CellsX; ++c) {
    const int64_t x0 = CellEdge(OriginX, CellPixelsX, c);
    const int64_t x1 = CellEdge(OriginX, CellPixelsX, c + 1);
    if (x1 <= 0) continue;
    if (x0 >= Image.Width()) break;
    for (int32_t t = 0; t < LineX; ++t) {
      if (Options.LeftGrid) BlendColumn(Image, x0 + t, top, bottom, color, dashV, edgeY, rowFrom);
      if (Options.RightGrid)
        BlendColumn(Image, x1 - LineX + t, top, bottom, color, dashV, edgeY, rowFrom);
    }
  }
  for (int64_t r = FirstCellY; r < int64_t(FirstCellY) + CellsY; ++r) {
    const int64_t y0 = CellEdge(OriginY, CellPixelsY, r);
    const int64_t y1 = CellEdge(OriginY, CellPixelsY, r + 1);
    if (y1 <= 0) continue;
    if (y0 >= Image.Height()) break;
    for (int32_t t = 0; t < LineY; ++t) {
      if (Options.UpGrid) BlendRowSpan(Image, y0 + t, left, right, color, dashH, edgeX, colFrom);
      if (Options.DownGrid)
        BlendRowSpan(Image, y1 - LineY + t, left, right, color, dashH, edgeX, colFrom);
    }
  }
}

void DrawGridScaled(TBitmap32& Image, int64_t OriginX, int64_t OriginY, double CellPixels,
                    int32_t FirstCellX, int32_t FirstCellY, int32_t CellsX, int32_t CellsY,
                    const TOutputOptions& Options) {
  DrawGridScaled(Image, OriginX, OriginY, CellPixels, CellPixels, FirstCellX, FirstCellY, CellsX,
                 CellsY, Options, 1, 1);
}

void DrawGrid(TBitmap32& Image, int32_t Width, int32_t Height, int32_t ChipSize,
              const TOutputOptions& Options) {
  DrawGridScaled(Image, 0, 0, ChipSize, 0, 0, Width, Height, Options);
}

void ComposeForOutput(TMapEditLayerList& Map, TBitmap32& Image, const TOutputOptions& Options,
                      const TOutputProgress& Progress) {
  const int32_t pw = Map.PixelWidth(), ph = Map.PixelHeight();
  Image.SetSize(pw, ph);
  Image.Clear(0);
  if (Progress) Progress("compose", 0, ph);
  for (int32_t y = 0; y < ph; y += kComposeStripRows) {
    const int32_t y1 = std::min(ph, y + kComposeStripRows);
    ComposeMap(Map, Image, TRect{0, y, pw, y1}, 0, y, Options.Compose);
    if (Progress) Progress("compose", y1, ph);
  }
  DrawGrid(Image, Map.Width(), Map.Height(), Map.ChipSize(), Options);
}

namespace {

// Writes Path through Write, which fills the safe writer's temporary file; the
// file is renamed into place only when everything was written and flushed.
void WriteSafely(const std::string& Path, const std::function<void(TSafeFileWriter&)>& Write) {
  if (Path.empty()) throw EFileError("No output file name given");
  std::error_code ec;
  if (fs::is_directory(fs::path(Path), ec))
    throw EFileError("Cannot write \"" + Path + "\": it is a folder");
  TSafeFileWriter writer(Path);
  Write(writer);
  writer.Commit();
}

// Composes the prepared map a band of rows at a time, with the grid, and hands
// each band to Writer: only one band is held in memory. Bottom-up writers get the
// bands from the bottom of the map upwards.
// The image size and band layout of one output: 1:1, or scaled to Cell pixels
// per cell with bands of whole cells.
struct TBandLayout {
  int32_t Width = 0, Height = 0;  // image pixels
  int32_t Cell = 0;               // image pixels per cell
  bool Scaled = false;
  int32_t BandRows = 0;
};

TBandLayout MakeLayout(TMapEditLayerList& Map, int32_t BandRows, int32_t PixelsPerCell,
                       const std::string& Path) {
  TBandLayout l;
  const int32_t chip = Map.ChipSize();
  if (PixelsPerCell < 0 || PixelsPerCell > kMaxOutputPixelsPerCell)
    throw EImageError("Cannot write \"" + Path + "\": pixels per cell must be 1 to " +
                      std::to_string(kMaxOutputPixelsPerCell));
  l.Cell = PixelsPerCell > 0 ? PixelsPerCell : chip;
  l.Scaled = l.Cell != chip;
  const int64_t w = int64_t(Map.Width()) * l.Cell, h = int64_t(Map.Height()) * l.Cell;
  if (w <= 0 || h <= 0) throw EImageError("Cannot write \"" + Path + "\": the map is empty");
  if (w > kMaxOutputSide || h > kMaxOutputSide)
    throw EImageError("Cannot write \"" + Path + "\": the image of " + std::to_string(w) + " x " +
                      std::to_string(h) + " pixels is too large");
  l.Width = int32_t(w);
  l.Height = int32_t(h);
  l.BandRows = BandRows;
  // A scaled band holds whole cells, so each band maps onto whole map rows.
  if (l.Scaled) l.BandRows = std::max(1, BandRows / l.Cell) * l.Cell;
  return l;
}

// Composes the prepared map a band of rows at a time, with the grid, and hands
// each band to Writer: only one band is held in memory. Bottom-up writers get the
// bands from the bottom of the map upwards.
template <class TWriter>
void ComposeBands(TMapEditLayerList& Map, const TOutputOptions& Options, TWriter& Writer,
                  const TBandLayout& L, bool BottomUp, const TOutputProgress& Progress) {
  const int32_t pw = L.Width, ph = L.Height, bandRows = L.BandRows;
  const int32_t chip = Map.ChipSize();
  TBitmap32 band;
  band.SetSize(pw, std::min(bandRows, ph));
  const int32_t bands = (ph + bandRows - 1) / bandRows;
  if (Progress) Progress("compose", 0, ph);
  int64_t done = 0;
  for (int32_t b = 0; b < bands; ++b) {
    const int32_t y = (BottomUp ? bands - 1 - b : b) * bandRows;
    const int32_t rows = std::min(bandRows, ph - y);
    band.Clear(0);
    if (L.Scaled) {
      // Whole cells: image rows y .. y+rows are map cell rows y/Cell onwards.
      const int32_t r0 = y / L.Cell, r1 = r0 + rows / L.Cell;
      ComposeMapStretched(Map, band, TRect{0, 0, pw, rows},
                          TRect{0, r0 * chip, Map.PixelWidth(), r1 * chip},
                          L.Cell > chip ? TResamplerKind::Nearest : TResamplerKind::Draft,
                          Options.Compose);
    } else {
      ComposeMap(Map, band, TRect{0, y, pw, y + rows}, 0, 0, Options.Compose);
    }
    DrawGridScaled(band, 0, -int64_t(y), L.Cell, 0, 0, Map.Width(), Map.Height(), Options);
    Writer.WriteRows(band, rows);
    done += rows;
    if (Progress) Progress("compose", done, ph);
  }
  Writer.Finish();
}

void WriteBandsToFile(TMapEditLayerList& Map, const TOutputOptions& Options, TSafeFileWriter& File,
                      const std::string& Name, const TBandLayout& L,
                      const TOutputProgress& Progress, int32_t Dpi) {
  const int32_t pw = L.Width, ph = L.Height;
  std::FILE* file = File.Stream();
  const std::string ext = LowerExtension(Name);
  if (ext == ".png") {
    TPngRowWriter writer(file, pw, ph, Name, Dpi);
    ComposeBands(Map, Options, writer, L, false, Progress);
  } else if (ext == ".jpg") {
    TJpegRowWriter writer(file, pw, ph, 90, Name, Dpi);
    ComposeBands(Map, Options, writer, L, false, Progress);
  } else if (ext == ".webp") {
    TWebpRowWriter writer(file, pw, ph, Options.Webp, Name);
    ComposeBands(Map, Options, writer, L, false, Progress);
  } else {
    TBmpRowWriter writer(file, pw, ph, Name, Dpi);
    ComposeBands(Map, Options, writer, L, true, Progress);
  }
}

// The layout of an output to Path, refused before any work when the image cannot
// be written in the format its extension names.
TBandLayout CheckedLayout(TMapEditLayerList& Map, int32_t BandRows, int32_t PixelsPerCell,
                          const std::string& Path) {
  const TBandLayout layout = MakeLayout(Map, BandRows, PixelsPerCell, Path);
  if (LowerExtension(Path) == ".webp") CheckWebpSize(layout.Width, layout.Height, Path);
  return layout;
}

}  // namespace

void WriteImageByExtension(const TBitmap32& Image, const std::string& Path,
                           const TWebpSettings& Webp) {
  const std::string ext = LowerExtension(Path);
  WriteSafely(Path, [&](TSafeFileWriter& File) {
    if (ext == ".png")
      SavePNGFile(Image, File.TempPath());
    else if (ext == ".jpg")
      SaveJPEGFile(Image, File.TempPath(), 90);
    else if (ext == ".webp")
      SaveWebPFile(Image, File.TempPath(), Webp);
    else
      SaveBmpFile(Image, File.TempPath());
  });
}

void WriteMapImageInBands(TMapEditLayerList& Map, const TOutputOptions& Options,
                          const std::string& Path, int32_t BandRows,
                          const TOutputProgress& Progress, int32_t Dpi, int32_t PixelsPerCell) {
  if (BandRows <= 0) BandRows = kComposeStripRows;
  const TBandLayout layout = CheckedLayout(Map, BandRows, PixelsPerCell, Path);
  WriteSafely(Path, [&](TSafeFileWriter& File) {
    WriteBandsToFile(Map, Options, File, Path, layout, Progress, Dpi);
  });
}

void RenderMapImage(TMapEditLayerList& Map, const TOutputOptions& Options, const std::string& Path,
                    TOutputFastDraw FastDraw, const TOutputProgress& Progress, int32_t Dpi,
                    int32_t PixelsPerCell) {
  CheckedLayout(Map, kComposeStripRows, PixelsPerCell, Path);
  PrepareForOutput(Map, FastDraw, Progress);
  // Composed and written in bands: no full-size image besides the document.
  WriteMapImageInBands(Map, Options, Path, kComposeStripRows, Progress, Dpi, PixelsPerCell);
  if (Progress) Progress("write", 1, 1);
}
