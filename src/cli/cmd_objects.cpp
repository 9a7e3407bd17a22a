// The object commands:
//   vellumcraft-cli label MAP X Y TEXT [--size CELLS] [--color C] [--outline C|none]
//                   [--align left|center|right] [--index I] [-o OUT]
//   vellumcraft-cli light MAP X Y [--radius CELLS] [--color C] [--intensity K]
//                   [--shadows on|off] [--index I] [-o OUT]
//   vellumcraft-cli window MAP h|v CX CY | X1 Y1 X2 Y2 [--color C|none] [--index I] [-o OUT]
//   vellumcraft-cli delete-object MAP INDEX... [-o OUT]
// Objects are addressed by their "index" in info --json (their place in the file);
// --index changes that object instead of adding one.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <system_error>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "cli/cli_props.h"
#include "cli/cli_values.h"
#include "map/base/file_lock.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"
#include "map/objects/object_fields.h"

namespace fs = std::filesystem;

namespace vcli {

namespace {

// The words of an object command: the map, -o OUT, the values of its options,
// and the other words in order.
struct TObjectArgs {
  std::string MapPath, OutPath;
  std::vector<std::string> Words;
  std::map<std::string, std::string> Values;
  bool Has(const std::string& Option) const { return Values.count(Option) > 0; }
};

// Options is the list of options (each taking a value) the command knows.
TObjectArgs SplitObjectArgs(const TCliArgs& Args, const char* Command,
                            const std::vector<std::string>& Options = {}) {
  TObjectArgs a;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& w = Args[i];
    const bool number =
        w.size() > 1 && w[0] == '-' && (std::isdigit((unsigned char)w[1]) || w[1] == '.');
    if (w == "-o") {
      a.OutPath = OptionValue(Args, i);
    } else if (std::find(Options.begin(), Options.end(), w) != Options.end()) {
      a.Values[w] = OptionValue(Args, i);
    } else if (!number && w.size() > 1 && w[0] == '-') {
      throw TUsageError("unknown option " + w + " for " + Command);
    } else if (a.MapPath.empty()) {
      a.MapPath = w;
    } else {
      a.Words.push_back(w);
    }
  }
  if (a.MapPath.empty()) throw TUsageError(std::string(Command) + " needs a map");
  if (a.OutPath.empty()) a.OutPath = a.MapPath;
  std::error_code ec;
  if (fs::is_directory(fs::path(a.OutPath), ec)) throw FileError(a.OutPath, "is a folder");
  return a;
}

int32_t IntWord(const std::string& Word, const char* What) {
  const std::optional<int32_t> v = ParseInt(Word);
  if (!v) throw TUsageError(std::string(What) + " takes a whole number, not \"" + Word + "\"");
  return *v;
}

double NumberWord(const std::string& Word, const char* What) {
  char* end = nullptr;
  const double v = Word.empty() ? 0 : std::strtod(Word.c_str(), &end);
  if (Word.empty() || *end != '\0' || !std::isfinite(v))
    throw TUsageError(std::string(What) + " takes a number, not \"" + Word + "\"");
  return v;
}

TColor32 ColorWord(const std::string& Word, const char* What) {
  TColor32 c = 0;
  if (!objfields::ParseColorText(Word, c))
    throw TUsageError(std::string(What) + " takes a colour #RRGGBB or #AARRGGBB, not \"" + Word +
                      "\"");
  return c;
}

// The object --index names (of type Type), or nullopt without --index.
std::optional<TMapObject> IndexedObject(const TMapEditSession& Session, const TObjectArgs& A,
                                        const char* Type) {
  if (!A.Has("--index")) return std::nullopt;
  const int32_t i = IntWord(A.Values.at("--index"), "--index");
  const TMapObjectList& objects = Session.Map().Objects();
  if (i < 0 || size_t(i) >= objects.Count())
    throw TCliError("there is no object " + std::to_string(i) + " (the map has " +
                    std::to_string(objects.Count()) + ")");
  const TMapObject& o = objects.At(size_t(i));
  if (o.Type != Type)
    throw TCliError("object " + std::to_string(i) + " is a " + o.Type + ", not a " + Type);
  return o;
}

// Adds Obj, or puts it in the place of the object it came from.
void Store(TMapEditSession& Session, const TMapObject& Obj, bool Existing) {
  if (Existing)
    Session.ReplaceObject(Obj.Id, Obj);
  else
    Session.AddObject(Obj);
}

// "none" for no colour, else a colour.
std::optional<TColor32> OptionalColorWord(const std::string& Word, const char* What) {
  if (Word == "none") return std::nullopt;
  return ColorWord(Word, What);
}

// Edits the object --index names (or a new one) through its typed view: Fill sets
// the fields, the result is checked as the file reader would check it and stored.
template <typename TView, typename TFill>
void EditView(const TObjectArgs& A, TFill&& Fill) {
  EditObjects(A, [&](TMapEditSession& Session) {
    const std::optional<TMapObject> old = IndexedObject(Session, A, TView::kType);
    TView v;
    if (old) TView::FromObject(*old, v, nullptr);
    Fill(v);
    TView back;
    std::string error;
    if (!TView::FromObject(v.ToObject(), back, &error)) throw TCliError(error);
    Store(Session, v.ToObject(), old.has_value());
  });
}

// Loads the map, lets Edit change it through an edit session, and saves it; the
// map stays locked from reading to saving.
void EditObjects(const TObjectArgs& A, const std::function<void(TMapEditSession&)>& Edit) {
  EditMapObjects(A.MapPath, A.OutPath, Edit);
}

}  // namespace

