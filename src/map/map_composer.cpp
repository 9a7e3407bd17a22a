#include "map/map_composer.h"

#include <algorithm>
#include <vector>

#include "map/map_edit_door_list.h"
#include "map/map_edit_layer_list.h"

namespace {

// One source image of the stack with the rule it is drawn by.
struct TSource {
  const TBitmap32* Bitmap;
  bool Door;  // the door combine rule instead of blending
};

// Display order, bottom first: layers Count-1 .. 1, the door bitmap when there are
// doors, layer 0, the shades.
std::vector<TSource> StackOf(TMapEditLayerList& Map) {
  std::vector<TSource> stack;
  for (int32_t j = Map.Count() - 1; j >= 1; --j) stack.push_back({&Map.Layers(j)->BMP(), false});
  if (const TMapEditDoorList* doors = Map.DoorsIfCreated(); doors && doors->HasDoors())
    if (const TBitmap32* bits = doors->BitmapIfCreated()) stack.push_back({bits, true});
  if (Map.Count() > 0) stack.push_back({&Map.Layers(0)->BMP(), false});
  if (const TBitmap32* shades = Map.ShadesIfCreated()) stack.push_back({shades, false});
  return stack;
}

inline void Apply(const TSource& S, TColor32 F, TColor32& B) {
  if (S.Door)
    DoorPixelCombine(F, B, 255);
  else
    B = BlendPixel(F, B);
}

// General path: every source drawn row by row over the part it covers.
void ComposeRowsGeneral(const std::vector<TSource>& Stack, TBitmap32& Target, const TRect& Src,
                        int32_t DX, int32_t DY) {
  for (int32_t y = Src.Top; y < Src.Bottom; ++y) {
    TColor32* dst = Target.ScanLine(DY + (y - Src.Top)) + DX - Src.Left;
    for (const TSource& s : Stack) {
      if (y >= s.Bitmap->Height()) continue;
      const TColor32* row = s.Bitmap->ScanLine(y);
      const int32_t end = std::min(Src.Right, s.Bitmap->Width());
      for (int32_t x = Src.Left; x < end; ++x) Apply(s, row[x], dst[x]);
    }
  }
}

// The blend rule written as a * f + (256 - a) * b + 128 per channel (the same sum,
// all terms non-negative), two channels at a time in 16-bit lanes.
inline TColor32 Blend(TColor32 F, TColor32 B) {
  const uint32_t a = F >> 24;
  if (a == 0) return B;
  if (a == 255) return F;
  const uint32_t na = 256 - a;
  const uint32_t rb = ((F & 0x00FF00FFu) * a + (B & 0x00FF00FFu) * na + 0x00800080u) >> 8;
  const uint32_t ag =
      (((F >> 8) & 0x00FF00FFu) * a + ((B >> 8) & 0x00FF00FFu) * na + 0x00800080u) >> 8;
  return (rb & 0x00FF00FFu) | ((ag & 0x00FF00FFu) << 8);
}

// Fast path for sources that all cover the map. Per pixel the stack starts at the
// highest source that is opaque there: everything beneath it would be replaced
// anyway, so the result is the same as drawing every source in turn. Rows are
// handled in short chunks: first the start of every pixel is found layer by layer
// (streaming through each layer's row only while some pixel is still open), then
// the pixels are stacked from there with the chunk's data at hand.
void ComposeRowsFast(TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src, int32_t DX,
                     int32_t DY) {
  const int32_t n = Map.Count();
  const TMapEditDoorList* doors = Map.DoorsIfCreated();
  const TBitmap32* doorBits = (doors && doors->HasDoors()) ? doors->BitmapIfCreated() : nullptr;
  const TBitmap32* shades = Map.ShadesIfCreated();
  std::vector<const TBitmap32*> layers(size_t(std::max(n, 1)), nullptr);
  for (int32_t j = 0; j < n; ++j) layers[size_t(j)] = &Map.Layers(j)->BMP();
  constexpr int32_t kChunk = 256;
  constexpr int32_t kWallStart = 0, kDoorStart = -1;
  // Rows are independent; large areas are split over the threads.
  const int64_t area = int64_t(Src.Width()) * Src.Height();
#pragma omp parallel for schedule(static, 16) if (area >= 65536)
  for (int32_t y = Src.Top; y < Src.Bottom; ++y) {
    std::vector<const TColor32*> lr(size_t(std::max(n, 1)), nullptr);
    for (int32_t j = 0; j < n; ++j) lr[size_t(j)] = layers[size_t(j)]->ScanLine(y);
    const TColor32* wall = n > 0 ? lr[0] : nullptr;
    const TColor32* door = doorBits ? doorBits->ScanLine(y) : nullptr;
    const TColor32* shade = shades ? shades->ScanLine(y) : nullptr;
    TColor32* dst = Target.ScanLine(DY + (y - Src.Top)) + DX - Src.Left;
    int32_t start[kChunk];
    for (int32_t x0 = Src.Left; x0 < Src.Right; x0 += kChunk) {
      const int32_t len = std::min(kChunk, Src.Right - x0);
      // Branch-free so that the scans vectorise.
      int32_t open = 0;
      for (int32_t i = 0; i < len; ++i) {
        const int32_t x = x0 + i;
        const TColor32 w = wall ? wall[x] : 0, d = door ? door[x] : 0;
        const bool opaqueWall = (w >> 24) == 255;
        const bool doorShows = d != 0 && d != 0x01000000u;
        start[i] = opaqueWall ? kWallStart : (doorShows ? kDoorStart : n);
        open += (!opaqueWall && !doorShows) ? 1 : 0;
      }
      for (int32_t k = 1; k < n && open > 0; ++k) {
        const TColor32* row = lr[size_t(k)] + x0;
        int32_t found = 0;
        for (int32_t i = 0; i < len; ++i) {
          const bool hit = (start[i] == n) & ((row[i] >> 24) == 255);
          start[i] = hit ? k : start[i];
          found += hit ? 1 : 0;
        }
        open -= found;
      }
      for (int32_t i = 0; i < len; ++i) {
        const int32_t x = x0 + i;
        const int32_t k = start[i];
        TColor32 out;
        if (k == kWallStart) {
          out = wall[x];
        } else {
          if (k == kDoorStart) {
            out = door[x] | 0xFF000000u;
          } else {
            out = k < n ? lr[size_t(k)][x] : dst[x];
            for (int32_t j = k - 1; j >= 1; --j) out = Blend(lr[size_t(j)][x], out);
          }
          if (wall) out = Blend(wall[x], out);
        }
        if (shade) out = Blend(shade[x], out);
        dst[x] = out;
      }
    }
  }
}

}  // namespace

