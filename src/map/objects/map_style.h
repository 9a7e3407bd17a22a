#pragma once
// TMapStyle: the map's own style, type "style", at most one per map.
//   {"type":"style","hatching":true,"hatch_distance":16,"hatch_spacing":5,
//    "hatch_color":"#FF262320","hatch_seed":1,"shadow":false,"shadow_angle":45,
//    "shadow_length":8,"shadow_softness":4,"shadow_opacity":110,"outline":false,
//    "outline_width":2,"outline_roughness":0,"outline_color":"#FF000000",
//    "outline_seed":1,"ink_saving":false,"ink_walls":"hatching",
//    "grid_line":"solid","grid_opacity":100}
// Lengths in map pixels; every key may be left out (its default is taken); keys
// this program does not know are kept.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "map/compose/map_style_options.h"
#include "map/objects/map_object.h"

class TMapObjectList;

struct TMapStyle {
  static constexpr const char* kType = "style";

  uint64_t Id = 0;
  TMapStyleSettings Settings;
  nlohmann::ordered_json Data;

  static bool FromObject(const TMapObject& Obj, TMapStyle& Out, std::string* Error);
  TMapObject ToObject() const;
};

// The map's style object: the first object of type "style", or nullptr.
const TMapObject* FindStyleObject(const TMapObjectList& Objects);
// The style the map is drawn in: its style object's, or the plain picture when it
// has none. A style object that cannot be read gives the plain picture and its
// reason in Error (when given); the object itself is kept as it is.
TMapStyleSettings StoredMapStyle(const TMapObjectList& Objects, std::string* Error = nullptr);
