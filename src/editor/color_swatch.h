#pragma once
// The door colour swatch of the side panel. It holds a platform colour
// (0x00BBGGRR or a system colour reference). A left click asks for a new colour;
// releasing the right button (with the left one up) resets it to the button-face
// colour, which stands for the default door colour.

#include <QFrame>

#include "map/base/color.h"

class TColorSwatch : public QFrame {
  Q_OBJECT
 public:
  explicit TColorSwatch(QWidget* Parent = nullptr);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);

 signals:
  void LeftClicked();

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

 private:
  TColor FColor = 0x00FFFFFF;
};
