#include "dialogs/output_preset_texts.h"

#include <QComboBox>
#include <QLabel>

#include "dialogs/language_file.h"

void LoadLanguage(const TLanguageFile& File, const char* Section, TPresetCaptions& C) {
  const char* keys[TOutputPresetCount] = {"PresetFoundry", "PresetRoll20", "PresetPrint300",
                                          "PresetCustom"};
  for (int i = 0; i < TOutputPresetCount; ++i)
    C.Names[i] = File.ReadString(Section, keys[i], C.Names[i]);
  C.LargeImage = File.ReadString(Section, "LargeImage", C.LargeImage);
}

void FillPresetList(QComboBox* List, const TPresetCaptions& Captions) {
  const int keep = List->currentIndex();
  const bool blocked = List->blockSignals(true);
  if (List->count() != TOutputPresetCount) {
    List->clear();
    for (const QString& name : Captions.Names) List->addItem(name);
  } else {
    for (int i = 0; i < TOutputPresetCount; ++i) List->setItemText(i, Captions.Names[i]);
  }
  List->setCurrentIndex(keep >= 0 ? keep : int(TOutputPreset::Custom));
  List->blockSignals(blocked);
}

void ShowLargeImageWarning(QLabel* Label, const TPresetCaptions& Captions,
                           const TImageSizeCheck& Check, int64_t Limit) {
  const bool large = Check.Width > Limit || Check.Height > Limit;
  if (!large) {
    Label->clear();
    Label->setVisible(false);
    return;
  }
  Label->setText(Captions.LargeImage.arg(Check.Width)
                     .arg(Check.Height)
                     .arg(Limit)
                     .arg(Check.Suggested));
  Label->setStyleSheet("color: #B00000;");
  Label->setWordWrap(true);
  Label->setVisible(true);
}
