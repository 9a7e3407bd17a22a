// The tool refuses text a map file cannot hold back when it enters the map (layer
// names and sources from the command line and from layer sets) and layer counts
// beyond what a map may have.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "map/codec/image_file.h"
#include "map/raster/bitmap32.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using vctest::ReadFileBytes;
using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;
using vctest::WriteFileBytes;

namespace {

void ExpectOneLineFailure(const TCliResult& R, const std::string& Says) {
  EXPECT_EQ(R.Status, 1) << R.Err;
  ASSERT_FALSE(R.Err.empty());
  EXPECT_EQ(R.Err.find('\n'), R.Err.size() - 1) << R.Err;
  EXPECT_NE(R.Err.find(Says), std::string::npos) << R.Err;
}

}  // namespace

TEST(CliInput, LayerNamesAndSourcesThatAreNotTextAreRefused) {
  TempDir dir;
  const std::string map = dir.File("m.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "2x2", "--chip", "8"}).Status, 0);
  ASSERT_EQ(RunCli({"edit", map, "-e", "add-layer Lava 255"}).Status, 0);
  const std::string before = ReadFileBytes(map);

  ExpectOneLineFailure(
      RunCli({"edit", map, "-e", "add-layer \"Lava\x82\" 255"}),
      "the layer name \"Lava\\x82\" cannot be used: it is not UTF-8 text (byte 5)");
  ExpectOneLineFailure(RunCli({"edit", map, "-e", "add-layer Lava \"caf\xe9.png\""}),
                       "the layer source \"caf\\xE9.png\" cannot be used: it is not UTF-8 text");
  ExpectOneLineFailure(RunCli({"edit", map, "-e", "edit-layer 0 \"Caf\xe9\" 255"}),
                       "it is not UTF-8 text (byte 4)");
  // A line break inside quotes would split the name over two lines of the file.
  ExpectOneLineFailure(RunCli({"edit", map, "-e", "edit-layer 0 \"two\nlines\" 255"}),
                       "the layer name \"two\\x0Alines\" cannot be used: it holds a line break");
  EXPECT_EQ(ReadFileBytes(map), before);
  // Valid UTF-8 is taken as it is.
  ASSERT_EQ(RunCli({"edit", map, "-e", "edit-layer 0 \"Caf\xc3\xa9\" 255"}).Status, 0);
  EXPECT_NE(RunCli({"info", map}).Out.find("Caf\xc3\xa9"), std::string::npos);
}

TEST(CliInput, ALayerSetThatIsNeitherUtf8NorShiftJisNamesItsLine) {
  TempDir dir;
  TBitmap32 b;
  b.SetSize(2, 2);
  b.Clear(0xFF336699u);
  SaveBmpFile(b, dir.File("stone.bmp"));
  // Latin-1: "é" is the byte E9, which starts no Shift JIS character before a blank.
  WriteFileBytes(dir.File("latin.txt"), "Stone\r\nstone.bmp\r\nCaf\xe9 floor\r\nstone.bmp\r\n");
  const std::string map = dir.File("new.qmx");
  ExpectOneLineFailure(
      RunCli({"new", map, "--size", "2x2", "--chip", "8", "--layer-set", dir.File("latin.txt")}),
      "line 3: the text is neither UTF-8 nor Shift JIS");
  EXPECT_FALSE(fs::exists(map));
  // The same set in UTF-8 makes the map.
  WriteFileBytes(dir.File("utf8.txt"), "Stone\r\nstone.bmp\r\nCaf\xc3\xa9 floor\r\nstone.bmp\r\n");
  TCliResult ok =
      RunCli({"new", map, "--size", "2x2", "--chip", "8", "--layer-set", dir.File("utf8.txt")});
  ASSERT_EQ(ok.Status, 0) << ok.Err;
  EXPECT_NE(RunCli({"info", map}).Out.find("Caf\xc3\xa9 floor"), std::string::npos);
}

TEST(CliInput, NoMoreThan65535LayersEnterAMap) {
  TempDir dir;
  const std::string map = dir.File("m.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "1x1", "--chip", "1"}).Status, 0);
  const std::string before = ReadFileBytes(map);
  // The wall and 65535 more layers: the last add-layer is refused, nothing saved.
  std::string script;
  for (int i = 0; i < 65535; ++i) script += "add-layer L 255\n";
  WriteFileBytes(dir.File("many.txt"), script);
  ExpectOneLineFailure(RunCli({"edit", map, "--script", dir.File("many.txt"), "--quiet"}),
                       "many.txt:65535");
  EXPECT_EQ(ReadFileBytes(map), before);
  // One fewer fits exactly, and the map reads back.
  script.resize(script.size() - 16);
  WriteFileBytes(dir.File("fewer.txt"), script);
  TCliResult r = RunCli({"edit", map, "--script", dir.File("fewer.txt"), "--quiet"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(RunCli({"info", map, "--json"}).Out.find("\"L\""), std::string::npos);

  // A layer set of 65535 layers on top of the wall is refused whole.
  TBitmap32 b;
  b.SetSize(1, 1);
  b.Clear(0xFF000000u);
  SaveBmpFile(b, dir.File("t.bmp"));
  std::string set;
  for (int i = 0; i < 65535; ++i) set += "S\nt.bmp\n";
  WriteFileBytes(dir.File("big.txt"), set);
  const std::string other = dir.File("other.qmx");
  ExpectOneLineFailure(
      RunCli({"new", other, "--size", "1x1", "--chip", "1", "--layer-set", dir.File("big.txt")}),
      "The map would have 65536 layers; it can have at most 65535");
  EXPECT_FALSE(fs::exists(other));
}

TEST(CliInput, CoreErrorsAreInEnglishAndEchoOnlyTheStartOfALine) {
  TempDir dir;
  const std::string map = dir.File("m.qmx");
  ASSERT_EQ(RunCli({"new", map, "--size", "1x1", "--chip", "1"}).Status, 0);
  // A damaged compressed stream.
  WriteFileBytes(dir.File("z.qmx"), "x\x9c garbage that no inflater takes");
  TCliResult r = RunCli({"info", dir.File("z.qmx")});
  ExpectOneLineFailure(r, "Error: the map file \"" + dir.File("z.qmx") + "\" is damaged");
  EXPECT_EQ(r.Err.find("\xE3\x82\xA8"), std::string::npos) << r.Err;  // no "エ"
  // A header number of 5000 characters with a control character in it.
  const std::string text = "KRV2_MAP\r\n" + std::string(5000, '7') + "\x1B,1,1,1\r\n";
  const std::string z = vctest::Deflate(text);
  WriteFileBytes(dir.File("h.qmx"), z);
  r = RunCli({"info", dir.File("h.qmx")});
  ExpectOneLineFailure(r, "'" + std::string(80, '7') + "...' is not a valid integer value (line 2");
  EXPECT_LT(r.Err.size(), 300u) << r.Err;
  EXPECT_EQ(r.Err.find('\x1B'), std::string::npos);
  // A folder named as a texture says so.
  fs::create_directory(dir.File("folder.png"));
  ExpectOneLineFailure(
      RunCli({"edit", map, "-e", "add-layer F \"" + dir.File("folder.png") + "\""}),
      "It is a directory");
}

TEST(CliInput, AMissingTextureWarningShowsItsSourceCutAndWithoutControlCharacters) {
  TempDir dir;
  const std::string source = "\x1B[31m" + std::string(300, 'n') + ".png";
  const std::string text = "KRV2_MAP\r\n1,1,1,1\r\nL\r\n0:" + source +
                           "\r\nKRV2_MAP LAYER\r\n"
                           "C30m\r\nKRV2_MAP DRAW\r\nCG\r\n"
                           "KRV2_MAP HORZ DOOR\r\n0\r\nKRV2_MAP VERT DOOR\r\n0\r\n"
                           "KRV2_MAP FREE DOOR\r\n0\r\n";
  const std::string z = vctest::Deflate(text);
  WriteFileBytes(dir.File("t.qmx"), z);
  TCliResult r = RunCli({"info", dir.File("t.qmx")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("texture \"\\x1B[31m" + std::string(75, 'n') + "\"... could not be loaded"),
            std::string::npos)
      << r.Err;
  EXPECT_EQ(r.Err.find('\x1B'), std::string::npos);
}
