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
  EXPECT_EQ(missing.ReadUndoLimit(), 100);  // a hundred steps back by default
  EXPECT_EQ(missing.ReadFastDraw(), TFastDrawMode::SlowOnlyForOutput);
  EXPECT_EQ(missing.ReadShadeDraw(), TShadeMode::AtStrokeEnd);

  const QString file = Path(dir, "a.ini");
  vctest::WriteFileBytes(file.toStdString(),
                         "[Application]\nLanguage=English\nUndoLimit=abc\n"
                         "[DrawMode]\nFastDraw=0\nShadeDraw=7\n");
  TEditorSettings s(file);
  EXPECT_TRUE(s.Exists());
  EXPECT_EQ(s.ReadUndoLimit(), 100);  // not a number: the default
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
