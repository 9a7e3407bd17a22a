// The wall outline: every wall pixel within Width pixels (chamfer length) of
// the floor takes the outline colour. With roughness the width wanders smoothly
// along the wall, by up to Roughness pixels either way, from smooth noise.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "map/compose/style_passes.h"

void DrawOutline(const TStyleField& Field, TStyleTarget& Out, const TStyleOutline& O) {
  const int32_t width = 2 * O.Width;  // chamfer units
  const int32_t rough = 2 * O.Roughness;
  // However the noise turns, the line covers this much; only pixels beyond it
  // ask the noise. At least one pixel of line remains wherever the wall meets
  // the floor.
  const int32_t sure = rough ? std::max(2, width - rough) : width;
  const bool opaque = (O.Color >> 24) == 255;
  std::optional<TStyleNoiseRow> noise;  // made when first needed, moved from row to row
  std::vector<TStyleSpan> spans;
  std::vector<uint8_t> edge;  // the marks of one span
  for (int32_t y = Out.Src.Top; y < Out.Src.Bottom; ++y) {
    TColor32* __restrict__ dst = Out.Row(y);
    const uint8_t* __restrict__ kind = Field.Kinds(y);
    const uint8_t* __restrict__ toFloor = Field.ToFloor(y);
    Field.ActiveSpans(y, Out.Src.Left, Out.Src.Right, spans);
    bool noiseHere = false;
    auto limitAt = [&](int32_t X) {
      if (!noiseHere) {
        noiseHere = true;
        if (!noise) noise.emplace(Out.Src.Left, Out.Src.Right, y, O.Seed);
        noise->MoveTo(y);
      }
      return std::max(2, width + rough * noise->At(X) / 256);
    };
    for (const TStyleSpan span : spans) {
      if (opaque) {
        // The wall pixels the line may cover, marked in vector code, then
        // found eight at a time: most of an active span lies beyond the line.
        const TColor32 color = O.Color;
        const int32_t b = span.Begin, e = span.End;
        const uint8_t reach = uint8_t(width + rough);
        edge.resize(size_t(e - b) + 8);
        uint8_t* __restrict__ mark = edge.data() - b;
        for (int32_t x = b; x < e; ++x) mark[x] = (kind[x] == skWall) & (toFloor[x] <= reach);
        std::memset(mark + e, 0, 8);
        for (int32_t x = b; x < e; x += 8) {
          uint64_t any;
          std::memcpy(&any, mark + x, 8);
          if (!any) continue;
          for (int32_t i = x; i < std::min(e, x + 8); ++i)
            if (mark[i] && (toFloor[i] <= sure || toFloor[i] <= limitAt(i))) dst[i] = color;
        }
        continue;
      }
      for (int32_t x = span.Begin; x < span.End; ++x) {
        if (kind[x] != skWall) continue;
        const int32_t d = toFloor[x];
        if (d > width + rough) continue;
        if (d <= sure || d <= limitAt(x)) dst[x] = BlendPixel(O.Color, dst[x]);
      }
    }
  }
}
