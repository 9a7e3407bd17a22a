#include "map/codec/image_file.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "record/errors.h"
#include "support/test_support.h"

using vctest::ReadFileBytes;
using vctest::TempDir;
using vctest::WriteFileBytes;

namespace {

struct PngSpec {
  int Width = 0, Height = 0, Depth = 8, ColorType = PNG_COLOR_TYPE_RGB;
  int Interlace = PNG_INTERLACE_NONE;
  std::vector<std::vector<uint8_t>> Rows;  // raw rows as libpng expects them
  bool HasKey = false;
  png_color_16 Key{};
  std::vector<png_color> Palette;
  std::vector<png_byte> PaletteAlpha;
};

void AppendBytes(png_structp Png, png_bytep Data, png_size_t N) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(Png));
  out->append(reinterpret_cast<const char*>(Data), N);
}

// Writes a PNG with libpng directly, so the reader is tested against files it did
// not produce itself.
std::string MakePng(const PngSpec& S) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  for (auto& r : S.Rows) rows.push_back(const_cast<png_bytep>(r.data()));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng failed to write the test image";
    return "";
  }
  png_set_write_fn(png, &out, AppendBytes, nullptr);
  png_set_IHDR(png, info, png_uint_32(S.Width), png_uint_32(S.Height), S.Depth, S.ColorType,
               S.Interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!S.Palette.empty()) png_set_PLTE(png, info, S.Palette.data(), int(S.Palette.size()));
  if (!S.PaletteAlpha.empty())
    png_set_tRNS(png, info, S.PaletteAlpha.data(), int(S.PaletteAlpha.size()), nullptr);
  if (S.HasKey) png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16p>(&S.Key));
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void Decode(const std::string& Bytes, const std::string& Ext, TBitmap32& B) {
  DecodeImage(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size(), Ext, B, "mem" + Ext);
}

void Decode(const std::string& Bytes, const std::string& Ext) {
  TBitmap32 b;
  Decode(Bytes, Ext, b);
}

uint32_t BE32(const std::string& S, size_t At) {
  return uint32_t(uint8_t(S[At])) << 24 | uint32_t(uint8_t(S[At + 1])) << 16 |
         uint32_t(uint8_t(S[At + 2])) << 8 | uint32_t(uint8_t(S[At + 3]));
}

uint32_t LE(const std::string& S, size_t At, int N) {
  uint32_t v = 0;
  for (int i = N - 1; i >= 0; --i) v = v << 8 | uint8_t(S[At + size_t(i)]);
  return v;
}

void PutLE(std::string& S, uint32_t V, int N) {
  for (int i = 0; i < N; ++i) S.push_back(char(uint8_t(V >> (8 * i))));
}

std::string BmpHeader(int32_t W, int32_t H, int Bits, uint32_t Offset, uint32_t Colors) {
  std::string s = "BM";
  PutLE(s, 0, 4);  // file size: readers do not need it
  PutLE(s, 0, 4);
  PutLE(s, Offset, 4);
  PutLE(s, 40, 4);
  PutLE(s, uint32_t(W), 4);
  PutLE(s, uint32_t(H), 4);
  PutLE(s, 1, 2);
  PutLE(s, uint32_t(Bits), 2);
  PutLE(s, 0, 4);
  PutLE(s, 0, 4);
  PutLE(s, 0, 4);
  PutLE(s, 0, 4);
  PutLE(s, Colors, 4);
  PutLE(s, 0, 4);
  return s;
}

// Expects Fn to raise EImageError whose message names Name.
template <class Fn>
void ExpectImageError(Fn&& F, const std::string& Name) {
  try {
    F();
    ADD_FAILURE() << "no error for " << Name;
  } catch (const EImageError& e) {
    EXPECT_NE(std::string(e.what()).find("\"" + Name + "\""), std::string::npos) << e.what();
  }
}

}  // namespace

