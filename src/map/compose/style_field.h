#pragma once
// What the map styles know of a map around the area they draw: which pixels are
// wall, floor or outside the map, and how far pixels are from the other kind.
// Built from the map's grids over the drawn area widened by a margin on every
// side (outside the map too), so the styles come out the same whether a picture
// is drawn whole or in parts, and a pass may look up to the margin away without
// checking bounds.
//
// Two kinds of distance, both chamfer lengths (2 per straight step, 3 per
// diagonal one, in pixels):
// - exact ones to the floor, computed only in the blocks of 16 x 16 pixels near
//   a wall/floor boundary (the outline needs them to the pixel);
// - rough ones on cells of 4 x 4 pixels (a cell counts as floor when it holds a
//   floor pixel, as wall when it holds a wall pixel), for the hatching's reach
//   and for finding the pixels a shadow may fall on. Each is made only when a
//   pass asks for it, and exact only up to the length it asks for (larger
//   beyond, which is all a pass needs to know of farther cells).

#include <cstdint>
#include <vector>

#include "map/raster/bitmap32.h"

class TMapEditLayerList;

// The drawn area of one composition: map pixels Src land at (DX, DY) of Target.
struct TStyleTarget {
  TBitmap32& Target;
  TRect Src;
  int32_t DX = 0, DY = 0;
  // The target pixels of map row MapY, indexed by map x.
  TColor32* Row(int32_t MapY) { return Target.ScanLine(DY + MapY - Src.Top) + DX - Src.Left; }
};

enum TStyleKind : uint8_t { skFloor = 0, skWall = 1, skOutside = 2 };

// A stretch of a row, map pixels Begin .. End - 1.
struct TStyleSpan {
  int32_t Begin, End;
};

// What the field is built with.
struct TStyleNeeds {
  int32_t Margin = 2;
  bool ExactToFloor = false;  // pixel distances to the floor near boundaries
  int32_t ExactReach = 0;     // ... needed up to this many pixels (0: up to the margin)
  // The 4 x 4 cells' distances to the floor and to the wall, needed exact up to
  // this many pixel chamfer units (0: not made).
  int32_t RoughToFloor = 0;
  int32_t RoughToWall = 0;
};

class TStyleField {
 public:
  static constexpr uint8_t kFar = 255;
  static constexpr int32_t kBlock = 16;
  static constexpr int32_t kCell = 4;

  TStyleField(const TMapEditLayerList& Map, const TRect& Src, const TStyleNeeds& Needs);

  const TRect& Region() const { return FRegion; }
  int32_t Stride() const { return FStride; }
  // Rows of map row Y (within the region), indexed by map x.
  const uint8_t* Kinds(int32_t Y) const { return Row(FKind, Y); }
  // From a wall pixel to the nearest floor pixel, exact up to twice the margin
  // (twice the exact reach when one is given) inside the active blocks, larger
  // beyond; 0 on floor pixels.
  const uint8_t* ToFloor(int32_t Y) const { return Row(FToFloor, Y); }
  // The stretches of row Y within map columns Left .. Right - 1 that lie in the
  // active blocks: every pixel within the margin of a wall/floor boundary does.
  // Out is filled anew.
  void ActiveSpans(int32_t Y, int32_t Left, int32_t Right, std::vector<TStyleSpan>& Out) const;

  // The rough cells of map row Y, indexed by CellIndex(x) for map pixel x:
  // which kinds a cell holds (bit 0 floor, bit 1 wall) and its distances in cell
  // chamfer units (RoughPixels turns them into pixel units), 0 in a cell that
  // holds that kind.
  int32_t CellIndex(int32_t X) const { return (X - FRegion.Left) / kCell; }
  int32_t CellX(int32_t Index) const { return FRegion.Left + Index * kCell; }
  int32_t CellsX() const { return FCellsX; }
  const uint8_t* CellKinds(int32_t Y) const { return CellRow(FCellKind, Y); }
  const uint8_t* RoughToFloorRow(int32_t Y) const { return CellRow(FCellToFloor, Y); }
  const uint8_t* RoughToWallRow(int32_t Y) const { return CellRow(FCellToWall, Y); }

 private:
  const uint8_t* Row(const std::vector<uint8_t>& V, int32_t Y) const {
    return V.data() + ptrdiff_t(Y - FRegion.Top) * FStride - FRegion.Left;
  }
  const uint8_t* CellRow(const std::vector<uint8_t>& V, int32_t Y) const {
    return V.data() + ptrdiff_t((Y - FRegion.Top) / kCell) * FCellsX;
  }
  void FillKinds(const TMapEditLayerList& Map);
  void FindActiveBlocks(int32_t Margin);

  TRect FRegion;
  int32_t FStride = 0, FHeight = 0;
  int32_t FCellsX = 0, FCellsY = 0;
  std::vector<uint8_t> FKind, FToFloor;
  std::vector<uint8_t> FCellKind, FCellToFloor, FCellToWall;  // per rough cell
  // Per block row, the runs of active blocks as pixel columns of the field.
  std::vector<std::vector<TStyleSpan>> FRuns;
};

// A rough distance (cell chamfer units) in pixel chamfer units.
inline int32_t RoughPixels(uint8_t CellDistance) {
  return int32_t(CellDistance) * TStyleField::kCell;
}