void ComposeMap(TMapEditLayerList& Map, TBitmap32& Target, const TRect& MapRect, int32_t DestX,
                int32_t DestY) {
  const int32_t PW = Map.PixelWidth(), PH = Map.PixelHeight();
  // Clip to the map, then to the target, moving the destination along.
  TRect src = IntersectRect(MapRect, TRect{0, 0, PW, PH});
  if (src.IsEmpty()) return;
  int64_t dx = int64_t(DestX) + (src.Left - MapRect.Left);
  int64_t dy = int64_t(DestY) + (src.Top - MapRect.Top);
  if (dx < 0) src.Left += int32_t(std::min<int64_t>(-dx, src.Width())), dx = 0;
  if (dy < 0) src.Top += int32_t(std::min<int64_t>(-dy, src.Height())), dy = 0;
  if (dx >= Target.Width() || dy >= Target.Height()) return;
  src.Right = int32_t(std::min<int64_t>(src.Right, src.Left + (Target.Width() - dx)));
  src.Bottom = int32_t(std::min<int64_t>(src.Bottom, src.Top + (Target.Height() - dy)));
  if (src.IsEmpty()) return;

  const std::vector<TSource> stack = StackOf(Map);
  // The fast path needs a wall layer to stand for its start code 0.
  bool fits = Map.Count() > 0;
  for (const TSource& s : stack) fits = fits && s.Bitmap->Width() == PW && s.Bitmap->Height() == PH;
  if (fits)
    ComposeRowsFast(Map, Target, src, int32_t(dx), int32_t(dy));
  else
    ComposeRowsGeneral(stack, Target, src, int32_t(dx), int32_t(dy));
}

void ComposeMapStretched(TMapEditLayerList& Map, TBitmap32& Target, const TRect& DestRect,
                         const TRect& MapRect, TResamplerKind Resampler) {
  if (DestRect.IsEmpty() || MapRect.IsEmpty()) return;
  // The map area at 1:1 into a surface of its own, then stretched in one go; the
  // result replaces the destination rectangle, exactly as the map composes onto a
  // blank surface (the shades blend into the alpha channel too, so blending the
  // composed area once more would change it). Parts of MapRect outside the map
  // are transparent.
  TBitmap32 area;
  area.SetSize(MapRect.Width(), MapRect.Height());
  ComposeMap(Map, area, MapRect, 0, 0);
  area.DrawMode = dmOpaque;
  area.Resampler = Resampler;
  Target.DrawSurface(DestRect, TRect{0, 0, area.Width(), area.Height()}, area);
}
