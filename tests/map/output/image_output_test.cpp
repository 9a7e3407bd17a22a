#include "map/output/image_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using vctest::ReadFileBytes;
using vctest::TempDir;

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFF;
constexpr TColor32 kGray = 0xFF808080;

// Columns of row Y that are not white.
std::vector<int32_t> MarkedColumns(const TBitmap32& B, int32_t Y) {
  std::vector<int32_t> xs;
  for (int32_t x = 0; x < B.Width(); ++x)
    if (B.Pixel(x, Y) != kWhite) xs.push_back(x);
  return xs;
}
std::vector<int32_t> MarkedRows(const TBitmap32& B, int32_t X) {
  std::vector<int32_t> ys;
  for (int32_t y = 0; y < B.Height(); ++y)
    if (B.Pixel(X, y) != kWhite) ys.push_back(y);
  return ys;
}
std::vector<int32_t> Steps(int32_t From, int32_t To, int32_t Step) {
  std::vector<int32_t> v;
  for (int32_t i = From; i <= To; i += Step) v.push_back(i);
  return v;
}

// A 10 x 8 map of 32-pixel cells: a 320 x 256 white image.
void WhiteImage(TBitmap32& B) {
  B.SetSize(320, 256);
  B.Clear(kWhite);
}

TEST(ImageOutput, DefaultsMatchTheOutputSettings) {
  TOutputOptions o;
  EXPECT_FALSE(o.UseGrid);
  EXPECT_FALSE(o.LeftGrid);
  EXPECT_TRUE(o.RightGrid);
  EXPECT_FALSE(o.UpGrid);
  EXPECT_TRUE(o.DownGrid);
  EXPECT_EQ(o.GridColor, 8421504);
  EXPECT_FALSE(o.HalfTone);
  EXPECT_EQ(GridColor32(o), kGray);
  o.HalfTone = true;
  EXPECT_EQ(GridColor32(o), 0x80808080u);
  o.GridColor = 0x0000FF;  // platform red
  EXPECT_EQ(GridColor32(o), 0x80FF0000u);
}

TEST(ImageOutput, GridSidesAtTheirExactColumnsAndRows) {
  TBitmap32 b;
  TOutputOptions o;
  o.UseGrid = true;
  o.RightGrid = o.DownGrid = false;

  o.LeftGrid = true;
  WhiteImage(b);
  DrawGrid(b, 10, 8, 32, o);
  EXPECT_EQ(MarkedColumns(b, 100), Steps(0, 288, 32));
  EXPECT_EQ(b.Pixel(32, 0), kGray);
  EXPECT_EQ(b.Pixel(32, 255), kGray);  // spans the whole height
  EXPECT_EQ(b.Pixel(319, 10), kWhite);

  o.LeftGrid = false;
  o.RightGrid = true;
  WhiteImage(b);
  DrawGrid(b, 10, 8, 32, o);
  EXPECT_EQ(MarkedColumns(b, 100), Steps(31, 319, 32));
  EXPECT_TRUE(MarkedRows(b, 100).empty());

  o.RightGrid = false;
  o.UpGrid = true;
  WhiteImage(b);
  DrawGrid(b, 10, 8, 32, o);
  EXPECT_EQ(MarkedRows(b, 100), Steps(0, 224, 32));
  EXPECT_EQ(b.Pixel(319, 32), kGray);  // spans the whole width

  o.UpGrid = false;
  o.DownGrid = true;
  WhiteImage(b);
  DrawGrid(b, 10, 8, 32, o);
  EXPECT_EQ(MarkedRows(b, 100), Steps(31, 255, 32));
  EXPECT_TRUE(MarkedColumns(b, 100).empty());

  // Every side off draws nothing; every side on without the switch draws nothing.
  o.DownGrid = false;
  WhiteImage(b);
  DrawGrid(b, 10, 8, 32, o);
  EXPECT_TRUE(MarkedColumns(b, 100).empty());
  EXPECT_TRUE(MarkedRows(b, 100).empty());
  o.UseGrid = false;
  o.LeftGrid = o.RightGrid = o.UpGrid = o.DownGrid = true;
  DrawGrid(b, 10, 8, 32, o);
  EXPECT_TRUE(MarkedColumns(b, 100).empty());
}

