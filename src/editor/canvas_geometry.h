#pragma once
// Widget-free arithmetic of the canvas: which door edge a pointer hits, where grid
// lines and band frames go, and the mapping between view pixels and map pixels at
// a zoom factor. (The cells a free-hand stroke touches are the edit session's.)

#include <cstdint>
#include <vector>

#include "map/document/map_edit_session.h"
#include "map/raster/bitmap32.h"
#include "record/record_list.h"

// A cell edge under the pointer. X = Y = -1 means none. A horizontal edge (X, Y)
// is the top border of cell (X, Y); a vertical one its left border.
struct TDoorEdge {
  int32_t X = -1;
  int32_t Y = -1;
  bool Horizontal = false;
  bool Valid() const { return X >= 0; }
};

// The edge the door tool toggles for a click at pixel (X, Y): within 4 pixels of a
// grid line, away from the canvas border and not on a corner diagonal.
TDoorEdge HitDoorEdge(int32_t X, int32_t Y, int32_t ChipSize, int32_t CanvasWidth,
                      int32_t CanvasHeight);

// The pixel columns (or rows) of the inner grid lines of a canvas Extent pixels
// wide (or high): a*C - 1 for a = 1 .. Extent div C - 1. The outer border gets none.
std::vector<int32_t> GridLinePositions(int32_t Extent, int32_t ChipSize);

// The outer box (X1, Y1) - (X2, Y2), X2 and Y2 exclusive, of the double raised
// frame drawn for a band from Start to End. In cell units (InCells) the box is
// turned into pixels with its right and bottom edges inside the grid lines.
TRect BandFrameBox(TPoint Start, TPoint End, bool InCells, int32_t ChipSize);

// Draws the double raised frame (contrast 100 outside, 50 one pixel inside) over
// Box, shifted by (-OffsetX, -OffsetY), clipped to Target.
void DrawBandFrame(TBitmap32& Target, const TRect& Box, int32_t OffsetX = 0, int32_t OffsetY = 0);

// Zoom in percent, with the mapping of view pixels to map pixels. At 100 % both
// mappings are the identity.
class TZoom {
 public:
  static constexpr int32_t MinPercent = 5;
  static constexpr int32_t MaxPercent = 800;

  int32_t Percent() const { return FPercent; }
  // Clamps to MinPercent .. MaxPercent.
  void SetPercent(int32_t Value);
  // The next larger (smaller) step of the zoom ladder.
  int32_t NextIn() const;
  int32_t NextOut() const;
  // The largest zoom at which a map of MapW x MapH pixels fits a view of
  // ViewW x ViewH pixels (at most 100 %, at least MinPercent).
  static int32_t FitPercent(int32_t MapW, int32_t MapH, int32_t ViewW, int32_t ViewH);

  // The map pixel under view coordinate V (rounded down, so negative view
  // positions stay outside the map).
  int32_t ViewToMap(double V) const;
  // The view extent of Length map pixels.
  int32_t MapToView(int32_t Length) const;
  // The map pixels a view rectangle shows, widened to whole pixels.
  TRect ViewRectToMap(const TRect& View) const;

 private:
  int32_t FPercent = 100;
};
