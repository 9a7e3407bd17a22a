#pragma once
// The one composition routine: stacks a map's images onto a target surface in
// display order: layers Count-1 down to 1, the door bitmap when there are doors,
// layer 0 (walls), then the shades. The view, image output, printing and the
// command-line tool all draw through it. Grid lines and frames are the callers'.

#include <cstdint>

#include "map/compose/compose_options.h"
#include "map/raster/bitmap32.h"

class TMapEditLayerList;

// Composes the map pixels inside MapRect (clipped to the map) at 1:1 with the
// rectangle's top-left placed at (DestX, DestY) of Target. Target pixels outside
// the composed area are left alone; inside it the result does not depend on what
// Target held before only where the map's lowest layers are opaque, exactly as the
// layers stack.
void ComposeMap(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& MapRect,
                int32_t DestX = 0, int32_t DestY = 0, const TComposeOptions& Options = {});

// Composes MapRect of the map stretched onto DestRect of Target, sampled with
// Resampler (nearest, or the filtered draft resampler for smooth scaling).
void ComposeMapStretched(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& DestRect,
                         const TRect& MapRect, TResamplerKind Resampler,
                         const TComposeOptions& Options = {});
