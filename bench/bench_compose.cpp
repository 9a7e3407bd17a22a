// Composition speed on a generated 100 x 100-cell map at chip size 50 with six
// layers (walls, four floors, an object layer), free-hand blobs and doors:
//   Refresh (FastDraw on and off), RedrawAround, and the full 1:1 ComposeMap next
//   to a plain memory copy of the same bytes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr int32_t kCells = 100;
constexpr int32_t kChip = 50;

void PaintCell(TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t Layer) {
  for (int32_t y = CY * kChip; y < (CY + 1) * kChip; ++y) {
    int32_t* row = Map.PixelGrid().Row(y);
    for (int32_t x = CX * kChip; x < (CX + 1) * kChip; ++x) row[x] = Layer;
  }
}

// Rooms of 10 x 10 cells walled in, each with its own floor, openings with doors,
// object cells and free-hand blobs that break cells up.
std::unique_ptr<TMapEditLayerList> MakeMap() {
  auto map = std::make_unique<TMapEditLayerList>();
  map->SetSize(kCells, kCells, kChip);
  const char* sources[] = {"0", "255", "65280", "16711680", "8421504", "4227327"};
  for (const char* s : sources) map->AddLayer()->SetFileName(s);
  map->Layers(5)->LayerType = mltObject;
  std::mt19937 rng(42);
  for (int32_t cy = 0; cy < kCells; ++cy)
    for (int32_t cx = 0; cx < kCells; ++cx) {
      const bool wall = (cx % 10 == 0 || cy % 10 == 0) && !(cx % 10 == 5 || cy % 10 == 5);
      int32_t layer = wall ? 0 : 1 + int32_t(((cx / 10) * 7 + (cy / 10) * 3) % 4);
      if (!wall && rng() % 23 == 0) layer = 5;
      PaintCell(*map, cx, cy, layer);
      map->SetCell(cx, cy, 1);
    }
  std::uniform_int_distribution<int32_t> pos(0, kCells * kChip - 40), lay(0, 5);
  for (int32_t i = 0; i < 1500; ++i) {
    const int32_t x0 = pos(rng), y0 = pos(rng), L = lay(rng);
    for (int32_t y = y0; y < y0 + 30; ++y)
      for (int32_t x = x0; x < x0 + 22; ++x) {
        map->SetPixelLayer(x, y, L);
        map->SetCell(x / kChip, y / kChip, 0);
      }
  }
  TMapEditDoorList& doors = map->Doors();
  for (int32_t r = 0; r < kCells; r += 10)
    for (int32_t c = 5; c < kCells; c += 10) {
      TMapEditHorzDoor* h = doors.HorzDoor().Add();
      h->X = c;
      h->Y = r;
      h->Width = 1;
      h->Color = (c / 10) % 2 ? 0xFFC08040u : 0;
      TMapEditVertDoor* v = doors.VertDoor().Add();
      v->X = r;
      v->Y = c;
      v->Height = 1;
      v->Color = (c / 10) % 2 ? 0 : 0xFF4080C0u;
    }
  for (int32_t i = 0; i < 50; ++i) {
    TMapEditCustomDoor* f = doors.FreeDoor().Add();
    f->X = pos(rng);
    f->Y = pos(rng);
    f->X2 = f->X + 37;
    f->Y2 = f->Y + 11;
    f->Color = 0xFFFFFFFFu;
  }
  doors.HorzDoor().Sort();
  doors.VertDoor().Sort();
  doors.RebuildDoorBitmap();
  map->Refresh();
  return map;
}

TMapEditLayerList& SharedMap() {
  static std::unique_ptr<TMapEditLayerList> map = MakeMap();
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
