#include "dialogs/vtt_export_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

TEST(VttExportForm, PresetsRangeAndCaptions) {
  TVttExportForm form;
  form.Prepare(50, 0, true);
  EXPECT_EQ(form.PixelsPerGrid(), 50);  // 0 stands for the chip size
  EXPECT_TRUE(form.Grid());
  EXPECT_EQ(form.PresetButton(0)->text(), "チップサイズ (50)");
  for (int i = 1; i <= 3; ++i) {
    form.PresetButton(i)->click();
    EXPECT_EQ(form.PixelsPerGrid(), TVttExportForm::kPresets[i - 1]);
    EXPECT_EQ(form.PresetButton(i)->text().toInt(), TVttExportForm::kPresets[i - 1]);
  }
  form.PresetButton(0)->click();
  EXPECT_EQ(form.PixelsPerGrid(), 50);
  form.PixelsEdit()->setValue(5000);
  EXPECT_EQ(form.PixelsPerGrid(), 1000);
  form.PixelsEdit()->setValue(0);
  EXPECT_EQ(form.PixelsPerGrid(), 1);

  TVttExportFormCaptions english;
  english.Caption = "Universal VTT";
  english.ChipSize = "Chip size (%1)";
  english.Grid = "Grid lines";
  english.OK = "Export";
  form.ApplyCaptions(english);
  EXPECT_EQ(form.windowTitle(), "Universal VTT");
  EXPECT_EQ(form.PresetButton(0)->text(), "Chip size (50)");
  EXPECT_EQ(form.GridCheck()->text(), "Grid lines");
  EXPECT_EQ(form.OkButton()->text(), "Export");
}

TEST(VttExportForm, ExecuteReturnsTheFieldsOnlyWhenConfirmed) {
  TVttExportForm form;
  int32_t pixels = 140;
  bool grid = false;
  QTimer::singleShot(0, &form, [&] {
    form.PixelsEdit()->setValue(100);
    form.GridCheck()->setChecked(true);
    form.OkButton()->click();
  });
  ASSERT_TRUE(form.Execute(32, pixels, grid));
  EXPECT_EQ(pixels, 100);
  EXPECT_TRUE(grid);

  QTimer::singleShot(0, &form, [&] {
    form.PixelsEdit()->setValue(70);
    form.reject();
  });
  EXPECT_FALSE(form.Execute(32, pixels, grid));
  EXPECT_EQ(pixels, 100);
}

TEST(VttExportForm, NamedPresetsAndTheLargeImageWarning) {
  TVttExportForm form;
  form.SetMapSize(200, 50);
  form.Prepare(32, 0, false);
  ASSERT_EQ(form.PresetList()->count(), 4);
  EXPECT_EQ(form.PresetList()->currentIndex(), int(TOutputPreset::Custom));
  EXPECT_FALSE(form.WarningLabel()->isVisibleTo(&form));
  form.PresetList()->setCurrentIndex(int(TOutputPreset::Roll20));
  EXPECT_EQ(form.PixelsPerGrid(), 70);
  EXPECT_FALSE(form.WarningLabel()->isVisibleTo(&form));  // 14000 wide
  // 200 cells at 100 px is 20000: the warning names the 81 pixels that fit.
  form.PresetList()->setCurrentIndex(int(TOutputPreset::Foundry));
  EXPECT_EQ(form.PixelsPerGrid(), 100);
  EXPECT_TRUE(form.WarningLabel()->isVisibleTo(&form));
  EXPECT_TRUE(form.WarningLabel()->text().contains("20000 x 5000"));
  EXPECT_TRUE(form.WarningLabel()->text().contains(" 81 "));
  // Typing a value picks the matching preset, or custom.
  form.PixelsEdit()->setValue(300);
  EXPECT_EQ(form.PresetList()->currentIndex(), int(TOutputPreset::Print300));
  form.PixelsEdit()->setValue(81);
  EXPECT_EQ(form.PresetList()->currentIndex(), int(TOutputPreset::Custom));
  EXPECT_FALSE(form.WarningLabel()->isVisibleTo(&form));
  // The custom entry keeps the value.
  form.PresetList()->setCurrentIndex(int(TOutputPreset::Custom));
  EXPECT_EQ(form.PixelsPerGrid(), 81);
  TVttExportFormCaptions english;
  english.PresetTexts.Names[0] = "Foundry / Universal VTT (100 px per cell)";
  form.ApplyCaptions(english);
  EXPECT_EQ(form.PresetList()->itemText(0), "Foundry / Universal VTT (100 px per cell)");
  EXPECT_EQ(form.PresetList()->currentIndex(), int(TOutputPreset::Custom));
}
