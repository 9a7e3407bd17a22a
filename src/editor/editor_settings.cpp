#include "editor/editor_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

TFastDrawMode FastDrawFromValue(int32_t Value) {
  if (Value == 1) return TFastDrawMode::SlowOnlyForOutput;
  if (Value == 2) return TFastDrawMode::AlwaysSlow;
  return TFastDrawMode::AlwaysFast;
}

TShadeMode ShadeFromValue(int32_t Value) {
  if (Value == 1) return TShadeMode::AtStrokeEnd;
  if (Value == 2) return TShadeMode::Always;
  return TShadeMode::None;
}

int32_t FastDrawToValue(TFastDrawMode Mode) {
  switch (Mode) {
    case TFastDrawMode::AlwaysSlow:
      return 2;
    case TFastDrawMode::SlowOnlyForOutput:
      return 1;
    default:
      return 0;
  }
}

int32_t ShadeToValue(TShadeMode Mode) {
  switch (Mode) {
    case TShadeMode::Always:
      return 2;
    case TShadeMode::AtStrokeEnd:
      return 1;
    default:
      return 0;
  }
}

TEditorSettings::TEditorSettings(QString FileName) : FFileName(std::move(FileName)) {}

QString TEditorSettings::ChooseFileName(const QString& ExecutablePath, bool FolderWritable,
                                        const QString& ConfigFolder) {
  const QFileInfo exe(ExecutablePath);
  const QString name = exe.completeBaseName() + ".ini";
  if (FolderWritable) return exe.dir().filePath(name);
  return QDir(ConfigFolder).filePath(name);
}

QString TEditorSettings::DefaultFileName() {
  const QString exe = QCoreApplication::applicationFilePath();
  const QFileInfo folder(QFileInfo(exe).absolutePath());
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  const QString chosen = ChooseFileName(exe, folder.isWritable(), config);
  if (!folder.isWritable()) QDir().mkpath(config);
  return chosen;
}

bool TEditorSettings::Exists() const { return QFileInfo::exists(FFileName); }

int32_t TEditorSettings::ReadInteger(const QString& Section, const QString& Key,
                                     int32_t Default) const {
  QSettings ini(FFileName, QSettings::IniFormat);
  const QVariant v = ini.value(Section + "/" + Key);
  if (!v.isValid()) return Default;
  bool ok = false;
  const int value = v.toString().trimmed().toInt(&ok);
  return ok ? value : Default;
}

QString TEditorSettings::ReadString(const QString& Section, const QString& Key,
                                    const QString& Default) const {
  QSettings ini(FFileName, QSettings::IniFormat);
  return ini.value(Section + "/" + Key, Default).toString();
}

void TEditorSettings::WriteInteger(const QString& Section, const QString& Key, int32_t Value) {
  QSettings ini(FFileName, QSettings::IniFormat);
  ini.setValue(Section + "/" + Key, Value);
}

void TEditorSettings::WriteString(const QString& Section, const QString& Key,
                                  const QString& Value) {
  QSettings ini(FFileName, QSettings::IniFormat);
  ini.setValue(Section + "/" + Key, Value);
}

int32_t TEditorSettings::ReadUndoLimit() const {
  return std::clamp(ReadInteger("Application", "UndoLimit", DefaultUndoLimit), 1, MaxUndoLimit);
}

int32_t TEditorSettings::ReadAutosaveMinutes() const {
  const int32_t minutes = ReadInteger("Application", "AutosaveMinutes", DefaultAutosaveMinutes);
  // A negative or absurd value turns nothing off by accident: it is clamped.
  return std::clamp(minutes, 0, MaxAutosaveMinutes);
}

TFastDrawMode TEditorSettings::ReadFastDraw() const {
  return FastDrawFromValue(ReadInteger("DrawMode", "FastDraw", 1));
}

TShadeMode TEditorSettings::ReadShadeDraw() const {
  return ShadeFromValue(ReadInteger("DrawMode", "ShadeDraw", 1));
}

void TEditorSettings::WriteDrawModes(TFastDrawMode Fast, TShadeMode Shade) {
  QSettings ini(FFileName, QSettings::IniFormat);
  ini.setValue("DrawMode/FastDraw", FastDrawToValue(Fast));
  ini.setValue("DrawMode/ShadeDraw", ShadeToValue(Shade));
  ini.sync();
}