TEST(ImageFile, PngColourKeyAndAlphaChannel) {
  PngSpec key;
  key.Width = 3;
  key.Height = 1;
  key.Rows = {{10, 20, 30, 1, 2, 3, 10, 20, 30}};
  key.HasKey = true;
  key.Key.red = 10;
  key.Key.green = 20;
  key.Key.blue = 30;
  TBitmap32 b;
  Decode(MakePng(key), ".png", b);
  ASSERT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Pixel(0, 0), 0x000A141Eu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF010203u);
  EXPECT_EQ(b.Pixel(2, 0), 0x000A141Eu);

  PngSpec rgba;
  rgba.Width = 2;
  rgba.Height = 2;
  rgba.ColorType = PNG_COLOR_TYPE_RGBA;
  rgba.Rows = {{255, 0, 0, 128, 0, 255, 0, 0}, {0, 0, 255, 255, 9, 8, 7, 6}};
  Decode(MakePng(rgba), ".png", b);
  EXPECT_EQ(b.Pixel(0, 0), 0x80FF0000u);
  EXPECT_EQ(b.Pixel(1, 0), 0x0000FF00u);
  EXPECT_EQ(b.Pixel(0, 1), 0xFF0000FFu);
  EXPECT_EQ(b.Pixel(1, 1), 0x06090807u);

  // Grey with alpha at 16 bits, interlaced: high bytes are kept.
  PngSpec ga;
  ga.Width = 3;
  ga.Height = 2;
  ga.Depth = 16;
  ga.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  ga.Interlace = PNG_INTERLACE_ADAM7;
  ga.Rows = {{0x12, 0x00, 0xFF, 0xFF, 0x80, 0x7F, 0x40, 0x00, 0, 0, 0, 0},
             {0xFF, 0xFF, 0x33, 0x00, 0x01, 0x02, 0xFF, 0xFF, 0xAB, 0xCD, 0xFF, 0x00}};
  Decode(MakePng(ga), ".png", b);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF121212u);
  EXPECT_EQ(b.Pixel(1, 0), 0x40808080u);
  EXPECT_EQ(b.Pixel(2, 0), 0x00000000u);
  EXPECT_EQ(b.Pixel(0, 1), 0x33FFFFFFu);
  EXPECT_EQ(b.Pixel(1, 1), 0xFF010101u);
  EXPECT_EQ(b.Pixel(2, 1), 0xFFABABABu);

  // Palette with per-entry alpha, 2-bit indices; grey 1-bit without alpha.
  PngSpec pal;
  pal.Width = 4;
  pal.Height = 1;
  pal.Depth = 2;
  pal.ColorType = PNG_COLOR_TYPE_PALETTE;
  pal.Palette = {{1, 2, 3}, {200, 100, 50}, {0, 0, 0}, {255, 255, 255}};
  pal.PaletteAlpha = {0, 77};
  pal.Rows = {{0b00011011}};
  Decode(MakePng(pal), ".png", b);
  EXPECT_EQ(b.Pixel(0, 0), 0x00010203u);
  EXPECT_EQ(b.Pixel(1, 0), 0x4DC86432u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFF000000u);
  EXPECT_EQ(b.Pixel(3, 0), 0xFFFFFFFFu);
  PngSpec bw;
  bw.Width = 3;
  bw.Height = 1;
  bw.Depth = 1;
  bw.ColorType = PNG_COLOR_TYPE_GRAY;
  bw.Rows = {{0b10100000}};
  Decode(MakePng(bw), "", b);  // recognised by its signature, no hint needed
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFFFFFFFFu);
}

TEST(ImageFile, SixteenBitColourKeyAndSignatureBeatsExtension) {
  // The key is compared at full 16-bit precision: 0x0A00 is keyed, 0x0A01 is not.
  PngSpec s;
  s.Width = 2;
  s.Height = 1;
  s.Depth = 16;
  s.Rows = {{0x0A, 0x00, 0x14, 0x00, 0x1E, 0x00, 0x0A, 0x01, 0x14, 0x00, 0x1E, 0x00}};
  s.HasKey = true;
  s.Key.red = 0x0A00;
  s.Key.green = 0x1400;
  s.Key.blue = 0x1E00;
  TBitmap32 b;
  Decode(MakePng(s), ".png", b);
  EXPECT_EQ(b.Pixel(0, 0), 0x000A141Eu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF0A141Eu);
  // A JPEG named ".png" and a PNG named ".jpg" are read by what they are.
  TempDir dir;
  TBitmap32 grey;
  grey.SetSize(8, 8);
  grey.Clear(0xFF808080u);
  SaveJPEGFile(grey, dir.File("g.jpg"));
  SavePNGFile(grey, dir.File("g.png"));
  std::rename(dir.File("g.jpg").c_str(), dir.File("jpeg.png").c_str());
  std::rename(dir.File("g.png").c_str(), dir.File("png.jpg").c_str());
  TBitmap32 back;
  LoadImageFile(dir.File("jpeg.png"), back);
  EXPECT_NEAR(int(back.Pixel(3, 3) & 0xFF), 0x80, 2);
  LoadImageFile(dir.File("png.jpg"), back);
  EXPECT_EQ(back.Pixel(3, 3), 0xFF808080u);
}

