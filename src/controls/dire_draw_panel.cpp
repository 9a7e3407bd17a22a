#include "controls/dire_draw_panel.h"

#include <QPainter>

namespace {

// A 45-degree line from (X1, Y1) up to, but not including, (X2, Y2).
void DiagonalLine(QPainter& P, int X1, int Y1, int X2, int Y2) {
  const int sx = X2 > X1 ? 1 : -1, sy = Y2 > Y1 ? 1 : -1;
  for (int x = X1, y = Y1; x != X2; x += sx, y += sy) P.drawPoint(x, y);
}

}  // namespace

TDireDrawPanel::TDireDrawPanel(QWidget* Parent) : QFrame(Parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
  setFixedWidth(9);
}

void TDireDrawPanel::SetPressed(bool Value) {
  if (FPressed == Value) return;
  FPressed = Value;
  setFrameShadow(Value ? QFrame::Sunken : QFrame::Raised);
  update();
}

void TDireDrawPanel::paintEvent(QPaintEvent* Event) {
  QFrame::paintEvent(Event);
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  // Centre the 9 x 18 drawing vertically when the knob is taller.
  const int d = FPressed ? 1 : 0;
  p.translate(d, (height() - 18) / 2 + d);
  DiagonalLine(p, 4, 6, 7, 9);
  DiagonalLine(p, 6, 8, 3, 11);
  DiagonalLine(p, 4, 10, 1, 7);
  DiagonalLine(p, 2, 8, 5, 5);
}
