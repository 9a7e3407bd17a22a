#pragma once
// The Universal VTT export dialog: how many image pixels one cell gets (the map's
// chip size, a common virtual-tabletop size, a named preset, or any other),
// whether the image carries grid lines, and a warning when the image gets too
// large for many programs.

#include <QDialog>
#include <QString>
#include <cstdint>

#include "dialogs/output_preset_texts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

struct TVttExportFormCaptions {
  QString Caption = "Universal VTT 書き出し";
  QString PixelsPerGrid = "1マスのピクセル数(&P):";
  QString Presets = "よく使われる値:";
  // %1 is the map's chip size.
  QString ChipSize = "チップサイズ (%1)";
  QString Grid = "グリッド線を描く(&G)";
  QString OK = "OK";
  QString Cancel = "キャンセル";
  QString Preset = "プリセット:";
  TPresetCaptions PresetTexts;
  QString Labels = "ラベルを画像に描く(&L)";
  QString BakeLights = "明かりを画像に焼き込む(&B)";
  QString MergeObjects = "オブジェクトの輪郭を壁に含める(&M)";
};

class TVttExportForm : public QDialog {
  Q_OBJECT

 public:
  // The pixels-per-grid values offered beside the chip size.
  static constexpr int32_t kPresets[3] = {70, 100, 140};

  explicit TVttExportForm(QWidget* Parent = nullptr);

  // Fills the fields for a map of ChipSize pixels per cell.
  void Prepare(int32_t ChipSize, int32_t PixelsPerGrid, bool Grid);
  // Prepares, shows the dialog and reads the fields back; false when cancelled.
  bool Execute(int32_t ChipSize, int32_t& PixelsPerGrid, bool& Grid);
  // The map's size in cells, for the warning about large images.
  void SetMapSize(int32_t Width, int32_t Height);
  QComboBox* PresetList() const { return FPresetList; }
  QLabel* WarningLabel() const { return FWarning; }

  int32_t PixelsPerGrid() const;
  bool Grid() const;
  // Labels on the image, lights baked into it, object outlines among the walls.
  void SetObjectChoices(bool Labels, bool BakeLights, bool MergeObjects);
  void ObjectChoices(bool& Labels, bool& BakeLights, bool& MergeObjects) const;
  QCheckBox* LabelsCheck() const { return FLabels; }
  QCheckBox* BakeLightsCheck() const { return FBakeLights; }
  QCheckBox* MergeObjectsCheck() const { return FMergeObjects; }
  QSpinBox* PixelsEdit() const { return FPixels; }
  QCheckBox* GridCheck() const { return FGrid; }
  // Button 0 takes the chip size, buttons 1 to 3 the presets.
  QPushButton* PresetButton(int Index) const { return FPresetButtons[Index]; }
  QPushButton* OkButton() const { return FOk; }

  const TVttExportFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TVttExportFormCaptions& Value);

 private:
  TVttExportFormCaptions FCaptions;
  int32_t FChipSize = 32;
  QLabel* FPixelsLabel;
  QLabel* FPresetsLabel;
  QSpinBox* FPixels;
  QPushButton* FPresetButtons[4];
  QCheckBox* FGrid;
  QCheckBox* FLabels;
  QCheckBox* FBakeLights;
  QCheckBox* FMergeObjects;
  QLabel* FPresetLabel;
  QComboBox* FPresetList;
  QLabel* FWarning;
  int32_t FMapWidth = 0, FMapHeight = 0;
  bool FUpdating = false;
  void SizeChanged();
  QPushButton* FOk;
  QPushButton* FCancel;
};
