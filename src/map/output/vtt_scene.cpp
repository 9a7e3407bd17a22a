// The geometry of a virtual-tabletop export: walls and objects traced from the
// pixel grid, doors as portals, and the walls opened where doors run along or
// through them.

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

#include "map/compose/prop_scene.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"
#include "map/output/outline_trace.h"
#include "map/output/vtt_export.h"

namespace {

// Simplification stays within half a pixel of the traced pixel edges.
constexpr double kTolerance = 0.5;
constexpr double kEps = 1e-9;
// Walls are opened only where a door runs along or through them for at least this
// many pixels.
constexpr double kMinOpening = 2.0;

struct TVec {
  double X = 0, Y = 0;
};
TVec operator+(TVec A, TVec B) { return {A.X + B.X, A.Y + B.Y}; }
TVec operator-(TVec A, TVec B) { return {A.X - B.X, A.Y - B.Y}; }
TVec operator*(TVec A, double K) { return {A.X * K, A.Y * K}; }
double Dot(TVec A, TVec B) { return A.X * B.X + A.Y * B.Y; }

// A door or window as a segment in map pixels.
struct TDoorSegment {
  TVec P, Q;
  bool Window = false;
};

// The part of the map around a door where walls are removed, in the door's own
// frame: T along the door from its first end, S across it (to the right-hand
// side of the direction of travel, y down).
struct TDoorOpening {
  TVec Origin, U, N;
  double T0 = 0, T1 = 0, S0 = 0, S1 = 0;
};

bool IsWall(const TMapEditLayerList& Map, int64_t X, int64_t Y) {
  return X >= 0 && Y >= 0 && X < Map.PixelWidth() && Y < Map.PixelHeight() &&
         Map.PixelGrid().At(int32_t(X), int32_t(Y)) == 0;
}

bool IsWallAt(const TMapEditLayerList& Map, TVec P) {
  return IsWall(Map, int64_t(std::floor(P.X)), int64_t(std::floor(P.Y)));
}

// Every door, then every window, whose two ends lie on the map (edges included),
// in pixels; those of no length are left out.
std::vector<TDoorSegment> CollectDoors(TMapEditLayerList& Map) {
  std::vector<TDoorSegment> doors;
  TMapEditDoorList& list = Map.Doors();
  const int64_t C = Map.ChipSize(), PW = Map.PixelWidth(), PH = Map.PixelHeight();
  auto add = [&](int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, bool Window = false) {
    if (X1 == X2 && Y1 == Y2) return;
    for (int64_t x : {X1, X2})
      if (x < 0 || x > PW) return;
    for (int64_t y : {Y1, Y2})
      if (y < 0 || y > PH) return;
    doors.push_back({{double(X1), double(Y1)}, {double(X2), double(Y2)}, Window});
  };
  TMapEditHorzDoorList& horz = list.HorzDoor();
  for (int32_t i = 0; i < horz.Count(); ++i) {
    const TMapEditHorzDoor* d = horz.Items(i);
    if (d->Width > 0) add(d->X * C, d->Y * C, (int64_t(d->X) + d->Width) * C, d->Y * C);
  }
  TMapEditVertDoorList& vert = list.VertDoor();
  for (int32_t i = 0; i < vert.Count(); ++i) {
    const TMapEditVertDoor* d = vert.Items(i);
    if (d->Height > 0) add(d->X * C, d->Y * C, d->X * C, (int64_t(d->Y) + d->Height) * C);
  }
  TMapEditCustomDoorList& free = list.FreeDoor();
  for (int32_t i = 0; i < free.Count(); ++i) {
    const TMapEditCustomDoor* d = free.Items(i);
    add(d->X, d->Y, d->X2, d->Y2);
  }
  for (const TMapObject& o : Map.Objects().Items()) {
    TMapWindow w;
    if (o.Type != TMapWindow::kType || !TMapWindow::FromObject(o, w, nullptr)) continue;
    TPoint a, b;
    w.Ends(Map.ChipSize(), a, b);
    add(a.X, a.Y, b.X, b.Y, true);
  }
  return doors;
}

double DistanceToSegment(TVec P, TVec A, TVec B) {
  const TVec v = B - A;
  const double len2 = Dot(v, v);
  const double t = len2 > 0 ? std::clamp(Dot(P - A, v) / len2, 0.0, 1.0) : 0.0;
  const TVec d = P - (A + v * t);
  return std::sqrt(Dot(d, d));
}

// A door touches a wall when the centre of some wall pixel lies within one pixel
// of it: a door ending at a wall, running along one or through one.
bool TouchesWall(const TMapEditLayerList& Map, const TDoorSegment& D) {
  const TVec v = D.Q - D.P;
  const double len = std::sqrt(Dot(v, v));
  const int64_t steps = int64_t(std::ceil(len * 2));
  for (int64_t k = 0; k <= steps; ++k) {
    const TVec p = D.P + v * (double(k) / double(steps));
    const int64_t cx = int64_t(std::floor(p.X)), cy = int64_t(std::floor(p.Y));
    for (int64_t y = cy - 1; y <= cy + 1; ++y)
      for (int64_t x = cx - 1; x <= cx + 1; ++x)
        if (IsWall(Map, x, y) &&
            DistanceToSegment({double(x) + 0.5, double(y) + 0.5}, D.P, D.Q) <= 1.0 + kEps)
          return true;
  }
  return false;
}

// Pixels to grid units, rounded to a millionth of a cell so that computed cut
// points land exactly on the values they stand for.
double ToGrid(double Pixels, double C) { return std::round(Pixels / C * 1e6) / 1e6; }

TVttPortal MakePortal(const TDoorSegment& D, double C) {
  TVttPortal portal;
  portal.Closed = !D.Window;
  portal.Bounds[0] = {ToGrid(D.P.X, C), ToGrid(D.P.Y, C)};
  portal.Bounds[1] = {ToGrid(D.Q.X, C), ToGrid(D.Q.Y, C)};
  portal.Position = {ToGrid((D.P.X + D.Q.X) / 2, C), ToGrid((D.P.Y + D.Q.Y) / 2, C)};
  portal.Rotation = std::atan2(D.Q.Y - D.P.Y, D.Q.X - D.P.X);
  return portal;
}

// The lights on the map, in grid units.
std::vector<TVttLight> CollectLights(const TMapEditLayerList& Map) {
  std::vector<TVttLight> lights;
  const double C = Map.ChipSize();
  for (const TMapObject& o : Map.Objects().Items()) {
    TMapLight l;
    if (o.Type != TMapLight::kType || !TMapLight::FromObject(o, l, nullptr)) continue;
    TVttLight v;
    v.Position = {ToGrid(l.X, C), ToGrid(l.Y, C)};
    v.Range = l.Radius;
    v.Intensity = l.Intensity;
    v.Color = l.Color;
    v.Shadows = l.Shadows;
    lights.push_back(v);
  }
  return lights;
}

// How many steps of one pixel from P in direction N stay on wall pixels, up to
// Limit.
int32_t WallDepth(const TMapEditLayerList& Map, TVec P, TVec N, int32_t Limit) {
  int32_t depth = 0;
  while (depth < Limit && IsWallAt(Map, P + N * (depth + 0.5))) ++depth;
  return depth;
}

// The openings of one door: for each stretch of the door, at least two pixels
// long, that runs along or through wall pixels, the wall's extent across the door
// on either side, up to one cell beyond it. Walls thicker than that are opened on
// the door's side only.
std::vector<TDoorOpening> DoorOpenings(const TMapEditLayerList& Map, const TDoorSegment& D) {
  std::vector<TDoorOpening> openings;
  const TVec v = D.Q - D.P;
  const double len = std::sqrt(Dot(v, v));
  const TVec u = v * (1.0 / len), n{-u.Y, u.X};
  const int32_t limit = Map.ChipSize() + 1;
  const int64_t samples = std::max<int64_t>(1, int64_t(std::ceil(len - kEps)));
  const double step = len / double(samples);
  TDoorOpening current;
  bool open = false;
  for (int64_t k = 0; k <= samples; ++k) {
    bool walled = false;
    int32_t ahead = 0, behind = 0;
    if (k < samples) {
      const TVec p = D.P + u * ((double(k) + 0.5) * step);
      ahead = WallDepth(Map, p, n, limit);
      behind = WallDepth(Map, p, n * -1.0, limit);
      walled = ahead > 0 || behind > 0;
    }
    if (walled && !open) {
      current = {D.P, u, n, double(k) * step, 0, -0.5, 0.5};
      open = true;
    }
    if (walled) {
      current.T1 = double(k + 1) * step;
      current.S1 = std::max(current.S1, ahead + 0.5);
      current.S0 = std::min(current.S0, -behind - 0.5);
    } else if (open) {
      // A door that only touches a wall with an end, or crosses a thin one, has
      // nothing to open.
      if (current.T1 - current.T0 >= kMinOpening - kEps) openings.push_back(current);
      open = false;
    }
  }
  return openings;
}

// The part [UA, UB] of segment A-B inside the opening; false when the segment
// only touches it or runs along one of its two ends (the door jambs stay).
bool ClipToOpening(const TDoorOpening& O, TVec A, TVec B, double& UA, double& UB) {
  const double ta = Dot(A - O.Origin, O.U), sa = Dot(A - O.Origin, O.N);
  const double tb = Dot(B - O.Origin, O.U), sb = Dot(B - O.Origin, O.N);
  UA = 0;
  UB = 1;
  auto limit = [&](double p, double q) {  // Liang-Barsky: keep where p*u <= q
    if (std::abs(p) < kEps) return q >= -kEps;
    const double r = q / p;
    if (p < 0)
      UA = std::max(UA, r);
    else
      UB = std::min(UB, r);
    return UA <= UB;
  };
  const double dt = tb - ta, ds = sb - sa;
  if (!limit(-dt, ta - O.T0) || !limit(dt, O.T1 - ta) || !limit(-ds, sa - O.S0) ||
      !limit(ds, O.S1 - sa))
    return false;
  const double len = std::sqrt(dt * dt + ds * ds);
  if ((UB - UA) * len <= 1e-6) return false;
  const double t1 = ta + UA * dt, t2 = ta + UB * dt;
  for (double edge : {O.T0, O.T1})
    if (std::abs(t1 - edge) <= 1e-6 && std::abs(t2 - edge) <= 1e-6) return false;
  return true;
}

bool SamePoint(const TVttPoint& A, const TVttPoint& B) {
  return std::abs(A.X - B.X) <= 1e-9 && std::abs(A.Y - B.Y) <= 1e-9;
}

// Removes the parts of Line inside the opening. A closed line (first point
// repeated at the end) that is cut becomes one open line running round from the
// cut.
void CutLine(const TVttPolyline& Line, const TDoorOpening& O, std::vector<TVttPolyline>& Out) {
  const bool closed = Line.size() > 2 && SamePoint(Line.front(), Line.back());
  std::vector<TVttPolyline> pieces;
  TVttPolyline current;
  bool cut = false;
  auto finish = [&] {
    if (current.size() >= 2) pieces.push_back(std::move(current));
    current.clear();
  };
  for (size_t i = 0; i + 1 < Line.size(); ++i) {
    const TVec a{Line[i].X, Line[i].Y}, b{Line[i + 1].X, Line[i + 1].Y};
    if (current.empty()) current.push_back(Line[i]);
    double ua, ub;
    if (!ClipToOpening(O, a, b, ua, ub)) {
      current.push_back(Line[i + 1]);
      continue;
    }
    cut = true;
    if (ua > kEps) {
      const TVec p = a + (b - a) * ua;
      current.push_back({p.X, p.Y});
    }
    finish();
    if (ub < 1 - kEps) {
      const TVec p = a + (b - a) * ub;
      current.push_back({p.X, p.Y});
      current.push_back(Line[i + 1]);
    }
  }
  finish();
  if (!cut) {
    Out.push_back(Line);
    return;
  }
  if (closed && pieces.size() >= 2 && SamePoint(pieces.front().front(), Line.front()) &&
      SamePoint(pieces.back().back(), Line.back())) {
    TVttPolyline joined = std::move(pieces.back());
    joined.insert(joined.end(), pieces.front().begin() + 1, pieces.front().end());
    pieces.pop_back();
    pieces.front() = std::move(joined);
  }
  for (TVttPolyline& p : pieces) Out.push_back(std::move(p));
}

struct TBox {
  double L, T, R, B;
};

TBox LineBox(const TVttPolyline& Line) {
  TBox b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
         std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  for (const TVttPoint& p : Line) {
    b.L = std::min(b.L, p.X);
    b.T = std::min(b.T, p.Y);
    b.R = std::max(b.R, p.X);
    b.B = std::max(b.B, p.Y);
  }
  return b;
}

TBox OpeningBox(const TDoorOpening& O) {
  TBox b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
         std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  for (double t : {O.T0, O.T1})
    for (double s : {O.S0, O.S1}) {
      const TVec p = O.Origin + O.U * t + O.N * s;
      b.L = std::min(b.L, p.X);
      b.T = std::min(b.T, p.Y);
      b.R = std::max(b.R, p.X);
      b.B = std::max(b.B, p.Y);
    }
  return b;
}

bool Overlap(const TBox& A, const TBox& B) {
  return A.L <= B.R + 1 && B.L <= A.R + 1 && A.T <= B.B + 1 && B.T <= A.B + 1;
}

// Traced and simplified outlines in pixels; closed ones repeat their first point.
std::vector<TVttPolyline> TraceLines(const TGrid2D<TOutlineClass>& Classes) {
  std::vector<TVttPolyline> lines;
  for (const TPixelOutline& traced : TraceOutlines(Classes)) {
    const TSimpleOutline simple = SimplifyOutline(traced, kTolerance);
    if (simple.Points.size() < 2) continue;
    TVttPolyline line;
    for (const TOutlinePoint& p : simple.Points) line.push_back({p.X, p.Y});
    if (simple.Closed) line.push_back(line.front());
    lines.push_back(std::move(line));
  }
  return lines;
}

// Whether B lies on the straight way from A to C, going on in the same direction.
bool GoesStraightOn(const TVttPoint& A, const TVttPoint& B, const TVttPoint& C) {
  const double ax = B.X - A.X, ay = B.Y - A.Y, bx = C.X - B.X, by = C.Y - B.Y;
  const double cross = ax * by - ay * bx, dot = ax * bx + ay * by;
  return dot > 0 && std::abs(cross) <= 1e-9 * (ax * ax + ay * ay + bx * bx + by * by);
}

// Merges segments that continue one another in a straight line: the points
// between them go, and open lines that end where another starts become one.
// Closed lines lose their starting point too when it sits in a straight stretch.
void MergeCollinear(std::vector<TVttPolyline>& Lines) {
  // Open lines joined end to start, as the cuts of a door left them.
  std::map<std::pair<double, double>, size_t> starts;
  for (size_t i = 0; i < Lines.size(); ++i)
    if (Lines[i].size() >= 2 && !SamePoint(Lines[i].front(), Lines[i].back()))
      starts.emplace(std::make_pair(Lines[i].front().X, Lines[i].front().Y), i);
  for (size_t i = 0; i < Lines.size(); ++i) {
    TVttPolyline& a = Lines[i];
    while (a.size() >= 2 && !SamePoint(a.front(), a.back())) {
      const auto next = starts.find({a.back().X, a.back().Y});
      if (next == starts.end() || next->second == i || Lines[next->second].empty()) break;
      TVttPolyline& b = Lines[next->second];
      starts.erase(next);
      a.insert(a.end(), b.begin() + 1, b.end());
      b.clear();
    }
  }
  Lines.erase(std::remove_if(Lines.begin(), Lines.end(),
                             [](const TVttPolyline& L) { return L.size() < 2; }),
              Lines.end());
  for (TVttPolyline& line : Lines) {
    const bool closed = line.size() > 3 && SamePoint(line.front(), line.back());
    TVttPolyline kept;
    kept.reserve(line.size());
    for (size_t k = 0; k < line.size(); ++k) {
      while (kept.size() >= 2 && GoesStraightOn(kept[kept.size() - 2], kept.back(), line[k]))
        kept.pop_back();
      kept.push_back(line[k]);
    }
    if (closed && kept.size() > 4 && GoesStraightOn(kept[kept.size() - 2], kept[0], kept[1])) {
      kept.pop_back();
      kept.erase(kept.begin());
      kept.push_back(kept.front());
    }
    line = std::move(kept);
  }
}

void ToGridUnits(std::vector<TVttPolyline>& Lines, double C) {
  for (TVttPolyline& line : Lines)
    for (TVttPoint& p : line) p = {ToGrid(p.X, C), ToGrid(p.Y, C)};
}

}  // namespace

