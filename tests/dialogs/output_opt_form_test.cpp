#include "dialogs/output_opt_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "dialogs/dialog_services.h"
#include "dialogs/language_file.h"
#include "dialogs/swatch_button.h"
#include "map/raster/bitmap32.h"

namespace {

struct TPicker : IDialogServices {
  std::optional<TColor> Answer;
  std::vector<TColor> Initials;
  std::optional<std::string> OpenFile(QWidget*, const std::string&, const std::string&) override {
    return {};
  }
  std::optional<TColor> PickColor(QWidget*, TColor Initial) override {
    Initials.push_back(Initial);
    return Answer;
  }
  void Alert(QWidget*, const std::string&) override {}
};

TEST(OutputOptForm, DefaultsAndReactions) {
  TPicker picker;
  TOutputOptForm form(nullptr, &picker);
  TOutputOptions o = form.Options();
  EXPECT_FALSE(o.UseGrid);
  EXPECT_FALSE(o.UpGrid);
  EXPECT_TRUE(o.RightGrid);
  EXPECT_TRUE(o.DownGrid);
  EXPECT_FALSE(o.LeftGrid);
  EXPECT_EQ(o.GridColor, 8421504u);
  EXPECT_FALSE(o.HalfTone);

  // The side buttons toggle independently.
  form.SideButton(3)->click();  // left
  form.SideButton(1)->click();  // right
  o = form.Options();
  EXPECT_TRUE(o.LeftGrid);
  EXPECT_FALSE(o.RightGrid);
  EXPECT_TRUE(o.DownGrid);

  form.AllOn();
  o = form.Options();
  EXPECT_TRUE(o.UseGrid && o.LeftGrid && o.RightGrid && o.UpGrid && o.DownGrid);
  form.AllOff();
  o = form.Options();
  EXPECT_FALSE(o.UseGrid || o.LeftGrid || o.RightGrid || o.UpGrid || o.DownGrid);

  // Quick colours: white, gray, black.
  emit form.QuickSwatch(2)->clicked();
  EXPECT_EQ(form.GridColor(), 0u);
  emit form.QuickSwatch(0)->clicked();
  EXPECT_EQ(form.GridColor(), 16777215u);

  // The picker starts from the colour last picked in it, not from the swatch.
  picker.Answer = 255;
  emit form.ColorSwatch()->clicked();
  EXPECT_EQ(form.GridColor(), 255u);
  picker.Answer.reset();
  emit form.ColorSwatch()->clicked();  // cancelled: keeps the colour
  EXPECT_EQ(form.GridColor(), 255u);
  ASSERT_EQ(picker.Initials.size(), 2u);
  EXPECT_EQ(picker.Initials[0], 0u);
  EXPECT_EQ(picker.Initials[1], 255u);
}

TEST(OutputOptForm, LanguageKeys) {
  TOutputOptForm form;
  const TLanguageFile f = TLanguageFile::FromBytes(
      "[OutputForm]\nOK=Export\nCaption=Output\nLeft=L\n[Common]\nCancel=Back\n");
  form.LoadLanguage(f);
  EXPECT_EQ(form.windowTitle().toStdString(), "Output");
  EXPECT_EQ(form.OkButton()->text().toStdString(), "Export");
  EXPECT_EQ(form.SideButton(3)->text().toStdString(), "L");
  EXPECT_EQ(form.Captions().Cancel.toStdString(), "Back");
  EXPECT_EQ(form.SideButton(0)->text().toStdString(), "上");  // no key: built-in kept
}

TEST(OutputOptForm, ImageSizePresetsAndWarnings) {
  TOutputOptForm form;
  // Printing shows the grid only.
  EXPECT_FALSE(form.ImageGroup()->isVisibleTo(&form));
  // A 40 x 30 map of 32-pixel cells as PNG: the chip size, no resolution, custom.
  form.ShowImageOptions(32, 40, 30, false);
  EXPECT_TRUE(form.ImageGroup()->isVisibleTo(&form));
  EXPECT_EQ(form.PixelsPerCell(), 32);
  EXPECT_EQ(form.Dpi(), 0);
  EXPECT_EQ(form.Preset(), TOutputPreset::Custom);
  EXPECT_EQ(form.PresetList()->count(), 4);
  EXPECT_FALSE(form.LosslessCheck()->isEnabled());  // WebP settings only for WebP
  EXPECT_FALSE(form.QualityEdit()->isEnabled());
  EXPECT_FALSE(form.WarningLabel()->isVisibleTo(&form));

  form.PresetList()->setCurrentIndex(int(TOutputPreset::Print300));
  EXPECT_EQ(form.PixelsPerCell(), 300);
  EXPECT_EQ(form.Dpi(), 300);
  form.PresetList()->setCurrentIndex(int(TOutputPreset::Roll20));
  EXPECT_EQ(form.PixelsPerCell(), 70);
  EXPECT_EQ(form.Dpi(), 0);
  // Editing the size shows the preset it matches, or custom.
  form.PixelsEdit()->setValue(100);
  EXPECT_EQ(form.Preset(), TOutputPreset::Foundry);
  form.DpiEdit()->setValue(96);
  EXPECT_EQ(form.Preset(), TOutputPreset::Custom);
  EXPECT_EQ(form.PixelsPerCell(), 100);

  // 40 cells at 500 px is 20000 wide: a visible warning naming what fits, and
  // the output is still allowed for PNG.
  form.PixelsEdit()->setValue(500);
  EXPECT_TRUE(form.WarningLabel()->isVisibleTo(&form));
  EXPECT_TRUE(form.WarningLabel()->text().contains("20000 x 15000"));
  EXPECT_TRUE(form.WarningLabel()->text().contains("16384"));
  EXPECT_TRUE(form.WarningLabel()->text().contains(" 409 "));  // 16384 / 40
  EXPECT_TRUE(form.OkButton()->isEnabled());
  form.PixelsEdit()->setValue(409);
  EXPECT_FALSE(form.WarningLabel()->isVisibleTo(&form));

  // WebP: its limit is 16383, beyond which the output cannot be written. A
  // 64 x 1-cell map at 256 px is 16384 wide: fine as PNG, too wide for WebP.
  form.ShowImageOptions(32, 64, 1, false);
  EXPECT_EQ(form.PixelsPerCell(), 409);  // kept: the user chose it
  form.PixelsEdit()->setValue(256);
  EXPECT_FALSE(form.WarningLabel()->isVisibleTo(&form));
  form.ShowImageOptions(32, 64, 1, true);
  EXPECT_TRUE(form.WarningLabel()->isVisibleTo(&form));
  EXPECT_TRUE(form.WarningLabel()->text().contains("16383"));
  EXPECT_FALSE(form.OkButton()->isEnabled());
  form.PixelsEdit()->setValue(255);
  EXPECT_FALSE(form.WarningLabel()->isVisibleTo(&form));
  EXPECT_TRUE(form.OkButton()->isEnabled());
  EXPECT_TRUE(form.LosslessCheck()->isEnabled());
  EXPECT_FALSE(form.QualityEdit()->isEnabled());  // lossless by default
  form.LosslessCheck()->setChecked(false);
  EXPECT_TRUE(form.QualityEdit()->isEnabled());
  form.QualityEdit()->setValue(35);
  TOutputOptions o = form.Options();
  EXPECT_FALSE(o.Webp.Lossless);
  EXPECT_EQ(o.Webp.Quality, 35);
  // Back to printing: the grid only, and the button enabled again.
  form.PixelsEdit()->setValue(1000);
  EXPECT_FALSE(form.OkButton()->isEnabled());
  form.HideImageOptions();
  EXPECT_TRUE(form.OkButton()->isEnabled());
}

TEST(OutputOptForm, ImageTextsFromALanguageFile) {
  TOutputOptForm form;
  const TLanguageFile f = TLanguageFile::FromBytes(
      "[OutputForm]\nImageOption=Image\nPresetRoll20=Roll20 (70 px per cell)\n"
      "DpiNone=none\nLargeImage=%1 by %2 over %3, use %4\n");
  form.LoadLanguage(f);
  EXPECT_EQ(form.ImageGroup()->title().toStdString(), "Image");
  EXPECT_EQ(form.PresetList()->itemText(1).toStdString(), "Roll20 (70 px per cell)");
  EXPECT_EQ(form.PresetList()->itemText(3).toStdString(), "カスタム");
  EXPECT_EQ(form.DpiEdit()->specialValueText().toStdString(), "none");
  form.ShowImageOptions(10, 100, 1, false);
  form.PixelsEdit()->setValue(200);
  EXPECT_EQ(form.WarningLabel()->text().toStdString(), "20000 by 200 over 16384, use 163");
}

}  // namespace

