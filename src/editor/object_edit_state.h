#pragma once
// What the window keeps while objects are edited on the canvas: the selected
// objects, a drag that moves them, and the band of a free window being drawn.

#include <cstdint>
#include <vector>

#include "record/record_list.h"

struct TObjectEditState {
  std::vector<uint64_t> Selection;
  bool Dragging = false;  // the selection follows the mouse
  bool Band = false;      // a free window is being drawn from Start to Now
  TPoint Start, Now;
};
