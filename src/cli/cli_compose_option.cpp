#include "cli/cli_compose_option.h"

namespace vcli {

bool ParseComposeOption(const std::string& Arg, TComposeOptions& Options) {
  if (Arg == "--no-labels") {
    Options.Labels = false;
    return true;
  }
  if (Arg == "--light-preview") {
    Options.LightPreview = true;
    return true;
  }
  return false;
}

}  // namespace vcli
