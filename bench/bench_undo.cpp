// Undo records on a 200 x 200-cell map at chip size 50 (10000 x 10000 pixels):
// the memory 100 pencil strokes of 3 x 3 cells keep (counter "undo_MB"), and the
// time one such stroke's record costs: opened, told about the nine cells it
// changes (as the painting does), closed; and the first stroke on a freshly made
// map with coloured floors, redraw and record included, which once stalled for
// seconds while the whole grid was copied.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/undo/undo_history.h"

namespace {

constexpr int32_t kCells = 200;
constexpr int32_t kChip = 50;

// The map's grids only: layers without a source hold no image, so the benchmark
// measures the records, not the pictures.
void MakeMap(TMapEditSession& S) {
  S.New(kCells, kCells, kChip, nullptr);
  S.AddLayer(1, "floor", "", mltGround, TBadLayerSource::Revert);
  S.History().Reset();
}

void BM_UndoMemoryOf100Strokes(benchmark::State& State) {
  double megabytes = 0;
  for (auto _ : State) {
    State.PauseTiming();
    TMapEditSession s(100);
    MakeMap(s);
    State.ResumeTiming();
    TEditTools chip;
    for (int32_t i = 0; i < 100; ++i) {
      // A pencil stroke over a 3 x 3 block of cells, row by row.
      const int32_t x0 = (i % 60) * 3 * kChip + kChip / 2, y0 = (i / 60) * 3 * kChip + kChip / 2;
      s.BeginStroke(chip, 1, x0, y0);
      for (int32_t k = 1; k < 9; ++k)
        s.ContinueStroke(chip, 1, x0 + (k % 3) * kChip, y0 + (k / 3) * kChip);
      s.EndStroke();
    }
    s.History().CloseOpenRecord();
    megabytes = double(s.History().MemoryBytes()) / (1024.0 * 1024.0);
  }
  State.counters["undo_MB"] = megabytes;
}
BENCHMARK(BM_UndoMemoryOf100Strokes)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_UndoRecordOf3x3Stroke(benchmark::State& State) {
  TMapEditSession s(100);
  MakeMap(s);
  TMapEditLayerList& map = s.Map();
  TUndoHistory& history = s.History();
  int32_t i = 0;
  for (auto _ : State) {
    const int32_t cx = (i % 60) * 3, cy = (i / 60 % 60) * 3;
    ++i;
    history.PushUndo(map, mutMapRefresh, {}, {}, 0);
    for (int32_t k = 0; k < 9; ++k) {
      const int32_t x = (cx + k % 3) * kChip, y = (cy + k / 3) * kChip;
      map.NotePixelsChanging(x, y, x + kChip - 1, y + kChip - 1);
    }
    history.CloseOpenRecord();
  }
}
BENCHMARK(BM_UndoRecordOf3x3Stroke)->Unit(benchmark::kMicrosecond);

void BM_FirstStrokeOnAFreshMap(benchmark::State& State) {
  for (auto _ : State) {
    State.PauseTiming();
    auto s = std::make_unique<TMapEditSession>(100);
    s->New(kCells, kCells, kChip, nullptr);
    s->AddLayer(1, "stone", "8421504", mltGround, TBadLayerSource::Revert);
    s->AddLayer(2, "moss", "4227327", mltGround, TBadLayerSource::Revert);
    s->History().Reset();
    TEditTools chip;
    const int32_t x0 = 100 * kChip + kChip / 2, y0 = x0;
    State.ResumeTiming();
    s->BeginStroke(chip, 2, x0, y0);
    for (int32_t k = 1; k < 9; ++k)
      s->ContinueStroke(chip, 2, x0 + (k % 3) * kChip, y0 + (k / 3) * kChip);
    s->EndStroke();
    s->History().CloseOpenRecord();
    State.PauseTiming();
    s.reset();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_FirstStrokeOnAFreshMap)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
