#pragma once
// The narrow dial knob of the spin edits: a raised panel with a small diamond,
// shown lowered while the user drags it.

#include <QFrame>

class TDireDrawPanel : public QFrame {
  Q_OBJECT

 public:
  explicit TDireDrawPanel(QWidget* Parent = nullptr);

  bool Pressed() const { return FPressed; }
  void SetPressed(bool Value);

  QSize sizeHint() const override { return QSize(9, 18); }

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  bool FPressed = false;
};
