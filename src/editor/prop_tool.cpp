#include "editor/prop_tool.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "map/compose/prop_items.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_object_list.h"

namespace {

constexpr TColor32 kFrameColor = 0xFF30C0FF;
constexpr TColor32 kHandleColor = 0xFFFFFFFF;
constexpr TColor32 kHandleEdge = 0xFF103050;
constexpr double kTurnSnap = 15;

double Degrees(double Radians) { return Radians * 180 / std::numbers::pi; }

double Normalized(double Deg) {
  const double r = std::fmod(Deg, 360.0);
  return r < 0 ? r + 360 : r;
}

TRect Union(const TRect& A, const TRect& B) {
  if (A.IsEmpty()) return B;
  if (B.IsEmpty()) return A;
  return {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
          std::max(A.Bottom, B.Bottom)};
}

}  // namespace

TPropTool::TPropTool(TMapEditSession& Session) : FSession(Session) {}

void TPropTool::SetAssets(const TAssetIndex& Index, const std::filesystem::path& MapFolder) {
  FAssets = Index;
  FMapFolder = MapFolder;
  FScene.SetResolver([this](const std::string& Path) { return FAssets.Resolve(Path, FMapFolder); });
  FScene.Reload();
}

int32_t TPropTool::ChipSize() const {
  return FSession.HasMap() ? std::max(1, FSession.Map().ChipSize()) : 1;
}

double TPropTool::HandleRadius() const { return std::max(4.0, ChipSize() / 8.0); }

std::vector<std::string> TPropTool::Sync() {
  if (!FSession.HasMap()) {
    FScene.SetItems({});
    FSelection.clear();
    return {};
  }
  std::vector<std::string> errors = SyncPropScene(FScene, FSession.Map());
  std::erase_if(FSelection, [this](uint64_t Id) { return SceneIndex(Id) < 0; });
  return errors;
}

int64_t TPropTool::SceneIndex(uint64_t Id) const {
  const std::vector<TPropItem>& items = FScene.Items();
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].Id == Id) return int64_t(i);
  return -1;
}

const TMapObject* TPropTool::Object(uint64_t Id) const {
  return FSession.HasMap() ? FSession.Map().Objects().Find(Id) : nullptr;
}

bool TPropTool::Prop(uint64_t Id, TMapProp& Out) const {
  const TMapObject* o = Object(Id);
  return o && TMapProp::FromObject(*o, Out, nullptr);
}

void TPropTool::SnapPoint(double& X, double& Y) const {
  const double cs = ChipSize();
  switch (Snap) {
    case TPropSnap::None:
      break;
    case TPropSnap::CellCentres:
      X = (std::floor(X / cs) + 0.5) * cs, Y = (std::floor(Y / cs) + 0.5) * cs;
      break;
    case TPropSnap::CellCorners:
      X = std::round(X / cs) * cs, Y = std::round(Y / cs) * cs;
      break;
  }
}

void TPropTool::Touch(const TRect& R) { FDirty = Union(FDirty, R); }

void TPropTool::TouchProp(uint64_t Id) {
  const int64_t i = SceneIndex(Id);
  if (i < 0) return;
  TRect r = FScene.Bounds(size_t(i));
  // The frame and handles reach beyond the image.
  double xs[4], ys[4], tx, ty, sx, sy;
  Frame(Id, xs, ys);
  Handles(Id, tx, ty, sx, sy);
  const double pad = HandleRadius() + 2;
  double x0 = std::min({xs[0], xs[1], xs[2], xs[3], tx, sx}) - pad;
  double y0 = std::min({ys[0], ys[1], ys[2], ys[3], ty, sy}) - pad;
  double x1 = std::max({xs[0], xs[1], xs[2], xs[3], tx, sx}) + pad;
  double y1 = std::max({ys[0], ys[1], ys[2], ys[3], ty, sy}) + pad;
  auto clampI = [](double v) { return int32_t(std::clamp(v, -1e9, 1e9)); };
  Touch(Union(r, TRect{clampI(std::floor(x0)), clampI(std::floor(y0)), clampI(std::ceil(x1)),
                       clampI(std::ceil(y1))}));
}

