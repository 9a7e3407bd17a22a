// vellumcraft-cli export-vtt MAP OUT [--pixels-per-grid N | --preset NAME] [--labels]
//   [--bake-lights] [--merge-objects] [--quiet]

#include <filesystem>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "cli/cli_progress.h"
#include "cli/cli_style_option.h"
#include "cli/cli_preset_option.h"
#include "cli/cli_props.h"
#include "cli/cli_values.h"
#include "map/compose/prop_scene.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/output_preset.h"
#include "map/output/vtt_export.h"

namespace fs = std::filesystem;

namespace vcli {

int RunExportVtt(const TCliArgs& Args, const TCliContext& Context) {
  std::string mapPath, outPath;
  TVttExportOptions options;
  bool quiet = false, sizeGiven = false;
  TOutputPreset preset = TOutputPreset::Custom;
  TStyleRequest style;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (TakeStyleOption(Args, i, style)) {
      continue;
    } else if (a == "--pixels-per-grid") {
      const std::string& v = OptionValue(Args, i);
      const std::optional<int32_t> n = ParseInt(v);
      if (!n || *n < 1 || *n > kVttMaxPixelsPerGrid)
        throw TUsageError("--pixels-per-grid takes a whole number from 1 to " +
                          std::to_string(kVttMaxPixelsPerGrid) + ", not \"" + v + "\"");
      options.PixelsPerGrid = *n;
      sizeGiven = true;
    } else if (a == "--preset") {
      preset = ParsePreset(OptionValue(Args, i));
    } else if (a == "--labels") {
      options.Labels = true;
    } else if (a == "--bake-lights") {
      options.BakeLights = true;
    } else if (a == "--merge-objects") {
      options.MergeObjectOutlines = true;
    } else if (a == "--quiet") {
      quiet = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw TUsageError("unknown option " + a + " for export-vtt");
    } else {
      TakeMapAndOut(a, mapPath, outPath, "export-vtt takes a map and one output file");
    }
  }
  if (mapPath.empty() || outPath.empty()) throw TUsageError("export-vtt needs MAP and OUT");
  if (preset != TOutputPreset::Custom) {
    if (sizeGiven)
      throw TUsageError(std::string("--preset ") + OutputPresetKey(preset) +
                        " sets the size; use --preset custom with --pixels-per-grid");
    options.PixelsPerGrid = PresetSize(preset).PixelsPerCell;
  }

  CheckOutputPath(mapPath, outPath);
  TMapEditLayerList map;
  LoadMapWithWarnings(map, mapPath);
  ApplyStyleRequest(style, StoredStyleOrWarn(map), options.Grid);
  TPropScene props;
  LoadPropScene(props, map, mapPath, Context.ExecutableDir, quiet);
  options.Grid.Compose.Props = &props;
  WarnLargeImage(map.Width(), map.Height(),
                 options.PixelsPerGrid > 0 ? options.PixelsPerGrid : map.ChipSize(),
                 "--pixels-per-grid");
  RunWithProgress(quiet, outPath, [&](const TOutputProgress& Progress) {
    ExportVtt(map, outPath, options, Progress);
  });
  return 0;
}

}  // namespace vcli
