#include "dialogs/output_opt_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/dialog_services.h"
#include "dialogs/swatch_button.h"

TOutputOptForm::TOutputOptForm(QWidget* Parent, IDialogServices* Services)
    : QDialog(Parent), FServices(Services ? Services : &DefaultDialogServices()) {
  setObjectName("OutputOptForm");
  FGridGroup = new QGroupBox(this);
  FUseGrid = new QCheckBox(FGridGroup);
  auto* sides = new QGridLayout;
  // The four sides sit around a cell: top above, right and left beside, bottom below.
  const int cellPos[4][2] = {{0, 1}, {1, 2}, {2, 1}, {1, 0}};
  for (int i = 0; i < 4; ++i) {
    FSides[i] = new QPushButton(FGridGroup);
    FSides[i]->setCheckable(true);
    FSides[i]->setMinimumWidth(48);
    sides->addWidget(FSides[i], cellPos[i][0], cellPos[i][1]);
  }
  FSides[1]->setChecked(true);  // right
  FSides[2]->setChecked(true);  // bottom
  FAllOn = new QPushButton(FGridGroup);
  FAllOff = new QPushButton(FGridGroup);
  auto* allButtons = new QVBoxLayout;
  allButtons->addWidget(FAllOn);
  allButtons->addWidget(FAllOff);
  allButtons->addStretch();
  auto* gridRow = new QHBoxLayout;
  gridRow->addLayout(sides);
  gridRow->addSpacing(12);
  gridRow->addLayout(allButtons);
  auto* gridCol = new QVBoxLayout(FGridGroup);
  gridCol->addWidget(FUseGrid);
  gridCol->addLayout(gridRow);

  FColorGroup = new QGroupBox(this);
  FColorLabel = new QLabel(FColorGroup);
  FColor = new TSwatchButton(8421504, FColorGroup);
  FColor->setFixedSize(40, 22);
  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(FColorLabel);
  colorRow->addWidget(FColor);
  colorRow->addSpacing(12);
  for (int i = 0; i < 3; ++i) {
    FQuick[i] = new TSwatchButton(QuickColors[i], FColorGroup);
    FQuick[i]->setFixedSize(22, 22);
    colorRow->addWidget(FQuick[i]);
    connect(FQuick[i], &TSwatchButton::clicked, this, [this, i] { PickQuickColor(i); });
  }
  colorRow->addStretch();
  FHalfTone = new QCheckBox(FColorGroup);
  // The line style, in the order of TGridLineStyle, and the opacity.
  FGridStyleLabel = new QLabel(FColorGroup);
  FGridStyle = new QComboBox(FColorGroup);
  FGridStyle->setObjectName("GridStyle");
  FGridStyle->addItems({QString(), QString(), QString()});
  FGridOpacityLabel = new QLabel(FColorGroup);
  FGridOpacity = new QSpinBox(FColorGroup);
  FGridOpacity->setObjectName("GridOpacity");
  FGridOpacity->setRange(0, 100);
  FGridOpacity->setValue(100);
  auto* lineRow = new QHBoxLayout;
  lineRow->addWidget(FGridStyleLabel);
  lineRow->addWidget(FGridStyle);
  lineRow->addSpacing(12);
  lineRow->addWidget(FGridOpacityLabel);
  lineRow->addWidget(FGridOpacity);
  lineRow->addStretch();
  auto* colorCol = new QVBoxLayout(FColorGroup);
  colorCol->addLayout(colorRow);
  colorCol->addWidget(FHalfTone);
  colorCol->addLayout(lineRow);
  FWithLabels = new QCheckBox(this);
  FWithLabels->setObjectName("WithLabels");
  FWithLabels->setChecked(true);

  FImageGroup = new QGroupBox(this);
  FPresetLabel = new QLabel(FImageGroup);
  FPresetList = new QComboBox(FImageGroup);
  FPixelsLabel = new QLabel(FImageGroup);
  FPixels = new QSpinBox(FImageGroup);
  FPixels->setRange(1, kMaxOutputPixelsPerCell);
  FPixels->setValue(FChipSize);
  FDpiLabel = new QLabel(FImageGroup);
  FDpi = new QSpinBox(FImageGroup);
  // JPEG keeps the density in 16 bits; 0 stores none.
  FDpi->setRange(0, 65535);
  FLossless = new QCheckBox(FImageGroup);
  FLossless->setChecked(true);
  FQualityLabel = new QLabel(FImageGroup);
  FQuality = new QSpinBox(FImageGroup);
  FQuality->setRange(0, 100);
  FQuality->setValue(TWebpSettings{}.Quality);
  FWarning = new QLabel(FImageGroup);
  FWarning->setObjectName("LargeImageWarning");
  FWarning->setVisible(false);
  FWarning->setMaximumWidth(360);
  auto* image = new QGridLayout(FImageGroup);
  image->addWidget(FPresetLabel, 0, 0);
  image->addWidget(FPresetList, 0, 1, 1, 2);
  image->addWidget(FPixelsLabel, 1, 0);
  image->addWidget(FPixels, 1, 1);
  image->addWidget(FDpiLabel, 2, 0);
  image->addWidget(FDpi, 2, 1);
  image->addWidget(FLossless, 3, 0, 1, 3);
  image->addWidget(FQualityLabel, 4, 0);
  image->addWidget(FQuality, 4, 1);
  image->addWidget(FWarning, 5, 0, 1, 3);
  FImageGroup->setVisible(false);

  FOk = new QPushButton(this);
  FOk->setDefault(true);
  FCancel = new QPushButton(this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FOk);
  buttons->addWidget(FCancel);
  auto* col = new QVBoxLayout(this);
  col->addWidget(FGridGroup);
  col->addWidget(FColorGroup);
  col->addWidget(FWithLabels);
  col->addWidget(FImageGroup);
  col->addLayout(buttons);
  col->setSizeConstraint(QLayout::SetFixedSize);

  connect(FAllOn, &QPushButton::clicked, this, &TOutputOptForm::AllOn);
  connect(FAllOff, &QPushButton::clicked, this, &TOutputOptForm::AllOff);
  connect(FColor, &TSwatchButton::clicked, this, &TOutputOptForm::OpenColorPicker);
  connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(FPresetList, &QComboBox::currentIndexChanged, this, [this] { PresetChosen(); });
  connect(FPixels, &QSpinBox::valueChanged, this, [this] { SizeEdited(); });
  connect(FDpi, &QSpinBox::valueChanged, this, [this] { SizeEdited(); });
  connect(FLossless, &QCheckBox::toggled, this, [this] { UpdateImageState(); });
  ApplyCaptions(FCaptions);
}

