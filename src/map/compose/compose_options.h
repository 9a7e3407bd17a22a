#pragma once
// What a composition draws beyond the stack of layers, doors, walls and shades.
// The defaults give exactly that stack; every further look (labels, props, map
// styles, lights) is a field here that the view, image output, printing and the
// VTT image switch on through the one composition routine.

class TPropScene;

struct TComposeOptions {
  // Props drawn above the floor layers and beneath the doors, walls and shades:
  // a prop by a wall lies in the wall's shade, and no prop shows through a wall.
  // Null or empty: none.
  const TPropScene* Props = nullptr;
};
