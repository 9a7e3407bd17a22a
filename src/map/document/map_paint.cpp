// Painting and door operations of the map document. Each operation writes the
// pixel-to-layer grid and the chip flags, gives the touched pixels a hard-edged
// picture at once, and then recomposes the cells whose look may have changed.
// Positions outside the map are clipped, never written.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "map/document/map_edit_layer_list.h"
#include "record/errors.h"

namespace {

// Integer division rounding toward minus infinity.
int64_t FloorDiv(int64_t A, int64_t B) { return A >= 0 ? A / B : -((-A + B - 1) / B); }

int32_t ToInt32(int64_t V, const char* What) {
  if (V < std::numeric_limits<int32_t>::min() || V > std::numeric_limits<int32_t>::max())
    throw EConvertError(std::string(What) + " lies outside the coordinate range");
  return int32_t(V);
}

// Sets the alpha of pixels XA..XB-1 of row Y of a layer image, keeping the colour
// channels. Images that do not reach that far are left alone.
void SetLayerAlpha(TLayerImage& Image, int32_t XA, int32_t XB, int32_t Y, uint8_t Alpha) {
  if (Y < 0 || Y >= Image.Height()) return;
  XA = std::max(XA, 0);
  XB = std::min(XB, Image.Width());
  if (XA < XB) Image.FillAlpha(XA, Y, XB - XA, Alpha);
}

bool CellInside(const TMapEditLayerList& M, int32_t CX, int32_t CY) {
  return CX >= 0 && CY >= 0 && CX < M.Width() && CY < M.Height();
}

bool PixelInside(const TMapEditLayerList& M, int32_t X, int32_t Y) {
  return X >= 0 && Y >= 0 && X < M.PixelWidth() && Y < M.PixelHeight();
}

// A partly painted cell keeps its chip flag only when it already was a chip cell of
// Layer (its top-left pixel tells).
void DropForeignChipFlag(TMapEditLayerList& M, int32_t CX, int32_t CY, int32_t Layer) {
  if (!CellInside(M, CX, CY)) return;
  if (M.Cells(CX, CY) == 1 && M.PixelLayers(CX * M.ChipSize(), CY * M.ChipSize()) != Layer)
    M.SetCell(CX, CY, 0);
}

bool IsChipOfLayer(const TMapEditLayerList& M, int32_t CX, int32_t CY, int32_t Layer) {
  return M.Cells(CX, CY) == 1 && M.PixelLayers(CX * M.ChipSize(), CY * M.ChipSize()) == Layer;
}

// Paints pixels XA..XB-1 of row Y (already clipped to the map): the layer index and
// the hard-edged visibility of every layer.
void PaintRun(TMapEditLayerList& M, int32_t XA, int32_t XB, int32_t Y, int32_t Layer) {
  if (XA >= XB) return;
  std::fill(M.PixelGrid().Row(Y) + XA, M.PixelGrid().Row(Y) + XB, Layer);
  for (int32_t p = 0; p < M.Count(); ++p) {
    TMapEditLayer& layer = *M.Layers(p);
    SetLayerAlpha(layer.ImageKeepingCoverage(), XA, XB, Y, p == Layer ? 255 : 0);
    // The painted layer now shows on the run, and the others are transparent
    // there: no layer is known to be opaque over the run's cell rows any more.
    layer.Coverage().MarkPixels(XA, Y, XB - 1, Y);
  }
}

// Squared distance from (PX, PY) to the segment (AX, AY)-(BX, BY).
double SegmentDistance(double PX, double PY, double AX, double AY, double BX, double BY) {
  const double dx = BX - AX, dy = BY - AY;
  const double len2 = dx * dx + dy * dy;
  if (len2 == 0) return std::hypot(PX - AX, PY - AY);
  const double t = (PX - AX) * dx + (PY - AY) * dy;
  if (t > len2) return std::hypot(PX - BX, PY - BY);
  if (t < 0) return std::hypot(PX - AX, PY - AY);
  return std::fabs((PX - AX) * dy - (PY - AY) * dx) / std::sqrt(len2);
}

}  // namespace

void TMapEditLayerList::PaintPixel(int32_t X, int32_t Y, int32_t Layer) {
  if (Layer < 0 || !PixelInside(*this, X, Y)) return;
  PaintRun(*this, X, X + 1, Y, Layer);
}