TRect TPropTool::TakeDirty() {
  const TRect r = FDirty;
  FDirty = {};
  return r;
}

void TPropTool::Select(std::vector<uint64_t> Ids) {
  for (uint64_t id : FSelection) TouchProp(id);
  FSelection.clear();
  for (uint64_t id : Ids)
    if (SceneIndex(id) >= 0 &&
        std::find(FSelection.begin(), FSelection.end(), id) == FSelection.end())
      FSelection.push_back(id);
  for (uint64_t id : FSelection) TouchProp(id);
}

uint64_t TPropTool::PropAt(double X, double Y) const {
  const int32_t x = int32_t(std::floor(X)), y = int32_t(std::floor(Y));
  for (size_t i = FScene.Items().size(); i-- > 0;) {
    const TRect& b = FScene.Bounds(i);
    if (x < b.Left || x >= b.Right || y < b.Top || y >= b.Bottom) continue;
    // A placeholder is picked anywhere on it; an image where it is not clear.
    if (FScene.IsPlaceholder(i) || FScene.AlphaAt(i, x, y) >= 40) return FScene.Items()[i].Id;
  }
  return 0;
}

void TPropTool::Frame(uint64_t Id, double Xs[4], double Ys[4]) const {
  const int64_t i = SceneIndex(Id);
  if (i < 0) {
    std::fill(Xs, Xs + 4, 0.0), std::fill(Ys, Ys + 4, 0.0);
    return;
  }
  const TPropTransform& t = FScene.Items()[size_t(i)].Transform;
  int32_t w, h;
  FScene.ImageSize(size_t(i), w, h);
  const double hw = w * t.Scale / 2, hh = h * t.Scale / 2;
  const double a = t.Rotation * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  const double us[4] = {-hw, hw, hw, -hw}, vs[4] = {-hh, -hh, hh, hh};
  for (int k = 0; k < 4; ++k) {
    Xs[k] = t.CenterX + c * us[k] - s * vs[k];
    Ys[k] = t.CenterY + s * us[k] + c * vs[k];
  }
}

void TPropTool::Handles(uint64_t Id, double& TurnX, double& TurnY, double& SizeX,
                        double& SizeY) const {
  double xs[4], ys[4];
  Frame(Id, xs, ys);
  // The turning handle stands out above the middle of the top edge; the size
  // handle sits on the bottom-right corner.
  const double mx = (xs[0] + xs[1]) / 2, my = (ys[0] + ys[1]) / 2;
  const double cx = (xs[0] + xs[2]) / 2, cy = (ys[0] + ys[2]) / 2;
  double ux = mx - cx, uy = my - cy;
  const double len = std::hypot(ux, uy);
  if (len > 0)
    ux /= len, uy /= len;
  else
    ux = 0, uy = -1;
  const double out = HandleRadius() * 3;
  TurnX = mx + ux * out, TurnY = my + uy * out;
  SizeX = xs[2], SizeY = ys[2];
}

uint64_t TPropTool::Place(const std::string& Asset, double X, double Y) {
  if (!FSession.HasMap() || Asset.empty()) return 0;
  SnapPoint(X, Y);
  TMapProp p;
  p.Asset = Asset;
  p.X = X, p.Y = Y;
  const uint64_t id = FSession.AddObject(p.ToObject());
  Sync();
  Select({id});
  return id;
}

void TPropTool::Commit(const std::vector<TMapProp>& Props) {
  if (Props.empty()) return;
  for (const TMapProp& p : Props) TouchProp(p.Id);
  if (Props.size() == 1) {
    FSession.ReplaceObject(Props[0].Id, Props[0].ToObject());
  } else {
    std::vector<TMapObject> states;
    for (const TMapProp& p : Props) states.push_back(p.ToObject());
    FSession.ChangeObjects(states);
  }
  Sync();
  for (const TMapProp& p : Props) TouchProp(p.Id);
}

