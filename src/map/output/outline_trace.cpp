// Boundary tracing over the pixel-corner graph and Douglas-Peucker simplification
// measured against the middles of the traced pixel edges.

#include "map/output/outline_trace.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Directions of travel, clockwise on screen (y down): east, south, west, north.
constexpr int32_t kDX[4] = {1, 0, -1, 0};
constexpr int32_t kDY[4] = {0, 1, 0, -1};

// One byte per pixel corner: bits 0-3 the directions of untraced edges leaving
// it, bits 4-7 the directions of untraced edges arriving at it.
class TCornerGraph {
 public:
  TCornerGraph(int32_t W, int32_t H) : FW(W + 1), FH(H + 1) { FBits.Reset(FW, FH); }

  void AddEdge(int32_t X, int32_t Y, int Dir) {
    FBits.At(X, Y) |= uint8_t(1u << Dir);
    FBits.At(X + kDX[Dir], Y + kDY[Dir]) |= uint8_t(0x10u << Dir);
  }
  void RemoveEdge(int32_t X, int32_t Y, int Dir) {
    FBits.At(X, Y) &= uint8_t(~(1u << Dir));
    FBits.At(X + kDX[Dir], Y + kDY[Dir]) &= uint8_t(~(0x10u << Dir));
  }
  uint8_t Out(int32_t X, int32_t Y) const { return FBits.At(X, Y) & 0x0F; }
  uint8_t In(int32_t X, int32_t Y) const { return FBits.At(X, Y) >> 4; }
  int32_t Width() const { return FW; }
  int32_t Height() const { return FH; }

 private:
  int32_t FW, FH;
  TGrid2D<uint8_t> FBits;
};

int BitCount(uint8_t V) { return __builtin_popcount(V); }

// The direction to leave a corner by, coming in along Incoming (-1 at the start).
// A left turn comes first, so regions touching at a corner are walked as one.
int ChooseDirection(uint8_t Out, int Incoming) {
  if (Incoming < 0) {
    for (int d = 0; d < 4; ++d)
      if (Out & (1u << d)) return d;
    return -1;
  }
  for (int turn : {3, 0, 1, 2}) {
    const int d = (Incoming + turn) & 3;
    if (Out & (1u << d)) return d;
  }
  return -1;
}

// Walks untraced edges from (X, Y) until it comes back to the start (closed) or
// reaches a corner without a way on (open), keeping only the corners where the
// direction changes.
TPixelOutline Walk(TCornerGraph& G, int32_t X, int32_t Y, bool Closed) {
  TPixelOutline outline;
  outline.Closed = Closed;
  const int32_t sx = X, sy = Y;
  int incoming = -1;
  outline.Points.push_back({X, Y});
  for (;;) {
    const int d = ChooseDirection(G.Out(X, Y), incoming);
    if (d < 0) break;
    G.RemoveEdge(X, Y, d);
    if (incoming >= 0 && d == incoming) outline.Points.pop_back();  // a straight step
    X += kDX[d];
    Y += kDY[d];
    incoming = d;
    if (Closed && X == sx && Y == sy) break;
    outline.Points.push_back({X, Y});
  }
  if (Closed && outline.Points.size() >= 3) {
    // The start may lie in the middle of a straight run.
    const TCornerPoint a = outline.Points.back(), b = outline.Points[0], c = outline.Points[1];
    if ((a.X == b.X && b.X == c.X) || (a.Y == b.Y && b.Y == c.Y))
      outline.Points.erase(outline.Points.begin());
  }
  return outline;
}

double DistanceToSegment(TOutlinePoint P, TOutlinePoint A, TOutlinePoint B) {
  const double vx = B.X - A.X, vy = B.Y - A.Y;
  const double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((P.X - A.X) * vx + (P.Y - A.Y) * vy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double dx = P.X - (A.X + t * vx), dy = P.Y - (A.Y + t * vy);
  return std::sqrt(dx * dx + dy * dy);
}

// Douglas-Peucker over Points[First..Last] (Last may equal Points.size() for a
// closed sequence, standing for its first point), marking kept points in Keep.
void SimplifyRange(const std::vector<TOutlinePoint>& Points, size_t First, size_t Last,
                   double Tolerance, std::vector<char>& Keep) {
  const size_t n = Points.size();
  std::vector<std::pair<size_t, size_t>> stack{{First, Last}};
  while (!stack.empty()) {
    const auto [i, j] = stack.back();
    stack.pop_back();
    if (j <= i + 1) continue;
    const TOutlinePoint a = Points[i % n], b = Points[j % n];
    double worst = -1;
    size_t split = i + 1;
    for (size_t k = i + 1; k < j; ++k) {
      const double e = DistanceToSegment(Points[k], a, b);
      if (e > worst) {
        worst = e;
        split = k;
      }
    }
    if (worst <= Tolerance) continue;
    Keep[split] = 1;
    stack.push_back({i, split});
    stack.push_back({split, j});
  }
}

// +1 for a right turn at B (on screen, y down), -1 for a left turn, 0 for none.
int Turn(const TCornerPoint& A, const TCornerPoint& B, const TCornerPoint& C) {
  const int64_t cross = int64_t(B.X - A.X) * (C.Y - B.Y) - int64_t(B.Y - A.Y) * (C.X - B.X);
  return cross > 0 ? 1 : cross < 0 ? -1 : 0;
}

int32_t RunLength(const TCornerPoint& A, const TCornerPoint& B) {
  return std::abs(B.X - A.X) + std::abs(B.Y - A.Y);
}

}  // namespace

