#include "controls/ellipsis_edit.h"

#include <QAction>
#include <QEvent>
#include <QFocusEvent>
#include <QIcon>
#include <QPainter>

namespace {

void Plus(QPainter& P, int X, int Y, const QColor& C) {
  P.setPen(C);
  P.drawLine(X - 1, Y, X + 1, Y);
  P.drawLine(X, Y - 1, X, Y + 1);
}

void Dot(QPainter& P, int X, int Y, const QPalette& Pal, bool Enabled) {
  const QColor face = Pal.color(QPalette::Button), shadow = Pal.color(QPalette::Mid);
  if (Enabled) {
    // A soft square, a plus in the shadow colour and a dark centre.
    const QColor mixed((8 * face.red() + shadow.red()) / 9, (8 * face.green() + shadow.green()) / 9,
                       (8 * face.blue() + shadow.blue()) / 9);
    P.fillRect(X - 1, Y - 1, 3, 3, mixed);
    Plus(P, X, Y, shadow);
    P.setPen(Pal.color(QPalette::Dark).darker(150));
    P.drawPoint(X, Y);
  } else {
    // Embossed: a light plus one pixel right and down under the shadow plus.
    Plus(P, X + 1, Y + 1, Pal.color(QPalette::Light));
    Plus(P, X, Y, shadow);
  }
}

}  // namespace

TEllipsisEdit::TEllipsisEdit(QWidget* Parent) : QLineEdit(Parent) {
  FAction = addAction(QIcon(), QLineEdit::TrailingPosition);
  connect(FAction, &QAction::triggered, this, [this] {
    if (!isEnabled()) return;
    setFocus(Qt::MouseFocusReason);
    emit EllipsisClick();
  });
  UpdateIcon();
}

QString TEllipsisEdit::EllipsisHint() const { return FAction->toolTip(); }

void TEllipsisEdit::SetEllipsisHint(const QString& Value) { FAction->setToolTip(Value); }

QPixmap TEllipsisEdit::DotsPixmap(const QPalette& Palette, bool Enabled, int Size) {
  QPixmap pm(Size, Size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  const int x = (Size - 2) / 2, y = (Size - 2) / 2;
  for (int dx : {-4, 0, 4}) Dot(p, x + dx, y, Palette, Enabled);
  return pm;
}

void TEllipsisEdit::UpdateIcon() {
  QIcon icon;
  icon.addPixmap(DotsPixmap(palette(), true), QIcon::Normal);
  icon.addPixmap(DotsPixmap(palette(), false), QIcon::Disabled);
  FAction->setIcon(icon);
}

QSize TEllipsisEdit::sizeHint() const {
  const QSize s = QLineEdit::sizeHint();
  return QSize(std::max(150, s.width()), s.height());
}

void TEllipsisEdit::focusInEvent(QFocusEvent* Event) {
  QLineEdit::focusInEvent(Event);
  const bool keyboard = Event->reason() == Qt::TabFocusReason ||
                        Event->reason() == Qt::BacktabFocusReason ||
                        Event->reason() == Qt::ShortcutFocusReason;
  if (FAutoSelect && keyboard) selectAll();
}

void TEllipsisEdit::changeEvent(QEvent* Event) {
  QLineEdit::changeEvent(Event);
  if (Event->type() == QEvent::EnabledChange) FAction->setEnabled(isEnabled());
  if (Event->type() == QEvent::PaletteChange) UpdateIcon();
}
