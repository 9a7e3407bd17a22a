#include "cli/edit_session.h"

#include <algorithm>
#include <utility>

#include "cli/cli_style_option.h"
#include "cli/cli_values.h"
#include "map/base/text_encoding.h"
#include "map/base/text_quote.h"
#include "map/document/map_edit_door.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_style_edit.h"
#include "map/file/layer_set.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_style.h"

namespace vcli {

namespace {

// The largest brush radius the tool accepts (the editor offers 2 to 8).
constexpr int32_t kMaxRadius = 100;

std::string Quote(const std::string& S) { return "\"" + S + "\""; }

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

// A layer's name and source go into the map file as lines of text: bytes that are
// not UTF-8, or a line break, would make a file that cannot be read back.
void CheckLayerText(const std::string& Text, const char* What) {
  const std::string problem = LayerTextProblem(Text);
  if (!problem.empty())
    throw TCommandError(std::string("the layer ") + What + " " + QuoteForMessage(Text) +
                        " cannot be used: " + problem);
}

}  // namespace

std::vector<std::string> TokenizeCommand(const std::string& Line) {
  std::vector<std::string> words;
  size_t i = 0;
  const size_t n = Line.size();
  while (i < n) {
    while (i < n && (IsBlank(Line[i]) || Line[i] == '\r' || Line[i] == '\n')) ++i;
    if (i >= n) break;
    // A comment: "#" first on the line, or a lone "#" after a command (so that a
    // colour such as #FF0000 stays a word).
    if (Line[i] == '#' && (words.empty() || i + 1 >= n || IsBlank(Line[i + 1]))) break;
    std::string word;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(Line[i]))) {
      char c = Line[i];
      if (c == '"') {
        quoted = !quoted;
        ++i;
      } else if (quoted && c == '\\' && i + 1 < n && (Line[i + 1] == '"' || Line[i + 1] == '\\')) {
        word += Line[i + 1];
        i += 2;
      } else {
        word += c;
        ++i;
      }
    }
    if (quoted) throw TCommandError("unclosed quote");
    words.push_back(std::move(word));
  }
  return words;
}

namespace {

int32_t CheckedUndoLimit(int32_t UndoLimit) {
  if (UndoLimit < 1) throw TCommandError("the undo limit must be at least 1");
  return UndoLimit;
}

}  // namespace

TEditSession::TEditSession(TMapEditLayerList& Map, int32_t UndoLimit)
    : FMap(Map), FSession(Map, CheckedUndoLimit(UndoLimit)) {}

void TEditSession::ExecuteLine(const std::string& Line) { Execute(TokenizeCommand(Line)); }

void TEditSession::Execute(const std::vector<std::string>& W) {
  if (W.empty()) return;
  const std::string& c = W[0];
  if (c == "paint-chip") return PaintChip(W);
  if (c == "circle") return Circle(W);
  if (c == "rect-chips") return RectOrEllipse(W, true, false);
  if (c == "rect-pixels") return RectOrEllipse(W, false, false);
  if (c == "ellipse-chips") return RectOrEllipse(W, true, true);
  if (c == "ellipse-pixels") return RectOrEllipse(W, false, true);
  if (c == "fill") return Fill(W);
  if (c == "door") return Door(W);
  if (c == "free-door") return FreeDoor(W);
  if (c == "erase-free-doors") return EraseFreeDoors(W);
  if (c == "add-layer") return AddLayer(W);
  if (c == "edit-layer") return EditLayer(W);
  if (c == "delete-layer") return DeleteLayer(W);
  if (c == "wall-layer") return WallLayer(W);
  if (c == "style") return Style(W);
  if (c == "undo") {
    CheckArgCount(W, 1, 1, "undo");
    return Undo();
  }
  if (c == "redo") {
    CheckArgCount(W, 1, 1, "redo");
    return Redo();
  }
  throw TCommandError("unknown command " + Quote(c));
}

// --- argument checks ---

