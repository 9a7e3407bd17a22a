#pragma once
// What a composition draws beyond the stack of layers, doors, walls and shades.
// The defaults give exactly that stack; every further look (labels, props, map
// styles, lights) is a field here that the view, image output, printing and the
// VTT image switch on through the one composition routine.

struct TComposeOptions {
  // Labels of the map (room numbers, notes); off for a players' copy.
  bool Labels = true;
  // The lights' falloff baked into the picture; off, so the picture stays the
  // design's own.
  bool LightPreview = false;
};
