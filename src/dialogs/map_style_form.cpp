#include "dialogs/map_style_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

#include "dialogs/language_file.h"
#include "dialogs/swatch_button.h"

namespace {

QSpinBox* Spin(QWidget* Parent, int Min, int Max) {
  auto* s = new QSpinBox(Parent);
  s->setRange(Min, Max);
  return s;
}

}  // namespace

TMapStyleForm::TMapStyleForm(QWidget* Parent, IDialogServices* Services)
    : QDialog(Parent), FServices(Services ? Services : &DefaultDialogServices()) {
  auto* top = new QVBoxLayout(this);
  auto group = [&](QGroupBox*& Box, bool Checkable) {
    Box = new QGroupBox(this);
    Box->setCheckable(Checkable);
    auto* form = new QFormLayout(Box);
    top->addWidget(Box);
    return form;
  };
  QFormLayout* f = group(FHatching, true);
  FHatchDistance = Spin(FHatching, 1, kMaxStyleLength);
  FHatchSpacing = Spin(FHatching, 2, 32);
  FHatchColor = new TSwatchButton(0, FHatching);
  FHatchSeed = Spin(FHatching, 0, 999999);
  f->addRow(FHatchDistanceLabel = new QLabel(FHatching), FHatchDistance);
  f->addRow(FHatchSpacingLabel = new QLabel(FHatching), FHatchSpacing);
  f->addRow(FHatchColorLabel = new QLabel(FHatching), FHatchColor);
  f->addRow(FHatchSeedLabel = new QLabel(FHatching), FHatchSeed);

  f = group(FShadow, true);
  FShadowAngle = Spin(FShadow, 0, 359);
  FShadowLength = Spin(FShadow, 1, kMaxStyleLength);
  FShadowSoftness = Spin(FShadow, 0, kMaxStyleLength);
  FShadowOpacity = Spin(FShadow, 0, 100);
  f->addRow(FShadowAngleLabel = new QLabel(FShadow), FShadowAngle);
  f->addRow(FShadowLengthLabel = new QLabel(FShadow), FShadowLength);
  f->addRow(FShadowSoftnessLabel = new QLabel(FShadow), FShadowSoftness);
  f->addRow(FShadowOpacityLabel = new QLabel(FShadow), FShadowOpacity);
  // The soft end is part of the shadow's length.
  connect(FShadowLength, &QSpinBox::valueChanged, this,
          [this](int V) { FShadowSoftness->setMaximum(V); });

  f = group(FOutline, true);
  FOutlineWidth = Spin(FOutline, 1, 32);
  FOutlineRoughness = Spin(FOutline, 0, 8);
  FOutlineColor = new TSwatchButton(0, FOutline);
  f->addRow(FOutlineWidthLabel = new QLabel(FOutline), FOutlineWidth);
  f->addRow(FOutlineRoughnessLabel = new QLabel(FOutline), FOutlineRoughness);
  f->addRow(FOutlineColorLabel = new QLabel(FOutline), FOutlineColor);

  f = group(FInk, true);
  FInkWalls = new QComboBox(FInk);
  FInkWalls->addItems({QString(), QString()});
  f->addRow(FInkWallsLabel = new QLabel(FInk), FInkWalls);

  f = group(FGrid, false);
  FGridStyle = new QComboBox(FGrid);
  FGridStyle->addItems({QString(), QString(), QString()});
  FGridOpacity = Spin(FGrid, 0, 100);
  f->addRow(FGridStyleLabel = new QLabel(FGrid), FGridStyle);
  f->addRow(FGridOpacityLabel = new QLabel(FGrid), FGridOpacity);

  auto* buttons = new QDialogButtonBox(this);
  FOk = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
  FCancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
  FOk->setDefault(true);
  top->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(FHatchColor, &TSwatchButton::clicked, this, [this] { PickColor(FHatchColor); });
  connect(FOutlineColor, &TSwatchButton::clicked, this, [this] { PickColor(FOutlineColor); });

  ApplyCaptions(FCaptions);
  SetSettings({});
}

void TMapStyleForm::PickColor(TSwatchButton* Button) {
  if (const std::optional<TColor> c = FServices->PickColor(this, Button->Color()))
    Button->SetColor(*c);
}

void TMapStyleForm::ApplyCaptions(const TMapStyleFormCaptions& C) {
  FCaptions = C;
  setWindowTitle(C.Caption);
  FHatching->setTitle(C.Hatching);
  FHatchDistanceLabel->setText(C.HatchDistance);
  FHatchSpacingLabel->setText(C.HatchSpacing);
  FHatchColorLabel->setText(C.HatchColor);
  FHatchSeedLabel->setText(C.HatchSeed);
  FShadow->setTitle(C.Shadow);
  FShadowAngleLabel->setText(C.ShadowAngle);
  FShadowLengthLabel->setText(C.ShadowLength);
  FShadowSoftnessLabel->setText(C.ShadowSoftness);
  FShadowOpacityLabel->setText(C.ShadowOpacity);
  FOutline->setTitle(C.Outline);
  FOutlineWidthLabel->setText(C.OutlineWidth);
  FOutlineRoughnessLabel->setText(C.OutlineRoughness);
  FOutlineColorLabel->setText(C.OutlineColor);
  FInk->setTitle(C.InkSaving);
  FInkWallsLabel->setText(C.InkWalls);
  FInkWalls->setItemText(0, C.InkHatching);
  FInkWalls->setItemText(1, C.InkGrey);
  FGrid->setTitle(C.Grid);
  FGridStyleLabel->setText(C.GridStyle);
  FGridStyle->setItemText(0, C.GridSolid);
  FGridStyle->setItemText(1, C.GridDashed);
  FGridStyle->setItemText(2, C.GridDotted);
  FGridOpacityLabel->setText(C.GridOpacity);
  FOk->setText(C.OK);
  FCancel->setText(C.Cancel);
}

