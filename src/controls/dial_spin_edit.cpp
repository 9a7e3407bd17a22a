#include "controls/dial_spin_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QStyleOptionSpinBox>
#include <limits>
#include <stdexcept>

#include "controls/dire_draw_panel.h"

namespace {

constexpr int DialWidth = 9;

// Sums and products that stay inside 64 bits instead of wrapping around.
int64_t SaturatingAdd(int64_t A, int64_t B) {
  int64_t r;
  if (!__builtin_add_overflow(A, B, &r)) return r;
  return B > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

int64_t SaturatingMul(int64_t A, int64_t B) {
  int64_t r;
  if (!__builtin_mul_overflow(A, B, &r)) return r;
  return (A < 0) != (B < 0) ? std::numeric_limits<int64_t>::min()
                            : std::numeric_limits<int64_t>::max();
}

TShiftState CurrentShiftState() {
  TShiftState s = 0;
  const Qt::KeyboardModifiers m = QApplication::keyboardModifiers();
  const Qt::MouseButtons b = QApplication::mouseButtons();
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  if (b & Qt::LeftButton) s |= ssLeft;
  if (b & Qt::RightButton) s |= ssRight;
  if (b & Qt::MiddleButton) s |= ssMiddle;
  if ((b & Qt::LeftButton) && (b & Qt::RightButton)) s |= ssDouble;
  return s;
}

}  // namespace

TDialSpinBase::TDialSpinBase(QWidget* Parent) : QAbstractSpinBox(Parent) {
  FDial = new TDireDrawPanel(this);
  FDial->installEventFilter(this);
  FDial->setCursor(Qt::ArrowCursor);
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setAccelerated(false);
  lineEdit()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(lineEdit(), &QLineEdit::textChanged, this, &TDialSpinBase::Changed);
  PlaceDial();
}

void TDialSpinBase::SetAlignment(TSpinAlignment Value) {
  Qt::Alignment a;
  switch (Value) {
    case TSpinAlignment::taLeftJustify:
      a = Qt::AlignLeft;
      break;
    case TSpinAlignment::taRightJustify:
      a = Qt::AlignRight;
      break;
    case TSpinAlignment::taCenter:
      a = Qt::AlignHCenter;
      break;
    default:
      throw std::invalid_argument("FAlignmentが不正です");
  }
  FAlignment = Value;
  lineEdit()->setAlignment(a | Qt::AlignVCenter);
}

QString TDialSpinBase::Text() const { return lineEdit()->text(); }

void TDialSpinBase::SetText(const QString& Value) { lineEdit()->setText(Value); }

char TDialSpinBase::DecimalSeparator() const {
  const QString d = locale().decimalPoint();
  return d.size() == 1 && d[0].unicode() < 128 ? char(d[0].unicode()) : '.';
}

bool TDialSpinBase::IsValidChar(char32_t Key) const {
  const QLineEdit* e = lineEdit();
  const int caret = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  return IsValidSpinChar(Key, FEditorEnabled, RealValue(), DecimalSeparator(), caret);
}

void TDialSpinBase::UpDownClick(TUDBtnType Button) {
  if (isReadOnly()) {
    QApplication::beep();
    return;
  }
  if (OnUpDownChanging) OnUpDownChanging(this, CurrentShiftState(), Button);
  StepValue(Button == TUDBtnType::btNext ? 1 : -1);
}

void TDialSpinBase::stepBy(int Steps) {
  // Each call is one click or one arrow key; the button itself holds no value.
  if (Steps > 0)
    UpDownClick(TUDBtnType::btNext);
  else if (Steps < 0)
    UpDownClick(TUDBtnType::btPrev);
}

QAbstractSpinBox::StepEnabled TDialSpinBase::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

QValidator::State TDialSpinBase::validate(QString&, int&) const {
  // Typed characters are filtered in keyPressEvent; whatever the text holds
  // stays until the value is read, written or the field loses focus.
  return QValidator::Acceptable;
}

void TDialSpinBase::initStyleOption(QStyleOptionSpinBox* Option) const {
  QAbstractSpinBox::initStyleOption(Option);
  // The spin box with its buttons takes the width left of the knob, so the text
  // field never runs under the knob or the buttons.
  Option->rect.setWidth(std::max(0, width() - DialWidth));
}

void TDialSpinBase::keyPressEvent(QKeyEvent* Event) {
  switch (Event->key()) {
    case Qt::Key_Up:
      UpDownClick(TUDBtnType::btNext);
      Event->accept();
      return;
    case Qt::Key_Down:
      UpDownClick(TUDBtnType::btPrev);
      Event->accept();
      return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      Event->ignore();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      // Not characters to type: the spin box takes the value and passes the key
      // on, so that Enter presses the dialog's default button and Escape cancels.
      QAbstractSpinBox::keyPressEvent(Event);
      return;
    default:
      break;
  }
  const bool editBlocked = !FEditorEnabled || isReadOnly();
  if (editBlocked && (Event->matches(QKeySequence::Paste) || Event->matches(QKeySequence::Cut) ||
                      Event->key() == Qt::Key_Delete || Event->key() == Qt::Key_Backspace)) {
    Event->accept();
    return;
  }
  const QString text = Event->text();
  if (!text.isEmpty() && !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const char32_t key = text.toUcs4().value(0);
    if (!IsValidChar(key)) {
      QApplication::beep();
      Event->accept();
      return;
    }
  }
  QAbstractSpinBox::keyPressEvent(Event);
}

void TDialSpinBase::focusInEvent(QFocusEvent* Event) {
  QAbstractSpinBox::focusInEvent(Event);
  if (!FAutoSelect) lineEdit()->deselect();
}

void TDialSpinBase::focusOutEvent(QFocusEvent* Event) {
  ClampOnExit();
  QAbstractSpinBox::focusOutEvent(Event);
}

void TDialSpinBase::resizeEvent(QResizeEvent* Event) {
  QAbstractSpinBox::resizeEvent(Event);
  PlaceDial();
}

void TDialSpinBase::PlaceDial() {
  FDial->setGeometry(std::max(0, width() - DialWidth), 0, DialWidth, height());
}

bool TDialSpinBase::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched != FDial) return QAbstractSpinBox::eventFilter(Watched, Event);
  switch (Event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(Event);
      if (e->button() == Qt::LeftButton && !isReadOnly()) {
        FLastY = int(e->position().y());
        FDial->SetPressed(true);
        FDial->setCursor(Qt::SplitVCursor);
      }
      return true;
    }
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(Event);
      if (FDial->Pressed() && (e->buttons() & Qt::LeftButton)) {
        const int y = int(e->position().y());
        if (y != FLastY) DialValue(int64_t(y) - FLastY);
        FLastY = y;
      }
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton && FDial->Pressed()) {
        FDial->SetPressed(false);
        FDial->setCursor(Qt::ArrowCursor);
      }
      return true;
    default:
      return false;
  }
}

