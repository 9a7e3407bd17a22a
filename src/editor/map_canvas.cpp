#include "editor/map_canvas.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "editor/asset_browser.h"
#include "editor/map_edit2_form.h"
#include "map/raster/bitmap32.h"
#include "map/document/map_edit_layer_list.h"

TMapCanvas::TMapCanvas(TMapEdit2Form* Form, QWidget* Parent) : QWidget(Parent), FForm(Form) {
  setObjectName("PaintBox321");
  setMouseTracking(true);  // the door tool previews edges without a button held
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAcceptDrops(true);
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
  TRect mapRect = FZoom.ViewRectToMap(TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  TBitmap32 buffer;
  QPainter p(this);
  if (!FForm->PaintBox321PaintBuffer(buffer, mapRect)) {
    p.fillRect(r, palette().dark());
    return;
  }
  // Composed pixels are opaque where a layer covers them; RGB32 ignores alpha.
  const QImage image(reinterpret_cast<const uchar*>(buffer.Bits()), buffer.Width(), buffer.Height(),
                     buffer.Width() * 4, QImage::Format_RGB32);
  const double scale = FZoom.Percent() / 100.0;
  p.scale(scale, scale);
  p.drawImage(QPoint(mapRect.Left, mapRect.Top), image);
  if (FZoom.Percent() < 100) DrawShrunkGrid(p, mapRect);
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
  const QPointF pos = Event->position();
  FForm->PaintBox321MouseDown(ButtonOf(Event), Event->buttons() & Qt::LeftButton,
                              FZoom.ViewToMap(pos.x()), FZoom.ViewToMap(pos.y()));
}

void TMapCanvas::mouseMoveEvent(QMouseEvent* Event) {
  const QPointF pos = Event->position();
  FForm->PaintBox321MouseMove(Event->buttons() & Qt::LeftButton, FZoom.ViewToMap(pos.x()),
                              FZoom.ViewToMap(pos.y()));
}

void TMapCanvas::mouseReleaseEvent(QMouseEvent* Event) {
  const QPointF pos = Event->position();
  FForm->PaintBox321MouseUp(ButtonOf(Event), Event->buttons() & Qt::LeftButton,
                            FZoom.ViewToMap(pos.x()), FZoom.ViewToMap(pos.y()));
}

void TMapCanvas::wheelEvent(QWheelEvent* Event) {
  if (!(Event->modifiers() & Qt::ControlModifier)) {
    Event->ignore();  // the scroll area scrolls
    return;
  }
  const int dy = Event->angleDelta().y();
  if (dy > 0) FForm->SetZoomPercent(FZoom.NextIn());
  if (dy < 0) FForm->SetZoomPercent(FZoom.NextOut());
  Event->accept();
}

void TMapCanvas::dragEnterEvent(QDragEnterEvent* Event) {
  if (!TAssetBrowser::AssetFromMimeData(Event->mimeData()).isEmpty()) Event->acceptProposedAction();
}

void TMapCanvas::dragMoveEvent(QDragMoveEvent* Event) {
  if (!TAssetBrowser::AssetFromMimeData(Event->mimeData()).isEmpty()) Event->acceptProposedAction();
}

void TMapCanvas::dropEvent(QDropEvent* Event) {
  const QString asset = TAssetBrowser::AssetFromMimeData(Event->mimeData());
  if (asset.isEmpty()) return;
  const QPointF pos = Event->position();
  FForm->DropAsset(asset, FZoom.ViewToMap(pos.x()), FZoom.ViewToMap(pos.y()));
  Event->acceptProposedAction();
}
