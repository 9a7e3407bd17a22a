#pragma once
// Inserting, deleting and moving layers without repainting the map. Pixels and
// cells name their layer by its position in the list, so every position at or
// after the change moves with it; undo records that hold positions can be moved
// alike. The editor and the command-line tool both change layers through these.

#include <cstdint>
#include <memory>

class TMapEditLayer;
class TMapEditLayerList;
class TUndoHistory;

// Inserts an empty layer at Index (1 .. Count) and moves every pixel entry at or
// above Index up by one, in the map and in Undo's records when given.
void InsertLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo = nullptr);
// The same with a layer object made before (one TakeLayerRenumbered gave).
void PutLayerRenumbered(TMapEditLayerList& Map, int32_t Index,
                        std::unique_ptr<TMapEditLayer> Layer);

// Deletes layer Index (1 .. Count - 1) and moves entries above it down by one. The
// deleted layer's own pixels take the layer now in its place (the one before it
// when it was the last), so no pixel names a missing layer and the rest of the map
// keeps its textures. Undo's records, when given, are renumbered alike.
void DeleteLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo = nullptr);
// The same, handing the layer object over instead of freeing it.
std::unique_ptr<TMapEditLayer> TakeLayerRenumbered(TMapEditLayerList& Map, int32_t Index);

// Moves floor layer From to position To (both 1 .. Count - 1), the layers between
// shifting by one, and renumbers the pixels so that each keeps its layer.
void MoveLayerRenumbered(TMapEditLayerList& Map, int32_t From, int32_t To);
