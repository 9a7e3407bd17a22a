// Props in the composition, on a 100 x 100-cell map at chip size 50 (walls around
// rooms of 10 x 10 cells, two floors) furnished with 2,000 props from the shipped
// pack, turned and scaled at random, a quarter with drop shadows:
//   the view's 1:1 composition of a 1920 x 1080 window with and without the props,
//   the redraw after moving a 2 x 2-cell prop (its old and new areas), and the
//   scene rebuilt for all props after an edit.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "map/base/asset_index.h"
#include "map/codec/image_file.h"
#include "map/compose/map_composer.h"
#include "map/compose/prop_scene.h"
#include "map/document/map_edit_layer_list.h"

#ifndef VC_ASSET_DIR
#error "VC_ASSET_DIR must name the shipped asset folder"
#endif

namespace {

constexpr int32_t kCells = 100, kChip = 50, kProps = 2000;
const TRect kView{1000, 1000, 1000 + 1920, 1000 + 1080};

struct TFixture {
  TMapEditLayerList Map;
  TAssetIndex Assets{{VC_ASSET_DIR}};
  std::vector<TPropItem> Items;
  TPropScene Scene;
  TFixture() {
    Map.SetSize(kCells, kCells, kChip);
    for (const char* s : {"4210752", "8421504", "4227327"}) Map.AddLayer()->SetFileName(s);
    for (int32_t y = 0; y < kCells * kChip; ++y) {
      int32_t* row = Map.PixelGrid().Row(y);
      const int32_t cy = y / kChip;
      for (int32_t x = 0; x < kCells * kChip; ++x) {
        const int32_t cx = x / kChip;
        const bool wall = (cx % 10 == 0 || cy % 10 == 0) && cx % 10 != 5 && cy % 10 != 5;
        row[x] = wall ? 0 : 1 + ((cx / 10 + cy / 10) % 2);
      }
    }
    for (int32_t cy = 0; cy < kCells; ++cy)
      for (int32_t cx = 0; cx < kCells; ++cx) Map.SetCell(cx, cy, 1);
    Map.Refresh();
    std::mt19937 rng(5);
    const auto& entries = Assets.Entries();
    std::uniform_real_distribution<double> pos(0, kCells * kChip), turn(0, 360), size(0.7, 1.3);
    for (int32_t i = 0; i < kProps; ++i) {
      TPropItem p;
      p.Id = uint64_t(i + 1);
      p.Path = entries[size_t(rng()) % entries.size()].Path;
      p.Transform.CenterX = pos(rng), p.Transform.CenterY = pos(rng);
      p.Transform.Rotation = turn(rng);
      p.Transform.Scale = size(rng) * kChip / 256.0;
      p.Transform.Mirror = i % 3 == 0;
      p.Shadow.On = i % 4 == 0;
      p.Shadow.OffsetX = 4, p.Shadow.OffsetY = 4, p.Shadow.Softness = 4, p.Shadow.Opacity = 110;
      Items.push_back(p);
    }
    Scene.SetResolver([this](const std::string& P) { return Assets.Resolve(P); });
    Scene.SetItems(Items);
  }
};

TFixture& Shared() {
  static std::unique_ptr<TFixture> f = std::make_unique<TFixture>();
  return *f;
}

void BM_ViewWithProps(benchmark::State& State) {
  TFixture& f = Shared();
  TComposeOptions opts;
  if (State.range(0)) opts.Props = &f.Scene;
  TBitmap32 target;
  target.SetSize(kView.Width(), kView.Height());
  int32_t inView = 0;
  for (size_t i = 0; i < f.Items.size(); ++i)
    inView += !IntersectRect(f.Scene.Bounds(i), kView).IsEmpty();
  for (auto _ : State) {
    ComposeMap(f.Map, target, kView, 0, 0, opts);
    benchmark::ClobberMemory();
  }
  State.counters["props_in_view"] = State.range(0) ? inView : 0;
  State.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ViewWithProps)
    ->ArgName("props")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Moving a 2 x 2-cell prop by a few pixels: the scene takes the new place and the
// view composes the old and the new area.
void BM_MovePropRedraw(benchmark::State& State) {
  TFixture& f = Shared();
  TComposeOptions opts;
  opts.Props = &f.Scene;
  TPropItem moved = f.Items[0];
  moved.Path = "furniture/table_round.png";  // 512 x 512: 2 x 2 cells
  moved.Shadow.On = true;
  moved.Transform.Scale = kChip / 256.0;
  moved.Transform.CenterX = 1500, moved.Transform.CenterY = 1500;
  f.Scene.SetItem(0, moved);
  TBitmap32 target;
  target.SetSize(kView.Width(), kView.Height());
  int32_t step = 0;
  for (auto _ : State) {
    const TRect before = f.Scene.Bounds(0);
    moved.Transform.CenterX = 1500 + (++step % 2) * 3;
    f.Scene.SetItem(0, moved);
    const TRect after = f.Scene.Bounds(0);
    for (const TRect& r : {before, after})
      ComposeMap(f.Map, target, r, r.Left - kView.Left, r.Top - kView.Top, opts);
    benchmark::ClobberMemory();
  }
  f.Scene.SetItems(f.Items);
}
BENCHMARK(BM_MovePropRedraw)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SceneRebuild(benchmark::State& State) {
  TFixture& f = Shared();
  for (auto _ : State) {
    f.Scene.SetItems(f.Items);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SceneRebuild)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

// One prop of the pack, one cell large at chip 50, turned by 30 degrees, drawn
// whole: the cost of the drawing routine itself, with and without its shadow.
void BM_DrawOneProp(benchmark::State& State) {
  TFixture& f = Shared();
  TBitmap32 image;
  TBitmap32 target;
  target.SetSize(200, 200);
  target.Clear(0xFF404040);
  const TPropImage prop(
      [&]() -> const TBitmap32& {
        LoadImageFile(f.Assets.Resolve("storage/barrel.png").string(), image);
        return image;
      }(),
      kChip / 256.0);
  TPropTransform t;
  t.CenterX = 100, t.CenterY = 100, t.Rotation = 30, t.Scale = kChip / 256.0;
  TPropShadow s;
  s.On = State.range(0) != 0, s.OffsetX = 4, s.OffsetY = 4, s.Softness = 4;
  for (auto _ : State) {
    DrawProp(prop, t, s, target, TRect{0, 0, 200, 200});
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawOneProp)->ArgName("shadow")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
