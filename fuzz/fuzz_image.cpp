// One image reader, chosen at build time by VC_FUZZ_EXTENSION (".png", ".jpg" or
// ".bmp"). A refused image leaves the surface as it was; an accepted one is within
// the decoding limits.

#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"
#include "record/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TBitmap32 bmp;
  bmp.SetSize(2, 1);
  bmp.Pixel(0, 0) = 0xFF010203u;
  bmp.Pixel(1, 0) = 0x80040506u;
  try {
    DecodeImage(Data, Size, VC_FUZZ_EXTENSION, bmp, "input" VC_FUZZ_EXTENSION);
  } catch (const EImageError&) {
    if (bmp.Width() != 2 || bmp.Height() != 1 || bmp.Pixel(0, 0) != 0xFF010203u ||
        bmp.Pixel(1, 0) != 0x80040506u)
      std::abort();
    return 0;
  }
  if (bmp.Width() <= 0 || bmp.Height() <= 0 ||
      int64_t(bmp.Width()) * bmp.Height() > MaxDecodePixels)
    std::abort();
  // Touch every pixel, so that a surface shorter than its size is caught.
  uint32_t sum = 0;
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x) sum += bmp.Pixel(x, y);
  volatile uint32_t sink = sum;
  (void)sink;
  return 0;
}
