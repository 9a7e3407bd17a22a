#include "dialogs/preferences_form.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/language_file.h"

void LoadLanguage(const TLanguageFile& File, TPreferencesFormCaptions& C) {
  const char* s = "PreferencesForm";
  C.Caption = File.ReadString(s, "Caption", C.Caption);
  C.UndoLimit = File.ReadString(s, "UndoLimit", C.UndoLimit);
  C.UndoMemory = File.ReadString(s, "UndoMemory", C.UndoMemory);
  C.Megabytes = File.ReadString(s, "Megabytes", C.Megabytes);
  C.OK = File.ReadString("Common", "OK", C.OK);
  C.Cancel = File.ReadString("Common", "Cancel", C.Cancel);
}

TPreferencesForm::TPreferencesForm(QWidget* Parent) : QDialog(Parent) {
  FUndoLimit = new QSpinBox(this);
  FUndoLimit->setObjectName("UndoLimitEdit");
  FUndoLimit->setRange(TPreferences::MinUndoLimit, TPreferences::MaxUndoLimit);
  FUndoMemory = new QSpinBox(this);
  FUndoMemory->setObjectName("UndoMemoryEdit");
  FUndoMemory->setRange(TPreferences::MinUndoMemoryMB, TPreferences::MaxUndoMemoryMB);
  FUndoMemory->setSingleStep(64);
  FUndoLimitLabel = new QLabel(this);
  FUndoLimitLabel->setBuddy(FUndoLimit);
  FUndoMemoryLabel = new QLabel(this);
  FUndoMemoryLabel->setBuddy(FUndoMemory);

  auto* buttons = new QDialogButtonBox(this);
  FOk = buttons->addButton(QDialogButtonBox::Ok);
  FCancel = buttons->addButton(QDialogButtonBox::Cancel);
  FOk->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(FUndoLimitLabel, FUndoLimit);
  form->addRow(FUndoMemoryLabel, FUndoMemory);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  ApplyCaptions(FCaptions);
  SetValues(TPreferences());
}

void TPreferencesForm::ApplyCaptions(const TPreferencesFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(FCaptions.Caption);
  FUndoLimitLabel->setText(FCaptions.UndoLimit);
  FUndoMemoryLabel->setText(FCaptions.UndoMemory);
  FUndoMemory->setSuffix(" " + FCaptions.Megabytes);
  FOk->setText(FCaptions.OK);
  FCancel->setText(FCaptions.Cancel);
}

void TPreferencesForm::SetValues(const TPreferences& Values) {
  const TPreferences v = Values.Clamped();
  FUndoLimit->setValue(v.UndoLimit);
  FUndoMemory->setValue(v.UndoMemoryMB);
}

TPreferences TPreferencesForm::Values() const {
  TPreferences v;
  v.UndoLimit = FUndoLimit->value();
  v.UndoMemoryMB = FUndoMemory->value();
  return v.Clamped();
}

bool TPreferencesForm::Execute(TPreferences& Values) {
  SetValues(Values);
  if (exec() != QDialog::Accepted) return false;
  Values = this->Values();
  return true;
}
