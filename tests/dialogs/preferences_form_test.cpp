// The preferences dialog's fields, ranges and captions.

#include "dialogs/preferences_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "dialogs/language_file.h"
#include "support/test_support.h"

TEST(PreferencesForm, FieldsRangesAndCaptions) {
  TPreferencesForm form;
  EXPECT_EQ(form.Values(), (TPreferences{100, 512}));
  EXPECT_EQ(form.UndoLimitEdit()->minimum(), 1);
  EXPECT_EQ(form.UndoLimitEdit()->maximum(), 10000);
  EXPECT_EQ(form.UndoMemoryEdit()->minimum(), 16);
  EXPECT_EQ(form.UndoMemoryEdit()->maximum(), 65536);

  // Values out of range are shown in range.
  form.SetValues({0, 4});
  EXPECT_EQ(form.Values(), (TPreferences{1, 16}));

  // Execute: the fields are filled, then read back on OK.
  TPreferences values{40, 256};
  QTimer::singleShot(0, &form, [&] {
    EXPECT_EQ(form.UndoLimitEdit()->value(), 40);
    EXPECT_EQ(form.UndoMemoryEdit()->value(), 256);
    form.UndoLimitEdit()->setValue(700);
    form.UndoMemoryEdit()->setValue(1024);
    form.OkButton()->click();
  });
  ASSERT_TRUE(form.Execute(values));
  EXPECT_EQ(values, (TPreferences{700, 1024}));
  // Cancelled: the values stay.
  QTimer::singleShot(0, &form, [&] {
    form.UndoLimitEdit()->setValue(5);
    form.reject();
  });
  EXPECT_FALSE(form.Execute(values));
  EXPECT_EQ(values, (TPreferences{700, 1024}));

  // The English file's captions.
  vctest::TempDir dir;
  vctest::WriteFileBytes(dir.File("en.ini"),
                         "[PreferencesForm]\nCaption=Preferences\nUndoLimit=&Undo steps kept:\n"
                         "UndoMemory=&Memory:\nMegabytes=MB\n[Common]\nOK=OK\nCancel=Cancel\n");
  TPreferencesFormCaptions captions;
  LoadLanguage(TLanguageFile::Load(dir.File("en.ini")), captions);
  form.ApplyCaptions(captions);
  EXPECT_EQ(form.windowTitle().toStdString(), "Preferences");
  EXPECT_EQ(form.UndoMemoryEdit()->suffix().toStdString(), " MB");
  EXPECT_EQ(form.Captions().UndoLimit.toStdString(), "&Undo steps kept:");

  EXPECT_EQ(TPreferences::MegabytesOf(int64_t(512) << 20), 512);
  EXPECT_EQ(TPreferences::MegabytesOf((int64_t(512) << 20) + 1), 513);
  EXPECT_EQ(TPreferences::MegabytesOf(0), 0);
}
