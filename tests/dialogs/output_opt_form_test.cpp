#include "dialogs/output_opt_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>

#include "dialogs/dialog_services.h"
#include "dialogs/language_file.h"
#include "dialogs/swatch_button.h"

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

}  // namespace