void TPropTool::Preview(const std::vector<TMapProp>& Props) {
  for (const TMapProp& p : Props) {
    const int64_t i = SceneIndex(p.Id);
    if (i < 0) continue;
    TouchProp(p.Id);
    FScene.SetItem(size_t(i), PropItemOf(p, ChipSize()));
    TouchProp(p.Id);
  }
}

void TPropTool::Nudge(double DX, double DY) {
  std::vector<TMapProp> moved;
  for (uint64_t id : FSelection) {
    TMapProp p;
    if (!Prop(id, p)) continue;
    p.X += DX, p.Y += DY;
    moved.push_back(p);
  }
  Commit(moved);
}

void TPropTool::Duplicate() {
  std::vector<uint64_t> copies;
  const double cs = ChipSize();
  for (uint64_t id : FSelection) {
    TMapProp p;
    if (!Prop(id, p)) continue;
    p.Id = 0;
    p.X += cs, p.Y += cs;
    copies.push_back(FSession.AddObject(p.ToObject()));
  }
  if (copies.empty()) return;
  Sync();
  Select(copies);
}

void TPropTool::DeleteSelection() {
  if (FSelection.empty()) return;
  for (uint64_t id : FSelection) TouchProp(id);
  FSession.DeleteObjects(FSelection);
  FSelection.clear();
  Sync();
}

void TPropTool::BringForward() {
  if (!FSession.HasMap()) return;
  // The topmost first, so that props chosen together keep their order.
  const std::vector<uint64_t> ids = FSelection;
  const TMapObjectList& list = FSession.Map().Objects();
  for (size_t k = ids.size(); k-- > 0;) {
    const int64_t at = list.IndexOf(ids[k]);
    // Past the next prop; other objects in between are not drawn with props.
    for (int64_t j = at + 1; at >= 0 && j < int64_t(list.Count()); ++j)
      if (list.At(size_t(j)).Type == TMapProp::kType) {
        if (std::find(ids.begin(), ids.end(), list.At(size_t(j)).Id) != ids.end()) break;
        FSession.MoveObjectInOrder(ids[k], int(j - at));
        break;
      }
    TouchProp(ids[k]);
  }
  Sync();
}

void TPropTool::SendBack() {
  if (!FSession.HasMap()) return;
  const std::vector<uint64_t> ids = FSelection;
  const TMapObjectList& list = FSession.Map().Objects();
  for (uint64_t id : ids) {
    const int64_t at = list.IndexOf(id);
    for (int64_t j = at - 1; at >= 0 && j >= 0; --j)
      if (list.At(size_t(j)).Type == TMapProp::kType) {
        if (std::find(ids.begin(), ids.end(), list.At(size_t(j)).Id) != ids.end()) break;
        FSession.MoveObjectInOrder(id, int(j - at));
        break;
      }
    TouchProp(id);
  }
  Sync();
}

void TPropTool::ChangeSelected(const std::function<bool(TMapProp&)>& Change) {
  std::vector<TMapProp> changed;
  for (uint64_t id : FSelection) {
    TMapProp p;
    if (Prop(id, p) && Change(p)) changed.push_back(p);
  }
  Commit(changed);
}

void TPropTool::SetShadow(bool On) {
  ChangeSelected([On](TMapProp& P) { return std::exchange(P.Shadow, On) != On; });
}

void TPropTool::SetBlocksSight(bool On) {
  ChangeSelected([On](TMapProp& P) { return std::exchange(P.BlocksSight, On) != On; });
}

