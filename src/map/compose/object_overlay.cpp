#include "map/compose/object_overlay.h"

#include <algorithm>
#include <cmath>

#include "map/compose/label_text.h"
#include "map/compose/light_preview.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_label.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"

namespace {

// Target pixel of map pixel (X, Y), or nullptr outside Target.
TColor32* TargetPixel(TBitmap32& Target, const TRect& Clip, int32_t DestX, int32_t DestY, int32_t X,
                      int32_t Y) {
  const int64_t tx = int64_t(X) - Clip.Left + DestX, ty = int64_t(Y) - Clip.Top + DestY;
  if (tx < 0 || ty < 0 || tx >= Target.Width() || ty >= Target.Height()) return nullptr;
  return Target.ScanLine(int32_t(ty)) + tx;
}

// A darker shade of C for the frame of a bar.
TColor32 Darker(TColor32 C) {
  const TRGB c = SplitColor(C);
  return MakeColor(uint8_t(c.R / 2), uint8_t(c.G / 2), uint8_t(c.B / 2), AlphaOf(C));
}

TTextAlign TextAlignOf(TLabelAlign A) {
  switch (A) {
    case TLabelAlign::Left:
      return TTextAlign::Left;
    case TLabelAlign::Right:
      return TTextAlign::Right;
    case TLabelAlign::Center:
      break;
  }
  return TTextAlign::Center;
}

}  // namespace

// Even, so that a bar along a cell edge covers as many pixel rows on each side.
int32_t WindowBarWidth(int32_t ChipSize) { return std::max(2, 2 * ((ChipSize + 6) / 12)); }

void DrawWindow(const TMapWindow& Window, int32_t ChipSize, TBitmap32& Target, const TRect& Clip,
                int32_t DestX, int32_t DestY) {
  TPoint a, b;
  Window.Ends(ChipSize, a, b);
  const TColor32 fill = Window.Color.value_or(TMapWindow::kDefaultColor);
  const TColor32 frame = Darker(fill);
  // The bar covers the pixels whose centre lies less than half its width from the
  // segment and between its ends: along a cell edge, as many pixel rows (or
  // columns) on each side of the edge line.
  const double half = WindowBarWidth(ChipSize) / 2.0;
  const double ax = a.X, ay = a.Y, dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len == 0) return;
  const double ux = dx / len, uy = dy / len;
  const int32_t reach = int32_t(std::ceil(half)) + 1;
  TRect box{std::min(a.X, b.X) - reach, std::min(a.Y, b.Y) - reach, std::max(a.X, b.X) + reach,
            std::max(a.Y, b.Y) + reach};
  box = IntersectRect(box, Clip);
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x) {
      const double px = x + 0.5 - ax, py = y + 0.5 - ay;
      const double along = px * ux + py * uy, across = std::fabs(-px * uy + py * ux);
      if (along <= 0 || along >= len || across >= half) continue;
      TColor32* p = TargetPixel(Target, Clip, DestX, DestY, x, y);
      if (!p) continue;
      // The outermost pixel on each side, and the two ends, make the frame.
      const bool edge = across > half - 1 || along < 1 || along > len - 1;
      *p = BlendPixel(edge ? frame : fill, *p);
    }
}

void DrawLabel(const TMapLabel& Label, int32_t ChipSize, TBitmap32& Target, const TRect& Clip,
               int32_t DestX, int32_t DestY) {
  TTextLayout layout;
  layout.Text = Label.Text;
  layout.PixelHeight = int32_t(std::lround(std::clamp(Label.Size * ChipSize, 1.0, 1e6)));
  layout.X = Label.X;
  layout.Y = Label.Y;
  layout.Align = TextAlignOf(Label.Align);
  const int32_t halo = Label.Outline ? std::max(1, (layout.PixelHeight + 6) / 12) : 0;
  const TTextMask text = RenderText(layout, Clip, halo);
  if (text.Empty()) return;
  if (Label.Outline) DrawMask(DilateMask(text, halo), *Label.Outline, Target, Clip, DestX, DestY);
  DrawMask(text, Label.Color, Target, Clip, DestX, DestY);
}

void DrawMapObjects(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Clip,
                    int32_t DestX, int32_t DestY, const TComposeOptions& Options) {
  const TMapObjectList& objects = Map.Objects();
  if (objects.Empty() || Clip.IsEmpty()) return;
  if (Options.LightPreview) ApplyLightPreview(Map, Target, Clip, DestX, DestY);
  const int32_t cs = Map.ChipSize();
  for (const TMapObject& o : objects.Items()) {
    if (o.Type == TMapWindow::kType) {
      TMapWindow w;
      if (TMapWindow::FromObject(o, w, nullptr)) DrawWindow(w, cs, Target, Clip, DestX, DestY);
    } else if (o.Type == TMapLabel::kType && Options.Labels) {
      TMapLabel l;
      if (TMapLabel::FromObject(o, l, nullptr)) DrawLabel(l, cs, Target, Clip, DestX, DestY);
    }
  }
}
