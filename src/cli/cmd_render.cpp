// vellumcraft-cli render MAP OUT [--grid SIDES] [--grid-color #RRGGBB] [--half-tone]
// [--pixels-per-cell N] [--dpi N] [--preset NAME] [--webp-quality N | --lossless]

#include <cctype>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_compose_option.h"
#include "cli/cli_errors.h"
#include "cli/cli_grid_option.h"
#include "cli/cli_map_io.h"
#include "cli/cli_style_option.h"
#include "cli/cli_preset_option.h"
#include "cli/cli_progress.h"
#include "cli/cli_props.h"
#include "cli/cli_values.h"
#include "map/compose/prop_scene.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/image_output.h"
#include "map/output/output_preset.h"

namespace fs = std::filesystem;

namespace vcli {

int RunRender(const TCliArgs& Args, const TCliContext& Context) {
  std::string mapPath, outPath;
  TOutputOptions options;
  bool quiet = false;
  int32_t pixelsPerCell = 0, dpi = 0;
  bool lossless = false, webpQuality = false, sizeGiven = false;
  TOutputPreset preset = TOutputPreset::Custom;
  TStyleRequest style;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (TakeStyleOption(Args, i, style)) {
      continue;
    } else if (a == "--grid") {
      ParseGridSides(OptionValue(Args, i), options);
    } else if (a == "--grid-color") {
      const std::string& v = OptionValue(Args, i);
      std::optional<TColor> c = ParseHexColor(v);
      if (!c) throw TUsageError("--grid-color takes #RRGGBB, not \"" + v + "\"");
      options.GridColor = *c;
    } else if (a == "--half-tone") {
      options.HalfTone = true;
    } else if (a == "--pixels-per-cell") {
      const std::string& v = OptionValue(Args, i);
      std::optional<int32_t> n = ParseInt(v);
      if (!n || *n < 1 || *n > kMaxOutputPixelsPerCell)
        throw TUsageError("--pixels-per-cell takes a whole number from 1 to " +
                          std::to_string(kMaxOutputPixelsPerCell) + ", not \"" + v + "\"");
      pixelsPerCell = *n;
      sizeGiven = true;
    } else if (a == "--preset") {
      preset = ParsePreset(OptionValue(Args, i));
    } else if (a == "--dpi") {
      const std::string& v = OptionValue(Args, i);
      std::optional<int32_t> n = ParseInt(v);
      // JPEG stores the density in 16 bits.
      if (!n || *n < 1 || *n > 65535)
        throw TUsageError("--dpi takes a whole number from 1 to 65535, not \"" + v + "\"");
      dpi = *n;
      sizeGiven = true;
    } else if (a == "--webp-quality") {
      const std::string& v = OptionValue(Args, i);
      std::optional<int32_t> n = ParseInt(v);
      if (!n || *n < 0 || *n > 100)
        throw TUsageError("--webp-quality takes a whole number from 0 to 100, not \"" + v + "\"");
      options.Webp = TWebpSettings{false, *n};
      webpQuality = true;
    } else if (a == "--lossless") {
      lossless = true;
    } else if (ParseComposeOption(a, options.Compose)) {
    } else if (a == "--quiet") {
      quiet = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw TUsageError("unknown option " + a + " for render");
    } else {
      TakeMapAndOut(a, mapPath, outPath, "render takes a map and one output file");
    }
  }
  if (mapPath.empty() || outPath.empty()) throw TUsageError("render needs MAP and OUT");
  if (preset != TOutputPreset::Custom) {
    if (sizeGiven)
      throw TUsageError(std::string("--preset ") + OutputPresetKey(preset) +
                        " sets the size; use --preset custom with --pixels-per-cell and --dpi");
    const TPresetSize size = PresetSize(preset);
    pixelsPerCell = size.PixelsPerCell;
    dpi = size.Dpi;
  }
  if (lossless && webpQuality)
    throw TUsageError("--lossless and --webp-quality exclude each other");
  std::string ext = fs::path(outPath).extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  if ((lossless || webpQuality) && ext != ".webp")
    throw TUsageError("--lossless and --webp-quality are for .webp output");

  CheckOutputPath(mapPath, outPath);
  TMapEditLayerList map;
  LoadMapWithWarnings(map, mapPath);
  ApplyStyleRequest(style, StoredStyleOrWarn(map), options);
  TPropScene props;
  LoadPropScene(props, map, mapPath, Context.ExecutableDir, quiet);
  options.Compose.Props = &props;
  WarnLargeImage(map.Width(), map.Height(), pixelsPerCell > 0 ? pixelsPerCell : map.ChipSize(),
                 "--pixels-per-cell");
  RunWithProgress(quiet, outPath, [&](const TOutputProgress& Progress) {
    // The map was just loaded and recomposed with fast drawing off, which is what
    // the output's own recomposition would compute once more.
    RenderMapImage(map, options, outPath,
                   map.FastDraw ? TOutputFastDraw::OffForOutput : TOutputFastDraw::KeepAsIs,
                   Progress, dpi, pixelsPerCell);
  });
  return 0;
}

}  // namespace vcli
