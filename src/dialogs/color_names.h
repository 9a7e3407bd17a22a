#pragma once
// The names the layer dialog proposes for a one-colour layer.

#include <string>

#include "map/base/color.h"

// The colour's English or Japanese name, or "$" followed by the value as eight
// upper-case hexadecimal digits when it has none.
std::string ColorToName(TColor Color, bool Japanese);
