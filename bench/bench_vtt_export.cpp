// Universal VTT geometry on a generated 100 x 100-cell map at chip size 50
// (5000 x 5000 pixels): walled rooms with doorways and doors, object cells and
// free-hand blobs. Measures the whole scene (tracing, simplification, door
// openings) and the outline tracing and simplification of the walls alone.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "map/document/map_edit_layer_list.h"
#include "map/output/outline_trace.h"
#include "map/output/vtt_export.h"

namespace {

constexpr int32_t kCells = 100;
constexpr int32_t kChip = 50;

std::unique_ptr<TMapEditLayerList> MakeMap() {
  auto map = std::make_unique<TMapEditLayerList>();
  map->SetSize(kCells, kCells, kChip);
  for (const char* s : {"0", "255", "65280", "8421504"}) map->AddLayer()->SetFileName(s);
  map->Layers(3)->LayerType = mltObject;
  std::mt19937 rng(7);
  for (int32_t cy = 0; cy < kCells; ++cy)
    for (int32_t cx = 0; cx < kCells; ++cx) {
      const bool wall = (cx % 10 == 0 || cy % 10 == 0) && !(cx % 10 == 5 || cy % 10 == 5);
      int32_t layer = wall ? 0 : 1 + (cx / 10 + cy / 10) % 2;
      if (!wall && rng() % 23 == 0) layer = 3;
      for (int32_t y = cy * kChip; y < (cy + 1) * kChip; ++y)
        for (int32_t x = cx * kChip; x < (cx + 1) * kChip; ++x) map->SetPixelLayer(x, y, layer);
    }
  // Free-hand wall blobs and strokes that make long stairs.
  std::uniform_int_distribution<int32_t> pos(40, kCells * kChip - 40);
  for (int32_t i = 0; i < 300; ++i) {
    const int32_t x0 = pos(rng), y0 = pos(rng);
    for (int32_t k = 0; k < 60; ++k) map->PaintCircle(x0 + k, y0 + k * 2 / 3, 5, 0);
  }
  TMapEditDoorList& doors = map->Doors();
  for (int32_t r = 0; r < kCells; r += 10)
    for (int32_t c = 5; c < kCells; c += 10) {
      TMapEditHorzDoor* h = doors.HorzDoor().Add();
      h->X = c;
      h->Y = r;
      h->Width = 1;
      TMapEditVertDoor* v = doors.VertDoor().Add();
      v->X = r;
      v->Y = c;
      v->Height = 1;
    }
  return map;
}

TMapEditLayerList& Map() {
  static std::unique_ptr<TMapEditLayerList> map = MakeMap();
  return *map;
}

void BM_BuildVttScene(benchmark::State& State) {
  TMapEditLayerList& map = Map();
  size_t points = 0;
  for (auto _ : State) {
    TVttScene scene = BuildVttScene(map);
    points = 0;
    for (const TVttPolyline& l : scene.Walls) points += l.size();
    benchmark::DoNotOptimize(scene);
  }
  State.counters["wall_points"] = double(points);
  State.counters["Mpixel/s"] = benchmark::Counter(
      double(map.PixelWidth()) * map.PixelHeight() * double(State.iterations()) / 1e6,
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BuildVttScene)->Unit(benchmark::kMillisecond);

void BM_TraceAndSimplifyWalls(benchmark::State& State) {
  TMapEditLayerList& map = Map();
  TGrid2D<TOutlineClass> walls;
  walls.Reset(map.PixelWidth(), map.PixelHeight());
  for (int32_t y = 0; y < map.PixelHeight(); ++y)
    for (int32_t x = 0; x < map.PixelWidth(); ++x)
      if (map.PixelLayers(x, y) == 0) walls.At(x, y) = TOutlineClass::Inside;
  size_t corners = 0;
  for (auto _ : State) {
    corners = 0;
    for (const TPixelOutline& o : TraceOutlines(walls)) {
      corners += o.Points.size();
      benchmark::DoNotOptimize(SimplifyOutline(o, 0.5));
    }
  }
  State.counters["traced_corners"] = double(corners);
}
BENCHMARK(BM_TraceAndSimplifyWalls)->Unit(benchmark::kMillisecond);

}  // namespace