void TEditSession::CheckArgCount(const TArgs& W, size_t Min, size_t Max, const char* Usage) {
  if (W.size() < Min || W.size() > Max)
    throw TCommandError(std::string("wrong number of arguments; usage: ") + Usage);
}

int32_t TEditSession::IntArg(const TArgs& W, size_t I, const char* What) const {
  std::optional<int32_t> v = ParseInt(W[I]);
  if (!v) throw TCommandError(std::string(What) + " " + Quote(W[I]) + " is not an integer");
  return *v;
}

int32_t TEditSession::LayerArg(const TArgs& W, size_t I) const {
  int32_t layer = IntArg(W, I, "layer");
  if (layer < 0 || layer >= FMap.Count())
    throw TCommandError("layer " + std::to_string(layer) +
                        " does not exist (the map has layers 0 to " +
                        std::to_string(FMap.Count() - 1) + ")");
  return layer;
}

int32_t TEditSession::ListIndexArg(const TArgs& W, size_t I) const {
  int32_t index = IntArg(W, I, "layer-list index");
  if (index < 0 || index >= FMap.Count() - 1)
    throw TCommandError("layer-list index " + std::to_string(index) +
                        " does not exist (the list has " +
                        std::to_string(std::max(0, FMap.Count() - 1)) + " items)");
  return index;
}

void TEditSession::CheckCell(int32_t CX, int32_t CY) const {
  if (CX < 0 || CY < 0 || CX >= FMap.Width() || CY >= FMap.Height())
    throw TCommandError("cell (" + std::to_string(CX) + ", " + std::to_string(CY) +
                        ") is outside the map of " + std::to_string(FMap.Width()) + "x" +
                        std::to_string(FMap.Height()) + " cells");
}

void TEditSession::CheckPixel(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FMap.PixelWidth() || Y >= FMap.PixelHeight())
    throw TCommandError("pixel (" + std::to_string(X) + ", " + std::to_string(Y) +
                        ") is outside the map of " + std::to_string(FMap.PixelWidth()) + "x" +
                        std::to_string(FMap.PixelHeight()) + " pixels");
}

void TEditSession::CheckBandPixel(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X > FMap.PixelWidth() || Y > FMap.PixelHeight())
    throw TCommandError("point (" + std::to_string(X) + ", " + std::to_string(Y) +
                        ") is outside the map of " + std::to_string(FMap.PixelWidth()) + "x" +
                        std::to_string(FMap.PixelHeight()) + " pixels");
}

TColor TEditSession::ColorArg(const TArgs& W, size_t I) {
  if (W.size() <= I) return clNone;
  std::optional<TColor> c = ParseDoorColor(W[I]);
  if (!c) throw TCommandError("colour " + Quote(W[I]) + " is neither #RRGGBB nor none");
  return *c;
}

TEditTools TEditSession::ToolsFor(TEditTool Tool, bool Chip) const {
  TEditTools tools = FTools;
  tools.Tool = Tool;
  tools.Chip = Chip;
  return tools;
}

// --- the canvas's actions ---

void TEditSession::PaintChip(const TArgs& W) {
  CheckArgCount(W, 4, 4, "paint-chip CX CY LAYER");
  int32_t cx = IntArg(W, 1, "CX"), cy = IntArg(W, 2, "CY");
  int32_t layer = LayerArg(W, 3);
  CheckCell(cx, cy);
  // A click of the chip pencil: a stroke of one cell.
  TEditTools tools = ToolsFor(TEditTool::Pencil, true);
  const int32_t c = FMap.ChipSize();
  FSession.BeginStroke(tools, layer, cx * c, cy * c);
  FSession.EndStroke();
}

