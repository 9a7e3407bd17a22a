#include "editor/map_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"
#include "map/raster/bitmap32.h"

TMapCanvas::TMapCanvas(TMapEdit2Form* Form, QWidget* Parent) : QWidget(Parent), FForm(Form) {
  setObjectName("PaintBox321");
  setMouseTracking(true);  // the door tool previews edges without a button held
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);  // Space for dragging the view
  UpdateSize();
}

void TMapCanvas::SetMapPixelSize(int32_t Width, int32_t Height) {
  FMapWidth = std::max(0, Width);
  FMapHeight = std::max(0, Height);
  UpdateSize();
  update();
}

void TMapCanvas::SetZoomPercent(int32_t Percent) {
  FZoom.SetPercent(Percent);
  UpdateSize();
  update();
}

void TMapCanvas::UpdateSize() { resize(FZoom.MapToView(FMapWidth), FZoom.MapToView(FMapHeight)); }

void TMapCanvas::paintEvent(QPaintEvent* Event) {
  const QRect r = Event->rect();
  const TRect mapRect =
      FZoom.ViewRectToMap(TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  QPainter p(this);
  const double scale = FZoom.Percent() / 100.0;
  p.scale(scale, scale);
  // Zoomed out on a large map the exposed part holds many map pixels: it is
  // composed in bands of at most kBandPixels, so the buffer stays small.
  constexpr int64_t kBandPixels = int64_t(1) << 22;
  const int32_t rows = int32_t(std::max<int64_t>(1, kBandPixels / std::max(1, mapRect.Width())));
  TRect drawn{0, 0, 0, 0};
  TBitmap32 buffer;
  for (int32_t top = mapRect.Top; top < mapRect.Bottom; top += rows) {
    TRect band{mapRect.Left, top, mapRect.Right, std::min(mapRect.Bottom, top + rows)};
    if (!FForm->PaintBox321PaintBuffer(buffer, band)) break;
    // Composed pixels are opaque where a layer covers them; RGB32 ignores alpha.
    const QImage image(reinterpret_cast<const uchar*>(buffer.Bits()), buffer.Width(),
                       buffer.Height(), buffer.Width() * 4, QImage::Format_RGB32);
    p.drawImage(QPoint(band.Left, band.Top), image);
    drawn = drawn.IsEmpty() ? band : TRect{drawn.Left, drawn.Top, band.Right, band.Bottom};
  }
  if (drawn.IsEmpty()) {
    p.resetTransform();
    p.fillRect(r, palette().dark());
    return;
  }
  if (FZoom.Percent() < 100) DrawShrunkGrid(p, drawn);
}

void TMapCanvas::DrawShrunkGrid(QPainter& Painter, const TRect& MapRect) {
  // Scaled down, most one-pixel grid lines of the composed image fall between
  // view pixels; draw them again as one-pixel view lines.
  const TMapEditLayerList* doc = FForm->Document();
  if (!doc || doc->ChipSize() <= 0) return;
  const double scale = FZoom.Percent() / 100.0;
  Painter.resetTransform();
  Painter.setPen(QPen(QColor::fromRgb(0xFF7F7F7F), 0));
  const double top = MapRect.Top * scale, bottom = MapRect.Bottom * scale;
  const double left = MapRect.Left * scale, right = MapRect.Right * scale;
  for (int32_t x : GridLinePositions(FMapWidth, doc->ChipSize()))
    if (x >= MapRect.Left && x < MapRect.Right)
      Painter.drawLine(QPointF(x * scale, top), QPointF(x * scale, bottom));
  for (int32_t y : GridLinePositions(FMapHeight, doc->ChipSize()))
    if (y >= MapRect.Top && y < MapRect.Bottom)
      Painter.drawLine(QPointF(left, y * scale), QPointF(right, y * scale));
}

namespace {

TMouseButton ButtonOf(const QMouseEvent* E) {
  if (E->button() == Qt::RightButton) return TMouseButton::Right;
  if (E->button() == Qt::LeftButton) return TMouseButton::Left;
  return TMouseButton::Middle;
}

}  // namespace

void TMapCanvas::mousePressEvent(QMouseEvent* Event) {
  const bool spaceDrag = FSpaceHeld && Event->button() == Qt::LeftButton;
  if (Event->button() == Qt::MiddleButton || spaceDrag) {
    FPanning = true;
    FPanFrom = Event->globalPosition();
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  const QPointF pos = Event->position();
  FForm->PaintBox321MouseDown(ButtonOf(Event), Event->buttons() & Qt::LeftButton,
                              FZoom.ViewToMap(pos.x()), FZoom.ViewToMap(pos.y()));
}

void TMapCanvas::mouseMoveEvent(QMouseEvent* Event) {
  const QPointF pos = Event->position();
  if (FPanning) {
    const QPointF now = Event->globalPosition();
    const QPointF d = FPanFrom - now;
    FPanFrom = now;
    FForm->PanBy(int32_t(d.x()), int32_t(d.y()));
    return;
  }
  const int32_t x = FZoom.ViewToMap(pos.x()), y = FZoom.ViewToMap(pos.y());
  FForm->ShowPointer(x, y);
  FForm->PaintBox321MouseMove(Event->buttons() & Qt::LeftButton, x, y);
}

void TMapCanvas::mouseReleaseEvent(QMouseEvent* Event) {
  if (FPanning) {
    if (Event->buttons() & (Qt::MiddleButton | Qt::LeftButton)) return;
    FPanning = false;
    setCursor(FSpaceHeld ? Qt::OpenHandCursor : Qt::ArrowCursor);
    return;
  }
  const QPointF pos = Event->position();
  FForm->PaintBox321MouseUp(ButtonOf(Event), Event->buttons() & Qt::LeftButton,
                            FZoom.ViewToMap(pos.x()), FZoom.ViewToMap(pos.y()));
}

void TMapCanvas::wheelEvent(QWheelEvent* Event) {
  const QPoint delta = Event->angleDelta();
  if (Event->modifiers() & Qt::ControlModifier) {
    // Zoom about the pointer: the map point under it stays under it.
    const QPoint at = mapTo(parentWidget(), Event->position().toPoint());
    if (delta.y() > 0) FForm->SetZoomPercent(FZoom.NextIn(), at);
    if (delta.y() < 0) FForm->SetZoomPercent(FZoom.NextOut(), at);
  } else {
    // One notch (120) scrolls 60 view pixels; Shift turns it sideways.
    const bool sideways = Event->modifiers() & Qt::ShiftModifier;
    const int32_t dy = -delta.y() / 2, dx = -delta.x() / 2;
    if (sideways)
      FForm->PanBy(dy != 0 ? dy : dx, 0);
    else
      FForm->PanBy(dx, dy);
  }
  Event->accept();
}

void TMapCanvas::keyPressEvent(QKeyEvent* Event) {
  if (Event->key() == Qt::Key_Space) {
    if (!Event->isAutoRepeat()) {
      FSpaceHeld = true;
      if (!FPanning) setCursor(Qt::OpenHandCursor);
    }
    Event->accept();
    return;
  }
  QWidget::keyPressEvent(Event);
}

void TMapCanvas::keyReleaseEvent(QKeyEvent* Event) {
  if (Event->key() == Qt::Key_Space) {
    if (!Event->isAutoRepeat()) {
      FSpaceHeld = false;
      if (!FPanning) setCursor(Qt::ArrowCursor);
    }
    Event->accept();
    return;
  }
  QWidget::keyReleaseEvent(Event);
}

void TMapCanvas::enterEvent(QEnterEvent* Event) {
  // The canvas takes the keyboard while the pointer is over it, for Space; a
  // window in the background is left alone.
  if (window()->isActiveWindow()) setFocus(Qt::MouseFocusReason);
  QWidget::enterEvent(Event);
}

void TMapCanvas::leaveEvent(QEvent* Event) {
  FForm->ShowPointer(-1, -1);
  QWidget::leaveEvent(Event);
}
