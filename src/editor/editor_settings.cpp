#include "editor/editor_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

#include "dialogs/preferences_values.h"

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

TEditorSettings::TEditorSettings(QString FileName, QString DefaultsFileName)
    : FFileName(std::move(FileName)), FDefaultsFileName(std::move(DefaultsFileName)) {}

QString TEditorSettings::ChooseFileName(const QString& ExecutablePath, bool Portable,
                                        const QString& ConfigFolder) {
  const QFileInfo exe(ExecutablePath);
  const QString name = exe.completeBaseName() + ".ini";
  if (Portable) return exe.dir().filePath(name);
  return QDir(ConfigFolder).filePath(name);
}

TEditorSettings TEditorSettings::ForProgram() {
  return ForExecutable(QCoreApplication::applicationFilePath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

TEditorSettings TEditorSettings::ForExecutable(const QString& ExecutablePath,
                                               const QString& ConfigFolder) {
  const QString beside = ChooseFileName(ExecutablePath, true, ConfigFolder);
  const bool portable = TEditorSettings(beside).ReadInteger("Application", "Portable", 0) == 1;
  if (portable) return TEditorSettings(beside);
  QDir().mkpath(ConfigFolder);
  return TEditorSettings(ChooseFileName(ExecutablePath, false, ConfigFolder), beside);
}

bool TEditorSettings::Exists() const {
  return QFileInfo::exists(FFileName) ||
         (!FDefaultsFileName.isEmpty() && QFileInfo::exists(FDefaultsFileName));
}

namespace {

// The value of Key in the settings file, else in the defaults file; invalid when
// neither holds it.
QVariant ReadValue(const QString& FileName, const QString& DefaultsFileName, const QString& Key) {
  QVariant v = QSettings(FileName, QSettings::IniFormat).value(Key);
  if (!v.isValid() && !DefaultsFileName.isEmpty() && QFileInfo::exists(DefaultsFileName))
    v = QSettings(DefaultsFileName, QSettings::IniFormat).value(Key);
  return v;
}

}  // namespace

int32_t TEditorSettings::ReadInteger(const QString& Section, const QString& Key,
                                     int32_t Default) const {
  const QVariant v = ReadValue(FFileName, FDefaultsFileName, Section + "/" + Key);
  if (!v.isValid()) return Default;
  bool ok = false;
  const int value = v.toString().trimmed().toInt(&ok);
  return ok ? value : Default;
}

QString TEditorSettings::ReadString(const QString& Section, const QString& Key,
                                    const QString& Default) const {
  const QVariant v = ReadValue(FFileName, FDefaultsFileName, Section + "/" + Key);
  return v.isValid() ? v.toString() : Default;
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

int32_t TEditorSettings::ReadUndoMemoryMB() const {
  return std::clamp(ReadInteger("Application", "UndoMemoryMB", DefaultUndoMemoryMB),
                    TPreferences::MinUndoMemoryMB, TPreferences::MaxUndoMemoryMB);
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
