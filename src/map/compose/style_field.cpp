#include "map/compose/style_field.h"

#include <algorithm>

#include "map/document/map_edit_layer_list.h"

namespace {

inline uint8_t Sat(uint8_t A, uint8_t B) {
  const unsigned s = unsigned(A) + B;
  return uint8_t(s > 255 ? 255 : s);
}

// Relaxes Row from its neighbour row N (the row above or below): the straight
// step and the two diagonal ones. Written as plain loops over bytes so that the
// compiler turns them into vector code.
void RelaxFromRow(uint8_t* __restrict__ Row, const uint8_t* __restrict__ N, int32_t W) {
  if (W <= 0) return;
  Row[0] = std::min(Row[0], Sat(N[0], 2));
  if (W > 1) Row[0] = std::min(Row[0], Sat(N[1], 3));
  for (int32_t x = 1; x + 1 < W; ++x) {
    uint8_t v = std::min(Row[x], Sat(N[x], 2));
    v = std::min(v, Sat(N[x - 1], 3));
    Row[x] = std::min(v, Sat(N[x + 1], 3));
  }
  if (W > 1) Row[W - 1] = std::min({Row[W - 1], Sat(N[W - 1], 2), Sat(N[W - 2], 3)});
}

// Two-pass chamfer distance (2 straight, 3 diagonal) from the pixels where D is
// 0. Each pass takes the finished row before it, then runs along its own row;
// that is the same as the usual pixel-by-pixel scan, whose left (right) and
// upper (lower) neighbours are final when a pixel is reached.
void Chamfer(std::vector<uint8_t>& D, int32_t W, int32_t H) {
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* row = D.data() + size_t(y) * size_t(W);
    if (y > 0) RelaxFromRow(row, row - W, W);
    for (int32_t x = 1; x < W; ++x) row[x] = std::min(row[x], Sat(row[x - 1], 2));
  }
  for (int32_t y = H - 1; y >= 0; --y) {
    uint8_t* row = D.data() + size_t(y) * size_t(W);
    if (y + 1 < H) RelaxFromRow(row, row + W, W);
    for (int32_t x = W - 2; x >= 0; --x) row[x] = std::min(row[x], Sat(row[x + 1], 2));
  }
}

}  // namespace

TStyleField::TStyleField(const TMapEditLayerList& Map, const TRect& Src, int32_t Margin,
                         bool ToFloor, bool ToWall) {
  FRegion = TRect{Src.Left - Margin, Src.Top - Margin, Src.Right + Margin, Src.Bottom + Margin};
  FStride = std::max(FRegion.Width(), 0);
  const int32_t h = std::max(FRegion.Height(), 0);
  const size_t n = size_t(FStride) * size_t(h);
  FKind.assign(n, skOutside);
  // The part inside the map (and its pixel grid).
  const TGrid2D<int32_t>& pixels = Map.PixelGrid();
  const TRect inside =
      IntersectRect(FRegion, TRect{0, 0, std::min(Map.PixelWidth(), pixels.Width()),
                                   std::min(Map.PixelHeight(), pixels.Height())});
  for (int32_t y = inside.Top; y < inside.Bottom; ++y) {
    const int32_t* src = pixels.Row(y);
    uint8_t* dst = FKind.data() + size_t(y - FRegion.Top) * size_t(FStride) - FRegion.Left;
    for (int32_t x = inside.Left; x < inside.Right; ++x) dst[x] = src[x] == 0 ? skWall : skFloor;
  }
  if (ToFloor) {
    FToFloor.resize(n);
    for (size_t i = 0; i < n; ++i) FToFloor[i] = FKind[i] == skFloor ? 0 : kFar;
    Chamfer(FToFloor, FStride, h);
  }
  if (ToWall) {
    FToWall.resize(n);
    for (size_t i = 0; i < n; ++i) FToWall[i] = FKind[i] == skWall ? 0 : kFar;
    Chamfer(FToWall, FStride, h);
  }
}
