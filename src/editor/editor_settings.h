#pragma once
// The editor's settings file: an ini file in the user's configuration folder
// (named after the executable, with ".ini" as extension). The file of that name
// beside the executable is read only, as defaults for what the user's file lacks,
// unless it asks to be the settings file itself ("Application"/"Portable" = 1, a
// portable copy). Sections "Application" (Language, UndoLimit, UndoMemoryMB), "DrawMode"
// (FastDraw, ShadeDraw), "Window" and "RecentFiles".

#include <QString>
#include <cstdint>

#include "map/document/edit_tools.h"

// Stored values: FastDraw 0 = always fast, 1 = slow only for output, 2 = always
// slow; ShadeDraw 0 = none, 1 = at stroke end, 2 = always. Reading maps 1 and 2 to
// their modes and every other value to the first one.
TFastDrawMode FastDrawFromValue(int32_t Value);
TShadeMode ShadeFromValue(int32_t Value);
int32_t FastDrawToValue(TFastDrawMode Mode);
int32_t ShadeToValue(TShadeMode Mode);

class TEditorSettings {
 public:
  static constexpr int32_t DefaultUndoLimit = 100;
  // Undo records keep only the cells an edit touched, and their memory is capped
  // besides; the count still has a ceiling.
  static constexpr int32_t MaxUndoLimit = 10000;

  // Uses FileName as the settings file; values it lacks are read from
  // DefaultsFileName when one is given (never written).
  explicit TEditorSettings(QString FileName, QString DefaultsFileName = {});
  // The settings of the running program: the user's file with the one beside the
  // executable as defaults, or that one alone for a portable copy.
  static TEditorSettings ForProgram();
  // The same for the executable ExecutablePath with the user's ConfigFolder.
  static TEditorSettings ForExecutable(const QString& ExecutablePath, const QString& ConfigFolder);
  // The file beside the executable for a portable copy, else the one in the
  // user's configuration folder.
  static QString ChooseFileName(const QString& ExecutablePath, bool Portable,
                                const QString& ConfigFolder);

  const QString& FileName() const { return FFileName; }
  const QString& DefaultsFileName() const { return FDefaultsFileName; }
  // Whether the settings file or its defaults file exists.
  bool Exists() const;

  // Values that are missing or not numbers read as Default.
  int32_t ReadInteger(const QString& Section, const QString& Key, int32_t Default) const;
  QString ReadString(const QString& Section, const QString& Key, const QString& Default) const;
  void WriteInteger(const QString& Section, const QString& Key, int32_t Value);
  void WriteString(const QString& Section, const QString& Key, const QString& Value);

  // "Application"/"UndoLimit", clamped to 1 .. MaxUndoLimit (a limit below 1 would
  // keep no record at all).
  int32_t ReadUndoLimit() const;
  // "Application"/"UndoMemoryMB": the megabytes undo steps may take before the
  // oldest go; default 512, clamped to 16 .. 65536.
  static constexpr int32_t DefaultUndoMemoryMB = 512;
  int32_t ReadUndoMemoryMB() const;
  // "Application"/"AutosaveMinutes": minutes between recovery copies of a map with
  // unsaved changes; 0 turns them off. Default 5, at most MaxAutosaveMinutes.
  static constexpr int32_t DefaultAutosaveMinutes = 5;
  static constexpr int32_t MaxAutosaveMinutes = 1440;
  int32_t ReadAutosaveMinutes() const;
  TFastDrawMode ReadFastDraw() const;
  TShadeMode ReadShadeDraw() const;
  void WriteDrawModes(TFastDrawMode Fast, TShadeMode Shade);

 private:
  QString FFileName;
  QString FDefaultsFileName;
};
