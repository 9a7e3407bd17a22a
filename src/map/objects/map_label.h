#pragma once
// TMapLabel: a text on the map (a room number, a note), type "label".
//   {"type":"label","x":96,"y":64,"text":"1","size":0.5,"color":"#FF000000",
//    "outline":"#FFFFFFFF","align":"center"}
// (x, y) is the anchor in map pixels: the left end, middle or right end of the
// text (by align), halfway up its lines. size is the height of a line in cells.
// outline, when present, is a halo around the letters so they read on any floor.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "map/base/color.h"
#include "map/objects/map_object.h"

enum class TLabelAlign { Left, Center, Right };

struct TMapLabel {
  static constexpr const char* kType = "label";
  static constexpr size_t kMaxText = 4000;
  static constexpr double kMinSize = 0.05, kMaxSize = 50;

  uint64_t Id = 0;
  int32_t X = 0, Y = 0;
  std::string Text;
  double Size = 0.5;
  TColor32 Color = 0xFF000000;
  std::optional<TColor32> Outline;
  TLabelAlign Align = TLabelAlign::Center;
  // The object's JSON as read, so that keys this program does not know survive.
  nlohmann::ordered_json Data;

  static bool FromObject(const TMapObject& Obj, TMapLabel& Out, std::string* Error);
  TMapObject ToObject() const;
};

const char* LabelAlignName(TLabelAlign A);
bool ParseLabelAlign(const std::string& Text, TLabelAlign& A);
