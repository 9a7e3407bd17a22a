#include "dialogs/swatch_button.h"

#include <QMouseEvent>
#include <QPainter>

TSwatchButton::TSwatchButton(TColor Color, QWidget* Parent) : QFrame(Parent), FColor(Color) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setFixedSize(24, 24);
  setCursor(Qt::PointingHandCursor);
}

QColor TSwatchButton::ToQColor(TColor Value) {
  return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
}

void TSwatchButton::SetColor(TColor Value) {
  FColor = Value;
  update();
}

void TSwatchButton::paintEvent(QPaintEvent* Event) {
  {
    QPainter p(this);
    p.fillRect(contentsRect(), ToQColor(FColor));
  }
  QFrame::paintEvent(Event);
}

void TSwatchButton::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
    emit clicked();
}