TEST(ImageOutput, HalfToneGridBlendsOncePerLine) {
  TOutputOptions o;
  o.UseGrid = true;
  o.HalfTone = true;  // right and bottom sides
  TBitmap32 b;
  b.SetSize(64, 64);
  b.Clear(kWhite);
  b.FillArea(0, 32, 64, 64, 0xFF000000);  // lower half black
  DrawGrid(b, 2, 2, 32, o);
  // Colour channels: #C0C0C0 over white, #404040 over black (the alpha channel is
  // blended too, which image files without alpha drop).
  EXPECT_EQ(b.Pixel(31, 10) & 0xFFFFFF, 0xC0C0C0u);
  EXPECT_EQ(b.Pixel(31, 40) & 0xFFFFFF, 0x404040u);
  EXPECT_EQ(b.Pixel(10, 31) & 0xFFFFFF, 0xC0C0C0u);
  EXPECT_EQ(b.Pixel(31, 10), BlendPixel(0x80808080, kWhite));
  // The crossing is blended twice.
  EXPECT_EQ(b.Pixel(31, 31), BlendPixel(0x80808080, BlendPixel(0x80808080, kWhite)));
  EXPECT_EQ(b.Pixel(31, 31) & 0xFFFFFF, 0xA0A0A0u);
  EXPECT_EQ(b.Pixel(30, 30), kWhite);
}

TEST(ImageOutput, WritesByExtensionWithoutLeavingTemporaryFiles) {
  TempDir dir;
  TBitmap32 b;
  b.SetSize(3, 2);
  b.Clear(0x00123456);  // transparent: PNG drops the alpha

  WriteImageByExtension(b, dir.File("upper.PNG"));
  std::string png = ReadFileBytes(dir.File("upper.PNG"));
  ASSERT_GT(png.size(), 26u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(png[25], 2);  // colour type 2: truecolour RGB, no alpha
  TBitmap32 back;
  LoadImageFile(dir.File("upper.PNG"), back);
  EXPECT_EQ(back.Pixel(2, 1), 0xFF123456u);

  WriteImageByExtension(b, dir.File("photo.jpg"));
  EXPECT_EQ(ReadFileBytes(dir.File("photo.jpg")).substr(0, 2), "\xFF\xD8");
  for (const char* name : {"a.bmp", "b.jpeg", "c.gif", "noext"}) {
    WriteImageByExtension(b, dir.File(name));
    EXPECT_EQ(ReadFileBytes(dir.File(name)).substr(0, 2), "BM") << name;
  }
  // Only the written files are in the folder: no temporary file is left over.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.Path())) {
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
    ++files;
  }
  EXPECT_EQ(files, 6);

  // Failures raise and leave nothing behind.
  EXPECT_THROW(WriteImageByExtension(b, dir.File("missing/out.png")), EFileError);
  EXPECT_THROW(WriteImageByExtension(b, dir.Path().string()), EFileError);
  EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
}

// A wall cell beside a white floor cell at chip size 32: the shade starts at
// chamfer distance 8 (the fourth floor pixel) with alpha 123 and falls by 5.
TEST(ImageOutput, RenderedShadeBesideAWall) {
  TempDir dir;
  TMapEditLayerList map;
  CreateNewMap(map, 2, 1, 32);
  TMapEditLayer* floor = map.AddLayer();
  floor->LayerName = "white";
  floor->SetFileName("16777215");
  for (int32_t x = 32; x < 64; ++x)
    for (int32_t y = 0; y < 32; ++y) map.SetPixelLayer(x, y, 1);
  map.FastDraw = true;
  map.DrawShadeOnlyCell = true;  // output clears it

  TOutputOptions o;
  RenderMapImage(map, o, dir.File("shade.png"));
  EXPECT_FALSE(map.DrawShadeOnlyCell);
  EXPECT_TRUE(map.FastDraw);  // restored after the slow refresh

  TBitmap32 img;
  LoadImageFile(dir.File("shade.png"), img);
  ASSERT_EQ(img.Width(), 64);
  ASSERT_EQ(img.Height(), 32);
  auto shaded = [](int a) {
    uint32_t c = uint32_t((a * (0 - 255) + 256 * 255 + 128) >> 8);
    return 0xFF000000u | (c << 16) | (c << 8) | c;
  };
  for (int32_t y : {0, 16, 31}) {
    EXPECT_EQ(img.Pixel(31, y), 0xFF000000u);  // the wall
    EXPECT_EQ(img.Pixel(32, y), kWhite);
    EXPECT_EQ(img.Pixel(34, y), kWhite);
    EXPECT_EQ(img.Pixel(35, y), shaded(123)) << y;
    EXPECT_EQ(img.Pixel(36, y), shaded(113)) << y;
    EXPECT_EQ(img.Pixel(46, y), shaded(13)) << y;  // distance 30
    EXPECT_EQ(img.Pixel(47, y), shaded(3)) << y;   // distance 32
    EXPECT_EQ(img.Pixel(48, y), kWhite) << y;      // distance 34: no shade
  }
}

