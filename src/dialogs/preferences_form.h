#pragma once
// The preferences dialog: the undo limit (steps kept) and the memory the undo
// steps may take, in megabytes.

#include <QDialog>
#include <QString>

#include "dialogs/preferences_values.h"

class QLabel;
class QPushButton;
class QSpinBox;
class TLanguageFile;

struct TPreferencesFormCaptions {
  QString Caption = "環境設定";
  QString UndoLimit = "元に戻せる回数(&U):";
  QString UndoMemory = "元に戻す情報のメモリ上限(&M):";
  QString Megabytes = "MB";
  QString OK = "OK";
  QString Cancel = "キャンセル";
};

// Section "PreferencesForm" (Caption, UndoLimit, UndoMemory, Megabytes) and
// "Common" (OK, Cancel).
void LoadLanguage(const TLanguageFile& File, TPreferencesFormCaptions& Captions);

class TPreferencesForm : public QDialog {
  Q_OBJECT

 public:
  explicit TPreferencesForm(QWidget* Parent = nullptr);

  // Shows Values (brought into range) in the fields.
  void SetValues(const TPreferences& Values);
  TPreferences Values() const;
  // Fills the fields, shows the dialog and reads them back; false when cancelled.
  bool Execute(TPreferences& Values);

  QSpinBox* UndoLimitEdit() const { return FUndoLimit; }
  QSpinBox* UndoMemoryEdit() const { return FUndoMemory; }
  QPushButton* OkButton() const { return FOk; }
  const TPreferencesFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TPreferencesFormCaptions& Value);

 private:
  TPreferencesFormCaptions FCaptions;
  QLabel* FUndoLimitLabel;
  QLabel* FUndoMemoryLabel;
  QSpinBox* FUndoLimit;
  QSpinBox* FUndoMemory;
  QPushButton* FOk;
  QPushButton* FCancel;
};
