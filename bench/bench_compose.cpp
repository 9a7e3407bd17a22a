// Composition speed on a generated 100 x 100-cell map at chip size 50 with six
// layers (walls, four floors, an object layer), free-hand blobs and doors:
//   Refresh (FastDraw on and off), RedrawAround, and the full 1:1 ComposeMap next
//   to a plain memory copy of the same bytes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench_big_map.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"

namespace {

TMapEditLayerList& SharedMap() {
  static std::unique_ptr<TMapEditLayerList> map = MakeBenchMap();
  return *map;
}

double MapPixels() { return double(kCells * kChip) * double(kCells * kChip); }

void BM_Refresh(benchmark::State& State) {
  TMapEditLayerList& map = SharedMap();
  map.FastDraw = State.range(0) != 0;
  for (auto _ : State) {
    map.Refresh();
    benchmark::ClobberMemory();
  }
  State.counters["MPix/s"] =
      benchmark::Counter(MapPixels() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  map.FastDraw = false;
}
BENCHMARK(BM_Refresh)
    ->ArgName("FastDraw")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_RedrawAround(benchmark::State& State) {
  TMapEditLayerList& map = SharedMap();
  map.FastDraw = State.range(0) != 0;
  // Cells next to a wall, a door and blobs; walk a few of them.
  const TPoint cells[] = {{5, 10}, {11, 14}, {23, 37}, {40, 5}, {66, 71}, {89, 90}};
  size_t i = 0;
  for (auto _ : State) {
    const TPoint c = cells[i++ % std::size(cells)];
    map.RedrawAround(c.X, c.Y);
    benchmark::ClobberMemory();
  }
  map.FastDraw = false;
}
BENCHMARK(BM_RedrawAround)->ArgName("FastDraw")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ComposeMap(benchmark::State& State) {
  TMapEditLayerList& map = SharedMap();
  TBitmap32 target;
  target.SetSize(map.PixelWidth(), map.PixelHeight());
  target.Clear(0);  // its pages in place, as in a view that is drawn again and again
  const TRect all{0, 0, map.PixelWidth(), map.PixelHeight()};
  for (auto _ : State) {
    ComposeMap(map, target, all);
    benchmark::ClobberMemory();
  }
  State.counters["MPix/s"] =
      benchmark::Counter(MapPixels() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ComposeMap)->Unit(benchmark::kMillisecond)->UseRealTime();

// The memory limit for comparison: copying the map's pixels once.
void BM_MemoryCopy(benchmark::State& State) {
  const size_t n = size_t(kCells * kChip) * size_t(kCells * kChip);
  std::vector<TColor32> src(n, 0xFF102030u), dst(n, 0);
  for (auto _ : State) {
    std::memcpy(dst.data(), src.data(), n * sizeof(TColor32));
    benchmark::ClobberMemory();
  }
  State.counters["MPix/s"] =
      benchmark::Counter(MapPixels() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MemoryCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