// ---- whole numbers ----

TDialSpinEdit::TDialSpinEdit(QWidget* Parent) : TDialSpinBase(Parent) { SetValue(0); }

int64_t TDialSpinEdit::Value() const { return FRules.Read(Text().toStdString()); }

void TDialSpinEdit::SetValue(int64_t V) { SetText(QString::fromStdString(FRules.Write(V))); }

void TDialSpinEdit::SetShowSign(bool V) {
  const int64_t current = Value();
  FRules.ShowSign = V;
  SetValue(current);
}

void TDialSpinEdit::SetZeroSign(const QString& V) {
  const int64_t current = Value();
  FRules.ZeroSign = V.toStdString();
  SetValue(current);
}

void TDialSpinEdit::StepValue(int Direction) {
  SetValue(FRules.Clamp(SaturatingAdd(Value(), Direction > 0 ? FIncrement : -FIncrement)));
}

void TDialSpinEdit::DialValue(int64_t Pixels) {
  SetValue(SaturatingAdd(Value(), -SaturatingMul(Pixels, FDialIncrement)));
}

void TDialSpinEdit::ClampOnExit() {
  // Text that is no number at all is replaced too, so the field never shows
  // something other than the value the dialog will use.
  const int64_t read = Value();
  const int64_t clamped = FRules.Clamp(read);
  if (clamped != read || !FRules.Parses(Text().toStdString())) SetValue(clamped);
}

// ---- real numbers ----

TDialRealSpinEdit::TDialRealSpinEdit(QWidget* Parent) : TDialSpinBase(Parent) { SetValue(0); }

TSpinRealRules TDialRealSpinEdit::Rules() const {
  TSpinRealRules r = FRules;
  r.DecimalSeparator = DecimalSeparator();
  return r;
}

long double TDialRealSpinEdit::Value() const { return Rules().Read(Text().toStdString()); }

void TDialRealSpinEdit::SetValue(long double V) {
  SetText(QString::fromStdString(Rules().Write(V)));
}

void TDialRealSpinEdit::SetShowSign(bool V) {
  const long double current = Value();
  FRules.ShowSign = V;
  SetValue(current);
}

void TDialRealSpinEdit::StepValue(int Direction) {
  SetValue(FRules.Clamp(Value() + (Direction > 0 ? FIncrement : -FIncrement)));
}

void TDialRealSpinEdit::DialValue(int64_t Pixels) {
  SetValue(Value() - static_cast<long double>(Pixels) * FDialIncrement);
}

void TDialRealSpinEdit::ClampOnExit() {
  const long double read = Value();
  const long double clamped = FRules.Clamp(read);
  if (clamped != read || !Rules().Parses(Text().toStdString())) SetValue(clamped);
}
