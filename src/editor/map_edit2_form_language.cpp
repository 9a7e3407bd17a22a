// The language menu and the language files that re-caption the window and its
// dialogs.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <set>

#include "dialogs/language_file.h"
#include "dialogs/program_folders.h"
#include "editor/map_edit2_form.h"
#include "map/base/text_messages.h"

namespace fs = std::filesystem;

namespace {

// The main window's captions read from a language file: section, key and the
// object name of the command or menu it renames, in the order they are applied.
struct TCaptionKey {
  const char* Section;
  const char* Key;
  const char* Object;
};

const TCaptionKey kMenuKeys1[] = {
    {"MainMenu", "File", "FileMenu"},
    {"MainMenu", "Edit", "EditMenu"},
    {"MainMenu", "Map", "MapMenu"},
    {"MainMenu", "Layer", "LayerMenu"},
    {"FileMenu", "New", "New1"},
    {"FileMenu", "Open", "Open1"},
    {"FileMenu", "Save", "Save1"},
    {"FileMenu", "SaveAS", "SaveAS1"},
    {"FileMenu", "Output", "Output1"},
    {"FileMenu", "Print", "Print1"},
    {"FileMenu", "Quit", "Quit1"},
    {"EditMenu", "Undo", "Undo1"},
    {"EditMenu", "Redo", "Redo1"},
    {"MapMenu", "Option", "Option1"},
    {"MapMenu", "FastDrawing", "FastDrawMenu"},
    {"MapMenu", "AlwaysFast", "AlwaysFact1"},
    {"MapMenu", "SaveSlow", "SaveFact"},
    {"MapMenu", "AlwaysSlow", "AlwaysSlow"},
    {"MapMenu", "ShadeDrawing", "ShadeMenu"},
    {"MapMenu", "ShadeAlways", "HighDef1"},
    {"MapMenu", "ShadeEnds", "EndDef1"},
    {"MapMenu", "ShadeNone", "NoneDef1"},
    {"MapMenu", "Tile", "Pen1"},
    {"MapMenu", "Wall", "Wall1"},
    {"MapMenu", "Chip", "Chip1"},
    {"MapMenu", "FreeHand", "FreeHand1"},
    {"MapMenu", "Pencil", "Pencil1"},
    {"MapMenu", "Rect", "Rect1"},
    {"MapMenu", "Ellipse", "Ellipse1"},
    {"MapMenu", "Fill", "Fill1"},
    {"MapMenu", "Door", "Door1"},
    {"MapMenu", "ChangeDoorColor", "DoorColorChange1"},
    {"LayerMenu", "Add", "AddLayer1"},
    {"LayerMenu", "Del", "DeleteLayer1"},
    {"LayerMenu", "Rec", "RecordLayerSet1"},
};

// Captions of the window's own additions: the View menu and the export submenu.
const TCaptionKey kExtraKeys[] = {
    {"MainMenu", "View", "ViewMenu"},
    {"ViewMenu", "ZoomIn", "ZoomIn1"},
    {"ViewMenu", "ZoomOut", "ZoomOut1"},
    {"ViewMenu", "ActualSize", "ZoomActual1"},
    {"ViewMenu", "FitToWindow", "ZoomFit1"},
    {"FileMenu", "Export", "ExportMenu"},
    {"MapMenu", "MapStyle", "MapStyle1"},
    {"ViewMenu", "ShowStyle", "ShowStyle1"},
    {"FileMenu", "ExportVtt", "ExportVtt1"},
    // The Map menu's chip-edit item is not the chip command; its own key lets a
    // translation rename it too.
    {"MapMenu", "ChipItem", "ChipMenuItem"},
    // The map objects' menu and view switches.
    {"MainMenu", "Objects", "ObjectMenu"},
    {"ObjectMenu", "Select", "ObjectSelect1"},
    {"ObjectMenu", "Label", "Label1"},
    {"ObjectMenu", "RoomNumber", "RoomNumber1"},
    {"ObjectMenu", "Light", "Light1"},
    {"ObjectMenu", "Window", "Window1"},
    {"ObjectMenu", "Properties", "ObjectProps1"},
    {"ObjectMenu", "Delete", "DeleteObject1"},
    {"ObjectMenu", "Forward", "ObjectForward1"},
    {"ObjectMenu", "Backward", "ObjectBackward1"},
    {"ViewMenu", "ShowLabels", "ShowLabels1"},
    {"ViewMenu", "LightPreview", "LightPreview1"},
    {"FileMenu", "SaveWithTextures", "SaveWithTextures1"},
    {"EditMenu", "Preferences", "Preferences1"},
};

bool SameIgnoringCase(const QString& A, const char* B) {
  return A.compare(QLatin1String(B), Qt::CaseInsensitive) == 0;
}

}  // namespace

void TMapEdit2Form::SetLanguageFolders(std::vector<fs::path> Folders) {
  FLanguageFolders = std::move(Folders);
  FLanguageFoldersSet = true;
}

