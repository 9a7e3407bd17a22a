#include "editor/asset_browser.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "map/codec/image_file.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

class AssetBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* p : {"furniture/table_round.png", "furniture/chair.png", "nature/tree_oak.png",
                          "nature/bush.png"}) {
      const fs::path file = Dir.Path() / p;
      fs::create_directories(file.parent_path());
      TBitmap32 im;
      im.SetSize(8, 8);
      im.Clear(0xFF806040);
      SavePNGFile(im, file.string());
    }
    Browser.SetIndex(TAssetIndex({Dir.Path()}));
    Browser.resize(300, 400);
    Browser.show();
  }
  // Clicks the shown thumbnail of the asset.
  void Click(const QString& Path) {
    QListWidget* list = Browser.List();
    const int row = int(Browser.ShownAssets().indexOf(Path));
    ASSERT_GE(row, 0);
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
  }

  vctest::TempDir Dir;
  TAssetBrowser Browser;
};

}  // namespace

TEST_F(AssetBrowserTest, GroupsAndSearchFilterTheThumbnails) {
  auto* groups = Browser.findChild<QComboBox*>("AssetGroups");
  ASSERT_NE(groups, nullptr);
  ASSERT_EQ(groups->count(), 3);
  EXPECT_EQ(groups->itemText(1), "furniture");
  EXPECT_EQ(groups->itemText(2), "nature");
  EXPECT_EQ(Browser.ShownAssets(), (QStringList{"furniture/chair.png", "furniture/table_round.png",
                                                "nature/bush.png", "nature/tree_oak.png"}));
  EXPECT_EQ(Browser.List()->item(1)->text(), "table round");
  EXPECT_FALSE(Browser.List()->item(0)->icon().isNull());

  Browser.SetGroup("nature");
  EXPECT_EQ(Browser.ShownAssets(), (QStringList{"nature/bush.png", "nature/tree_oak.png"}));
  // Typing into the search field narrows the group further.
  QTest::keyClicks(Browser.findChild<QLineEdit*>("AssetSearch"), "OAK");
  EXPECT_EQ(Browser.ShownAssets(), (QStringList{"nature/tree_oak.png"}));
  Browser.SetGroup("");
  // The group's name counts as a word of the asset's.
  Browser.SetSearchText("ur");
  EXPECT_EQ(Browser.ShownAssets().size(), 4);
  Browser.SetSearchText("ro");
  EXPECT_EQ(Browser.ShownAssets(), (QStringList{"furniture/table_round.png"}));
  Browser.SetSearchText("sofa");
  EXPECT_TRUE(Browser.ShownAssets().isEmpty());

  // New captions rename the "all" item; an index rescanned keeps the group chosen.
  Browser.SetSearchText("");
  Browser.SetGroup("nature");
  Browser.SetCaptions("Find", "Everything");
  EXPECT_EQ(groups->itemText(0), "Everything");
  Browser.SetIndex(TAssetIndex({Dir.Path()}));
  EXPECT_EQ(groups->currentText(), "nature");
  EXPECT_EQ(Browser.ShownAssets().size(), 2);
}

TEST_F(AssetBrowserTest, ClickPicksAndDragsCarryTheStoredPath) {
  QSignalSpy picked(&Browser, &TAssetBrowser::AssetPicked);
  Click("nature/bush.png");
  EXPECT_EQ(Browser.PickedAsset(), "nature/bush.png");
  ASSERT_EQ(picked.count(), 1);
  EXPECT_EQ(picked.at(0).at(0).toString(), "nature/bush.png");
  // A filter keeps the pick; clicking the picked one again puts it back.
  Browser.SetSearchText("bush");
  EXPECT_EQ(Browser.PickedAsset(), "nature/bush.png");
  EXPECT_TRUE(Browser.List()->item(0)->isSelected());
  Click("nature/bush.png");
  EXPECT_TRUE(Browser.PickedAsset().isEmpty());
  ASSERT_EQ(picked.count(), 2);
  EXPECT_TRUE(picked.at(1).at(0).toString().isEmpty());

  // What a drag of a thumbnail carries.
  Browser.SetSearchText("");
  QListWidget* list = Browser.List();
  const QModelIndexList rows{list->model()->index(3, 0)};
  std::unique_ptr<QMimeData> data(list->model()->mimeData(rows));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(TAssetBrowser::AssetFromMimeData(data.get()), "nature/tree_oak.png");
  QMimeData text;
  text.setText("nature/tree_oak.png");
  EXPECT_TRUE(TAssetBrowser::AssetFromMimeData(&text).isEmpty());
  EXPECT_TRUE(TAssetBrowser::AssetFromMimeData(nullptr).isEmpty());
}
