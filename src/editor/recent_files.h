#pragma once
// The recent-files list of the File menu: full paths, most recent first, each
// once, at most MaxCount. Kept in the settings file's "RecentFiles" section as
// File1 .. FileN.

#include <QString>
#include <QStringList>

class TEditorSettings;

class TRecentFiles {
 public:
  static constexpr int MaxCount = 8;

  const QStringList& Items() const { return FItems; }
  // Puts FileName (made absolute) first, dropping an older entry for the same file.
  void Add(const QString& FileName);
  void Remove(const QString& FileName);
  void Clear() { FItems.clear(); }

  void Load(const TEditorSettings& Settings);
  void Save(TEditorSettings& Settings) const;

 private:
  QStringList FItems;
};