void TMapEditLayerList::PaintChip(int32_t CX, int32_t CY, int32_t Layer) {
  if (Layer < 0 || !CellInside(*this, CX, CY)) return;
  const int32_t cs = ChipSize();
  if (Cells(CX, CY) == 1 && PixelLayers(CX * cs + 1, CY * cs + 1) == Layer) return;
  SetCell(CX, CY, 1);
  for (int32_t y = CY * cs; y < CY * cs + cs; ++y)
    std::fill(FPixels.Row(y) + CX * cs, FPixels.Row(y) + CX * cs + cs, Layer);
  RedrawAround(CX, CY);
}

void TMapEditLayerList::PaintCircle(int32_t X, int32_t Y, int32_t Radius, int32_t Layer) {
  if (Layer < 0 || ChipSize() <= 0) return;
  const int32_t cs = ChipSize();
  const int64_t r = std::max(Radius, 0);

  // Cells the stamp may make mixed lose their chip flag.
  const int64_t c1 = std::max<int64_t>(0, (int64_t(X) - r) / cs);
  const int64_t c2 = std::min<int64_t>(Width() - 1, (int64_t(X) + r) / cs);
  const int64_t r1 = std::max<int64_t>(0, (int64_t(Y) - r) / cs);
  const int64_t r2 = std::min<int64_t>(Height() - 1, (int64_t(Y) + r) / cs);
  for (int64_t cx = c1; cx <= c2; ++cx)
    for (int64_t cy = r1; cy <= r2; ++cy)
      if (!IsChipOfLayer(*this, int32_t(cx), int32_t(cy), Layer))
        SetCell(int32_t(cx), int32_t(cy), 0);

  PaintPixel(X, Y, Layer);

  // Every pixel within chamfer distance 2r (orthogonal step 2, diagonal step 3)
  // that does not carry the layer yet, clipped to the map.
  const int64_t budget = 2 * r;
  const int64_t ya = std::max<int64_t>(int64_t(Y) - r, 0);
  const int64_t yb = std::min<int64_t>(int64_t(Y) + r, int64_t(PixelHeight()) - 1);
  for (int64_t py = ya; py <= yb; ++py) {
    const int64_t ady = std::abs(py - Y);
    const int64_t xa = std::max<int64_t>(int64_t(X) - r, 0);
    const int64_t xb = std::min<int64_t>(int64_t(X) + r, int64_t(PixelWidth()) - 1);
    for (int64_t px = xa; px <= xb; ++px) {
      const int64_t adx = std::abs(px - X);
      const int64_t lo = std::min(adx, ady), hi = std::max(adx, ady);
      if (3 * lo + 2 * (hi - lo) > budget || (adx == 0 && ady == 0)) continue;
      if (FPixels.At(int32_t(px), int32_t(py)) == Layer) continue;
      PaintRun(*this, int32_t(px), int32_t(px) + 1, int32_t(py), Layer);
    }
  }

  if (!DrawShadeOnlyCell) RedrawAround(X / cs, Y / cs);
}

void TMapEditLayerList::FillRectChips(int32_t CX1, int32_t CY1, int32_t CX2, int32_t CY2,
                                      int32_t Layer) {
  const int64_t cs = ChipSize();
  // Clip in cells first so that far-away corners cannot overflow the pixel range.
  const int64_t x1 = std::clamp<int64_t>(CX1, -1, int64_t(Width()) + 1) * cs;
  const int64_t y1 = std::clamp<int64_t>(CY1, -1, int64_t(Height()) + 1) * cs;
  const int64_t x2 = (std::clamp<int64_t>(CX2, -2, Width()) + 1) * cs;
  const int64_t y2 = (std::clamp<int64_t>(CY2, -2, Height()) + 1) * cs;
  FillRectPixels(int32_t(x1), int32_t(y1), int32_t(x2), int32_t(y2), Layer);
}

