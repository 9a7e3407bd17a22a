// Maps that travel: saving a map with its textures into one folder, and finding
// the textures of a map opened where they are not.

#include <QAction>
#include <QFile>
#include <QString>

#include "editor/busy_cursor.h"
#include "editor/command_glyphs.h"
#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/file/map_pack.h"
#include "map/file/texture_search.h"

namespace {

std::string LocalName(const QString& Name) { return QFile::encodeName(Name).toStdString(); }
QString ShownName(const std::string& Name) { return QFile::decodeName(Name.c_str()); }

}  // namespace

void TMapEdit2Form::SaveWithTextures1Execute() {
  if (!FDocument || FDocument->Count() == 0) return;
  const QString folder = FDialogs->ChooseFolder(this, FTexts.PackFolder);
  if (folder.isEmpty()) return;
  // A map never saved is packed as "map.qmx".
  const std::string name =
      FSession->FileName().empty() ? std::string("map.qmx") : FSession->FileName();
  TPackReport report;
  try {
    TBusyCursor busy;
    // The open map stays bound to its own file; the pack is a copy.
    PackMap(*FDocument, name, LocalName(folder), report);
  } catch (const std::exception& e) {
    ShowException(e);
    return;
  }
  FDialogs->ShowInformation(this, PlainCaption(Action("SaveWithTextures1")->text()),
                            FTexts.Packed.arg(ShownName(report.MapFile).toHtmlEscaped())
                                .arg(qsizetype(report.Textures.size())));
}

bool TMapEdit2Form::LookForMissingTextures() {
  if (!FDocument) return false;
  const QString folder = FDialogs->ChooseFolder(this, FTexts.TextureFolder);
  if (folder.isEmpty()) return false;
  TTextureSearchReport report;
  try {
    TBusyCursor busy;
    RebindMissingTextures(*FDocument, LocalName(folder), report);
  } catch (const std::exception& e) {
    ShowException(e);
    return false;
  }
  if (report.Rebound > 0) {
    // The layers name other files now: saving writes them.
    SetModified(true);
    UpdateLayerButtons();  // the floor button shows the texture, not the placeholder
    Invalidate();
    UpdateActions();
  }
  QString text = FTexts.TexturesFound.arg(report.Rebound).toHtmlEscaped();
  if (!report.StillMissing.empty()) {
    text += "<br><br>" + FTexts.TexturesStillMissing.toHtmlEscaped();
    for (const std::string& s : report.StillMissing) text += "<br>" + ShownName(s).toHtmlEscaped();
  }
  FDialogs->ShowInformation(this, FTexts.TextureFolder, text);
  return true;
}
