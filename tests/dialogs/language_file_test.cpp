#include "dialogs/language_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "dialogs/dialog_languages.h"
#include "dialogs/file_form.h"
#include "dialogs/layer_form.h"
#include "dialogs/map_tile_form.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace {

// "ファイル(&F)" in Shift JIS.
const std::string kFileSjis = "\x83\x74\x83\x40\x83\x43\x83\x8B(&F)";

TEST(LanguageFileTest, ReadsUtf8AndShiftJisAlike) {
  const TLanguageFile utf8 = TLanguageFile::FromBytes(
      "\xEF\xBB\xBF[MainMenu]\r\nFile=ファイル(&F)\r\nEdit=\r\n[LayerForm]\nJapaneseColorName=1\n");
  const TLanguageFile sjis =
      TLanguageFile::FromBytes("[MainMenu]\r\nFile=" + kFileSjis + "\r\nEdit=\r\n");
  for (const TLanguageFile* f : {&utf8, &sjis}) {
    EXPECT_EQ(f->ReadString("MainMenu", "File", "x").toStdString(), "ファイル(&F)");
    // Sections and keys match without regard to case; an empty value stays empty.
    EXPECT_EQ(f->ReadString("mainmenu", "FILE", "x").toStdString(), "ファイル(&F)");
    EXPECT_TRUE(f->ReadString("MainMenu", "Edit", "x").isEmpty());
    EXPECT_EQ(f->ReadString("MainMenu", "Map", "kept").toStdString(), "kept");
  }
  EXPECT_EQ(utf8.ReadInteger("LayerForm", "JapaneseColorName", 0), 1);
  EXPECT_EQ(utf8.ReadInteger("MainMenu", "File", 7), 7);  // not a number
  // Every lookup is recorded, found or not.
  EXPECT_EQ(sjis.KeysRead().count({"mainmenu", "map"}), 1u);
  EXPECT_EQ(sjis.Keys().size(), 2u);
}

TEST(LanguageFileTest, RefusesMissingAndOversizedFiles) {
  vctest::TempDir dir;
  EXPECT_THROW(TLanguageFile::Load(dir.File("none.ini")), EFileError);
  std::string big = "[Title]\nLang=Big\n";
  big.resize(size_t(TLanguageFile::MaxFileSize) + 1, ';');
  vctest::WriteFileBytes(dir.File("big.ini"), big);
  try {
    TLanguageFile::Load(dir.File("big.ini"));
    FAIL() << "an oversized file was read";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("big.ini"), std::string::npos);
  }
  // The same limit holds for text handed over in memory; one byte less is read.
  EXPECT_THROW(TLanguageFile::FromBytes(big), EFileError);
  big.pop_back();
  EXPECT_EQ(TLanguageFile::FromBytes(big).ReadString("Title", "Lang", ""), "Big");
  // Lines that are not ini syntax are skipped, the rest read.
  const TLanguageFile odd = TLanguageFile::FromBytes("garbage\n[Title]\nLang=Ok\n[broken\nx");
  EXPECT_EQ(odd.ReadString("Title", "Lang", "").toStdString(), "Ok");
}

TEST(LanguageFileTest, TextThatIsNeitherUtf8NorShiftJisIsRefusedNamingTheLine) {
  vctest::TempDir dir;
  // Line 3 holds Latin-1 "é" before a blank, no Shift JIS character.
  vctest::WriteFileBytes(dir.File("latin.ini"),
                         "[Title]\r\nLang=Fran\xE7"
                         "ais\r\nExe=Caf\xE9 map\r\n");
  try {
    TLanguageFile::Load(dir.File("latin.ini"));
    FAIL() << "a Latin-1 file was read";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Language file \"" + dir.File("latin.ini") +
                                         "\", line 3: the text is neither UTF-8 nor Shift JIS");
  }
  EXPECT_THROW(TLanguageFile::FromBytes("[A]\nB=\xFF\n"), EFileError);
}