void TMapEditLayerList::FillRectPixels(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                       int32_t Layer) {
  const int32_t cs = ChipSize();
  if (Layer < 0 || cs <= 0) return;
  X1 = std::max(X1, 0);
  Y1 = std::max(Y1, 0);
  X2 = std::min(X2, PixelWidth());
  Y2 = std::min(Y2, PixelHeight());
  if (X1 >= X2 || Y1 >= Y2) return;

  // Chip flags: partly covered cells first, in a fixed order so that each is
  // visited once, then the fully covered ones.
  int32_t c1 = X1 / cs, r1 = Y1 / cs, c2 = (X2 - 1) / cs, r2 = (Y2 - 1) / cs;
  if (X1 % cs > 0) {
    for (int32_t cy = r1; cy <= std::min(r2, Height() - 1); ++cy)
      DropForeignChipFlag(*this, c1, cy, Layer);
    ++c1;
  }
  if (Y1 % cs > 0) {
    for (int32_t cx = c1; cx <= std::min(c2, Width() - 1); ++cx)
      DropForeignChipFlag(*this, cx, r1, Layer);
    ++r1;
  }
  if (X2 % cs > 0) {
    for (int32_t cy = r1; cy <= std::min(r2, Height() - 1); ++cy)
      DropForeignChipFlag(*this, c2, cy, Layer);
    --c2;
  }
  if (Y2 % cs > 0) {
    for (int32_t cx = c1; cx <= std::min(c2, Width() - 1); ++cx)
      DropForeignChipFlag(*this, cx, r2, Layer);
    --r2;
  }
  for (int32_t cx = c1; cx <= c2; ++cx)
    for (int32_t cy = r1; cy <= r2; ++cy) SetCell(cx, cy, 1);

  // Row by row for memory order; the result does not depend on the order.
  for (int32_t y = Y1; y < Y2; ++y) PaintRun(*this, X1, X2, y, Layer);

  // Inner cells hold only the painted layer: clear their shade without
  // recomposing them; recompose the ring along the border. An inner cell's
  // composition window reaches half a cell beyond it, so next to a border cell
  // that is painted over less than half its width the window sees unpainted
  // pixels (walls casting shade, floors fading in): such inner cells are
  // recomposed after the ring instead of being cleared.
  const int32_t C1 = X1 / cs, R1 = Y1 / cs, C2 = (X2 - 1) / cs, R2 = (Y2 - 1) / cs;
  const int32_t u = cs / 2;
  const int32_t lx = X1 % cs, ly = Y1 % cs, rx = X2 % cs, ry = Y2 % cs;
  auto seesUnpainted = [&](int32_t CX, int32_t CY) {
    return (CX == C1 + 1 && lx > cs - u) || (CX == C2 - 1 && rx > 0 && rx < u) ||
           (CY == R1 + 1 && ly > cs - u) || (CY == R2 - 1 && ry > 0 && ry < u);
  };
  TRecordList recompose;
  for (int32_t cx = C1 + 1; cx < C2; ++cx)
    for (int32_t cy = R1 + 1; cy < R2; ++cy) {
      if (seesUnpainted(cx, cy))
        recompose.Add({cx, cy});
      else
        ClearCellShade(cx, cy);
    }
  for (int32_t cx = C1 - 1; cx <= C2 + 1; ++cx) {
    RedrawCell(cx, R1);
    RedrawCell(cx, R1 - 1);
    RedrawCell(cx, R2 + 1);
    RedrawCell(cx, R2);
  }
  for (int32_t cy = R1 + 1; cy <= R2 - 1; ++cy) {
    RedrawCell(C1, cy);
    RedrawCell(C1 - 1, cy);
    RedrawCell(C2 + 1, cy);
    RedrawCell(C2, cy);
  }
  for (int32_t i = 0; i < recompose.Count(); ++i) {
    const TPoint p = recompose.Item(i);
    RedrawCell(p.X, p.Y);
  }
}

void TMapEditLayerList::EllipseChips(int32_t CX1, int32_t CY1, int32_t CX2, int32_t CY2,
                                     int32_t Layer) {
  const int64_t cs = ChipSize();
  EllipsePixels(ToInt32(std::min(CX1, CX2) * cs, "The ellipse"),
                ToInt32(std::min(CY1, CY2) * cs, "The ellipse"),
                ToInt32((int64_t(std::max(CX1, CX2)) + 1) * cs, "The ellipse"),
                ToInt32((int64_t(std::max(CY1, CY2)) + 1) * cs, "The ellipse"), Layer);
}

