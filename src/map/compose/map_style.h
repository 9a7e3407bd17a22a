#pragma once
// Draws a map style over an area the composition has just stacked.

#include <functional>
#include "map/compose/map_style_options.h"

#include "map/raster/bitmap32.h"

class TMapEditLayerList;

// Target pixels (DX, DY) onwards hold the composed map pixels Src (already
// clipped to the map and the target). Nothing happens when no style is on.
void DrawMapStyle(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src, int32_t DX,
                  int32_t DY, const TMapStyleOptions& Style);

// Composes (with ComposeRows, given a part of Src and the target row it starts
// at) and styles the area in bands of rows, each styled as soon as it is
// composed, the bands shared out among the threads when the area is large; the
// same pixels as composing the whole area and then styling it. Without a style
// the area is composed in one go.
void ComposeStyledBands(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Src,
                        int32_t DX, int32_t DY, const TMapStyleOptions& Style,
                        const std::function<void(const TRect&, int32_t)>& ComposeRows);
