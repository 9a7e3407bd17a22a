#pragma once
// Parsing of the values the tool's options and edit commands take. Each parser
// returns nothing for text that is not a well-formed value, so that callers can
// say which argument is wrong.

#include <cstdint>
#include <optional>
#include <string>

#include "map/base/color.h"

namespace vcli {

// A decimal integer with an optional sign, nothing else around it.
std::optional<int32_t> ParseInt(const std::string& Text);
// "WxH" (or "WXH"), two positive decimal integers.
std::optional<std::pair<int32_t, int32_t>> ParseSize(const std::string& Text);
// "#RRGGBB" as a platform colour value (R + 256·G + 65536·B).
std::optional<TColor> ParseHexColor(const std::string& Text);
// A door colour: "#RRGGBB" or "none" (the default door colour, clNone).
std::optional<TColor> ParseDoorColor(const std::string& Text);

}  // namespace vcli
