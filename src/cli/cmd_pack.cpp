// vellumcraft-cli pack MAP OUT_FOLDER [--quiet]

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_pack.h"

namespace vcli {

int RunPack(const TCliArgs& Args, const TCliContext& Context) {
  std::string mapPath, outFolder;
  bool quiet = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--quiet")
      quiet = true;
    else if (!a.empty() && a[0] == '-' && a != "-")
      throw TUsageError("unknown option " + a + " for pack");
    else
      TakeMapAndOut(a, mapPath, outFolder, "pack takes one map and one output folder");
  }
  if (mapPath.empty() || outFolder.empty()) throw TUsageError("pack needs MAP and OUT_FOLDER");

  TMapEditLayerList map;
  LoadMap(map, mapPath);
  TPackReport report;
  try {
    PackMap(map, mapPath, outFolder, report);
  } catch (...) {
    throw FileError(mapPath, CurrentErrorMessage());
  }
  if (!quiet) {
    for (const TPackReport::TCopied& c : report.Textures)
      std::fprintf(Context.Out, "%s -> %s\n", c.From.c_str(), c.Name.c_str());
    std::fprintf(Context.Out, "%s\n", report.MapFile.c_str());
  }
  return 0;
}

}  // namespace vcli
