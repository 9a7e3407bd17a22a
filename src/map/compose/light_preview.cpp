#include "map/compose/light_preview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"

void ApplyLightPreview(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Clip,
                       int32_t DestX, int32_t DestY) {
  std::vector<TMapLight> lights;
  for (const TMapObject& o : Map.Objects().Items()) {
    TMapLight l;
    if (o.Type == TMapLight::kType && TMapLight::FromObject(o, l, nullptr)) lights.push_back(l);
  }
  if (lights.empty()) return;
  // The part of Clip that lands on Target.
  TRect area = Clip;
  area.Left = int32_t(std::max<int64_t>(area.Left, int64_t(Clip.Left) - DestX));
  area.Top = int32_t(std::max<int64_t>(area.Top, int64_t(Clip.Top) - DestY));
  area.Right = int32_t(std::min<int64_t>(area.Right, int64_t(Clip.Left) - DestX + Target.Width()));
  area.Bottom =
      int32_t(std::min<int64_t>(area.Bottom, int64_t(Clip.Top) - DestY + Target.Height()));
  if (area.IsEmpty()) return;
  const double cs = Map.ChipSize();
  // One row of light levels at a time: red, green, blue per pixel.
  std::vector<float> level(size_t(area.Width()) * 3);
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    std::fill(level.begin(), level.end(), float(kLightPreviewAmbient));
    const double cy = y + 0.5;
    for (const TMapLight& l : lights) {
      const double r = l.Radius * cs;
      const double dy = cy - l.Y;
      if (r <= 0 || std::fabs(dy) >= r) continue;
      const double spanX = std::sqrt(r * r - dy * dy);
      const int32_t x0 = int32_t(std::max<double>(area.Left, std::floor(l.X - spanX)));
      const int32_t x1 = int32_t(std::min<double>(area.Right, std::ceil(l.X + spanX)));
      const TRGB c = SplitColor(l.Color);
      const double kr = l.Intensity * c.R / 255.0, kg = l.Intensity * c.G / 255.0,
                   kb = l.Intensity * c.B / 255.0;
      for (int32_t x = x0; x < x1; ++x) {
        const double dx = x + 0.5 - l.X;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d >= r) continue;
        const double f = (1 - d / r) * (1 - d / r);
        float* p = &level[size_t(x - area.Left) * 3];
        p[0] += float(kr * f);
        p[1] += float(kg * f);
        p[2] += float(kb * f);
      }
    }
    TColor32* row = Target.ScanLine(y - Clip.Top + DestY) + (area.Left - Clip.Left + DestX);
    for (int32_t x = 0; x < area.Width(); ++x) {
      const float* p = &level[size_t(x) * 3];
      const TRGB c = SplitColor(row[x]);
      auto scale = [](uint8_t V, float K) { return uint8_t(std::lround(V * std::min(1.0f, K))); };
      row[x] = MakeColor(scale(c.R, p[0]), scale(c.G, p[1]), scale(c.B, p[2]), AlphaOf(row[x]));
    }
  }
}
