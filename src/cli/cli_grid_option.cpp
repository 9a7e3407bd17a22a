#include "cli/cli_grid_option.h"

#include <sstream>

#include "cli/cli_errors.h"

namespace vcli {

// "all" or a comma list of left, right, top, bottom: only the named sides are on.
void ParseGridSides(const std::string& Text, TOutputOptions& Options) {
  Options.UseGrid = true;
  Options.LeftGrid = Options.RightGrid = Options.UpGrid = Options.DownGrid = false;
  if (Text == "all") {
    Options.LeftGrid = Options.RightGrid = Options.UpGrid = Options.DownGrid = true;
    return;
  }
  std::stringstream list(Text);
  std::string side;
  bool any = false;
  while (std::getline(list, side, ',')) {
    if (side == "left")
      Options.LeftGrid = true;
    else if (side == "right")
      Options.RightGrid = true;
    else if (side == "top")
      Options.UpGrid = true;
    else if (side == "bottom")
      Options.DownGrid = true;
    else
      throw TUsageError("--grid takes all or a comma list of left, right, top, bottom, not \"" +
                        Text + "\"");
    any = true;
  }
  if (!any || Text.back() == ',')
    throw TUsageError("--grid takes all or a comma list of left, right, top, bottom");
}

}  // namespace vcli
