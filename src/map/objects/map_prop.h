#pragma once
// TMapProp: an image from an asset pack placed freely on the map, type "prop".
//   {"type":"prop","asset":"furniture/table_round.png","x":320,"y":160,"rotation":30,
//    "scale":1,"mirror":false,"shadow":true,"shadow_x":6,"shadow_y":6,"shadow_soft":8,
//    "shadow_opacity":0.5,"blocks_sight":false}
// asset: the image's path relative to the asset folder when it lies in one, else
// as given. (x, y): where the image's centre lies, in map pixels; rotation in
// degrees clockwise; scale 1 draws the image at the pack's 256 pixels per cell.
// The shadow's offset and softness are in map pixels, its opacity 0 to 1. The
// drawing order is the order of the objects in the map.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "map/objects/map_object.h"

struct TMapProp {
  static constexpr const char* kType = "prop";
  // The image pixels that make one cell of a prop at scale 1.
  static constexpr double kPixelsPerCell = 256;
  static constexpr double kMinScale = 0.05, kMaxScale = 20;
  static constexpr double kMaxShadowOffset = 1000, kMaxSoftness = 100;
  static constexpr size_t kMaxAssetLength = 4096;

  uint64_t Id = 0;
  std::string Asset;
  double X = 0, Y = 0;
  double Rotation = 0;
  double Scale = 1;
  bool Mirror = false;
  bool Shadow = false;
  double ShadowX = 6, ShadowY = 6, ShadowSoftness = 8, ShadowOpacity = 0.5;
  bool BlocksSight = false;
  nlohmann::ordered_json Data;

  static bool FromObject(const TMapObject& Obj, TMapProp& Out, std::string* Error);
  TMapObject ToObject() const;
};