TEST(ImageOutput, GridOfABandMatchesTheFullImageAndScales) {
  // A patterned background so that every blended pixel shows its own result.
  auto paint = [](TBitmap32& B, int32_t Top) {
    for (int32_t y = 0; y < B.Height(); ++y)
      for (int32_t x = 0; x < B.Width(); ++x)
        B.Pixel(x, y) = MakeColor(uint8_t(x * 7), uint8_t((y + Top) * 5), 90, 255);
  };
  TOutputOptions o;
  o.UseGrid = o.LeftGrid = o.RightGrid = o.UpGrid = o.DownGrid = true;
  o.GridColor = 0x0000FF;  // red
  o.HalfTone = true;
  TBitmap32 full;
  full.SetSize(5 * 12, 4 * 12);
  paint(full, 0);
  DrawGrid(full, 5, 4, 12, o);
  // Bands of 7 rows cut cells in the middle and at their edges.
  for (int32_t top = 0; top < full.Height(); top += 7) {
    const int32_t h = std::min(7, full.Height() - top);
    TBitmap32 band;
    band.SetSize(full.Width(), h);
    paint(band, top);
    DrawGridScaled(band, 0, -top, 12, 0, 0, 5, 4, o);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < full.Width(); ++x)
        ASSERT_EQ(band.Pixel(x, y), full.Pixel(x, top + y)) << x << "," << top + y;
  }
  // At 2.5 pixels per cell the edges fall at 0, 3 (2.5 rounds up), 5, 8, 10; a
  // region of cells 1..2 drawn with its origin shifted left by one pixel.
  TOutputOptions left;
  left.UseGrid = left.LeftGrid = true;
  left.RightGrid = left.DownGrid = false;
  left.GridColor = 0;
  TBitmap32 s;
  s.SetSize(10, 2);
  s.Clear(0xFFFFFFFFu);
  DrawGridScaled(s, -1, 0, 2.5, 1, 0, 2, 1, left);
  std::vector<int32_t> black;
  for (int32_t x = 0; x < 10; ++x)
    if (s.Pixel(x, 0) == 0xFF000000u) black.push_back(x);
  EXPECT_EQ(black, (std::vector<int32_t>{2, 4}));
  EXPECT_EQ(s.Pixel(2, 1), 0xFF000000u);
  // Grid off draws nothing.
  TBitmap32 none;
  none.SetSize(4, 4);
  none.Clear(0xFFFFFFFFu);
  left.UseGrid = false;
  DrawGridScaled(none, 0, 0, 2, 0, 0, 2, 2, left);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(none.Pixel(x, y), 0xFFFFFFFFu);
}

// A 5 x 4 map of 12-pixel cells: wall ring (layer 0) around white and red floors.
void RoomMap(TMapEditLayerList& Map) {
  CreateNewMap(Map, 5, 4, 12);
  TMapEditLayer* white = Map.AddLayer();
  white->SetFileName("16777215");
  TMapEditLayer* red = Map.AddLayer();
  red->SetFileName("255");
  for (int32_t y = 12; y < 36; ++y)
    for (int32_t x = 12; x < 48; ++x) Map.SetPixelLayer(x, y, x < 30 ? 1 : 2);
}

