#pragma once
// The layer settings dialog: a floor layer's name, terrain type and image source
// (one colour, or an image file, whole or one map chip of it), and for a new
// layer where it goes among the existing ones. It lives for the whole run, so its
// fields keep their values between openings.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "map/base/color.h"
#include "map/document/map_edit_layer.h"

class IDialogServices;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TEllipsisEdit;
class TMapTileForm;
class TSwatchButton;

struct TLayerFormCaptions {
  QString Caption = "レイヤーの設定";
  QString Name = "レイヤー名";
  QString Type = "タイプ";
  QString OneColor = "単色";
  QString FromFile = "ファイルから";
  QString AdditionPlace = "追加位置";
  QString LastLayer = "最後に追加";
  QString BeforeLayer = "の直前に追加";
  QString CCPlace = "チップ位置の変更";
  // The type options and their hints, beyond the classic keys so that a
  // translation reaches every text of the dialog.
  QString Terrain = "地形";
  QString TypeCaptions[3] = {"屋外", "屋内", "屋内"};
  QString TypeHints[3] = {"このタイプの地形は周りの地形に自動的に拡散します。",
                          "このタイプの地形は周りが屋外の時にだけ拡散します。",
                          "このタイプの地形は拡散しません。"};
  QString OK = "OK";
  QString Cancel = "キャンセル";
};

class TLanguageFile;

class TLayerForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* ImageFilter =
      "All supported image(*.png;*.bmp;*.jpg)|*.png;*.bmp;*.jpg|Bitmap Image(*.bmp)|*.bmp|"
      "PNG Image(*.png)|*.png|JPEG Image(*.jpg)|*.jpg";
  // The quick colours: white, gray, teal and cobalt blue.
  static constexpr TColor QuickColors[4] = {16777215, 8421504, 8421376, 16744448};

  // TileForm is the map chip dialog that image files are handed to.
  TLayerForm(TMapTileForm* TileForm, QWidget* Parent = nullptr,
             IDialogServices* Services = nullptr);

  // Shows the dialog modally; true when closed with OK. The where-to-add group
  // shows only when ShowAdditions is true and there are existing layers.
  bool Execute(bool ShowAdditions);

  std::string LayerName() const;
  void SetLayerName(const std::string& Value);
  // The swatch colour in decimal when one colour is chosen, else the file field.
  std::string FileName() const;
  // An integer chooses one colour; any other text chooses the file field.
  void SetFileName(const std::string& Value);
  TMapEditLayerType LayerType() const;
  // Checks the type's option (an unknown type checks the first).
  void SetLayerType(TMapEditLayerType Value);
  std::vector<std::string> Additions() const;
  // Copies the names into the list and chooses "add last".
  void SetAdditions(const std::vector<std::string>& Value);
  // The list index to insert before, or -1 to append.
  int32_t AdditionIndex() const;
  bool UseJpColor = false;

  TColor CurrentColor() const;
  // What picking a colour does: the swatch takes it, one colour is chosen, and
  // the name becomes the colour's name.
  void PickColor(TColor Color);

  const TLayerFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TLayerFormCaptions& Value);
  // Reads the dialog's texts from a language file (missing keys keep theirs).
  void LoadLanguage(const TLanguageFile& File);

  // Prepares the dialog as Execute does, without showing it.
  void PrepareExecute(bool ShowAdditions);

  // Parts reached by tests.
  QLineEdit* NameEdit() const { return FEdit1; }
  QRadioButton* TypeOption(int Index) const { return FTypes[Index]; }
  QRadioButton* OneColorOption() const { return FRB1; }
  QRadioButton* FromFileOption() const { return FRB2; }
  TSwatchButton* ColorSwatch() const { return FPanel1; }
  TSwatchButton* QuickSwatch(int Index) const { return FQuick[Index]; }
  TEllipsisEdit* FileEdit() const { return FEE1; }
  QPushButton* ChipPositionButton() const { return FButton3; }
  QGroupBox* AdditionGroup() const { return FAddGroup; }
  QRadioButton* AddLastOption() const { return FRB3; }
  QRadioButton* AddBeforeOption() const { return FRB4; }
  QComboBox* AdditionList() const { return FComboBox1; }
  QPushButton* OkButton() const { return FOk; }

 private:
  void UpdateButtons();
  // Closes with OK unless the name or image source is not text a map file can
  // hold, which is said in an alert.
  void AcceptIfValidText();
  void ChooseFile();
  // Puts Name in the name field unless the user typed a name of their own there
  // (anything but empty or the name suggested last).
  void SuggestName(const QString& Name);
  void ChangeChipPosition();
  void OpenColorPicker();

  TMapTileForm* FTileForm;
  IDialogServices* FServices;
  TLayerFormCaptions FCaptions;
  TColor FPickerColor = 0;
  // The name the dialog itself put in the name field last.
  QString FSuggestedName;

  QLabel* FNameLabel;
  QLineEdit* FEdit1;
  QGroupBox* FTypeGroup;
  QLabel* FTerrainLabel;
  QRadioButton* FTypes[3];  // outdoor, hidden indoor, indoor
  QRadioButton* FRB1;
  TSwatchButton* FPanel1;
  TSwatchButton* FQuick[4];
  QRadioButton* FRB2;
  TEllipsisEdit* FEE1;
  QPushButton* FButton3;
  QGroupBox* FAddGroup;
  QRadioButton* FRB3;
  QRadioButton* FRB4;
  QComboBox* FComboBox1;
  QLabel* FBeforeLabel;
  QPushButton* FOk;
  QPushButton* FCancel;
};
