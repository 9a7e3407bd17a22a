#include "map/document/map_edit_layer.h"

#include <gtest/gtest.h>

#include <string>

#include "map/codec/image_file.h"
#include "map/document/map_edit_door.h"
#include "map/document/map_edit_layer_list.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace {

// A colour that differs for every source pixel, so that a misplaced tile shows.
TColor32 SourceColour(int32_t X, int32_t Y) { return MakeColor(uint8_t(X), uint8_t(Y), 77); }

std::string WritePattern(const vctest::TempDir& Dir, const std::string& Name, int32_t W,
                         int32_t H) {
  TBitmap32 image;
  image.SetSize(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) image.Pixel(x, y) = SourceColour(x, y);
  const std::string path = Dir.File(Name);
  SavePNGFile(image, path);
  return path;
}

// Counts the pixels of Layer's image that differ from Expect(x, y).
template <typename F>
int CountMismatches(const TMapEditLayer& Layer, F&& Expect) {
  int bad = 0;
  const TBitmap32& bmp = Layer.BMP();
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x)
      if (bmp.Pixel(x, y) != Expect(x, y)) ++bad;
  return bad;
}

TEST(ChipReference, ParsesNumbersAndKeepsThePath) {
  TChipReference ref;
  ASSERT_TRUE(ParseChipReference("<32,0,16>C:\\tiles\\stone.png", ref));
  EXPECT_EQ(ref.X, 32);
  EXPECT_EQ(ref.Y, 0);
  EXPECT_EQ(ref.S, 16);
  EXPECT_EQ(ref.Path, "C:\\tiles\\stone.png");

  ASSERT_TRUE(ParseChipReference("< -1,$10,0>a>b,c", ref));
  EXPECT_EQ(ref.X, -1);
  EXPECT_EQ(ref.Y, 16);
  EXPECT_EQ(ref.S, 0);
  EXPECT_EQ(ref.Path, "a>b,c");

  for (const char* bad :
       {"", "32,0,16>x.png", "<a,0,16>x.png", "<1,2>x.png", "<1,,3>x", "<1,2,3x>x.png", "<>"})
    EXPECT_FALSE(ParseChipReference(bad, ref)) << bad;
}

TEST(LayerImage, ColourNumbersFillTheMap) {
  TMapEditLayerList map;
  map.SetSize(2, 1, 4);
  TMapEditLayer* layer = map.AddLayer();
  EXPECT_EQ(layer->BMP().DrawMode, dmBlend);

  layer->SetFileName("16711680");  // 0x00FF0000 in the platform's BGR order: blue
  EXPECT_EQ(layer->FileName(), "16711680");
  ASSERT_EQ(layer->BMP().Width(), 8);
  ASSERT_EQ(layer->BMP().Height(), 4);
  EXPECT_EQ(CountMismatches(*layer, [](int32_t, int32_t) { return 0xFF0000FFu; }), 0);

  layer->SetFileName("$FF");  // red
  EXPECT_EQ(CountMismatches(*layer, [](int32_t, int32_t) { return 0xFFFF0000u; }), 0);

  // A negative number names a system colour: button face.
  layer->SetFileName(std::to_string(clBtnFace));
  EXPECT_EQ(CountMismatches(*layer, [](int32_t, int32_t) { return ColorFromPlatform(clBtnFace); }),
            0);
  EXPECT_EQ(layer->BMP().Pixel(0, 0), 0xFFF0F0F0u);

  // Empty text leaves the image alone.
  layer->BMPForWriting().Pixel(1, 1) = 0x12345678;
  layer->SetFileName("");
  EXPECT_EQ(layer->FileName(), "");
  EXPECT_EQ(layer->BMP().Pixel(1, 1), 0x12345678u);
  EXPECT_EQ(layer->BMP().Pixel(0, 0), 0xFFF0F0F0u);
}

