#pragma once
// What the New command does to a document, without the window: empty it, size it,
// add the wall layer and the layers of an optional layer set, and make every cell
// a chip cell.

#include <cstdint>

class TMapEditLayerList;
struct TLayerSet;

// The sizes New accepts: the map size dialog's ranges for width and height, and any
// chip size from 1 to 100 pixels.
constexpr int32_t kMinMapCells = 1;
constexpr int32_t kMaxMapCells = 200;
constexpr int32_t kMinChipSize = 1;
constexpr int32_t kMaxChipSize = 100;

// The wall layer every new map starts with.
inline constexpr const char* kWallLayerName = "壁";
inline constexpr const char* kWallLayerSource = "0";

// Empties the document as if it were created afresh: no layers, no doors, zero
// size (so the next SetSize builds zero-filled grids and a cleared shade image).
void ResetDocument(TMapEditLayerList& Map);

// Makes Map a new map of Width x Height cells of ChipSize pixels: the wall layer
// "壁" (solid black, object type, opaque), then the layers of Set when one is given
// and valid, every cell a chip cell, and every cell composed. Returns the number of
// layers the set added. Sizes outside the ranges above raise EVellumError before
// anything changes.
int32_t CreateNewMap(TMapEditLayerList& Map, int32_t Width, int32_t Height, int32_t ChipSize,
                     const TLayerSet* Set = nullptr);
