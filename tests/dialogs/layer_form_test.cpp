#include "dialogs/layer_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "controls/ellipsis_edit.h"
#include "dialogs/color_names.h"
#include "dialogs/dialog_services.h"
#include "dialogs/map_tile_form.h"
#include "dialogs/swatch_button.h"
#include "map/codec/image_file.h"
#include "map/raster/bitmap32.h"
#include "support/test_support.h"

namespace {

class TScriptedServices : public IDialogServices {
 public:
  std::optional<std::string> OpenFile(QWidget*, const std::string&,
                                      const std::string& Filter) override {
    Filters.push_back(Filter);
    return NextFile;
  }
  std::optional<TColor> PickColor(QWidget*, TColor Initial) override {
    PickerStarts.push_back(Initial);
    return NextColor;
  }
  void Alert(QWidget*, const std::string& Text) override { Alerts.push_back(Text); }

  std::optional<std::string> NextFile;
  std::optional<TColor> NextColor;
  std::vector<std::string> Filters;
  std::vector<TColor> PickerStarts;
  std::vector<std::string> Alerts;
};

std::string WriteImage(const vctest::TempDir& Dir, const std::string& Name, int W, int H) {
  TBitmap32 b;
  b.SetSize(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) b.Pixel(x, y) = MakeColor(10, 20, 30);
  const std::string path = Dir.File(Name);
  SavePNGFile(b, path);
  return path;
}

struct TLayerFormFixture : ::testing::Test {
  TScriptedServices Services;
  TMapTileForm Tiles{nullptr, &Services};
  TLayerForm Form{&Tiles, nullptr, &Services};
};

}  // namespace

TEST(ColorNames, BothLanguagesAndHexText) {
  EXPECT_EQ(ColorToName(8421376, false), "Teal");
  EXPECT_EQ(ColorToName(8421376, true), "青緑");
  EXPECT_EQ(ColorToName(16744448, false), "Cobalt Blue");
  EXPECT_EQ(ColorToName(16744448, true), "コバルトブルー");
  EXPECT_EQ(ColorToName(32768, true), "緑");
  EXPECT_EQ(ColorToName(12639424, true), "緑");
  EXPECT_EQ(ColorToName(12639424, false), "MoneyGreen");
  EXPECT_EQ(ColorToName(0, false), "Black");
  EXPECT_EQ(ColorToName(5649426, false), "$00563412");
  EXPECT_EQ(ColorToName(5649426, true), "$00563412");
  EXPECT_EQ(ColorToName(0xABCDEF, false), "$00ABCDEF");
}

TEST_F(TLayerFormFixture, QuickColoursNameTheLayer) {
  Form.show();
  EXPECT_EQ(Form.windowTitle(), "レイヤーの設定");
  // A name the user typed stays ("Water" must not become "Teal").
  Form.NameEdit()->setText("typed before");
  QTest::mouseClick(Form.QuickSwatch(2), Qt::LeftButton);
  EXPECT_EQ(Form.LayerName(), "typed before");
  EXPECT_EQ(Form.FileName(), "8421376");
  // An empty name field takes the colour's name, and so does a name the dialog
  // suggested itself.
  Form.NameEdit()->clear();
  QTest::mouseClick(Form.QuickSwatch(2), Qt::LeftButton);
  EXPECT_EQ(Form.LayerName(), "Teal");
  EXPECT_EQ(Form.FileName(), "8421376");
  EXPECT_TRUE(Form.OneColorOption()->isChecked());
  Form.UseJpColor = true;
  QTest::mouseClick(Form.QuickSwatch(2), Qt::LeftButton);
  EXPECT_EQ(Form.LayerName(), "青緑");
  QTest::mouseClick(Form.QuickSwatch(3), Qt::LeftButton);
  EXPECT_EQ(Form.LayerName(), "コバルトブルー");
  Form.UseJpColor = false;
  QTest::mouseClick(Form.QuickSwatch(3), Qt::LeftButton);
  EXPECT_EQ(Form.LayerName(), "Cobalt Blue");
  EXPECT_EQ(Form.FileName(), "16744448");
  QTest::mouseClick(Form.QuickSwatch(1), Qt::LeftButton);
  EXPECT_EQ(Form.FileName(), "8421504");
  EXPECT_EQ(Form.LayerName(), "Gray");
}

