// The document's per-cell redraw operations: RedrawCell and the ways of applying it
// to a neighbourhood, a list of cells or the whole map.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <unordered_set>
#include <vector>

#include "map/compose/cell_composer.h"
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
    for (int32_t py = 0; py < cs; ++py) image.FillAlpha(X0, Y0 + py, cs, j == L ? 255 : 0);
    layer.Coverage().SetCell(CX, CY, j == L);
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
  ComputeCells(*this, taken, ComputeCell);
  Doors().RebuildDoorBitmap();
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

void TMapEditLayerList::ClearCellShade(int32_t CX, int32_t CY) {
  if (!InsideMap(*this, CX, CY)) return;
  TBitmap32& shades = Shades();
  const int32_t cs = ChipSize();
  const int32_t X0 = CX * cs, Y0 = CY * cs;
  if (X0 + cs > shades.Width() || Y0 + cs > shades.Height()) return;
  shades.FillArea(X0, Y0, X0 + cs, Y0 + cs, 0);
  FShadeCoverage.SetCell(CX, CY, false);
}
