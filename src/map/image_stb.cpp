// The general loader: stb_image reads BMP (1, 4, 8, 16, 24 and 32 bits, not RLE),
// GIF (first frame), TGA, PSD (composited), PNM, HDR, PIC, and PNG/JPEG as well.

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
#include <memory>

#include "map/image_codecs.h"
#include "map/image_file.h"
#include "record/errors.h"

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
  CheckDecodeSize(w, h, "image", Name);
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(data, int(Size), &w, &h, &comp, 4), stbi_image_free);
  if (!pixels) {
    const char* why = stbi_failure_reason();
    throw fail(why ? why : "cannot decode");
  }
  CheckDecodeSize(w, h, "image", Name);
  TBitmap32 image;
  image.SetSize(w, h);
  const stbi_uc* s = pixels.get();
  TColor32* d = image.Bits();
  for (size_t i = 0, n = size_t(w) * size_t(h); i < n; ++i, s += 4)
    d[i] = MakeColor(s[0], s[1], s[2], s[3]);
  Dest.TakePixels(image);
}