TEST_F(TLayerFormFixture, ColourPickerStartsFromItsLastColour) {
  Form.show();
  QTest::mouseClick(Form.QuickSwatch(2), Qt::LeftButton);
  Services.NextColor = 5649426;  // #123456
  QTest::mouseClick(Form.ColorSwatch(), Qt::LeftButton);
  EXPECT_EQ(Form.LayerName(), "$00563412");
  EXPECT_EQ(Form.FileName(), "5649426");
  EXPECT_EQ(Form.CurrentColor(), 5649426);
  // Cancelled: nothing changes; the picker started from its own last colour.
  QTest::mouseClick(Form.QuickSwatch(0), Qt::LeftButton);
  Services.NextColor.reset();
  QTest::mouseClick(Form.ColorSwatch(), Qt::LeftButton);
  EXPECT_EQ(Form.LayerName(), "White");
  ASSERT_EQ(Services.PickerStarts.size(), 2u);
  EXPECT_EQ(Services.PickerStarts[0], 0);
  EXPECT_EQ(Services.PickerStarts[1], 5649426);
}

TEST_F(TLayerFormFixture, FileNameAndOkRule) {
  vctest::TempDir dir;
  const std::string image = WriteImage(dir, "stone.png", 64, 64);
  Form.SetLayerName("");
  Form.SetFileName("255");
  EXPECT_TRUE(Form.OneColorOption()->isChecked());
  EXPECT_EQ(Form.CurrentColor(), 255);
  EXPECT_EQ(TSwatchButton::ToQColor(Form.ColorSwatch()->Color()), QColor(255, 0, 0));
  EXPECT_EQ(Form.FileName(), "255");
  EXPECT_FALSE(Form.OkButton()->isEnabled());  // empty name
  Form.SetLayerName("Lava");
  EXPECT_TRUE(Form.OkButton()->isEnabled());
  EXPECT_TRUE(Form.ChipPositionButton()->isHidden());

  const std::string chip = "<0,0,32>" + image;
  Form.SetFileName(chip);
  EXPECT_TRUE(Form.FromFileOption()->isChecked());
  EXPECT_EQ(Form.FileEdit()->text().toStdString(), chip);
  EXPECT_EQ(Form.FileName(), chip);
  EXPECT_TRUE(Form.OkButton()->isEnabled());
  EXPECT_FALSE(Form.ChipPositionButton()->isHidden());

  // Malformed references and missing files keep OK disabled.
  for (const std::string& bad : {"<0,0>" + image, "<0,0,32,4>" + image, "<0,a,32>" + image,
                                 "<0,0,32" + image, dir.File("absent.png"), std::string()}) {
    Form.SetFileName(bad);
    EXPECT_FALSE(Form.OkButton()->isEnabled()) << bad;
    EXPECT_TRUE(Form.ChipPositionButton()->isHidden()) << bad;
  }
  // Going back to one colour enables OK again, whatever the file field holds.
  Form.OneColorOption()->click();
  EXPECT_TRUE(Form.OkButton()->isEnabled());
  Form.SetLayerName("");
  EXPECT_FALSE(Form.OkButton()->isEnabled());
}

TEST_F(TLayerFormFixture, OkRefusesANameThatAMapFileCannotHoldOnOneLine) {
  Form.SetFileName("255");
  Form.SetLayerName("two\nlines");  // as pasted into the edit
  int results = 0;
  QObject::connect(&Form, &QDialog::finished, [&](int) { ++results; });
  Form.show();
  ASSERT_TRUE(Form.OkButton()->isEnabled());
  QTest::mouseClick(Form.OkButton(), Qt::LeftButton);
  ASSERT_EQ(Services.Alerts.size(), 1u);
  EXPECT_EQ(Services.Alerts[0],
            "The layer name \"two\\x0Alines\" cannot be used: it holds a line break.");
  EXPECT_EQ(results, 0);
  EXPECT_TRUE(Form.isVisible());
  // A name on one line closes the dialog with OK.
  Form.SetLayerName("Lava");
  QTest::mouseClick(Form.OkButton(), Qt::LeftButton);
  EXPECT_EQ(Services.Alerts.size(), 1u);
  EXPECT_EQ(results, 1);
  EXPECT_EQ(Form.result(), QDialog::Accepted);
}

