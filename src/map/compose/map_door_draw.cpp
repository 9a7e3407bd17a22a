// Drawing of the doors into the door bitmap. The bitmap's alpha byte is a code the
// composition reads: 0 empty, 1 a colour pixel trimmed near a wall, 2 a colour
// pixel, 255 a black or dark line.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr TColor32 kTrimmedColour = 0x01000000;

}  // namespace

uint8_t TCustomMapEditDoorList::DoorPixelCode(int32_t X, int32_t Y) const {
  if (!FBitmap) return 0;
  return uint8_t(FBitmap->PixelS(X, Y) >> 24);
}

void DoorPixelCombine(TColor32 F, TColor32& B, TColor32 /*M*/) {
  if (F == 0 || F == kTrimmedColour) return;
  B = F | 0xFF000000u;
}

void TCustomMapEditDoorList::RebuildDoorBitmap() {
  TMapEditCustomDoorList& doors = FreeDoor();
  for (int32_t i = 0; i < doors.Count(); ++i) {
    const TMapEditCustomDoor* d = doors.Items(i);
    DrawDoor(d->X, d->Y, d->X2, d->Y2, d->Color);
  }
}

void TMapEditDoorList::RebuildDoorBitmap() {
  TBitmap32& bmp = DrawingBitmap();
  const int32_t cs = FOwner ? FOwner->ChipSize() : 0;
  const int32_t pw = FOwner ? FOwner->PixelWidth() : 0, ph = FOwner ? FOwner->PixelHeight() : 0;
  const bool resized = bmp.Width() != pw || bmp.Height() != ph;
  bmp.SetSize(pw, ph);
  // A new size gives empty pixels whose memory is not touched until a door is
  // drawn there; at the same size only what the doors drew needs clearing, which
  // the coverage records. Of a map-sized bitmap that is a small part, so most of
  // its pages stay untouched.
  if (bmp.OuterColor != 0) {
    bmp.Clear(bmp.OuterColor);
  } else if (!resized) {
    const int32_t w = FOwner ? FOwner->Width() : 0, h = FOwner ? FOwner->Height() : 0;
    if (!FCoverage.Valid() || !FCoverage.Row(0, w, h, cs)) {
      bmp.Clear(0);
    } else {
      for (int32_t y = 0; y < ph; ++y) {
        const TCellCoverage::TRow row = FCoverage.Row(y, w, h, cs);
        TColor32* line = bmp.ScanLine(y);
        for (int32_t cx = 0; cx < w; ++cx) {
          const TCellCoverage::TSpan span = row[cx];
          if (span.Begin < span.End)
            std::fill(line + cx * cs + span.Begin, line + cx * cs + span.End, TColor32(0));
        }
      }
    }
  }
  // Empty now; every door drawn below marks the cells it may touch.
  if (FOwner)
    FCoverage.Reset(FOwner->Width(), FOwner->Height(), FOwner->ChipSize(), false);
  else
    FCoverage.Invalidate();
  // Cell doors are converted to pixels in 64 bits: a damaged file may hold cell
  // numbers whose pixel position does not fit, and those doors lie outside anyway.
  auto fits = [](int64_t V) { return V >= INT32_MIN && V <= INT32_MAX; };
  TMapEditHorzDoorList& horz = HorzDoor();
  for (int32_t i = 0; i < horz.Count(); ++i) {
    const TMapEditHorzDoor* d = horz.Items(i);
    const int64_t x1 = int64_t(d->X) * cs, y = int64_t(d->Y) * cs;
    const int64_t x2 = (int64_t(d->X) + d->Width) * cs;
    if (fits(x1) && fits(x2) && fits(y))
      DrawDoor(int32_t(x1), int32_t(y), int32_t(x2), int32_t(y), d->Color);
  }
  TMapEditVertDoorList& vert = VertDoor();
  for (int32_t i = 0; i < vert.Count(); ++i) {
    const TMapEditVertDoor* d = vert.Items(i);
    const int64_t x = int64_t(d->X) * cs, y1 = int64_t(d->Y) * cs;
    const int64_t y2 = (int64_t(d->Y) + d->Height) * cs;
    if (fits(x) && fits(y1) && fits(y2))
      DrawDoor(int32_t(x), int32_t(y1), int32_t(x), int32_t(y2), d->Color);
  }
  TCustomMapEditDoorList::RebuildDoorBitmap();
}

