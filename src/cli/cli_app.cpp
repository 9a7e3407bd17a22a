#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "map/base/text_messages.h"

#ifndef VC_VERSION
#define VC_VERSION "unknown"
#endif

namespace fs = std::filesystem;

namespace vcli {

const char* const kUsageText =
    "usage:\n"
    "  vellumcraft-cli info MAP [--json]\n"
    "  vellumcraft-cli new OUT --size WxH --chip N [--layer-set NAME|FILE] [--quiet]\n"
    "  vellumcraft-cli edit MAP [-o OUT] [--undo-limit N] [-e COMMAND]... [--script FILE]"
    " [--quiet]\n"
    "  vellumcraft-cli render MAP OUT [--grid SIDES] [--grid-color #RRGGBB] [--half-tone]"
    " [--pixels-per-cell N] [--dpi N] [--preset NAME] [--webp-quality N | --lossless]"
    " [--no-labels] [--light-preview] [--quiet]\n"
    "  vellumcraft-cli print MAP OUT.pdf --cell SIZE[mm|cm|in] [--paper NAME] [--landscape]"
    " [--dpi N] [--smooth] [--grey] [--overlap] [--grid SIDES] [--grid-color #RRGGBB]"
    " [--half-tone] [--sheets LIST] [--no-assembly] [--no-sheet-marks] [--trim-border]"
    " [--layout-json] [--no-labels] [--light-preview]\n"
    "  vellumcraft-cli export-vtt MAP OUT [--pixels-per-grid N] [--preset NAME] [--labels]"
    " [--bake-lights] [--merge-objects] [--quiet]\n"
    "  vellumcraft-cli label MAP X Y TEXT [--size CELLS] [--color C] [--outline C|none]"
    " [--align left|center|right] [--index I] [-o OUT]\n"
    "  vellumcraft-cli light MAP X Y [--radius CELLS] [--color C] [--intensity K]"
    " [--shadows on|off] [--index I] [-o OUT]\n"
    "  vellumcraft-cli window MAP h|v CX CY | X1 Y1 X2 Y2 [--color C|none] [--index I]"
    " [-o OUT]\n"
    "  vellumcraft-cli delete-object MAP INDEX... [-o OUT]\n"
    "  vellumcraft-cli prop MAP ASSET X Y [--rotation DEG] [--scale S] [--mirror] [--shadow]"
    " [--blocks-sight] [-o OUT]\n"
    "  vellumcraft-cli move-object MAP INDEX X Y [--by] [-o OUT]\n"
    "  vellumcraft-cli pack MAP OUT_FOLDER [--quiet]\n"
    "  vellumcraft-cli --help | --version\n";

namespace {

const char* const kHelpDetails =
    "\n"
    "Edit commands (LAYER is a document layer index, 0 the wall layer; I is a\n"
    "layer-list index, 0 the first floor layer; CX CY are cells, X Y pixels):\n"
    "  paint-chip CX CY LAYER            circle X Y RADIUS LAYER\n"
    "  rect-chips CX1 CY1 CX2 CY2 LAYER  rect-pixels X1 Y1 X2 Y2 LAYER\n"
    "  ellipse-chips CX1 CY1 CX2 CY2 LAYER\n"
    "  ellipse-pixels X1 Y1 X2 Y2 LAYER  fill X Y LAYER\n"
    "  door CX CY h|v [#RRGGBB|none]     free-door X1 Y1 X2 Y2 [#RRGGBB|none]\n"
    "  erase-free-doors X Y\n"
    "  add-layer NAME SOURCE [ground|floor|object] [before=I]\n"
    "  edit-layer I NAME SOURCE          delete-layer I\n"
    "  wall-layer NAME SOURCE            (the wall layer, 0)\n"
    "  style plain | style OPTIONS...    the map's stored style (OPTIONS as render's)\n"
    "  undo                              redo\n"
    "Pixel rectangles and ellipses end before X2, Y2. Words with blanks go in\n"
    "double quotes. In a script (--script FILE, or - for standard input), one\n"
    "command a line; # starts a comment.\n"
    "\n"
    "--grid takes all or a comma list of left, right, top, bottom.\n"
    "render writes OUT by its extension: .png, .jpg, .webp, anything else BMP. WebP\n"
    "is lossless unless --webp-quality N (0 to 100) asks for a smaller lossy file;\n"
    "WebP images are at most 16383 pixels a side.\n"
    "--preset sets the pixels per cell: foundry (Foundry / Universal VTT, 100),\n"
    "roll20 (70), print300 (one-inch cells at 300 dpi: 300, with 300 dpi stored) or\n"
    "custom (the --pixels-per-cell, --dpi or --pixels-per-grid given). An image with\n"
    "a side over 16384 pixels is written with a warning naming a size that fits.\n"
    "\n"
    "render, print and export-vtt draw the map in its stored style, and take:\n"
    "  --plain                        the plain picture (then the options below)\n"
    "  --hatch DIST[,SPACING]         pen hatching on the walls within DIST pixels\n"
    "  --hatch-color #RRGGBB, --hatch-seed N\n"
    "  --shadow ANGLE,LENGTH[,SOFT]   wall shadow towards ANGLE degrees (0 right, 90 down)\n"
    "  --outline WIDTH[,ROUGHNESS]    a line along the walls; --outline-color #RRGGBB\n"
    "  --ink-saving hatch|grey        light grey floors, walls hatched or grey\n"
    "  --grid-style solid|dashed|dotted, --grid-opacity PERCENT (0 to 100)\n"
    "Lengths are map pixels.\n"
    "\n"
    "Objects (labels, lights, windows, ...) are addressed by the \"index\" that\n"
    "info --json lists for them, their place in the map file; --index I changes\n"
    "object I instead of adding one. X Y are map pixels, sizes and radii cells,\n"
    "colours #RRGGBB or #AARRGGBB. A window on a cell edge: h is the top edge of\n"
    "cell CX CY, v its left edge.\n"
    "\n"
    "pack copies MAP and every texture it uses into OUT_FOLDER (textures into\n"
    "OUT_FOLDER/textures), the copy naming them by relative paths, so that the\n"
    "folder can be zipped and opened anywhere. It lists each texture copied and the\n"
    "map written.\n";

fs::path ExecutableDir(const char* Argv0) {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) exe = fs::absolute(fs::path(Argv0 ? Argv0 : ""), ec);
  return exe.parent_path();
}

}  // namespace

