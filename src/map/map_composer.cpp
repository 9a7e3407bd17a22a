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

// Fast path for sources that all cover the map. Per pixel the stack starts at the
// highest source that is opaque there: everything beneath it would be replaced
// anyway, so the result is the same as drawing every source in turn.
void ComposeRowsFast(TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src, int32_t DX,
                     int32_t DY) {
  const int32_t n = Map.Count();
  const TMapEditDoorList* doors = Map.DoorsIfCreated();
  const TBitmap32* doorBits = (doors && doors->HasDoors()) ? doors->BitmapIfCreated() : nullptr;
  const TBitmap32* shades = Map.ShadesIfCreated();
  std::vector<const TColor32*> rows(size_t(std::max(n, 1)));
  for (int32_t y = Src.Top; y < Src.Bottom; ++y) {
    for (int32_t j = 0; j < n; ++j) rows[size_t(j)] = Map.Layers(j)->BMP().ScanLine(y);
    const TColor32* wall = n > 0 ? rows[0] : nullptr;
    const TColor32* door = doorBits ? doorBits->ScanLine(y) : nullptr;
    const TColor32* shade = shades ? shades->ScanLine(y) : nullptr;
    TColor32* dst = Target.ScanLine(DY + (y - Src.Top)) + DX - Src.Left;
    for (int32_t x = Src.Left; x < Src.Right; ++x) {
      TColor32 out;
      const TColor32 w = wall ? wall[x] : 0;
      if ((w >> 24) == 255) {
        out = w;
      } else {
        const TColor32 d = door ? door[x] : 0;
        if (d != 0 && d != 0x01000000u) {
          out = d | 0xFF000000u;  // the door rule replaces whatever is beneath
        } else {
          int32_t k = 1;
          while (k < n && (rows[size_t(k)][x] >> 24) != 255) ++k;
          if (k < n) {
            out = rows[size_t(k)][x];
          } else {
            out = dst[x];
            k = n;
          }
          for (--k; k >= 1; --k) out = BlendPixel(rows[size_t(k)][x], out);
        }
        out = BlendPixel(w, out);
      }
      if (shade) out = BlendPixel(shade[x], out);
      dst[x] = out;
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
  bool fits = true;
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
