#include "map/compose/map_composer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <utility>
#include <vector>

#include "map/compose/map_style.h"
#include "map/compose/object_overlay.h"
#include "map/compose/prop_scene.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"

namespace {

// Which part of the stack a pass draws: all of it, or the floor layers and then
// the rest (doors, walls, shades), so that props can go between them. Drawing the
// two parts one after the other gives every pixel the same steps as drawing all.
enum class TStackPart { All, Floors, Upper };

// One source image of the stack with the rule it is drawn by: a layer's image or
// a surface (the door bitmap, the shades).
struct TSource {
  const TLayerImage* Image;
  const TBitmap32* Bitmap;
  bool Door;  // the door combine rule instead of blending
  const TShadeImage* Shade = nullptr;
  int32_t Width() const {
    return Image ? Image->Width() : Shade ? Shade->Width() : Bitmap->Width();
  }
  int32_t Height() const {
    return Image ? Image->Height() : Shade ? Shade->Height() : Bitmap->Height();
  }
};

// Display order, bottom first: layers Count-1 .. 1, the door bitmap when there are
// doors, layer 0, the shades.
// Layers the options hide are left out.
std::vector<TSource> StackOf(const TMapEditLayerList& Map, const TComposeOptions& Options) {
  // Read-only access throughout, so that the layers keep their cell coverage.
  std::vector<TSource> stack;
  for (int32_t j = Map.Count() - 1; j >= 1; --j)
    if (!Options.Hidden(j)) stack.push_back({&Map.Layers(j)->Image(), nullptr, false});
  if (const TMapEditDoorList* doors = Map.DoorsIfCreated(); doors && doors->HasDoors())
    if (const TBitmap32* bits = doors->BitmapIfCreated()) stack.push_back({nullptr, bits, true});
  if (Map.Count() > 0 && !Options.Hidden(0))
    stack.push_back({&Map.Layers(0)->Image(), nullptr, false});
  if (const TShadeImage* shades = Map.ShadesIfCreated())
    stack.push_back({nullptr, nullptr, false, shades});
  return stack;
}

inline void Apply(const TSource& S, TColor32 F, TColor32& B) {
  if (S.Door)
    DoorPixelCombine(F, B, 255);
  else
    B = BlendPixel(F, B);
}

// General path: every source drawn row by row over the part it covers. The first
// Floors sources of the stack are the floor layers.
void ComposeRowsGeneral(const std::vector<TSource>& Stack, size_t Floors, TBitmap32& Target,
                        const TRect& Src, int32_t DX, int32_t DY, TStackPart Part) {
  const size_t first = Part == TStackPart::Upper ? Floors : 0;
  const size_t last = Part == TStackPart::Floors ? Floors : Stack.size();
  std::vector<TColor32> row(size_t(std::max(Src.Width(), 0)));
  for (int32_t y = Src.Top; y < Src.Bottom; ++y) {
    TColor32* dst = Target.ScanLine(DY + (y - Src.Top)) + DX - Src.Left;
    for (size_t k = first; k < last; ++k) {
      const TSource& s = Stack[k];
      if (y >= s.Height()) continue;
      const int32_t end = std::min(Src.Right, s.Width());
      if (end <= Src.Left) continue;
      const TColor32* from = nullptr;
      if (s.Image) {
        s.Image->ReadRow(y, Src.Left, end, row.data());
        from = row.data() - Src.Left;
      } else if (s.Shade) {
        s.Shade->ReadRow(y, Src.Left, end, row.data());
        from = row.data() - Src.Left;
      } else {
        from = s.Bitmap->ScanLine(y);
      }
      for (int32_t x = Src.Left; x < end; ++x) Apply(s, from[x], dst[x]);
    }
  }
}

// Whether all Len pixels are opaque: drawing them replaces what lies beneath.
bool IsOpaque(const TColor32* P, int32_t Len) {
  uint32_t all = 0xFF000000u;
  for (int32_t i = 0; i < Len; ++i) all &= P[i];
  return (all >> 24) == 255;
}

// Door pixels replace what lies beneath them, made opaque; 0 and 0x01000000 mark
// pixels without a door. Four pixels at a time with SSE2, skipping runs without
// doors, which are most of any row.
void DrawDoorRow(const TColor32* __restrict__ D, TColor32* __restrict__ Out, int32_t Len) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i noDoor = _mm_set1_epi32(int32_t(0xFEFFFFFFu)), zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(int32_t(0xFF000000u));
  for (; i + 4 <= Len; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(D + i));
    const __m128i empty = _mm_cmpeq_epi32(_mm_and_si128(d, noDoor), zero);
    const int mask = _mm_movemask_epi8(empty);
    if (mask == 0xFFFF) continue;
    const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Out + i));
    const __m128i door = _mm_or_si128(d, opaque);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i),
                     _mm_or_si128(_mm_and_si128(empty, o), _mm_andnot_si128(empty, door)));
  }
