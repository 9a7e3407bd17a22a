#include "support/rgba_png.h"

#include <png.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "map/codec/image_file.h"

namespace vctest {

void WriteRgbaPng(const std::string& Path, const TBitmap32& Image) {
  FILE* f = std::fopen(Path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + Path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row(size_t(Image.Width()) * 4);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    throw std::runtime_error("cannot encode " + Path);
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(Image.Width()), png_uint_32(Image.Height()), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < Image.Height(); ++y) {
    for (int32_t x = 0; x < Image.Width(); ++x) {
      const TColor32 c = Image.Pixel(x, y);
      row[size_t(x) * 4 + 0] = png_byte(c >> 16);
      row[size_t(x) * 4 + 1] = png_byte(c >> 8);
      row[size_t(x) * 4 + 2] = png_byte(c);
      row[size_t(x) * 4 + 3] = png_byte(c >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
}

void WriteSolidPng(const std::filesystem::path& Path, uint32_t Color) {
  std::filesystem::create_directories(Path.parent_path());
  TBitmap32 image;
  image.SetSize(4, 4);
  image.Clear(Color);
  SavePNGFile(image, Path.string());
}

}  // namespace vctest
