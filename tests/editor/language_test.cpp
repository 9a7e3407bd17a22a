#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <memory>
#include <set>
#include <string>

#include "dialogs/language_file.h"
#include "editor/editor_dialogs.h"
#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "support/test_support.h"

#ifndef VC_SOURCE_DIR
#error "VC_SOURCE_DIR must name the source folder"
#endif

namespace {

class LanguageTest : public ::testing::Test {
 protected:
  void Make(std::unique_ptr<TEditorDialogs> Dialogs = std::make_unique<TFakeDialogs>()) {
    Form = std::make_unique<TMapEdit2Form>(
        std::move(Dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vellumcraft.ini"))));
    Form->SetLanguageFolders({Langs});
  }
  void Write(const std::string& Name, const std::string& Text) {
    vctest::WriteFileBytes((Langs / Name).string(), Text);
  }
  QString Path(const std::string& Name) const {
    return QString::fromStdString((Langs / Name).string());
  }
  QMenu* Menu(const char* Name) const { return Form->findChild<QMenu*>(Name); }
  QAction* MenuItem(const char* Name) const { return Form->findChild<QAction*>(Name); }
  std::string Setting(const char* Section, const char* Key) const {
    return TEditorSettings(QString::fromStdString(Dir.File("vellumcraft.ini")))
        .ReadString(Section, Key, "?")
        .toStdString();
  }

  vctest::TempDir Dir;
  std::filesystem::path Langs = Dir.Path() / "Langs";
  std::unique_ptr<TMapEdit2Form> Form;

  void SetUp() override { std::filesystem::create_directories(Langs); }
};

TEST_F(LanguageTest, MenuListsEveryFileAndEachItemAppliesItsOwn) {
  Write("a.ini", "[Title]\nLang=Mine\n[FileMenu]\nNew=From A\n");
  Write("b.ini", "[Title]\nLang=Mine\n[FileMenu]\nNew=From B\n");
  Write("c.ini", "[MainMenu]\nFile=No title\n");
  Write("notes.txt", "[Title]\nLang=Not a language\n");
  Make();
  Form->LoadSettings();
  QStringList list;
  Form->ListLanguages(list);
  ASSERT_EQ(list.size(), 6);
  EXPECT_EQ(list.at(0).toStdString(), "Mine");
  EXPECT_EQ(list.at(2).toStdString(), "Mine");
  // A file without a title is listed as "&English".
  EXPECT_EQ(list.at(4).toStdString(), "&English");
  const QList<QAction*> items = Menu("LanguageMenu")->actions();
  ASSERT_EQ(items.size(), 3);
  items.at(1)->trigger();
  EXPECT_EQ(Form->Action("New1")->text().toStdString(), "From B");
  EXPECT_EQ(Setting("Application", "Language"), "b");
  items.at(0)->trigger();
  EXPECT_EQ(Form->Action("New1")->text().toStdString(), "From A");
  EXPECT_EQ(Setting("Application", "Language"), "a");
}

TEST_F(LanguageTest, StartupPicksEnglishOnlyByItsPlainTitle) {
  Write("amp.ini", "[Title]\nLang=&English\n[FileMenu]\nOpen=Amp\n");
  Make();
  Form->LoadSettings();
  // "&English" is not "English": nothing applied, no settings written.
  EXPECT_EQ(Form->Action("Open1")->text().toStdString(), "開く(&O)");
  EXPECT_FALSE(std::filesystem::exists(Dir.File("vellumcraft.ini")));

  Write("en.ini", "[Title]\nLang=english\n[FileMenu]\nOpen=&Open...\n");
  // Closing the window writes the settings file; these are first starts.
  auto firstStart = [this] {
    Form.reset();
    std::filesystem::remove(Dir.File("vellumcraft.ini"));
    Make();
  };
  firstStart();
  Form->SetJapaneseLocale(true);
  Form->LoadSettings();
  EXPECT_EQ(Form->Action("Open1")->text().toStdString(), "開く(&O)");  // Japanese locale

  firstStart();
  Form->LoadSettings();
  EXPECT_EQ(Form->Action("Open1")->text().toStdString(), "&Open...");
  EXPECT_EQ(Setting("Application", "Language"), "en");

  // Next start: the settings file names the language; a name whose file is gone
  // applies nothing and says nothing.
  Make();
  Form->SetJapaneseLocale(true);
  Form->LoadSettings();
  EXPECT_EQ(Form->Action("Open1")->text().toStdString(), "&Open...");
  std::filesystem::remove(Langs / "en.ini");
  Make();
  Form->LoadSettings();
  EXPECT_EQ(Form->Action("Open1")->text().toStdString(), "開く(&O)");
}

TEST_F(LanguageTest, TitleOnlyFileAndPrompts) {
  Write("p.ini",
        "[LayerMenu]\nMustMakeLayer=Make a layer?\n[LayerOpt]\nDelLayer_Conf=Really?\n"
        "[MapMenu]\nChip=Cells\n[FileMenu]\nSave=\n");
  Write("t.ini", "[Title]\nExe=Kartograph\n");
  Make();
  Form->ApplyLanguageFile(Path("p.ini"));
  EXPECT_EQ(Form->NoLayerPrompt().toStdString(), "Make a layer?");
  EXPECT_EQ(Form->DeleteLayerPrompt().toStdString(), "Really?");
  // The chip command is renamed; the Map menu's own chip item keeps its caption.
  EXPECT_EQ(Form->Action("Chip1")->text().toStdString(), "Cells");
  EXPECT_EQ(MenuItem("ChipMenuItem")->text().toStdString(), "チップ編集(&C)");
  // An empty value gives an empty caption.
  EXPECT_TRUE(Form->Action("Save1")->text().isEmpty());

  Form->ApplyLanguageFile(Path("t.ini"));
  EXPECT_EQ(Form->windowTitle().toStdString(), "Kartograph");
  EXPECT_EQ(Form->ApplicationTitle().toStdString(), "Kartograph");
  // The no-layer prompt goes back to built-in; the delete prompt is kept.
  EXPECT_TRUE(Form->NoLayerPrompt().isEmpty());
  EXPECT_EQ(Form->DeleteLayerPrompt().toStdString(), "Really?");
  EXPECT_EQ(Form->Action("Chip1")->text().toStdString(), "Cells");
  EXPECT_EQ(Setting("Application", "Language"), "t");

  // A missing file does nothing.
  Form->ApplyLanguageFile(Path("none.ini"));
  EXPECT_EQ(Setting("Application", "Language"), "t");
}

TEST_F(LanguageTest, ShiftJisAndUtf8FilesApplyAlike) {
  // "編集(&E)" in Shift JIS and in UTF-8.
  Write("sjis.ini", "[MainMenu]\r\nEdit=\x95\xd2\x8f\x57(&E)\r\n[FileMenu]\r\nNew=N1\r\n");
  Write("utf8.ini", "[MainMenu]\nEdit=編集(&E)\n[FileMenu]\nNew=N2\n");
  Make();
  Form->ApplyLanguageFile(Path("sjis.ini"));
  EXPECT_EQ(Menu("EditMenu")->title().toStdString(), "編集(&E)");
  EXPECT_EQ(Form->Action("New1")->text().toStdString(), "N1");
  Menu("EditMenu")->setTitle("x");
  Form->ApplyLanguageFile(Path("utf8.ini"));
  EXPECT_EQ(Menu("EditMenu")->title().toStdString(), "編集(&E)");
  EXPECT_EQ(Form->Action("New1")->text().toStdString(), "N2");
}

// The shipped translations hold exactly the keys the program reads: a key the
// program reads that a file lacks stays untranslated, a key nobody reads is dead.
TEST_F(LanguageTest, ShippedFilesHoldExactlyTheKeysTheProgramReads) {
  for (const char* name : {"English.ini", "Japanese.ini"}) {
    SCOPED_TRACE(name);
    auto dialogs = std::make_unique<TQtEditorDialogs>();
    TQtEditorDialogs* qt = dialogs.get();
    Make(std::move(dialogs));
    const TLanguageFile file = TLanguageFile::Load(std::string(VC_SOURCE_DIR) + "/Langs/" + name);
    Form->ApplyLanguage(file);
    // Title/Lang is read when the menu is listed.
    file.ReadString("Title", "Lang", "");
    std::set<std::pair<std::string, std::string>> missing, unread;
    for (const auto& k : file.KeysRead())
      if (!file.Keys().count(k)) missing.insert(k);
    for (const auto& k : file.Keys())
      if (!file.KeysRead().count(k)) unread.insert(k);
    for (const auto& [s, k] : missing) ADD_FAILURE() << "missing key " << s << "/" << k;
    for (const auto& [s, k] : unread) ADD_FAILURE() << "unread key " << s << "/" << k;
    if (std::string(name) == "English.ini") {
      EXPECT_EQ(Form->Action("SaveAS1")->text().toStdString(), "Save &As...");
      EXPECT_EQ(Menu("FileMenu")->title().toStdString(), "&File");
      EXPECT_EQ(MenuItem("ZoomFit1")->text().toStdString(), "&Fit to Window");
      EXPECT_EQ(qt->FileFormCaptions.Caption.toStdString(), "Map Size and Cell Size");
      EXPECT_EQ(qt->LayerCaptions.Caption.toStdString(), "Layer Settings");
      EXPECT_EQ(qt->MapTileCaptions.Caption.toStdString(), "Map Chip");
      EXPECT_EQ(qt->VttExportCaptions.Caption.toStdString(), "Export to Universal VTT");
      EXPECT_EQ(qt->OutputCaptions.OK.toStdString(), "Export");
      // The print dialog's shared keys, then the labels' own keys.
      EXPECT_EQ(qt->PrintCaptions.Width.toStdString(), "Sheets");
      EXPECT_EQ(qt->PrintCaptions.Width2.toStdString(), "One cell");
      EXPECT_EQ(qt->PrintCaptions.PrinterName.toStdString(), "Orientation");
      EXPECT_FALSE(qt->UseJpColor);
    } else {
      EXPECT_EQ(Form->Action("SaveAS1")->text().toStdString(), "名前を付けて保存(&X)...");
      EXPECT_EQ(qt->LayerCaptions.Cancel.toStdString(), "キャンセル");
      EXPECT_TRUE(qt->UseJpColor);
    }
  }
}

}  // namespace

TEST_F(LanguageTest, CoreErrorTextsFollowTheMessagesSection) {
  Write("de.ini", "[Title]\nLang=Deutsch\n[Messages]\nError=Fehler\n");
  auto dialogs = std::make_unique<TFakeDialogs>();
  TFakeDialogs* fake = dialogs.get();
  Make(std::move(dialogs));
  const std::string broken = Dir.File("broken.qmx");
  vctest::WriteFileBytes(broken, "this is not zlib at all");
  // Built in: the Japanese text as it stands.
  EXPECT_FALSE(Form->OpenMap(QString::fromStdString(broken)));
  ASSERT_EQ(fake->Errors.size(), 1);
  EXPECT_TRUE(fake->Errors[0].startsWith(QString::fromUtf8("エラー: the map file"))) << fake->Errors[0].toStdString();
  Form->ApplyLanguageFile(Path("de.ini"));
  EXPECT_FALSE(Form->OpenMap(QString::fromStdString(broken)));
  ASSERT_EQ(fake->Errors.size(), 2);
  EXPECT_EQ(fake->Errors[1].toStdString(),
            "Fehler: the map file \"" + broken + "\" is damaged; its compressed data cannot be read");
  // The shipped English file gives every core text its English form.
  Form->ApplyLanguageFile(QString::fromStdString(std::string(VC_SOURCE_DIR) + "/Langs/English.ini"));
  EXPECT_FALSE(Form->OpenMap(QString::fromStdString(broken)));
  ASSERT_EQ(fake->Errors.size(), 3);
  EXPECT_TRUE(fake->Errors[2].startsWith("Error: the map file")) << fake->Errors[2].toStdString();
}