#endif
  for (; i < Len; ++i)
    if ((D[i] & 0xFEFFFFFFu) != 0) Out[i] = D[i] | 0xFF000000u;
}

// A stretch of a row composed as one: pixels X0 .. X0 + Len - 1, cells C0 .. C1.
struct TChunk {
  int32_t X0, Len, C0, C1;
};
// The part of a chunk where one source may show, from its coverage row, and
// whether the source is opaque over the whole chunk.
struct TPiece {
  int32_t Begin = 0, End = 0;  // map pixels Begin .. End - 1
  bool Opaque = false;
  bool Empty() const { return Begin >= End; }
};
// Inlined: returned from a call, the piece goes through memory in parts of
// different sizes, and reading it back whole stalls on every chunk.
[[gnu::always_inline]] inline TPiece PieceOf(TCellCoverage::TRow Row, const TChunk& C,
                                             int32_t ChipSize) {
  const int32_t x1 = C.X0 + C.Len;
  if (!Row) return {C.X0, x1, false};
  TPiece p{x1, C.X0, true};
  for (int32_t c = C.C0; c <= C.C1; ++c) {
    const TCellCoverage::TSpan s = Row[c];
    p.Opaque = p.Opaque && s.Opaque;
    if (s.Begin >= s.End) continue;
    p.Begin = std::min(p.Begin, c * ChipSize + s.Begin);
    p.End = std::max(p.End, c * ChipSize + int32_t(s.End));
  }
  p.Begin = std::max(p.Begin, C.X0);
  p.End = std::min(p.End, x1);
  return p;
}

// One source drawn over part of a row: pixels Begin .. End - 1 of Src, of the
// row of a tiled layer image, whose pixels are put together first, or of a row of
// shade alpha (Shade), blended as black at that alpha.
struct TDrawStep {
  enum TKind : int32_t { Copy, Blend, Door, Shade };
  const TColor32* Src;
  const TLayerImage* Image;
  int32_t Begin, End;
  TKind Kind;
  const uint8_t* ShadeSrc = nullptr;
};

// Asks for the source pixels of a step of row Y to be brought into the cache.
void Prefetch(const TDrawStep& S, int32_t Y) {
  const char* a = nullptr;
  const char* e = nullptr;
  if (S.Image) {
    S.Image->PrefetchRow(Y, S.Begin, S.End);
    return;
  }
  if (S.Src) {
    a = reinterpret_cast<const char*>(S.Src + S.Begin);
    e = reinterpret_cast<const char*>(S.Src + S.End);
  } else if (S.ShadeSrc) {
    a = reinterpret_cast<const char*>(S.ShadeSrc + S.Begin);
    e = reinterpret_cast<const char*>(S.ShadeSrc + S.End);
  } else {
    return;
  }
  for (; a < e; a += 64) __builtin_prefetch(a, 0, 3);
  __builtin_prefetch(e - 1, 0, 3);
}

