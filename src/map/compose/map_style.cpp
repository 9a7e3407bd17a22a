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
  // distance, the outline its width and roughness, the shadow its length and
  // its rough search (one and a half times its length, and a few cells).
  TStyleNeeds needs;
  if (s.Hatching.Enabled) needs.Margin = std::max(needs.Margin, s.Hatching.Distance * 5 / 4 + 2);
  if (s.Outline.Enabled)
    needs.Margin = std::max(needs.Margin, s.Outline.Width + s.Outline.Roughness + 2);
  if (s.Shadow.Enabled) needs.Margin = std::max(needs.Margin, s.Shadow.Length * 3 / 2 + 8);
  needs.ExactToFloor = s.Outline.Enabled;
  needs.Rough = s.Hatching.Enabled || s.Shadow.Enabled;
  // Each stripe of rows is drawn from a field of its own; the result does not
  // depend on the cut, so large areas are shared out among the threads.
  const int32_t rows = Src.Height();
  const int64_t area = int64_t(Src.Width()) * rows;
  const int32_t stripes = area >= 262144 && rows >= 256 ? std::min(16, rows / 128) : 1;
#pragma omp parallel for schedule(dynamic, 1) if (stripes > 1)
  for (int32_t k = 0; k < stripes; ++k) {
    const int32_t top = Src.Top + int32_t(int64_t(rows) * k / stripes);
    const int32_t bottom = Src.Top + int32_t(int64_t(rows) * (k + 1) / stripes);
    const TRect part{Src.Left, top, Src.Right, bottom};
    const TStyleField field(Map, part, needs);
    TStyleTarget out{Target, part, DX, DY + (top - Src.Top)};
    if (s.InkSaving.Enabled) DrawInkSaving(Map, field, out, s.InkSaving);
    if (s.Shadow.Enabled) DrawShadow(field, out, s.Shadow);
    if (s.Hatching.Enabled) DrawHatching(field, out, s.Hatching);
    if (s.Outline.Enabled) DrawOutline(field, out, s.Outline);
  }
}