void TMapEdit2Form::ListLanguages(QStringList& List) const {
  List.clear();
  const std::vector<fs::path> folders =
      FLanguageFoldersSet ? FLanguageFolders : ProgramDataFolders("Langs");
  // Files of a later folder with the name of one already listed are hidden by it,
  // so a user's copy in a later folder cannot shadow the shipped file twice.
  std::set<QString> seen;
  for (const fs::path& folder : folders) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& p = it->path();
      std::error_code fe;
      if (!it->is_regular_file(fe)) continue;
      QString ext = QString::fromStdString(p.extension().string());
      if (ext.compare(".ini", Qt::CaseInsensitive) == 0) files.push_back(p);
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& p : files) {
      const QString base = QString::fromStdString(p.stem().string());
      if (!seen.insert(base.toLower()).second) continue;
      QString title = "&English";
      try {
        title = TLanguageFile::Load(p.string()).ReadString("Title", "Lang", title);
      } catch (const std::exception&) {
        continue;  // an unreadable file is not offered
      }
      List << title << QFile::decodeName(p.string().c_str());
    }
  }
}

void TMapEdit2Form::BuildLanguageMenu() {
  FLanguageMenu->clear();
  delete FLanguageGroup;
  // The language in use shows as the checked item.
  FLanguageGroup = new QActionGroup(this);
  ListLanguages(FLanguages);
  for (qsizetype k = 0; k + 1 < FLanguages.size(); k += 2) {
    QAction* item = FLanguageMenu->addAction(FLanguages.at(k));
    item->setCheckable(true);
    FLanguageGroup->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] { LanguageClick(item); });
  }
  MarkCurrentLanguage();
}

void TMapEdit2Form::MarkCurrentLanguage() {
  const QList<QAction*> items = FLanguageMenu->actions();
  const QString current =
      FLanguagePath.isEmpty() ? QString() : QFileInfo(FLanguagePath).absoluteFilePath();
  for (qsizetype k = 0; k < items.size() && 2 * k + 1 < FLanguages.size(); ++k)
    items.at(k)->setChecked(!current.isEmpty() &&
                            QFileInfo(FLanguages.at(2 * k + 1)).absoluteFilePath() == current);
}

void TMapEdit2Form::LanguageClick(QAction* Sender) {
  if (!Sender) return;
  const qsizetype k = FLanguageMenu->actions().indexOf(Sender);
  if (k < 0 || 2 * k + 1 >= FLanguages.size()) return;
  ApplyLanguageFile(FLanguages.at(2 * k + 1));
}

void TMapEdit2Form::ApplyLanguageFile(const QString& Path) {
  if (!QFileInfo::exists(Path)) return;
  TLanguageFile file;
  try {
    file = TLanguageFile::Load(QFile::encodeName(Path).toStdString());
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  ApplyLanguage(file);
  FLanguagePath = Path;
  MarkCurrentLanguage();
  FSettings->WriteString("Application", "Language", QFileInfo(Path).completeBaseName());
}

void TMapEdit2Form::ApplyLanguage(const TLanguageFile& File) {
  const TLanguageFile& file = File;
  FDeleteLayerPrompt = file.ReadString("LayerOpt", "DelLayer_Conf", FDeleteLayerPrompt);
  FLayerSetName = file.ReadString("LayerOpt", "LayerSetName", FLayerSetName);
  FLayerSetOpt = file.ReadString("LayerOpt", "LayerSetOpt", FLayerSetOpt);

  auto apply = [this, &file](const TCaptionKey& K) {
    if (QAction* a = Action(K.Object)) {
      a->setText(file.ReadString(K.Section, K.Key, a->text()));
    } else if (auto* m = findChild<QMenu*>(K.Object)) {
      m->setTitle(file.ReadString(K.Section, K.Key, m->title()));
    } else if (auto* o = findChild<QAction*>(K.Object)) {
      o->setText(file.ReadString(K.Section, K.Key, o->text()));
    }
  };
  for (const TCaptionKey& k : kMenuKeys1) apply(k);
  // Missing means built-in here, not "keep the current text".
  FNoLayerPrompt = file.ReadString("LayerMenu", "MustMakeLayer", QString());
  // Missing means the built-in text again.
  FMessageForms.clear();
  size_t formCount = 0;
  const TMessageForm* forms = CoreMessageForms(formCount);
  for (size_t i = 0; i < formCount; ++i)
    FMessageForms[forms[i].Key] = file.ReadString("Messages", forms[i].Key, QString());
  FApplicationTitle = file.ReadString("Title", "Exe", FApplicationTitle);
  FCaptionTitle = file.ReadString("Title", "Exe", FCaptionTitle);
  FLanguageMenu->setTitle(file.ReadString("MainMenu", "Language", FLanguageMenu->title()));
  for (const TCaptionKey& k : kExtraKeys) apply(k);
  FTexts.Load(file);
  ApplyTexts();
  ApplyPropLanguage(file);
  UpdateCaption();

  FDialogs->LoadLanguage(file);
}

void TMapEdit2Form::ApplyStartupLanguage() {
  if (FSettings->Exists()) {
    const QString name = FSettings->ReadString("Application", "Language", QString());
    if (name.isEmpty()) return;
    const std::vector<fs::path> folders =
        FLanguageFoldersSet ? FLanguageFolders : ProgramDataFolders("Langs");
    for (const fs::path& folder : folders) {
      const QString path =
          QFile::decodeName((folder / (QFile::encodeName(name).toStdString() + ".ini")).c_str());
      if (QFileInfo::exists(path)) {
        ApplyLanguageFile(path);
        return;
      }
    }
    return;  // a file that no longer exists is silently skipped
  }
  if (FJapaneseLocale) return;
  const QList<QAction*> items = FLanguageMenu->actions();
  for (QAction* item : items)
    if (SameIgnoringCase(item->text(), "English")) {
      item->trigger();
      return;
    }
}
