#include "map/compose/map_style.h"

#include <algorithm>

#include "map/compose/style_passes.h"

TMapStyleOptions ClampedStyle(const TMapStyleOptions& Style) {
  TMapStyleOptions s = Style;
  s.Hatching.Distance = std::clamp(s.Hatching.Distance, 1, kMaxStyleLength);
  s.Hatching.Spacing = std::clamp(s.Hatching.Spacing, 2, 32);
  s.Shadow.Angle = ((s.Shadow.Angle % 360) + 360) % 360;
  s.Shadow.Length = std::clamp(s.Shadow.Length, 1, kMaxStyleLength);
  s.Shadow.Softness = std::clamp(s.Shadow.Softness, 0, s.Shadow.Length);
  s.Outline.Width = std::clamp(s.Outline.Width, 1, 32);
  s.Outline.Roughness = std::clamp(s.Outline.Roughness, 0, 8);
  // Ink-saving walls drawn as hatching need the hatching.
  if (s.InkSaving.Enabled && s.InkSaving.Walls == TInkWalls::Hatching) s.Hatching.Enabled = true;
  return s;
}

void DrawMapStyle(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src, int32_t DX,
                  int32_t DY, const TMapStyleOptions& Style) {
  if (!Style.Active() || Src.IsEmpty()) return;
  const TMapStyleOptions s = ClampedStyle(Style);
  // The field must reach as far as any pass looks: hatching up to 5/4 of its
  // distance, the outline its width and roughness, the shadow its length (and
  // its early-out, three times its length in chamfer units).
  int32_t margin = 2;
  if (s.Hatching.Enabled) margin = std::max(margin, s.Hatching.Distance * 5 / 4 + 2);
  if (s.Outline.Enabled) margin = std::max(margin, s.Outline.Width + s.Outline.Roughness + 2);
  if (s.Shadow.Enabled) margin = std::max(margin, s.Shadow.Length * 3 / 2 + 2);
  const bool toFloor = s.Hatching.Enabled || s.Outline.Enabled;
  const TStyleField field(Map, Src, margin, toFloor, s.Shadow.Enabled);
  TStyleTarget out{Target, Src, DX, DY};
  if (s.InkSaving.Enabled) DrawInkSaving(Map, field, out, s.InkSaving);
  if (s.Shadow.Enabled) DrawShadow(field, out, s.Shadow);
  if (s.Hatching.Enabled) DrawHatching(field, out, s.Hatching);
  if (s.Outline.Enabled) DrawOutline(field, out, s.Outline);
}
