// The window's view: composing the canvas, grid and bands, the map size, zoom,
// mode mirroring and the layer button glyphs.

#include <QAction>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "editor/prop_tool.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"

namespace {
constexpr TColor32 kGridColor = 0xFF7F7F7F;
constexpr TColor32 kFreeDoorLineColor = 0xFFFFFFFF;
}  // namespace

int32_t TMapEdit2Form::CanvasWidth() const { return FCanvas->MapPixelWidth(); }
int32_t TMapEdit2Form::CanvasHeight() const { return FCanvas->MapPixelHeight(); }

bool TMapEdit2Form::PaintBox321PaintBuffer(TBitmap32& Buffer, TRect& MapRect) {
  if (!FDocument || FDocument->ChipSize() <= 0 || FDocument->Count() == 0) return false;
  const TRect clip = IntersectRect(MapRect, TRect{0, 0, CanvasWidth(), CanvasHeight()});
  if (clip.IsEmpty()) return false;
  MapRect = clip;
  Buffer.SetSize(clip.Width(), clip.Height());
  Buffer.Clear(0);
  // Layers unticked in the list are left out of the view (only of the view).
  TComposeOptions options = ViewComposeOptions();
  options.Props = &FPropTool->Scene();
  for (int32_t i = 0; i < FLayerList->count(); ++i)
    if (!LayerShown(i)) {
      options.HiddenLayers.resize(size_t(FDocument->Count()), false);
      if (i + 1 < FDocument->Count()) options.HiddenLayers[size_t(i + 1)] = true;
    }
  ComposeMap(*FDocument, Buffer, clip, 0, 0, options);

  // Grid lines of the whole canvas that cross the composed part, unblended.
  const int32_t C = FDocument->ChipSize();
  for (int32_t x : GridLinePositions(CanvasWidth(), C))
    if (x >= clip.Left && x < clip.Right)
      Buffer.DrawLine(x - clip.Left, 0, x - clip.Left, Buffer.Height(), kGridColor, false);
  for (int32_t y : GridLinePositions(CanvasHeight(), C))
    if (y >= clip.Top && y < clip.Bottom)
      Buffer.DrawLine(0, y - clip.Top, Buffer.Width(), y - clip.Top, kGridColor, false);

  // The rubber band, door preview or free-door line.
  const TEditTools tools = Tools();
  const bool door = tools.Tool == TEditTool::Door;
  if (FBandStart.X >= 0 &&
      (tools.Tool == TEditTool::Rect || tools.Tool == TEditTool::Ellipse || door)) {
    if (!tools.Chip && door) {
      Buffer.DrawLineBlended(FBandStart.X - clip.Left, FBandStart.Y - clip.Top,
                             FBandEnd.X - clip.Left, FBandEnd.Y - clip.Top, kFreeDoorLineColor,
                             false);
    } else {
      const TRect box = BandFrameBox(FBandStart, FBandEnd, tools.Chip && !door, C);
      DrawBandFrame(Buffer, box, clip.Left, clip.Top);
    }
  }
  // The frames and handles of the selected props.
  FPropTool->DrawOverlay(Buffer, clip.Left, clip.Top);
  DrawObjectOverlay(Buffer, clip);
  return true;
}

void TMapEdit2Form::SetMapSize(int32_t Width, int32_t Height, int32_t ChipSize) {
  if (!FDocument) return;
  FDocument->SetSize(Width, Height, ChipSize);
  SetStatus(1, FTexts.ChipSize.arg(ChipSize));
  SetStatus(2, FTexts.Tiles.arg(Width).arg(Height));
  if (FDocument->Count() == 0)
    FCanvas->SetMapPixelSize(0, 0);
  else
    FCanvas->SetMapPixelSize(Width * ChipSize, Height * ChipSize);
}

void TMapEdit2Form::SetZoomPercent(int32_t Percent, std::optional<QPoint> Anchor) {
  // Keep the map point under the anchor (the pointer, or the middle of the view)
  // where it was. The canvas sits at its offset inside the viewport when it is
  // smaller than the view.
  QScrollBar* h = FScroll->horizontalScrollBar();
  QScrollBar* v = FScroll->verticalScrollBar();
  const QSize view = FScroll->viewport()->size();
  const QPoint at = Anchor.value_or(QPoint(view.width() / 2, view.height() / 2));
  const QPoint offset = FCanvas->pos();
  const double old = FCanvas->Zoom().Percent();
  const double cx = (at.x() - offset.x()) / old;
  const double cy = (at.y() - offset.y()) / old;
  FCanvas->SetZoomPercent(Percent);
  const double now = FCanvas->Zoom().Percent();
  h->setValue(int(cx * now - at.x()));
  v->setValue(int(cy * now - at.y()));
  SetStatus(5, FTexts.Zoom.arg(FCanvas->Zoom().Percent()));
}

void TMapEdit2Form::PanBy(int32_t DX, int32_t DY) {
  QScrollBar* h = FScroll->horizontalScrollBar();
  QScrollBar* v = FScroll->verticalScrollBar();
  h->setValue(h->value() + DX);
  v->setValue(v->value() + DY);
}

void TMapEdit2Form::ShowPointer(int32_t X, int32_t Y) {
  if (!FDocument || X < 0 || Y < 0 || X >= CanvasWidth() || Y >= CanvasHeight() ||
      FDocument->ChipSize() <= 0) {
    SetStatus(4, QString());
    return;
  }
  const TPoint cell = FDocument->PixelToCell(X, Y);
  SetStatus(4, FTexts.Position.arg(cell.X).arg(cell.Y).arg(X).arg(Y));
}

void TMapEdit2Form::ZoomToFit() {
  const QSize view = FScroll->viewport()->size();
  SetZoomPercent(TZoom::FitPercent(CanvasWidth(), CanvasHeight(), view.width(), view.height()));
}

void TMapEdit2Form::SelectModeExecute(QAction* Sender) {
  // The panel buttons follow their commands' check state on their own.
  if (Sender) Sender->setChecked(true);
  Invalidate();
}

void TMapEdit2Form::LayerModeExecute() {
  UpdateLayerButtons();
  Invalidate();
}

void TMapEdit2Form::UpdateLayerButtons() {
  if (!FDocument) return;
  const int32_t index = FLayerList->currentRow();
  if (index + 1 >= FDocument->Count()) return;
  QImage glyph(32, 32, QImage::Format_RGB32);
  glyph.fill(Qt::black);
  if (index >= 0) {
    // The top-left corner of the selected layer's image, copied opaquely.
    const TLayerImage& image = std::as_const(*FDocument->Layers(index + 1)).Image();
    for (int32_t y = 0; y < std::min(32, image.Height()); ++y)
      for (int32_t x = 0; x < std::min(32, image.Width()); ++x)
        glyph.setPixel(x, y, image.Pixel(x, y) | 0xFF000000u);
    FFloorButton->setIcon(QIcon(QPixmap::fromImage(glyph)));
  }
  QImage wall(32, 32, QImage::Format_RGB32);
  wall.fill(Qt::black);
  FWallButton->setIcon(QIcon(QPixmap::fromImage(wall)));
}

QIcon TMapEdit2Form::FloorGlyph() const { return FFloorButton->icon(); }
QIcon TMapEdit2Form::WallGlyph() const { return FWallButton->icon(); }
