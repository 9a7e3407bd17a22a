#pragma once
// The map style dialog: hatching outside the walls, the walls' drop shadow, the
// wall outline, ink-saving print and the grid line style, each group switched
// on by its own check box. The dialog edits a copy; the caller stores it in the
// map as one undoable change.

#include <QDialog>
#include <QString>

#include "dialogs/dialog_services.h"
#include "map/compose/map_style_options.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class TLanguageFile;
class TSwatchButton;

struct TMapStyleFormCaptions {
  QString Caption = "マップのスタイル";
  QString Hatching = "壁の外側にハッチング(&H)";
  QString HatchDistance = "床からの距離 (px):";
  QString HatchSpacing = "線の間隔 (px):";
  QString HatchColor = "線の色:";
  QString HatchSeed = "乱数の種:";
  QString Shadow = "壁の影(&S)";
  QString ShadowAngle = "向き (度、0 = 右、90 = 下):";
  QString ShadowLength = "長さ (px):";
  QString ShadowSoftness = "ぼかし (px):";
  QString ShadowOpacity = "濃さ (%):";
  QString Outline = "壁の輪郭線(&O)";
  QString OutlineWidth = "太さ (px):";
  QString OutlineRoughness = "揺らぎ (px):";
  QString OutlineColor = "線の色:";
  QString InkSaving = "インク節約印刷(&I)";
  QString InkWalls = "壁:";
  QString InkHatching = "白地にハッチング";
  QString InkGrey = "灰色で塗る";
  QString Grid = "グリッド線";
  QString GridStyle = "線の種類:";
  QString GridSolid = "実線";
  QString GridDashed = "破線";
  QString GridDotted = "点線";
  QString GridOpacity = "不透明度 (%):";
  QString OK = "OK";
  QString Cancel = "キャンセル";
};

class TMapStyleForm : public QDialog {
  Q_OBJECT

 public:
  explicit TMapStyleForm(QWidget* Parent = nullptr, IDialogServices* Services = nullptr);

  // Shows the dialog on Value; on OK, Value takes the fields and true is returned.
  bool Execute(TMapStyleSettings& Value);
  void SetSettings(const TMapStyleSettings& Value);
  TMapStyleSettings Settings() const;

  const TMapStyleFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TMapStyleFormCaptions& Value);

  QGroupBox* HatchingGroup() const { return FHatching; }
  QGroupBox* ShadowGroup() const { return FShadow; }
  QGroupBox* OutlineGroup() const { return FOutline; }
  QGroupBox* InkGroup() const { return FInk; }
  QSpinBox* HatchDistanceEdit() const { return FHatchDistance; }
  QSpinBox* ShadowAngleEdit() const { return FShadowAngle; }
  QSpinBox* ShadowLengthEdit() const { return FShadowLength; }
  QSpinBox* ShadowSoftnessEdit() const { return FShadowSoftness; }
  QSpinBox* OutlineWidthEdit() const { return FOutlineWidth; }
  QComboBox* InkWallsList() const { return FInkWalls; }
  QComboBox* GridStyleList() const { return FGridStyle; }
  QSpinBox* GridOpacityEdit() const { return FGridOpacity; }
  TSwatchButton* HatchColorButton() const { return FHatchColor; }
  QPushButton* OkButton() const { return FOk; }

 private:
  void PickColor(TSwatchButton* Button);

  IDialogServices* FServices;
  TMapStyleFormCaptions FCaptions;
  // The settings the dialog was opened on: the fields it has none for.
  TMapStyleSettings FBase;
  QGroupBox *FHatching, *FShadow, *FOutline, *FInk, *FGrid;
  QLabel *FHatchDistanceLabel, *FHatchSpacingLabel, *FHatchColorLabel, *FHatchSeedLabel;
  QSpinBox *FHatchDistance, *FHatchSpacing, *FHatchSeed;
  TSwatchButton* FHatchColor;
  QLabel *FShadowAngleLabel, *FShadowLengthLabel, *FShadowSoftnessLabel, *FShadowOpacityLabel;
  QSpinBox *FShadowAngle, *FShadowLength, *FShadowSoftness, *FShadowOpacity;
  QLabel *FOutlineWidthLabel, *FOutlineRoughnessLabel, *FOutlineColorLabel;
  QSpinBox *FOutlineWidth, *FOutlineRoughness;
  TSwatchButton* FOutlineColor;
  QLabel* FInkWallsLabel;
  QComboBox* FInkWalls;
  QLabel *FGridStyleLabel, *FGridOpacityLabel;
  QComboBox* FGridStyle;
  QSpinBox* FGridOpacity;
  QPushButton *FOk, *FCancel;
};

// Reads the dialog's texts from section "MapStyleForm" of a language file (OK and
// Cancel from "Common"), keeping each text that the file does not have.
void LoadLanguage(const TLanguageFile& File, TMapStyleFormCaptions& Captions);
