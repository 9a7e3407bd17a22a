#pragma once
// The options of render and print that choose what is drawn over the map:
// --no-labels (a players' copy) and --light-preview (the lights baked in).

#include <string>

#include "map/compose/compose_options.h"

namespace vcli {

// Applies Arg when it is one of these options; false for any other word.
bool ParseComposeOption(const std::string& Arg, TComposeOptions& Options);

}  // namespace vcli
