// Maps that travel in the editor: textures looked for in a folder the user picks
// when a map opens without them, and Save with textures.

#include <gtest/gtest.h>

#include <QAction>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "editor/command_glyphs.h"
#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/codec/image_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/file/map_file.h"
#include "map/file/recovery_store.h"
#include "support/rgba_png.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kThisSession = 999999983;  // a process id no system hands out

class TravelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vellumcraft.ini"))));
    Form->SetRecoveryStore(std::make_unique<TRecoveryStore>(Dir.Path() / "recovery", kThisSession));
  }

  // A 2 x 2 map of chip 4 in Root/A/cave.qmx with floors of Root/A/tex/grass.png
  // and a chip of Root/A/tex/Stone.png, then copied alone to Root/B/cave.qmx.
  std::string MakeMovedMap() {
    const fs::path root = Dir.Path();
    vctest::WriteSolidPng(root / "A/tex/grass.png", 0xFF00A000u);
    vctest::WriteSolidPng(root / "A/tex/Stone.png", 0xFF707070u);
    TMapEditLayerList map;
    map.SetSize(2, 2, 4);
    map.AddLayer()->SetFileName("0");
    map.AddLayer()->SetFileName((root / "A/tex/grass.png").string());
    map.AddLayer()->SetFileName("<0,0,2>" + (root / "A/tex/Stone.png").string());
    map.AddLayer()->SetFileName("12345");
    TMapEditSession session(map, 10);
    TMapSaveReport report;
    EXPECT_TRUE(session.Save((root / "A/cave.qmx").string(), report));
    fs::create_directories(root / "B");
    fs::copy_file(root / "A/cave.qmx", root / "B/cave.qmx");
    return (root / "B/cave.qmx").string();
  }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

}  // namespace

TEST_F(TravelTest, MissingTexturesAreFoundInAChosenFolderAndSavedRelative) {
  const std::string moved = MakeMovedMap();
  const fs::path root = Dir.Path();
  // The textures arrive in another folder, one of them in a sub-folder and with
  // its name in other letter case.
  vctest::WriteSolidPng(root / "found/grass.png", 0xFF00A000u);
  vctest::WriteSolidPng(root / "found/deeper/stone.png", 0xFF707070u);
  fs::remove_all(root / "A");

  // Declined: the warning and the question, nothing looked for.
  Dialogs->YesNoAnswer = false;
  ASSERT_TRUE(Form->OpenMap(QString::fromStdString(moved)));
  ASSERT_EQ(Dialogs->Warnings.size(), 1);
  ASSERT_EQ(Dialogs->Asked.size(), 1);
  EXPECT_EQ(Dialogs->Asked[0], Form->Texts().LookForTextures);
  EXPECT_TRUE(Dialogs->FolderTitles.isEmpty());
  EXPECT_EQ(Form->Document()->Layers(1)->TextureState, TTextureState::Missing);
  EXPECT_FALSE(Form->Modified());

  // Accepted, and the folder dialog cancelled: nothing changes.
  Dialogs->YesNoAnswer = true;
  ASSERT_TRUE(Form->OpenMap(QString::fromStdString(moved)));
  EXPECT_EQ(Dialogs->FolderTitles, QStringList{Form->Texts().TextureFolder});
  EXPECT_EQ(Form->Document()->Layers(1)->TextureState, TTextureState::Missing);
  EXPECT_FALSE(Form->Modified());

  // Accepted with a folder: both found, the map modified.
  Dialogs->FolderAnswers = {QString::fromStdString((root / "found").string())};
  Dialogs->Informations.clear();
  ASSERT_TRUE(Form->OpenMap(QString::fromStdString(moved)));
  TMapEditLayerList* doc = Form->Document();
  EXPECT_EQ(doc->Layers(1)->TextureState, TTextureState::Ok);
  EXPECT_EQ(doc->Layers(2)->TextureState, TTextureState::Ok);
  EXPECT_EQ(doc->Layers(1)->FileName(), (root / "found/grass.png").string());
  EXPECT_EQ(doc->Layers(2)->FileName(), "<0,0,2>" + (root / "found/deeper/stone.png").string());
  EXPECT_EQ(doc->Layers(3)->FileName(), "12345");
  EXPECT_EQ(doc->Layers(1)->BMP().Pixel(6, 1) & 0xFFFFFFu, 0x00A000u);
  EXPECT_EQ(doc->Layers(2)->BMP().Pixel(6, 1) & 0xFFFFFFu, 0x707070u);
  EXPECT_TRUE(Form->Modified());
  // The floor button shows the selected layer's texture now.
  QToolButton* floor = nullptr;
  for (QToolButton* b : Form->findChildren<QToolButton*>())
    if (b->toolButtonStyle() == Qt::ToolButtonTextUnderIcon &&
        b->text() == PlainCaption(Form->Action("Pen1")->text()))
      floor = b;
  ASSERT_NE(floor, nullptr);
  const QImage glyph = floor->icon().pixmap(32, 32).toImage();
  EXPECT_EQ(glyph.pixel(2, 2) & 0xFFFFFFu, 0x00A000u);
  ASSERT_EQ(Dialogs->Informations.size(), 1);
  EXPECT_NE(Dialogs->Informations[0].indexOf(Form->Texts().TexturesFound.arg(2)), -1)
      << Dialogs->Informations[0].toStdString();

  // Saved, the map names them relative to its folder and opens whole.
  Form->Save1Execute();
  EXPECT_FALSE(Form->Modified());
  TMapEditLayerList back;
  TMapLoadReport report;
  back.LoadFromFile(moved, report);
  EXPECT_TRUE(report.MissingTextures.empty());
  EXPECT_EQ(back.Layers(1)->FileName(), "../found/grass.png");
  EXPECT_EQ(back.Layers(2)->FileName(), "<0,0,2>../found/deeper/stone.png");
}

