#pragma once
// The map chip dialog: loads an image that a layer is to use and, when its size
// suggests a sheet of map chips, lets the user click one chip and choose its size
// (16 or 32 pixels). The result is the layer source: a chip reference
// "<X,Y,S>path", the path unchanged (whole image), or empty text when the file
// cannot be read.

#include <QDialog>
#include <QImage>
#include <QString>
#include <cstdint>
#include <string>

class IDialogServices;
class QLabel;
class QRadioButton;
class QPushButton;
class QScrollArea;
class QGroupBox;
class TChipImageView;

// "<" X "," Y "," S ">" path, numbers in decimal.
std::string MakeChipReference(int32_t Column, int32_t Row, int32_t ChipSize,
                              const std::string& Path);

struct TMapTileFormCaptions {
  QString Caption = "マップチップの設定";
  QString L1 = "画像はマップチップの可能性があります。";
  QString L2 =
      "マップチップとして使用する場合、使用する場所を選んでチップを使うボタンを押してください。";
  QString UseChip = "使うチップ";
  QString O1 = "※床部分しか使用できません。境界部分は無視されます";
  QString O2 = "※透明色並びに画像の透過は意味がないので消去されます";
  QString ChipSize = "チップサイズ";
  QString ChipSize16 = "16×16";
  QString ChipSize32 = "32×32";
  QString OK = "チップを使う";
  QString Cancel = "画像全体を使う";
  // Empty means the built-in alert.
  QString BMPAlert;
};

class TLanguageFile;

class TMapTileForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* BuiltInAlert =
      "該当のファイルは開けませんでした。BMPに変換してご利用ください。";

  explicit TMapTileForm(QWidget* Parent = nullptr, IDialogServices* Services = nullptr);

  // The layer source for the file (see the header comment). Shows the dialog only
  // when the image's width and height are both multiples of 16.
  std::string Execute(const std::string& FileName);

  // 16 or 32, from the chip size choice.
  int32_t ChipSize() const;
  void SetChipSize(int32_t Value);
  int32_t Column() const { return FColumn; }
  int32_t Row() const { return FRow; }
  // What a left-button release at image pixel (X, Y) does; ignored outside the image.
  void ChooseChipAt(int X, int Y);
  // The 32 x 32 preview of the chosen chip.
  const QImage& PreviewImage() const { return FPreview; }
  const QImage& Image() const { return FImage; }
  TChipImageView* ImageView() const { return FView; }
  QPushButton* OkButton() const { return FOk; }
  QPushButton* CancelButton() const { return FCancel; }

  const TMapTileFormCaptions& Captions() const { return FCaptions; }
  void ApplyCaptions(const TMapTileFormCaptions& Value);
  // Reads the dialog's texts from a language file (missing keys keep theirs).
  void LoadLanguage(const TLanguageFile& File);
  // The alert shown for an unreadable image.
  QString AlertText() const;

  // Loads the file into the view as Execute does, without showing the dialog.
  // False (after the alert) when it cannot be read.
  bool LoadForExecute(const std::string& FileName);
  // The result for a dialog closed with or without "use the chip".
  std::string ResultFor(bool UseChip, const std::string& FileName) const;

 private:
  void RefreshPreview();

  IDialogServices* FServices;
  TMapTileFormCaptions FCaptions;
  QImage FImage;
  QImage FPreview;
  int32_t FColumn = 0;
  int32_t FRow = 0;

  QLabel* FL1;
  QLabel* FL2;
  QGroupBox* FSizeGroup;
  QRadioButton* FSize16;
  QRadioButton* FSize32;
  QLabel* FUseChipLabel;
  QLabel* FPreviewLabel;
  QLabel* FO1;
  QLabel* FO2;
  QScrollArea* FScroll;
  TChipImageView* FView;
  QPushButton* FOk;
  QPushButton* FCancel;
};