// Fast path for sources that all cover the map. A row is cut into chunks that end
// on cell boundaries. In each chunk a source is drawn only over the stretch its
// coverage says may show, and a source beneath one that is opaque over the whole
// chunk is not read at all: an opaque pixel replaces what lies beneath it exactly,
// and a transparent one changes nothing, so this is the same as drawing every
// source everywhere.
//
// Each row is planned first and then drawn. Most sources show in a few scattered
// pieces of a row (shades along the walls, fades, doors), which the memory
// prefetchers cannot foresee; the plan says where they are, so the pieces a few
// chunks ahead are fetched while the current chunk is drawn.
void ComposeRowsFast(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src, int32_t DX,
                     int32_t DY, TStackPart Part) {
  const bool floors = Part != TStackPart::Upper, upper = Part != TStackPart::Floors;
  const int32_t n = Map.Count();
  const TMapEditLayerList& map = Map;
  const TMapEditDoorList* doors = map.DoorsIfCreated();
  const TBitmap32* doorBits = (doors && doors->HasDoors()) ? doors->BitmapIfCreated() : nullptr;
  const TShadeImage* shades = map.ShadesIfCreated();
  const int32_t cs = map.ChipSize(), cw = map.Width(), ch = map.Height();
  std::vector<const TMapEditLayer*> layers(size_t(n), nullptr);
  for (int32_t j = 0; j < n; ++j) layers[size_t(j)] = map.Layers(j);
  int32_t widest = 0;

  // The chunks of a row, the same for every row: one cell each (several when
  // cells are small).
  std::vector<TChunk> chunks;
  constexpr int32_t kChunk = 256;
  for (int32_t x0 = Src.Left; x0 < Src.Right;) {
    int32_t x1 = std::min(Src.Right, x0 + kChunk);
    if (cs >= 32) {
      x1 = std::min(x1, (x0 / cs + 1) * cs);
    } else if (cs > 0 && x1 < Src.Right && x1 / cs * cs > x0) {
      x1 = x1 / cs * cs;
    }
    chunks.push_back({x0, x1 - x0, cs > 0 ? x0 / cs : 0, cs > 0 ? (x1 - 1) / cs : 0});
    widest = std::max(widest, x1 - x0);
    x0 = x1;
  }
  const size_t nc = chunks.size();
  // How many chunks ahead of the drawing the sources are fetched.
  constexpr size_t kAhead = 8;

  // Rows are independent; large areas are split over the threads.
  const int64_t area = int64_t(Src.Width()) * Src.Height();
#pragma omp parallel if (area >= 65536)
  {
    std::vector<const TColor32*> rows(static_cast<size_t>(n));
    std::vector<const TLayerImage*> images(static_cast<size_t>(n));
    // One chunk of a tiled layer's pixels, put together to be blended.
    std::vector<TColor32> pixels(static_cast<size_t>(widest));
    std::vector<TCellCoverage::TRow> cover(static_cast<size_t>(n));
    std::vector<TPiece> pieces(static_cast<size_t>(n));
    // The plan of a row: the steps of chunk i are steps[first[i] .. first[i + 1]).
    std::vector<TDrawStep> steps;
    std::vector<size_t> first(nc + 1);
#pragma omp for schedule(static, 16)
    for (int32_t y = Src.Top; y < Src.Bottom; ++y) {
      for (int32_t j = 0; j < n; ++j) {
        // A plain image is read in place; a tiled one is put together per step.
        const TLayerImage& image = layers[size_t(j)]->Image();
        rows[size_t(j)] = image.FullRow(y);
        images[size_t(j)] = rows[size_t(j)] ? nullptr : &image;
        cover[size_t(j)] = layers[size_t(j)]->Coverage().Row(y, cw, ch, cs);
      }
      const TCellCoverage::TRow doorCover =
          doorBits ? doors->Coverage().Row(y, cw, ch, cs) : TCellCoverage::TRow{};
      const TCellCoverage::TRow shadeCover =
          shades ? map.ShadeCoverage().Row(y, cw, ch, cs) : TCellCoverage::TRow{};
      const TColor32* doorRow = doorBits ? doorBits->ScanLine(y) : nullptr;
      const uint8_t* shadeRow = shades ? shades->Row(y) : nullptr;
      const TColor32* wallRow = rows[0];
      const TLayerImage* wallImage = images[0];
      // Whether the wall pixels of a chunk are all opaque, for walls without a
      // coverage record.
      auto wallOpaque = [&](const TChunk& C) {
        if (wallRow) return IsOpaque(wallRow + C.X0, C.Len);
        wallImage->ReadRow(y, C.X0, C.X0 + C.Len, pixels.data());
        return IsOpaque(pixels.data(), C.Len);
      };

      steps.clear();
      for (size_t i = 0; i < nc; ++i) {
        const TChunk& c = chunks[i];
        first[i] = steps.size();
        // The walls lie above the floors and doors: where they are opaque over
        // the whole chunk (inside a wall) nothing beneath them shows.
        const TPiece wall = PieceOf(cover[0], c, cs);
        const bool inWall = wall.Opaque || (!cover[0] && wallOpaque(c));
        if (inWall) {
          if (upper) steps.push_back({wallRow, wallImage, c.X0, c.X0 + c.Len, TDrawStep::Copy});
        } else if (floors) {
          // The floor layers from the highest one that is opaque over the chunk
          // (or from the bottom) upwards. BlendRow stores opaque pixels without
          // reading beneath, so a layer that covers the chunk without being
          // known to costs no more than a copy.
          int32_t bottom = n - 1;
          for (int32_t k = 1; k < n; ++k) {
            pieces[size_t(k)] = PieceOf(cover[size_t(k)], c, cs);
            if (pieces[size_t(k)].Opaque) {
              bottom = k;
              break;
            }
          }
          for (int32_t k = bottom; k >= 1; --k) {
            const TPiece& p = pieces[size_t(k)];
            if (!p.Empty())
              steps.push_back({rows[size_t(k)], images[size_t(k)], p.Begin, p.End,
                               p.Opaque ? TDrawStep::Copy : TDrawStep::Blend});
          }
        }
        if (upper && !inWall) {
          if (doorRow)
            if (const TPiece d = PieceOf(doorCover, c, cs); !d.Empty())
              steps.push_back({doorRow, nullptr, d.Begin, d.End, TDrawStep::Door});
          if (!wall.Empty())
            steps.push_back({wallRow, wallImage, wall.Begin, wall.End, TDrawStep::Blend});
        }
        if (upper && shadeRow)
          if (const TPiece s = PieceOf(shadeCover, c, cs); !s.Empty())
            steps.push_back({nullptr, nullptr, s.Begin, s.End, TDrawStep::Shade, shadeRow});
      }
      first[nc] = steps.size();

      TColor32* dst = Target.ScanLine(DY + (y - Src.Top)) + DX - Src.Left;
      for (size_t i = 0; i < nc; ++i) {
        if (i + kAhead < nc)
          for (size_t k = first[i + kAhead]; k < first[i + kAhead + 1]; ++k) Prefetch(steps[k], y);
        for (size_t k = first[i]; k < first[i + 1]; ++k) {
          const TDrawStep& s = steps[k];
          switch (s.Kind) {
            case TDrawStep::Copy:
              if (s.Image)
                s.Image->ReadRow(y, s.Begin, s.End, dst + s.Begin);
              else
                std::copy(s.Src + s.Begin, s.Src + s.End, dst + s.Begin);
              break;
            case TDrawStep::Blend:
              if (s.Image) {
                s.Image->ReadRow(y, s.Begin, s.End, pixels.data());
                BlendRow(pixels.data(), dst + s.Begin, size_t(s.End - s.Begin));
              } else {
                BlendRow(s.Src + s.Begin, dst + s.Begin, size_t(s.End - s.Begin));
              }
              break;
            case TDrawStep::Door:
              DrawDoorRow(s.Src + s.Begin, dst + s.Begin, s.End - s.Begin);
              break;
            case TDrawStep::Shade: {
              // The shade's colours put together, then blended as any source.
              const int32_t len = s.End - s.Begin;
              const uint8_t* a = s.ShadeSrc + s.Begin;
              for (int32_t k = 0; k < len; ++k) pixels[size_t(k)] = TColor32(a[k]) << 24;
              BlendRow(pixels.data(), dst + s.Begin, size_t(len));
              break;
            }
          }
        }
      }
    }
  }
}

}  // namespace

