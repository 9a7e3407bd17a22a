#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "map/codec/image_band_writer.h"
#include "map/codec/image_file.h"
#include "map/raster/bitmap32.h"
#include "record/errors.h"
#include "support/test_support.h"

using vctest::ReadFileBytes;
using vctest::TempDir;

namespace {

// A picture like a map's: a repeating texture, hard edges, soft dark borders and a
// little noise, with alpha that the PNG must drop.
void MakeMapLikeImage(TBitmap32& b, int32_t W, int32_t H) {
  b.SetSize(W, H);
  uint32_t noise = 1;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      noise = noise * 1103515245u + 12345u;
      const uint32_t tx = uint32_t(x % 50), ty = uint32_t(y % 50);
      uint32_t r = 120 + (tx * 3 + ty) % 40, g = 90 + (tx ^ ty) % 30, bl = 60 + (noise >> 29);
      if ((x / 250 + y / 250) % 3 == 0) r = g = bl = 0;  // walls
      const uint32_t edge = uint32_t(std::min(x % 250, y % 250));
      if (edge < 20) r = r * edge / 20, g = g * edge / 20;
      b.Pixel(x, y) = TColor32(((x + y) & 1) ? 0x7F : 0xFF) << 24 | r << 16 | g << 8 | bl;
    }
}

uint32_t BigEndian(const std::string& S, size_t At) {
  return uint32_t(uint8_t(S[At])) << 24 | uint32_t(uint8_t(S[At + 1])) << 16 |
         uint32_t(uint8_t(S[At + 2])) << 8 | uint32_t(uint8_t(S[At + 3]));
}

// The image data of a PNG file: its IDAT chunks joined.
std::string IdatOf(const std::string& Png) {
  std::string z;
  for (size_t at = 8; at + 8 <= Png.size();) {
    const uint32_t n = BigEndian(Png, at);
    if (Png.compare(at + 4, 4, "IDAT") == 0) z += Png.substr(at + 8, n);
    at += 12 + n;
  }
  return z;
}

// The same image through libpng at compression level 9 with its default filters.
size_t LibpngLevel9Size(const TBitmap32& B) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row(size_t(B.Width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return 0;
  }
  png_set_write_fn(
      png, &out,
      [](png_structp P, png_bytep D, png_size_t N) {
        static_cast<std::string*>(png_get_io_ptr(P))->append(reinterpret_cast<char*>(D), N);
      },
      nullptr);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, png_uint_32(B.Width()), png_uint_32(B.Height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < B.Height(); ++y) {
    for (int32_t x = 0; x < B.Width(); ++x) {
      const TColor32 p = B.Pixel(x, y);
      row[size_t(3 * x)] = png_byte(p >> 16);
      row[size_t(3 * x + 1)] = png_byte(p >> 8);
      row[size_t(3 * x + 2)] = png_byte(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out.size();
}

}  // namespace

TEST(PngWriter, BandsSpanningSeveralChunksGiveTheSamePixelsAsSmallAsLibpng) {
  // 2000 x 760: the filtered rows fill one compression chunk of about 4 MiB and
  // part of a second.
  TBitmap32 image;
  MakeMapLikeImage(image, 2000, 760);
  TempDir dir;
  const std::string path = dir.File("map.png");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  {
    TPngRowWriter writer(f, image.Width(), image.Height(), path, 254);
    // Bands of uneven heights, the last one shorter than its bitmap.
    TBitmap32 band;
    band.SetSize(image.Width(), 400);
    int32_t y = 0;
    for (int32_t rows : {7, 400, 300, 53}) {
      for (int32_t r = 0; r < rows; ++r)
        std::copy(image.ScanLine(y + r), image.ScanLine(y + r) + image.Width(), band.ScanLine(r));
      writer.WriteRows(band, rows);
      y += rows;
    }
    writer.Finish();
  }
  std::fclose(f);

  const std::string png = ReadFileBytes(path);
  ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  ASSERT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian(png, 16), 2000u);
  EXPECT_EQ(BigEndian(png, 20), 760u);
  // Depth 8, truecolour, deflate, adaptive filters, not interlaced.
  EXPECT_EQ(png.substr(24, 5), std::string("\x08\x02\x00\x00\x00", 5));
  // 254 dpi is 10000 pixels per metre.
  const size_t phys = png.find("pHYs");
  ASSERT_NE(phys, std::string::npos);
  EXPECT_EQ(BigEndian(png, phys + 4), 10000u);
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));

  // One zlib stream of filtered rows: a filter type byte, then 6000 bytes, each row.
  const std::string z = IdatOf(png);
  std::string raw(size_t(760) * 6001 + 1, '\0');
  uLongf n = uLongf(raw.size());
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &n,
                       reinterpret_cast<const Bytef*>(z.data()), uLong(z.size())),
            Z_OK);
  ASSERT_EQ(n, uLongf(760) * 6001);
  for (size_t r = 0; r < 760; ++r) ASSERT_LE(uint8_t(raw[r * 6001]), 4) << "row " << r;

  // libpng reads back every pixel, opaque.
  TBitmap32 back;
  LoadImageFile(path, back);
  ASSERT_EQ(back.Width(), 2000);
  ASSERT_EQ(back.Height(), 760);
  int64_t wrong = 0;
  for (int32_t y = 0; y < 760; ++y)
    for (int32_t x = 0; x < 2000; ++x)
      wrong += back.Pixel(x, y) != (image.Pixel(x, y) | 0xFF000000u);
  EXPECT_EQ(wrong, 0);

  // No more than one percent above libpng's best level.
  const size_t reference = LibpngLevel9Size(image);
  ASSERT_GT(reference, 0u);
  EXPECT_LE(double(png.size()), double(reference) * 1.01);
}

TEST(PngWriter, RowsThatDoNotFitAreRefused) {
  TempDir dir;
  const std::string path = dir.File("bad.png");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  TBitmap32 narrow, band;
  narrow.SetSize(3, 2);
  band.SetSize(4, 2);
  {
    TPngRowWriter writer(f, 4, 3, path);
    EXPECT_THROW(writer.WriteRows(narrow, 2), EImageError);  // another width
    EXPECT_THROW(writer.WriteRows(band, 3), EImageError);    // more rows than the band
    writer.WriteRows(band, 2);
    EXPECT_THROW(writer.WriteRows(band, 2), EImageError);  // more rows than the image
    EXPECT_THROW(writer.Finish(), EImageError);            // a row missing
  }
  EXPECT_THROW(TPngRowWriter(f, 0, 5, path), EImageError);
  std::fclose(f);
}
