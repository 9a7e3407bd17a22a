#pragma once
// TMapLight: a light source, type "light".
//   {"type":"light","x":160,"y":96,"radius":4,"color":"#FFFFE0A0","intensity":1,
//    "shadows":true}
// (x, y) in map pixels, radius in cells; intensity 0 to 10 (1 is a plain light).

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "map/base/color.h"
#include "map/objects/map_object.h"

struct TMapLight {
  static constexpr const char* kType = "light";
  static constexpr double kMaxRadius = 1000, kMaxIntensity = 10;

  uint64_t Id = 0;
  int32_t X = 0, Y = 0;
  double Radius = 4;
  TColor32 Color = 0xFFFFFFFF;
  double Intensity = 1;
  bool Shadows = true;
  nlohmann::ordered_json Data;

  static bool FromObject(const TMapObject& Obj, TMapLight& Out, std::string* Error);
  TMapObject ToObject() const;
};
