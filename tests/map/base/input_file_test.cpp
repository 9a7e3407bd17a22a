#include "map/base/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/layer_set.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace {

// The message of the EFileError Action raises, or "no error".
template <class Action>
std::string FileErrorOf(Action&& Run) {
  try {
    Run();
  } catch (const EFileError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(InputFile, ReadsRegularFilesAndRefusesEverythingElseWithoutBlocking) {
  vctest::TempDir dir;
  const std::string file = dir.File("plain.bin"), fifo = dir.File("pipe.png");
  vctest::WriteFileBytes(file, std::string("ab\0cd", 5));
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  TInputFile in(file, "Cannot open: ");
  EXPECT_EQ(in.Size(), 5u);
  std::string bytes;
  EXPECT_TRUE(in.ReadAll(bytes, 5));
  EXPECT_EQ(bytes, std::string("ab\0cd", 5));
  // Over the bound: false rather than a partial success.
  TInputFile again(file, "Cannot open: ");
  EXPECT_FALSE(again.ReadAll(bytes, 4));

  // A FIFO without a writer would block an ordinary open; a device never ends.
  EXPECT_EQ(FileErrorOf([&] { TInputFile f(fifo, "Cannot open x: "); }),
            "Cannot open x: It is not a regular file");
  EXPECT_EQ(FileErrorOf([&] { TInputFile f("/dev/zero", "Z: "); }), "Z: It is not a regular file");
  EXPECT_EQ(FileErrorOf([&] { TInputFile f(dir.Path().string(), "D: "); }), "D: It is a directory");
  EXPECT_EQ(FileErrorOf([&] { TInputFile f(dir.File("none"), "N: "); }),
            "N: No such file or directory");
}

TEST(InputFile, TexturesLayerSetsAndMapsAreReadOnlyFromRegularFiles) {
  vctest::TempDir dir;
  const std::string fifo = dir.File("pipe.png");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TBitmap32 image;
  image.SetSize(2, 1);
  image.Clear(0xFF102030u);
  EXPECT_EQ(FileErrorOf([&] { LoadImageFile(fifo, image); }),
            "Cannot open \"" + fifo + "\": It is not a regular file");
  EXPECT_EQ(FileErrorOf([&] { LoadImageFile("/dev/zero", image); }),
            "Cannot open \"/dev/zero\": It is not a regular file");
  // A folder named as a texture says so (it used to be an input/output error).
  EXPECT_EQ(FileErrorOf([&] { LoadImageFile(dir.Path().string(), image); }),
            "Cannot open \"" + dir.Path().string() + "\": It is a directory");
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.Pixel(0, 0), 0xFF102030u);

  EXPECT_EQ(FileErrorOf([&] { ReadLayerSetFile(fifo); }),
            "Cannot open layer set \"" + fifo + "\": It is not a regular file");
  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  EXPECT_EQ(FileErrorOf([&] { map.LoadFromFile(fifo); }),
            "Cannot open file \"" + fifo + "\". It is not a regular file");
  EXPECT_EQ(FileErrorOf([&] { map.LoadFromFile(dir.Path().string()); }),
            "Cannot open file \"" + dir.Path().string() + "\". It is a directory");
  EXPECT_EQ(map.Width(), 2);
  // A layer whose source is a FIFO fails at once and keeps its old image.
  TMapEditLayer* layer = map.AddLayer();
  layer->SetFileName("255");
  EXPECT_THROW(layer->SetFileName(fifo), EFileError);
  EXPECT_EQ(layer->BMP().Pixel(7, 7), ColorFromPlatform(255));
}
