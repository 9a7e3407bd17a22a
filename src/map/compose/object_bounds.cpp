#include "map/compose/object_bounds.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "map/compose/label_text.h"
#include "map/compose/object_overlay.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"

namespace {

TRect Around(int32_t X, int32_t Y, int32_t Half) {
  return TRect{X - Half, Y - Half, X + Half + 1, Y + Half + 1};
}

bool Inside(const TRect& R, int32_t X, int32_t Y) {
  return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

double SegmentDistance(double PX, double PY, const TPoint& A, const TPoint& B) {
  const double vx = double(B.X) - A.X, vy = double(B.Y) - A.Y;
  const double len2 = vx * vx + vy * vy;
  const double t = len2 > 0 ? std::clamp(((PX - A.X) * vx + (PY - A.Y) * vy) / len2, 0.0, 1.0) : 0;
  return std::hypot(PX - A.X - t * vx, PY - A.Y - t * vy);
}

}  // namespace

TRect ObjectBounds(const TMapObject& Obj, int32_t ChipSize) {
  if (Obj.Type == TMapLabel::kType) {
    TMapLabel l;
    if (!TMapLabel::FromObject(Obj, l, nullptr)) return {};
    TTextLayout layout;
    layout.Text = l.Text;
    layout.PixelHeight = int32_t(std::lround(std::clamp(l.Size * ChipSize, 1.0, 1e6)));
    layout.X = l.X;
    layout.Y = l.Y;
    layout.Align = l.Align == TLabelAlign::Left    ? TTextAlign::Left
                   : l.Align == TLabelAlign::Right ? TTextAlign::Right
                                                   : TTextAlign::Center;
    const int32_t big = std::numeric_limits<int32_t>::max() / 4;
    const TTextMask mask = RenderText(layout, TRect{-big, -big, big, big}, 0);
    if (mask.Empty()) return Around(l.X, l.Y, kLightHandle);
    const int32_t halo = l.Outline ? std::max(1, (layout.PixelHeight + 6) / 12) : 0;
    return TRect{mask.Left - halo, mask.Top - halo, mask.Left + mask.Width + halo,
                 mask.Top + mask.Height + halo};
  }
  if (Obj.Type == TMapLight::kType) {
    TMapLight l;
    if (!TMapLight::FromObject(Obj, l, nullptr)) return {};
    return Around(l.X, l.Y, kLightHandle);
  }
  if (Obj.Type == TMapWindow::kType) {
    TMapWindow w;
    if (!TMapWindow::FromObject(Obj, w, nullptr)) return {};
    TPoint a, b;
    w.Ends(ChipSize, a, b);
    const int32_t half = WindowBarWidth(ChipSize) / 2 + 1;
    return TRect{std::min(a.X, b.X) - half, std::min(a.Y, b.Y) - half, std::max(a.X, b.X) + half,
                 std::max(a.Y, b.Y) + half};
  }
  return {};
}

std::optional<uint64_t> HitObject(const TMapEditLayerList& Map, int32_t X, int32_t Y, bool Labels) {
  const std::vector<TMapObject>& items = Map.Objects().Items();
  const int32_t cs = Map.ChipSize();
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (it->Type == TMapLabel::kType && !Labels) continue;
    if (it->Type == TMapWindow::kType) {
      TMapWindow w;
      if (!TMapWindow::FromObject(*it, w, nullptr)) continue;
      TPoint a, b;
      w.Ends(cs, a, b);
      if (SegmentDistance(X + 0.5, Y + 0.5, a, b) <= std::max(4, WindowBarWidth(cs) / 2 + 1))
        return it->Id;
      continue;
    }
    if (Inside(ObjectBounds(*it, cs), X, Y)) return it->Id;
  }
  return std::nullopt;
}