TEST(ImageOutput, BandsEqualTheFullImageByteForByte) {
  TempDir dir;
  TMapEditLayerList map;
  RoomMap(map);
  TOutputOptions o;
  o.UseGrid = o.LeftGrid = o.UpGrid = true;  // all four sides
  o.GridColor = 0x00FF00;
  o.HalfTone = true;
  PrepareForOutput(map);
  TBitmap32 full;
  ComposeForOutput(map, full, o);
  WriteImageByExtension(full, dir.File("full.png"));
  const std::string want = ReadFileBytes(dir.File("full.png"));
  // Bands of 5 rows cut cells; 48 rows is one band; 1 row is the smallest.
  for (int32_t rows : {5, 48, 1}) {
    const std::string name = dir.File("band" + std::to_string(rows) + ".png");
    std::vector<int64_t> seen;
    WriteMapImageInBands(map, o, name, rows,
                         [&](const char*, int64_t Done, int64_t) { seen.push_back(Done); });
    EXPECT_EQ(ReadFileBytes(name), want) << rows;
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 48);
  }
  // JPEG and BMP (written from the bottom band up) alike; ".jpeg" is a BMP.
  for (const char* ext : {".jpg", ".bmp", ".jpeg"}) {
    WriteImageByExtension(full, dir.File(std::string("whole") + ext));
    WriteMapImageInBands(map, o, dir.File(std::string("parts") + ext), 7);
    const std::string bytes = ReadFileBytes(dir.File(std::string("parts") + ext));
    EXPECT_EQ(bytes, ReadFileBytes(dir.File(std::string("whole") + ext))) << ext;
    EXPECT_EQ(bytes.substr(0, 2), std::string(ext) == ".jpg" ? "\xFF\xD8" : "BM") << ext;
  }
  // The decoded pixels are the composition's: 8-bit RGB, not interlaced.
  EXPECT_EQ(want[24], 8);
  EXPECT_EQ(want[25], 2);
  EXPECT_EQ(want[28], 0);
  TBitmap32 back;
  LoadImageFile(dir.File("band5.png"), back);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 60; ++x)
      ASSERT_EQ(back.Pixel(x, y), full.Pixel(x, y) | 0xFF000000u) << x << "," << y;

  // A cancel raised from the progress report leaves no file and keeps an old one.
  struct TCancel {};
  const std::string kept = dir.File("band5.png");
  EXPECT_THROW(WriteMapImageInBands(map, o, kept, 5,
                                    [](const char*, int64_t Done, int64_t) {
                                      if (Done >= 10) throw TCancel{};
                                    }),
               TCancel);
  EXPECT_EQ(ReadFileBytes(kept), want);
  EXPECT_THROW(WriteMapImageInBands(map, o, dir.File("gone.png"), 5,
                                    [](const char*, int64_t Done, int64_t) {
                                      if (Done >= 10) throw TCancel{};
                                    }),
               TCancel);
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.Path())) {
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
    ++files;
  }
  EXPECT_EQ(files, 10);  // full, three bands, and whole and parts of three kinds
}

TEST(ImageOutput, ResolutionStoredOnlyWhenGiven) {
  TempDir dir;
  TMapEditLayerList map;
  RoomMap(map);
  TOutputOptions o;
  RenderMapImage(map, o, dir.File("a.png"), TOutputFastDraw::OffForOutput, {}, 300);
  const std::string png = ReadFileBytes(dir.File("a.png"));
  const size_t at = png.find("pHYs");
  ASSERT_NE(at, std::string::npos);
  // 300 dpi is 11811 pixels per metre (0x2E23), unit 1 (metre).
  EXPECT_EQ(png.substr(at + 4, 9), std::string("\0\0\x2E\x23\0\0\x2E\x23\x01", 9));
  RenderMapImage(map, o, dir.File("b.png"));
  EXPECT_EQ(ReadFileBytes(dir.File("b.png")).find("pHYs"), std::string::npos);

  RenderMapImage(map, o, dir.File("a.jpg"), TOutputFastDraw::OffForOutput, {}, 150);
  const std::string jpg = ReadFileBytes(dir.File("a.jpg"));
  ASSERT_GT(jpg.size(), 18u);
  EXPECT_EQ(jpg.substr(6, 5), std::string("JFIF\0", 5));
  EXPECT_EQ(jpg.substr(13, 5), std::string("\x01\x00\x96\x00\x96", 5));  // dpi, 150 x 150
  // Baseline: a SOF0 frame, no progressive SOF2.
  EXPECT_NE(jpg.find("\xFF\xC0"), std::string::npos);
  EXPECT_EQ(jpg.find("\xFF\xC2"), std::string::npos);
  RenderMapImage(map, o, dir.File("b.jpg"));
  EXPECT_EQ(ReadFileBytes(dir.File("b.jpg")).substr(13, 5), std::string("\0\0\x01\0\x01", 5));
}

