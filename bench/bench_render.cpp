// Image output of the generated 100 x 100-cell map at chip size 50 (5000 x 5000
// pixels): the PNG encoding of the composed picture by the output's row writer
// against libpng at level 9 on the same rows (time and bytes), the whole render
// path from the map file to the PNG, and the peak memory of a render and of an
// open, each measured in a fresh process of this program (counters in MB and in
// bytes per map pixel).

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_big_map.h"
#include "map/codec/chunked_deflate.h"
#include "map/codec/image_band_writer.h"
#include "map/codec/png_row_filter.h"
#include "map/compose/map_composer.h"
#include "map/output/image_output.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

double MapPixels() { return double(kCells * kChip) * double(kCells * kChip); }

// The work folder with the map saved as a file.
const fs::path& WorkFolder() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("vc-bench-render-" + std::to_string(getpid()));
    fs::create_directories(d);
    MakeBenchMap()->SaveToFile((d / "map.qmx").string());
    return d;
  }();
  return dir;
}

// The map composed into one picture.
const TBitmap32& Composed() {
  static const TBitmap32* image = [] {
    std::unique_ptr<TMapEditLayerList> map = MakeBenchMap();
    auto* b = new TBitmap32;
    b->SetSize(map->PixelWidth(), map->PixelHeight());
    b->Clear(0);
    ComposeMap(*map, *b, TRect{0, 0, map->PixelWidth(), map->PixelHeight()});
    return b;
  }();
  return *image;
}

long FileBytes(std::FILE* F) {
  std::fflush(F);
  return std::ftell(F);
}

