#include "map/document/layer_renumber.h"

#include <functional>

#include "map/document/map_edit_layer_list.h"
#include "map/undo/undo_history.h"
#include "record/errors.h"

namespace {

void Remap(TMapEditLayerList& Map, TUndoHistory* Undo, const std::function<int32_t(int32_t)>& F) {
  TGrid2D<int32_t>& pixels = Map.PixelGrid();
  for (int32_t y = 0; y < pixels.Height(); ++y) {
    int32_t* row = pixels.Row(y);
    for (int32_t x = 0; x < pixels.Width(); ++x) row[x] = F(row[x]);
  }
  if (Undo) Undo->MapLayerIndices(F);
}

}  // namespace

void InsertLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo) {
  if (Index < 1 || Index > Map.Count())
    throw EListError("Layer index " + std::to_string(Index) + " is out of range");
  Map.InsertLayer(Index);
  Remap(Map, Undo, [Index](int32_t L) { return L >= Index ? L + 1 : L; });
}

void DeleteLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo) {
  if (Index < 1 || Index >= Map.Count())
    throw EListError("Layer index " + std::to_string(Index) + " is out of range");
  Map.Delete(Index);
  const int32_t heir = Index < Map.Count() ? Index : Index - 1;
  Remap(Map, Undo, [Index, heir](int32_t L) {
    if (L == Index) return heir;
    return L > Index ? L - 1 : L;
  });
}
