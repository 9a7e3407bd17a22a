// The prop commands:
//   vellumcraft-cli prop MAP ASSET X Y [--rotation DEG] [--scale S] [--mirror] [--shadow]
//       [--blocks-sight] [-o OUT]
//   vellumcraft-cli move-object MAP INDEX X Y [--by] [-o OUT]
// Objects are addressed by their "index" in info --json (their place in the file).

#include <cmath>
#include <cstdio>
#include <optional>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "cli/cli_props.h"
#include "cli/cli_values.h"
#include "map/base/asset_index.h"
#include "map/base/file_lock.h"
#include "map/compose/prop_items.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_prop.h"
#include "map/objects/object_fields.h"

#ifndef VC_DATA_DIR
#define VC_DATA_DIR ""
#endif

namespace fs = std::filesystem;

namespace vcli {

namespace {

std::optional<double> ParseNumber(const std::string& Text) {
  if (Text.empty()) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(Text.c_str(), &end);
  if (end != Text.c_str() + Text.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

double Number(const std::string& Text, const std::string& What) {
  const std::optional<double> v = ParseNumber(Text);
  if (!v) throw TUsageError(What + " takes a number, not \"" + Text + "\"");
  return *v;
}

fs::path MapFolder(const std::string& MapPath) {
  std::error_code ec;
  return fs::absolute(fs::path(MapPath), ec).parent_path();
}

}  // namespace

void LoadPropScene(TPropScene& Scene, const TMapEditLayerList& Map, const std::string& MapPath,
                   const fs::path& ExecutableDir, bool Quiet) {
  const TAssetIndex assets(DefaultAssetFolders(ExecutableDir, VC_DATA_DIR));
  const fs::path folder = MapFolder(MapPath);
  Scene.SetResolver([&assets, folder](const std::string& P) { return assets.Resolve(P, folder); });
  const std::vector<std::string> errors = SyncPropScene(Scene, Map);
  Scene.SetResolver({});  // the index goes with this call; the images stay decoded
  if (Quiet) return;
  const std::string missing = MissingPropsWarning(Scene);
  if (!missing.empty()) std::fprintf(stderr, "vellumcraft-cli: warning: %s\n", missing.c_str());
  for (const std::string& e : errors)
    std::fprintf(stderr, "vellumcraft-cli: warning: a prop is not drawn: %s\n", e.c_str());
}

void EditMapObjects(const std::string& MapPath, const std::string& OutPath,
                    const std::function<void(TMapEditSession&)>& Edit) {
  const TFileLock lock(MapPath);
  TMapEditLayerList map;
  LoadMapWithWarnings(map, MapPath);
  TMapEditSession session(map, 1);
  try {
    Edit(session);
  } catch (const TUsageError&) {
    throw;
  } catch (...) {
    throw FileError(MapPath, CurrentErrorMessage());
  }
  SaveMap(map, OutPath);
}

int RunProp(const TCliArgs& Args, const TCliContext& Context) {
  std::string mapPath, outPath;
  std::vector<std::string> words;
  TMapProp prop;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "-o") {
      outPath = OptionValue(Args, i);
    } else if (a == "--rotation") {
      prop.Rotation = Number(OptionValue(Args, i), "--rotation");
    } else if (a == "--scale") {
      prop.Scale = Number(OptionValue(Args, i), "--scale");
      if (prop.Scale < TMapProp::kMinScale || prop.Scale > TMapProp::kMaxScale)
        throw TUsageError("--scale must lie between 0.05 and 20");
    } else if (a == "--mirror") {
      prop.Mirror = true;
    } else if (a == "--shadow") {
      prop.Shadow = true;
    } else if (a == "--blocks-sight") {
      prop.BlocksSight = true;
    } else if (a.size() > 1 && a[0] == '-' && !ParseNumber(a)) {
      throw TUsageError("unknown option " + a + " for prop");
    } else if (mapPath.empty()) {
      mapPath = a;
    } else {
      words.push_back(a);
    }
  }
  if (mapPath.empty() || words.size() != 3) throw TUsageError("prop needs MAP ASSET X Y");
  if (outPath.empty()) outPath = mapPath;
  prop.X = Number(words[1], "prop's X");
  prop.Y = Number(words[2], "prop's Y");
  if (std::fabs(prop.X) > 1e9 || std::fabs(prop.Y) > 1e9 || std::fabs(prop.Rotation) > 1e6)
    throw TUsageError("the prop's place or turn is out of range");

