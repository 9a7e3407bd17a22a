// Painting speed, each operation with its redraw, on a 40 x 40-cell map
// (2000 x 2000 pixels) at chip size 50 with six layers: one chip, one pencil stamp
// of radius 8, a 10 x 10-cell rectangle and a fill of the whole map; and the
// opening of a painting undo record on a 100 x 100-cell map.

#include <benchmark/benchmark.h>

#include <memory>

#include "map/document/map_edit_layer_list.h"
#include "map/undo/undo_history.h"

namespace {

constexpr int32_t kChip = 50;

// Walled rooms of 8 x 8 cells with alternating floors, then a full recompute.
std::unique_ptr<TMapEditLayerList> MakeMap(bool FastDraw) {
  auto map = std::make_unique<TMapEditLayerList>();
  map->SetSize(40, 40, kChip);
  const char* sources[] = {"0", "255", "65280", "16711680", "8421504", "4227327"};
  for (const char* s : sources) map->AddLayer()->SetFileName(s);
  map->Layers(5)->LayerType = mltObject;
  for (int32_t cy = 0; cy < 40; ++cy)
    for (int32_t cx = 0; cx < 40; ++cx) {
      const bool wall = cx % 8 == 0 || cy % 8 == 0;
      const int32_t layer = wall ? 0 : 1 + (cx / 8 + cy / 8) % 4;
      for (int32_t y = cy * kChip; y < (cy + 1) * kChip; ++y)
        for (int32_t x = cx * kChip; x < (cx + 1) * kChip; ++x) map->SetPixelLayer(x, y, layer);
      map->SetCell(cx, cy, 1);
    }
  map->FastDraw = FastDraw;
  map->Refresh();
  return map;
}

void BM_PaintChip(benchmark::State& State) {
  auto map = MakeMap(State.range(0) != 0);
  int32_t layer = 0;
  for (auto _ : State) {
    layer = layer == 2 ? 3 : 2;  // a different layer each time, so it always paints
    map->PaintChip(12, 12, layer);
  }
}
BENCHMARK(BM_PaintChip)->ArgName("FastDraw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PaintCircle(benchmark::State& State) {
  auto map = MakeMap(State.range(0) != 0);
  int32_t layer = 0;
  for (auto _ : State) {
    layer = layer == 2 ? 3 : 2;
    map->PaintCircle(12 * kChip + 25, 12 * kChip + 25, 8, layer);
  }
}
BENCHMARK(BM_PaintCircle)->ArgName("FastDraw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillRectChips(benchmark::State& State) {
  auto map = MakeMap(State.range(0) != 0);
  int32_t layer = 0;
  for (auto _ : State) {
    layer = layer == 2 ? 3 : 2;
    map->FillRectChips(10, 10, 19, 19, layer);
  }
}
BENCHMARK(BM_FillRectChips)->ArgName("FastDraw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FloodFill(benchmark::State& State) {
  auto map = MakeMap(State.range(0) != 0);
  map->PixelGrid().Fill(1);
  map->Refresh();
  int32_t layer = 1;
  for (auto _ : State) {
    layer = layer == 1 ? 2 : 1;  // the whole 2000 x 2000 region each time
    map->FloodFill(1000, 1000, layer);
  }
}
BENCHMARK(BM_FloodFill)->ArgName("FastDraw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PushUndo(benchmark::State& State) {
  TMapEditLayerList map;
  map.SetSize(100, 100, kChip);
  map.PixelGrid().Fill(1);
  TUndoHistory history;
  history.SetUndoLimit(2);
  history.Reset();
  // A painting record starts empty now; it keeps cells as the painting reports them.
  for (auto _ : State) history.PushUndo(map, mutMapRefresh, {}, {}, 0);
}
BENCHMARK(BM_PushUndo)->Unit(benchmark::kMillisecond);

}  // namespace