std::vector<TPixelOutline> TraceOutlines(const TGrid2D<TOutlineClass>& Classes) {
  const int32_t W = Classes.Width(), H = Classes.Height();
  std::vector<TPixelOutline> result;
  if (W <= 0 || H <= 0) return result;
  TCornerGraph graph(W, H);
  auto traced = [&](int32_t x, int32_t y) {
    return x < 0 || y < 0 || x >= W || y >= H || Classes.At(x, y) == TOutlineClass::Outside;
  };
  for (int32_t y = 0; y < H; ++y) {
    for (int32_t x = 0; x < W; ++x) {
      if (Classes.At(x, y) != TOutlineClass::Inside) continue;
      if (traced(x, y - 1)) graph.AddEdge(x, y, 0);
      if (traced(x + 1, y)) graph.AddEdge(x + 1, y, 1);
      if (traced(x, y + 1)) graph.AddEdge(x + 1, y + 1, 2);
      if (traced(x - 1, y)) graph.AddEdge(x, y + 1, 3);
    }
  }
  // Open pieces start where more edges leave a corner than arrive; whatever is
  // left afterwards forms closed loops.
  for (int32_t y = 0; y < graph.Height(); ++y)
    for (int32_t x = 0; x < graph.Width(); ++x)
      while (BitCount(graph.Out(x, y)) > BitCount(graph.In(x, y)))
        result.push_back(Walk(graph, x, y, false));
  for (int32_t y = 0; y < graph.Height(); ++y)
    for (int32_t x = 0; x < graph.Width(); ++x)
      while (graph.Out(x, y) != 0) result.push_back(Walk(graph, x, y, true));
  return result;
}

TSimpleOutline SimplifyOutline(const TPixelOutline& Outline, double Tolerance) {
  const std::vector<TCornerPoint>& c = Outline.Points;
  const size_t n = c.size();
  const bool closed = Outline.Closed;
  TSimpleOutline out;
  out.Closed = closed;
  auto at = [&](size_t k) -> const TCornerPoint& { return c[k % n]; };
  // Whether vertex k has neighbours on both sides, and its turn.
  auto inner = [&](int64_t k) { return closed ? n >= 3 : (k > 0 && size_t(k) + 1 < n); };
  auto turn = [&](int64_t k) {
    return Turn(at(size_t(k) + n - 1), at(size_t(k)), at(size_t(k) + 1));
  };

  std::vector<char> stair(n, 0);
  for (size_t k = 1; k < n; ++k) {
    if (!inner(int64_t(k))) continue;
    const int t = turn(int64_t(k));
    const bool prevSame = inner(int64_t(k) - 1) && turn(int64_t(k) - 1) == t;
    const bool nextSame = inner(int64_t(k) + 1) && turn(int64_t(k) + 1) == t;
    const int32_t step = std::min(RunLength(at(k + n - 1), at(k)), RunLength(at(k), at(k + 1)));
    stair[k] = !prevSame && !nextSame && step <= 2;
  }
  // The sequence to simplify: true corners, and the middle of every run that
  // touches a stair corner.
  std::vector<TOutlinePoint> seq;
  std::vector<char> keep;
  const size_t runs = closed ? n : n - 1;
  for (size_t k = 0; k < n; ++k) {
    if (!stair[k]) {
      seq.push_back({double(c[k].X), double(c[k].Y)});
      keep.push_back(k == 0 || (!closed && k + 1 == n));
    }
    if (k < runs && (stair[k] || stair[(k + 1) % n])) {
      const TCornerPoint& a = c[k];
      const TCornerPoint& b = at(k + 1);
      seq.push_back({(a.X + b.X) / 2.0, (a.Y + b.Y) / 2.0});
      keep.push_back(0);
    }
  }
  const size_t m = seq.size();
  if (m <= 2 || (closed && m <= 3)) {
    out.Points = seq;
    return out;
  }
  if (closed) {
    // Split the loop at its first point and the point farthest from it.
    size_t far = 1;
    double best = -1;
    for (size_t k = 1; k < m; ++k) {
      const double dx = seq[k].X - seq[0].X, dy = seq[k].Y - seq[0].Y;
      if (dx * dx + dy * dy > best) {
        best = dx * dx + dy * dy;
        far = k;
      }
    }
    keep[far] = 1;
    SimplifyRange(seq, 0, far, Tolerance, keep);
    SimplifyRange(seq, far, m, Tolerance, keep);
  } else {
    SimplifyRange(seq, 0, m - 1, Tolerance, keep);
  }
  for (size_t k = 0; k < m; ++k)
    if (keep[k]) out.Points.push_back(seq[k]);
  return out;
}
