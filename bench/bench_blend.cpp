// Blending one 4096 x 4096 layer onto another, in megapixels per second, next to
// a plain copy of the same bytes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "map/raster/bitmap32.h"

namespace {

constexpr int32_t kSide = 4096;

// A layer with the alpha mix of a composed map: mostly transparent or opaque,
// with soft borders in between.
void FillLayer(TBitmap32& B, uint32_t Seed) {
  B.SetSize(kSide, kSide);
  std::mt19937 rng(Seed);
  TColor32* p = B.Bits();
  for (size_t i = 0, n = size_t(kSide) * kSide; i < n; ++i) {
    const uint32_t r = rng();
    const uint32_t kind = r % 4;
    const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : (r >> 8) & 0xFF;
    p[i] = (alpha << 24) | (rng() & 0x00FFFFFFu);
  }
}

void SetRate(benchmark::State& State) {
  const double pixels = double(kSide) * kSide;
  State.counters["MPix"] =
      benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(pixels) * 4);
}

void BM_DrawSurfaceBlend(benchmark::State& State) {
  TBitmap32 src, dst;
  FillLayer(src, 1);
  FillLayer(dst, 2);
  src.DrawMode = dmBlend;
  for (auto _ : State) {
    dst.DrawSurface(0, 0, src);
    benchmark::ClobberMemory();
  }
  SetRate(State);
}
BENCHMARK(BM_DrawSurfaceBlend)->Unit(benchmark::kMillisecond);

void BM_BlendRow(benchmark::State& State) {
  TBitmap32 src, dst;
  FillLayer(src, 3);
  FillLayer(dst, 4);
  for (auto _ : State) {
    BlendRow(src.Bits(), dst.Bits(), size_t(kSide) * kSide);
    benchmark::ClobberMemory();
  }
  SetRate(State);
}
BENCHMARK(BM_BlendRow)->Unit(benchmark::kMillisecond);

// The scalar rule, pixel by pixel, for comparison with the vectorised row.
void BM_BlendPixelScalar(benchmark::State& State) {
  TBitmap32 src, dst;
  FillLayer(src, 5);
  FillLayer(dst, 6);
  for (auto _ : State) {
    const TColor32* s = src.Bits();
    TColor32* d = dst.Bits();
    for (size_t i = 0, n = size_t(kSide) * kSide; i < n; ++i) d[i] = BlendPixel(s[i], d[i]);
    benchmark::ClobberMemory();
  }
  SetRate(State);
}
BENCHMARK(BM_BlendPixelScalar)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& State) {
  TBitmap32 src, dst;
  FillLayer(src, 7);
  dst.SetSize(kSide, kSide);
  for (auto _ : State) {
    std::memcpy(dst.Bits(), src.Bits(), size_t(kSide) * kSide * 4);
    benchmark::ClobberMemory();
  }
  SetRate(State);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace
