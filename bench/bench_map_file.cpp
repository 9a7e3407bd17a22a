// Saving and loading a map of 100 x 100 cells at chip size 50 (5000 x 5000 pixels),
// in bytes of map text per second, next to zlib alone compressing and
// decompressing the same text. The load is measured without its final Refresh,
// which is measured on its own. Its layer images (five solid colours of 100 MB
// each, built on a second thread while the rows are read) are measured on their
// own as well, and the load of the same map with layers that have no image shows
// what the file format itself costs. The save to a file adds the read-back check
// and the disk; the check is measured on its own too.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/map_file_check.h"

namespace {

constexpr int32_t kCells = 100;
constexpr int32_t kChip = 50;

// Four floors painted in patches of cells, with free-hand strokes across them and
// a few doors. WithImages false leaves the layers without an image source.
TMapEditLayerList* MakeSampleMap(bool WithImages) {
  auto* m = new TMapEditLayerList;
  m->SetSize(kCells, kCells, kChip);
  const char* colours[] = {"0", "8421504", "32768", "10526880", "4210816"};
  for (const char* c : colours) {
    TMapEditLayer* layer = m->AddLayer();
    layer->LayerName = std::string("layer ") + c;
    layer->LayerType = mltGround;
    layer->SetFileName(WithImages ? c : "");
  }
  for (int32_t y = 0; y < m->PixelHeight(); ++y)
    for (int32_t x = 0; x < m->PixelWidth(); ++x) {
      int32_t layer = ((x / kChip / 3) * 7 + (y / kChip / 2) * 3) % 5;
      if ((x + 2 * y) % 397 < 9) layer = 1 + (x / 97) % 4;  // strokes
      m->SetPixelLayer(x, y, layer);
    }
  for (int32_t i = 0; i < kCells; ++i) {
    m->SetCell(i, i, 1);
    TMapEditHorzDoor* d = m->Doors().HorzDoor().Add();
    d->X = i, d->Y = i, d->Color = 0xFF804020u, d->Width = 1;
  }
  return m;
}

TMapEditLayerList& SampleMap() {
  static TMapEditLayerList* map = MakeSampleMap(true);
  return *map;
}

const std::string& SampleText() {
  static const std::string text = BuildMapText(SampleMap());
  return text;
}

const std::string& SampleFile() {
  static const std::string file = BuildMapFile(SampleMap());
  return file;
}

void BM_SaveMap(benchmark::State& State) {
  const TMapEditLayerList& map = SampleMap();
  for (auto _ : State) benchmark::DoNotOptimize(BuildMapFile(map));
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(SampleText().size()));
}

void BM_ZlibCompressOnly(benchmark::State& State) {
  const std::string& text = SampleText();
  std::string out(compressBound(uLong(text.size())), '\0');
  for (auto _ : State) {
    uLongf size = uLongf(out.size());
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()),
              Z_DEFAULT_COMPRESSION);
    benchmark::DoNotOptimize(size);
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(text.size()));
}

// Loads File again and again without the final Refresh, counted in bytes of the
// sample map's text.
void LoadRepeatedly(benchmark::State& State, const std::string& File) {
  TMapEditLayerList map;
  for (auto _ : State) {
    TMapLoadReport report;
    LoadMapFromBytes(map, File, "", report, false);
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(SampleText().size()));
}

void BM_LoadMapWithoutRefresh(benchmark::State& State) { LoadRepeatedly(State, SampleFile()); }

void BM_LoadMapWithoutLayerImages(benchmark::State& State) {
  static const std::string file = [] {
    std::unique_ptr<TMapEditLayerList> map(MakeSampleMap(false));
    return BuildMapFile(*map);
  }();
  LoadRepeatedly(State, file);
}

// The five layer images of the sample map built anew, as a load builds them.
void BM_LayerImages(benchmark::State& State) {
  const TMapEditLayerList& sample = SampleMap();
  for (auto _ : State) {
    TMapEditLayerList map;
    map.SetSize(kCells, kCells, kChip);
    for (int32_t i = 0; i < sample.Count(); ++i)
      map.AddLayer()->SetFileName(sample.Layers(i)->FileName());
    benchmark::DoNotOptimize(map.Layers(0)->BMP().Bits());
  }
}

void BM_ZlibDecompressOnly(benchmark::State& State) {
  const std::string& file = SampleFile();
  std::string out(SampleText().size(), '\0');
  for (auto _ : State) {
    uLongf size = uLongf(out.size());
    uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
               reinterpret_cast<const Bytef*>(file.data()), uLong(file.size()));
    benchmark::DoNotOptimize(size);
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(SampleText().size()));
}

void BM_RefreshAfterLoad(benchmark::State& State) {
  TMapEditLayerList map;
  TMapLoadReport report;
  LoadMapFromBytes(map, SampleFile(), "", report, false);
  for (auto _ : State) {
    map.Doors().RebuildDoorBitmap();
    map.Refresh();
  }
}

// The whole save to a file: compressed into the temporary file, read back and
// checked, the backup made, renamed, flushed.
void BM_SaveMapToFile(benchmark::State& State) {
  const TMapEditLayerList& map = SampleMap();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vellumcraft-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "sample.qmx").string();
  for (auto _ : State) map.SaveToFile(path);
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(SampleText().size()));
  std::filesystem::remove_all(folder);
}

// The read-back check alone, on the file a save writes.
void BM_CheckWrittenMap(benchmark::State& State) {
  const TMapEditLayerList& map = SampleMap();
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("vellumcraft-bench-" + std::to_string(::getpid()) + ".qmx");
  {
    std::ofstream out(file, std::ios::binary);
    out << SampleFile();
  }
  for (auto _ : State) CheckWrittenMapFile(file.string(), map, "sample.qmx");
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(SampleText().size()));
  std::filesystem::remove(file);
}

}  // namespace

BENCHMARK(BM_SaveMapToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckWrittenMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibCompressOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMapWithoutRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMapWithoutLayerImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayerImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDecompressOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshAfterLoad)->Unit(benchmark::kMillisecond);
