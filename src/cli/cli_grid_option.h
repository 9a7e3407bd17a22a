#pragma once
// The --grid option of render and print.

#include <string>

#include "map/output/image_output.h"

namespace vcli {

// "all" or a comma list of left, right, top, bottom: only the named sides are on,
// and the grid is drawn. Raises TUsageError for anything else.
void ParseGridSides(const std::string& Text, TOutputOptions& Options);

}  // namespace vcli
