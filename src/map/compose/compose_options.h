#pragma once
// What a composition draws beyond the stack of layers, doors, walls and shades.
// The defaults give exactly that stack; every further look (labels, props, map
// styles, lights) is a field here that the view, image output, printing and the
// VTT image switch on through the one composition routine.

#include "map/compose/map_style_options.h"

struct TComposeOptions {
  // Hatching, drop shadow, wall outline, ink-saving colours (all off by default).
  TMapStyleOptions Style;
};