TEST(LayerImage, WholeImageTilesAcrossAndDown) {
  vctest::TempDir dir;
  const std::string path = WritePattern(dir, "floor.png", 40, 20);
  TMapEditLayerList map;
  map.SetSize(10, 5, 10);  // 100 x 50 pixels
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName(path);
  ASSERT_EQ(layer->BMP().Width(), 100);
  ASSERT_EQ(layer->BMP().Height(), 50);
  EXPECT_EQ(
      CountMismatches(*layer, [](int32_t x, int32_t y) { return SourceColour(x % 40, y % 20); }),
      0);
  // Spot checks at the tile seams.
  EXPECT_EQ(layer->BMP().Pixel(80, 40), SourceColour(0, 0));
  EXPECT_EQ(layer->BMP().Pixel(99, 49), SourceColour(19, 9));
  EXPECT_EQ(layer->BMP().Pixel(39, 19), SourceColour(39, 19));

  // A map smaller than the image shows its top-left part.
  TMapEditLayerList small;
  small.SetSize(1, 1, 8);
  TMapEditLayer* s = small.AddLayer();
  s->SetFileName(path);
  EXPECT_EQ(CountMismatches(*s, [](int32_t x, int32_t y) { return SourceColour(x, y); }), 0);

  // A document without columns but taller than the image: nothing to tile, and no
  // row is copied out of the empty image (the sanitizers catch that).
  TMapEditLayerList thin;
  thin.SetSize(0, 5, 10);
  TMapEditLayer* t = thin.AddLayer();
  t->SetFileName(path);
  EXPECT_EQ(t->BMP().Width() * t->BMP().Height(), 0);
  EXPECT_EQ(t->FileName(), path);
}

TEST(LayerImage, ChipReferenceRepeatsOneSquare) {
  vctest::TempDir dir;
  const std::string path = WritePattern(dir, "chips.png", 96, 48);
  TMapEditLayerList map;
  map.SetSize(3, 2, 25);  // 75 x 50: not a multiple of the chip
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName("<32,0,32>" + path);
  EXPECT_EQ(CountMismatches(*layer,
                            [](int32_t x, int32_t y) { return SourceColour(32 + x % 32, y % 32); }),
            0);

  layer->SetFileName("<8,16,16>" + path);
  EXPECT_EQ(CountMismatches(
                *layer, [](int32_t x, int32_t y) { return SourceColour(8 + x % 16, 16 + y % 16); }),
            0);

  // The square touching the image's right and bottom edges is still inside.
  layer->SetFileName("<64,16,32>" + path);
  EXPECT_EQ(
      CountMismatches(*layer,
                      [](int32_t x, int32_t y) { return SourceColour(64 + x % 32, 16 + y % 32); }),
      0);
}

TEST(LayerImage, MalformedChipReferenceEmptiesTheSourceSilently) {
  TMapEditLayerList map;
  map.SetSize(1, 1, 4);
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName("255");
  for (const char* bad : {"<x,0,32>file.png", "<0,0>file.png", "<0,0,3.5>f.png"}) {
    layer->SetFileName(bad);
    EXPECT_EQ(layer->FileName(), "") << bad;
    EXPECT_EQ(CountMismatches(*layer, [](int32_t, int32_t) { return 0xFFFF0000u; }), 0) << bad;
  }
}

TEST(LayerImage, UnreadableImagesRaiseAndKeepTheOldImage) {
  vctest::TempDir dir;
  const std::string path = WritePattern(dir, "chips.png", 64, 32);
  vctest::WriteFileBytes(dir.File("broken.png"), "not a picture");
  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName("65280");  // green
  auto stillGreen = [&] {
    return CountMismatches(*layer, [](int32_t, int32_t) { return 0xFF00FF00u; }) == 0 &&
           layer->BMP().Width() == 8 && layer->BMP().Height() == 8;
  };

  const std::string missing = dir.File("missing.png");
  EXPECT_THROW(layer->SetFileName(missing), EVellumError);
  EXPECT_EQ(layer->FileName(), missing);
  EXPECT_TRUE(stillGreen());

  EXPECT_THROW(layer->SetFileName(dir.File("broken.png")), EVellumError);
  EXPECT_EQ(layer->FileName(), dir.File("broken.png"));
  EXPECT_TRUE(stillGreen());

  EXPECT_THROW(layer->SetFileName("<0,0,8>" + missing), EVellumError);
  EXPECT_EQ(layer->FileName(), "<0,0,8>" + missing);
  EXPECT_TRUE(stillGreen());

  // Chips that do not lie wholly inside the image, or have no size, are refused
  // with a message naming the chip; nothing is read outside the image.
  for (const std::string chip : {"<40,0,32>", "<0,8,32>", "<-1,0,8>", "<0,-1,8>", "<0,0,0>",
                                 "<0,0,-4>", "<2147483647,0,8>", "<8,8,2147483647>"}) {
    try {
      layer->SetFileName(chip + path);
      ADD_FAILURE() << "no error for " << chip;
    } catch (const EImageError& e) {
      EXPECT_NE(std::string(e.what()).find("The chip "), std::string::npos) << e.what();
    }
    EXPECT_EQ(layer->FileName(), chip + path);
    EXPECT_TRUE(stillGreen()) << chip;
  }
}

