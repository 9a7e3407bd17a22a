#pragma once
// The drawing surface inside the scroll area. It shows the map at the window's
// zoom, asks the window to compose only the exposed part, and reports mouse
// events in map pixels so that every tool works the same at any zoom. Dragging
// with the middle button, or with Space held, moves the view instead; the wheel
// scrolls (Shift: sideways) and zooms about the pointer with Ctrl.

#include <QWidget>
#include <cstdint>

#include "editor/canvas_geometry.h"

class QPainter;
class TMapEdit2Form;

class TMapCanvas : public QWidget {
  Q_OBJECT
 public:
  TMapCanvas(TMapEdit2Form* Form, QWidget* Parent);

  // The map's pixel size (0 x 0 without a map) and the zoom; the widget takes the
  // zoomed size.
  void SetMapPixelSize(int32_t Width, int32_t Height);
  int32_t MapPixelWidth() const { return FMapWidth; }
  int32_t MapPixelHeight() const { return FMapHeight; }
  const TZoom& Zoom() const { return FZoom; }
  void SetZoomPercent(int32_t Percent);

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void wheelEvent(QWheelEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void keyReleaseEvent(QKeyEvent* Event) override;
  void enterEvent(QEnterEvent* Event) override;
  void leaveEvent(QEvent* Event) override;

 private:
  void UpdateSize();
  void DrawShrunkGrid(QPainter& Painter, const TRect& MapRect);

  // Whether the view is being dragged (middle button, or left with Space held),
  // and the last pointer position of the drag in global coordinates.
  bool FPanning = false;
  bool FSpaceHeld = false;
  QPointF FPanFrom;

  TMapEdit2Form* FForm;
  int32_t FMapWidth = 0;
  int32_t FMapHeight = 0;
  TZoom FZoom;
};
