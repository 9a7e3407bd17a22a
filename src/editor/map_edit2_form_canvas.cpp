// The canvas's mouse handling: turns presses, drags and releases into the edit
// session's operations, and keeps the rubber band and the door hover preview.

#include <QAction>
#include <QGuiApplication>
#include <QListWidget>
#include <QToolButton>
#include <algorithm>

#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"

namespace {
constexpr TPoint kNoBand{-1, -1};
}

int32_t TMapEdit2Form::PenRadius() const {
  for (int32_t i = 0; i < 3; ++i)
    if (FPenButtons[i]->isChecked()) return 2 + 2 * i;
  return 8;
}

void TMapEdit2Form::SetPenSize(int32_t Index) {
  FPenButtons[std::clamp(Index, 0, 3)]->setChecked(true);
}

TEditTools TMapEdit2Form::Tools() const {
  // A name that is not a command is a programming error, stopped at once rather
  // than read as an unchecked command.
  auto on = [this](const char* Name) {
    QAction* a = Action(Name);
    if (!a) qFatal("no command named %s", Name);
    return a->isChecked();
  };
  TEditTools t;
  t.Wall = !on("Pen1");
  t.Chip = on("Chip1");
  t.Tool = on("Door1")      ? TEditTool::Door
           : on("Rect1")    ? TEditTool::Rect
           : on("Ellipse1") ? TEditTool::Ellipse
           : on("Fill1")    ? TEditTool::Fill
                            : TEditTool::Pencil;
  t.PenRadius = PenRadius();
  t.Shade = on("HighDef1")  ? TShadeMode::Always
            : on("EndDef1") ? TShadeMode::AtStrokeEnd
                            : TShadeMode::None;
  t.FastDraw = on("AlwaysSlow") ? TFastDrawMode::AlwaysSlow
               : on("SaveFact") ? TFastDrawMode::SlowOnlyForOutput
                                : TFastDrawMode::AlwaysFast;
  return t;
}

int32_t TMapEdit2Form::CurrentLayer() const {
  if (Tools().Wall) return 0;
  return FLayerList->currentRow() + 1;
}

const TRecordList* TMapEdit2Form::TouchedCells() const { return &FSession->TouchedCells(); }

void TMapEdit2Form::ClearBand() {
  FBandStart = kNoBand;
  FBandEnd = kNoBand;
}

void TMapEdit2Form::PaintBox321MouseDown(TMouseButton Button, bool LeftHeld, int32_t X, int32_t Y) {
  if (PropMouse(0, Button, X, Y, QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)) return;
  if (FDocument && ObjectMouseDown(Button, X, Y)) return;
  if (!FDocument || FLayerList->currentRow() < 0) return;
  if (Button == TMouseButton::Middle) return;
  if (Button == TMouseButton::Right) {
    if (LeftHeld) {
      // A right click during a drag cancels the band without editing.
      ClearBand();
      Invalidate();
      return;
    }
    const int32_t L = FDocument->PixelLayers(X, Y);
    if (L != 0 && L - 1 < FLayerList->count()) {
      FLayerList->setCurrentRow(L - 1);
      UpdateLayerButtons();
      Action("Pen1")->setChecked(true);
    } else {
      Action("Wall1")->setChecked(true);
    }
    SelectModeExecute(nullptr);
    return;
  }
  // Left button. A press outside the map (possible at the rounded edge of a
  // zoomed canvas) edits nothing.
  if (X < 0 || Y < 0 || X >= CanvasWidth() || Y >= CanvasHeight()) return;
  const TEditTools tools = Tools();
  FSession->ApplyDrawModes(tools);
  switch (tools.Tool) {
    case TEditTool::Door:
      if (tools.Chip) {
        const TDoorEdge e = HitDoorEdge(X, Y, FDocument->ChipSize(), CanvasWidth(), CanvasHeight());
        if (!e.Valid()) return;
        FSession->ToggleDoor(tools, e.X, e.Y, e.Horizontal, DoorColor());
        SetModified(true);
        Invalidate();
      } else {
        FBandStart = FBandEnd = TPoint{X, Y};
      }
      break;
    case TEditTool::Pencil:
      FSession->BeginStroke(tools, CurrentLayer(), X, Y);
      SetModified(true);
      Invalidate();
      break;
    case TEditTool::Rect:
    case TEditTool::Ellipse:
      FBandStart = FBandEnd = tools.Chip ? FDocument->PixelToCell(X, Y) : TPoint{X, Y};
      Invalidate();
      break;
    case TEditTool::Fill:
      break;
  }
}

