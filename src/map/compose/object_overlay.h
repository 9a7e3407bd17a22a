#pragma once
// The objects drawn over the composed map: the light preview first (it tints the
// floor, not what lies on it), then windows and labels in the order of the map's
// object list, later ones on top.

#include <cstdint>

#include "map/compose/compose_options.h"
#include "map/raster/bitmap32.h"

class TMapEditLayerList;
struct TMapLabel;
struct TMapWindow;

// Draws over Target the objects inside Clip (map pixels, already composed, its
// top-left at (DestX, DestY) of Target), as Options asks. Objects whose data
// cannot be read are passed over.
void DrawMapObjects(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Clip,
                    int32_t DestX, int32_t DestY, const TComposeOptions& Options);

// One window: a light bar across the wall along its segment, framed by a darker
// line; its thickness grows with the chip size.
void DrawWindow(const TMapWindow& Window, int32_t ChipSize, TBitmap32& Target, const TRect& Clip,
                int32_t DestX, int32_t DestY);
// One label, with its halo when it has an outline colour.
void DrawLabel(const TMapLabel& Label, int32_t ChipSize, TBitmap32& Target, const TRect& Clip,
               int32_t DestX, int32_t DestY);

// The thickness of a window bar for cells of ChipSize pixels (even, at least 2).
int32_t WindowBarWidth(int32_t ChipSize);
