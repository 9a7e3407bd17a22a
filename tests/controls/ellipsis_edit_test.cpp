#include "controls/ellipsis_edit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QToolButton>

namespace {

class TProbeEdit : public TEllipsisEdit {
 public:
  using TEllipsisEdit::cursorRect;
};

}  // namespace

TEST(EllipsisEdit, ClickRaisesOnlyWhenEnabled) {
  TEllipsisEdit e;
  int clicks = 0;
  QObject::connect(&e, &TEllipsisEdit::EllipsisClick, [&] { ++clicks; });
  e.SetEllipsisHint("Browse");
  EXPECT_EQ(e.EllipsisHint(), "Browse");
  e.show();
  QToolButton* button = e.findChild<QToolButton*>();
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  e.setEnabled(false);
  EXPECT_FALSE(e.EllipsisAction()->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  e.EllipsisAction()->trigger();
  EXPECT_EQ(clicks, 1);
  e.setEnabled(true);
  EXPECT_TRUE(e.EllipsisAction()->isEnabled());
}

TEST(EllipsisEdit, DotsAreEmbossedWhenDisabled) {
  QPalette pal;
  pal.setColor(QPalette::Button, QColor(200, 200, 200));
  pal.setColor(QPalette::Mid, QColor(128, 128, 128));
  pal.setColor(QPalette::Light, QColor(255, 255, 255));
  pal.setColor(QPalette::Dark, QColor(90, 90, 90));
  // Size 16: dot centres at (3, 7), (7, 7) and (11, 7).
  const QImage on = TEllipsisEdit::DotsPixmap(pal, true).toImage();
  const QImage off = TEllipsisEdit::DotsPixmap(pal, false).toImage();
  for (int x : {3, 7, 11}) {
    // Enabled: soft corners (8 parts face, 1 part shadow), shadow arms, dark centre.
    EXPECT_EQ(on.pixelColor(x - 1, 6), QColor(192, 192, 192)) << x;
    EXPECT_EQ(on.pixelColor(x + 1, 7), QColor(128, 128, 128)) << x;
    EXPECT_EQ(on.pixelColor(x, 7), QColor(90, 90, 90).darker(150)) << x;
    // Disabled: shadow plus at the dot, light plus one pixel right and down.
    EXPECT_EQ(off.pixelColor(x, 7), QColor(128, 128, 128)) << x;
    EXPECT_EQ(off.pixelColor(x + 2, 8), QColor(255, 255, 255)) << x;
    EXPECT_EQ(off.pixelColor(x + 1, 9), QColor(255, 255, 255)) << x;
    EXPECT_EQ(off.pixelColor(x - 1, 6).alpha(), 0) << x;
  }
}

TEST(EllipsisEdit, TextNeverRunsUnderTheButton) {
  for (int width : {150, 90, 400}) {
    TProbeEdit e;
    e.resize(width, 24);
    e.show();
    e.setText(QString(200, 'W'));
    e.setCursorPosition(200);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    e.repaint();  // the scroll position follows the caret when painting
    QToolButton* button = e.findChild<QToolButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_GT(button->width(), 0);
    EXPECT_LT(e.cursorRect().center().x(), button->geometry().left()) << width;
  }
}
