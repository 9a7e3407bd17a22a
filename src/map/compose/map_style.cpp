#include "map/compose/map_style.h"

#include <algorithm>

#include "map/compose/style_passes.h"

namespace {
// Stripes of rows are at least this high, and at most this many.
constexpr int32_t kStripeMin = 128;
constexpr int32_t kStripeMax = 16;
}  // namespace

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

namespace {

// What the fields must hold for the passes switched on.
TStyleNeeds NeedsOf(const TMapStyleOptions& s) {
  // The field must reach as far as any pass looks: hatching up to 5/4 of its
  // distance, the outline its width and roughness, the shadow its length and
  // the rough cells behind (kept at one and a half times its length, and a few
  // cells, which reaches beyond both).
  TStyleNeeds needs;
  if (s.Hatching.Enabled) needs.Margin = std::max(needs.Margin, s.Hatching.Distance * 5 / 4 + 2);
  if (s.Outline.Enabled)
    needs.Margin = std::max(needs.Margin, s.Outline.Width + s.Outline.Roughness + 2);
  if (s.Shadow.Enabled) needs.Margin = std::max(needs.Margin, s.Shadow.Length * 3 / 2 + 8);
  needs.ExactToFloor = s.Outline.Enabled;
  needs.ExactReach = s.Outline.Width + s.Outline.Roughness;
  // The hatching looks at the cells up to 5/4 of its distance from the floor;
  // the shadow looks at the cells' kinds only.
  if (s.Hatching.Enabled) needs.RoughToFloor = 2 * s.Hatching.Distance * 5 / 4;
  return needs;
}

// How many stripes of rows Src is drawn in. Each stripe is drawn from a field
// of its own; the result does not depend on the cut, so large areas are shared
// out among the threads. Every field reaches the margin beyond its stripe, so
// stripes stay at least four margins high, lest the fields' overlap cost more
// than the threads and the cache win.
int32_t StripesOf(const TRect& Src, const TStyleNeeds& Needs) {
  const int32_t rows = Src.Height();
  const int64_t area = int64_t(Src.Width()) * rows;
  const int32_t stripeRows = std::max(kStripeMin, 4 * Needs.Margin);
  return area >= 262144 && rows >= 2 * stripeRows ? std::min(kStripeMax, rows / stripeRows) : 1;
}

TRect StripeOf(const TRect& Src, int32_t K, int32_t Stripes) {
  const int32_t rows = Src.Height();
  return TRect{Src.Left, Src.Top + int32_t(int64_t(rows) * K / Stripes), Src.Right,
               Src.Top + int32_t(int64_t(rows) * (K + 1) / Stripes)};
}

void DrawStripe(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Part, int32_t DX,
                int32_t DY, const TMapStyleOptions& s, const TStyleNeeds& Needs) {
  const TStyleField field(Map, Part, Needs);
  TStyleTarget out{Target, Part, DX, DY};
  if (s.InkSaving.Enabled) DrawInkSaving(Map, field, out, s.InkSaving);
  if (s.Shadow.Enabled) DrawShadow(field, out, s.Shadow);
  if (s.Hatching.Enabled) DrawHatching(field, out, s.Hatching);
  if (s.Outline.Enabled) DrawOutline(field, out, s.Outline);
}

}  // namespace

void DrawMapStyle(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src, int32_t DX,
                  int32_t DY, const TMapStyleOptions& Style) {
  if (!Style.Active() || Src.IsEmpty()) return;
  const TMapStyleOptions s = ClampedStyle(Style);
  const TStyleNeeds needs = NeedsOf(s);
  const int32_t stripes = StripesOf(Src, needs);
#pragma omp parallel for schedule(dynamic, 1) if (stripes > 1)
  for (int32_t k = 0; k < stripes; ++k) {
    const TRect part = StripeOf(Src, k, stripes);
    DrawStripe(Map, Target, part, DX, DY + (part.Top - Src.Top), s, needs);
  }
}

void ComposeStyledBands(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src,
                        int32_t DX, int32_t DY, const TMapStyleOptions& Style,
                        const std::function<void(const TRect&, int32_t)>& ComposeRows) {
  if (!Style.Active() || Src.IsEmpty()) {
    ComposeRows(Src, DY);
    return;
  }
  const TMapStyleOptions s = ClampedStyle(Style);
  const TStyleNeeds needs = NeedsOf(s);
  const int32_t stripes = StripesOf(Src, needs);
  if (stripes == 1) {
    ComposeRows(Src, DY);
    DrawStripe(Map, Target, Src, DX, DY, s, needs);
    return;
  }
  // The composition of a stripe, started from within, runs on its thread alone.
#pragma omp parallel for schedule(dynamic, 1)
  for (int32_t k = 0; k < stripes; ++k) {
    const TRect part = StripeOf(Src, k, stripes);
    const int32_t partY = DY + (part.Top - Src.Top);
    ComposeRows(part, partY);
    DrawStripe(Map, Target, part, DX, partY, s, needs);
  }
}