TEST(LanguageFileTest, OnlyRegularFilesAreReadAndAFifoDoesNotBlock) {
  vctest::TempDir dir;
  const std::string fifo = dir.File("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero"), dir.Path().string()}) {
    try {
      TLanguageFile::Load(path);
      ADD_FAILURE() << path << " was read";
    } catch (const EFileError& e) {
      const std::string m = e.what();
      EXPECT_NE(m.find("'" + path + "'"), std::string::npos) << m;
      EXPECT_TRUE(m.find("It is not a regular file") != std::string::npos ||
                  m.find("It is a directory") != std::string::npos)
          << m;
    }
  }
}

TEST(LanguageFileTest, EveryDialogReadsItsSection) {
  const TLanguageFile f = TLanguageFile::FromBytes(
      "[Common]\nOK=Okay\nCancel=Stop\n"
      "[MapSizeForm]\nCaption=Map Size\nx=by\n"
      "[LayerForm]\nCaption=Layer\nJapaneseColorName=1\n"
      "[MapTileForm]\nCaption=Chip\nOK=Use Chip\nBMPAlert=Cannot open\n");
  TFileForm fileForm;
  fileForm.LoadLanguage(f);
  EXPECT_EQ(fileForm.windowTitle().toStdString(), "Map Size");
  EXPECT_EQ(fileForm.Captions().Times.toStdString(), "by");
  EXPECT_EQ(fileForm.Captions().OK.toStdString(), "Okay");
  // A key the file lacks keeps the built-in text.
  EXPECT_EQ(fileForm.Captions().Width.toStdString(), "幅");

  TMapTileForm tileForm;
  TLayerForm layerForm(&tileForm);
  tileForm.LoadLanguage(f);
  layerForm.LoadLanguage(f);
  EXPECT_EQ(tileForm.windowTitle().toStdString(), "Chip");
  // The map chip dialog's buttons have their own section, not "Common".
  EXPECT_EQ(tileForm.Captions().OK.toStdString(), "Use Chip");
  EXPECT_EQ(tileForm.Captions().Cancel.toStdString(), "画像全体を使う");
  EXPECT_EQ(tileForm.AlertText().toStdString(), "Cannot open");
  EXPECT_EQ(layerForm.windowTitle().toStdString(), "Layer");
  EXPECT_EQ(layerForm.Captions().Cancel.toStdString(), "Stop");
  EXPECT_TRUE(layerForm.UseJpColor);
}

}  // namespace

namespace {

TEST(LanguageFileTest, LinesFollowTheClassicIniRules) {
  // A value of 1,000 bytes stays one value: nothing after it becomes a key.
  const std::string longValue(995, 'x');
  const std::string longLine = "Exe=" + longValue + "Lang=Injected";
  ASSERT_GT(longLine.size(), 1000u);
  const TLanguageFile f = TLanguageFile::FromBytes("[Title]\n" + longLine +
                                                   "\n"
                                                   "[MainMenu]\n"
                                                   "File=Save ; or not\n"
                                                   "; Edit=commented out\n"
                                                   "   ; Map=an indented comment\n"
                                                   "Layer=Layers\n"
                                                   "   View=Indented\n"
                                                   "\tLanguage = Tabbed \r\n"
                                                   "  [  FileMenu  ]\n"
                                                   "New=  spaced  value  \n"
                                                   "=no key\n");
  EXPECT_EQ(f.ReadString("Title", "Exe", "").toStdString(), longValue + "Lang=Injected");
  EXPECT_EQ(f.ReadString("Title", "Lang", "missing").toStdString(), "missing");
  // ";" inside a value is part of it; at the start of a line it is a comment.
  EXPECT_EQ(f.ReadString("MainMenu", "File", "").toStdString(), "Save ; or not");
  EXPECT_FALSE(f.HasKey("MainMenu", "Edit"));
  EXPECT_FALSE(f.HasKey("MainMenu", "Map"));
  // An indented line is a line of its own, not the continuation of the one above.
  EXPECT_EQ(f.ReadString("MainMenu", "Layer", "").toStdString(), "Layers");
  EXPECT_EQ(f.ReadString("MainMenu", "View", "").toStdString(), "Indented");
  EXPECT_EQ(f.ReadString("MainMenu", "Language", "").toStdString(), "Tabbed");
  EXPECT_EQ(f.ReadString("FileMenu", "New", "").toStdString(), "spaced  value");
  EXPECT_EQ(f.Keys().size(), 6u);
}

}  // namespace
