#pragma once
// Image output without the window: preparing the document, composing the whole
// map at one image pixel per map pixel, drawing grid lines along the cell edges
// and writing the picture as PNG, JPEG or BMP chosen by the file's extension.

#include <cstdint>
#include <functional>
#include <string>

#include "map/base/color.h"
#include "map/compose/compose_options.h"
#include "map/base/progress.h"
#include "map/codec/image_webp.h"

class TBitmap32;
class TMapEditLayerList;

// The output settings and their initial values (grid off; right and bottom sides
// on; gray; opaque).
struct TOutputOptions {
  bool UseGrid = false;
  bool LeftGrid = false;
  bool RightGrid = true;
  bool UpGrid = false;
  bool DownGrid = true;
  TColor GridColor = 8421504;  // platform colour value, #808080
  bool HalfTone = false;
  // Solid, dashed (four dashes a cell side, the crossings in the middle of a dash)
  // or dotted lines; and their opacity in percent (0 .. 100), on top of half-tone.
  TGridLineStyle GridStyle = TGridLineStyle::Solid;
  int32_t GridOpacity = 100;
  // What the composition draws beyond the plain picture (the map style). Printing
  // and the VTT image take it from their output settings too.
  TComposeOptions Compose;
  // How a ".webp" file is encoded (lossless unless told otherwise).
  TWebpSettings Webp;
};

// How fast drawing is handled when output is produced. The default switches it off
// for the output: the whole map is recomposed cell by cell first.
enum class TOutputFastDraw : uint8_t { KeepAsIs, OffForOutput };

// Reports progress: Done of Total units of the named stage; raising
// EOperationCancelled from it stops the output.
using TOutputProgress = TProgressReport;

// Readies the document for output: shades are computed for every cell (the
// deferred-shade switch is cleared), the door bitmap is rebuilt and, with
// OffForOutput, every cell is recomposed with fast drawing off (the switch is
// restored afterwards).
void PrepareForOutput(TMapEditLayerList& Map,
                      TOutputFastDraw FastDraw = TOutputFastDraw::OffForOutput,
                      const TOutputProgress& Progress = {});

// The grid colour as drawn: opaque, or alpha 128 for half-tone, scaled by the
// opacity.
TColor32 GridColor32(const TOutputOptions& Options);

// Draws the grid of a Width x Height-cell map of ChipSize pixels onto Image: one
// blended line per cell side chosen in Options, spanning the whole image. Nothing
// when UseGrid is off.
void DrawGrid(TBitmap32& Image, int32_t Width, int32_t Height, int32_t ChipSize,
              const TOutputOptions& Options);

// Draws the grid of a region of the map onto Image at any cell size, for bands
// of the output image and for printed sheets. Cell column c has its left edge at
// OriginX + round(c * CellPixels) (rows alike), so OriginX/OriginY place cell
// (0, 0) and may be negative. Lines are drawn for the cells FirstCellX ..
// FirstCellX + CellsX - 1 and FirstCellY .. FirstCellY + CellsY - 1 and span that
// region; everything is clipped to Image. Vertical lines are drawn before
// horizontal ones, so a half-tone crossing is blended twice, as on the full image.
// Nothing when UseGrid is off.
void DrawGridScaled(TBitmap32& Image, int64_t OriginX, int64_t OriginY, double CellPixels,
                    int32_t FirstCellX, int32_t FirstCellY, int32_t CellsX, int32_t CellsY,
                    const TOutputOptions& Options);
// The same with cells of their own width and height, and lines LineX pixels thick
// across vertical lines and LineY across horizontal ones (a printed sheet draws
// each grid line as thick as one map pixel at the device's scale).
void DrawGridScaled(TBitmap32& Image, int64_t OriginX, int64_t OriginY, double CellPixelsX,
                    double CellPixelsY, int32_t FirstCellX, int32_t FirstCellY, int32_t CellsX,
                    int32_t CellsY, const TOutputOptions& Options, int32_t LineX, int32_t LineY);

// Composes the prepared map into Image (sized to the map's pixel size) and draws
// the grid.
void ComposeForOutput(TMapEditLayerList& Map, TBitmap32& Image, const TOutputOptions& Options,
                      const TOutputProgress& Progress = {});

// Writes Image by the extension of Path, case ignored: ".png" as PNG, ".jpg" as
// JPEG at quality 90, ".webp" as WebP with Webp's settings, anything else as a
// 32-bit BMP. The file is written to a
// temporary file beside it and renamed into place, so a failure leaves no partial
// file and keeps an existing one. Raises EFileError or EImageError on failure.
void WriteImageByExtension(const TBitmap32& Image, const std::string& Path,
                           const TWebpSettings& Webp = {});

// Composes the prepared map BandRows rows at a time, draws the grid on each band
// and writes the bands by the extension of Path as WriteImageByExtension does (BMP
// bands from the bottom up), so no full-size image is held; the bytes are the same
// as composing the whole image and writing it (WebP, which encodes the whole
// picture at once, gathers the bands and takes Options.Webp). With Dpi > 0 the resolution is
// stored (PNG pHYs, JPEG JFIF density, BMP pixels per metre). The file is written
// through a temporary file; an exception from Progress (a cancel) leaves no file.
// BandRows <= 0 picks a default.
// PixelsPerCell > 0 scales the image so that every cell is that many pixels wide
// and high (nearest neighbour when enlarging, filtered when reducing); 0 or the
// chip size keeps one image pixel per map pixel. Scaled bands hold whole cells.
void WriteMapImageInBands(TMapEditLayerList& Map, const TOutputOptions& Options,
                          const std::string& Path, int32_t BandRows = 0,
                          const TOutputProgress& Progress = {}, int32_t Dpi = 0,
                          int32_t PixelsPerCell = 0);

// The largest cell size accepted for scaled output, and the largest side of an
// output image in pixels.
constexpr int32_t kMaxOutputPixelsPerCell = 1000;
constexpr int64_t kMaxOutputSide = 1 << 20;

// The whole Output command: prepare, then compose with the grid and write in
// bands. Dpi > 0 stores the print resolution in the file; PixelsPerCell as for
// WriteMapImageInBands.
void RenderMapImage(TMapEditLayerList& Map, const TOutputOptions& Options, const std::string& Path,
                    TOutputFastDraw FastDraw = TOutputFastDraw::OffForOutput,
                    const TOutputProgress& Progress = {}, int32_t Dpi = 0,
                    int32_t PixelsPerCell = 0);
