#pragma once
// The properties of one map object: a label's text, size, colours and alignment;
// a light's radius, colour, intensity and shadows; a window's colour. Colours
// are typed as #RRGGBB or #AARRGGBB.

#include <QDialog>
#include <QString>

#include "map/objects/map_object.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TLanguageFile;

struct TObjectPropsFormCaptions {
  QString Caption = "オブジェクトの設定";
  QString Label = "ラベル";
  QString Text = "文字(&T):";
  QString Size = "大きさ（マス）(&S):";
  QString Color = "色(&C):";
  QString Outline = "縁取り(&O):";
  QString Align = "揃え(&A):";
  QString AlignLeft = "左";
  QString AlignCenter = "中央";
  QString AlignRight = "右";
  QString Light = "明かり";
  QString Radius = "半径（マス）(&R):";
  QString Intensity = "強さ(&I):";
  QString Shadows = "影を落とす(&H)";
  QString Window = "窓";
  QString OwnColor = "窓の色を指定(&W):";
  // %1 is the field's caption.
  QString BadColor = "%1 の色は #RRGGBB か #AARRGGBB で入力してください。";
  QString OK = "OK";
  QString Cancel = "キャンセル";
};

class TObjectPropsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TObjectPropsForm(QWidget* Parent = nullptr);

  // Fills the fields from Obj (a label, light or window); false for another type.
  bool Load(const TMapObject& Obj);
  // Writes the fields into Obj (keeping its id and the keys the dialog does not
  // know); false with Error naming the field when one does not hold a value.
  bool Store(TMapObject& Obj, QString* Error) const;
  // Load, show, Store; false when cancelled or the object is not one it knows.
  // A field that does not hold a value keeps the dialog open.
  bool Execute(TMapObject& Obj);

  const TObjectPropsFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TObjectPropsFormCaptions& Value);

  QLineEdit* TextEdit() const { return FText; }
  QDoubleSpinBox* SizeEdit() const { return FSize; }
  QLineEdit* LabelColorEdit() const { return FLabelColor; }
  QCheckBox* OutlineCheck() const { return FOutline; }
  QLineEdit* OutlineColorEdit() const { return FOutlineColor; }
  QComboBox* AlignList() const { return FAlign; }
  QDoubleSpinBox* RadiusEdit() const { return FRadius; }
  QLineEdit* LightColorEdit() const { return FLightColor; }
  QDoubleSpinBox* IntensityEdit() const { return FIntensity; }
  QCheckBox* ShadowsCheck() const { return FShadows; }
  QCheckBox* OwnColorCheck() const { return FOwnColor; }
  QLineEdit* WindowColorEdit() const { return FWindowColor; }
  QGroupBox* LabelGroup() const { return FLabelGroup; }
  QGroupBox* LightGroup() const { return FLightGroup; }
  QGroupBox* WindowGroup() const { return FWindowGroup; }

 private:
  void accept() override;

  TObjectPropsFormCaptions FCaptions;
  TMapObject FObject;
  QGroupBox *FLabelGroup, *FLightGroup, *FWindowGroup;
  QLabel *FTextLabel, *FSizeLabel, *FLabelColorLabel, *FAlignLabel;
  QLineEdit* FText;
  QDoubleSpinBox* FSize;
  QLineEdit* FLabelColor;
  QCheckBox* FOutline;
  QLineEdit* FOutlineColor;
  QComboBox* FAlign;
  QLabel *FRadiusLabel, *FLightColorLabel, *FIntensityLabel;
  QDoubleSpinBox* FRadius;
  QLineEdit* FLightColor;
  QDoubleSpinBox* FIntensity;
  QCheckBox* FShadows;
  QCheckBox* FOwnColor;
  QLineEdit* FWindowColor;
  QLabel* FError;
  QPushButton *FOk, *FCancel;
};

void LoadLanguage(const TLanguageFile& File, TObjectPropsFormCaptions& Captions);
