#include "editor/editor_settings.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

QString Path(const vctest::TempDir& Dir, const char* Name) {
  return QString::fromStdString(Dir.File(Name));
}

TEST(EditorSettings, StoredValuesPickTheRadioItems) {
  EXPECT_EQ(FastDrawFromValue(1), TFastDrawMode::SlowOnlyForOutput);
  EXPECT_EQ(FastDrawFromValue(2), TFastDrawMode::AlwaysSlow);
  EXPECT_EQ(FastDrawFromValue(0), TFastDrawMode::AlwaysFast);
  EXPECT_EQ(FastDrawFromValue(-3), TFastDrawMode::AlwaysFast);
  EXPECT_EQ(ShadeFromValue(1), TShadeMode::AtStrokeEnd);
  EXPECT_EQ(ShadeFromValue(2), TShadeMode::Always);
  EXPECT_EQ(ShadeFromValue(7), TShadeMode::None);
  for (int v = 0; v < 3; ++v) {
    EXPECT_EQ(FastDrawToValue(FastDrawFromValue(v)), v);
    EXPECT_EQ(ShadeToValue(ShadeFromValue(v)), v);
  }
}

TEST(EditorSettings, ReadsDefaultsAndNumbersFromTheFile) {
  vctest::TempDir dir;
  TEditorSettings missing(Path(dir, "none.ini"));
  EXPECT_FALSE(missing.Exists());
  EXPECT_EQ(missing.ReadUndoLimit(), 4);
  EXPECT_EQ(missing.ReadFastDraw(), TFastDrawMode::SlowOnlyForOutput);
  EXPECT_EQ(missing.ReadShadeDraw(), TShadeMode::AtStrokeEnd);

  const QString file = Path(dir, "a.ini");
  vctest::WriteFileBytes(file.toStdString(),
                         "[Application]\nLanguage=English\nUndoLimit=abc\n"
                         "[DrawMode]\nFastDraw=0\nShadeDraw=7\n");
  TEditorSettings s(file);
  EXPECT_TRUE(s.Exists());
  EXPECT_EQ(s.ReadUndoLimit(), 4);  // not a number: the default
  EXPECT_EQ(s.ReadString("Application", "Language", ""), "English");
  EXPECT_EQ(s.ReadFastDraw(), TFastDrawMode::AlwaysFast);
  EXPECT_EQ(s.ReadShadeDraw(), TShadeMode::None);

  s.WriteInteger("Application", "UndoLimit", 0);
  EXPECT_EQ(s.ReadUndoLimit(), 1);  // a limit below 1 would keep no record
  s.WriteInteger("Application", "UndoLimit", 1000000);
  EXPECT_EQ(s.ReadUndoLimit(), TEditorSettings::MaxUndoLimit);
  s.WriteInteger("Application", "UndoLimit", 12);
  EXPECT_EQ(s.ReadUndoLimit(), 12);

  s.WriteDrawModes(TFastDrawMode::AlwaysSlow, TShadeMode::Always);
  const std::string text = vctest::ReadFileBytes(file.toStdString());
  EXPECT_NE(text.find("[DrawMode]"), std::string::npos);
  EXPECT_NE(text.find("FastDraw=2"), std::string::npos);
  EXPECT_NE(text.find("ShadeDraw=2"), std::string::npos);
  EXPECT_NE(text.find("Language=English"), std::string::npos);
}

TEST(EditorSettings, FileBesideTheProgramOrInTheUserFolder) {
  EXPECT_EQ(TEditorSettings::ChooseFileName("/opt/vc/bin/vellumcraft", true, "/home/u/.config/x"),
            "/opt/vc/bin/vellumcraft.ini");
  EXPECT_EQ(
      TEditorSettings::ChooseFileName("/opt/vc/bin/vellumcraft.exe", false, "/home/u/.config/x"),
      "/home/u/.config/x/vellumcraft.ini");
}

}  // namespace

namespace {

TEST(EditorSettings, UserFileWithTheProgramsFileAsDefaults) {
  vctest::TempDir dir;
  const QString exe = Path(dir, "bin/vellumcraft");
  const QString config = Path(dir, "config/vellumcraft");
  std::filesystem::create_directories(dir.Path() / "bin");
  const std::string beside = dir.File("bin/vellumcraft.ini");
  vctest::WriteFileBytes(beside, "[Application]\nLanguage=English\nUndoLimit=9\n");

  TEditorSettings s = TEditorSettings::ForExecutable(exe, config);
  EXPECT_EQ(s.FileName(), config + "/vellumcraft.ini");
  EXPECT_EQ(s.DefaultsFileName().toStdString(), beside);
  // Only the defaults exist so far: that counts as a settings file.
  EXPECT_TRUE(s.Exists());
  EXPECT_EQ(s.ReadString("Application", "Language", ""), "English");
  EXPECT_EQ(s.ReadUndoLimit(), 9);
  // Writing goes to the user's file; the program's file stays as it was.
  s.WriteString("Application", "Language", "Japanese");
  EXPECT_EQ(s.ReadString("Application", "Language", ""), "Japanese");
  EXPECT_EQ(s.ReadUndoLimit(), 9);
  EXPECT_EQ(vctest::ReadFileBytes(beside), "[Application]\nLanguage=English\nUndoLimit=9\n");
  EXPECT_TRUE(std::filesystem::exists(dir.File("config/vellumcraft/vellumcraft.ini")));

  // A portable copy asks for the file beside the program, read and written.
  vctest::WriteFileBytes(beside, "[Application]\nPortable=1\nUndoLimit=7\n");
  TEditorSettings portable = TEditorSettings::ForExecutable(exe, config);
  EXPECT_EQ(portable.FileName().toStdString(), beside);
  EXPECT_TRUE(portable.DefaultsFileName().isEmpty());
  EXPECT_EQ(portable.ReadUndoLimit(), 7);

  // With neither file there is no settings file yet.
  TEditorSettings none(Path(dir, "a.ini"), Path(dir, "b.ini"));
  EXPECT_FALSE(none.Exists());
}

}  // namespace
