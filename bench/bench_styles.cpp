// The map styles against the plain composition of the same area: a 40 x 40-cell
// dungeon at chip size 50 (2000 x 2000 pixels) with rooms and corridors, composed
// whole at 1:1, plain and with each style on its own and all together.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr int32_t kCells = 40;
constexpr int32_t kChip = 50;

void PaintRect(TMapEditLayerList& Map, int32_t X0, int32_t Y0, int32_t X1, int32_t Y1,
               int32_t Layer) {
  for (int32_t y = Y0 * kChip; y < Y1 * kChip; ++y)
    for (int32_t x = X0 * kChip; x < X1 * kChip; ++x) Map.SetPixelLayer(x, y, Layer);
}

// Rooms of 3 to 8 cells a side joined by corridors one cell wide, on two floor
// textures, the rest wall; a few free-hand pillars break the rooms up.
std::unique_ptr<TMapEditLayerList> MakeDungeon() {
  auto map = std::make_unique<TMapEditLayerList>();
  map->SetSize(kCells, kCells, kChip);
  for (const char* s : {"4210752", "8421504", "4227327"}) map->AddLayer()->SetFileName(s);
  std::mt19937 rng(7);
  int32_t px = -1, py = -1;
  for (int32_t i = 0; i < 18; ++i) {
    const int32_t w = 3 + int32_t(rng() % 6), h = 3 + int32_t(rng() % 6);
    const int32_t x = 1 + int32_t(rng() % uint32_t(kCells - w - 2));
    const int32_t y = 1 + int32_t(rng() % uint32_t(kCells - h - 2));
    PaintRect(*map, x, y, x + w, y + h, 1 + i % 2);
    const int32_t cx = x + w / 2, cy = y + h / 2;
    if (px >= 0) {
      PaintRect(*map, std::min(px, cx), py, std::max(px, cx) + 1, py + 1, 1);
      PaintRect(*map, cx, std::min(py, cy), cx + 1, std::max(py, cy) + 1, 1);
    }
    px = cx, py = cy;
  }
  // Painted in whole cells, as the chip tools do.
  for (int32_t cy = 0; cy < kCells; ++cy)
    for (int32_t cx = 0; cx < kCells; ++cx) map->SetCell(cx, cy, 1);
  for (int32_t i = 0; i < 40; ++i) {
    const int32_t x0 = int32_t(rng() % 1900), y0 = int32_t(rng() % 1900);
    for (int32_t y = y0; y < y0 + 20; ++y)
      for (int32_t x = x0; x < x0 + 20; ++x) {
        map->SetPixelLayer(x, y, 0);
        map->SetCell(x / kChip, y / kChip, 0);
      }
  }
  map->Refresh();
  return map;
}

const TMapEditLayerList& Dungeon() {
  static const std::unique_ptr<TMapEditLayerList> map = MakeDungeon();
  return *map;
}

void Compose(benchmark::State& State, const TMapStyleOptions& Style) {
  const TMapEditLayerList& map = Dungeon();
  TBitmap32 target;
  target.SetSize(map.PixelWidth(), map.PixelHeight());
  TComposeOptions o;
  o.Style = Style;
  for (auto _ : State) {
    ComposeMap(map, target, TRect{0, 0, map.PixelWidth(), map.PixelHeight()}, 0, 0, o);
    benchmark::DoNotOptimize(target.Bits());
  }
  State.SetItemsProcessed(State.iterations() * int64_t(map.PixelWidth()) * map.PixelHeight());
}

void BM_StylePlain(benchmark::State& State) { Compose(State, {}); }
void BM_StyleHatching(benchmark::State& State) {
  TMapStyleOptions s;
  s.Hatching.Enabled = true;
  s.Hatching.Distance = 24;
  Compose(State, s);
}
void BM_StyleShadow(benchmark::State& State) {
  TMapStyleOptions s;
  s.Shadow = {true, 45, 14, 6, 110};
  Compose(State, s);
}
void BM_StyleOutline(benchmark::State& State) {
  TMapStyleOptions s;
  s.Outline = {true, 3, 1, 0xFF000000u, 1};
  Compose(State, s);
}
void BM_StyleInkSaving(benchmark::State& State) {
  TMapStyleOptions s;
  s.InkSaving = {true, TInkWalls::Grey};
  Compose(State, s);
}
void BM_StyleAll(benchmark::State& State) {
  TMapStyleOptions s;
  s.Hatching.Distance = 24;
  s.Shadow = {true, 45, 14, 6, 110};
  s.Outline = {true, 3, 1, 0xFF000000u, 1};
  s.InkSaving = {true, TInkWalls::Hatching};
  Compose(State, s);
}

BENCHMARK(BM_StylePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyleHatching)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyleShadow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyleOutline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyleInkSaving)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyleAll)->Unit(benchmark::kMillisecond);

}  // namespace
