#pragma once
// The whole image of the map chip dialog at 1:1; reports where the left mouse
// button is released.

#include <QImage>
#include <QWidget>

class TChipImageView : public QWidget {
  Q_OBJECT

 public:
  explicit TChipImageView(QWidget* Parent = nullptr);
  void SetImage(const QImage& Image);
  // Frames the chosen chip so the user sees what the click picked.
  void SetMark(const QRect& Mark);

 signals:
  void LeftReleased(int X, int Y);

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

 private:
  QImage FImage;
  QRect FMark;
};
