// vellumcraft-cli print MAP OUT.pdf --cell SIZE [--paper NAME] [--landscape] [--dpi N]
//   [--smooth] [--grey] [--grid SIDES] [--grid-color #RRGGBB] [--half-tone] [--overlap]
//   [--layout-json] [--sheets LIST] [--no-assembly] [--no-sheet-marks] [--trim-border]

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "cli/cli_commands.h"
#include "cli/cli_compose_option.h"
#include "cli/cli_errors.h"
#include "cli/cli_grid_option.h"
#include "cli/cli_map_io.h"
#include "cli/cli_props.h"
#include "cli/cli_style_option.h"
#include "cli/cli_values.h"
#include "map/compose/prop_scene.h"
#include "map/document/map_edit_layer_list.h"
#include "map/output/pdf_print_sink.h"
#include "map/output/print_job.h"
#include "map/output/print_layout.h"

namespace vcli {

namespace {

// "25mm", "2.5cm", "1in": a positive number and its unit.
void ParseCellSize(const std::string& Text, double& Size, TPrintUnit& Unit) {
  const char* units[] = {"mm", "cm", "in"};
  const TPrintUnit kinds[] = {TPrintUnit::Millimetre, TPrintUnit::Centimetre, TPrintUnit::Inch};
  for (int i = 0; i < 3; ++i) {
    const std::string u = units[i];
    if (Text.size() > u.size() && Text.compare(Text.size() - u.size(), u.size(), u) == 0) {
      const std::string number = Text.substr(0, Text.size() - u.size());
      char* end = nullptr;
      const double v = std::strtod(number.c_str(), &end);
      if (end && *end == '\0' && v > 0 && v <= 1000) {
        Size = v;
        Unit = kinds[i];
        return;
      }
    }
  }
  throw TUsageError("--cell takes a size with mm, cm or in, such as 25mm or 1in, not \"" + Text +
                    "\"");
}

}  // namespace

int RunPrint(const TCliArgs& Args, const TCliContext& Context) {
  std::string mapPath, outPath, paperName = "A4";
  double cellSize = 0;
  TPrintUnit unit = TPrintUnit::Inch;
  bool cellGiven = false, landscape = false, layoutJson = false, overlap = false;
  bool sheetMarks = true;
  int32_t dpi = 600;
  TPrintOptions options;
  options.AssemblyPage = true;
  TStyleRequest style;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (TakeStyleOption(Args, i, style)) {
      continue;
    } else if (a == "--cell") {
      ParseCellSize(OptionValue(Args, i), cellSize, unit);
      cellGiven = true;
    } else if (a == "--paper") {
      paperName = OptionValue(Args, i);
    } else if (a == "--landscape") {
      landscape = true;
    } else if (a == "--dpi") {
      const std::string& v = OptionValue(Args, i);
      const std::optional<int32_t> n = ParseInt(v);
      if (!n || *n < 1 || *n > 4800) throw TUsageError("--dpi takes 1 to 4800, not \"" + v + "\"");
      dpi = *n;
    } else if (a == "--smooth") {
      options.Smooth = true;
    } else if (a == "--grey" || a == "--gray") {
      options.FullColor = false;
    } else if (a == "--overlap") {
      overlap = true;
    } else if (a == "--grid") {
      ParseGridSides(OptionValue(Args, i), options.Grid);
    } else if (a == "--grid-color") {
      const std::string& v = OptionValue(Args, i);
      std::optional<TColor> c = ParseHexColor(v);
      if (!c) throw TUsageError("--grid-color takes #RRGGBB, not \"" + v + "\"");
      options.Grid.GridColor = *c;
    } else if (a == "--half-tone") {
      options.Grid.HalfTone = true;
    } else if (a == "--sheets") {
      options.Selection = OptionValue(Args, i);
    } else if (ParseComposeOption(a, options.Grid.Compose)) {
    } else if (a == "--no-assembly") {
      options.AssemblyPage = false;
    } else if (a == "--no-sheet-marks") {
      sheetMarks = false;
    } else if (a == "--trim-border") {
      options.TrimBorder = true;
    } else if (a == "--layout-json") {
      layoutJson = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw TUsageError("unknown option " + a + " for print");
    } else if (mapPath.empty()) {
      mapPath = a;
    } else if (outPath.empty()) {
      outPath = a;
    } else {
      throw TUsageError("print takes a map and one PDF file");
    }
  }
  if (mapPath.empty() || outPath.empty()) throw TUsageError("print needs MAP and OUT.pdf");
  if (!cellGiven) throw TUsageError("print needs --cell SIZE, such as --cell 1in or --cell 25mm");
  TPaperSize paper;
  try {
    paper = PaperByName(paperName);
  } catch (const std::exception& e) {
    throw TUsageError(e.what());
  }

  // Writing over the map would replace it with the PDF.
  CheckOutputPath(mapPath, outPath);
  TMapEditLayerList map;
  LoadMapWithWarnings(map, mapPath);
  ApplyStyleRequest(style, StoredStyleOrWarn(map), options.Grid);
  TPropScene props;
  LoadPropScene(props, map, mapPath, Context.ExecutableDir, layoutJson);
  options.Grid.Compose.Props = &props;
  const TPrinterMetrics metrics =
      PdfPrinterMetrics(paper, landscape, dpi, TPdfPrintSink::DefaultMarginMm);
  const TPrintLayout layout = ComputePrintLayout(cellSize, unit, metrics, map.ChipSize(),
                                                 map.Width(), map.Height(), overlap, sheetMarks);
  options.SheetMarks = sheetMarks;
  options.CellSize = cellSize;
  options.Unit = unit;
  options.PaperText = paper.Name + (landscape ? " landscape" : " portrait");
  if (layoutJson) {
    nlohmann::ordered_json j;
    j["cell_pixels_x"] = layout.CellPixelsX;
    j["cell_pixels_y"] = layout.CellPixelsY;
    j["zoom"] = layout.Zoom;
    j["cells_per_sheet_x"] = layout.CellsPerSheetX;
    j["cells_per_sheet_y"] = layout.CellsPerSheetY;
    j["sheets_x"] = layout.SheetsX;
    j["sheets_y"] = layout.SheetsY;
    j["sheets"] = layout.Sheets;
    j["printable_width"] = layout.PrintableWidth;
    j["printable_height"] = layout.PrintableHeight;
    j["marks_height"] = layout.MarksHeight;
    std::fprintf(Context.Out, "%s\n", j.dump().c_str());
  }
  if (!layout.Printable())
    throw TCliError("nothing to print: one cell of this size does not fit on the " + paper.Name +
                    " sheet's printable area");
  if (layout.Printable()) {
    try {
      SelectSheets(layout, map.Width(), map.Height(), options.Selection);
    } catch (const std::exception& e) {
      throw TUsageError(std::string("--sheets: ") + e.what());
    }
  }
  try {
    TPdfPrintSink sink(outPath, paper, landscape, dpi);
    // The map was just loaded and composed with fast drawing off: recomposing it
    // for the output would compute the same once more.
    PrintMap(map, layout, options, sink,
             map.FastDraw ? TOutputFastDraw::OffForOutput : TOutputFastDraw::KeepAsIs);
    sink.Finish();
  } catch (...) {
    throw FileError(outPath, CurrentErrorMessage());
  }
  return 0;
}

}  // namespace vcli
