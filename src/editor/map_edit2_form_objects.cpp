// The canvas tools for map objects: placing labels, room numbers, lights and
// windows, selecting and dragging objects, their properties and deletion, and
// what the view draws for them (light handles, the selection). Every change goes
// through the edit session, one undo step each.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "editor/canvas_geometry.h"
#include "editor/map_edit2_form.h"
#include "map/compose/object_bounds.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"
#include "map/objects/object_move.h"

namespace {

constexpr TColor32 kHandleColor = 0xFFFFD040;
constexpr TColor32 kHandleFrame = 0xFF000000;
constexpr TColor32 kRadiusColor = 0xC0FFD040;

// The next room number: one more than the largest label that is a plain number.
int32_t NextRoomNumber(const TMapObjectList& Objects) {
  int32_t best = 0;
  for (const TMapObject& o : Objects.Items()) {
    TMapLabel l;
    if (o.Type != TMapLabel::kType || !TMapLabel::FromObject(o, l, nullptr)) continue;
    if (l.Text.empty() || l.Text.size() > 6 ||
        !std::all_of(l.Text.begin(), l.Text.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    best = std::max(best, std::stoi(l.Text));
  }
  return best + 1;
}

void DrawCircle(TBitmap32& B, double CX, double CY, double R, TColor32 C) {
  const int steps = std::clamp(int(R / 2), 24, 720);
  for (int i = 0; i < steps; ++i) {
    const double a0 = 6.283185307179586 * i / steps, a1 = 6.283185307179586 * (i + 1) / steps;
    B.DrawLineBlended(int32_t(std::lround(CX + R * std::cos(a0))),
                      int32_t(std::lround(CY + R * std::sin(a0))),
                      int32_t(std::lround(CX + R * std::cos(a1))),
                      int32_t(std::lround(CY + R * std::sin(a1))), C, false);
  }
}

}  // namespace

const char* const TMapEdit2Form::kObjectTools[5] = {"ObjectSelect1", "Label1", "RoomNumber1",
                                                    "Light1", "Window1"};

void TMapEdit2Form::CreateObjectCommands() {
  for (const char* name : kObjectTools)
    connect(Action(name), &QAction::triggered, this, [this, name] {
      SelectModeExecute(Action(name));
      if (QString(name) != "ObjectSelect1") FObjectEdit.Selection.clear();
    });
  connect(Action("ObjectProps1"), &QAction::triggered, this, [this] { ObjectProps1Execute(); });
  connect(Action("DeleteObject1"), &QAction::triggered, this, [this] { DeleteObject1Execute(); });
  connect(Action("ObjectForward1"), &QAction::triggered, this, [this] { MoveSelectedObjects(1); });
  connect(Action("ObjectBackward1"), &QAction::triggered, this,
          [this] { MoveSelectedObjects(-1); });
  for (const char* name : {"ShowLabels1", "LightPreview1"})
    connect(Action(name), &QAction::triggered, this, [this] { Invalidate(); });
  Action("ObjectProps1")->setShortcut(QKeySequence("Return"));

  auto* menu = new QMenu("オブジェクト(&O)", this);
  menu->setObjectName("ObjectMenu");
  for (const char* name : kObjectTools) menu->addAction(Action(name));
  menu->addSeparator();
  menu->addActions({Action("ObjectProps1"), Action("DeleteObject1"), Action("ObjectForward1"),
                    Action("ObjectBackward1")});
  // Before the Layer menu, beside the Map menu it belongs with.
  QAction* before = nullptr;
  for (QAction* a : menuBar()->actions())
    if (a->menu() && a->menu()->objectName() == "LayerMenu") before = a;
  menuBar()->insertMenu(before, menu);
  if (auto* view = findChild<QMenu*>("ViewMenu")) {
    view->addSeparator();
    view->addActions({Action("ShowLabels1"), Action("LightPreview1")});
  }
}

QString TMapEdit2Form::ObjectTool() const {
  for (const char* name : kObjectTools)
    if (Checked(name)) return name;
  return {};
}

bool TMapEdit2Form::ObjectMouseDown(TMouseButton Button, int32_t X, int32_t Y) {
  const QString tool = ObjectTool();
  if (tool.isEmpty()) return false;
  if (Button != TMouseButton::Left) return true;
  if (X < 0 || Y < 0 || X >= CanvasWidth() || Y >= CanvasHeight()) return true;
  TObjectEditState& s = FObjectEdit;
  try {
    if (tool == "ObjectSelect1") {
      const std::optional<uint64_t> hit = HitObject(*FDocument, X, Y, ViewComposeOptions().Labels);
      if (!hit) {
        s.Selection.clear();
      } else if (std::find(s.Selection.begin(), s.Selection.end(), *hit) == s.Selection.end()) {
        s.Selection = {*hit};
      }
      s.Dragging = hit.has_value();
      s.Start = s.Now = TPoint{X, Y};
    } else if (tool == "Label1") {
      TMapLabel l;
      l.X = X;
      l.Y = Y;
      l.Text = "Label";
      l.Outline = 0xFFFFFFFF;
      TMapObject o = l.ToObject();
      if (FDialogs->EditObject(this, o)) s.Selection = {FSession->AddObject(o)};
    } else if (tool == "RoomNumber1") {
      TMapLabel l;
      l.X = X;
      l.Y = Y;
      l.Text = std::to_string(NextRoomNumber(FDocument->Objects()));
      l.Size = 0.6;
      l.Outline = 0xFFFFFFFF;
      s.Selection = {FSession->AddObject(l.ToObject())};
    } else if (tool == "Light1") {
      TMapLight l;
      l.X = X;
      l.Y = Y;
      s.Selection = {FSession->AddObject(l.ToObject())};
    } else if (tool == "Window1") {
      if (Checked("Chip1")) {
        const TDoorEdge e = HitDoorEdge(X, Y, FDocument->ChipSize(), CanvasWidth(), CanvasHeight());
        if (!e.Valid()) return true;
        TMapWindow w;
        w.Kind = e.Horizontal ? TWindowKind::Horizontal : TWindowKind::Vertical;
        w.CX = e.X;
        w.CY = e.Y;
        s.Selection = {FSession->AddObject(w.ToObject())};
      } else {
        s.Band = true;
        s.Start = s.Now = TPoint{X, Y};
      }
    }
  } catch (const std::exception& e) {
    ShowException(e);
  }
  SetModified(FSession->Modified());
  Invalidate();
  return true;
}

bool TMapEdit2Form::ObjectMouseMove(bool LeftHeld, int32_t X, int32_t Y) {
  if (ObjectTool().isEmpty()) return false;
  TObjectEditState& s = FObjectEdit;
  if (LeftHeld && (s.Dragging || s.Band)) {
    s.Now = TPoint{std::clamp(X, 0, CanvasWidth() - 1), std::clamp(Y, 0, CanvasHeight() - 1)};
    Invalidate();
  }
  return true;
}

bool TMapEdit2Form::ObjectMouseUp(TMouseButton Button, int32_t X, int32_t Y) {
  if (ObjectTool().isEmpty()) return false;
  if (Button != TMouseButton::Left) return true;
  TObjectEditState& s = FObjectEdit;
  const TPoint end{std::clamp(X, 0, std::max(0, CanvasWidth() - 1)),
                   std::clamp(Y, 0, std::max(0, CanvasHeight() - 1))};
  try {
    if (s.Dragging && end != s.Start) {
      // The whole selection moves in one step.
      std::vector<TMapObject> moved;
      for (uint64_t id : s.Selection)
        if (const TMapObject* o = FDocument->Objects().Find(id))
          moved.push_back(
              MovedObject(*o, end.X - s.Start.X, end.Y - s.Start.Y, FDocument->ChipSize()));
      FSession->ChangeObjects(moved);
    } else if (s.Band && end != s.Start) {
      TMapWindow w;
      w.Kind = TWindowKind::Free;
      w.X1 = s.Start.X;
      w.Y1 = s.Start.Y;
      w.X2 = end.X;
      w.Y2 = end.Y;
      s.Selection = {FSession->AddObject(w.ToObject())};
    }
  } catch (const std::exception& e) {
    ShowException(e);
  }
  s.Dragging = s.Band = false;
  SetModified(FSession->Modified());
  Invalidate();
  return true;
}

void TMapEdit2Form::ObjectProps1Execute() {
  if (!FDocument || FObjectEdit.Selection.size() != 1) return;
  const TMapObject* o = FDocument->Objects().Find(FObjectEdit.Selection.front());
  if (!o) return;
  TMapObject edited = *o;
  if (!FDialogs->EditObject(this, edited)) return;
  try {
    FSession->ReplaceObject(o->Id, edited);
  } catch (const std::exception& e) {
    ShowException(e);
  }
  SetModified(FSession->Modified());
  Invalidate();
}

void TMapEdit2Form::DeleteObject1Execute() {
  if (!FDocument || FObjectEdit.Selection.empty()) return;
  std::vector<uint64_t> ids;
  for (uint64_t id : FObjectEdit.Selection)
    if (FDocument->Objects().Find(id)) ids.push_back(id);
  FObjectEdit.Selection.clear();
  if (ids.empty()) return;
  FSession->DeleteObjects(ids);
  SetModified(true);
  Invalidate();
}

void TMapEdit2Form::MoveSelectedObjects(int Delta) {
  if (!FDocument || FObjectEdit.Selection.size() != 1) return;
  const uint64_t id = FObjectEdit.Selection.front();
  if (!FDocument->Objects().Find(id)) return;
  FSession->MoveObjectInOrder(id, Delta);
  SetModified(FSession->Modified());
  Invalidate();
}

void TMapEdit2Form::SelectObjects(const std::vector<uint64_t>& Ids) {
  FObjectEdit.Selection = Ids;
  Invalidate();
}

void TMapEdit2Form::DrawObjectOverlay(TBitmap32& Buffer, const TRect& MapRect) {
  if (!FDocument) return;
  const int32_t cs = FDocument->ChipSize();
  const int32_t ox = MapRect.Left, oy = MapRect.Top;
  const TObjectEditState& s = FObjectEdit;
  // Selected objects follow a drag before it is made.
  const int32_t dx = s.Dragging ? s.Now.X - s.Start.X : 0,
                dy = s.Dragging ? s.Now.Y - s.Start.Y : 0;
  for (const TMapObject& o : FDocument->Objects().Items()) {
    const bool selected =
        std::find(s.Selection.begin(), s.Selection.end(), o.Id) != s.Selection.end();
    const TMapObject shown = selected && (dx || dy) ? MovedObject(o, dx, dy, cs) : o;
    TMapLight l;
    if (o.Type == TMapLight::kType && TMapLight::FromObject(shown, l, nullptr)) {
      // Lights are not part of the picture: a handle with the light's reach.
      DrawCircle(Buffer, l.X - ox, l.Y - oy, l.Radius * cs, kRadiusColor);
      const TRect h{l.X - kLightHandle - ox, l.Y - kLightHandle - oy, l.X + kLightHandle + 1 - ox,
                    l.Y + kLightHandle + 1 - oy};
      for (int32_t y = std::max(0, h.Top); y < std::min(Buffer.Height(), h.Bottom); ++y)
        for (int32_t x = std::max(0, h.Left); x < std::min(Buffer.Width(), h.Right); ++x) {
          const bool frame = x == h.Left || y == h.Top || x == h.Right - 1 || y == h.Bottom - 1;
          Buffer.Pixel(x, y) = frame ? kHandleFrame : (l.Color | 0xFF000000u);
        }
    }
    if (!selected) continue;
    TRect box = ObjectBounds(shown, cs);
    if (box.IsEmpty()) continue;
    box = TRect{box.Left - 2, box.Top - 2, box.Right + 2, box.Bottom + 2};
    DrawBandFrame(Buffer, box, ox, oy);
  }
  if (s.Band)
    Buffer.DrawLineBlended(s.Start.X - ox, s.Start.Y - oy, s.Now.X - ox, s.Now.Y - oy, kHandleColor,
                           false);
}
