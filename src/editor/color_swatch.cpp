#include "editor/color_swatch.h"

#include <QMouseEvent>
#include <QPainter>

TColorSwatch::TColorSwatch(QWidget* Parent) : QFrame(Parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setMinimumSize(24, 24);
}

void TColorSwatch::SetColor(TColor Value) {
  FColor = Value;
  update();
}

void TColorSwatch::paintEvent(QPaintEvent* Event) {
  QFrame::paintEvent(Event);
  QPainter p(this);
  const TColor32 c = ColorFromPlatform(FColor);
  p.fillRect(contentsRect().adjusted(2, 2, -2, -2), QColor::fromRgb(c));
}

void TColorSwatch::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::RightButton && !(Event->buttons() & Qt::LeftButton)) {
    SetColor(clBtnFace);
  } else if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint())) {
    emit LeftClicked();
  }
  QFrame::mouseReleaseEvent(Event);
}
