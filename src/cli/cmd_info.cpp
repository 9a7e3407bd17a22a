// vellumcraft-cli info MAP [--json]

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "map/document/map_edit_door.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_object_list.h"

namespace vcli {

namespace {

const char* TypeName(TMapEditLayerType T) {
  switch (T) {
    case mltGround:
      return "ground";
    case mltFloor:
      return "floor";
    case mltObject:
      return "object";
  }
  return "ground";
}

const char* TextureName(const TMapEditLayer& Layer) {
  switch (Layer.TextureState) {
    case TTextureState::Missing:
      return "missing";
    case TTextureState::Unreadable:
      return "unreadable";
    default:
      return "ok";
  }
}

// The objects in file order: "index" (what the tool's object commands take),
// "type", and the object's own fields as stored.
nlohmann::ordered_json ObjectsJson(const TMapObjectList& Objects) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (size_t i = 0; i < Objects.Count(); ++i) {
    const TMapObject& o = Objects.At(i);
    nlohmann::ordered_json entry = {{"index", i}, {"type", o.Type}};
    for (const auto& [key, value] : o.Data.items())
      if (key != "type" && key != "index") entry[key] = value;
    list.push_back(std::move(entry));
  }
  return list;
}

nlohmann::ordered_json InfoJson(TMapEditLayerList& Map, const TLoadedMap& Loaded) {
  nlohmann::ordered_json j;
  j["width"] = Map.Width();
  j["height"] = Map.Height();
  j["chip_size"] = Map.ChipSize();
  j["pixel_width"] = Map.PixelWidth();
  j["pixel_height"] = Map.PixelHeight();
  j["encoding"] = Loaded.Encoding;
  nlohmann::ordered_json layers = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < Map.Count(); ++i) {
    const TMapEditLayer& l = *Map.Layers(i);
    layers.push_back({{"index", i},
                      {"name", l.LayerName},
                      {"type", TypeName(l.LayerType)},
                      {"source", l.FileName()},
                      {"texture", TextureName(l)}});
  }
  j["layers"] = layers;
  TMapEditDoorList& doors = Map.Doors();
  nlohmann::ordered_json horz = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < doors.HorzDoor().Count(); ++i) {
    const TMapEditHorzDoor& d = *doors.HorzDoor().Items(i);
    horz.push_back({{"x", d.X}, {"y", d.Y}, {"color", d.Color}});
  }
  nlohmann::ordered_json vert = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < doors.VertDoor().Count(); ++i) {
    const TMapEditVertDoor& d = *doors.VertDoor().Items(i);
    vert.push_back({{"x", d.X}, {"y", d.Y}, {"color", d.Color}});
  }
  nlohmann::ordered_json free = nlohmann::ordered_json::array();
  for (int32_t i = 0; i < doors.FreeDoor().Count(); ++i) {
    const TMapEditCustomDoor& d = *doors.FreeDoor().Items(i);
    free.push_back({{"x", d.X}, {"y", d.Y}, {"x2", d.X2}, {"y2", d.Y2}, {"color", d.Color}});
  }
  j["doors"] = {{"horizontal", horz}, {"vertical", vert}, {"free", free}};
  j["objects"] = ObjectsJson(Map.Objects());
  return j;
}

void PrintText(std::FILE* Out, const std::string& Path, const nlohmann::ordered_json& J) {
  std::fprintf(Out, "map:        %s\n", Path.c_str());
  std::fprintf(Out, "size:       %d x %d cells\n", J["width"].get<int>(), J["height"].get<int>());
  std::fprintf(Out, "chip size:  %d pixels\n", J["chip_size"].get<int>());
  std::fprintf(Out, "pixels:     %d x %d\n", J["pixel_width"].get<int>(),
               J["pixel_height"].get<int>());
  std::fprintf(Out, "encoding:   %s\n", J["encoding"].get<std::string>().c_str());
  std::fprintf(Out, "layers:     %zu\n", J["layers"].size());
  for (const auto& l : J["layers"])
    std::fprintf(Out, "  %3d  \"%s\"  %s, texture %s, source \"%s\"\n", l["index"].get<int>(),
                 l["name"].get<std::string>().c_str(), l["type"].get<std::string>().c_str(),
                 l["texture"].get<std::string>().c_str(), l["source"].get<std::string>().c_str());
  const auto& d = J["doors"];
  std::fprintf(Out, "doors:      %zu horizontal, %zu vertical, %zu free\n", d["horizontal"].size(),
               d["vertical"].size(), d["free"].size());
  for (const auto& h : d["horizontal"])
    std::fprintf(Out, "  horizontal  cell (%d, %d)  color %u\n", h["x"].get<int>(),
                 h["y"].get<int>(), h["color"].get<unsigned>());
  for (const auto& v : d["vertical"])
    std::fprintf(Out, "  vertical    cell (%d, %d)  color %u\n", v["x"].get<int>(),
                 v["y"].get<int>(), v["color"].get<unsigned>());
  for (const auto& f : d["free"])
    std::fprintf(Out, "  free        (%d, %d) to (%d, %d)  color %u\n", f["x"].get<int>(),
                 f["y"].get<int>(), f["x2"].get<int>(), f["y2"].get<int>(),
                 f["color"].get<unsigned>());
  // Maps without objects print as they always did.
  if (!J["objects"].empty()) std::fprintf(Out, "objects:    %zu\n", J["objects"].size());
  for (const auto& o : J["objects"]) {
    nlohmann::ordered_json fields = o;
    fields.erase("index");
    fields.erase("type");
    std::fprintf(Out, "  %3d  %-8s %s\n", o["index"].get<int>(),
                 o["type"].get<std::string>().c_str(),
                 fields.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  }
}

}  // namespace

int RunInfo(const TCliArgs& Args, const TCliContext& Context) {
  std::string mapPath;
  bool json = false;
  for (const std::string& a : Args) {
    if (a == "--json")
      json = true;
    else if (!a.empty() && a[0] == '-' && a != "-")
      throw TUsageError("unknown option " + a + " for info");
    else if (mapPath.empty())
      mapPath = a;
    else
      throw TUsageError("info takes one map");
  }
  if (mapPath.empty()) throw TUsageError("info needs a map");

  TMapEditLayerList map;
  TLoadedMap loaded = LoadMap(map, mapPath);
  WarnMissingTextures(mapPath, loaded);
  nlohmann::ordered_json j = InfoJson(map, loaded);
  if (json)
    std::fprintf(Context.Out, "%s\n",
                 j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  else
    PrintText(Context.Out, mapPath, j);
  return 0;
}

}  // namespace vcli