TEST_F(TLayerFormFixture, ChoosingAFileAndTheChipPosition) {
  vctest::TempDir dir;
  const std::string small = WriteImage(dir, "grass field.png", 100, 100);
  Services.NextFile = small;
  Form.show();
  QTest::mouseClick(Form.FileEdit()->findChild<QToolButton*>(), Qt::LeftButton);
  ASSERT_EQ(Services.Filters.size(), 1u);
  EXPECT_EQ(Services.Filters[0], TLayerForm::ImageFilter);
  EXPECT_TRUE(Form.FromFileOption()->isChecked());
  EXPECT_EQ(Form.FileName(), small);  // not a chip sheet: the path itself
  EXPECT_EQ(Form.LayerName(), "grass field");
  EXPECT_TRUE(Form.OkButton()->isEnabled());

  // "Change chip position" hands the path inside a reference to the chip dialog.
  Form.SetLayerName("kept");
  Form.SetFileName("<0,0,16>" + small);
  ASSERT_FALSE(Form.ChipPositionButton()->isHidden());
  Form.ChipPositionButton()->click();
  EXPECT_EQ(Form.FileName(), small);
  EXPECT_EQ(Form.LayerName(), "kept");

  // An unreadable file: the chip dialog alerts and the field becomes empty.
  const std::string bad = dir.File("bad.png");
  vctest::WriteFileBytes(bad, "not a png");
  Services.NextFile = bad;
  QTest::mouseClick(Form.FileEdit()->findChild<QToolButton*>(), Qt::LeftButton);
  EXPECT_EQ(Services.Alerts.size(), 1u);
  EXPECT_EQ(Form.FileName(), "");
  // The layer's own name (as when editing a layer) is not replaced by the file's.
  EXPECT_EQ(Form.LayerName(), "kept");
  EXPECT_FALSE(Form.OkButton()->isEnabled());

  // Cancelled chooser: nothing changes.
  Services.NextFile.reset();
  Form.SetFileName(small);
  QTest::mouseClick(Form.FileEdit()->findChild<QToolButton*>(), Qt::LeftButton);
  EXPECT_EQ(Form.FileName(), small);
  EXPECT_EQ(Form.LayerName(), "kept");
}

TEST_F(TLayerFormFixture, WhereToAddAndType) {
  Form.SetAdditions({});
  Form.PrepareExecute(true);
  EXPECT_TRUE(Form.AdditionGroup()->isHidden());  // no layers yet
  Form.SetAdditions({"Grass", "Water", "Sand"});
  Form.PrepareExecute(false);
  EXPECT_TRUE(Form.AdditionGroup()->isHidden());
  Form.PrepareExecute(true);
  EXPECT_FALSE(Form.AdditionGroup()->isHidden());
  EXPECT_EQ(Form.Additions(), (std::vector<std::string>{"Grass", "Water", "Sand"}));
  EXPECT_EQ(Form.AdditionIndex(), -1);
  // Before a layer without a chosen item still appends.
  Form.AddBeforeOption()->click();
  EXPECT_EQ(Form.AdditionIndex(), -1);
  Form.AddLastOption()->click();
  Form.AdditionList()->setCurrentIndex(1);
  emit Form.AdditionList()->activated(1);
  EXPECT_TRUE(Form.AddBeforeOption()->isChecked());
  EXPECT_EQ(Form.AdditionIndex(), 1);
  // New names reset the choice.
  Form.SetAdditions({"Grass"});
  EXPECT_TRUE(Form.AddLastOption()->isChecked());
  EXPECT_EQ(Form.AdditionList()->currentIndex(), -1);
  EXPECT_EQ(Form.AdditionIndex(), -1);

  EXPECT_EQ(Form.LayerType(), mltGround);
  EXPECT_TRUE(Form.TypeOption(1)->isHidden());
  Form.TypeOption(2)->click();
  EXPECT_EQ(Form.LayerType(), mltObject);
  Form.TypeOption(1)->setChecked(true);
  EXPECT_EQ(Form.LayerType(), mltFloor);
  // Editing a layer opens on its own type.
  Form.SetLayerType(mltObject);
  EXPECT_TRUE(Form.TypeOption(2)->isChecked());
  EXPECT_EQ(Form.LayerType(), mltObject);
  Form.SetLayerType(mltGround);
  EXPECT_EQ(Form.LayerType(), mltGround);
  EXPECT_EQ(Form.TypeOption(2)->toolTip(), "このタイプの地形は拡散しません。");
}