TEST(OutputOptForm, GridLineStyleChangesTheDrawnGrid) {
  TOutputOptForm form;
  form.ApplyCaptions(TOutputOptFormCaptions{});
  ASSERT_EQ(form.GridStyleList()->count(), 3);
  EXPECT_EQ(form.GridStyleList()->itemText(1), QString("破線"));
  EXPECT_EQ(form.Options().GridStyle, TGridLineStyle::Solid);
  EXPECT_EQ(form.Options().GridOpacity, 100);
  form.UseGridCheck()->setChecked(true);
  form.SetGridColor(0);  // black lines on white

  // The grid of a 4 x 4-cell map of 16 pixels as the image output draws it.
  auto draw = [&](TBitmap32& Image) {
    Image.SetSize(64, 64);
    Image.Clear(0xFFFFFFFFu);
    DrawGrid(Image, 4, 4, 16, form.Options());
  };
  TBitmap32 solid, dashed, faint;
  draw(solid);
  form.GridStyleList()->setCurrentIndex(1);  // the user picks "dashed"
  EXPECT_EQ(form.Options().GridStyle, TGridLineStyle::Dashed);
  draw(dashed);
  // Dashed lines lie on the solid ones, with gaps.
  int32_t lines = 0, kept = 0;
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const bool onLine = solid.Pixel(x, y) != 0xFFFFFFFFu;
      if (!onLine) {
        ASSERT_EQ(dashed.Pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
      }
      lines += onLine;
      kept += onLine && dashed.Pixel(x, y) == solid.Pixel(x, y);
    }
  EXPECT_GT(lines, 0);
  EXPECT_GT(kept, 0);
  EXPECT_LT(kept, lines);

  // Half the opacity: the line pixels come out mid grey, a quarter of the
  // white left where two lines cross.
  form.GridStyleList()->setCurrentIndex(0);
  form.GridOpacityEdit()->setValue(50);
  draw(faint);
  int32_t half = 0;
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x)
      if (solid.Pixel(x, y) != 0xFFFFFFFFu) {
        const uint32_t g = faint.Pixel(x, y) & 0xFF;
        ASSERT_TRUE((g >= 120 && g <= 136) || (g >= 56 && g <= 72)) << x << "," << y << ": " << g;
        half += g >= 120;
      }
  EXPECT_GT(half, 0);

  // The settings go in and out whole, as the editor opens the dialog on the
  // map's own grid style.
  TOutputOptions o;
  o.GridStyle = TGridLineStyle::Dotted;
  o.GridOpacity = 30;
  form.SetOptions(o);
  EXPECT_EQ(form.GridStyleList()->currentIndex(), 2);
  EXPECT_EQ(form.Options().GridStyle, TGridLineStyle::Dotted);
  EXPECT_EQ(form.Options().GridOpacity, 30);

  form.LoadLanguage(
      TLanguageFile::FromBytes("[OutputForm]\nGridDashed=Dashed\nGridLineStyle=Lines\n"));
  EXPECT_EQ(form.GridStyleList()->itemText(1).toStdString(), "Dashed");
  EXPECT_EQ(form.GridStyleList()->itemText(2), QString("点線"));  // no key: built-in kept
}
