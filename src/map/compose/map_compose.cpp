// The document's per-cell redraw operations: RedrawCell and the ways of applying it
// to a neighbourhood, a list of cells or the whole map.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <unordered_set>
#include <vector>

#include "map/compose/cell_composer.h"
#include "map/document/map_edit_door.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"

namespace {

// Below this many cells a parallel pass costs more than it saves.
constexpr int64_t kParallelMinCells = 32;

// Runs RedrawCell's computation over Cells in parallel. Every cell writes only its
// own pixels and reads only the grids and the door bitmap, so the result does not
// depend on the order.
void ComputeCells(TMapEditLayerList& Map, const std::vector<TPoint>& Cells,
                  void (*Compute)(TMapEditLayerList&, int32_t, int32_t)) {
  const int64_t n = int64_t(Cells.size());
  std::exception_ptr failure;
#pragma omp parallel for schedule(dynamic, 8) if (n >= kParallelMinCells)
  for (int64_t i = 0; i < n; ++i) {
    try {
      Compute(Map, Cells[size_t(i)].X, Cells[size_t(i)].Y);
    } catch (...) {
#pragma omp critical(vc_compose_failure)
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

// A door draws within this many pixels of its segment (its band and the trim
// rectangle past its ends), and what it draws depends on the walls up to this many
// pixels from the segment (the trim looks three pixels around each band pixel).
constexpr int64_t kDoorDraws = 9;  // generous: the band reaches 3, the trim 5
constexpr int64_t kDoorDependsOn = 12;

int64_t FloorDiv(int64_t A, int64_t B) { return A >= 0 ? A / B : -((-A + B - 1) / B); }

bool Meets(const TPixelBox& A, const TPixelBox& B) {
  return A.X0 <= B.X1 && B.X0 <= A.X1 && A.Y0 <= B.Y1 && B.Y0 <= A.Y1;
}

TPixelBox Grown(const TPixelBox& B, int64_t By) {
  return {B.X0 - By, B.Y0 - By, B.X1 + By, B.Y1 + By};
}

// Calls F with the segment box of every door.
template <typename F>
void ForEachDoorBox(TMapEditLayerList& Map, F&& Fn) {
  if (!Map.DoorsIfCreated()) return;
  TMapEditDoorList& doors = Map.Doors();
  const int64_t cs = Map.ChipSize();
  TMapEditHorzDoorList& horz = doors.HorzDoor();
  for (int32_t i = 0; i < horz.Count(); ++i) {
    const TMapEditHorzDoor* d = horz.Items(i);
    Fn(TPixelBox{d->X * cs, d->Y * cs, (int64_t(d->X) + d->Width) * cs, d->Y * cs});
  }
  TMapEditVertDoorList& vert = doors.VertDoor();
  for (int32_t i = 0; i < vert.Count(); ++i) {
    const TMapEditVertDoor* d = vert.Items(i);
    Fn(TPixelBox{d->X * cs, d->Y * cs, d->X * cs, (int64_t(d->Y) + d->Height) * cs});
  }
  TMapEditCustomDoorList& free = doors.FreeDoor();
  for (int32_t i = 0; i < free.Count(); ++i) {
    const TMapEditCustomDoor* d = free.Items(i);
    Fn(TPixelBox{std::min(d->X, d->X2), std::min(d->Y, d->Y2), std::max(d->X, d->X2),
                 std::max(d->Y, d->Y2)});
  }
}

bool InsideMap(const TMapEditLayerList& Map, int32_t CX, int32_t CY) {
  return CX >= 0 && CY >= 0 && CX < Map.Width() && CY < Map.Height();
}

// The computation of RedrawCell for a cell inside the map, without the hook.
void ComputeCell(TMapEditLayerList& Map, int32_t CX, int32_t CY) {
  TCellComposer& composer = TCellComposer::ForThisThread();
  const int32_t count = Map.Count();
  if (Map.Cells(CX, CY) == 0 || !Map.FastDraw) {
    composer.ComposeCell(Map, CX, CY, count - 1);
    return;
  }
  const int32_t cs = Map.ChipSize();
  const int32_t X0 = CX * cs, Y0 = CY * cs;
  const int32_t L = Map.PixelLayers(X0, Y0);
  if (L < 0 || L >= count) {
    // A chip cell of a layer that no longer exists: take the full path.
    composer.ComposeCell(Map, CX, CY, count - 1);
    return;
  }
  // A chip cell shows only its own layer: the layers below it (higher index) are
  // hidden, so only the ones above need the full computation.
  composer.ComposeCell(Map, CX, CY, L - 1);
  const int32_t PW = Map.PixelWidth(), PH = Map.PixelHeight();
  for (int32_t j = L; j < count; ++j) {
    TMapEditLayer& layer = *Map.Layers(j);
    TLayerImage& image = layer.ImageKeepingCoverage();
    if (image.Width() != PW || image.Height() != PH) continue;
    image.FillSquareAlpha(X0, Y0, cs, j == L ? 255 : 0);
    layer.Coverage().SetCell(CX, CY, j == L);
  }
  // A wall cell holds no shade, as the full computation gives it: clear what an
  // earlier floor left there, so that the picture does not depend on the cell's past.
  if (L == 0) {
    TShadeImage& shades = Map.Shades();
    if (shades.Width() == PW && shades.Height() == PH) {
      shades.FillArea(X0, Y0, X0 + cs, Y0 + cs, 0);
      Map.ShadeCoverage().SetCell(CX, CY, false);
    }
  }
}

}  // namespace

void TMapEditLayerList::RedrawCell(int32_t CX, int32_t CY) {
  if (!InsideMap(*this, CX, CY)) return;
  if (OnRedrawCell) OnRedrawCell(CX, CY);
  ComputeCell(*this, CX, CY);
}

void TMapEditLayerList::RedrawAround(int32_t CX, int32_t CY) {
  RedrawCell(CX, CY);
  RedrawCell(CX - 1, CY);
  RedrawCell(CX + 1, CY);
  RedrawCell(CX, CY + 1);
  RedrawCell(CX, CY - 1);
  RedrawCell(CX - 1, CY - 1);
  RedrawCell(CX + 1, CY - 1);
  RedrawCell(CX - 1, CY + 1);
  RedrawCell(CX + 1, CY + 1);
}

void TMapEditLayerList::RedrawCells(const TRecordList& List) {
  // Each listed cell and its eight neighbours, once each; a newly taken cell goes
  // to the front, so the redraw order is the reverse of the order of taking.
  static constexpr int32_t kAround[9][2] = {{0, 0},  {-1, 0}, {-1, -1}, {-1, 1}, {1, 0},
                                            {1, -1}, {1, 1},  {0, -1},  {0, 1}};
  std::vector<TPoint> taken;
  std::unordered_set<int64_t> seen;
  for (int32_t i = 0; i < List.Count(); ++i) {
    const TPoint p = List.Item(i);
    for (const auto& d : kAround) {
      const int32_t x = p.X + d[0], y = p.Y + d[1];
      if (!InsideMap(*this, x, y)) continue;
      if (!seen.insert(int64_t(y) * int64_t(Width()) + x).second) continue;
      taken.push_back({x, y});
    }
  }
  std::reverse(taken.begin(), taken.end());
  Shades();  // created here, not inside the parallel pass
  if (OnRedrawCell)
    for (const TPoint& p : taken) OnRedrawCell(p.X, p.Y);
  // The door bitmap is brought up to date first when the painting reached a door:
  // the cells are to be composed with the doors as they now look.
  std::vector<TPixelBox> doorBoxes;
  bool rebuilt = false;
  if (!taken.empty() && ChipSize() > 0) {
    TPixelBox changed{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
    const int64_t cs = ChipSize();
    for (int32_t i = 0; i < List.Count(); ++i) {
      const TPoint p = List.Item(i);
      changed.X0 = std::min<int64_t>(changed.X0, p.X * cs);
      changed.Y0 = std::min<int64_t>(changed.Y0, p.Y * cs);
      changed.X1 = std::max<int64_t>(changed.X1, (int64_t(p.X) + 1) * cs - 1);
      changed.Y1 = std::max<int64_t>(changed.Y1, (int64_t(p.Y) + 1) * cs - 1);
    }
    rebuilt = UpdateDoorsForGridChange(changed, doorBoxes);
  }
  // A door bitmap not built yet is built (empty of doors, at the map's size).
  const TBitmap32* bmp = Doors().BitmapIfCreated();
  if (!rebuilt && (!bmp || bmp->Width() != PixelWidth() || bmp->Height() != PixelHeight()))
    Doors().RebuildDoorBitmap();
  ComputeCells(*this, taken, ComputeCell);
  if (doorBoxes.empty()) return;
  RedrawBoxes(doorBoxes, [&seen, this](int32_t X, int32_t Y) {
    return seen.count(int64_t(Y) * int64_t(Width()) + X) > 0;
  });
}

void TMapEditLayerList::Refresh(const TProgressReport& Progress) {
  const int32_t w = std::max(Width(), 0), h = std::max(Height(), 0);
  Shades();  // created here, not inside the parallel pass
  // Every cell is recomputed, so the cell coverage of the layers and the shades
  // starts over here (all covered until each cell has recorded its own state).
  for (int32_t i = 0; i < Count(); ++i)
    Layers(i)->Coverage().Reset(Width(), Height(), ChipSize(), true);
  FShadeCoverage.Reset(Width(), Height(), ChipSize(), true);
  // Column by column, top to bottom; the hook sees that order, the computation
  // itself runs in parallel with the same result.
  std::vector<TPoint> cells;
  if (!Progress || OnRedrawCell || int64_t(w) * h == 0) {
    cells.reserve(size_t(w) * size_t(h));
    if (h > 0)
      for (int32_t x = 0; x < w; ++x)
        for (int32_t y = 0; y < h; ++y) cells.push_back({x, y});
    if (OnRedrawCell)
      for (const TPoint& p : cells) OnRedrawCell(p.X, p.Y);
    ComputeCells(*this, cells, ComputeCell);
    if (Progress) Progress("refresh", 1, 1);
    return;
  }
  // Batches of whole columns, about 4096 cells each, with a report after each.
  const int64_t total = int64_t(w) * h;
  const int32_t batch = std::max<int32_t>(1, int32_t((int64_t(64) * 64 + h - 1) / h));
  Progress("refresh", 0, total);
  for (int32_t x0 = 0; x0 < w; x0 += batch) {
    const int32_t x1 = std::min(w, x0 + batch);
    cells.clear();
    for (int32_t x = x0; x < x1; ++x)
      for (int32_t y = 0; y < h; ++y) cells.push_back({x, y});
    ComputeCells(*this, cells, ComputeCell);
    Progress("refresh", int64_t(x1) * h, total);
  }
}

void TMapEditLayerList::RebuildDoorsComparing(const std::vector<TPixelBox>& Regions,
                                              std::vector<TPixelBox>& Boxes) {
  // The door bitmap inside each region before the rebuild, to find what changed.
  // Read without the writable access, which would drop the door coverage.
  const TBitmap32* bmp = Doors().BitmapIfCreated();
  const TPixelBox whole{0, 0, int64_t(PixelWidth()) - 1, int64_t(PixelHeight()) - 1};
  const bool sized = bmp && bmp->Width() == PixelWidth() && bmp->Height() == PixelHeight();
  std::vector<TPixelBox> clipped;
  std::vector<std::vector<TColor32>> before;
  for (const TPixelBox& r : Regions) {
    const TPixelBox c{std::max(r.X0, whole.X0), std::max(r.Y0, whole.Y0), std::min(r.X1, whole.X1),
                      std::min(r.Y1, whole.Y1)};
    if (c.X0 > c.X1 || c.Y0 > c.Y1) continue;
    clipped.push_back(c);
    std::vector<TColor32>& px = before.emplace_back();
    for (int64_t y = c.Y0; y <= c.Y1; ++y)
      for (int64_t x = c.X0; x <= c.X1; ++x)
        px.push_back(sized ? bmp->Pixel(int32_t(x), int32_t(y)) : 0);
  }
  Doors().RebuildDoorBitmap();
  const TBitmap32& now = *Doors().BitmapIfCreated();
  for (size_t i = 0; i < clipped.size(); ++i) {
    const TPixelBox& c = clipped[i];
    TPixelBox diff{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
    size_t k = 0;
    for (int64_t y = c.Y0; y <= c.Y1; ++y)
      for (int64_t x = c.X0; x <= c.X1; ++x, ++k)
        if (now.Pixel(int32_t(x), int32_t(y)) != before[i][k]) {
          diff.X0 = std::min(diff.X0, x);
          diff.Y0 = std::min(diff.Y0, y);
          diff.X1 = std::max(diff.X1, x);
          diff.Y1 = std::max(diff.Y1, y);
        }
    if (diff.X0 <= diff.X1) Boxes.push_back(diff);
  }
}

bool TMapEditLayerList::UpdateDoorsForGridChange(const TPixelBox& Changed,
                                                 std::vector<TPixelBox>& Boxes) {
  std::vector<TPixelBox> regions;
  ForEachDoorBox(*this, [&](const TPixelBox& B) {
    if (Meets(Grown(B, kDoorDependsOn), Changed)) regions.push_back(Grown(B, kDoorDraws));
  });
  if (regions.empty()) return false;
  RebuildDoorsComparing(regions, Boxes);
  return true;
}

void TMapEditLayerList::RedrawBoxes(const std::vector<TPixelBox>& Boxes,
                                    const std::function<bool(int32_t CX, int32_t CY)>& Skip) {
  const int32_t cs = ChipSize(), w = Width(), h = Height();
  if (cs <= 0 || w <= 0 || h <= 0) return;
  // A cell reads its own pixels and half a cell around them.
  const int64_t u = cs / 2;
  std::vector<uint8_t> taken(size_t(w) * size_t(h), 0);
  std::vector<TPoint> cells;
  for (const TPixelBox& b : Boxes) {
    const int64_t cx0 = std::max<int64_t>(FloorDiv(b.X0 - u, cs), 0);
    const int64_t cx1 = std::min<int64_t>(FloorDiv(b.X1 + u, cs), w - 1);
    const int64_t cy0 = std::max<int64_t>(FloorDiv(b.Y0 - u, cs), 0);
    const int64_t cy1 = std::min<int64_t>(FloorDiv(b.Y1 + u, cs), h - 1);
    for (int64_t cx = cx0; cx <= cx1; ++cx)
      for (int64_t cy = cy0; cy <= cy1; ++cy) {
        uint8_t& t = taken[size_t(cy) * size_t(w) + size_t(cx)];
        if (t) continue;
        t = 1;
        if (Skip && Skip(int32_t(cx), int32_t(cy))) continue;
        cells.push_back({int32_t(cx), int32_t(cy)});
      }
  }
  Shades();  // created here, not inside the parallel pass
  if (OnRedrawCell)
    for (const TPoint& p : cells) OnRedrawCell(p.X, p.Y);
  ComputeCells(*this, cells, ComputeCell);
}

void TMapEditLayerList::RebuildDoorsForDoor(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                            std::vector<TPixelBox>& Boxes) {
  const TPixelBox b{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2)};
  RebuildDoorsComparing({Grown(b, kDoorDraws)}, Boxes);
}

bool TMapEditLayerList::CellSeesDoor(int32_t CX, int32_t CY) {
  const int64_t cs = ChipSize(), u = cs / 2;
  const TPixelBox window{CX * cs - u, CY * cs - u, CX * cs + cs - 1 + u, CY * cs + cs - 1 + u};
  bool sees = false;
  ForEachDoorBox(*this, [&](const TPixelBox& B) {
    if (!sees && Meets(Grown(B, kDoorDraws), window)) sees = true;
  });
  return sees;
}

void TMapEditLayerList::ClearCellShade(int32_t CX, int32_t CY) {
  if (!InsideMap(*this, CX, CY)) return;
  TShadeImage& shades = Shades();
  const int32_t cs = ChipSize();
  const int32_t X0 = CX * cs, Y0 = CY * cs;
  if (X0 + cs > shades.Width() || Y0 + cs > shades.Height()) return;
  shades.FillArea(X0, Y0, X0 + cs, Y0 + cs, 0);
  FShadeCoverage.SetCell(CX, CY, false);
}