void TMapEdit2Form::PaintBox321MouseMove(bool LeftHeld, int32_t X, int32_t Y) {
  if (PropMouse(1, TMouseButton::Left, X, Y,
                QGuiApplication::keyboardModifiers() & Qt::ShiftModifier))
    return;
  if (FDocument && ObjectMouseMove(LeftHeld, X, Y)) return;
  if (!FDocument || FLayerList->currentRow() < 0) return;
  if (X < 0 || Y < 0 || X >= CanvasWidth() || Y >= CanvasHeight()) return;
  const TEditTools tools = Tools();
  const int32_t C = FDocument->ChipSize();
  if (LeftHeld) {
    switch (tools.Tool) {
      case TEditTool::Door:
        if (!tools.Chip && FBandStart.X >= 0) {
          FBandEnd = TPoint{X, Y};
          Invalidate();
        }
        break;
      case TEditTool::Pencil:
        if (!FSession->InStroke()) SetModified(true);
        FSession->ContinueStroke(tools, CurrentLayer(), X, Y);
        Invalidate();
        break;
      case TEditTool::Rect:
      case TEditTool::Ellipse:
        if (FBandStart == kNoBand) break;
        if (tools.Chip) {
          const TPoint cell = FDocument->PixelToCell(X, Y);
          if (cell == FBandEnd) return;
          FBandEnd = cell;
        } else {
          FBandEnd = TPoint{X, Y};
        }
        Invalidate();
        break;
      case TEditTool::Fill:
        break;
    }
    return;
  }
  if (!(tools.Tool == TEditTool::Door && tools.Chip)) return;
  // Hover preview of the edge a click would toggle.
  const TDoorEdge e = HitDoorEdge(X, Y, C, CanvasWidth(), CanvasHeight());
  if (e.Valid()) {
    if (e.Horizontal) {
      FBandStart = TPoint{e.X * C, e.Y * C - 2};
      FBandEnd = TPoint{e.X * C + C, e.Y * C + 2};
    } else {
      FBandStart = TPoint{e.X * C - 2, e.Y * C};
      FBandEnd = TPoint{e.X * C + 2, e.Y * C + C};
    }
    Invalidate();
  } else if (FBandStart.X >= 0) {
    ClearBand();
    Invalidate();
  }
}

void TMapEdit2Form::PaintBox321MouseUp(TMouseButton Button, bool /*LeftHeld*/, int32_t X,
                                       int32_t Y) {
  if (PropMouse(2, Button, X, Y, QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)) return;
  if (FDocument && ObjectMouseUp(Button, X, Y)) return;
  if (FLayerList->currentRow() < 0) {
    if (FLayerList->count() == 0 && FDocument) {
      const QString text =
          FNoLayerPrompt.isEmpty()
              ? QString("レイヤーなしではマップは編集できません。今からレイヤーを作りますか？")
              : FNoLayerPrompt;
      if (FDialogs->AskYesNo(this, text)) AddLayer1Execute();
    }
    return;
  }
  if (!FDocument || Button != TMouseButton::Left) return;
  const TEditTools tools = Tools();
  // A stroke ends with the button, whatever the tool is by now.
  if (FSession->InStroke()) {
    FSession->EndStroke();
    Invalidate();
  }
  switch (tools.Tool) {
    case TEditTool::Door:
      if (tools.Chip || FBandStart.X < 0) return;
      if (FBandStart == FBandEnd) {
        // A click: delete the free doors near it.
        if (FSession->EraseFreeDoorsAt(tools, FBandStart.X, FBandStart.Y)) SetModified(true);
      } else {
        FSession->AddFreeDoor(tools, FBandStart, TPoint{X, Y}, DoorColor());
        SetModified(true);
      }
      ClearBand();
      Invalidate();
      break;
    case TEditTool::Rect:
    case TEditTool::Ellipse:
      if (FBandStart == kNoBand) return;
      FSession->PaintShape(tools, CurrentLayer(), FBandStart, FBandEnd);
      SetModified(true);
      ClearBand();
      Invalidate();
      break;
    case TEditTool::Fill:
      if (X < 0 || Y < 0 || X >= CanvasWidth() || Y >= CanvasHeight()) return;
      FSession->Fill(tools, CurrentLayer(), X, Y);
      SetModified(true);
      Invalidate();
      break;
    case TEditTool::Pencil:
      break;
  }
}
