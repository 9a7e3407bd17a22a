#include "dialogs/file_form.h"

#include "dialogs/program_folders.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <system_error>

#include "controls/dial_spin_edit.h"
#include "map/file/layer_set.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t FixedChipSizes[3] = {16, 32, 50};

TDialSpinEdit* MakeSpin(QWidget* Parent, int64_t Min, int64_t Max, int64_t Value) {
  auto* e = new TDialSpinEdit(Parent);
  e->SetMinValue(Min);
  e->SetMaxValue(Max);
  e->SetValue(Value);
  e->setMinimumWidth(70);
  return e;
}

bool AnyFolderExists(const std::vector<fs::path>& Folders) {
  for (const fs::path& f : Folders) {
    std::error_code ec;
    if (fs::is_directory(f, ec)) return true;
  }
  return false;
}

bool SameTextIgnoringCase(const QString& A, const std::string& B) {
  return A.compare(QString::fromStdString(B), Qt::CaseInsensitive) == 0;
}

}  // namespace

TFileForm::TFileForm(QWidget* Parent) : QDialog(Parent) {
  FFolders = ProgramDataFolders("Layersets");

  FSizeGroup = new QGroupBox(this);
  FWidthLabel = new QLabel(FSizeGroup);
  FHeightLabel = new QLabel(FSizeGroup);
  FTimesLabel = new QLabel(FSizeGroup);
  FDSE2 = MakeSpin(FSizeGroup, 1, 200, 20);
  FDSE3 = MakeSpin(FSizeGroup, 1, 200, 20);
  auto* sizeLayout = new QHBoxLayout(FSizeGroup);
  sizeLayout->addWidget(FWidthLabel);
  sizeLayout->addWidget(FDSE2);
  sizeLayout->addWidget(FTimesLabel);
  sizeLayout->addWidget(FHeightLabel);
  sizeLayout->addWidget(FDSE3);

  FChipGroup = new QGroupBox(this);
  FChipGroupButtons = new QButtonGroup(this);
  auto* chipLayout = new QGridLayout(FChipGroup);
  for (int i = 0; i < 4; ++i) {
    FChipOptions[i] = new QRadioButton(FChipGroup);
    FChipGroupButtons->addButton(FChipOptions[i], i);
  }
  for (int i = 0; i < 3; ++i) {
    FChipOptions[i]->setText(QString::number(FixedChipSizes[i]));
    chipLayout->addWidget(FChipOptions[i], i, 0);
  }
  FDSE1 = MakeSpin(FChipGroup, 8, 100, 48);
  auto* customRow = new QHBoxLayout;
  customRow->addWidget(FChipOptions[3]);
  customRow->addWidget(FDSE1);
  customRow->addStretch();
  chipLayout->addLayout(customRow, 3, 0);
  auto* readLayout = new QVBoxLayout;
  for (QLabel*& l : FRead) {
    l = new QLabel(FChipGroup);
    readLayout->addWidget(l);
  }
  readLayout->addStretch();
  chipLayout->addLayout(readLayout, 0, 1, 4, 1);
  FChipOptions[2]->setChecked(true);

  FSetGroup = new QGroupBox(this);
  FUseSet = new QRadioButton(FSetGroup);
  FCreateNew = new QRadioButton(FSetGroup);
  FSetList = new QListWidget(FSetGroup);
  FSetList->setSelectionMode(QAbstractItemView::SingleSelection);
  FSetList->setMinimumHeight(90);
  auto* setButtons = new QButtonGroup(this);
  setButtons->addButton(FUseSet);
  setButtons->addButton(FCreateNew);
  FCreateNew->setChecked(true);
  auto* setLayout = new QVBoxLayout(FSetGroup);
  setLayout->addWidget(FUseSet);
  setLayout->addWidget(FSetList);
  setLayout->addWidget(FCreateNew);

  FImageSizeLabel = new QLabel(this);
  FImageSizeValue = new QLabel(this);
  FOk = new QPushButton(this);
  FCancel = new QPushButton(this);
  FOk->setDefault(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(FImageSizeLabel);
  bottom->addWidget(FImageSizeValue);
  bottom->addStretch();
  bottom->addWidget(FOk);
  bottom->addWidget(FCancel);

  auto* main = new QVBoxLayout(this);
  main->addWidget(FSizeGroup);
  main->addWidget(FChipGroup);
  main->addWidget(FSetGroup);
  main->addLayout(bottom);
  main->setSizeConstraint(QLayout::SetFixedSize);

  connect(FOk, &QPushButton::clicked, this, &TFileForm::accept);
  connect(FCancel, &QPushButton::clicked, this, &TFileForm::reject);
  connect(FChipGroupButtons, &QButtonGroup::idClicked, this, [this] { UpdateImageSize(); });
  connect(FDSE2, &TDialSpinEdit::Changed, this, [this] { UpdateImageSize(); });
  connect(FDSE3, &TDialSpinEdit::Changed, this, [this] { UpdateImageSize(); });
  connect(FDSE1, &TDialSpinEdit::Changed, this, [this] {
    FChipOptions[3]->setChecked(true);
    UpdateImageSize();
  });
  connect(FSetList, &QListWidget::itemClicked, this, [this] { FUseSet->setChecked(true); });
  connect(FUseSet, &QRadioButton::toggled, this, [this](bool On) {
    if (On) UseSetChosen();
  });

  ApplyCaptions(FCaptions);
}

void TFileForm::ApplyCaptions(const TFileFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(Value.Caption);
  FSizeGroup->setTitle(Value.MapSize);
  FWidthLabel->setText(Value.Width);
  FHeightLabel->setText(Value.Height);
  FTimesLabel->setText(Value.Times);
  FChipGroup->setTitle(Value.ChipSize);
  FRead[0]->setText(Value.ChipRead1);
  FRead[1]->setText(Value.ChipRead2);
  FRead[2]->setText(Value.ChipRead3);
  FSetGroup->setTitle(Value.LayerSet);
  FUseSet->setText(Value.UseLayerSet);
  FCreateNew->setText(Value.CreateNew);
  FImageSizeLabel->setText(Value.ImageSize);
  FOk->setText(Value.OK);
  FCancel->setText(Value.Cancel);
  UpdateImageSize();
}

int32_t TFileForm::MapWidth() const { return int32_t(FDSE2->Value()); }
void TFileForm::SetMapWidth(int32_t Value) { FDSE2->SetValue(Value); }
int32_t TFileForm::MapHeight() const { return int32_t(FDSE3->Value()); }
void TFileForm::SetMapHeight(int32_t Value) { FDSE3->SetValue(Value); }

int32_t TFileForm::MapSize() const {
  for (int i = 0; i < 3; ++i)
    if (FChipOptions[i]->isChecked()) return FixedChipSizes[i];
  return int32_t(FDSE1->Value());
}

void TFileForm::SetMapSize(int32_t Value) {
  for (int i = 0; i < 3; ++i)
    if (Value == FixedChipSizes[i]) {
      FChipOptions[i]->setChecked(true);
      UpdateImageSize();
      return;
    }
  FDSE1->SetValue(Value);  // chooses the custom option through its change
  FChipOptions[3]->setChecked(true);
  UpdateImageSize();
}

QString TFileForm::ImageSizeText() const { return FImageSizeValue->text(); }

void TFileForm::UpdateImageSize() {
  // 64-bit products: a width typed far out of range must not wrap around.
  int64_t x = int64_t(MapWidth()) * MapSize(), y = int64_t(MapHeight()) * MapSize();
  if (OnCalcSize) {
    const QPoint p = OnCalcSize(MapWidth(), MapHeight(), MapSize());
    x = p.x();
    y = p.y();
  }
  FImageSizeValue->setText(QString::number(x) + FTimesLabel->text() + QString::number(y));
}

void TFileForm::UseSetChosen() {
  if (FSetList->selectedItems().isEmpty() && FSetList->count() > 0)
    FSetList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
}

void TFileForm::PrepareExecute(bool ShowLayerSets) {
  FSetGroup->setVisible(ShowLayerSets);
  if (AnyFolderExists(FFolders)) {
    FUseSet->setEnabled(true);
    FSetList->setEnabled(true);
    FSetList->clear();
    for (const std::string& name : ListLayerSets(FFolders))
      FSetList->addItem(QString::fromStdString(name));
    FSetList->clearSelection();
    FSetList->setCurrentRow(-1);
    if (!FLayerSet.empty())
      for (int i = 0; i < FSetList->count(); ++i)
        if (SameTextIgnoringCase(FSetList->item(i)->text(), FLayerSet)) {
          FSetList->setCurrentRow(i, QItemSelectionModel::ClearAndSelect);
          break;
        }
  } else {
    FSetList->clear();
    FCreateNew->setChecked(true);
    FUseSet->setEnabled(false);
    FSetList->setEnabled(false);
  }
  UpdateImageSize();
}

void TFileForm::FinishExecute() {
  const QList<QListWidgetItem*> chosen = FSetList->selectedItems();
  if (FUseSet->isChecked() && !chosen.isEmpty())
    FLayerSet = chosen.first()->text().toStdString();
  else
    FLayerSet.clear();
}

bool TFileForm::Execute(bool ShowLayerSets) {
  PrepareExecute(ShowLayerSets);
  const bool ok = exec() == QDialog::Accepted;
  FinishExecute();
  return ok;
}

void TFileForm::accept() {
  // A value typed beyond its range and confirmed at once never lost focus; bring
  // every field into its range before the caller reads it.
  {
    // Clamping the custom field is no choice of the custom option.
    const bool wasCustom = FChipOptions[3]->isChecked();
    QRadioButton* chosen = qobject_cast<QRadioButton*>(FChipGroupButtons->checkedButton());
    FDSE1->ApplyRange();
    if (!wasCustom && chosen) chosen->setChecked(true);
  }
  FDSE2->ApplyRange();
  FDSE3->ApplyRange();
  UpdateImageSize();
  QDialog::accept();
}

fs::path TFileForm::LayerSetFile() const {
  if (FLayerSet.empty()) return {};
  return FindLayerSet(FLayerSet, FFolders);
}