size_t TVttScene::WallSegments() const {
  size_t n = 0;
  for (const TVttPolyline& l : Walls) n += l.size() > 1 ? l.size() - 1 : 0;
  return n;
}

size_t TVttScene::ObjectSegments() const {
  size_t n = 0;
  for (const TVttPolyline& l : Objects) n += l.size() > 1 ? l.size() - 1 : 0;
  return n;
}

TVttScene BuildVttScene(TMapEditLayerList& Map, bool MergeObjectOutlines) {
  TVttScene scene;
  scene.MapWidth = Map.Width();
  scene.MapHeight = Map.Height();
  scene.Lights = CollectLights(Map);
  const int32_t PW = Map.PixelWidth(), PH = Map.PixelHeight();
  const double C = Map.ChipSize();
  if (PW <= 0 || PH <= 0 || Map.PixelGrid().Width() != PW || Map.PixelGrid().Height() != PH)
    return scene;

  std::vector<char> isObject(size_t(std::max(Map.Count(), 0)), 0);
  for (int32_t i = 1; i < Map.Count(); ++i)
    isObject[size_t(i)] = Map.Layers(i)->LayerType == mltObject;
  TGrid2D<TOutlineClass> walls, objects;
  walls.Reset(PW, PH);
  objects.Reset(PW, PH);
  for (int32_t y = 0; y < PH; ++y) {
    const int32_t* row = Map.PixelGrid().Row(y);
    for (int32_t x = 0; x < PW; ++x) {
      const int32_t L = row[x];
      if (L == 0) {
        walls.At(x, y) = TOutlineClass::Inside;
        objects.At(x, y) = TOutlineClass::Hidden;
      } else if (L > 0 && size_t(L) < isObject.size() && isObject[size_t(L)]) {
        objects.At(x, y) = TOutlineClass::Inside;
      }
    }
  }
  scene.Walls = TraceLines(walls);
  scene.Objects = TraceLines(objects);
  if (MergeObjectOutlines) {
    // Before the doors, so that a door in an object's outline opens it as well.
    for (TVttPolyline& line : scene.Objects) scene.Walls.push_back(std::move(line));
    scene.Objects.clear();
  }

  for (const TDoorSegment& door : CollectDoors(Map)) {
    TVttPortal portal = MakePortal(door, C);
    portal.Freestanding = !TouchesWall(Map, door);
    scene.Portals.push_back(portal);
    for (const TDoorOpening& opening : DoorOpenings(Map, door)) {
      const TBox box = OpeningBox(opening);
      std::vector<TVttPolyline> next;
      next.reserve(scene.Walls.size());
      for (TVttPolyline& line : scene.Walls) {
        if (Overlap(LineBox(line), box))
          CutLine(line, opening, next);
        else
          next.push_back(std::move(line));
      }
      scene.Walls = std::move(next);
    }
  }
  MergeCollinear(scene.Walls);
  MergeCollinear(scene.Objects);
  ToGridUnits(scene.Walls, C);
  ToGridUnits(scene.Objects, C);
  return scene;
}

void AddPropOutlines(TVttScene& Scene, const TPropScene& Props, int32_t ChipSize) {
  const double c = std::max(1, ChipSize);
  for (size_t i = 0; i < Props.Items().size(); ++i) {
    if (!Props.Items()[i].BlocksSight) continue;
    const std::vector<std::pair<double, double>> outline = Props.Outline(i);
    if (outline.size() < 3) continue;
    TVttPolyline line;
    for (const auto& [x, y] : outline) line.push_back({x / c, y / c});
    line.push_back(line.front());
    Scene.Objects.push_back(std::move(line));
  }
}
