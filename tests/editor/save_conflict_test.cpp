// Saving over a map that another program changed since the editor opened or saved
// it asks first; the answer decides whose version stays.

#include <gtest/gtest.h>

#include <QListWidget>
#include <memory>

#include "editor/map_edit2_form.h"
#include "fake_dialogs.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "support/test_support.h"

namespace {

class SaveConflictTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TMapEdit2Form>(
        std::move(dialogs),
        std::make_unique<TEditorSettings>(QString::fromStdString(Dir.File("vellumcraft.ini"))));
  }
  void AddLayer(const QString& Name) {
    Dialogs->Layer.LayerName = Name;
    Dialogs->Layer.FileName = "4210752";
    Dialogs->Layer.AdditionIndex = -1;
    Form->AddLayer1Execute();
  }
  // What another program makes of the file: the map with one more layer.
  void ChangeElsewhere(const std::string& Path) {
    TMapEditLayerList other;
    other.LoadFromFile(Path);
    TMapEditLayer* layer = other.AddLayer();
    layer->LayerName = "Theirs";
    layer->SetFileName("255");
    other.SaveToFile(Path);
  }
  std::vector<std::string> LayerNames(const std::string& Path) {
    TMapEditLayerList map;
    map.LoadFromFile(Path);
    std::vector<std::string> names;
    for (int32_t i = 1; i < map.Count(); ++i) names.push_back(map.Layers(i)->LayerName);
    return names;
  }

  vctest::TempDir Dir;
  TFakeDialogs* Dialogs = nullptr;
  std::unique_ptr<TMapEdit2Form> Form;
};

}  // namespace

TEST_F(SaveConflictTest, AChangedFileIsOverwrittenOnlyWhenTheUserSaysSo) {
  const std::string path = Dir.File("shared.qmx");
  const QString name = QString::fromStdString(path);
  Dialogs->Size = {4, 3, 8, {}};
  Dialogs->Discard = TDiscardAnswer::Discard;
  Form->New1Execute();
  AddLayer("Mine");
  Dialogs->SaveName = name;
  Form->Save1Execute();
  ASSERT_FALSE(Form->Modified());
  // Saving again with nobody else involved asks nothing.
  AddLayer("Mine too");
  Form->Save1Execute();
  EXPECT_TRUE(Dialogs->Asked.isEmpty());
  EXPECT_EQ(LayerNames(path), (std::vector<std::string>{"Mine", "Mine too"}));

  // Another program adds a layer; the editor's next save asks, and No keeps theirs.
  ChangeElsewhere(path);
  AddLayer("Third");
  Dialogs->YesNoAnswer = false;
  Form->Save1Execute();
  ASSERT_EQ(Dialogs->Asked.size(), 1);
  // The question names the file and where its current version is kept.
  EXPECT_EQ(Dialogs->Asked[0], Form->Texts().ChangedOnDisk.arg(name, name + ".bak"));
  EXPECT_TRUE(Form->Modified());
  EXPECT_EQ(LayerNames(path), (std::vector<std::string>{"Mine", "Mine too", "Theirs"}));
  EXPECT_TRUE(Dialogs->Errors.isEmpty());

  // Yes overwrites (their version becomes the backup); after that save the editor's
  // own file counts as unchanged again.
  Dialogs->YesNoAnswer = true;
  Form->Save1Execute();
  EXPECT_EQ(Dialogs->Asked.size(), 2);
  EXPECT_FALSE(Form->Modified());
  EXPECT_EQ(LayerNames(path), (std::vector<std::string>{"Mine", "Mine too", "Third"}));
  EXPECT_EQ(LayerNames(path + ".bak"), (std::vector<std::string>{"Mine", "Mine too", "Theirs"}));
  AddLayer("Fourth");
  Form->Save1Execute();
  EXPECT_EQ(Dialogs->Asked.size(), 2);

  // The same holds for a map that was opened rather than saved here.
  Form = nullptr;
  SetUp();
  ASSERT_TRUE(Form->OpenMap(name));
  ChangeElsewhere(path);
  AddLayer("After open");
  Dialogs->YesNoAnswer = false;
  Form->Save1Execute();
  EXPECT_EQ(Dialogs->Asked.size(), 1);
  EXPECT_EQ(LayerNames(path).back(), "Theirs");
}