void TMapStyleForm::SetSettings(const TMapStyleSettings& Value) {
  FBase = Value;
  const TMapStyleOptions s = ClampedStyle(Value.Looks);
  const TMapStyleOptions& raw = Value.Looks;
  FHatching->setChecked(raw.Hatching.Enabled);
  FHatchDistance->setValue(s.Hatching.Distance);
  FHatchSpacing->setValue(s.Hatching.Spacing);
  FHatchColor->SetColor(ColorToPlatform(s.Hatching.Color));
  FHatchSeed->setValue(int(std::min<uint32_t>(s.Hatching.Seed, 999999)));
  FShadow->setChecked(raw.Shadow.Enabled);
  FShadowAngle->setValue(s.Shadow.Angle);
  FShadowLength->setValue(s.Shadow.Length);
  FShadowSoftness->setMaximum(s.Shadow.Length);
  FShadowSoftness->setValue(s.Shadow.Softness);
  FShadowOpacity->setValue(int(std::lround(s.Shadow.Opacity * 100.0 / 255.0)));
  FOutline->setChecked(raw.Outline.Enabled);
  FOutlineWidth->setValue(s.Outline.Width);
  FOutlineRoughness->setValue(s.Outline.Roughness);
  FOutlineColor->SetColor(ColorToPlatform(s.Outline.Color));
  FInk->setChecked(raw.InkSaving.Enabled);
  FInkWalls->setCurrentIndex(raw.InkSaving.Walls == TInkWalls::Grey ? 1 : 0);
  FGridStyle->setCurrentIndex(int(Value.GridStyle));
  FGridOpacity->setValue(std::clamp(Value.GridOpacity, 0, 100));
}

TMapStyleSettings TMapStyleForm::Settings() const {
  TMapStyleSettings v = FBase;
  TMapStyleOptions& s = v.Looks;
  s.Hatching.Enabled = FHatching->isChecked();
  s.Hatching.Distance = FHatchDistance->value();
  s.Hatching.Spacing = FHatchSpacing->value();
  // Colours keep the alpha they had; the dialog picks only red, green and blue.
  s.Hatching.Color =
      WithAlpha(ColorFromPlatform(FHatchColor->Color()), AlphaOf(FBase.Looks.Hatching.Color));
  s.Hatching.Seed = uint32_t(FHatchSeed->value());
  s.Shadow.Enabled = FShadow->isChecked();
  s.Shadow.Angle = FShadowAngle->value();
  s.Shadow.Length = FShadowLength->value();
  s.Shadow.Softness = std::min(FShadowSoftness->value(), s.Shadow.Length);
  s.Shadow.Opacity = uint8_t(std::lround(FShadowOpacity->value() * 255.0 / 100.0));
  s.Outline.Enabled = FOutline->isChecked();
  s.Outline.Width = FOutlineWidth->value();
  s.Outline.Roughness = FOutlineRoughness->value();
  s.Outline.Color =
      WithAlpha(ColorFromPlatform(FOutlineColor->Color()), AlphaOf(FBase.Looks.Outline.Color));
  s.InkSaving.Enabled = FInk->isChecked();
  s.InkSaving.Walls = FInkWalls->currentIndex() == 1 ? TInkWalls::Grey : TInkWalls::Hatching;
  v.GridStyle = TGridLineStyle(std::clamp(FGridStyle->currentIndex(), 0, 2));
  v.GridOpacity = FGridOpacity->value();
  return v;
}

bool TMapStyleForm::Execute(TMapStyleSettings& Value) {
  SetSettings(Value);
  if (exec() != QDialog::Accepted) return false;
  Value = Settings();
  return true;
}

void LoadLanguage(const TLanguageFile& File, TMapStyleFormCaptions& C) {
  const char* s = "MapStyleForm";
  auto read = [&](const char* Section, const char* Key, QString& Value) {
    Value = File.ReadString(Section, Key, Value);
  };
  read(s, "Caption", C.Caption);
  read(s, "Hatching", C.Hatching);
  read(s, "HatchDistance", C.HatchDistance);
  read(s, "HatchSpacing", C.HatchSpacing);
  read(s, "HatchColor", C.HatchColor);
  read(s, "HatchSeed", C.HatchSeed);
  read(s, "Shadow", C.Shadow);
  read(s, "ShadowAngle", C.ShadowAngle);
  read(s, "ShadowLength", C.ShadowLength);
  read(s, "ShadowSoftness", C.ShadowSoftness);
  read(s, "ShadowOpacity", C.ShadowOpacity);
  read(s, "Outline", C.Outline);
  read(s, "OutlineWidth", C.OutlineWidth);
  read(s, "OutlineRoughness", C.OutlineRoughness);
  read(s, "OutlineColor", C.OutlineColor);
  read(s, "InkSaving", C.InkSaving);
  read(s, "InkWalls", C.InkWalls);
  read(s, "InkHatching", C.InkHatching);
  read(s, "InkGrey", C.InkGrey);
  read(s, "Grid", C.Grid);
  read(s, "GridStyle", C.GridStyle);
  read(s, "GridSolid", C.GridSolid);
  read(s, "GridDashed", C.GridDashed);
  read(s, "GridDotted", C.GridDotted);
  read(s, "GridOpacity", C.GridOpacity);
  read("Common", "OK", C.OK);
  read("Common", "Cancel", C.Cancel);
}
