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
#include "map/raster/bitmap32.h"
#include "map/codec/image_band_writer.h"
#include "map/codec/image_file.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"
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
  return Options.HalfTone ? (c & 0x80FFFFFFu) : c;
}

namespace {

// The image position of cell edge Index (the left or top edge of cell Index).
int64_t CellEdge(int64_t Origin, double CellPixels, int64_t Index) {
  return Origin + int64_t(std::floor(double(Index) * CellPixels + 0.5));
}

void BlendColumn(TBitmap32& Image, int64_t X, int64_t Y0, int64_t Y1, TColor32 C) {
  if (X < 0 || X >= Image.Width()) return;
  Y0 = std::max<int64_t>(Y0, 0);
  Y1 = std::min<int64_t>(Y1, Image.Height());
  for (int64_t y = Y0; y < Y1; ++y) {
    TColor32& p = Image.Pixel(int32_t(X), int32_t(y));
    p = BlendPixel(C, p);
  }
}

void BlendRowSpan(TBitmap32& Image, int64_t Y, int64_t X0, int64_t X1, TColor32 C) {
  if (Y < 0 || Y >= Image.Height()) return;
  X0 = std::max<int64_t>(X0, 0);
  X1 = std::min<int64_t>(X1, Image.Width());
  for (int64_t x = X0; x < X1; ++x) {
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
  // Only the cells whose lines can touch the image are visited.
  for (int64_t c = FirstCellX; c < int64_t(FirstCellX) + CellsX; ++c) {
    const int64_t x0 = CellEdge(OriginX, CellPixelsX, c);
    const int64_t x1 = CellEdge(OriginX, CellPixelsX, c + 1);
    if (x1 <= 0) continue;
    if (x0 >= Image.Width()) break;
    for (int32_t t = 0; t < LineX; ++t) {
      if (Options.LeftGrid) BlendColumn(Image, x0 + t, top, bottom, color);
      if (Options.RightGrid) BlendColumn(Image, x1 - LineX + t, top, bottom, color);
    }
  }
  for (int64_t r = FirstCellY; r < int64_t(FirstCellY) + CellsY; ++r) {
    const int64_t y0 = CellEdge(OriginY, CellPixelsY, r);
    const int64_t y1 = CellEdge(OriginY, CellPixelsY, r + 1);
    if (y1 <= 0) continue;
    if (y0 >= Image.Height()) break;
    for (int32_t t = 0; t < LineY; ++t) {
      if (Options.UpGrid) BlendRowSpan(Image, y0 + t, left, right, color);
      if (Options.DownGrid) BlendRowSpan(Image, y1 - LineY + t, left, right, color);
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
      ComposeMapStretched(
          Map, band, TRect{0, 0, pw, rows}, TRect{0, r0 * chip, Map.PixelWidth(), r1 * chip},
          L.Cell > chip ? TResamplerKind::Nearest : TResamplerKind::Draft, Options.Compose);
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
