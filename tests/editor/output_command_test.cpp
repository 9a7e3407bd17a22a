#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <filesystem>
#include <memory>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/raster/bitmap32.h"
#include "map/codec/image_file.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"
#include "support/test_support.h"

namespace {

struct TOutputDialogs : TFakeDialogs {
  QString ImageName;
  bool OptionsOk = true;
  TOutputOptions Options;
  int OptionsAsked = 0;
  QString SaveImageFileName(QWidget*) override { return ImageName; }
  bool OutputOptions(QWidget*, TOutputOptions& Out) override {
    ++OptionsAsked;
    Out = Options;
    return OptionsOk;
  }
};

class OutputCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TOutputDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("v.ini"))));
  }
  vctest::TempDir Dir;
  TOutputDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

TEST_F(OutputCommandTest, WritesTheWholeMapWithTheChosenGrid) {
  Form->UpdateActions();
  EXPECT_FALSE(Form->Action("Output1")->isEnabled());
  Dialogs->Size = {10, 8, 32, {}};
  Form->New1Execute();
  Dialogs->Layer.LayerName = "White";
  Dialogs->Layer.FileName = "16777215";
  Form->AddLayer1Execute();
  Form->LayerList()->setCurrentRow(0);
  Form->PaintBox321MouseDown(TMouseButton::Left, true, 40, 40);
  Form->PaintBox321MouseUp(TMouseButton::Left, false, 40, 40);
  Form->UpdateActions();
  EXPECT_TRUE(Form->Action("Output1")->isEnabled());

  // Cancelling either dialog writes nothing.
  const std::string path = Dir.File("map.PNG");
  Form->Output1Execute();
  EXPECT_EQ(Dialogs->OptionsAsked, 0);
  Dialogs->ImageName = QString::fromStdString(path);
  Dialogs->OptionsOk = false;
  Form->Output1Execute();
  EXPECT_EQ(Dialogs->OptionsAsked, 1);
  EXPECT_FALSE(std::filesystem::exists(path));

  Dialogs->OptionsOk = true;
  Dialogs->Options.UseGrid = true;  // right and bottom sides, gray
  Form->Output1Execute();
  ASSERT_TRUE(Dialogs->Errors.isEmpty()) << Dialogs->Errors.join("\n").toStdString();
  TBitmap32 image;
  LoadImageFile(path, image);
  ASSERT_EQ(image.Width(), 320);
  ASSERT_EQ(image.Height(), 256);
  // Every pixel is the map's composition, except the gray grid on each cell's
  // right and bottom pixel lines; the floor cell is light, the walls black.
  TBitmap32 composed;
  composed.SetSize(320, 256);
  composed.Clear(0);
  ComposeMap(*Form->Document(), composed, TRect{0, 0, 320, 256});
  int differences = 0;
  for (int32_t y = 0; y < 256; ++y)
    for (int32_t x = 0; x < 320; ++x) {
      const bool grid = x % 32 == 31 || y % 32 == 31;
      const uint32_t want = grid ? 0x808080u : composed.Pixel(x, y) & 0xFFFFFF;
      differences += (image.Pixel(x, y) & 0xFFFFFF) != want;
    }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(image.Pixel(48, 48) & 0xFF, 0xF0u);
  EXPECT_EQ(image.Pixel(63, 48) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(image.Pixel(48, 63) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(image.Pixel(5, 5) & 0xFFFFFF, 0u);
  // The map itself is unchanged by the output.
  EXPECT_EQ(Form->Document()->PixelLayers(48, 48), 1);
}

TEST_F(OutputCommandTest, AWriteFailureIsReportedAndLeavesNoFile) {
  Dialogs->Size = {2, 2, 8, {}};
  Form->New1Execute();
  Dialogs->Layer.LayerName = "Floor";
  Dialogs->Layer.FileName = "255";
  Form->AddLayer1Execute();
  Dialogs->ImageName = QString::fromStdString(Dir.File("no-such-folder/out.png"));
  Form->Output1Execute();
  ASSERT_EQ(Dialogs->Errors.size(), 1);
  EXPECT_TRUE(Dialogs->Errors[0].contains("out.png")) << Dialogs->Errors[0].toStdString();
  EXPECT_FALSE(std::filesystem::exists(Dir.Path() / "no-such-folder"));
}

// Answers the image output dialog itself, with a size and resolution.
struct TImageOutputDialogs : TOutputDialogs {
  int32_t PixelsPerCell = 0, Dpi = 0;
  TImageOutputRequest Asked;
  bool ImageOutputOptions(QWidget*, TImageOutputRequest& Request) override {
    Asked = Request;
    Request.Options = Options;
    Request.PixelsPerCell = PixelsPerCell;
    Request.Dpi = Dpi;
    return OptionsOk;
  }
};

TEST(OutputCommand, WritesAtTheChosenPixelsPerCellAndResolution) {
  vctest::TempDir dir;
  auto owned = std::make_unique<TImageOutputDialogs>();
  TImageOutputDialogs* dialogs = owned.get();
  TMapEdit2Form form(std::move(owned), std::make_unique<TEditorSettings>(
                                           QString::fromStdString(dir.File("v.ini"))));
  dialogs->Size = {3, 2, 16, {}};
  form.New1Execute();
  dialogs->Layer.LayerName = "White";
  dialogs->Layer.FileName = "16777215";
  form.AddLayer1Execute();
  const std::string path = dir.File("map.webp");
  dialogs->ImageName = QString::fromStdString(path);
  dialogs->PixelsPerCell = 100;
  dialogs->Dpi = 0;
  form.Output1Execute();
  ASSERT_TRUE(dialogs->Errors.isEmpty()) << dialogs->Errors.join("\n").toStdString();
  // The dialog was told the map and the file.
  EXPECT_EQ(dialogs->Asked.ChipSize, 16);
  EXPECT_EQ(dialogs->Asked.Width, 3);
  EXPECT_EQ(dialogs->Asked.Height, 2);
  EXPECT_EQ(dialogs->Asked.FileName.toStdString(), path);
  const std::string bytes = vctest::ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 30u);
  EXPECT_EQ(bytes.substr(8, 8), "WEBPVP8L");
  // The lossless header holds width - 1 and height - 1 in 14 bits each.
  const uint32_t bits = uint8_t(bytes[21]) | uint8_t(bytes[22]) << 8 | uint8_t(bytes[23]) << 16 |
                        uint32_t(uint8_t(bytes[24])) << 24;
  EXPECT_EQ((bits & 0x3FFF) + 1, 300u);
  EXPECT_EQ(((bits >> 14) & 0x3FFF) + 1, 200u);

  // PNG at 300 dpi: the scaled size and the density stored.
  const std::string png = dir.File("map.png");
  dialogs->ImageName = QString::fromStdString(png);
  dialogs->PixelsPerCell = 300;
  dialogs->Dpi = 300;
  form.Output1Execute();
  ASSERT_TRUE(dialogs->Errors.isEmpty()) << dialogs->Errors.join("\n").toStdString();
  TBitmap32 image;
  LoadImageFile(png, image);
  EXPECT_EQ(image.Width(), 900);
  EXPECT_EQ(image.Height(), 600);
  const std::string pngBytes = vctest::ReadFileBytes(png);
  const size_t at = pngBytes.find("pHYs");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(pngBytes.substr(at + 4, 4), std::string("\0\0\x2E\x23", 4));
}

}  // namespace