void TMapEditLayerList::EllipsePixels(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                      int32_t Layer) {
  const int32_t cs = ChipSize();
  if (Layer < 0 || cs <= 0 || X2 <= X1 || Y2 <= Y1) return;

  // The mask covers the part of the ellipse's box inside the map; the ellipse is
  // still the one inscribed in the whole box.
  const int32_t ox = std::max(X1, 0), oy = std::max(Y1, 0);
  const int32_t ex = std::min(X2, PixelWidth()), ey = std::min(Y2, PixelHeight());
  if (ox >= ex || oy >= ey) return;
  TBitmap32 mask;
  mask.SetSize(ex - ox, ey - oy);
  mask.Clear(0xFFFFFFFFu);
  mask.FillEllipse(int32_t(int64_t(X1) - ox), int32_t(int64_t(Y1) - oy), int32_t(int64_t(X2) - ox),
                   int32_t(int64_t(Y2) - oy), 0xFF000000u);
  // Mask value at map pixel (X, Y); outside the mask the value is "not inside".
  auto maskAt = [&](int64_t X, int64_t Y) -> TColor32 {
    if (X < ox || Y < oy || X >= ex || Y >= ey) return 0xFFFFFFFFu;
    return mask.Pixel(int32_t(X - ox), int32_t(Y - oy));
  };

  // Whether each cell of the box was a chip cell of the layer before painting:
  // after painting, a corner cell's top-left pixel may carry the layer although
  // the cell is mixed.
  const int32_t cx1 = ox / cs, cx2 = (ex - 1) / cs, cy1 = oy / cs, cy2 = (ey - 1) / cs;
  std::vector<uint8_t> wasChip(size_t(cx2 - cx1 + 1) * size_t(cy2 - cy1 + 1));
  for (int32_t cx = cx1; cx <= cx2; ++cx)
    for (int32_t cy = cy1; cy <= cy2; ++cy)
      wasChip[size_t(cx - cx1) * size_t(cy2 - cy1 + 1) + size_t(cy - cy1)] =
          IsChipOfLayer(*this, cx, cy, Layer);

  for (int32_t y = oy; y < ey; ++y) {
    const TColor32* m = mask.ScanLine(y - oy);
    int32_t x = ox;
    while (x < ex) {
      if (m[x - ox] == 0xFFFFFFFFu) {
        ++x;
        continue;
      }
      int32_t run = x;
      while (run < ex && m[run - ox] != 0xFFFFFFFFu) ++run;
      PaintRun(*this, x, run, y, Layer);
      x = run;
    }
  }

  // Chip flags of the cells of the box, column by column.
  const bool thin = FloorDiv(X1, cs) == FloorDiv(int64_t(X2) - 1, cs) ||
                    FloorDiv(Y1, cs) == FloorDiv(int64_t(Y2) - 1, cs);
  TRecordList cells;
  for (int32_t cx = cx1; cx <= cx2; ++cx) {
    for (int32_t cy = cy1; cy <= cy2; ++cy) {
      uint8_t flag;
      if (wasChip[size_t(cx - cx1) * size_t(cy2 - cy1 + 1) + size_t(cy - cy1)]) {
        flag = 1;
      } else if (thin) {
        flag = 0;
      } else {
        const int64_t x0 = int64_t(cx) * cs, y0 = int64_t(cy) * cs;
        const TColor32 a = maskAt(x0, y0);
        flag = (maskAt(x0 + cs - 1, y0) == a && maskAt(x0, y0 + cs - 1) == a &&
                maskAt(x0 + cs - 1, y0 + cs - 1) == a)
                   ? 1
                   : 0;
      }
      SetCell(cx, cy, flag);
      cells.Add({cx, cy});
    }
  }
  RedrawCells(cells);
}