void TOutputOptForm::ShowImageOptions(int32_t ChipSize, int32_t Width, int32_t Height, bool Webp) {
  FChipSize = ChipSize;
  FMapWidth = Width;
  FMapHeight = Height;
  FWebp = Webp;
  if (!FSizeChosen) {
    FUpdating = true;
    FPixels->setValue(ChipSize);
    FUpdating = false;
    SizeEdited();
    FSizeChosen = false;
  }
  FImageShown = true;
  FImageGroup->setVisible(true);
  UpdateImageState();
}

void TOutputOptForm::HideImageOptions() {
  FImageShown = false;
  FImageGroup->setVisible(false);
  UpdateImageState();
}

int32_t TOutputOptForm::PixelsPerCell() const { return FPixels->value(); }
void TOutputOptForm::SetPixelsPerCell(int32_t Value) { FPixels->setValue(Value); }
int32_t TOutputOptForm::Dpi() const { return FDpi->value(); }
void TOutputOptForm::SetDpi(int32_t Value) { FDpi->setValue(Value); }
TOutputPreset TOutputOptForm::Preset() const { return TOutputPreset(FPresetList->currentIndex()); }
void TOutputOptForm::SetPreset(TOutputPreset Value) { FPresetList->setCurrentIndex(int(Value)); }

void TOutputOptForm::PresetChosen() {
  if (FUpdating) return;
  const TOutputPreset preset = Preset();
  if (preset != TOutputPreset::Custom) {
    const TPresetSize size = PresetSize(preset);
    FUpdating = true;
    FPixels->setValue(size.PixelsPerCell);
    FDpi->setValue(size.Dpi);
    FUpdating = false;
    FSizeChosen = true;
  }
  UpdateImageState();
}

void TOutputOptForm::SizeEdited() {
  if (FUpdating) return;
  FSizeChosen = true;
  FUpdating = true;
  FPresetList->setCurrentIndex(int(MatchPreset(FPixels->value(), FDpi->value())));
  FUpdating = false;
  UpdateImageState();
}

void TOutputOptForm::UpdateImageState() {
  FLossless->setEnabled(FWebp);
  FQuality->setEnabled(FWebp && !FLossless->isChecked());
  FQualityLabel->setEnabled(FQuality->isEnabled());
  const int64_t limit = FWebp ? kMaxWebpSide : kLargeImageSide;
  const TImageSizeCheck check = CheckImageSize(FMapWidth, FMapHeight, FPixels->value(), limit);
  ShowLargeImageWarning(FWarning, FCaptions.Presets, check, limit);
  // WebP cannot hold a larger image at all; other formats are only warned about.
  FOk->setEnabled(!(FImageShown && FWebp && check.TooLarge));
}

bool TOutputOptForm::Execute() {
  if (parentWidget()) {
    adjustSize();
    move(parentWidget()->window()->geometry().center() - rect().center());
  }
  return exec() == QDialog::Accepted;
}

