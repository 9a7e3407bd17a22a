#include "dialogs/output_opt_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
  auto* colorCol = new QVBoxLayout(FColorGroup);
  colorCol->addLayout(colorRow);
  colorCol->addWidget(FHalfTone);

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
  col->addLayout(buttons);
  col->setSizeConstraint(QLayout::SetFixedSize);

  connect(FAllOn, &QPushButton::clicked, this, &TOutputOptForm::AllOn);
  connect(FAllOff, &QPushButton::clicked, this, &TOutputOptForm::AllOff);
  connect(FColor, &TSwatchButton::clicked, this, &TOutputOptForm::OpenColorPicker);
  connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
  ApplyCaptions(FCaptions);
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
  FOk->setText(Value.OK);
  FCancel->setText(Value.Cancel);
}

TColor TOutputOptForm::GridColor() const { return FColor->Color(); }
void TOutputOptForm::SetGridColor(TColor Value) { FColor->SetColor(Value); }
bool TOutputOptForm::HalfTone() const { return FHalfTone->isChecked(); }
void TOutputOptForm::SetHalfTone(bool Value) { FHalfTone->setChecked(Value); }
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