void ComposeMap(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& MapRect,
                int32_t DestX, int32_t DestY, const TComposeOptions& Options) {
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

  const std::vector<TSource> stack = StackOf(Map, Options);
  // The fast path needs a wall layer to stand for its start code 0, and draws
  // every layer.
  bool fits = Map.Count() > 0 && !Options.HidesAny();
  for (const TSource& s : stack) fits = fits && s.Width() == PW && s.Height() == PH;
  // The floor layers shown come first in the stack.
  size_t floors = 0;
  for (int32_t j = 1; j < Map.Count(); ++j)
    if (!Options.Hidden(j)) ++floors;
  auto rows = [&](const TRect& Part, int32_t PartY, TStackPart Stack) {
    if (fits)
      ComposeRowsFast(Map, Target, Part, int32_t(dx), PartY, Stack);
    else
      ComposeRowsGeneral(stack, floors, Target, Part, int32_t(dx), PartY, Stack);
  };
  if (Options.Props && Options.Props->Touches(src)) {
    rows(src, int32_t(dy), TStackPart::Floors);
    Options.Props->Draw(Target, src, int32_t(dx) - src.Left, int32_t(dy) - src.Top);
    rows(src, int32_t(dy), TStackPart::Upper);
    DrawMapStyle(Map, Target, src, int32_t(dx), int32_t(dy), Options.Style);
  } else {
    // A style is drawn band by band right after each band is composed, while
    // the band's pixels are still in the cache.
    ComposeStyledBands(
        Map, Target, src, int32_t(dx), int32_t(dy), Options.Style,
        [&](const TRect& Part, int32_t PartY) { rows(Part, PartY, TStackPart::All); });
  }
  // Labels, windows and the light preview over everything, labels on top.
  DrawMapObjects(Map, Target, src, int32_t(dx), int32_t(dy), Options);
}

void ComposeMapStretched(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& DestRect,
                         const TRect& MapRect, TResamplerKind Resampler,
                         const TComposeOptions& Options) {
  if (DestRect.IsEmpty() || MapRect.IsEmpty()) return;
  // The map area at 1:1 into a surface of its own, then stretched in one go; the
  // result replaces the destination rectangle, exactly as the map composes onto a
  // blank surface (the shades blend into the alpha channel too, so blending the
  // composed area once more would change it). Parts of MapRect outside the map
  // are transparent.
  TBitmap32 area;
  area.SetSize(MapRect.Width(), MapRect.Height());
  ComposeMap(Map, area, MapRect, 0, 0, Options);
  area.DrawMode = dmOpaque;
  area.Resampler = Resampler;
  Target.DrawSurface(DestRect, TRect{0, 0, area.Width(), area.Height()}, area);
}
