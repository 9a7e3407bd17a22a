#pragma once
// A preview of the map's lights baked into a picture: the floor darkens away from
// every light, tinted by the lights' colours, so that a map's lighting can be
// judged before it goes to a virtual tabletop. Walls do not cast shadows here.

#include <cstdint>

#include "map/raster/bitmap32.h"

class TMapEditLayerList;

// How bright the map stays where no light reaches (0 black, 1 unchanged).
constexpr double kLightPreviewAmbient = 0.25;

// Multiplies each pixel of Clip (map pixels, its top-left at (DestX, DestY) of
// Target) by the ambient level plus the light that reaches it: a light adds its
// colour times its intensity times (1 - d / r)^2 at distance d within its radius r,
// every channel capped at 1. Alpha is kept. Nothing changes without lights.
void ApplyLightPreview(const TMapEditLayerList& Map, TBitmap32& Target, const TRect& Clip,
                       int32_t DestX, int32_t DestY);