TEST(ImageOutput, PixelsPerCellScalesCellsAndGrid) {
  TempDir dir;
  TMapEditLayerList map;
  RoomMap(map);
  TOutputOptions off;
  PrepareForOutput(map);
  TBitmap32 full;
  ComposeForOutput(map, full, off);
  // Twice the chip size: every map pixel becomes a 2 x 2 block, 120 x 96 in all.
  // Bands of 5 rows are widened to whole cells; the bytes match one band.
  WriteMapImageInBands(map, off, dir.File("x2.bmp"), 5, {}, 0, 24);
  WriteMapImageInBands(map, off, dir.File("one.bmp"), 96, {}, 0, 24);
  EXPECT_EQ(ReadFileBytes(dir.File("x2.bmp")), ReadFileBytes(dir.File("one.bmp")));
  TBitmap32 big;
  LoadImageFile(dir.File("x2.bmp"), big);
  ASSERT_EQ(big.Width(), 120);
  ASSERT_EQ(big.Height(), 96);
  for (int32_t y = 0; y < 96; ++y)
    for (int32_t x = 0; x < 120; ++x)
      ASSERT_EQ(big.Pixel(x, y) | 0xFF000000u, full.Pixel(x / 2, y / 2) | 0xFF000000u)
          << x << "," << y;

  // The grid follows the scaled cells: right side only, white, opaque.
  TOutputOptions right;
  right.UseGrid = true;
  right.GridColor = 16777215;
  WriteMapImageInBands(map, right, dir.File("g.png"), 7, {}, 0, 24);
  TBitmap32 g;
  LoadImageFile(dir.File("g.png"), g);
  for (int32_t x = 0; x < 120; ++x)
    EXPECT_EQ(g.Pixel(x, 10), x % 24 == 23 ? 0xFFFFFFFFu : big.Pixel(x, 10) | 0xFF000000u) << x;
  for (int32_t y = 0; y < 96; ++y) EXPECT_EQ(g.Pixel(5, y) == 0xFFFFFFFFu, y % 24 == 23) << y;

  // Reducing: 6 pixels per cell gives 30 x 24; 0 and the chip size keep 1:1.
  WriteMapImageInBands(map, off, dir.File("small.png"), 0, {}, 0, 6);
  TBitmap32 small;
  LoadImageFile(dir.File("small.png"), small);
  EXPECT_EQ(small.Width(), 30);
  EXPECT_EQ(small.Height(), 24);
  WriteMapImageInBands(map, off, dir.File("same.png"), 0, {}, 0, 12);
  WriteMapImageInBands(map, off, dir.File("zero.png"), 0, {}, 0, 0);
  EXPECT_EQ(ReadFileBytes(dir.File("same.png")), ReadFileBytes(dir.File("zero.png")));

  // Nonsense sizes are refused before anything is written.
  EXPECT_THROW(WriteMapImageInBands(map, off, dir.File("bad.png"), 0, {}, 0, -1), EImageError);
  EXPECT_THROW(
      WriteMapImageInBands(map, off, dir.File("bad.png"), 0, {}, 0, kMaxOutputPixelsPerCell + 1),
      EImageError);
  EXPECT_FALSE(fs::exists(dir.File("bad.png")));
}

}  // namespace

TEST(ImageOutput, WebpBandsEqualTheWholeImageAndKeepTheirSettings) {
  TempDir dir;
  TMapEditLayerList map;
  RoomMap(map);
  TOutputOptions o;
  o.UseGrid = o.LeftGrid = o.UpGrid = true;
  o.GridColor = 0x00FF00;
  PrepareForOutput(map);
  TBitmap32 full;
  ComposeForOutput(map, full, o);
  WriteImageByExtension(full, dir.File("whole.webp"));
  WriteMapImageInBands(map, o, dir.File("parts.webp"), 7);
  const std::string whole = ReadFileBytes(dir.File("whole.webp"));
  EXPECT_EQ(ReadFileBytes(dir.File("parts.webp")), whole);
  EXPECT_EQ(whole.substr(12, 4), "VP8L");  // lossless by default
  // Lossy settings reach the band writer.
  o.Webp = TWebpSettings{false, 50};
  WriteImageByExtension(full, dir.File("whole-lossy.webp"), o.Webp);
  WriteMapImageInBands(map, o, dir.File("parts-lossy.webp"), 7);
  const std::string lossy = ReadFileBytes(dir.File("parts-lossy.webp"));
  EXPECT_EQ(lossy, ReadFileBytes(dir.File("whole-lossy.webp")));
  EXPECT_EQ(lossy.substr(12, 4), "VP8 ");
  // Scaled past WebP's limit: refused before anything is written.
  TMapEditLayerList big;
  CreateNewMap(big, 200, 2, 10);
  EXPECT_THROW(RenderMapImage(big, o, dir.File("big.webp"), TOutputFastDraw::OffForOutput, {}, 0,
                              100),
               EImageError);
  EXPECT_FALSE(fs::exists(dir.File("big.webp")));
  RenderMapImage(big, o, dir.File("big.webp"), TOutputFastDraw::OffForOutput, {}, 0, 80);
  EXPECT_EQ(ReadFileBytes(dir.File("big.webp")).substr(8, 4), "WEBP");
}
