#pragma once
// What a composition draws beyond the stack of layers, doors, walls and shades.
// The defaults give exactly that stack; every further look (labels, props, map
// styles, lights) is a field here that the view, image output, printing and the
// VTT image switch on through the one composition routine.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "map/compose/map_style_options.h"

class TPropScene;

struct TComposeOptions {
  // Layers left out of the picture, by document index (index 0 is the wall
  // layer); an index beyond the vector is shown. The editor hides layers in its
  // view only; outputs leave this empty unless the user asks otherwise.
  std::vector<bool> HiddenLayers;

  // Props drawn above the floor layers and beneath the doors, walls and shades:
  // a prop by a wall lies in the wall's shade, and no prop shows through a wall.
  // Null or empty: none.
  const TPropScene* Props = nullptr;

  // Hatching, drop shadow, wall outline, ink-saving colours (all off by default).
  TMapStyleOptions Style;

  bool Hidden(int32_t Layer) const {
    return Layer >= 0 && std::size_t(Layer) < HiddenLayers.size() &&
           HiddenLayers[std::size_t(Layer)];
  }
  bool HidesAny() const {
    for (bool h : HiddenLayers)
      if (h) return true;
    return false;
  }

  // Labels of the map (room numbers, notes); off for a players' copy.
  bool Labels = true;
  // The lights' falloff baked into the picture; off, so the picture stays the
  // design's own.
  bool LightPreview = false;
};
