// The canvas's mouse handling: tools, bands, door edges and undo records.

#include <QAction>
#include <QListWidget>
#include <QToolButton>
#include <algorithm>

#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"
#include "map/undo/undo_history.h"

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

int32_t TMapEdit2Form::CurrentLayer() const {
  if (!Checked("Pen1")) return 0;
  return FLayerList->currentRow() + 1;
}

void TMapEdit2Form::ClearBand() {
  FBandStart = kNoBand;
  FBandEnd = kNoBand;
}

void TMapEdit2Form::PushMapRefreshUndo() {
  FUndo->PushUndo(*FDocument, mutMapRefresh, TPoint{}, TPoint{}, 0);
  SetModified(true);
}

void TMapEdit2Form::PaintChipAt(int32_t CX, int32_t CY) {
  FDocument->PaintChip(CX, CY, CurrentLayer());
  Invalidate();
}

void TMapEdit2Form::FreeHandPaint(int32_t X, int32_t Y, int32_t CX, int32_t CY) {
  const int32_t r = PenRadius();
  FDocument->PaintCircle(X, Y, r, CurrentLayer());
  if (Checked("EndDef1")) {
    if (!FTouchedCells) FTouchedCells = std::make_unique<TRecordList>();
    RecordTouchedCells(*FTouchedCells, X, Y, CX, CY, r, FDocument->ChipSize());
  }
  Invalidate();
}

void TMapEdit2Form::PaintBox321MouseDown(TMouseButton Button, bool LeftHeld, int32_t X, int32_t Y) {
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
  const TPoint cell = FDocument->PixelToCell(X, Y);
  FDocument->DrawShadeOnlyCell = Checked("NoneDef1");
  FDocument->FastDraw = !Checked("AlwaysSlow");
  const bool chip = Checked("Chip1");
  if (Checked("Door1")) {
    if (chip) {
      const TDoorEdge e = HitDoorEdge(X, Y, FDocument->ChipSize(), CanvasWidth(), CanvasHeight());
      if (!e.Valid()) return;
      FUndo->PushUndo(*FDocument, mutAddDoor, TPoint{e.X, e.Y}, TPoint{e.Horizontal ? 1 : 0, 0},
                      DoorColor());
      FDocument->ToggleDoor(e.X, e.Y, e.Horizontal, DoorColor());
      SetModified(true);
      Invalidate();
    } else {
      FBandStart = FBandEnd = TPoint{X, Y};
    }
  } else if (Checked("Pencil1")) {
    PushMapRefreshUndo();
    if (chip) {
      PaintChipAt(cell.X, cell.Y);
    } else {
      if (!FTouchedCells) FTouchedCells = std::make_unique<TRecordList>();
      FTouchedCells->Clear();
      if (Checked("EndDef1")) FDocument->DrawShadeOnlyCell = true;
      FreeHandPaint(X, Y, cell.X, cell.Y);
    }
  } else if (Checked("Rect1") || Checked("Ellipse1")) {
    FBandStart = FBandEnd = chip ? cell : TPoint{X, Y};
    Invalidate();
  }
}

void TMapEdit2Form::PaintBox321MouseMove(bool LeftHeld, int32_t X, int32_t Y) {
  if (!FDocument || FLayerList->currentRow() < 0) return;
  if (X < 0 || Y < 0 || X >= CanvasWidth() || Y >= CanvasHeight()) return;
  const bool chip = Checked("Chip1");
  const int32_t C = FDocument->ChipSize();
  if (LeftHeld) {
    const TPoint cell = FDocument->PixelToCell(X, Y);
    if (Checked("Door1")) {
      if (!chip && FBandStart.X >= 0) {
        FBandEnd = TPoint{X, Y};
        Invalidate();
      }
    } else if (Checked("Pencil1")) {
      if (chip)
        PaintChipAt(cell.X, cell.Y);
      else
        FreeHandPaint(X, Y, cell.X, cell.Y);
    } else if ((Checked("Rect1") || Checked("Ellipse1")) && !(FBandStart == kNoBand)) {
      if (chip) {
        if (cell == FBandEnd) return;
        FBandEnd = cell;
      } else {
        FBandEnd = TPoint{X, Y};
      }
      Invalidate();
    }
    return;
  }
  if (!(Checked("Door1") && chip)) return;
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
  const bool chip = Checked("Chip1");
  if (Checked("Door1")) {
    if (chip || FBandStart.X < 0) return;
    if (FBandStart == FBandEnd) {
      // A click: delete the free doors near it, recording them when any went.
      TMapEditCustomDoorList before;
      before.Assign(&FDocument->Doors().FreeDoor());
      FDocument->DeleteFreeDoorsAt(FBandStart.X, FBandStart.Y);
      if (FDocument->Doors().FreeDoor().Count() != before.Count()) {
        FUndo->PushFreeDoorUndo(before);
        SetModified(true);
      }
    } else {
      FDocument->AddFreeDoor(FBandStart.X, FBandStart.Y, X, Y, DoorColor());
      FUndo->PushUndo(*FDocument, mutAddFreeDoor, FBandStart, TPoint{X, Y}, DoorColor());
      SetModified(true);
    }
    ClearBand();
    Invalidate();
  } else if ((Checked("Rect1") || Checked("Ellipse1")) && !(FBandStart == kNoBand)) {
    TPoint a = FBandStart, b = FBandEnd;
    if (b.Y < a.Y) std::swap(a.Y, b.Y);
    if (b.X < a.X) std::swap(a.X, b.X);
    PushMapRefreshUndo();
    const int32_t layer = CurrentLayer();
    if (Checked("Rect1")) {
      if (chip)
        FDocument->FillRectChips(a.X, a.Y, b.X, b.Y, layer);
      else
        FDocument->FillRectPixels(a.X, a.Y, b.X, b.Y, layer);
    } else {
      if (chip)
        FDocument->EllipseChips(a.X, a.Y, b.X, b.Y, layer);
      else
        FDocument->EllipsePixels(a.X, a.Y, b.X, b.Y, layer);
    }
    ClearBand();
    Invalidate();
  } else if (Checked("Pencil1") && !chip && Checked("EndDef1")) {
    FDocument->DrawShadeOnlyCell = false;
    if (FTouchedCells) {
      FDocument->RedrawCells(*FTouchedCells);
      FTouchedCells->Clear();
    }
    Invalidate();
  } else if (Checked("Fill1")) {
    if (X < 0 || Y < 0 || X >= CanvasWidth() || Y >= CanvasHeight()) return;
    PushMapRefreshUndo();
    FDocument->FloodFill(X, Y, CurrentLayer());
    Invalidate();
  }
}