void TPropTool::Press(double X, double Y, bool Shift) {
  if (!FSession.HasMap()) return;
  Cancel();
  FStartX = FLastX = X, FStartY = FLastY = Y;
  FOriginal.clear();
  FPreview.clear();
  if (FSelection.size() == 1) {
    double tx, ty, sx, sy;
    Handles(FSelection[0], tx, ty, sx, sy);
    const double reach = HandleRadius() * 1.5;
    TMapProp p;
    if (Prop(FSelection[0], p)) {
      if (std::hypot(X - tx, Y - ty) <= reach) {
        FDrag = TDrag::Turn;
      } else if (std::hypot(X - sx, Y - sy) <= reach) {
        FDrag = TDrag::Scale;
      }
      if (FDrag != TDrag::None) {
        FOriginal.push_back(p);
        return;
      }
    }
  }
  const uint64_t hit = PropAt(X, Y);
  if (!hit) {
    FDrag = TDrag::Band;
    FBandAdds = Shift;
    if (!Shift) Select({});
    return;
  }
  const bool selected = std::find(FSelection.begin(), FSelection.end(), hit) != FSelection.end();
  std::vector<uint64_t> next = FSelection;
  if (Shift) {
    if (selected) {
      std::erase(next, hit);
      Select(next);
      return;  // taken away: nothing to drag
    }
    next.push_back(hit);
  } else if (!selected) {
    next = {hit};
  }
  Select(next);
  // The prop pressed leads the move (it is the one snapped).
  TMapProp lead;
  if (Prop(hit, lead)) FOriginal.push_back(lead);
  for (uint64_t id : FSelection) {
    TMapProp p;
    if (id != hit && Prop(id, p)) FOriginal.push_back(p);
  }
  FDrag = TDrag::Move;
}

void TPropTool::Drag(double X, double Y, bool Shift) {
  if (FDrag == TDrag::None) return;
  if (FDrag == TDrag::Band) {
    // The band where it was and where it is now.
    auto band = [this] {
      return TRect{int32_t(std::floor(std::min(FStartX, FLastX))) - 2,
                   int32_t(std::floor(std::min(FStartY, FLastY))) - 2,
                   int32_t(std::ceil(std::max(FStartX, FLastX))) + 3,
                   int32_t(std::ceil(std::max(FStartY, FLastY))) + 3};
    };
    Touch(band());
    FLastX = X, FLastY = Y;
    Touch(band());
    return;
  }
  FLastX = X, FLastY = Y;
  if (FOriginal.empty()) return;
  std::vector<TMapProp> next = FOriginal;
  const TMapProp& o = FOriginal[0];
  switch (FDrag) {
    case TDrag::Move: {
      double ax = o.X + (X - FStartX), ay = o.Y + (Y - FStartY);
      SnapPoint(ax, ay);
      for (TMapProp& p : next) p.X += ax - o.X, p.Y += ay - o.Y;
      break;
    }
    case TDrag::Turn: {
      const double a0 = Degrees(std::atan2(FStartY - o.Y, FStartX - o.X));
      const double a1 = Degrees(std::atan2(Y - o.Y, X - o.X));
      double r = o.Rotation + (a1 - a0);
      if (Shift) r = std::round(r / kTurnSnap) * kTurnSnap;
      next[0].Rotation = Normalized(r);
      break;
    }
    case TDrag::Scale: {
      const double r0 = std::hypot(FStartX - o.X, FStartY - o.Y);
      const double r1 = std::hypot(X - o.X, Y - o.Y);
      if (r0 > 0)
        next[0].Scale = std::clamp(o.Scale * r1 / r0, TMapProp::kMinScale, TMapProp::kMaxScale);
      break;
    }
    default:
      break;
  }
  Preview(next);
  FPreview = std::move(next);
}

