#include "dialogs/chip_image_view.h"

#include <QMouseEvent>
#include <QPainter>

TChipImageView::TChipImageView(QWidget* Parent) : QWidget(Parent) {}

void TChipImageView::SetImage(const QImage& Image) {
  FImage = Image;
  setFixedSize(Image.size());
  update();
}

void TChipImageView::SetMark(const QRect& Mark) {
  FMark = Mark;
  update();
}

void TChipImageView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, FImage);
  if (!FMark.isEmpty()) {
    p.setPen(QPen(Qt::red, 1, Qt::DashLine));
    p.drawRect(FMark.adjusted(0, 0, -1, -1));
  }
}

void TChipImageView::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return;
  const QPoint p = Event->position().toPoint();
  emit LeftReleased(p.x(), p.y());
}