const std::string& OptionValue(const TCliArgs& Args, size_t& I) {
  if (I + 1 >= Args.size()) throw TUsageError("option " + Args[I] + " needs a value");
  return Args[++I];
}

int RunCli(int Argc, char** Argv) {
  TCliArgs args(Argv + 1, Argv + Argc);
  TCliContext context;
  context.ExecutableDir = ExecutableDir(Argc > 0 ? Argv[0] : nullptr);
  try {
    if (args.empty()) throw TUsageError("no command given");
    const std::string command = args[0];
    TCliArgs rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
      std::fputs(kUsageText, context.Out);
      std::fputs(kHelpDetails, context.Out);
      return 0;
    }
    if (command == "--version") {
      std::fprintf(context.Out, "vellumcraft-cli %s\n", VC_VERSION);
      return 0;
    }
    if (command == "info") return RunInfo(rest, context);
    if (command == "new") return RunNew(rest, context);
    if (command == "edit") return RunEdit(rest, context);
    if (command == "render") return RunRender(rest, context);
    if (command == "print") return RunPrint(rest, context);
    if (command == "export-vtt") return RunExportVtt(rest, context);
    if (command == "delete-object") return RunDeleteObject(rest, context);
    if (command == "prop") return RunProp(rest, context);
    if (command == "move-object") return RunMoveObject(rest, context);
    if (command == "label") return RunLabel(rest, context);
    if (command == "light") return RunLight(rest, context);
    if (command == "window") return RunWindow(rest, context);
    if (command == "pack") return RunPack(rest, context);
    throw TUsageError("unknown command \"" + command + "\"");
  } catch (const TUsageError& e) {
    std::fflush(context.Out);
    std::fprintf(stderr, "vellumcraft-cli: %s\n%s", e.what(), kUsageText);
    return 2;
  } catch (...) {
    std::fflush(context.Out);
    // The core's built-in texts in their English form, as the tool speaks English.
    std::fprintf(stderr, "vellumcraft-cli: %s\n", EnglishMessage(CurrentErrorMessage()).c_str());
    return 1;
  }
}

}  // namespace vcli