TEST(ImageFile, PngWriteIsEightBitRgbAndReadsBack) {
  TempDir dir;
  TBitmap32 b;
  b.SetSize(5, 3);
  for (int i = 0; i < 15; ++i) b.Bits()[i] = TColor32(i * 0x01030507u) | (TColor32(i * 17) << 24);
  const std::string path = dir.File("out.png");
  SavePNGFile(b, path);
  const std::string bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(BE32(bytes, 16), 5u);
  EXPECT_EQ(BE32(bytes, 20), 3u);
  EXPECT_EQ(uint8_t(bytes[24]), 8);  // depth
  EXPECT_EQ(uint8_t(bytes[25]), 2);  // truecolour RGB
  EXPECT_EQ(uint8_t(bytes[28]), 0);  // not interlaced
  EXPECT_EQ(bytes.find("tRNS"), std::string::npos);
  TBitmap32 back;
  LoadImageFile(path, back);
  ASSERT_EQ(back.Width(), 5);
  ASSERT_EQ(back.Height(), 3);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(back.Bits()[i], b.Bits()[i] | 0xFF000000u) << i;
}

TEST(ImageFile, JpegRoundTripIsBaselineWithinTolerance) {
  TempDir dir;
  TBitmap32 b;
  b.SetSize(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      b.Pixel(x, y) = MakeColor(uint8_t(x * 8), uint8_t(y * 16), 128, uint8_t(x));
  const std::string path = dir.File("out.JPG");
  SaveJPEGFile(b, path);
  const std::string bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(uint8_t(bytes[0]), 0xFF);
  EXPECT_EQ(uint8_t(bytes[1]), 0xD8);
  EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos);  // baseline frame
  EXPECT_EQ(bytes.find("\xFF\xC2"), std::string::npos);  // not progressive
  TBitmap32 back;
  LoadImageFile(path, back);
  ASSERT_EQ(back.Width(), 32);
  ASSERT_EQ(back.Height(), 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      const TColor32 p = back.Pixel(x, y), q = b.Pixel(x, y);
      EXPECT_EQ(p >> 24, 255u);
      for (int s = 0; s < 24; s += 8)
        EXPECT_NEAR(int((p >> s) & 0xFF), int((q >> s) & 0xFF), 12) << x << "," << y;
    }
}

TEST(ImageFile, BmpWriteIsByteExactAndRoundTrips) {
  TempDir dir;
  TBitmap32 b;
  b.SetSize(2, 2);
  b.Pixel(0, 0) = 0x11223344u;
  b.Pixel(1, 0) = 0xFF000000u;
  b.Pixel(0, 1) = 0x80A0B0C0u;
  b.Pixel(1, 1) = 0x01020304u;
  const std::string path = dir.File("out.bmp");
  SaveBmpFile(b, path);
  const std::string bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 54u + 16u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(LE(bytes, 2, 4), 70u);
  EXPECT_EQ(LE(bytes, 10, 4), 54u);
  EXPECT_EQ(LE(bytes, 14, 4), 40u);
  EXPECT_EQ(LE(bytes, 18, 4), 2u);
  EXPECT_EQ(LE(bytes, 22, 4), 2u);  // positive height: bottom-up
  EXPECT_EQ(LE(bytes, 28, 2), 32u);
  EXPECT_EQ(LE(bytes, 30, 4), 0u);
  // The bottom row comes first, each pixel B, G, R, A.
  EXPECT_EQ(bytes.substr(54, 8), std::string("\xC0\xB0\xA0\x80\x04\x03\x02\x01", 8));
  EXPECT_EQ(bytes.substr(62, 8), std::string("\x44\x33\x22\x11\x00\x00\x00\xFF", 8));
  TBitmap32 back;
  LoadImageFile(path, back);
  ASSERT_EQ(back.Width(), 2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back.Bits()[i], b.Bits()[i]) << i;
}