  // An image file is stored relative to the asset folder it lies in; a path that
  // is no file must name an image in the asset folders.
  const TAssetIndex assets(DefaultAssetFolders(Context.ExecutableDir, VC_DATA_DIR));
  std::error_code ec;
  if (fs::is_regular_file(fs::path(words[0]), ec))
    prop.Asset = assets.StoredPath(fs::path(words[0]));
  else if (!assets.Resolve(words[0]).empty())
    prop.Asset = words[0];
  else
    throw TCliError("there is no prop image \"" + words[0] + "\" (a file, or a path in the " +
                    "asset folders such as furniture/table_round.png)");

  size_t index = 0;
  EditMapObjects(mapPath, outPath, [&](TMapEditSession& Session) {
    Session.AddObject(prop.ToObject());
    index = Session.Map().Objects().Count() - 1;
  });
  std::fprintf(Context.Out, "%zu\n", index);
  return 0;
}

int RunMoveObject(const TCliArgs& Args, const TCliContext&) {
  std::string mapPath, outPath;
  std::vector<std::string> words;
  bool by = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "-o")
      outPath = OptionValue(Args, i);
    else if (a == "--by")
      by = true;
    else if (a.size() > 1 && a[0] == '-' && !ParseNumber(a))
      throw TUsageError("unknown option " + a + " for move-object");
    else if (mapPath.empty())
      mapPath = a;
    else
      words.push_back(a);
  }
  if (mapPath.empty() || words.size() != 3) throw TUsageError("move-object needs MAP INDEX X Y");
  if (outPath.empty()) outPath = mapPath;
  const std::optional<int32_t> index = ParseInt(words[0]);
  if (!index || *index < 0)
    throw TUsageError("move-object takes an object index (0, 1, ...), not \"" + words[0] + "\"");
  const double x = Number(words[1], "move-object's X"), y = Number(words[2], "move-object's Y");

  EditMapObjects(mapPath, outPath, [&](TMapEditSession& Session) {
    const TMapObjectList& objects = Session.Map().Objects();
    if (size_t(*index) >= objects.Count())
      throw TCliError("there is no object " + std::to_string(*index) + " (the map has " +
                      std::to_string(objects.Count()) + ")");
    TMapObject o = objects.At(size_t(*index));
    const auto ox = o.Data.find("x"), oy = o.Data.find("y");
    if (ox == o.Data.end() || oy == o.Data.end() || !ox->is_number() || !oy->is_number())
      throw TCliError("object " + std::to_string(*index) + " (a " + o.Type +
                      ") has no x and y to move");
    const double nx = by ? ox->get<double>() + x : x, ny = by ? oy->get<double>() + y : y;
    objfields::WriteNumber(o.Data, "x", nx);
    objfields::WriteNumber(o.Data, "y", ny);
    // The object must still read as what it is (labels and lights sit on whole pixels).
    std::string error;
    bool ok = true;
    if (o.Type == TMapProp::kType) {
      TMapProp p;
      ok = TMapProp::FromObject(o, p, &error);
    } else if (o.Type == TMapLabel::kType) {
      TMapLabel l;
      ok = TMapLabel::FromObject(o, l, &error);
    } else if (o.Type == TMapLight::kType) {
      TMapLight l;
      ok = TMapLight::FromObject(o, l, &error);
    }
    if (!ok) throw TUsageError("object " + std::to_string(*index) + " cannot go there: " + error);
    Session.ReplaceObject(o.Id, o);
  });
  return 0;
}

}  // namespace vcli
