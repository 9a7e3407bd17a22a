#include "dialogs/map_style_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>

TEST(MapStyleForm, FieldsRoundTripWithinTheirRangesAndCaptionsApply) {
  TMapStyleForm form;
  TMapStyleSettings s;
  s.Looks.Hatching = {true, 30, 7, 0xFF112233u, 42};
  s.Looks.Shadow = {true, 270, 10, 3, 128};
  s.Looks.Outline = {false, 4, 2, 0x80445566u, 5};
  s.Looks.InkSaving = {true, TInkWalls::Grey};
  s.GridStyle = TGridLineStyle::Dotted;
  s.GridOpacity = 35;
  form.SetSettings(s);
  TMapStyleSettings back = form.Settings();
  // The shadow's strength goes through a percentage: 128 is 50 %, back 128.
  EXPECT_EQ(back, s);

  // The soft end cannot pass the length; values beyond the ranges are held in.
  form.ShadowLengthEdit()->setValue(5);
  EXPECT_EQ(form.ShadowSoftnessEdit()->maximum(), 5);
  form.ShadowSoftnessEdit()->setValue(9);
  form.HatchDistanceEdit()->setValue(5000);
  form.GridOpacityEdit()->setValue(-3);
  form.HatchingGroup()->setChecked(false);
  form.InkWallsList()->setCurrentIndex(0);
  back = form.Settings();
  EXPECT_EQ(back.Looks.Shadow.Softness, 5);
  EXPECT_EQ(back.Looks.Hatching.Distance, kMaxStyleLength);
  EXPECT_EQ(back.GridOpacity, 0);
  EXPECT_FALSE(back.Looks.Hatching.Enabled);
  EXPECT_EQ(back.Looks.InkSaving.Walls, TInkWalls::Hatching);
  // The outline's colour keeps its alpha.
  EXPECT_EQ(back.Looks.Outline.Color, 0x80445566u);

  TMapStyleFormCaptions english;
  english.Caption = "Map Style";
  english.Shadow = "Wall shadow";
  english.GridDotted = "Dotted";
  english.OK = "Apply";
  form.ApplyCaptions(english);
  EXPECT_EQ(form.windowTitle(), "Map Style");
  EXPECT_EQ(form.ShadowGroup()->title(), "Wall shadow");
  EXPECT_EQ(form.GridStyleList()->itemText(2), "Dotted");
  EXPECT_EQ(form.OkButton()->text(), "Apply");
}
