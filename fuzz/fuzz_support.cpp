#include "fuzz_support.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"

namespace fs = std::filesystem;

namespace vcfuzz {
namespace {

void Pattern(TBitmap32& bmp, int32_t Size, TColor32 A, TColor32 B) {
  bmp.SetSize(Size, Size);
  for (int32_t y = 0; y < Size; ++y)
    for (int32_t x = 0; x < Size; ++x) bmp.Pixel(x, y) = ((x / 4 + y / 4) % 2) ? A : B;
}

std::string gFolder;

void RemoveFolder() {
  std::error_code ec;
  if (!gFolder.empty()) fs::remove_all(gFolder, ec);
}

}  // namespace

const std::string& ScratchFolder() {
  if (!gFolder.empty()) return gFolder;
  std::string name = (fs::temp_directory_path() / "vellumcraft-fuzz-XXXXXX").string();
  if (!::mkdtemp(name.data())) std::abort();
  gFolder = name;
  std::atexit(RemoveFolder);
  TBitmap32 bmp;
  Pattern(bmp, 64, 0xFF806040u, 0xFF604020u);
  SavePNGFile(bmp, gFolder + "/floor.png");
  Pattern(bmp, 16, 0xFF202020u, 0xFF404040u);
  SaveBmpFile(bmp, gFolder + "/wall.bmp");
  Pattern(bmp, 32, 0xFF909090u, 0xFF707070u);
  SaveJPEGFile(bmp, gFolder + "/stone.jpg");
  return gFolder;
}

}  // namespace vcfuzz
