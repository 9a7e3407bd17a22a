#include "dialogs/object_props_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "dialogs/language_file.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_window.h"
#include "map/objects/object_fields.h"

namespace {

QString ColorText(TColor32 C) { return QString::fromStdString(objfields::ColorText(C)); }

// The colour in Edit; false with the message naming Field when it holds none.
bool ReadColor(const QLineEdit* Edit, const QString& Field, const QString& Message, TColor32& C,
               QString* Error) {
  if (objfields::ParseColorText(Edit->text().trimmed().toStdString(), C)) return true;
  if (Error) *Error = Message.arg(QString(Field).remove('&').remove(':').remove(QChar(0xFF1A)));
  return false;
}

QDoubleSpinBox* NumberBox(QWidget* Parent, double Min, double Max, double Step) {
  auto* b = new QDoubleSpinBox(Parent);
  b->setRange(Min, Max);
  b->setDecimals(2);
  b->setSingleStep(Step);
  return b;
}

}  // namespace

TObjectPropsForm::TObjectPropsForm(QWidget* Parent) : QDialog(Parent) {
  FLabelGroup = new QGroupBox(this);
  FText = new QLineEdit(FLabelGroup);
  FSize = NumberBox(FLabelGroup, TMapLabel::kMinSize, TMapLabel::kMaxSize, 0.1);
  FLabelColor = new QLineEdit(FLabelGroup);
  FOutline = new QCheckBox(FLabelGroup);
  FOutlineColor = new QLineEdit(FLabelGroup);
  FAlign = new QComboBox(FLabelGroup);
  FAlign->addItems({"", "", ""});
  auto* outline = new QHBoxLayout;
  outline->addWidget(FOutline);
  outline->addWidget(FOutlineColor);
  auto* labelForm = new QFormLayout(FLabelGroup);
  FTextLabel = new QLabel(FLabelGroup);
  FSizeLabel = new QLabel(FLabelGroup);
  FLabelColorLabel = new QLabel(FLabelGroup);
  FAlignLabel = new QLabel(FLabelGroup);
  labelForm->addRow(FTextLabel, FText);
  labelForm->addRow(FSizeLabel, FSize);
  labelForm->addRow(FLabelColorLabel, FLabelColor);
  labelForm->addRow(outline);
  labelForm->addRow(FAlignLabel, FAlign);

  FLightGroup = new QGroupBox(this);
  FRadius = NumberBox(FLightGroup, 0, TMapLight::kMaxRadius, 0.5);
  FLightColor = new QLineEdit(FLightGroup);
  FIntensity = NumberBox(FLightGroup, 0, TMapLight::kMaxIntensity, 0.1);
  FShadows = new QCheckBox(FLightGroup);
  FRadiusLabel = new QLabel(FLightGroup);
  FLightColorLabel = new QLabel(FLightGroup);
  FIntensityLabel = new QLabel(FLightGroup);
  auto* lightForm = new QFormLayout(FLightGroup);
  lightForm->addRow(FRadiusLabel, FRadius);
  lightForm->addRow(FLightColorLabel, FLightColor);
  lightForm->addRow(FIntensityLabel, FIntensity);
  lightForm->addRow(FShadows);

  FWindowGroup = new QGroupBox(this);
  FOwnColor = new QCheckBox(FWindowGroup);
  FWindowColor = new QLineEdit(FWindowGroup);
  auto* windowRow = new QHBoxLayout(FWindowGroup);
  windowRow->addWidget(FOwnColor);
  windowRow->addWidget(FWindowColor);

  FError = new QLabel(this);
  FError->setObjectName("ObjectError");
  FError->setStyleSheet("color: #b00020");
  FError->setVisible(false);
  auto* buttons = new QDialogButtonBox(this);
  FOk = buttons->addButton(QDialogButtonBox::Ok);
  FCancel = buttons->addButton(QDialogButtonBox::Cancel);
  FOk->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &TObjectPropsForm::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FLabelGroup);
  layout->addWidget(FLightGroup);
  layout->addWidget(FWindowGroup);
  layout->addWidget(FError);
  layout->addWidget(buttons);
  ApplyCaptions(FCaptions);
}

bool TObjectPropsForm::Load(const TMapObject& Obj) {
  FObject = Obj;
  TMapLabel label;
  TMapLight light;
  TMapWindow window;
  const bool isLabel = TMapLabel::FromObject(Obj, label, nullptr);
  const bool isLight = !isLabel && TMapLight::FromObject(Obj, light, nullptr);
  const bool isWindow = !isLabel && !isLight && TMapWindow::FromObject(Obj, window, nullptr);
  FLabelGroup->setVisible(isLabel);
  FLightGroup->setVisible(isLight);
  FWindowGroup->setVisible(isWindow);
  FError->setVisible(false);
  if (isLabel) {
    FText->setText(QString::fromStdString(label.Text));
    FSize->setValue(label.Size);
    FLabelColor->setText(ColorText(label.Color));
    FOutline->setChecked(label.Outline.has_value());
    FOutlineColor->setText(ColorText(label.Outline.value_or(0xFFFFFFFF)));
    FAlign->setCurrentIndex(int(label.Align));
  }
  if (isLight) {
    FRadius->setValue(light.Radius);
    FLightColor->setText(ColorText(light.Color));
    FIntensity->setValue(light.Intensity);
    FShadows->setChecked(light.Shadows);
  }
  if (isWindow) {
    FOwnColor->setChecked(window.Color.has_value());
    FWindowColor->setText(ColorText(window.Color.value_or(TMapWindow::kDefaultColor)));
  }
  adjustSize();
  return isLabel || isLight || isWindow;
}

