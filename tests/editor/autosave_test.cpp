// Recovery copies of the editor window: written while the map has unsaved changes,
// removed on save and clean exit, offered and restored at the next start.

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QListWidget>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/recovery_store.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kThisSession = 999999981;  // process ids no system hands out
constexpr int64_t kCrashedSession = 999999982;

class AutosaveTest : public ::testing::Test {
 protected:
  void SetUp() override { Form = Make(kThisSession, Dialogs); }

  std::unique_ptr<TMapEdit2Form> Make(int64_t Pid, TFakeDialogs*& Fake) {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Fake = dialogs.get();
    auto form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vellumcraft.ini"))));
    form->SetRecoveryStore(std::make_unique<TRecoveryStore>(Folder(), Pid));
    return form;
  }
  fs::path Folder() const { return Dir.Path() / "recovery"; }

  // A new 4 x 3 map of chip 8 with one floor layer: modified.
  void NewModifiedMap() {
    Dialogs->Size = {4, 3, 8, {}};
    Dialogs->Discard = TDiscardAnswer::Discard;
    Form->New1Execute();
    Dialogs->Layer.LayerName = "Floor";
    Dialogs->Layer.FileName = "12345";
    Dialogs->Layer.AdditionIndex = -1;
    Form->AddLayer1Execute();
    ASSERT_TRUE(Form->Modified());
  }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

}  // namespace

TEST_F(AutosaveTest, CopiesFollowUnsavedChangesAndGoOnSave) {
  TRecoveryStore& store = Form->RecoveryStore();
  // Nothing to keep for an unmodified map.
  Form->AutosaveNow();
  EXPECT_FALSE(fs::exists(store.CopyFile()));

  NewModifiedMap();
  Form->AutosaveNow();
  ASSERT_TRUE(fs::exists(store.CopyFile()));
  // The note has a place of its own; the design's fourth panel stays empty.
  EXPECT_TRUE(Form->NoteText().startsWith(Form->Texts().RecoveryCopy.arg("")))
      << Form->NoteText().toStdString();
  EXPECT_TRUE(Form->StatusText(3).isEmpty());
  // The copy is the map as it is now.
  TMapEditLayerList copy;
  copy.LoadFromFile(store.CopyFile().string());
  EXPECT_EQ(BuildMapText(copy), BuildMapText(*Form->Document()));
  EXPECT_EQ(vctest::ReadFileBytes(store.NameFile().string()), "");

  // Saving makes the copy needless.
  const QString path = QString::fromStdString(Dir.File("saved.qmx"));
  ASSERT_TRUE(Form->SaveMap(path));
  EXPECT_FALSE(fs::exists(store.CopyFile()));
  // ... and the note about it goes too.
  EXPECT_TRUE(Form->NoteText().isEmpty());
  EXPECT_FALSE(fs::exists(store.NameFile()));

  // Another change, another copy, now naming the map's file; closing the window
  // with the changes discarded removes it.
  Dialogs->Layer.LayerName = "Second";
  Form->AddLayer1Execute();
  Form->AutosaveNow();
  EXPECT_EQ(vctest::ReadFileBytes(store.NameFile().string()), path.toStdString());
  Dialogs->Discard = TDiscardAnswer::Discard;
  QCloseEvent close;
  QCoreApplication::sendEvent(Form.get(), &close);
  EXPECT_TRUE(close.isAccepted());
  EXPECT_FALSE(fs::exists(store.CopyFile()));
}

TEST_F(AutosaveTest, TheTimerFollowsTheSetting) {
  EXPECT_EQ(Form->AutosaveMinutes(), 5);  // before any settings are read
  vctest::WriteFileBytes(Dir.File("vellumcraft.ini"), "[Application]\nAutosaveMinutes=2\n");
  Form->LoadSettings();
  EXPECT_EQ(Form->AutosaveMinutes(), 2);
  const QTimer* timer = Form->findChild<QTimer*>();
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 2 * 60 * 1000);
  Form->SetAutosaveMinutes(0);
  EXPECT_FALSE(timer->isActive());
  vctest::WriteFileBytes(Dir.File("vellumcraft.ini"), "[Application]\nAutosaveMinutes=-3\n");
  Form->LoadSettings();
  EXPECT_EQ(Form->AutosaveMinutes(), 0);
}

