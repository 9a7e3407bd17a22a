#include "dialogs/vtt_export_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "map/output/vtt_export.h"

TVttExportForm::TVttExportForm(QWidget* Parent) : QDialog(Parent) {
  FPixelsLabel = new QLabel(this);
  FPixels = new QSpinBox(this);
  FPixels->setRange(1, kVttMaxPixelsPerGrid);
  FPixelsLabel->setBuddy(FPixels);
  FPresetsLabel = new QLabel(this);
  auto* presets = new QHBoxLayout;
  for (int i = 0; i < 4; ++i) {
    FPresetButtons[i] = new QPushButton(this);
    FPresetButtons[i]->setAutoDefault(false);
    presets->addWidget(FPresetButtons[i]);
    connect(FPresetButtons[i], &QPushButton::clicked, this,
            [this, i] { FPixels->setValue(i == 0 ? FChipSize : kPresets[i - 1]); });
  }
  presets->addStretch();
  FPresetLabel = new QLabel(this);
  FPresetList = new QComboBox(this);
  FPresetLabel->setBuddy(FPresetList);
  connect(FPresetList, &QComboBox::currentIndexChanged, this, [this](int Index) {
    if (FUpdating || Index < 0 || Index == int(TOutputPreset::Custom)) return;
    FPixels->setValue(PresetSize(TOutputPreset(Index)).PixelsPerCell);
  });
  connect(FPixels, &QSpinBox::valueChanged, this, [this] { SizeChanged(); });
  FWarning = new QLabel(this);
  FWarning->setObjectName("LargeImageWarning");
  FWarning->setVisible(false);
  FWarning->setMaximumWidth(360);
  FGrid = new QCheckBox(this);
  FLabels = new QCheckBox(this);
  FBakeLights = new QCheckBox(this);
  FMergeObjects = new QCheckBox(this);

  auto* buttons = new QDialogButtonBox(this);
  FOk = buttons->addButton(QDialogButtonBox::Ok);
  FCancel = buttons->addButton(QDialogButtonBox::Cancel);
  FOk->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(FPixelsLabel, 0, 0);
  grid->addWidget(FPixels, 0, 1, Qt::AlignLeft);
  grid->addWidget(FPresetsLabel, 1, 0);
  grid->addLayout(presets, 1, 1);
  grid->addWidget(FPresetLabel, 2, 0);
  grid->addWidget(FPresetList, 2, 1, Qt::AlignLeft);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(FWarning);
  layout->addWidget(FGrid);
  layout->addWidget(FLabels);
  layout->addWidget(FBakeLights);
  layout->addWidget(FMergeObjects);
  layout->addWidget(buttons);
  ApplyCaptions(FCaptions);
}

void TVttExportForm::Prepare(int32_t ChipSize, int32_t PixelsPerGrid, bool Grid) {
  FChipSize = ChipSize;
  FPresetButtons[0]->setText(FCaptions.ChipSize.arg(ChipSize));
  FPixels->setValue(PixelsPerGrid > 0 ? PixelsPerGrid : ChipSize);
  FGrid->setChecked(Grid);
  SizeChanged();
}

void TVttExportForm::SetMapSize(int32_t Width, int32_t Height) {
  FMapWidth = Width;
  FMapHeight = Height;
  SizeChanged();
}

void TVttExportForm::SizeChanged() {
  FUpdating = true;
  // The image stores no resolution, so only the pixels per cell pick the preset.
  TOutputPreset match = TOutputPreset::Custom;
  for (int i = 0; i < TOutputPresetCount; ++i)
    if (TOutputPreset(i) != TOutputPreset::Custom &&
        PresetSize(TOutputPreset(i)).PixelsPerCell == FPixels->value())
      match = TOutputPreset(i);
  FPresetList->setCurrentIndex(int(match));
  FUpdating = false;
  ShowLargeImageWarning(FWarning, FCaptions.PresetTexts,
                        CheckImageSize(FMapWidth, FMapHeight, FPixels->value()));
}

bool TVttExportForm::Execute(int32_t ChipSize, int32_t& PixelsPerGrid, bool& Grid) {
  Prepare(ChipSize, PixelsPerGrid, Grid);
  if (exec() != QDialog::Accepted) return false;
  PixelsPerGrid = this->PixelsPerGrid();
  Grid = this->Grid();
  return true;
}

int32_t TVttExportForm::PixelsPerGrid() const { return FPixels->value(); }

bool TVttExportForm::Grid() const { return FGrid->isChecked(); }

void TVttExportForm::SetObjectChoices(bool Labels, bool BakeLights, bool MergeObjects) {
  FLabels->setChecked(Labels);
  FBakeLights->setChecked(BakeLights);
  FMergeObjects->setChecked(MergeObjects);
}

void TVttExportForm::ObjectChoices(bool& Labels, bool& BakeLights, bool& MergeObjects) const {
  Labels = FLabels->isChecked();
  BakeLights = FBakeLights->isChecked();
  MergeObjects = FMergeObjects->isChecked();
}

void TVttExportForm::ApplyCaptions(const TVttExportFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(Value.Caption);
  FPixelsLabel->setText(Value.PixelsPerGrid);
  FPresetsLabel->setText(Value.Presets);
  FPresetButtons[0]->setText(Value.ChipSize.arg(FChipSize));
  for (int i = 0; i < 3; ++i) FPresetButtons[i + 1]->setText(QString::number(kPresets[i]));
  FGrid->setText(Value.Grid);
  FLabels->setText(Value.Labels);
  FBakeLights->setText(Value.BakeLights);
  FMergeObjects->setText(Value.MergeObjects);
  FPresetLabel->setText(Value.Preset);
  FUpdating = true;
  FillPresetList(FPresetList, Value.PresetTexts);
  FUpdating = false;
  SizeChanged();
  FOk->setText(Value.OK);
  FCancel->setText(Value.Cancel);
}
