#pragma once
// Moving objects by a distance in map pixels, as dragging a selection does.

#include <cstdint>

#include "map/objects/map_object.h"

// Obj moved by (DX, DY) pixels: labels and lights (and any object with numeric
// "x" and "y") by exactly that, free windows with both ends, and windows on a
// cell edge by whole cells, the distance rounded to the nearest cell of ChipSize
// pixels. Objects without a position come back unchanged.
TMapObject MovedObject(const TMapObject& Obj, int32_t DX, int32_t DY, int32_t ChipSize);
