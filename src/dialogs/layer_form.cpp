#include "dialogs/layer_form.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>
#include <utility>

#include "controls/ellipsis_edit.h"
#include "dialogs/color_names.h"
#include "dialogs/dialog_services.h"
#include "dialogs/map_tile_form.h"
#include "dialogs/swatch_button.h"
#include "map/base/text_convert.h"
#include "map/base/text_encoding.h"
#include "map/base/text_quote.h"
#include "map/file/layer_set.h"

namespace {

// An existing image file or a well-formed chip reference to one.
bool IsValidLayerSource(const std::string& Text) {
  return !ResolveLayerSetSource(Text, {}).empty();
}

}  // namespace

TLayerForm::TLayerForm(TMapTileForm* TileForm, QWidget* Parent, IDialogServices* Services)
    : QDialog(Parent),
      FTileForm(TileForm),
      FServices(Services ? Services : &DefaultDialogServices()) {
  FNameLabel = new QLabel(this);
  FEdit1 = new QLineEdit(this);
  FEdit1->setMinimumWidth(220);

  FTypeGroup = new QGroupBox(this);
  FTerrainLabel = new QLabel(FTypeGroup);
  auto* typeButtons = new QButtonGroup(this);
  auto* typeLayout = new QHBoxLayout(FTypeGroup);
  typeLayout->addWidget(FTerrainLabel);
  for (int i = 0; i < 3; ++i) {
    FTypes[i] = new QRadioButton(FTypeGroup);
    typeButtons->addButton(FTypes[i]);
    typeLayout->addWidget(FTypes[i]);
  }
  typeLayout->addStretch();
  FTypes[1]->setVisible(false);  // the spreading-indoor type is kept but not offered
  FTypes[0]->setChecked(true);

  FRB1 = new QRadioButton(this);
  FRB2 = new QRadioButton(this);
  auto* sourceButtons = new QButtonGroup(this);
  sourceButtons->addButton(FRB1);
  sourceButtons->addButton(FRB2);
  FRB1->setChecked(true);
  FPanel1 = new TSwatchButton(16777215, this);
  FPanel1->setFixedSize(40, 24);
  for (int i = 0; i < 4; ++i) FQuick[i] = new TSwatchButton(QuickColors[i], this);
  FEE1 = new TEllipsisEdit(this);
  FButton3 = new QPushButton(this);
  FButton3->setVisible(false);

  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(FRB1);
  colorRow->addWidget(FPanel1);
  colorRow->addSpacing(12);
  for (TSwatchButton* q : FQuick) colorRow->addWidget(q);
  colorRow->addStretch();
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(FRB2);
  fileRow->addWidget(FEE1, 1);
  auto* chipRow = new QHBoxLayout;
  chipRow->addStretch();
  chipRow->addWidget(FButton3);

  FAddGroup = new QGroupBox(this);
  FRB3 = new QRadioButton(FAddGroup);
  FRB4 = new QRadioButton(FAddGroup);
  FComboBox1 = new QComboBox(FAddGroup);
  FComboBox1->setMinimumWidth(150);
  FBeforeLabel = new QLabel(FAddGroup);
  FRB3->setChecked(true);
  auto* addLayout = new QGridLayout(FAddGroup);
  addLayout->addWidget(FRB3, 0, 0, 1, 3);
  addLayout->addWidget(FRB4, 1, 0);
  addLayout->addWidget(FComboBox1, 1, 1);
  addLayout->addWidget(FBeforeLabel, 1, 2);
  addLayout->setColumnStretch(3, 1);

  FOk = new QPushButton(this);
  FCancel = new QPushButton(this);
  FOk->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FOk);
  buttons->addWidget(FCancel);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(FNameLabel);
  nameRow->addWidget(FEdit1, 1);
  auto* main = new QVBoxLayout(this);
  main->addLayout(nameRow);
  main->addWidget(FTypeGroup);
  main->addLayout(colorRow);
  main->addLayout(fileRow);
  main->addLayout(chipRow);
  main->addWidget(FAddGroup);
  main->addLayout(buttons);
  main->setSizeConstraint(QLayout::SetFixedSize);

  connect(FOk, &QPushButton::clicked, this, [this] { AcceptIfValidText(); });
  connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(FEdit1, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(FEE1, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(FRB1, &QRadioButton::toggled, this, [this] { UpdateButtons(); });
  connect(FRB2, &QRadioButton::toggled, this, [this] { UpdateButtons(); });
  for (TSwatchButton* q : FQuick)
    connect(q, &TSwatchButton::clicked, this, [this, q] { PickColor(q->Color()); });
  connect(FPanel1, &TSwatchButton::clicked, this, &TLayerForm::OpenColorPicker);
  connect(FEE1, &TEllipsisEdit::EllipsisClick, this, &TLayerForm::ChooseFile);
  connect(FButton3, &QPushButton::clicked, this, &TLayerForm::ChangeChipPosition);
  connect(FComboBox1, &QComboBox::activated, this, [this] { FRB4->setChecked(true); });

  ApplyCaptions(FCaptions);
  UpdateButtons();
}

void TLayerForm::ApplyCaptions(const TLayerFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(Value.Caption);
  FNameLabel->setText(Value.Name);
  FTypeGroup->setTitle(Value.Type);
  FTerrainLabel->setText(Value.Terrain);
  for (int i = 0; i < 3; ++i) {
    FTypes[i]->setText(Value.TypeCaptions[i]);
    FTypes[i]->setToolTip(Value.TypeHints[i]);
  }
  FRB1->setText(Value.OneColor);
  FRB2->setText(Value.FromFile);
  FAddGroup->setTitle(Value.AdditionPlace);
  FRB3->setText(Value.LastLayer);
  FBeforeLabel->setText(Value.BeforeLayer);
  FButton3->setText(Value.CCPlace);
  FOk->setText(Value.OK);
  FCancel->setText(Value.Cancel);
}

std::string TLayerForm::LayerName() const { return FEdit1->text().toStdString(); }

void TLayerForm::SetLayerName(const std::string& Value) {
  FEdit1->setText(QString::fromStdString(Value));
}

TColor TLayerForm::CurrentColor() const { return FPanel1->Color(); }

std::string TLayerForm::FileName() const {
  if (FRB1->isChecked()) return std::to_string(FPanel1->Color());
  return FEE1->text().toStdString();
}

void TLayerForm::SetFileName(const std::string& Value) {
  if (const std::optional<int32_t> color = TryStrToInt(Value)) {
    FRB1->setChecked(true);
    FPanel1->SetColor(*color);
  } else {
    FRB2->setChecked(true);
    FEE1->setText(QString::fromStdString(Value));
  }
  UpdateButtons();
}

TMapEditLayerType TLayerForm::LayerType() const {
  if (FTypes[1]->isChecked()) return mltFloor;
  if (FTypes[2]->isChecked()) return mltObject;
  return mltGround;
}

void TLayerForm::SetLayerType(TMapEditLayerType Value) {
  const int index = Value == mltFloor ? 1 : Value == mltObject ? 2 : 0;
  FTypes[index]->setChecked(true);
}

std::vector<std::string> TLayerForm::Additions() const {
  std::vector<std::string> names;
  for (int i = 0; i < FComboBox1->count(); ++i)
    names.push_back(FComboBox1->itemText(i).toStdString());
  return names;
}

void TLayerForm::SetAdditions(const std::vector<std::string>& Value) {
  FComboBox1->clear();
  for (const std::string& n : Value) FComboBox1->addItem(QString::fromStdString(n));
  FComboBox1->setCurrentIndex(-1);
  FRB3->setChecked(true);
}

int32_t TLayerForm::AdditionIndex() const {
  return FRB4->isChecked() ? FComboBox1->currentIndex() : -1;
}

void TLayerForm::PickColor(TColor Color) {
  FPanel1->SetColor(Color);
  FRB1->setChecked(true);
  SuggestName(QString::fromStdString(ColorToName(Color, UseJpColor)));
  UpdateButtons();
}

void TLayerForm::SuggestName(const QString& Name) {
  const QString current = FEdit1->text();
  if (!current.isEmpty() && current != FSuggestedName) return;
  FEdit1->setText(Name);
  FSuggestedName = Name;
}

void TLayerForm::OpenColorPicker() {
  // The picker starts from its own last colour, not from the swatch.
  if (const std::optional<TColor> c = FServices->PickColor(this, FPickerColor)) {
    FPickerColor = *c;
    PickColor(*c);
  }
}

void TLayerForm::ChooseFile() {
  const std::optional<std::string> path = FServices->OpenFile(this, {}, ImageFilter);
  if (!path) return;
  FEE1->setText(QString::fromStdString(FTileForm->Execute(*path)));
  FRB2->setChecked(true);
  SuggestName(QString::fromStdString(std::filesystem::path(*path).stem().string()));
  UpdateButtons();
}

void TLayerForm::ChangeChipPosition() {
  const std::string text = FEE1->text().toStdString();
  if (!IsValidLayerSource(text)) return;
  const size_t close = text.find('>');
  const std::string path = close == std::string::npos ? text : text.substr(close + 1);
  FEE1->setText(QString::fromStdString(FTileForm->Execute(path)));
  FRB2->setChecked(true);
  UpdateButtons();
}

void TLayerForm::UpdateButtons() {
  const bool ok = !FEdit1->text().isEmpty() &&
                  (FRB1->isChecked() || IsValidLayerSource(FEE1->text().toStdString()));
  FOk->setEnabled(ok);
  FButton3->setVisible(ok && FRB2->isChecked());
}

void TLayerForm::AcceptIfValidText() {
  // The name and source become lines of the map file; a line break (pasted into
  // an edit) would make a map that cannot be read back.
  const std::pair<const char*, std::string> texts[] = {
      {"name", LayerName()}, {"image source", FRB2->isChecked() ? FileName() : std::string()}};
  for (const auto& [what, text] : texts) {
    const std::string problem = LayerTextProblem(text);
    if (problem.empty()) continue;
    FServices->Alert(this, std::string("The layer ") + what + " " + QuoteForMessage(text) +
                               " cannot be used: " + problem + ".");
    return;
  }
  accept();
}

void TLayerForm::PrepareExecute(bool ShowAdditions) {
  FAddGroup->setVisible(ShowAdditions && FComboBox1->count() > 0);
  UpdateButtons();
}

bool TLayerForm::Execute(bool ShowAdditions) {
  PrepareExecute(ShowAdditions);
  return exec() == QDialog::Accepted;
}