void TPropTool::Release(double X, double Y, bool Shift) {
  if (FDrag == TDrag::None) return;
  Drag(X, Y, Shift);
  const TDrag drag = FDrag;
  FDrag = TDrag::None;
  if (drag == TDrag::Band) {
    const double x0 = std::min(FStartX, X), x1 = std::max(FStartX, X);
    const double y0 = std::min(FStartY, Y), y1 = std::max(FStartY, Y);
    std::vector<uint64_t> next = FBandAdds ? FSelection : std::vector<uint64_t>{};
    for (const TPropItem& item : FScene.Items()) {
      const TPropTransform& t = item.Transform;
      if (t.CenterX >= x0 && t.CenterX <= x1 && t.CenterY >= y0 && t.CenterY <= y1)
        next.push_back(item.Id);
    }
    Touch(TRect{int32_t(x0) - 2, int32_t(y0) - 2, int32_t(x1) + 3, int32_t(y1) + 3});
    Select(next);
    return;
  }
  // What the preview shows, written as one step when anything changed.
  std::vector<TMapProp> done;
  for (size_t k = 0; k < FPreview.size() && k < FOriginal.size(); ++k) {
    const TMapProp &p = FPreview[k], &o = FOriginal[k];
    if (p.X != o.X || p.Y != o.Y || p.Rotation != o.Rotation || p.Scale != o.Scale)
      done.push_back(p);
  }
  FOriginal.clear();
  FPreview.clear();
  if (done.empty())
    Sync();
  else
    Commit(done);
}

void TPropTool::Cancel() {
  if (FDrag == TDrag::None) return;
  FDrag = TDrag::None;
  for (const TMapProp& o : FOriginal) TouchProp(o.Id);
  FOriginal.clear();
  FPreview.clear();
  Sync();
}

void TPropTool::DrawOverlay(TBitmap32& Buffer, int32_t OriginX, int32_t OriginY) const {
  auto line = [&](double X1, double Y1, double X2, double Y2, TColor32 C) {
    Buffer.DrawLine(int32_t(std::lround(X1)) - OriginX, int32_t(std::lround(Y1)) - OriginY,
                    int32_t(std::lround(X2)) - OriginX, int32_t(std::lround(Y2)) - OriginY, C,
                    true);
  };
  for (uint64_t id : FSelection) {
    double xs[4], ys[4];
    Frame(id, xs, ys);
    for (int k = 0; k < 4; ++k) line(xs[k], ys[k], xs[(k + 1) % 4], ys[(k + 1) % 4], kFrameColor);
  }
  if (FSelection.size() == 1) {
    double xs[4], ys[4], tx, ty, sx, sy;
    Frame(FSelection[0], xs, ys);
    Handles(FSelection[0], tx, ty, sx, sy);
    line((xs[0] + xs[1]) / 2, (ys[0] + ys[1]) / 2, tx, ty, kFrameColor);
    const int32_t r = int32_t(HandleRadius());
    const int32_t hx = int32_t(std::lround(tx)) - OriginX, hy = int32_t(std::lround(ty)) - OriginY;
    Buffer.FillEllipse(hx - r - 1, hy - r - 1, hx + r + 2, hy + r + 2, kHandleEdge);
    Buffer.FillEllipse(hx - r, hy - r, hx + r + 1, hy + r + 1, kHandleColor);
    const int32_t qx = int32_t(std::lround(sx)) - OriginX, qy = int32_t(std::lround(sy)) - OriginY;
    Buffer.FillArea(qx - r - 1, qy - r - 1, qx + r + 2, qy + r + 2, kHandleEdge);
    Buffer.FillArea(qx - r, qy - r, qx + r + 1, qy + r + 1, kHandleColor);
  }
  if (FDrag == TDrag::Band) {
    const double x0 = std::min(FStartX, FLastX), x1 = std::max(FStartX, FLastX);
    const double y0 = std::min(FStartY, FLastY), y1 = std::max(FStartY, FLastY);
    line(x0, y0, x1, y0, kFrameColor);
    line(x1, y0, x1, y1, kFrameColor);
    line(x1, y1, x0, y1, kFrameColor);
    line(x0, y1, x0, y0, kFrameColor);
  }
}
