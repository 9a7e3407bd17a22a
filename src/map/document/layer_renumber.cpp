#include "map/document/layer_renumber.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "map/document/map_edit_layer_list.h"
#include "map/undo/undo_history.h"
#include "record/errors.h"

namespace {

void Remap(TMapEditLayerList& Map, TUndoHistory* Undo, const std::function<int32_t(int32_t)>& F) {
  // Looked up in a table for every index a layer can have, the mapping costs a
  // load per pixel on maps of hundreds of millions of pixels.
  std::vector<int32_t> table(size_t(Map.Count()) + 2);
  for (size_t i = 0; i < table.size(); ++i) table[i] = F(int32_t(i));
  auto& pixels = Map.PixelGrid();
  for (int32_t y = 0; y < pixels.Height(); ++y) {
    auto* row = pixels.Row(y);
    for (int32_t x = 0; x < pixels.Width(); ++x) {
      const auto v = row[x];
      row[x] = v >= 0 && size_t(v) < table.size() ? table[size_t(v)] : F(v);
    }
  }
  if (Undo) Undo->MapLayerIndices(F);
}

void CheckFloorIndex(int32_t Index, int32_t Last) {
  if (Index < 1 || Index > Last)
    throw EListError("Layer index " + std::to_string(Index) + " is out of range");
}

std::function<int32_t(int32_t)> InsertMapping(int32_t Index) {
  return [Index](int32_t L) { return L >= Index ? L + 1 : L; };
}

// After layer Index is gone from a list of Count layers.
std::function<int32_t(int32_t)> DeleteMapping(int32_t Index, int32_t Count) {
  const int32_t heir = Index < Count ? Index : Index - 1;
  return [Index, heir](int32_t L) {
    if (L == Index) return heir;
    return L > Index ? L - 1 : L;
  };
}

}  // namespace

void InsertLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo) {
  CheckFloorIndex(Index, Map.Count());
  Map.InsertLayer(Index);
  Remap(Map, Undo, InsertMapping(Index));
}

void PutLayerRenumbered(TMapEditLayerList& Map, int32_t Index,
                        std::unique_ptr<TMapEditLayer> Layer) {
  CheckFloorIndex(Index, Map.Count());
  Map.PutLayer(Index, std::move(Layer));
  Remap(Map, nullptr, InsertMapping(Index));
}

void DeleteLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo) {
  CheckFloorIndex(Index, Map.Count() - 1);
  Map.Delete(Index);
  Remap(Map, Undo, DeleteMapping(Index, Map.Count()));
}

std::unique_ptr<TMapEditLayer> TakeLayerRenumbered(TMapEditLayerList& Map, int32_t Index) {
  CheckFloorIndex(Index, Map.Count() - 1);
  std::unique_ptr<TMapEditLayer> layer = Map.TakeLayer(Index);
  Remap(Map, nullptr, DeleteMapping(Index, Map.Count()));
  return layer;
}

void MoveLayerRenumbered(TMapEditLayerList& Map, int32_t From, int32_t To) {
  CheckFloorIndex(From, Map.Count() - 1);
  CheckFloorIndex(To, Map.Count() - 1);
  if (From == To) return;
  Map.MoveLayer(From, To);
  Remap(Map, nullptr, [From, To](int32_t L) {
    if (L == From) return To;
    if (From < To && L > From && L <= To) return L - 1;
    if (From > To && L >= To && L < From) return L + 1;
    return L;
  });
}
