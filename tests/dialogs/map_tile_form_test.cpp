#include "dialogs/map_tile_form.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs/chip_image_view.h"
#include "dialogs/dialog_services.h"
#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"
#include "support/test_support.h"

namespace {

class TRecordingServices : public IDialogServices {
 public:
  std::optional<std::string> OpenFile(QWidget*, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<TColor> PickColor(QWidget*, TColor) override { return std::nullopt; }
  void Alert(QWidget*, const std::string& Text) override { Alerts.push_back(Text); }
  std::vector<std::string> Alerts;
};

// Every pixel carries its own coordinates, so any copy can be checked exactly.
std::string WriteSheet(const vctest::TempDir& Dir, const std::string& Name, int W, int H) {
  TBitmap32 b;
  b.SetSize(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) b.Pixel(x, y) = MakeColor(uint8_t(x), uint8_t(y), 77);
  const std::string path = Dir.File(Name);
  SavePNGFile(b, path);
  return path;
}

// Runs Execute, clicking at Click with the given chip size and closing with OK or not.
std::string RunWithClick(TMapTileForm& F, const std::string& Path, int ChipSize, QPoint Click,
                         bool UseChip, bool* Shown = nullptr) {
  QTimer::singleShot(0, &F, [&, ChipSize, Click, UseChip] {
    if (Shown) *Shown = true;
    F.SetChipSize(ChipSize);
    QTest::mouseClick(F.ImageView(), Qt::LeftButton, {}, Click);
    (UseChip ? F.OkButton() : F.CancelButton())->click();
  });
  return F.Execute(Path);
}

}  // namespace

TEST(MapTileForm, ChipClickGivesTheReference) {
  vctest::TempDir dir;
  const std::string path = WriteSheet(dir, "sheet.png", 256, 128);
  TRecordingServices services;
  TMapTileForm f(nullptr, &services);
  EXPECT_EQ(f.ChipSize(), 32);
  EXPECT_EQ(RunWithClick(f, path, 32, QPoint(70, 40), true), "<64,32,32>" + path);
  EXPECT_EQ(f.Column(), 2);
  EXPECT_EQ(f.Row(), 1);
  EXPECT_EQ(RunWithClick(f, path, 16, QPoint(70, 40), true), "<64,32,16>" + path);
  EXPECT_EQ(f.Column(), 4);
  EXPECT_EQ(f.Row(), 2);
  // The 16-pixel chip fills the preview four times.
  const QImage& pv = f.PreviewImage();
  for (QPoint at : {QPoint(0, 0), QPoint(16, 0), QPoint(0, 16), QPoint(16, 16)}) {
    EXPECT_EQ(pv.pixel(at), qRgb(64, 32, 77));
    EXPECT_EQ(pv.pixel(at + QPoint(15, 15)), qRgb(79, 47, 77));
  }
  // "Use the whole image" returns the path even after a click.
  EXPECT_EQ(RunWithClick(f, path, 32, QPoint(200, 100), false), path);
  EXPECT_TRUE(services.Alerts.empty());
}

TEST(MapTileForm, ChipSizeChangeKeepsColumnAndRow) {
  vctest::TempDir dir;
  const std::string path = WriteSheet(dir, "sheet.png", 256, 128);
  TRecordingServices services;
  TMapTileForm f(nullptr, &services);
  ASSERT_TRUE(f.LoadForExecute(path));
  EXPECT_EQ(f.Column(), 0);
  f.SetChipSize(16);
  f.ChooseChipAt(100, 70);  // column 6, row 4
  f.SetChipSize(32);
  EXPECT_EQ(f.ResultFor(true, path), "<192,128,32>" + path);
  // That square lies below the image: the preview is clipped to nothing.
  EXPECT_EQ(qAlpha(f.PreviewImage().pixel(0, 0)), 0);
  // A release outside the image changes nothing.
  f.ChooseChipAt(300, 10);
  f.ChooseChipAt(-1, 10);
  EXPECT_EQ(f.Column(), 6);
  EXPECT_EQ(f.Row(), 4);
  f.ChooseChipAt(255, 127);
  EXPECT_EQ(f.PreviewImage().pixel(31, 31), qRgb(255, 127, 77));
  EXPECT_EQ(f.ResultFor(false, path), path);
}

TEST(MapTileForm, ImagesNotShownOrUnreadable) {
  vctest::TempDir dir;
  TRecordingServices services;
  TMapTileForm f(nullptr, &services);
  bool shown = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &f, [&] {
    shown = true;
    f.reject();
  });

  // Not a multiple of 16: the path at once, no dialog.
  const std::string odd = WriteSheet(dir, "odd.png", 100, 100);
  guard.start(0);
  EXPECT_EQ(f.Execute(odd), odd);
  EXPECT_FALSE(shown);
  guard.stop();

  // An upper-case extension is still read as PNG.
  const std::string upper = WriteSheet(dir, "SHEET.PNG", 64, 32);
  EXPECT_EQ(RunWithClick(f, upper, 32, QPoint(40, 5), true, &shown), "<32,0,32>" + upper);
  EXPECT_TRUE(shown);

  // A damaged JPEG: the built-in alert and empty text.
  const std::string bad = dir.File("broken.jpg");
  vctest::WriteFileBytes(bad, std::string("\xFF\xD8\xFF\xE0garbage", 11));
  EXPECT_EQ(f.Execute(bad), "");
  ASSERT_EQ(services.Alerts.size(), 1u);
  EXPECT_EQ(services.Alerts[0], TMapTileForm::BuiltInAlert);

  // A loaded alert text replaces the built-in one.
  TMapTileFormCaptions c = f.Captions();
  c.BMPAlert = "Cannot open; convert it to BMP.";
  f.ApplyCaptions(c);
  EXPECT_EQ(f.Execute(bad), "");
  ASSERT_EQ(services.Alerts.size(), 2u);
  EXPECT_EQ(services.Alerts[1], "Cannot open; convert it to BMP.");

  // A missing file: empty text without an alert.
  EXPECT_EQ(f.Execute(dir.File("absent.png")), "");
  EXPECT_EQ(f.Execute(""), "");
  EXPECT_EQ(services.Alerts.size(), 2u);
}
