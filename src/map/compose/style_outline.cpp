// The wall outline: every wall pixel within Width pixels (chamfer length) of
// the floor takes the outline colour. With roughness the width wanders smoothly
// along the wall, by up to Roughness pixels either way, from smooth noise.

#include <algorithm>
#include <optional>

#include "map/compose/style_passes.h"

void DrawOutline(const TStyleField& Field, TStyleTarget& Out, const TStyleOutline& O) {
  const int32_t width = 2 * O.Width;  // chamfer units
  const int32_t rough = 2 * O.Roughness;
  for (int32_t y = Out.Src.Top; y < Out.Src.Bottom; ++y) {
    TColor32* dst = Out.Row(y);
    const uint8_t* kind = Field.Kinds(y);
    const uint8_t* toFloor = Field.ToFloor(y);
    std::optional<TStyleNoiseRow> noise;  // made for the row when it is needed
    for (const TStyleSpan& span : Field.ActiveSpans(y, Out.Src.Left, Out.Src.Right))
      for (int32_t x = span.Begin; x < span.End; ++x) {
        if (kind[x] != skWall) continue;
        const int32_t d = toFloor[x];
        if (d > width + rough) continue;
        // At least one pixel of line remains wherever the wall meets the floor.
        int32_t limit = width;
        if (rough) {
          if (!noise) noise.emplace(Out.Src.Left, Out.Src.Right, y, O.Seed);
          limit = std::max(2, width + rough * noise->At(x) / 256);
        }
        if (d <= limit) dst[x] = BlendPixel(O.Color, dst[x]);
      }
  }
}