void TMapEditLayerList::FloodFill(int32_t X, int32_t Y, int32_t Layer) {
  if (Layer < 0 || !PixelInside(*this, X, Y)) return;
  const int32_t old = FPixels.At(X, Y);
  if (old == Layer) return;
  const int32_t cs = ChipSize();
  const int32_t pw = PixelWidth(), ph = PixelHeight();

  // Spans waiting to be filled live on the heap, so a region of any size fills
  // without deep recursion.
  std::vector<TPoint> pending{{X, Y}};
  std::vector<uint8_t> listed(size_t(Width()) * size_t(Height()), 0);
  std::vector<TPoint> touched;  // in the order first touched
  while (!pending.empty()) {
    const TPoint s = pending.back();
    pending.pop_back();
    int32_t* row = FPixels.Row(s.Y);
    if (row[s.X] != old) continue;
    int32_t left = s.X, right = s.X;
    while (left > 0 && row[left - 1] == old) --left;
    while (right < pw - 1 && row[right + 1] == old) ++right;
    std::fill(row + left, row + right + 1, Layer);

    const int32_t cy = s.Y / cs;
    for (int32_t cx = left / cs; cx <= right / cs; ++cx) {
      uint8_t& seen = listed[size_t(cy) * size_t(Width()) + size_t(cx)];
      if (!seen) {
        seen = 1;
        touched.push_back({cx, cy});
      }
    }

    // New spans in the rows above and below: one per run of old pixels, started
    // at the run's first pixel met walking from the right end to the left end.
    for (int32_t ny : {s.Y - 1, s.Y + 1}) {
      if (ny < 0 || ny >= ph) continue;
      const int32_t* nrow = FPixels.Row(ny);
      bool inRun = false;
      for (int32_t x = right; x >= left; --x) {
        if (nrow[x] == old) {
          if (!inRun) pending.push_back({x, ny});
          inRun = true;
        } else {
          inRun = false;
        }
      }
    }
  }

  // Each newly touched cell went to the front of the list.
  TRecordList cells;
  for (auto it = touched.rbegin(); it != touched.rend(); ++it) cells.Add(*it);
  RedrawCells(cells);
}

void TMapEditLayerList::ToggleDoor(int32_t CX, int32_t CY, bool Horizontal, TColor Color) {
  const TColor32 c = Color == clNone ? 0 : ColorFromPlatform(Color);
  int32_t index = 0;
  if (Horizontal) {
    TMapEditHorzDoorList& list = Doors().HorzDoor();
    if (list.Find(CX, CY, index)) {
      list.Delete(index);
    } else {
      TMapEditHorzDoor* d = list.Add();
      d->X = CX;
      d->Y = CY;
      d->Width = 1;
      d->Color = c;
    }
    list.Sort();
  } else {
    TMapEditVertDoorList& list = Doors().VertDoor();
    if (list.Find(CX, CY, index)) {
      list.Delete(index);
    } else {
      TMapEditVertDoor* d = list.Add();
      d->X = CX;
      d->Y = CY;
      d->Height = 1;
      d->Color = c;
    }
    list.Sort();
  }
  Doors().RebuildDoorBitmap();
  RedrawAround(CX, CY);
}

void TMapEditLayerList::AddFreeDoor(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor Color) {
  TMapEditCustomDoor* d = Doors().FreeDoor().Add();
  d->X = X1;
  d->Y = Y1;
  d->X2 = X2;
  d->Y2 = Y2;
  d->Color = ColorFromPlatform(Color);
  if (ChipSize() <= 0) return;

  TPoint p = PixelToCell(X1, Y1), q = PixelToCell(X2, Y2);
  int32_t a = std::min(p.X, q.X), c = std::max(p.X, q.X);
  int32_t b = std::min(p.Y, q.Y), e = std::max(p.Y, q.Y);
  Doors().RebuildDoorBitmap();

  // Ranges are cut to the cells next to the map: calls further out redraw nothing,
  // and far-away ends must not make the loops run for ever.
  const int32_t w = Width(), h = Height();
  auto lo = [](int64_t V, int32_t N) {
    return int32_t(std::clamp<int64_t>(V, -2, int64_t(N) + 1));
  };
  for (int32_t cx = lo(a, w); cx <= lo(c, w); ++cx) {
    RedrawCell(cx, b);
    if (b != e) RedrawAround(cx, e);
  }
  for (int32_t cy = lo(int64_t(b) + 2, h); cy <= lo(int64_t(e) - 2, h); ++cy) {
    RedrawCell(a, cy);
    if (a != c) RedrawAround(c, cy);
  }
  for (int32_t cx = lo(int64_t(a) + 2, w); cx <= lo(int64_t(c) - 2, w); ++cx)
    for (int32_t cy = lo(int64_t(b) + 2, h); cy <= lo(int64_t(e) - 2, h); ++cy)
      RedrawAround(cx, cy);
}

void TMapEditLayerList::DeleteFreeDoorsAt(int32_t X, int32_t Y) {
  TMapEditCustomDoorList& list = Doors().FreeDoor();
  for (int32_t i = list.Count() - 1; i >= 0; --i) {
    const TMapEditCustomDoor* d = list.Items(i);
    if (SegmentDistance(X, Y, d->X, d->Y, d->X2, d->Y2) < 4.0) list.Delete(i);
  }
  Doors().RebuildDoorBitmap();
  Refresh();
}
