#pragma once
// TOutputOptForm: the output settings dialog (grid lines and their colour), shown
// by the image output and before printing. It lives as long as the window and
// keeps its settings between openings while the program runs.

#include <QDialog>
#include <QString>

#include "map/base/color.h"
#include "map/output/image_output.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
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
  QString OK = "出力";
  QString Cancel = "キャンセル";
};

class TOutputOptForm : public QDialog {
  Q_OBJECT

 public:
  // The quick colours: white, gray and black.
  static constexpr TColor QuickColors[3] = {16777215, 8421504, 0};

  explicit TOutputOptForm(QWidget* Parent = nullptr, IDialogServices* Services = nullptr);

  // Shows the dialog modally; true when closed with the output button.
  bool Execute();

  TColor GridColor() const;
  void SetGridColor(TColor Value);
  bool HalfTone() const;
  void SetHalfTone(bool Value);
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
  QPushButton* SideButton(int Index) const { return FSides[Index]; }  // top, right, bottom, left
  TSwatchButton* ColorSwatch() const { return FColor; }
  TSwatchButton* QuickSwatch(int Index) const { return FQuick[Index]; }
  QPushButton* OkButton() const { return FOk; }

 private:
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
  QPushButton* FOk;
  QPushButton* FCancel;
};
