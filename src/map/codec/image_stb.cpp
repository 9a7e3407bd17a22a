// The general loader: stb_image reads BMP (1, 4, 8, 16, 24 and 32 bits, not RLE),
// GIF (first frame) and TGA. Its other readers (PSD, PNM, HDR, PIC) are left out:
// fuzzing found memory errors in its PNM reader, and no texture needs them. PNG
// and JPEG have readers of their own.

#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <climits>
#include <cstdlib>
#include <memory>

#include "map/codec/image_codecs.h"
#include "map/codec/image_file.h"
#include "record/errors.h"

namespace {

uint32_t ReadLE(const uint8_t* P, int N) {
  uint32_t v = 0;
  for (int i = N - 1; i >= 0; --i) v = v << 8 | P[i];
  return v;
}

// The general loader pads a Windows bitmap whose pixel data ends early with
// zeros; a cut-off file is refused here instead.
void CheckBitmapLength(const uint8_t* Data, size_t Size, const std::string& Name) {
  auto fail = [&]() {
    return EImageError("\"" + Name + "\" is not a valid BMP image: the file is truncated");
  };
  if (Size < 26) throw fail();
  const uint32_t offset = ReadLE(Data + 10, 4), headerSize = ReadLE(Data + 14, 4);
  int64_t w = 0, h = 0, bits = 0, compression = 0;
  if (headerSize == 12) {
    w = ReadLE(Data + 18, 2);
    h = ReadLE(Data + 20, 2);
    bits = ReadLE(Data + 24, 2);
  } else {
    if (Size < 34) throw fail();
    w = int32_t(ReadLE(Data + 18, 4));
    h = int32_t(ReadLE(Data + 22, 4));
    bits = ReadLE(Data + 28, 2);
    compression = ReadLE(Data + 30, 4);
  }
  // The general loader takes a compression number it does not know (it reads it
  // as a signed number) for an uncompressed layout; no such bitmap exists.
  if (compression > 6)
    throw EImageError("\"" + Name + "\" is not a valid BMP image: unknown compression " +
                      std::to_string(compression));
  // Only uncompressed layouts have a fixed length (RLE is not read anyway).
  if (compression != 0 && compression != 3 && compression != 6) return;
  // Sizes the general loader itself refuses; kept out of the arithmetic below.
  if (bits <= 0 || bits > 32 || std::abs(w) * std::abs(h) > MaxDecodePixels) return;
  const int64_t stride = (std::abs(w) * bits + 31) / 32 * 4;
  if (int64_t(offset) + stride * std::abs(h) > int64_t(Size)) throw fail();
}

}  // namespace

void DecodeGeneral(const uint8_t* Data, size_t Size, TBitmap32& Dest, const std::string& Name) {
  auto fail = [&](const std::string& reason) {
    return EImageError("\"" + Name + "\" is not a valid image: " + reason);
  };
  if (Size == 0) throw fail("the file is empty");
  if (Size > size_t(INT_MAX)) throw fail("the file is too large");
  int w = 0, h = 0, comp = 0;
  const auto* data = reinterpret_cast<const stbi_uc*>(Data);
  if (!stbi_info_from_memory(data, int(Size), &w, &h, &comp)) {
    const char* why = stbi_failure_reason();
    throw fail(why ? why : "unknown image format");
  }
  CheckDecodeSize(std::abs(int64_t(w)), std::abs(int64_t(h)), "", Name);
  if (Size >= 2 && Data[0] == 'B' && Data[1] == 'M') CheckBitmapLength(Data, Size, Name);
  // The general loader fills whatever data is missing with zeros, so a header of a
  // few bytes could make it build millions of pixels. No format it reads packs more
  // than a few thousand pixels into a byte (GIF's LZW at best); a file shorter
  // than that is cut off.
  // (The general loader reports a top-down bitmap's height as negative.)
  if (std::abs(int64_t(w)) * std::abs(int64_t(h)) / 4096 > int64_t(Size))
    throw fail("the file is too short for its size");
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(data, int(Size), &w, &h, &comp, 4), stbi_image_free);
  if (!pixels) {
    const char* why = stbi_failure_reason();
    throw fail(why ? why : "cannot decode");
  }
  CheckDecodeSize(w, h, "", Name);
  TBitmap32 image;
  image.SetSize(w, h);
  const stbi_uc* s = pixels.get();
  TColor32* d = image.Bits();
  for (size_t i = 0, n = size_t(w) * size_t(h); i < n; ++i, s += 4)
    d[i] = MakeColor(s[0], s[1], s[2], s[3]);
  Dest.TakePixels(image);
}
