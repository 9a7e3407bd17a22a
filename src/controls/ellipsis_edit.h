#pragma once
// A one-line text field with an ellipsis ("…") button at its right end that asks
// the owner to browse for a value. The button is the line edit's trailing action,
// so typed text never runs under it; a disabled edit shows the dots embossed and
// its button cannot be clicked.

#include <QLineEdit>

class QAction;

class TEllipsisEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TEllipsisEdit(QWidget* Parent = nullptr);

  QString EllipsisHint() const;
  void SetEllipsisHint(const QString& Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }

  // The button as an action (for tests and keyboard shortcuts).
  QAction* EllipsisAction() const { return FAction; }
  // The three-dot pictures for the enabled and disabled states.
  static QPixmap DotsPixmap(const QPalette& Palette, bool Enabled, int Size = 16);

  QSize sizeHint() const override;

 signals:
  // Raised when the button is clicked (OnEllipsisClick).
  void EllipsisClick();

 protected:
  void focusInEvent(QFocusEvent* Event) override;
  void changeEvent(QEvent* Event) override;

 private:
  void UpdateIcon();

  QAction* FAction;
  bool FAutoSelect = true;
};
