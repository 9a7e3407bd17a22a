#pragma once
// The edit command interpreter: checks the words of text commands and turns each
// into the edit session operation the editor's canvas calls for the same mouse
// action, so that undo and redo behave as in the editor. Drawing modes are the
// editor's defaults: shades computed when a free-hand stroke ends, fast drawing on
// while editing.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "map/document/map_edit_session.h"
#include "map/undo/undo_history.h"
#include "record/record_list.h"

class TMapEditLayerList;

namespace vcli {

// A command that cannot be applied: unknown, malformed, or out of the map.
class TCommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits a command line into words at blanks. Double quotes group a word that
// holds blanks ("Stone floor"); inside them \" and \\ stand for " and \. A "#"
// at the start of the line, or after a blank and followed by a blank or the end
// of the line, starts a comment. Raises TCommandError for an unclosed quote.
std::vector<std::string> TokenizeCommand(const std::string& Line);

class TEditSession {
 public:
  TEditSession(TMapEditLayerList& Map, int32_t UndoLimit);

  // Applies one tokenized command; an empty list does nothing.
  void Execute(const std::vector<std::string>& Words);
  // Tokenizes and applies one line; blank and comment lines do nothing.
  void ExecuteLine(const std::string& Line);

  TUndoHistory& History() { return FSession.History(); }
  TMapEditSession& Session() { return FSession; }

 private:
  using TArgs = std::vector<std::string>;

  int32_t IntArg(const TArgs& W, size_t I, const char* What) const;
  int32_t LayerArg(const TArgs& W, size_t I) const;
  // A layer-list index: 0 is document layer 1.
  int32_t ListIndexArg(const TArgs& W, size_t I) const;
  void CheckCell(int32_t CX, int32_t CY) const;
  void CheckPixel(int32_t X, int32_t Y) const;
  // A rubber-band end in pixels, which may lie on the map's right or bottom edge.
  void CheckBandPixel(int32_t X, int32_t Y) const;
  static void CheckArgCount(const TArgs& W, size_t Min, size_t Max, const char* Usage);
  // An optional door colour at W[I] (#RRGGBB or none); clNone when absent.
  static TColor ColorArg(const TArgs& W, size_t I);
  // The default tools with Tool in cell (Chip) or free-hand mode.
  TEditTools ToolsFor(TEditTool Tool, bool Chip) const;

  void PaintChip(const TArgs& W);
  void Circle(const TArgs& W);
  void RectOrEllipse(const TArgs& W, bool Chips, bool Ellipse);
  void Fill(const TArgs& W);
  void Door(const TArgs& W);
  void FreeDoor(const TArgs& W);
  void EraseFreeDoors(const TArgs& W);
  void AddLayer(const TArgs& W);
  void EditLayer(const TArgs& W);
  void DeleteLayer(const TArgs& W);
  // The wall layer's name and texture (layer 0, which the layer list leaves out).
  void WallLayer(const TArgs& W);
  // The map's stored style: "style plain" or style options as render takes them.
  void Style(const TArgs& W);
  void Undo();
  void Redo();

  TMapEditLayerList& FMap;
  TMapEditSession FSession;
  // The editor's default tools; each command sets the tool and mode it stands for.
  TEditTools FTools;
};

// The cells a free-hand stamp touches, as the edit session collects them.
using ::RecordTouchedCells;

}  // namespace vcli
