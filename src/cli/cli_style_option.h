#pragma once
// The map-style and grid-style options of render, print and export-vtt:
//   --hatch DIST[,SPACING]  --hatch-color #RRGGBB  --hatch-seed N
//   --shadow ANGLE,LENGTH[,SOFTNESS]  --outline WIDTH[,ROUGHNESS]  --outline-color #RRGGBB
//   --ink-saving hatch|grey  --plain
//   --grid-style solid|dashed|dotted  --grid-opacity PERCENT

#include <cstddef>
#include <string>
#include <vector>

#include "map/output/image_output.h"

class TMapEditLayerList;

namespace vcli {

// What the style options asked for: changes on top of the map's stored style,
// or (with --plain) the plain picture with only these changes.
struct TStyleRequest {
  bool Plain = false;
  // The options in the order given, applied by ApplyStyleRequest.
  std::vector<std::pair<std::string, std::string>> Changes;
};

// Takes Args[I] (and its value, advancing I) when it is a style option and
// returns true; false for any other argument. Raises TUsageError for a bad value.
bool TakeStyleOption(const std::vector<std::string>& Args, size_t& I, TStyleRequest& Request);

// The style to draw: Stored (the map's own) unless --plain, then the requested
// changes; the looks go into Options.Compose, the grid style and opacity into
// Options.
void ApplyStyleRequest(const TStyleRequest& Request, const TMapStyleSettings& Stored,
                       TOutputOptions& Options);
// The same, turned into the settings a map stores.
TMapStyleSettings RequestedStyle(const TStyleRequest& Request, const TMapStyleSettings& Stored);
// The map's stored style, with a warning on standard error when its style object
// cannot be read (the map is then drawn plain).
TMapStyleSettings StoredStyleOrWarn(const TMapEditLayerList& Map);

}  // namespace vcli
