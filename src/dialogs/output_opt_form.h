#pragma once
// TOutputOptForm: the output settings dialog (grid lines and their colour), shown
// by the image output and before printing. For image output it also offers the
// image's size (a preset, pixels per cell, the resolution stored in the file), the
// WebP settings and a warning when the image gets too large. It lives as long as
// the window and keeps its settings between openings while the program runs.

#include <QDialog>
#include <QString>

#include "dialogs/output_preset_texts.h"
#include "map/base/color.h"
#include "map/output/image_output.h"
#include "map/output/output_preset.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class IDialogServices;
class TLanguageFile;
class TSwatchButton;

struct TOutputOptFormCaptions {
  QString Caption = "出力設定";
  QString GridOption = "グリッドの設定";
  QString UseGrid = "グリッドを引く";
  QString AllON = "全てON";
  QString AllOFF = "全てOFF";
  QString Top = "上";
  QString Right = "右";
  QString Bottom = "下";
  QString Left = "左";
  QString GridColor = "グリッドの色";
  QString Color = "色";
  QString HalfTone = "半透明で引く";
  // How grid lines are drawn along their length, and how opaque.
  QString GridLineStyle = "線の種類";
  QString GridSolid = "実線";
  QString GridDashed = "破線";
  QString GridDotted = "点線";
  QString GridOpacity = "不透明度 (%)";
  // Labels on the image and the printed pages (off for a players' copy).
  QString WithLabels = "ラベルを描く";
  QString OK = "出力";
  QString Cancel = "キャンセル";
  // The image's size and format, shown for image output only.
  QString ImageOption = "画像の設定";
  QString Preset = "プリセット";
  QString PixelsPerCell = "1マスのピクセル数";
  QString Dpi = "解像度 (dpi)";
  QString DpiNone = "なし";
  QString Lossless = "WebP を可逆圧縮で保存";
  QString WebpQuality = "WebP の品質";
  TPresetCaptions Presets;
};

class TOutputOptForm : public QDialog {
  Q_OBJECT

 public:
  // The quick colours: white, gray and black.
  static constexpr TColor QuickColors[3] = {16777215, 8421504, 0};

  explicit TOutputOptForm(QWidget* Parent = nullptr, IDialogServices* Services = nullptr);

  // Shows the dialog modally; true when closed with the output button.
  bool Execute();

  // Shows the image settings for an image of a Width x Height-cell map of
  // ChipSize pixels, written as WebP when Webp is set (its settings are enabled
  // and its side limit is warned about); HideImageOptions leaves only the grid,
  // as printing needs.
  void ShowImageOptions(int32_t ChipSize, int32_t Width, int32_t Height, bool Webp);
  void HideImageOptions();
  // Image pixels per cell (the map's chip size until changed) and the resolution
  // stored in the file (0: none).
  int32_t PixelsPerCell() const;
  void SetPixelsPerCell(int32_t Value);
  int32_t Dpi() const;
  void SetDpi(int32_t Value);
  // Choosing a preset sets the size; a size no preset gives shows "custom".
  TOutputPreset Preset() const;
  void SetPreset(TOutputPreset Value);

  TColor GridColor() const;
  void SetGridColor(TColor Value);
  bool HalfTone() const;
  void SetHalfTone(bool Value);
  // Solid, dashed or dotted grid lines and their opacity in percent; the editor
  // opens the dialog on the map's own grid style.
  TGridLineStyle GridStyle() const;
  void SetGridStyle(TGridLineStyle Value);
  int32_t GridOpacity() const;
  void SetGridOpacity(int32_t Value);
  bool UseGrid() const;
  void SetUseGrid(bool Value);
  bool LeftGrid() const;
  void SetLeftGrid(bool Value);
  bool RightGrid() const;
  void SetRightGrid(bool Value);
  bool UpGrid() const;
  void SetUpGrid(bool Value);
  bool DownGrid() const;
  void SetDownGrid(bool Value);
  // All the settings at once, as the output and printing use them.
  TOutputOptions Options() const;
  void SetOptions(const TOutputOptions& Value);

  // The reactions of the dialog's buttons and swatches.
  void AllOn();
  void AllOff();
  void PickQuickColor(int Index);
  void OpenColorPicker();

  const TOutputOptFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TOutputOptFormCaptions& Value);
  // Reads the dialog's texts from a language file (missing keys keep theirs).
  void LoadLanguage(const TLanguageFile& File);

  // Parts reached by tests.
  QCheckBox* UseGridCheck() const { return FUseGrid; }
  QCheckBox* WithLabelsCheck() const { return FWithLabels; }
  QComboBox* GridStyleList() const { return FGridStyle; }
  QSpinBox* GridOpacityEdit() const { return FGridOpacity; }
  QPushButton* SideButton(int Index) const { return FSides[Index]; }  // top, right, bottom, left
  TSwatchButton* ColorSwatch() const { return FColor; }
  TSwatchButton* QuickSwatch(int Index) const { return FQuick[Index]; }
  QPushButton* OkButton() const { return FOk; }
  QGroupBox* ImageGroup() const { return FImageGroup; }
  QComboBox* PresetList() const { return FPresetList; }
  QSpinBox* PixelsEdit() const { return FPixels; }
  QSpinBox* DpiEdit() const { return FDpi; }
  QCheckBox* LosslessCheck() const { return FLossless; }
  QSpinBox* QualityEdit() const { return FQuality; }
  QLabel* WarningLabel() const { return FWarning; }

 private:
  void PresetChosen();
  void SizeEdited();
  void UpdateImageState();

  IDialogServices* FServices;
  TOutputOptFormCaptions FCaptions;
  // The picker starts from the colour last picked in it.
  TColor FLastPicked = 0;
  QGroupBox* FGridGroup;
  QGroupBox* FColorGroup;
  QCheckBox* FUseGrid;
  QPushButton* FSides[4];
  QPushButton* FAllOn;
  QPushButton* FAllOff;
  QLabel* FColorLabel;
  TSwatchButton* FColor;
  TSwatchButton* FQuick[3];
  QCheckBox* FHalfTone;
  QLabel *FGridStyleLabel, *FGridOpacityLabel;
  QComboBox* FGridStyle;
  QSpinBox* FGridOpacity;
  QCheckBox* FWithLabels = nullptr;
  QPushButton* FOk;
  QPushButton* FCancel;
  QGroupBox* FImageGroup;
  QLabel *FPresetLabel, *FPixelsLabel, *FDpiLabel, *FQualityLabel;
  QComboBox* FPresetList;
  QSpinBox* FPixels;
  QSpinBox* FDpi;
  QCheckBox* FLossless;
  QSpinBox* FQuality;
  QLabel* FWarning;
  int32_t FChipSize = 32, FMapWidth = 0, FMapHeight = 0;
  bool FWebp = false;
  bool FImageShown = false;
  // The size follows the map's chip size until the user sets one.
  bool FSizeChosen = false;
  bool FUpdating = false;
};
