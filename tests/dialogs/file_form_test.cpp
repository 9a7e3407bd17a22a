#include "dialogs/file_form.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "controls/dial_spin_edit.h"
#include "support/test_support.h"

namespace {

void ClickItem(QListWidget* List, int Row) {
  const QRect r = List->visualItemRect(List->item(Row));
  QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, r.center());
}

QStringList Items(QListWidget* List) {
  QStringList out;
  for (int i = 0; i < List->count(); ++i) out << List->item(i)->text();
  return out;
}

}  // namespace

TEST(FileForm, DefaultsAndImageSize) {
  TFileForm f;
  EXPECT_EQ(f.windowTitle(), "マップサイズとチップサイズの設定");
  EXPECT_EQ(f.MapWidth(), 20);
  EXPECT_EQ(f.MapHeight(), 20);
  EXPECT_EQ(f.MapSize(), 50);
  EXPECT_EQ(f.CustomEdit()->Value(), 48);
  EXPECT_EQ(f.ImageSizeText(), "1000×1000");

  f.SetMapWidth(20);
  f.SetMapHeight(15);
  f.show();
  f.ChipOption(1)->click();
  EXPECT_EQ(f.MapSize(), 32);
  EXPECT_EQ(f.ImageSizeText(), "640×480");
  f.CustomEdit()->SetValue(8);
  EXPECT_TRUE(f.ChipOption(3)->isChecked());
  EXPECT_EQ(f.MapSize(), 8);
  EXPECT_EQ(f.ImageSizeText(), "160×120");

  // MapSize written: the three fixed sizes choose their option, others the custom one.
  f.SetMapSize(16);
  EXPECT_TRUE(f.ChipOption(0)->isChecked());
  EXPECT_EQ(f.CustomEdit()->Value(), 8);
  EXPECT_EQ(f.ImageSizeText(), "320×240");
  f.SetMapSize(64);
  EXPECT_TRUE(f.ChipOption(3)->isChecked());
  EXPECT_EQ(f.MapSize(), 64);

  // A size handler replaces the plain product.
  f.OnCalcSize = [](int32_t X, int32_t Y, int32_t S) { return QPoint(X + S, Y * 2); };
  f.SetMapHeight(7);
  EXPECT_EQ(f.ImageSizeText(), "84×14");

  // The "×" caption joins the numbers.
  f.OnCalcSize = nullptr;
  TFileFormCaptions c = f.Captions();
  c.Times = " x ";
  f.ApplyCaptions(c);
  EXPECT_EQ(f.ImageSizeText(), "1280 x 448");
}

TEST(FileForm, TypingIntoTheCustomFieldChoosesIt) {
  TFileForm f;
  f.show();
  f.ChipOption(1)->click();
  ASSERT_TRUE(f.ChipOption(1)->isChecked());
  f.CustomEdit()->SetText("");
  QTest::keyClicks(f.CustomEdit(), "2");
  EXPECT_TRUE(f.ChipOption(3)->isChecked());
  EXPECT_EQ(f.MapSize(), 2);  // read as typed until confirmed
  EXPECT_EQ(f.ImageSizeText(), "40×40");
}

TEST(FileForm, ConfirmBringsTypedValuesIntoRange) {
  TFileForm f;
  f.show();
  f.WidthEdit()->SetText("999");
  f.HeightEdit()->SetText("0");
  f.CustomEdit()->SetText("500");  // chooses the custom option
  f.ChipOption(1)->click();
  f.accept();
  EXPECT_EQ(f.MapWidth(), 200);
  EXPECT_EQ(f.MapHeight(), 1);
  // Clamping the custom field does not take the choice away from 32.
  EXPECT_TRUE(f.ChipOption(1)->isChecked());
  EXPECT_EQ(f.MapSize(), 32);
  EXPECT_EQ(f.CustomEdit()->Value(), 100);
  EXPECT_EQ(f.ImageSizeText(), "6400×32");
}