void TOutputOptForm::ApplyCaptions(const TOutputOptFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(Value.Caption);
  FGridGroup->setTitle(Value.GridOption);
  FUseGrid->setText(Value.UseGrid);
  FAllOn->setText(Value.AllON);
  FAllOff->setText(Value.AllOFF);
  FSides[0]->setText(Value.Top);
  FSides[1]->setText(Value.Right);
  FSides[2]->setText(Value.Bottom);
  FSides[3]->setText(Value.Left);
  FColorGroup->setTitle(Value.GridColor);
  FColorLabel->setText(Value.Color);
  FHalfTone->setText(Value.HalfTone);
  FGridStyleLabel->setText(Value.GridLineStyle);
  FGridStyle->setItemText(0, Value.GridSolid);
  FGridStyle->setItemText(1, Value.GridDashed);
  FGridStyle->setItemText(2, Value.GridDotted);
  FGridOpacityLabel->setText(Value.GridOpacity);
  FWithLabels->setText(Value.WithLabels);
  FOk->setText(Value.OK);
  FCancel->setText(Value.Cancel);
  FImageGroup->setTitle(Value.ImageOption);
  FPresetLabel->setText(Value.Preset);
  FPixelsLabel->setText(Value.PixelsPerCell);
  FDpiLabel->setText(Value.Dpi);
  FDpi->setSpecialValueText(Value.DpiNone);
  FLossless->setText(Value.Lossless);
  FQualityLabel->setText(Value.WebpQuality);
  FUpdating = true;
  FillPresetList(FPresetList, Value.Presets);
  FUpdating = false;
  UpdateImageState();
}

TColor TOutputOptForm::GridColor() const { return FColor->Color(); }
void TOutputOptForm::SetGridColor(TColor Value) { FColor->SetColor(Value); }
bool TOutputOptForm::HalfTone() const { return FHalfTone->isChecked(); }
void TOutputOptForm::SetHalfTone(bool Value) { FHalfTone->setChecked(Value); }
TGridLineStyle TOutputOptForm::GridStyle() const {
  return TGridLineStyle(std::clamp(FGridStyle->currentIndex(), 0, 2));
}
void TOutputOptForm::SetGridStyle(TGridLineStyle Value) {
  FGridStyle->setCurrentIndex(std::clamp(int(Value), 0, 2));
}
int32_t TOutputOptForm::GridOpacity() const { return FGridOpacity->value(); }
void TOutputOptForm::SetGridOpacity(int32_t Value) { FGridOpacity->setValue(Value); }
bool TOutputOptForm::UseGrid() const { return FUseGrid->isChecked(); }
void TOutputOptForm::SetUseGrid(bool Value) { FUseGrid->setChecked(Value); }
bool TOutputOptForm::UpGrid() const { return FSides[0]->isChecked(); }
void TOutputOptForm::SetUpGrid(bool Value) { FSides[0]->setChecked(Value); }
bool TOutputOptForm::RightGrid() const { return FSides[1]->isChecked(); }
void TOutputOptForm::SetRightGrid(bool Value) { FSides[1]->setChecked(Value); }
bool TOutputOptForm::DownGrid() const { return FSides[2]->isChecked(); }
void TOutputOptForm::SetDownGrid(bool Value) { FSides[2]->setChecked(Value); }
bool TOutputOptForm::LeftGrid() const { return FSides[3]->isChecked(); }
void TOutputOptForm::SetLeftGrid(bool Value) { FSides[3]->setChecked(Value); }

TOutputOptions TOutputOptForm::Options() const {
  TOutputOptions o;
  o.UseGrid = UseGrid();
  o.LeftGrid = LeftGrid();
  o.RightGrid = RightGrid();
  o.UpGrid = UpGrid();
  o.DownGrid = DownGrid();
  o.GridColor = GridColor();
  o.HalfTone = HalfTone();
  o.GridStyle = GridStyle();
  o.GridOpacity = GridOpacity();
  o.Webp.Lossless = FLossless->isChecked();
  o.Webp.Quality = FQuality->value();
  o.Compose.Labels = FWithLabels->isChecked();
  return o;
}

void TOutputOptForm::SetOptions(const TOutputOptions& Value) {
  SetUseGrid(Value.UseGrid);
  SetLeftGrid(Value.LeftGrid);
  SetRightGrid(Value.RightGrid);
  SetUpGrid(Value.UpGrid);
  SetDownGrid(Value.DownGrid);
  SetGridColor(Value.GridColor);
  SetHalfTone(Value.HalfTone);
  SetGridStyle(Value.GridStyle);
  SetGridOpacity(Value.GridOpacity);
  FWithLabels->setChecked(Value.Compose.Labels);
  FLossless->setChecked(Value.Webp.Lossless);
  FQuality->setValue(Value.Webp.Quality);
}

void TOutputOptForm::AllOn() {
  for (QPushButton* b : FSides) b->setChecked(true);
  FUseGrid->setChecked(true);
}

void TOutputOptForm::AllOff() {
  for (QPushButton* b : FSides) b->setChecked(false);
  FUseGrid->setChecked(false);
}

void TOutputOptForm::PickQuickColor(int Index) {
  if (Index >= 0 && Index < 3) SetGridColor(QuickColors[Index]);
}

void TOutputOptForm::OpenColorPicker() {
  const std::optional<TColor> picked = FServices->PickColor(this, FLastPicked);
  if (!picked) return;
  FLastPicked = *picked;
  SetGridColor(*picked);
}