bool TObjectPropsForm::Store(TMapObject& Obj, QString* Error) const {
  const QString& bad = FCaptions.BadColor;
  TMapLabel label;
  TMapLight light;
  TMapWindow window;
  if (TMapLabel::FromObject(FObject, label, nullptr)) {
    label.Text = FText->text().toStdString();
    label.Size = FSize->value();
    if (!ReadColor(FLabelColor, FCaptions.Color, bad, label.Color, Error)) return false;
    label.Outline.reset();
    TColor32 outline = 0;
    if (FOutline->isChecked()) {
      if (!ReadColor(FOutlineColor, FCaptions.Outline, bad, outline, Error)) return false;
      label.Outline = outline;
    }
    label.Align = TLabelAlign(std::clamp(FAlign->currentIndex(), 0, 2));
    Obj = label.ToObject();
    return true;
  }
  if (TMapLight::FromObject(FObject, light, nullptr)) {
    light.Radius = FRadius->value();
    if (!ReadColor(FLightColor, FCaptions.Color, bad, light.Color, Error)) return false;
    light.Intensity = FIntensity->value();
    light.Shadows = FShadows->isChecked();
    Obj = light.ToObject();
    return true;
  }
  if (TMapWindow::FromObject(FObject, window, nullptr)) {
    window.Color.reset();
    TColor32 c = 0;
    if (FOwnColor->isChecked()) {
      if (!ReadColor(FWindowColor, FCaptions.OwnColor, bad, c, Error)) return false;
      window.Color = c;
    }
    Obj = window.ToObject();
    return true;
  }
  return false;
}

void TObjectPropsForm::accept() {
  TMapObject probe;
  QString error;
  if (!Store(probe, &error)) {
    FError->setText(error);
    FError->setVisible(true);
    return;
  }
  QDialog::accept();
}

bool TObjectPropsForm::Execute(TMapObject& Obj) {
  if (!Load(Obj)) return false;
  if (exec() != QDialog::Accepted) return false;
  return Store(Obj, nullptr);
}

void TObjectPropsForm::ApplyCaptions(const TObjectPropsFormCaptions& Value) {
  FCaptions = Value;
  setWindowTitle(Value.Caption);
  FLabelGroup->setTitle(Value.Label);
  FTextLabel->setText(Value.Text);
  FSizeLabel->setText(Value.Size);
  FLabelColorLabel->setText(Value.Color);
  FOutline->setText(Value.Outline);
  FAlignLabel->setText(Value.Align);
  FAlign->setItemText(0, Value.AlignLeft);
  FAlign->setItemText(1, Value.AlignCenter);
  FAlign->setItemText(2, Value.AlignRight);
  FLightGroup->setTitle(Value.Light);
  FRadiusLabel->setText(Value.Radius);
  FLightColorLabel->setText(Value.Color);
  FIntensityLabel->setText(Value.Intensity);
  FShadows->setText(Value.Shadows);
  FWindowGroup->setTitle(Value.Window);
  FOwnColor->setText(Value.OwnColor);
  FOk->setText(Value.OK);
  FCancel->setText(Value.Cancel);
}

void LoadLanguage(const TLanguageFile& File, TObjectPropsFormCaptions& C) {
  const char* s = "ObjectForm";
  const std::pair<const char*, QString*> keys[] = {{"Caption", &C.Caption},
                                                   {"Label", &C.Label},
                                                   {"Text", &C.Text},
                                                   {"Size", &C.Size},
                                                   {"Color", &C.Color},
                                                   {"Outline", &C.Outline},
                                                   {"Align", &C.Align},
                                                   {"AlignLeft", &C.AlignLeft},
                                                   {"AlignCenter", &C.AlignCenter},
                                                   {"AlignRight", &C.AlignRight},
                                                   {"Light", &C.Light},
                                                   {"Radius", &C.Radius},
                                                   {"Intensity", &C.Intensity},
                                                   {"Shadows", &C.Shadows},
                                                   {"Window", &C.Window},
                                                   {"OwnColor", &C.OwnColor},
                                                   {"BadColor", &C.BadColor}};
  for (const auto& [key, value] : keys) {
    const QString text = File.ReadString(s, key, *value);
    *value = text;
  }
  C.OK = File.ReadString("Common", "OK", C.OK);
  C.Cancel = File.ReadString("Common", "Cancel", C.Cancel);
}
