// The object properties dialog: fields filled from an object and written back,
// keys it does not know kept, and colours that are not colours refused.

#include "dialogs/object_props_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>

TEST(ObjectPropsForm, FillsAndStoresLabelsLightsAndWindows) {
  TObjectPropsForm form;
  TMapObject label = TMapObject::Parse(
      R"({"type":"label","note":"kept","x":4,"y":5,"text":"1","size":0.5,"color":"#FF000000"})");
  label.Id = 9;
  ASSERT_TRUE(form.Load(label));
  EXPECT_FALSE(form.LabelGroup()->isHidden());
  EXPECT_TRUE(form.LightGroup()->isHidden());
  EXPECT_EQ(form.TextEdit()->text(), "1");
  EXPECT_FALSE(form.OutlineCheck()->isChecked());
  form.TextEdit()->setText("Vault");
  form.SizeEdit()->setValue(1.5);
  form.LabelColorEdit()->setText("#ff0000");
  form.OutlineCheck()->setChecked(true);
  form.OutlineColorEdit()->setText("#80FFFFFF");
  form.AlignList()->setCurrentIndex(2);
  TMapObject out;
  QString error;
  ASSERT_TRUE(form.Store(out, &error)) << error.toStdString();
  EXPECT_EQ(out.Id, 9u);
  EXPECT_EQ(out.Data.dump(),
            R"({"type":"label","note":"kept","x":4,"y":5,"text":"Vault","size":1.5,)"
            R"("color":"#FFFF0000","outline":"#80FFFFFF","align":"right"})");

  form.LabelColorEdit()->setText("red");
  EXPECT_FALSE(form.Store(out, &error));
  EXPECT_NE(error.indexOf("#RRGGBB"), -1) << error.toStdString();

  ASSERT_TRUE(form.Load(TMapObject::Parse(R"({"type":"light","x":1,"y":2})")));
  EXPECT_TRUE(form.LabelGroup()->isHidden());
  EXPECT_EQ(form.RadiusEdit()->value(), 4);
  EXPECT_TRUE(form.ShadowsCheck()->isChecked());
  form.RadiusEdit()->setValue(2.5);
  form.ShadowsCheck()->setChecked(false);
  form.LightColorEdit()->setText("#FFFFE0A0");
  ASSERT_TRUE(form.Store(out, &error));
  EXPECT_EQ(out.Data["radius"], 2.5);
  EXPECT_EQ(out.Data["shadows"], false);
  EXPECT_EQ(out.Data["color"], "#FFFFE0A0");

  ASSERT_TRUE(form.Load(TMapObject::Parse(R"({"type":"window","edge":"h","cx":1,"cy":1})")));
  EXPECT_FALSE(form.OwnColorCheck()->isChecked());
  form.OwnColorCheck()->setChecked(true);
  form.WindowColorEdit()->setText("#FF336699");
  ASSERT_TRUE(form.Store(out, &error));
  EXPECT_EQ(out.Data["color"], "#FF336699");

  // Objects of other kinds are not this dialog's.
  EXPECT_FALSE(form.Load(TMapObject::Parse(R"({"type":"fog"})")));
}