TEST(LayerImage, ImageWithoutDocumentIsEmpty) {
  TMapEditLayer layer;
  layer.SetFileName("0");
  EXPECT_TRUE(layer.BMP().Empty());
  EXPECT_EQ(layer.Owner(), nullptr);
}

TEST(LayerRecord, StreamFormHoldsNameAndSourceOnly) {
  TMapEditLayerList map;
  map.SetSize(1, 1, 2);
  TMapEditLayer* layer = map.AddLayer();
  layer->LayerName = "床";
  layer->LayerType = mltObject;
  layer->SetFileName("16711680");

  TMemoryStream s;
  layer->SaveToStream(s);
  const std::string name = "床", source = "16711680";
  std::vector<uint8_t> expect;
  expect.push_back(uint8_t(name.size()));
  expect.insert(expect.end(), name.begin(), name.end());
  expect.push_back(uint8_t(source.size()));
  expect.push_back(0);
  expect.insert(expect.end(), source.begin(), source.end());
  EXPECT_EQ(s.Bytes(), expect);

  // Reading assigns the source through the setter, which builds the image.
  s.SetPosition(0);
  TMapEditLayer* back = map.AddLayer();
  back->LoadFromStream(s);
  EXPECT_EQ(back->LayerName, "床");
  EXPECT_EQ(back->FileName(), "16711680");
  EXPECT_EQ(back->LayerType, mltGround);
  ASSERT_EQ(back->BMP().Width(), 2);
  EXPECT_EQ(back->BMP().Pixel(1, 1), 0xFF0000FFu);
}

TEST(LayerRecord, AssignCopiesFieldsAndRebuildsTheImage) {
  TMapEditLayerList a, b;
  a.SetSize(1, 1, 4);
  b.SetSize(2, 1, 4);
  TMapEditLayer* source = a.AddLayer();
  source->LayerName = "水";
  source->LayerType = mltFloor;
  source->SetFileName("255");
  source->BMPForWriting().Pixel(0, 0) = 0x00FF0000;  // composition wrote its alpha

  TMapEditLayer* dest = b.AddLayer();
  dest->Assign(source);
  EXPECT_EQ(dest->LayerName, "水");
  EXPECT_EQ(dest->LayerType, mltFloor);
  EXPECT_EQ(dest->FileName(), "255");
  // The copy stays in its own document and takes that document's size.
  EXPECT_EQ(dest->Owner(), &b);
  ASSERT_EQ(dest->BMP().Width(), 8);
  EXPECT_EQ(dest->BMP().Pixel(7, 3), 0xFFFF0000u);
  // The source's image is left as it was.
  EXPECT_EQ(source->BMP().Pixel(0, 0), 0x00FF0000u);

  // A free-standing layer joins the source's document.
  TMapEditLayer loose;
  loose.Assign(source);
  EXPECT_EQ(loose.Owner(), &a);
  EXPECT_EQ(loose.BMP().Width(), 4);

  TMapEditHorzDoor door;
  try {
    door.Assign(source);
    ADD_FAILURE() << "a layer was copied into a door";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "TMapEditLayer を TMapEditHorzDoor に代入することはできません");
  }
}

}  // namespace
