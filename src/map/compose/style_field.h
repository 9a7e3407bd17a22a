#pragma once
// What the map styles know of a map around the area they draw: which pixels are
// wall, floor or outside the map, and how far each pixel is from the other kind.
// Built from the map's pixel grid over the drawn area widened by a margin on
// every side (outside the map too), so the styles come out the same whether a
// picture is drawn whole or in parts, and a pass may look up to the margin away
// without checking bounds.

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

class TStyleField {
 public:
  // Distances are chamfer lengths: 2 per straight step, 3 per diagonal step,
  // capped at kFar. Exact up to twice the margin the field was built with.
  static constexpr uint8_t kFar = 255;

  // The field over Src widened by Margin pixels. ToFloor and ToWall say which
  // distances to compute.
  TStyleField(const TMapEditLayerList& Map, const TRect& Src, int32_t Margin, bool ToFloor,
              bool ToWall);

  const TRect& Region() const { return FRegion; }
  int32_t Stride() const { return FStride; }
  // Rows of map row Y (within the region), indexed by map x.
  const uint8_t* Kinds(int32_t Y) const { return Row(FKind, Y); }
  // From a wall pixel to the nearest floor pixel; 0 on floor pixels.
  const uint8_t* ToFloor(int32_t Y) const { return Row(FToFloor, Y); }
  // From a floor pixel to the nearest wall pixel; 0 on wall pixels.
  const uint8_t* ToWall(int32_t Y) const { return Row(FToWall, Y); }

 private:
  const uint8_t* Row(const std::vector<uint8_t>& V, int32_t Y) const {
    return V.data() + ptrdiff_t(Y - FRegion.Top) * FStride - FRegion.Left;
  }
  TRect FRegion;
  int32_t FStride = 0;
  std::vector<uint8_t> FKind, FToFloor, FToWall;
};
