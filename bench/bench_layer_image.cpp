// Building a layer's image on a big map: 200 x 200 cells of 50 pixels (10000 x
// 10000 pixels) from a colour number, from a 256 x 256 texture and from a 32 x 32
// chip of it; next to a plain copy of the same number of bytes.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr int32_t kCells = 200;
constexpr int32_t kChip = 50;

// A 256 x 256 texture written once into the temporary folder.
const std::string& TexturePath() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() /
                           ("vellumcraft-bench-" + std::to_string(getpid()) + ".png"))
                              .string();
    TBitmap32 image;
    image.SetSize(256, 256);
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x) image.Pixel(x, y) = MakeColor(uint8_t(x), uint8_t(y), 9);
    SavePNGFile(image, p);
    std::atexit([] { std::filesystem::remove(TexturePath()); });
    return p;
  }();
  return path;
}

void BuildLayer(benchmark::State& State, const std::string& Source) {
  TMapEditLayerList map;
  map.SetSize(kCells, kCells, kChip);
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName(Source);  // the image exists from here on: measure rebuilding
  for (auto _ : State) {
    layer->UpdateImage();
    benchmark::DoNotOptimize(layer->BMP().Bits());
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * map.PixelWidth() * map.PixelHeight() * 4);
}

void BM_ColourLayer(benchmark::State& State) { BuildLayer(State, "8421504"); }
void BM_TextureLayer(benchmark::State& State) { BuildLayer(State, TexturePath()); }
void BM_ChipLayer(benchmark::State& State) { BuildLayer(State, "<64,32,32>" + TexturePath()); }

void BM_PlainCopy(benchmark::State& State) {
  const size_t n = size_t(kCells) * kChip * size_t(kCells) * kChip;
  std::vector<uint32_t> a(n, 1), b(n, 0);
  for (auto _ : State) {
    std::memcpy(b.data(), a.data(), n * 4);
    benchmark::DoNotOptimize(b.data());
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(n) * 4);
}

BENCHMARK(BM_ColourLayer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextureLayer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChipLayer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
