#pragma once
// The map size dialog of the New command: map width and height in cells, the
// chip size, and optionally a layer set to start the map with. It lives for the
// whole run, so its fields keep their values from one opening to the next; the
// set list is rebuilt at every opening.

#include <QDialog>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class TDialSpinEdit;

// Computes the image size shown for (width, height, chip size).
using TCalcMapSizeEvent = std::function<QPoint(int32_t X, int32_t Y, int32_t ChipSize)>;

// Every text the dialog shows, in one place; a language file replaces them.
struct TFileFormCaptions {
  QString Caption = "マップサイズとチップサイズの設定";
  QString MapSize = "マップの大きさ";
  QString Width = "幅";
  QString Height = "高さ";
  QString Times = "×";  // also joins the image size text
  QString ChipSize = "１マスあたりの大きさ";
  QString ChipRead1 = "床素材のサイズはこれよりも";
  QString ChipRead2 = "小さくても大きくても構いません。";
  QString ChipRead3 = "(自動的に調整されます)";
  QString LayerSet = "レイヤーセット";
  QString UseLayerSet = "セットを使う";
  QString CreateNew = "新規に作る";
  QString ImageSize = "画像サイズ";
  QString OK = "OK";
  QString Cancel = "キャンセル";
};

class TLanguageFile;

class TFileForm : public QDialog {
  Q_OBJECT

 public:
  explicit TFileForm(QWidget* Parent = nullptr);

  // Shows the dialog modally; true when closed with OK. With false the layer-set
  // group is hidden.
  bool Execute(bool ShowLayerSets);

  int32_t MapWidth() const;
  void SetMapWidth(int32_t Value);
  int32_t MapHeight() const;
  void SetMapHeight(int32_t Value);
  // 16, 32 or 50 when that option is chosen, else the custom field's value.
  int32_t MapSize() const;
  // 16, 32 and 50 choose their option; anything else chooses the custom option.
  void SetMapSize(int32_t Value);
  // The chosen set's name (file name without folder and ".txt"), empty for none.
  const std::string& LayerSet() const { return FLayerSet; }
  void SetLayerSet(const std::string& Value) { FLayerSet = Value; }
  TCalcMapSizeEvent OnCalcSize;

  // The folders the sets are listed from, in order of precedence; by default the
  // "Layersets" folders beside the executable and in the user's data folder.
  const std::vector<std::filesystem::path>& LayerSetFolders() const { return FFolders; }
  void SetLayerSetFolders(const std::vector<std::filesystem::path>& Value) { FFolders = Value; }
  // The file of the chosen set, empty when none is chosen or it is gone.
  std::filesystem::path LayerSetFile() const;

  const TFileFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TFileFormCaptions& Value);
  // Reads the dialog's texts from a language file (missing keys keep theirs).
  void LoadLanguage(const TLanguageFile& File);

  // The current image size text ("640×480").
  QString ImageSizeText() const;

  // Parts reached by tests and by the language loader.
  TDialSpinEdit* WidthEdit() const { return FDSE2; }
  TDialSpinEdit* HeightEdit() const { return FDSE3; }
  TDialSpinEdit* CustomEdit() const { return FDSE1; }
  QRadioButton* ChipOption(int Index) const { return FChipOptions[Index]; }
  QRadioButton* UseSetOption() const { return FUseSet; }
  QRadioButton* CreateNewOption() const { return FCreateNew; }
  QListWidget* SetList() const { return FSetList; }
  QGroupBox* LayerSetGroup() const { return FSetGroup; }
  QPushButton* OkButton() const { return FOk; }

  // Prepares the dialog as Execute does, without showing it (for tests and
  // screenshots); FinishExecute takes the results as closing does.
  void PrepareExecute(bool ShowLayerSets);
  void FinishExecute();

 public slots:
  void accept() override;

 private:
  void UpdateImageSize();
  void UseSetChosen();

  TFileFormCaptions FCaptions;
  std::vector<std::filesystem::path> FFolders;
  std::string FLayerSet;

  QGroupBox* FSizeGroup;
  QGroupBox* FChipGroup;
  QGroupBox* FSetGroup;
  QLabel* FWidthLabel;
  QLabel* FHeightLabel;
  QLabel* FTimesLabel;
  QLabel* FRead[3];
  QLabel* FImageSizeLabel;
  QLabel* FImageSizeValue;
  TDialSpinEdit* FDSE1;
  TDialSpinEdit* FDSE2;
  TDialSpinEdit* FDSE3;
  QRadioButton* FChipOptions[4];
  QButtonGroup* FChipGroupButtons;
  QRadioButton* FUseSet;
  QRadioButton* FCreateNew;
  QListWidget* FSetList;
  QPushButton* FOk;
  QPushButton* FCancel;
};