void BM_PngEncodeRowWriter(benchmark::State& State) {
  const TBitmap32& image = Composed();
  long bytes = 0;
  for (auto _ : State) {
    std::FILE* f = std::tmpfile();
    TPngRowWriter writer(f, image.Width(), image.Height(), "bench.png");
    writer.WriteRows(image, image.Height());
    writer.Finish();
    bytes = FileBytes(f);
    std::fclose(f);
  }
  State.counters["bytes"] = double(bytes);
  State.counters["MPix/s"] =
      benchmark::Counter(MapPixels() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PngEncodeRowWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void WriteToFile(png_structp Png, png_bytep Data, png_size_t N) {
  std::fwrite(Data, 1, N, static_cast<std::FILE*>(png_get_io_ptr(Png)));
}

void BM_PngEncodeLibpngLevel9(benchmark::State& State) {
  const TBitmap32& image = Composed();
  const int32_t w = image.Width(), h = image.Height();
  std::vector<png_byte> row(size_t(w) * 3);
  long bytes = 0;
  for (auto _ : State) {
    std::FILE* f = std::tmpfile();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, f, WriteToFile, nullptr);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < h; ++y) {
      const TColor32* s = image.ScanLine(y);
      for (int32_t x = 0; x < w; ++x) {
        row[size_t(3 * x)] = png_byte(s[x] >> 16);
        row[size_t(3 * x + 1)] = png_byte(s[x] >> 8);
        row[size_t(3 * x + 2)] = png_byte(s[x]);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    bytes = FileBytes(f);
    std::fclose(f);
  }
  State.counters["bytes"] = double(bytes);
  State.counters["MPix/s"] =
      benchmark::Counter(MapPixels() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PngEncodeLibpngLevel9)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// What the command-line render does: open the map, prepare, compose and write.
void RenderFile(const std::string& Map, const std::string& Out) {
  TMapEditLayerList map;
  map.LoadFromFile(Map);
  RenderMapImage(map, TOutputOptions{}, Out);
}

void BM_RenderPath(benchmark::State& State) {
  const fs::path& dir = WorkFolder();
  for (auto _ : State) RenderFile((dir / "map.qmx").string(), (dir / "out.png").string());
  State.counters["bytes"] = double(fs::file_size(dir / "out.png"));
  State.counters["MPix/s"] =
      benchmark::Counter(MapPixels() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RenderPath)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The peak resident memory of this process in KiB (VmHWM), or -1.
long OwnPeakKib() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kib = -1;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  std::fclose(f);
  return kib;
}

// Runs this program again as "--peak-child WHAT MAP OUT" and returns its peak
// resident memory in bytes, which the child writes to OUT.peak: the child's
// rusage would count the memory of this process too, which it was started from.
double ChildPeakBytes(const std::string& What) {
  const fs::path& dir = WorkFolder();
  const std::string map = (dir / "map.qmx").string(), out = (dir / "peak.png").string();
  std::string self = fs::read_symlink("/proc/self/exe").string();
  std::vector<std::string> args = {self, "--peak-child", What, map, out};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  std::FILE* f = std::fopen((out + ".peak").c_str(), "r");
  if (!f) return -1;
  long kib = -1;
  if (std::fscanf(f, "%ld", &kib) != 1) kib = -1;
  std::fclose(f);
  return kib < 0 ? -1 : double(kib) * 1024.0;
}

void PeakMemory(benchmark::State& State, const char* What) {
  double peak = 0;
  for (auto _ : State) peak = ChildPeakBytes(What);
  if (peak < 0) {
    State.SkipWithError("the measuring process failed");
    return;
  }
  State.counters["peak_MB"] = peak / 1e6;
  State.counters["bytes_per_pixel"] = peak / MapPixels();
}
void BM_PeakMemoryRender(benchmark::State& State) { PeakMemory(State, "render"); }
void BM_PeakMemoryOpen(benchmark::State& State) { PeakMemory(State, "open"); }
BENCHMARK(BM_PeakMemoryRender)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_PeakMemoryOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--peak-child") == 0) {
    try {
      if (std::strcmp(argv[2], "render") == 0) {
        RenderFile(argv[3], argv[4]);
      } else {
        TMapEditLayerList map;
        map.LoadFromFile(argv[3]);
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return 1;
    }
    std::FILE* f = std::fopen((std::string(argv[4]) + ".peak").c_str(), "w");
    if (!f) return 1;
    std::fprintf(f, "%ld\n", OwnPeakKib());
    return std::fclose(f) == 0 ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(fs::temp_directory_path() / ("vc-bench-render-" + std::to_string(getpid())));
  return 0;
}

namespace {

// One compressed chunk of the PNG writer: about 1 MB of rows from the middle of
// the composed map, filtered favouring up as the writer does and compressed by
// libdeflate at the writer's level. Textured adds to each pixel the grain of a
// 512-pixel texture tile per floor colour, at the map's coordinates, as the
// texture-filled layers of a real map have (far more literals for the walk).
std::vector<uint8_t> PackedMapRows(bool Textured) {
  const TBitmap32& image = Composed();
  const size_t rowBytes = size_t(image.Width()) * 3;
  const size_t rows = std::max<size_t>(1, (size_t(1) << 20) / rowBytes);
  const int32_t top = (image.Height() - int32_t(rows)) / 2;
  std::vector<uint8_t> rgb(rowBytes * (rows + 1));
  for (size_t r = 0; r <= rows; ++r) {
    const int32_t y = top - 1 + int32_t(r);
    const TColor32* s = image.ScanLine(y);
    for (int32_t x = 0; x < image.Width(); ++x)
      for (int c = 0; c < 3; ++c) {
        int v = int((s[x] >> (16 - 8 * c)) & 0xFF);
        if (Textured) {
          uint32_t h = uint32_t(s[x]) * 0x9E3779B1u ^ uint32_t(x % 512) * 0x85EBCA77u ^
                       uint32_t(y % 512) * 0xC2B2AE3Du ^ uint32_t(c);
          h ^= h >> 15;
          h *= 0x2C1B3C6Du;
          h ^= h >> 12;
          v = std::clamp(v + int(h % 41) - 20, 0, 255);
        }
        rgb[r * rowBytes + size_t(3 * x + c)] = uint8_t(v);
      }
  }
  std::vector<uint8_t> filtered(rows * (rowBytes + 1));
  for (size_t r = 0; r < rows; ++r)
    FilterPngRowFavouringUp(rgb.data() + (r + 1) * rowBytes, rgb.data() + r * rowBytes, rowBytes, 3,
                            filtered.data() + r * (rowBytes + 1));
  libdeflate_compressor* c = libdeflate_alloc_compressor(7);
  std::vector<uint8_t> packed(libdeflate_deflate_compress_bound(c, filtered.size()));
  packed.resize(libdeflate_deflate_compress(c, filtered.data(), filtered.size(), packed.data(),
                                            packed.size()));
  libdeflate_free_compressor(c);
  return packed;
}

// Making such a chunk joinable (argument 0: the plain map, 1: textured). Each
// pass restores the chunk from a copy of its compressed bytes first.
void BM_MakeDeflateJoinable(benchmark::State& State) {
  const std::vector<uint8_t> packed = PackedMapRows(State.range(0) != 0);
  std::vector<uint8_t> chunk;
  chunk.reserve(packed.size() + 8);
  for (auto _ : State) {
    chunk.assign(packed.begin(), packed.end());
    MakeDeflateJoinable(chunk);
    benchmark::DoNotOptimize(chunk.data());
  }
  const size_t rowBytes = size_t(Composed().Width()) * 3;
  const double in = double((size_t(1) << 20) / rowBytes * (rowBytes + 1));
  State.counters["packed_bytes"] = double(packed.size());
  State.counters["MB/s"] =
      benchmark::Counter(in / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MakeDeflateJoinable)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
