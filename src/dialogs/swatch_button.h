#pragma once
// A small framed colour box that reports clicks: the current colour and the quick
// colours of the layer dialog.

#include <QFrame>

#include "map/base/color.h"

class TSwatchButton : public QFrame {
  Q_OBJECT

 public:
  explicit TSwatchButton(TColor Color, QWidget* Parent = nullptr);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // The colour as shown: the platform colour's red, green and blue bytes.
  static QColor ToQColor(TColor Value);

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

 private:
  TColor FColor;
};
