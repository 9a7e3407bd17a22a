#pragma once
// The texts of the output presets and of the large-image warning, shared by the
// output and Universal VTT dialogs, and their use on a preset list and a warning
// label.

#include <QString>
#include <cstdint>

#include "map/output/output_preset.h"

class QComboBox;
class QLabel;
class TLanguageFile;

struct TPresetCaptions {
  // In the order of TOutputPreset.
  QString Names[TOutputPresetCount] = {"Foundry / Universal VTT (1マス100px)",
                                       "Roll20 (1マス70px)", "300dpiで印刷", "カスタム"};
  // %1 x %2 the image's pixels, %3 the limit, %4 the pixels per cell that fit.
  QString LargeImage = "画像が %1 x %2 ピクセルになり、一辺 %3 ピクセルを超えます。"
                       "読み込めないソフトが多いので、1マス %4 ピクセル以下にしてください。";
};

// Reads the presets' keys of Section ("PresetFoundry", "PresetRoll20",
// "PresetPrint300", "PresetCustom", "LargeImage").
void LoadLanguage(const TLanguageFile& File, const char* Section, TPresetCaptions& Captions);

// Sets the list's items to the preset names, keeping the chosen one.
void FillPresetList(QComboBox* List, const TPresetCaptions& Captions);

// Shows the warning for Check on Label (red), or hides the label when the
// image is not too large.
void ShowLargeImageWarning(QLabel* Label, const TPresetCaptions& Captions,
                           const TImageSizeCheck& Check, int64_t Limit = kLargeImageSide);