TEST(ImageFile, HandWrittenBitmaps) {
  // 24-bit, 3 x 2, rows padded to 12 bytes, bottom-up.
  std::string bmp24 = BmpHeader(3, 2, 24, 54, 0);
  bmp24 += std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x00\x00\x00", 12);
  bmp24 += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x00\x00\x00", 12);
  TBitmap32 b;
  Decode(bmp24, ".bmp", b);
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(0, 1), 0xFF030201u);
  EXPECT_EQ(b.Pixel(2, 1), 0xFF090807u);

  // 8-bit with a three-colour palette, top-down (negative height), rows padded to 4.
  std::string bmp8 = BmpHeader(2, -2, 8, 54 + 12, 3);
  bmp8 += std::string("\x10\x20\x30\x00\x40\x50\x60\x00\xFA\xFB\xFC\x00", 12);
  bmp8 += std::string("\x02\x00\x00\x00\x01\x01\x00\x00", 8);
  Decode(bmp8, ".BMP", b);
  ASSERT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFCFBFAu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF302010u);
  EXPECT_EQ(b.Pixel(0, 1), 0xFF605040u);
  EXPECT_EQ(b.Pixel(1, 1), 0xFF605040u);
}

TEST(ImageFile, HugeHeadersAreRefusedBeforeAllocating) {
  // A PNG whose IHDR claims 20000 x 20000 (valid CRC), and nothing else.
  std::string ihdr = "IHDR";
  for (uint32_t v : {20000u, 20000u}) {
    for (int s = 24; s >= 0; s -= 8) ihdr.push_back(char(uint8_t(v >> s)));
  }
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(ihdr.data()), uInt(ihdr.size()));
  std::string png = "\x89PNG\r\n\x1A\n";
  png += std::string("\x00\x00\x00\x0D", 4) + ihdr;
  for (int s = 24; s >= 0; s -= 8) png.push_back(char(uint8_t(crc >> s)));
  const auto start = std::chrono::steady_clock::now();
  ExpectImageError([&] { Decode(png, ".png"); }, "mem.png");
  std::string bmp = BmpHeader(20000, 20000, 24, 54, 0) + std::string(64, '\0');
  ExpectImageError([&] { Decode(bmp, ".bmp"); }, "mem.bmp");
  // A real JPEG whose frame header is patched to 20000 x 20000.
  TempDir dir;
  TBitmap32 small;
  small.SetSize(8, 8);
  small.Clear(0xFF808080u);
  SaveJPEGFile(small, dir.File("s.jpg"));
  std::string jpg = ReadFileBytes(dir.File("s.jpg"));
  const size_t sof = jpg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  jpg[sof + 5] = jpg[sof + 7] = char(0x4E);
  jpg[sof + 6] = jpg[sof + 8] = char(0x20);
  try {
    Decode(jpg, ".jpg");
    ADD_FAILURE();
  } catch (const EImageError& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
  // Within the limits but far too short for its size: a cut-off file is refused
  // before 16 million pixels are allocated and decoded from nothing.
  jpg[sof + 5] = jpg[sof + 7] = char(0x0F);
  jpg[sof + 6] = jpg[sof + 8] = char(0xA0);  // 4000 x 4000
  try {
    Decode(jpg, ".jpg");
    ADD_FAILURE();
  } catch (const EImageError& e) {
    EXPECT_EQ(std::string(e.what()),
              "\"mem.jpg\" is not a valid JPEG image: the file is too short for its size");
  }
  std::string shortPng = png;
  shortPng[18] = shortPng[22] = char(0x0F);
  shortPng[19] = shortPng[23] = char(0xA0);  // 4000 x 4000, CRC mended below
  const uLong crc2 = crc32(0, reinterpret_cast<const Bytef*>(shortPng.data() + 12), 17);
  for (int i = 0, s2 = 24; s2 >= 0; ++i, s2 -= 8)
    shortPng[29 + size_t(i)] = char(uint8_t(crc2 >> s2));
  // A start of image data, so that the header is read to its end.
  const std::string idat = std::string("\x00\x00\x00\x02IDAT\x78\x9C", 10);
  shortPng += idat;
  const uLong crc3 = crc32(0, reinterpret_cast<const Bytef*>(idat.data() + 4), 6);
  for (int s2 = 24; s2 >= 0; s2 -= 8) shortPng.push_back(char(uint8_t(crc3 >> s2)));
  try {
    Decode(shortPng, ".png");
    ADD_FAILURE();
  } catch (const EImageError& e) {
    EXPECT_EQ(std::string(e.what()),
              "\"mem.png\" is not a valid PNG image: the file is too short for its size");
  }
  // Nothing was decoded or allocated at full size; the refusals are immediate.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(ImageFile, DamagedFilesRaiseImageErrorsAndKeepTheSurface) {
  TempDir dir;
  TBitmap32 src;
  src.SetSize(40, 30);
  for (int i = 0; i < 1200; ++i) src.Bits()[i] = 0xFF000000u | TColor32(i * 2654435761u >> 8);
  SavePNGFile(src, dir.File("a.png"));
  SaveJPEGFile(src, dir.File("a.jpg"));
  SaveBmpFile(src, dir.File("a.bmp"));
  TBitmap32 keep;
  keep.SetSize(2, 1);
  keep.Clear(0x12345678u);
  for (const char* name : {"a.png", "a.jpg", "a.bmp"}) {
    const std::string whole = ReadFileBytes(dir.File(name));
    for (size_t cut : {size_t(0), size_t(5), size_t(60), whole.size() / 2, whole.size() - 3}) {
      const std::string path = dir.File(std::string("cut_") + std::to_string(cut) + name);
      WriteFileBytes(path, whole.substr(0, cut));
      ExpectImageError([&] { LoadImageFile(path, keep); }, path);
      EXPECT_EQ(keep.Width(), 2);
      EXPECT_EQ(keep.Pixel(1, 0), 0x12345678u);
    }
  }
  // Corrupted compressed data in the middle of a PNG (CRC mismatch).
  std::string png = ReadFileBytes(dir.File("a.png"));
  png[png.size() / 2] = char(png[png.size() / 2] ^ 0x5A);
  ExpectImageError([&] { Decode(png, ".png"); }, "mem.png");
  ExpectImageError([&] { Decode("not an image at all", ".gif"); }, "mem.gif");
  ExpectImageError([&] { Decode("", ".bmp"); }, "mem.bmp");
}

