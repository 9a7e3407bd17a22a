#pragma once
// TMapWindow: a window in a wall, type "window". Like a door it lies on a cell
// edge or is a free segment:
//   {"type":"window","edge":"h","cx":3,"cy":2}      top edge of cell (3, 2)
//   {"type":"window","edge":"v","cx":3,"cy":2}      left edge of cell (3, 2)
//   {"type":"window","x1":10,"y1":4,"x2":60,"y2":4}  free, in map pixels
// An optional "color" (#AARRGGBB) replaces the light bar drawn across the wall.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "map/base/color.h"
#include "map/objects/map_object.h"
#include "record/record_list.h"

enum class TWindowKind { Horizontal, Vertical, Free };

struct TMapWindow {
  static constexpr const char* kType = "window";
  static constexpr TColor32 kDefaultColor = 0xFFCFEFFF;

  uint64_t Id = 0;
  TWindowKind Kind = TWindowKind::Horizontal;
  int32_t CX = 0, CY = 0;                  // edge windows
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // free windows
  std::optional<TColor32> Color;
  nlohmann::ordered_json Data;

  static bool FromObject(const TMapObject& Obj, TMapWindow& Out, std::string* Error);
  TMapObject ToObject() const;

  // The window's two ends in map pixels for cells of ChipSize pixels.
  void Ends(int32_t ChipSize, TPoint& A, TPoint& B) const;
};
