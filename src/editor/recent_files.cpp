#include "editor/recent_files.h"

#include <QFileInfo>

#include "editor/editor_settings.h"

namespace {

QString Normal(const QString& FileName) {
  return FileName.isEmpty() ? QString() : QFileInfo(FileName).absoluteFilePath();
}

}  // namespace

void TRecentFiles::Add(const QString& FileName) {
  const QString name = Normal(FileName);
  if (name.isEmpty()) return;
  FItems.removeAll(name);
  FItems.prepend(name);
  while (FItems.size() > MaxCount) FItems.removeLast();
}

void TRecentFiles::Remove(const QString& FileName) { FItems.removeAll(Normal(FileName)); }

void TRecentFiles::Load(const TEditorSettings& Settings) {
  FItems.clear();
  for (int i = 1; i <= MaxCount; ++i) {
    const QString name = Settings.ReadString("RecentFiles", "File" + QString::number(i), {});
    if (!name.isEmpty() && !FItems.contains(name)) FItems << name;
  }
}

void TRecentFiles::Save(TEditorSettings& Settings) const {
  for (int i = 1; i <= MaxCount; ++i)
    Settings.WriteString("RecentFiles", "File" + QString::number(i),
                         i <= FItems.size() ? FItems.at(i - 1) : QString());
}