TEST(ImageFile, FileErrorsNameTheFile) {
  TempDir dir;
  const std::string missing = dir.File("missing.png");
  TBitmap32 b;
  try {
    LoadImageFile(missing, b);
    ADD_FAILURE();
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open \"" + missing + "\": No such file or directory");
  }
  b.SetSize(1, 1);
  EXPECT_THROW(SavePNGFile(b, dir.File("no/such/dir.png")), EFileError);
  EXPECT_THROW(SaveBmpFile(b, dir.File("no/such/dir.bmp")), EFileError);
  TBitmap32 empty;
  EXPECT_THROW(SavePNGFile(empty, dir.File("e.png")), EImageError);
  EXPECT_THROW(SaveJPEGFile(empty, dir.File("e.jpg")), EImageError);
  EXPECT_THROW(SaveBmpFile(empty, dir.File("e.bmp")), EImageError);
  EXPECT_FALSE(std::filesystem::exists(dir.File("e.png")));
  // A file larger than any image could be is refused before it is read (a sparse
  // file: no disk is used), and the surface keeps its content.
  const std::string huge = dir.File("huge.bmp");
  WriteFileBytes(huge, "BM");
  std::filesystem::resize_file(huge, uintmax_t(MaxImageFileBytes) + 1);
  b.SetSize(1, 1);
  b.Pixel(0, 0) = 0xFF123456u;
  try {
    LoadImageFile(huge, b);
    ADD_FAILURE();
  } catch (const EImageError& e) {
    EXPECT_EQ(std::string(e.what()),
              "\"" + huge + "\" is too large to be an image (over 1040 MiB)");
  }
  EXPECT_EQ(b.Width(), 1);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF123456u);
}

