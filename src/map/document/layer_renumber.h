#pragma once
// Inserting and deleting layers without repainting the map. Pixels and cells name
// their layer by its position in the list, so every position at or after the
// change moves with it; undo snapshots hold positions too and move alike. The
// editor and the command-line tool both change layers through these.

#include <cstdint>

class TMapEditLayerList;
class TUndoHistory;

// Inserts an empty layer at Index (1 .. Count) and moves every pixel entry at or
// above Index up by one, in the map and in Undo's snapshots when given.
void InsertLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo = nullptr);

// Deletes layer Index (1 .. Count - 1) and moves entries above it down by one. The
// deleted layer's own pixels take the layer now in its place (the one before it
// when it was the last), so no pixel names a missing layer and the rest of the map
// keeps its textures. Undo's snapshots, when given, are renumbered alike.
void DeleteLayerRenumbered(TMapEditLayerList& Map, int32_t Index, TUndoHistory* Undo = nullptr);
