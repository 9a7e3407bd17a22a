#include "editor/canvas_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

TDoorEdge HitDoorEdge(int32_t X, int32_t Y, int32_t ChipSize, int32_t CanvasWidth,
                      int32_t CanvasHeight) {
  const TDoorEdge none;
  const int32_t C = ChipSize;
  if (C <= 0) return none;
  // Border first: near the canvas edge there is no inner edge to toggle, and the
  // remainders below are then taken of non-negative positions only.
  if (X < 4 || Y < 4 || X >= CanvasWidth - 4 || Y >= CanvasHeight - 4) return none;
  int32_t dx = X % C;
  int32_t dy = Y % C;
  // The distance to the next line is folded at 10 pixels whatever the chip size.
  if (dx > 10) dx = C - dx;
  if (dy > 10) dy = C - dy;
  if (dx >= 4 && dy >= 4) return none;
  if (dx == dy) return none;
  TDoorEdge edge;
  if (dx < dy) {
    edge.X = X / C + ((X % C >= C / 2) ? 1 : 0);
    edge.Y = Y / C;
    edge.Horizontal = false;
  } else {
    edge.X = X / C;
    edge.Y = Y / C + ((Y % C >= C / 2) ? 1 : 0);
    edge.Horizontal = true;
  }
  return edge;
}

std::vector<int32_t> GridLinePositions(int32_t Extent, int32_t ChipSize) {
  std::vector<int32_t> lines;
  if (ChipSize <= 0 || Extent <= 0) return lines;
  const int32_t count = Extent / ChipSize;
  for (int32_t a = 1; a <= count - 1; ++a) lines.push_back(a * ChipSize - 1);
  return lines;
}

TRect BandFrameBox(TPoint Start, TPoint End, bool InCells, int32_t ChipSize) {
  int32_t x1 = std::min(Start.X, End.X), y1 = std::min(Start.Y, End.Y);
  int32_t x2 = std::max(Start.X, End.X) + 1, y2 = std::max(Start.Y, End.Y) + 1;
  if (InCells) {
    x1 *= ChipSize;
    y1 *= ChipSize;
    x2 = x2 * ChipSize - 1;
    y2 = y2 * ChipSize - 1;
  }
  return TRect{x1, y1, x2, y2};
}

void DrawBandFrame(TBitmap32& Target, const TRect& Box, int32_t OffsetX, int32_t OffsetY) {
  const int32_t x1 = Box.Left - OffsetX, y1 = Box.Top - OffsetY;
  const int32_t x2 = Box.Right - OffsetX, y2 = Box.Bottom - OffsetY;
  Target.DrawRaisedFrame(x1, y1, x2, y2, 100);
  Target.DrawRaisedFrame(x1 + 1, y1 + 1, x2 - 1, y2 - 1, 50);
}

namespace {
constexpr std::array<int32_t, 12> kZoomSteps = {5,   10,  25,  33,  50,  67,
                                                100, 150, 200, 300, 400, 800};
}

void TZoom::SetPercent(int32_t Value) { FPercent = std::clamp(Value, MinPercent, MaxPercent); }

int32_t TZoom::NextIn() const {
  for (int32_t s : kZoomSteps)
    if (s > FPercent) return s;
  return MaxPercent;
}

int32_t TZoom::NextOut() const {
  for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
    if (*it < FPercent) return *it;
  return MinPercent;
}

int32_t TZoom::FitPercent(int32_t MapW, int32_t MapH, int32_t ViewW, int32_t ViewH) {
  if (MapW <= 0 || MapH <= 0 || ViewW <= 0 || ViewH <= 0) return 100;
  const int64_t byW = int64_t(ViewW) * 100 / MapW, byH = int64_t(ViewH) * 100 / MapH;
  return int32_t(std::clamp<int64_t>(std::min(byW, byH), MinPercent, 100));
}

int32_t TZoom::ViewToMap(double V) const { return int32_t(std::floor(V * 100.0 / FPercent)); }

int32_t TZoom::MapToView(int32_t Length) const {
  return int32_t(std::ceil(double(Length) * FPercent / 100.0));
}

TRect TZoom::ViewRectToMap(const TRect& View) const {
  TRect r;
  r.Left = int32_t(std::floor(double(View.Left) * 100.0 / FPercent));
  r.Top = int32_t(std::floor(double(View.Top) * 100.0 / FPercent));
  r.Right = int32_t(std::ceil(double(View.Right) * 100.0 / FPercent));
  r.Bottom = int32_t(std::ceil(double(View.Bottom) * 100.0 / FPercent));
  return r;
}