TEST_F(TravelTest, SaveWithTexturesPacksACopyThatOpensElsewhere) {
  const std::string moved = MakeMovedMap();
  const fs::path root = Dir.Path();
  ASSERT_TRUE(Form->OpenMap(QString::fromStdString((root / "A/cave.qmx").string())));
  ASSERT_TRUE(Dialogs->Warnings.isEmpty());
  EXPECT_TRUE(Form->Action("SaveWithTextures1")->isEnabled());

  // Cancelled: nothing written, nothing said.
  Form->Action("SaveWithTextures1")->trigger();
  EXPECT_EQ(Dialogs->FolderTitles, QStringList{Form->Texts().PackFolder});
  EXPECT_TRUE(Dialogs->Informations.isEmpty());

  Dialogs->FolderAnswers = {QString::fromStdString((root / "pack").string())};
  Form->Action("SaveWithTextures1")->trigger();
  ASSERT_TRUE(Dialogs->Errors.isEmpty()) << Dialogs->Errors.join("\n").toStdString();
  ASSERT_EQ(Dialogs->Informations.size(), 1);
  EXPECT_NE(Dialogs->Informations[0].indexOf(
                Form->Texts()
                    .Packed.arg(QString::fromStdString((root / "pack/cave.qmx").string()))
                    .arg(2)),
            -1)
      << Dialogs->Informations[0].toStdString();
  // The open map is still its own file, unchanged.
  EXPECT_EQ(Form->Session().FileName(), (root / "A/cave.qmx").string());
  EXPECT_EQ(Form->Document()->Layers(1)->FileName(), "tex/grass.png");
  EXPECT_FALSE(Form->Modified());

  // The pack, moved on its own, opens with every texture.
  fs::rename(root / "pack", root / "sent");
  fs::remove_all(root / "A");
  TMapEditLayerList back;
  TMapLoadReport report;
  back.LoadFromFile((root / "sent/cave.qmx").string(), report);
  EXPECT_TRUE(report.MissingTextures.empty());
  EXPECT_EQ(back.Layers(1)->FileName(), "textures/grass.png");
  EXPECT_EQ(back.Layers(2)->FileName(), "<0,0,2>textures/Stone.png");
  EXPECT_EQ(back.Layers(2)->BMP().Pixel(1, 1) & 0xFFFFFFu, 0x707070u);

  // With its textures gone the open map cannot be packed: an error, no folder.
  Dialogs->FolderAnswers = {QString::fromStdString((root / "pack2").string())};
  Form->Action("SaveWithTextures1")->trigger();
  ASSERT_EQ(Dialogs->Errors.size(), 1);
  EXPECT_NE(Dialogs->Errors[0].indexOf("cannot be found"), -1) << Dialogs->Errors[0].toStdString();
  EXPECT_FALSE(fs::exists(root / "pack2"));
  (void)moved;
}