TEST(ImageFile, RandomlyDamagedFilesNeverCrash) {
  TempDir dir;
  TBitmap32 src;
  src.SetSize(24, 20);
  for (int i = 0; i < 480; ++i) src.Bits()[i] = TColor32(i) * 0x9E3779B9u;
  SavePNGFile(src, dir.File("a.png"));
  SaveJPEGFile(src, dir.File("a.jpg"));
  SaveBmpFile(src, dir.File("a.bmp"));
  std::mt19937 rng(77);
  for (const char* name : {"a.png", "a.jpg", "a.bmp"}) {
    const std::string whole = ReadFileBytes(dir.File(name));
    const std::string ext = std::string(name).substr(1);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
      std::string bytes = whole;
      for (int k = 0; k < 1 + round % 4; ++k) bytes[rng() % bytes.size()] = char(rng() & 0xFF);
      TBitmap32 b;
      try {
        Decode(bytes, ext, b);
        // Whatever decodes has a sane size.
        EXPECT_GT(b.Width(), 0);
        EXPECT_LE(int64_t(b.Width()) * b.Height(), MaxDecodePixels);
      } catch (const EImageError&) {
        EXPECT_TRUE(b.Empty());
        ++refused;
      }
    }
    EXPECT_GT(refused, 0) << name;  // damage is noticed, not decoded silently every time
  }
}

TEST(ImageFile, CutOffFilesFoundByFuzzingAreRefusedAtOnce) {
  // Each of these once made the reader allocate and work for about a second or
  // more: a 150-byte PNG whose text chunk claims a gigabyte, and a 546-byte
  // progressive JPEG claiming 253 x 63496 pixels.
  const std::string folder = std::string(VC_SOURCE_DIR) + "/fuzz/regressions/";
  TBitmap32 b;
  // Also a 121-byte arithmetic-coded JPEG claiming 253 x 64776 pixels; 18 bytes the
  // general loader took for a Targa image of 57168 x 137 pixels; and 149 bytes of a
  // top-down bitmap (negative height) of 8 x 131066 pixels with a compression
  // number no bitmap uses, which the general loader read as uncompressed and padded
  // with zeros.
  struct TCase {
    const char *File, *Extension, *Message;
  };
  const TCase cases[] = {
      {"png_image/cut-off-with-huge-chunk.png", ".png",
       "\"mem.png\" is not a valid PNG image: the file is truncated"},
      {"jpeg_image/cut-off-progressive-16-megapixels.jpg", ".jpg",
       "\"mem.jpg\" is not a valid JPEG image: the file is too short for its size"},
      {"jpeg_image/arithmetic-121-bytes-16-megapixels.jpg", ".jpg",
       "\"mem.jpg\" is not a valid JPEG image: the file is too short for its size"},
      {"bmp_image/18-byte-targa-of-8-megapixels.tga", ".bmp",
       "\"mem.bmp\" is not a valid image: the file is too short for its size"},
      {"bmp_image/top-down-with-unknown-compression.bmp", ".bmp",
       "\"mem.bmp\" is not a valid BMP image: unknown compression 4294967295"},
  };
  for (const TCase& c : cases) {
    try {
      Decode(ReadFileBytes(folder + c.File), c.Extension, b);
      ADD_FAILURE() << c.File;
    } catch (const EImageError& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
  }
  // PNM images are not read at all: the general loader's PNM reader overflowed an
  // int on a long header number and wrote past a buffer on 16-bit images.
  for (const std::string& pnm :
       {ReadFileBytes(folder + "bmp_image/pnm-header-number-overflows.ppm"),
        ReadFileBytes(folder + "bmp_image/pnm-sixteen-bit-overflows-a-buffer.ppm"),
        std::string("P6\n# two pixels\n2 1\n255\n\x10\x20\x30\x40\x50\x60", 30)}) {
    try {
      Decode(pnm, ".ppm", b);
      ADD_FAILURE();
    } catch (const EImageError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("\"mem.ppm\" is not a valid image: ", 0), 0u)
          << e.what();
    }
  }
  EXPECT_TRUE(b.Empty());
}