void TEditSession::Circle(const TArgs& W) {
  CheckArgCount(W, 5, 5, "circle X Y RADIUS LAYER");
  int32_t x = IntArg(W, 1, "X"), y = IntArg(W, 2, "Y"), r = IntArg(W, 3, "RADIUS");
  int32_t layer = LayerArg(W, 4);
  CheckPixel(x, y);
  if (r < 1 || r > kMaxRadius)
    throw TCommandError("radius " + std::to_string(r) + " is outside 1 to " +
                        std::to_string(kMaxRadius));
  // A one-stamp free-hand stroke with shades computed when the stroke ends.
  TEditTools tools = ToolsFor(TEditTool::Pencil, false);
  tools.PenRadius = r;
  FSession.BeginStroke(tools, layer, x, y);
  FSession.EndStroke();
}

void TEditSession::RectOrEllipse(const TArgs& W, bool Chips, bool Ellipse) {
  const char* usage =
      Chips ? (Ellipse ? "ellipse-chips CX1 CY1 CX2 CY2 LAYER" : "rect-chips CX1 CY1 CX2 CY2 LAYER")
            : (Ellipse ? "ellipse-pixels X1 Y1 X2 Y2 LAYER" : "rect-pixels X1 Y1 X2 Y2 LAYER");
  CheckArgCount(W, 6, 6, usage);
  TPoint a{IntArg(W, 1, Chips ? "CX1" : "X1"), IntArg(W, 2, Chips ? "CY1" : "Y1")};
  TPoint b{IntArg(W, 3, Chips ? "CX2" : "X2"), IntArg(W, 4, Chips ? "CY2" : "Y2")};
  int32_t layer = LayerArg(W, 5);
  if (Chips) {
    CheckCell(a.X, a.Y);
    CheckCell(b.X, b.Y);
  } else {
    CheckBandPixel(a.X, a.Y);
    CheckBandPixel(b.X, b.Y);
    // The release point is the exclusive end: equal coordinates enclose nothing.
    if (a.X == b.X || a.Y == b.Y) throw TCommandError("the rectangle encloses no pixel");
  }
  TEditTools tools = ToolsFor(Ellipse ? TEditTool::Ellipse : TEditTool::Rect, Chips);
  FSession.PaintShape(tools, layer, a, b);
}

void TEditSession::Fill(const TArgs& W) {
  CheckArgCount(W, 4, 4, "fill X Y LAYER");
  int32_t x = IntArg(W, 1, "X"), y = IntArg(W, 2, "Y");
  int32_t layer = LayerArg(W, 3);
  CheckPixel(x, y);
  const TEditTools tools = ToolsFor(TEditTool::Fill, FTools.Chip);
  FSession.Fill(tools, layer, x, y);
}

void TEditSession::Door(const TArgs& W) {
  CheckArgCount(W, 4, 5, "door CX CY h|v [COLOR]");
  int32_t cx = IntArg(W, 1, "CX"), cy = IntArg(W, 2, "CY");
  if (W[3] != "h" && W[3] != "v")
    throw TCommandError("edge " + Quote(W[3]) + " is neither h (horizontal) nor v (vertical)");
  const bool horizontal = W[3] == "h";
  const TColor color = ColorArg(W, 4);
  // A horizontal edge is the top border of its cell and may be the map's bottom
  // border; a vertical edge is the left border and may be the right border.
  const bool inside = horizontal ? (cx >= 0 && cx < FMap.Width() && cy >= 0 && cy <= FMap.Height())
                                 : (cx >= 0 && cx <= FMap.Width() && cy >= 0 && cy < FMap.Height());
  if (!inside)
    throw TCommandError("edge (" + std::to_string(cx) + ", " + std::to_string(cy) +
                        ") is outside the map");
  TEditTools tools = ToolsFor(TEditTool::Door, true);
  FSession.ToggleDoor(tools, cx, cy, horizontal, color);
}

void TEditSession::FreeDoor(const TArgs& W) {
  CheckArgCount(W, 5, 6, "free-door X1 Y1 X2 Y2 [COLOR]");
  int32_t x1 = IntArg(W, 1, "X1"), y1 = IntArg(W, 2, "Y1");
  int32_t x2 = IntArg(W, 3, "X2"), y2 = IntArg(W, 4, "Y2");
  const TColor color = ColorArg(W, 5);
  CheckBandPixel(x1, y1);
  CheckBandPixel(x2, y2);
  // The canvas takes a drag that ends where it started for a click that erases.
  if (x1 == x2 && y1 == y2) throw TCommandError("a free door needs two different ends");
  TEditTools tools = ToolsFor(TEditTool::Door, false);
  FSession.AddFreeDoor(tools, {x1, y1}, {x2, y2}, color);
}

