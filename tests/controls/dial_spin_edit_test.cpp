#include "controls/dial_spin_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "controls/dire_draw_panel.h"

namespace {

void SendFocusOut(QWidget* W) {
  QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(W, &e);
}

void SendMouse(QWidget* W, QEvent::Type Type, int Y, Qt::MouseButton Button,
               Qt::MouseButtons Buttons) {
  const QPointF p(4, Y);
  QMouseEvent e(Type, p, W->mapToGlobal(p), Button, Buttons, Qt::NoModifier);
  QApplication::sendEvent(W, &e);
}

}  // namespace

TEST(DialSpinEdit, DefaultsAndRangeEnds) {
  TDialSpinEdit e;
  EXPECT_EQ(e.Text(), "0");
  EXPECT_EQ(e.Value(), 0);
  EXPECT_EQ(e.Increment(), 1);
  EXPECT_EQ(e.DialIncrement(), 1);

  e.SetMinValue(1);
  e.SetMaxValue(200);
  e.SetValue(200);
  e.UpDownClick(TUDBtnType::btNext);
  EXPECT_EQ(e.Value(), 200);
  e.SetValue(1);
  e.UpDownClick(TUDBtnType::btPrev);
  EXPECT_EQ(e.Value(), 1);
  e.SetValue(500);
  EXPECT_EQ(e.Text(), "200");
  e.SetIncrement(7);
  e.SetValue(10);
  e.stepBy(1);  // the spin box's own buttons go through stepBy
  EXPECT_EQ(e.Value(), 17);
  e.stepBy(-1);
  e.stepBy(-1);
  EXPECT_EQ(e.Value(), 3);

  // The arrow keys step as the buttons do.
  e.show();
  e.SetIncrement(1);
  e.SetValue(199);
  QTest::keyClick(&e, Qt::Key_Up);
  QTest::keyClick(&e, Qt::Key_Up);
  EXPECT_EQ(e.Value(), 200);
  QTest::keyClick(&e, Qt::Key_Down);
  EXPECT_EQ(e.Value(), 199);
}

TEST(DialSpinEdit, NoRangeWhenBothEndsAreZero) {
  TDialSpinEdit e;
  e.SetValue(-123456);
  EXPECT_EQ(e.Value(), -123456);
  e.SetIncrement(1000000);
  e.UpDownClick(TUDBtnType::btPrev);
  EXPECT_EQ(e.Value(), -1123456);
  SendFocusOut(&e);
  EXPECT_EQ(e.Text(), "-1123456");
}