TEST(FileForm, LayerSetListAndSelection) {
  vctest::TempDir dir;
  for (const char* n : {"Dungeon.txt", "cave.txt", "Town.txt", "readme.md"})
    vctest::WriteFileBytes(dir.File(n), "Floor\r\n8421504\r\n");
  TFileForm f;
  f.SetLayerSetFolders({dir.Path()});
  f.SetLayerSet("TOWN");
  f.PrepareExecute(true);
  EXPECT_FALSE(f.LayerSetGroup()->isHidden());
  EXPECT_EQ(Items(f.SetList()), QStringList({"Dungeon", "Town", "cave"}));
  ASSERT_EQ(f.SetList()->selectedItems().size(), 1);
  EXPECT_EQ(f.SetList()->selectedItems()[0]->text(), "Town");
  // Still "create new": closing forgets the set.
  f.FinishExecute();
  EXPECT_EQ(f.LayerSet(), "");

  // Choosing "use a set" with nothing selected selects the first item.
  f.PrepareExecute(true);
  EXPECT_TRUE(f.SetList()->selectedItems().isEmpty());
  f.UseSetOption()->click();
  ASSERT_EQ(f.SetList()->selectedItems().size(), 1);
  EXPECT_EQ(f.SetList()->selectedItems()[0]->text(), "Dungeon");
  f.FinishExecute();
  EXPECT_EQ(f.LayerSet(), "Dungeon");
  EXPECT_EQ(f.LayerSetFile(), dir.Path() / "Dungeon.txt");

  // A set removed since the last opening: nothing selected, replaced on close.
  std::filesystem::remove(dir.Path() / "Dungeon.txt");
  f.PrepareExecute(true);
  EXPECT_TRUE(f.SetList()->selectedItems().isEmpty());
  EXPECT_TRUE(f.UseSetOption()->isChecked());
  f.FinishExecute();
  EXPECT_EQ(f.LayerSet(), "");

  // Without the layer sets the group is hidden.
  f.PrepareExecute(false);
  EXPECT_TRUE(f.LayerSetGroup()->isHidden());
}

TEST(FileForm, MissingFolderDisablesTheSets) {
  vctest::TempDir dir;
  TFileForm f;
  f.SetLayerSetFolders({dir.Path() / "absent"});
  f.SetLayerSet("Town");
  f.PrepareExecute(true);
  EXPECT_TRUE(f.CreateNewOption()->isChecked());
  EXPECT_FALSE(f.UseSetOption()->isEnabled());
  EXPECT_FALSE(f.SetList()->isEnabled());
  EXPECT_EQ(f.SetList()->count(), 0);
  f.FinishExecute();
  EXPECT_EQ(f.LayerSet(), "");
}

TEST(FileForm, CancelRemembersTheChosenSet) {
  vctest::TempDir dir;
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) vctest::WriteFileBytes(dir.File(n), "");
  TFileForm f;
  f.SetLayerSetFolders({dir.Path()});
  QTimer::singleShot(0, &f, [&] {
    ClickItem(f.SetList(), 1);  // clicking an item chooses "use a set"
    f.reject();
  });
  EXPECT_FALSE(f.Execute(true));
  EXPECT_EQ(f.LayerSet(), "b");

  QTimer::singleShot(0, &f, [&] {
    EXPECT_TRUE(f.UseSetOption()->isChecked());
    ASSERT_EQ(f.SetList()->selectedItems().size(), 1);
    EXPECT_EQ(f.SetList()->selectedItems()[0]->text(), "b");
    f.OkButton()->click();
  });
  EXPECT_TRUE(f.Execute(true));
  EXPECT_EQ(f.LayerSet(), "b");
}

TEST(FileForm, EnterInASizeFieldPressesOkAndEscapeCancels) {
  TFileForm f;
  // A width typed and confirmed with Enter is taken, and the dialog closes as OK.
  QTimer::singleShot(0, &f, [&] {
    f.WidthEdit()->setFocus();
    f.WidthEdit()->selectAll();
    QTest::keyClicks(f.WidthEdit(), "31");
    QTest::keyClick(f.WidthEdit(), Qt::Key_Return);
  });
  QTimer::singleShot(2000, &f, [&] { f.reject(); });  // a key that did nothing
  EXPECT_TRUE(f.Execute(false));
  EXPECT_EQ(f.MapWidth(), 31);

  QTimer::singleShot(0, &f, [&] {
    f.HeightEdit()->setFocus();
    QTest::keyClick(f.HeightEdit(), Qt::Key_Escape);
  });
  QTimer::singleShot(2000, &f, [&] { f.accept(); });
  EXPECT_FALSE(f.Execute(false));
}
