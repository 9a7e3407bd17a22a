#pragma once
// Where the objects lie on the map, for picking them with the mouse and for
// drawing their selection.

#include <cstdint>
#include <optional>

#include "map/objects/map_object.h"
#include "map/raster/bitmap32.h"

class TMapEditLayerList;

// The half side, in pixels, of the square handle a light is picked by.
constexpr int32_t kLightHandle = 6;

// The rectangle (map pixels) an object covers as drawn: a label's letters (with
// its halo), a light's handle, a window's bar. Empty for objects that are not
// drawn or cannot be read.
TRect ObjectBounds(const TMapObject& Obj, int32_t ChipSize);

// The id of the topmost object at pixel (X, Y): the last one in the drawing order
// whose bounds hold the point, a window when the point lies near its bar. Labels
// count only when Labels is set (they are hidden otherwise).
std::optional<uint64_t> HitObject(const TMapEditLayerList& Map, int32_t X, int32_t Y,
                                  bool Labels = true);
