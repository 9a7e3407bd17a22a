// vellumcraft-cli render MAP OUT [--grid SIDES] [--grid-color #RRGGBB] [--half-tone]

#include <filesystem>
#include <sstream>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_grid_option.h"
#include "cli/cli_map_io.h"
#include "cli/cli_progress.h"
#include "cli/cli_values.h"
#include "map/image_output.h"
#include "map/map_edit_layer_list.h"

namespace fs = std::filesystem;

namespace vcli {

int RunRender(const TCliArgs& Args, const TCliContext&) {
  std::string mapPath, outPath;
  TOutputOptions options;
  bool quiet = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--grid") {
      ParseGridSides(OptionValue(Args, i), options);
    } else if (a == "--grid-color") {
      const std::string& v = OptionValue(Args, i);
      std::optional<TColor> c = ParseHexColor(v);
      if (!c) throw TUsageError("--grid-color takes #RRGGBB, not \"" + v + "\"");
      options.GridColor = *c;
    } else if (a == "--half-tone") {
      options.HalfTone = true;
    } else if (a == "--quiet") {
      quiet = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw TUsageError("unknown option " + a + " for render");
    } else if (mapPath.empty()) {
      mapPath = a;
    } else if (outPath.empty()) {
      outPath = a;
    } else {
      throw TUsageError("render takes a map and one output file");
    }
  }
  if (mapPath.empty() || outPath.empty()) throw TUsageError("render needs MAP and OUT");

  std::error_code ec;
  if (fs::is_directory(fs::path(outPath), ec)) throw FileError(outPath, "is a folder");
  if (fs::equivalent(fs::path(mapPath), fs::path(outPath), ec))
    throw FileError(outPath, "is the map itself; choose another output file");

  TMapEditLayerList map;
  TLoadedMap loaded = LoadMap(map, mapPath);
  WarnMissingTextures(mapPath, loaded);

  TProgressBar progress(quiet);
  try {
    RenderMapImage(map, options, outPath, TOutputFastDraw::OffForOutput, progress.Callback());
  } catch (...) {
    progress.Finish();
    throw FileError(outPath, CurrentErrorMessage());
  }
  return 0;
}

}  // namespace vcli
