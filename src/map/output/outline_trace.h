#pragma once
// Outlines of pixel regions: the boundary between the pixels of a region and the
// pixels around it, traced along pixel edges into polylines whose vertices are
// pixel corners, and simplified within a tolerance.

#include <cstdint>
#include <vector>

#include "map/base/grid2d.h"

// How a pixel takes part in tracing.
enum class TOutlineClass : uint8_t {
  Outside = 0,  // not in the region; an edge between it and the region is traced
  Inside = 1,   // in the region
  Hidden = 2,   // not in the region, but an edge between it and the region is not traced
};

struct TCornerPoint {
  int32_t X = 0, Y = 0;
  friend bool operator==(const TCornerPoint&, const TCornerPoint&) = default;
};

// One traced boundary. Points are pixel corners (0..W, 0..H); consecutive points
// differ along one axis only, and no three consecutive points are collinear. A
// closed outline does not repeat its first point at the end.
struct TPixelOutline {
  std::vector<TCornerPoint> Points;
  bool Closed = false;
};

// Traces every boundary between Inside pixels and Outside pixels of Classes.
// Pixels beyond the grid count as Outside, so a region touching the border is
// closed along it. The region lies on the right-hand side of the direction of
// travel (y pointing down): outer boundaries run clockwise on screen, holes
// counter-clockwise. Regions touching only at a corner are joined there into one
// outline. Edges next to Hidden pixels are left out, which breaks a closed
// boundary into open pieces. Outlines come in the order of their first pixel
// corner, row by row.
std::vector<TPixelOutline> TraceOutlines(const TGrid2D<TOutlineClass>& Classes);

struct TOutlinePoint {
  double X = 0, Y = 0;
  friend bool operator==(const TOutlinePoint&, const TOutlinePoint&) = default;
};

// A simplified outline; a closed one does not repeat its first point.
struct TSimpleOutline {
  std::vector<TOutlinePoint> Points;
  bool Closed = false;
};

// Simplifies a traced outline. Pixel stairs (corners where the boundary turns
// alternately left and right with a step of at most two pixels, as along a
// slanted brush stroke) stand for the slanted line through the middles of their
// steps; every other corner is a true corner of the shape and is kept as it is, so
// walls along cell edges keep their exact corners. Points are then removed while
// every kept corner and step middle stays within Tolerance pixels of the result.
// The ends of an open outline and the first point of a closed one are kept.
TSimpleOutline SimplifyOutline(const TPixelOutline& Outline, double Tolerance);
