#pragma once
// Draws a map style over an area the composition has just stacked.

#include "map/compose/map_style_options.h"
#include "map/raster/bitmap32.h"

class TMapEditLayerList;

// Target pixels (DX, DY) onwards hold the composed map pixels Src (already
// clipped to the map and the target). Nothing happens when no style is on.
void DrawMapStyle(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src, int32_t DX,
                  int32_t DY, const TMapStyleOptions& Style);