TEST(DialSpinEdit, DialMovesTenPixels) {
  TDialSpinEdit e;
  e.SetMinValue(0);
  e.SetMaxValue(1000);
  e.SetValue(100);
  TDireDrawPanel* dial = e.Dial();
  SendMouse(dial, QEvent::MouseButtonPress, 20, Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(dial->Pressed());
  SendMouse(dial, QEvent::MouseMove, 10, Qt::NoButton, Qt::LeftButton);  // 10 up
  EXPECT_EQ(e.Value(), 110);
  SendMouse(dial, QEvent::MouseMove, 20, Qt::NoButton, Qt::LeftButton);  // 10 down
  SendMouse(dial, QEvent::MouseMove, 30, Qt::NoButton, Qt::LeftButton);  // 10 more down
  EXPECT_EQ(e.Value(), 90);
  SendMouse(dial, QEvent::MouseButtonRelease, 30, Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(dial->Pressed());
  // Moving without the knob pressed changes nothing.
  SendMouse(dial, QEvent::MouseMove, 0, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(e.Value(), 90);

  // The dial clamps and respects DialIncrement.
  e.SetDialIncrement(50);
  SendMouse(dial, QEvent::MouseButtonPress, 40, Qt::LeftButton, Qt::LeftButton);
  SendMouse(dial, QEvent::MouseMove, 0, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(e.Value(), 1000);
  SendMouse(dial, QEvent::MouseButtonRelease, 0, Qt::LeftButton, Qt::NoButton);

  // Read-only: no dial, and steps are refused.
  e.setReadOnly(true);
  SendMouse(dial, QEvent::MouseButtonPress, 40, Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(dial->Pressed());
  SendMouse(dial, QEvent::MouseMove, 0, Qt::NoButton, Qt::LeftButton);
  e.UpDownClick(TUDBtnType::btPrev);
  EXPECT_EQ(e.Value(), 1000);
}

TEST(DialSpinEdit, SignDisplayWithZeroSign) {
  TDialSpinEdit e;
  e.SetValue(5);
  e.SetShowSign(true);
  EXPECT_EQ(e.Text(), "+5");  // turning the sign on rewrites the text
  e.SetValue(0);
  EXPECT_EQ(e.Text(), "0");
  e.SetZeroSign("±0");
  EXPECT_EQ(e.Text(), "±0");
  EXPECT_EQ(e.Value(), 0);
  e.SetValue(-5);
  EXPECT_EQ(e.Text(), "-5");
  e.UpDownClick(TUDBtnType::btNext);
  e.UpDownClick(TUDBtnType::btNext);
  e.UpDownClick(TUDBtnType::btNext);
  e.UpDownClick(TUDBtnType::btNext);
  e.UpDownClick(TUDBtnType::btNext);
  EXPECT_EQ(e.Text(), "±0");
  e.SetShowSign(false);
  EXPECT_EQ(e.Text(), "0");
}

TEST(DialSpinEdit, TypingFilterAndUnclampedTypedValue) {
  TDialSpinEdit e;
  e.SetMinValue(8);
  e.SetMaxValue(100);
  e.show();
  e.SetText("5");
  e.findChild<QLineEdit*>()->setCursorPosition(1);
  QTest::keyClicks(&e, "-.x");
  EXPECT_EQ(e.Text(), "5");
  e.findChild<QLineEdit*>()->setCursorPosition(0);
  QTest::keyClicks(&e, "-");
  EXPECT_EQ(e.Text(), "-5");
  // Typed out of range: read as typed until focus leaves.
  e.SetText("");
  QTest::keyClicks(&e, "250");
  EXPECT_EQ(e.Value(), 250);
  SendFocusOut(&e);
  EXPECT_EQ(e.Text(), "100");
  // Letters pasted in read as the clamped 0 and are replaced on leaving.
  e.SetText("abc");
  EXPECT_EQ(e.Value(), 8);
  EXPECT_EQ(e.Text(), "abc");
  SendFocusOut(&e);
  EXPECT_EQ(e.Text(), "8");
  // With the editor off, digits are refused.
  e.SetEditorEnabled(false);
  QTest::keyClicks(&e, "9");
  EXPECT_EQ(e.Text(), "8");
}

TEST(DialSpinEdit, UpDownChangingIsToldBeforeTheStep) {
  TDialSpinEdit e;
  std::vector<std::pair<TUDBtnType, int64_t>> calls;
  e.OnUpDownChanging = [&](QObject* Sender, TShiftState, TUDBtnType Button) {
    EXPECT_EQ(Sender, &e);
    calls.emplace_back(Button, e.Value());
  };
  e.SetValue(4);
  e.UpDownClick(TUDBtnType::btNext);
  e.UpDownClick(TUDBtnType::btPrev);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].first, TUDBtnType::btNext);
  EXPECT_EQ(calls[0].second, 4);  // the value before the step
  EXPECT_EQ(calls[1].first, TUDBtnType::btPrev);
  EXPECT_EQ(calls[1].second, 5);
  EXPECT_THROW(e.SetAlignment(static_cast<TSpinAlignment>(7)), std::invalid_argument);
}

TEST(DialSpinEdit, ChangeIsRaisedForTypingAndSetting) {
  TDialSpinEdit e;
  int changes = 0;
  QObject::connect(&e, &TDialSpinEdit::Changed, [&] { ++changes; });
  e.SetValue(12);
  EXPECT_EQ(changes, 1);
  e.show();
  QTest::keyClicks(&e, "3");
  EXPECT_EQ(changes, 2);
}

TEST(DialRealSpinEdit, ClampsOnFocusOut) {
  TDialRealSpinEdit e;
  e.setLocale(QLocale::c());
  EXPECT_EQ(e.Text(), "0");
  EXPECT_EQ(e.Increment(), 1.0L);
  e.SetMinValue(0);
  e.SetMaxValue(50);
  e.SetText("75.5");
  EXPECT_EQ(e.Value(), 75.5L);
  SendFocusOut(&e);
  EXPECT_EQ(e.Text(), "50");
  EXPECT_EQ(e.Value(), 50.0L);

  e.SetIncrement(0.25L);
  e.SetValue(49.9L);
  e.UpDownClick(TUDBtnType::btNext);
  EXPECT_EQ(e.Text(), "50");
  e.UpDownClick(TUDBtnType::btPrev);
  EXPECT_EQ(e.Text(), "49.75");
  e.SetShowSign(true);
  EXPECT_EQ(e.Text(), "+49.75");
  EXPECT_EQ(e.Value(), 49.75L);

  // The separator may be typed in the real field.
  e.show();
  e.SetShowSign(false);
  e.SetText("");
  QTest::keyClicks(&e, "2.5");
  EXPECT_EQ(e.Text(), "2.5");
}