void TEditSession::EraseFreeDoors(const TArgs& W) {
  CheckArgCount(W, 3, 3, "erase-free-doors X Y");
  int32_t x = IntArg(W, 1, "X"), y = IntArg(W, 2, "Y");
  CheckBandPixel(x, y);
  TEditTools tools = ToolsFor(TEditTool::Door, false);
  FSession.EraseFreeDoorsAt(tools, x, y);
}

void TEditSession::AddLayer(const TArgs& W) {
  CheckArgCount(W, 3, 5, "add-layer NAME SOURCE [ground|floor|object] [before=I]");
  TMapEditLayerType type = mltGround;
  int32_t before = -1;
  bool typeSeen = false;
  for (size_t i = 3; i < W.size(); ++i) {
    const std::string& w = W[i];
    if (w.rfind("before=", 0) == 0 && before < 0) {
      TArgs one{w.substr(7)};
      before = ListIndexArg(one, 0);
    } else if (!typeSeen && (w == "ground" || w == "floor" || w == "object")) {
      type = w == "ground" ? mltGround : (w == "floor" ? mltFloor : mltObject);
      typeSeen = true;
    } else {
      throw TCommandError("unexpected argument " + Quote(w) +
                          "; usage: add-layer NAME SOURCE [ground|floor|object] [before=I]");
    }
  }
  CheckLayerText(W[1], "name");
  CheckLayerText(W[2], "source");
  CheckRoomForLayers(FMap, 1);
  // A failed command leaves the map as it was.
  FSession.AddLayer(before < 0 ? FMap.Count() : before + 1, W[1], W[2], type,
                    TBadLayerSource::Revert);
}

void TEditSession::EditLayer(const TArgs& W) {
  CheckArgCount(W, 4, 4, "edit-layer I NAME SOURCE");
  CheckLayerText(W[2], "name");
  CheckLayerText(W[3], "source");
  FSession.EditLayer(ListIndexArg(W, 1) + 1, W[2], W[3], TBadLayerSource::Revert);
}

void TEditSession::WallLayer(const TArgs& W) {
  CheckArgCount(W, 3, 3, "wall-layer NAME SOURCE");
  CheckLayerText(W[1], "name");
  CheckLayerText(W[2], "source");
  if (FMap.Count() == 0) throw TCommandError("the map has no wall layer");
  FSession.EditLayer(0, W[1], W[2], TBadLayerSource::Revert);
}

void TEditSession::Style(const TArgs& W) {
  // The words after "style" are the style options of render; "plain" alone
  // clears the style.
  TStyleRequest request;
  TArgs words(W.begin() + 1, W.end());
  for (std::string& w : words)
    if (w == "plain") w = "--plain";
  if (words.empty()) throw TCommandError("style takes plain or style options such as --hatch 16");
  for (size_t i = 0; i < words.size(); ++i)
    if (!TakeStyleOption(words, i, request))
      throw TCommandError("style does not take \"" + words[i] + "\"");
  const TMapStyleSettings stored = StoredMapStyle(std::as_const(FMap).Objects());
  SetMapStyle(FSession, RequestedStyle(request, stored));
}

void TEditSession::DeleteLayer(const TArgs& W) {
  CheckArgCount(W, 2, 2, "delete-layer I");
  FSession.DeleteLayer(ListIndexArg(W, 1) + 1);
}

void TEditSession::Undo() {
  if (!FSession.Undo()) throw TCommandError("nothing to undo");
}

void TEditSession::Redo() {
  if (!FSession.Redo()) throw TCommandError("nothing to redo");
}

}  // namespace vcli