int RunLabel(const TCliArgs& Args, const TCliContext&) {
  const TObjectArgs a =
      SplitObjectArgs(Args, "label", {"--size", "--color", "--outline", "--align", "--index"});
  if (a.Words.size() != 3 && !(a.Has("--index") && a.Words.empty()))
    throw TUsageError("label needs X Y TEXT (or --index I to change a label)");
  EditView<TMapLabel>(a, [&](TMapLabel& l) {
    if (!a.Words.empty()) {
      l.X = IntWord(a.Words[0], "X");
      l.Y = IntWord(a.Words[1], "Y");
      l.Text = a.Words[2];
    }
    if (a.Has("--size")) l.Size = NumberWord(a.Values.at("--size"), "--size");
    if (a.Has("--color")) l.Color = ColorWord(a.Values.at("--color"), "--color");
    if (a.Has("--outline")) l.Outline = OptionalColorWord(a.Values.at("--outline"), "--outline");
    if (a.Has("--align") && !ParseLabelAlign(a.Values.at("--align"), l.Align))
      throw TUsageError("--align takes left, center or right");
  });
  return 0;
}

int RunLight(const TCliArgs& Args, const TCliContext&) {
  const TObjectArgs a = SplitObjectArgs(
      Args, "light", {"--radius", "--color", "--intensity", "--shadows", "--index"});
  if (a.Words.size() != 2 && !(a.Has("--index") && a.Words.empty()))
    throw TUsageError("light needs X Y (or --index I to change a light)");
  EditView<TMapLight>(a, [&](TMapLight& l) {
    if (!a.Words.empty()) {
      l.X = IntWord(a.Words[0], "X");
      l.Y = IntWord(a.Words[1], "Y");
    }
    if (a.Has("--radius")) l.Radius = NumberWord(a.Values.at("--radius"), "--radius");
    if (a.Has("--color")) l.Color = ColorWord(a.Values.at("--color"), "--color");
    if (a.Has("--intensity")) l.Intensity = NumberWord(a.Values.at("--intensity"), "--intensity");
    if (a.Has("--shadows")) {
      const std::string& v = a.Values.at("--shadows");
      if (v != "on" && v != "off") throw TUsageError("--shadows takes on or off");
      l.Shadows = v == "on";
    }
  });
  return 0;
}

int RunWindow(const TCliArgs& Args, const TCliContext&) {
  const TObjectArgs a = SplitObjectArgs(Args, "window", {"--color", "--index"});
  const bool edge = a.Words.size() == 3 && (a.Words[0] == "h" || a.Words[0] == "v");
  if (!edge && a.Words.size() != 4 && !(a.Has("--index") && a.Words.empty()))
    throw TUsageError("window needs h|v CX CY or X1 Y1 X2 Y2 (or --index I to change one)");
  EditView<TMapWindow>(a, [&](TMapWindow& w) {
    if (edge) {
      w.Kind = a.Words[0] == "h" ? TWindowKind::Horizontal : TWindowKind::Vertical;
      w.CX = IntWord(a.Words[1], "CX");
      w.CY = IntWord(a.Words[2], "CY");
    } else if (!a.Words.empty()) {
      w.Kind = TWindowKind::Free;
      w.X1 = IntWord(a.Words[0], "X1");
      w.Y1 = IntWord(a.Words[1], "Y1");
      w.X2 = IntWord(a.Words[2], "X2");
      w.Y2 = IntWord(a.Words[3], "Y2");
      if (w.X1 == w.X2 && w.Y1 == w.Y2) throw TUsageError("a window needs two different ends");
    }
    if (a.Has("--color")) w.Color = OptionalColorWord(a.Values.at("--color"), "--color");
  });
  return 0;
}

int RunDeleteObject(const TCliArgs& Args, const TCliContext&) {
  const TObjectArgs a = SplitObjectArgs(Args, "delete-object");
  if (a.Words.empty()) throw TUsageError("delete-object needs the index of an object");
  std::vector<int32_t> indices;
  for (const std::string& w : a.Words) {
    const std::optional<int32_t> i = ParseInt(w);
    if (!i || *i < 0)
      throw TUsageError("delete-object takes object indices (0, 1, ...), not \"" + w + "\"");
    indices.push_back(*i);
  }
  EditObjects(a, [&](TMapEditSession& Session) {
    const TMapObjectList& objects = Session.Map().Objects();
    std::vector<uint64_t> ids;
    for (int32_t i : indices) {
      if (size_t(i) >= objects.Count())
        throw TCliError("there is no object " + std::to_string(i) + " (the map has " +
                        std::to_string(objects.Count()) + ")");
      ids.push_back(objects.At(size_t(i)).Id);
    }
    Session.DeleteObjects(ids);
  });
  return 0;
}

}  // namespace vcli