TEST_F(AutosaveTest, ACrashedSessionsCopyIsOfferedAndRestored) {
  // What a session that crashed left: a named map with two floor layers.
  TMapEditLayerList lost;
  lost.SetSize(3, 2, 8);
  TMapEditLayer* wall = lost.AddLayer();
  wall->LayerType = mltObject;
  wall->SetFileName("0");
  for (const char* name : {"Stone", "Unsaved work"}) {
    TMapEditLayer* floor = lost.AddLayer();
    floor->LayerName = name;
    floor->SetFileName("4210752");
  }
  lost.SetCell(2, 1, 1);
  lost.Refresh();
  const std::string cave = Dir.File("cave.qmx");
  TRecoveryStore crashed(Folder(), kCrashedSession);
  crashed.Write(lost, cave);

  // Declining deletes the copy and leaves the window as it was.
  Dialogs->YesNoAnswer = false;
  EXPECT_FALSE(Form->OfferRecovery());
  ASSERT_EQ(Dialogs->Asked.size(), 1);
  EXPECT_TRUE(Dialogs->Asked[0].contains("\"" + QString::fromStdString(cave) + "\""))
      << Dialogs->Asked[0].toStdString();
  EXPECT_FALSE(fs::exists(crashed.CopyFile()));
  EXPECT_EQ(Form->Document(), nullptr);

  // Accepted: the map comes back as the open, modified map with its file name, and
  // this session's own copy takes over from the old one.
  crashed.Write(lost, cave);
  Dialogs->YesNoAnswer = true;
  EXPECT_TRUE(Form->OfferRecovery());
  ASSERT_NE(Form->Document(), nullptr);
  EXPECT_EQ(BuildMapText(*Form->Document()), BuildMapText(lost));
  EXPECT_TRUE(Form->Modified());
  EXPECT_EQ(Form->MapFileName().toStdString(), cave);
  EXPECT_EQ(Form->LayerList()->count(), 2);
  EXPECT_FALSE(fs::exists(crashed.CopyFile()));
  EXPECT_TRUE(fs::exists(Form->RecoveryStore().CopyFile()));
  EXPECT_TRUE(Dialogs->Warnings.isEmpty());
  EXPECT_TRUE(Dialogs->Errors.isEmpty());
  // Nothing more is offered once it is restored.
  EXPECT_FALSE(Form->OfferRecovery());

  // Saving writes the map's own file and the recovery copy goes.
  Form->Save1Execute();
  EXPECT_FALSE(Form->Modified());
  EXPECT_FALSE(fs::exists(Form->RecoveryStore().CopyFile()));
  TMapEditLayerList saved;
  saved.LoadFromFile(cave);
  EXPECT_EQ(BuildMapText(saved), BuildMapText(lost));
}

TEST_F(AutosaveTest, AMapWithMissingTexturesWarnsOnceWhenOpened) {
  const std::string path = Dir.File("lost.qmx");
  TMapEditLayerList map;
  map.SetSize(2, 2, 4);
  map.AddLayer()->SetFileName("0");
  TMapEditLayer* floor = map.AddLayer();
  floor->SetFileNameOnly("gone/floor.png");
  map.SaveToFile(path);
  ASSERT_TRUE(Form->OpenMap(QString::fromStdString(path)));
  ASSERT_EQ(Dialogs->Warnings.size(), 1);
  // One warning naming the file under the (translatable) explanation.
  EXPECT_EQ(Dialogs->Warnings[0], Form->Texts().MissingTextures + "\ngone/floor.png")
      << Dialogs->Warnings[0].toStdString();
}
