// The preferences command: the undo limit and memory cap, applied to the open
// map's history and kept in the settings file.

#include <gtest/gtest.h>

#include <QAction>
#include <memory>

#include "editor/editor_settings.h"
#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/undo/undo_history.h"
#include "support/test_support.h"

namespace {

class PreferencesTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMapEdit2Form> Make() {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    auto form = std::make_unique<TMapEdit2Form>(std::move(dialogs),
                                                std::make_unique<TEditorSettings>(File()));
    form->LoadSettings();
    return form;
  }
  QString File() const { return QString::fromStdString(Dir.File("vellumcraft.ini")); }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
};

}  // namespace

TEST_F(PreferencesTest, ValuesApplyAtOnceAndAreKeptForTheNextStart) {
  std::unique_ptr<TMapEdit2Form> form = Make();
  // A map with five undo steps.
  Dialogs->Size = {6, 4, 8, {}};
  Dialogs->Discard = TDiscardAnswer::Discard;
  form->New1Execute();
  Dialogs->Layer.LayerName = "Floor";
  Dialogs->Layer.FileName = "12345";
  form->AddLayer1Execute();
  form->UndoList().Reset();
  for (int32_t i = 0; i < 5; ++i) {
    form->PaintBox321MouseDown(TMouseButton::Left, true, 4 + 8 * i, 4);
    form->PaintBox321MouseUp(TMouseButton::Left, false, 4 + 8 * i, 4);
  }
  ASSERT_EQ(form->UndoList().UndoList().Count(), 5);

  // Cancelled: the dialog showed the defaults and nothing changed.
  Dialogs->PreferencesOk = false;
  form->Action("Preferences1")->trigger();
  EXPECT_EQ(Dialogs->PreferencesDialogs, 1);
  EXPECT_EQ(Dialogs->PreferencesShown, (TPreferences{100, 512}));
  EXPECT_EQ(form->UndoLimit(), 100);

  // A lower limit drops the oldest steps now; the cap is the history's.
  Dialogs->PreferencesOk = true;
  Dialogs->PreferencesAnswer = {3, 128};
  form->Action("Preferences1")->trigger();
  EXPECT_EQ(form->UndoLimit(), 3);
  EXPECT_EQ(form->UndoList().UndoLimit(), 3);
  EXPECT_EQ(form->UndoList().MemoryLimit(), int64_t(128) << 20);
  EXPECT_EQ(form->UndoList().UndoList().Count(), 3);
  EXPECT_EQ(form->UndoList().UndoIndex(), 2);
  // Out-of-range answers are brought into range.
  Dialogs->PreferencesAnswer = {0, 1000000};
  form->Action("Preferences1")->trigger();
  EXPECT_EQ(Dialogs->PreferencesShown, (TPreferences{3, 128}));
  EXPECT_EQ(form->UndoLimit(), 1);
  EXPECT_EQ(form->UndoList().MemoryLimit(), int64_t(TPreferences::MaxUndoMemoryMB) << 20);

  Dialogs->PreferencesAnswer = {250, 64};
  form->Action("Preferences1")->trigger();
  const std::string text = vctest::ReadFileBytes(File().toStdString());
  EXPECT_NE(text.find("UndoLimit=250"), std::string::npos) << text;
  EXPECT_NE(text.find("UndoMemoryMB=64"), std::string::npos) << text;
  const TEditorSettings settings(File());
  EXPECT_EQ(settings.ReadUndoLimit(), 250);
  EXPECT_EQ(settings.ReadUndoMemoryMB(), 64);

  // The next start takes them.
  form.reset();
  form = Make();
  EXPECT_EQ(form->UndoLimit(), 250);
  EXPECT_EQ(form->UndoList().MemoryLimit(), int64_t(64) << 20);
  Dialogs->PreferencesOk = false;
  form->Action("Preferences1")->trigger();
  EXPECT_EQ(Dialogs->PreferencesShown, (TPreferences{250, 64}));
}