void TCustomMapEditDoorList::TrimDoorPixel(int32_t X, int32_t Y, TColor32 C) {
  TBitmap32& bmp = DrawingBitmap();
  if (X < 0 || Y < 0 || X >= bmp.Width() || Y >= bmp.Height()) return;
  // "Near a wall" is read from the pixel-layer grid, not from the wall layer's
  // alpha: that alpha is also opaque over the colour rows of doors drawn before
  // and, after loading, everywhere, which would make a door's look depend on when
  // the bitmap was last rebuilt. Pixels outside the map are no wall.
  bool nearWall = false;
  if (FOwner) {
    const TGrid2D<int32_t>& pixels = FOwner->PixelGrid();
    const int32_t pw = pixels.Width(), ph = pixels.Height();
    for (int32_t dy = -3; dy <= 3 && !nearWall; ++dy) {
      const int32_t y = Y + dy;
      if (y < 0 || y >= ph) continue;
      const int32_t* row = pixels.Row(y);
      for (int32_t dx = -3; dx <= 3; ++dx) {
        if ((dx == -3 || dx == 3) && (dy == -3 || dy == 3)) continue;  // corners
        const int32_t x = X + dx;
        if (x < 0 || x >= pw) continue;
        if (row[x] == 0) {
          nearWall = true;
          break;
        }
      }
    }
  }
  if (!nearWall) return;
  TColor32& p = bmp.Pixel(X, Y);
  p = p == C ? kTrimmedColour : bmp.OuterColor;
}

void TCustomMapEditDoorList::DrawDoor(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                      TColor32 Color) {
  TBitmap32& bmp = DrawingBitmap();
  const int32_t W = bmp.Width(), H = bmp.Height();
  if (std::max(X1, X2) >= W || std::max(Y1, Y2) >= H || std::min(X1, X2) < 0 ||
      std::min(Y1, Y2) < 0)
    return;
  // The band lies within 3 pixels of the segment and the trim rectangle within 8.
  constexpr int32_t kReach = 10;
  FCoverage.MarkPixels(std::min(X1, X2) - kReach, std::min(Y1, Y2) - kReach,
                       std::max(X1, X2) + kReach, std::max(Y1, Y2) + kReach);

  const TColor32 K = 0xFF000000u;
  const TColor32 D = 0xFF000000u | ((Color >> 1) & 0x007F7F7Fu);
  const TColor32 C = (Color & 0x00FFFFFFu) | 0x02000000u;
  const bool filled = Color != 0;

  // Band lines may reach past the bitmap's edges; DrawLine writes only pixels inside.
  auto line = [&](int32_t ox, int32_t oy, TColor32 c) {
    bmp.DrawLine(X1 + ox, Y1 + oy, X2 + ox, Y2 + oy, c, false);
  };

  if (filled) line(0, 0, C);
  TrimDoorPixel(X1, Y1, C);
  TrimDoorPixel(X2, Y2, C);

  const int32_t dx = std::abs(X2 - X1), dy = std::abs(Y2 - Y1);
  // Band offsets across the door, from the black line on one side to the black
  // line on the other, and the corner offsets of the trim rectangle.
  struct TBand {
    int32_t kx, ky, dxo, dyo, cx, cy, d2x, d2y, k2x, k2y;
    int32_t tx, ty;
  };
  TBand band;
  if (dy < dx) {
    band = {0, -3, 0, -2, 0, -1, 0, 1, 0, 2, 0, -3};
  } else if (dy > dx) {
    band = {-3, 0, -2, 0, -1, 0, 1, 0, 2, 0, -3, 0};
  } else if (Y2 - Y1 == X2 - X1) {
    // Running down-right (or up-left): the band lies across it, towards the upper
    // right and the lower left.
    band = {3, -3, 2, -2, 1, -1, -1, 1, -2, 2, -2, -3};
  } else {
    // Running down-left (or up-right): the band lies towards the upper left and
    // the lower right.
    band = {-3, -3, -2, -2, -1, -1, 1, 1, 2, 2, -3, -3};
  }
  line(band.kx, band.ky, K);
  if (filled) {
    line(band.dxo, band.dyo, D);
    line(band.cx, band.cy, C);
    line(band.d2x, band.d2y, D);
  }
  line(band.k2x, band.k2y, K);

  // Trim rectangle: corners (X1 + tx, Y1 + ty) and (X2 + tx, Y2 + ty), for the
  // horizontal and vertical cases with the far corner pulled back by 5 along the
  // door, then extended by 5 to the right and down.
  int32_t a = X1 + band.tx, b = Y1 + band.ty, c = X2 + band.tx, d = Y2 + band.ty;
  if (dy < dx) c -= 5;
  if (dy > dx) d -= 5;
  const int32_t rx0 = std::max(std::min(a, c), 0), rx1 = std::min(std::max(a, c) + 5, W - 1);
  const int32_t ry0 = std::max(std::min(b, d), 0), ry1 = std::min(std::max(b, d) + 5, H - 1);
  for (int32_t y = ry0; y <= ry1; ++y)
    for (int32_t x = rx0; x <= rx1; ++x)
      if ((bmp.Pixel(x, y) >> 24) != 0) TrimDoorPixel(x, y, C);
}
