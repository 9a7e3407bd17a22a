// Props: the asset browser beside the canvas and its captions.

#include <QDockWidget>

#include "dialogs/language_file.h"
#include "dialogs/program_folders.h"
#include "editor/asset_browser.h"
#include "editor/map_edit2_form.h"
#include "map/base/asset_index.h"

void TMapEdit2Form::CreatePropPanel() {
  FPropDock = new QDockWidget("小物", this);
  FPropDock->setObjectName("PropDock");
  FPropDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  FAssetBrowser = new TAssetBrowser(FPropDock);
  FAssetBrowser->SetCaptions("検索", "すべて");
  FPropDock->setWidget(FAssetBrowser);
  FPropDock->setMinimumWidth(190);
  addDockWidget(Qt::RightDockWidgetArea, FPropDock);
  RescanAssets();
}

void TMapEdit2Form::SetAssetFolders(std::vector<std::filesystem::path> Folders) {
  FAssetFolders = std::move(Folders);
  FAssetFoldersSet = true;
  RescanAssets();
}

void TMapEdit2Form::RescanAssets() {
  FAssetBrowser->SetIndex(
      TAssetIndex(FAssetFoldersSet ? FAssetFolders : ProgramDataFolders("Assets")));
}

void TMapEdit2Form::ApplyPropLanguage(const TLanguageFile& File) {
  FPropDock->setWindowTitle(File.ReadString("Props", "Panel", FPropDock->windowTitle()));
  FAssetBrowser->SetCaptions(File.ReadString("Props", "Search", "検索"),
                             File.ReadString("Props", "AllGroups", "すべて"));
}
