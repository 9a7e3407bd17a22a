#include "cli/cli_style_option.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <sstream>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_values.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_style.h"

namespace vcli {

namespace {

// Comma-separated whole numbers, From to To of them, each within Lo .. Hi.
std::vector<int32_t> Numbers(const std::string& Option, const std::string& Text, size_t From,
                             size_t To, int32_t Lo, int32_t Hi, const std::string& Form) {
  std::vector<int32_t> out;
  std::stringstream list(Text);
  std::string part;
  bool bad = Text.empty() || Text.back() == ',';
  while (!bad && std::getline(list, part, ',')) {
    const std::optional<int32_t> n = ParseInt(part);
    bad = !n || *n < Lo || *n > Hi;
    if (!bad) out.push_back(*n);
  }
  if (bad || out.size() < From || out.size() > To)
    throw TUsageError(Option + " takes " + Form + " (whole numbers from " + std::to_string(Lo) +
                      " to " + std::to_string(Hi) + "), not \"" + Text + "\"");
  return out;
}

TColor32 Colour(const std::string& Option, const std::string& Text) {
  const std::optional<TColor> c = ParseHexColor(Text);
  if (!c) throw TUsageError(Option + " takes #RRGGBB, not \"" + Text + "\"");
  return ColorFromPlatform(*c);
}

// Applies one option to the style and the grid settings; raises TUsageError for a
// bad value.
void Apply(const std::string& Option, const std::string& Value, TMapStyleOptions& S,
           TOutputOptions& O) {
  if (Option == "--hatch") {
    const std::vector<int32_t> n =
        Numbers(Option, Value, 1, 2, 1, kMaxStyleLength, "DIST[,SPACING]");
    S.Hatching.Enabled = true;
    S.Hatching.Distance = n[0];
    if (n.size() > 1) {
      if (n[1] < 2 || n[1] > 32) throw TUsageError("--hatch SPACING is 2 to 32 pixels");
      S.Hatching.Spacing = n[1];
    }
  } else if (Option == "--hatch-color") {
    S.Hatching.Color = Colour(Option, Value);
  } else if (Option == "--hatch-seed") {
    S.Hatching.Seed = uint32_t(Numbers(Option, Value, 1, 1, 0, INT32_MAX, "N")[0]);
  } else if (Option == "--shadow") {
    const std::vector<int32_t> n =
        Numbers(Option, Value, 2, 3, -360, 360, "ANGLE,LENGTH[,SOFTNESS]");
    if (n[1] < 1 || n[1] > kMaxStyleLength || (n.size() > 2 && (n[2] < 0 || n[2] > n[1])))
      throw TUsageError("--shadow LENGTH is 1 to " + std::to_string(kMaxStyleLength) +
                        " pixels and SOFTNESS 0 to LENGTH");
    S.Shadow.Enabled = true;
    S.Shadow.Angle = n[0];
    S.Shadow.Length = n[1];
    if (n.size() > 2) S.Shadow.Softness = n[2];
    S.Shadow.Softness = std::min(S.Shadow.Softness, S.Shadow.Length);
  } else if (Option == "--outline") {
    const std::vector<int32_t> n = Numbers(Option, Value, 1, 2, 0, 32, "WIDTH[,ROUGHNESS]");
    if (n[0] < 1 || (n.size() > 1 && n[1] > 8))
      throw TUsageError("--outline WIDTH is 1 to 32 pixels and ROUGHNESS 0 to 8");
    S.Outline.Enabled = true;
    S.Outline.Width = n[0];
    if (n.size() > 1) S.Outline.Roughness = n[1];
  } else if (Option == "--outline-color") {
    S.Outline.Color = Colour(Option, Value);
  } else if (Option == "--ink-saving") {
    if (Value != "hatch" && Value != "grey")
      throw TUsageError("--ink-saving takes hatch or grey, not \"" + Value + "\"");
    S.InkSaving.Enabled = true;
    S.InkSaving.Walls = Value == "grey" ? TInkWalls::Grey : TInkWalls::Hatching;
  } else if (Option == "--grid-style") {
    if (Value == "solid")
      O.GridStyle = TGridLineStyle::Solid;
    else if (Value == "dashed")
      O.GridStyle = TGridLineStyle::Dashed;
    else if (Value == "dotted")
      O.GridStyle = TGridLineStyle::Dotted;
    else
      throw TUsageError("--grid-style takes solid, dashed or dotted, not \"" + Value + "\"");
  } else if (Option == "--grid-opacity") {
    O.GridOpacity = Numbers(Option, Value, 1, 1, 0, 100, "PERCENT")[0];
  }
}

bool IsStyleOption(const std::string& A) {
  for (const char* o : {"--hatch", "--hatch-color", "--hatch-seed", "--shadow", "--outline",
                        "--outline-color", "--ink-saving", "--grid-style", "--grid-opacity"})
    if (A == o) return true;
  return false;
}

}  // namespace

bool TakeStyleOption(const std::vector<std::string>& Args, size_t& I, TStyleRequest& Request) {
  const std::string& a = Args[I];
  if (a == "--plain") {
    Request.Plain = true;
    return true;
  }
  if (!IsStyleOption(a)) return false;
  const std::string& v = OptionValue(Args, I);
  TMapStyleOptions scratch;
  TOutputOptions grid;
  Apply(a, v, scratch, grid);  // refuses a bad value now, before any work
  Request.Changes.emplace_back(a, v);
  return true;
}

void ApplyStyleRequest(const TStyleRequest& Request, const TMapStyleSettings& Stored,
                       TOutputOptions& Options) {
  const TMapStyleSettings base = Request.Plain ? TMapStyleSettings{} : Stored;
  TMapStyleOptions s = base.Looks;
  Options.GridStyle = base.GridStyle;
  Options.GridOpacity = base.GridOpacity;
  for (const auto& [option, value] : Request.Changes) Apply(option, value, s, Options);
  Options.Compose.Style = s;
}

TMapStyleSettings RequestedStyle(const TStyleRequest& Request, const TMapStyleSettings& Stored) {
  TOutputOptions o;
  ApplyStyleRequest(Request, Stored, o);
  return {o.Compose.Style, o.GridStyle, o.GridOpacity};
}

TMapStyleSettings StoredStyleOrWarn(const TMapEditLayerList& Map) {
  std::string error;
  const TMapStyleSettings s = StoredMapStyle(Map.Objects(), &error);
  if (!error.empty())
    std::fprintf(
        stderr,
        "vellumcraft-cli: warning: the map's style cannot be read (%s); it is drawn plain\n",
        error.c_str());
  return s;
}

}  // namespace vcli
