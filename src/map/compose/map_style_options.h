#pragma once
// The looks a map can be drawn in beyond its plain picture: hatching outside the
// walls, a drop shadow cast by the walls, an outline along the walls and an
// ink-saving variant for home printers. All of them are off by default, and
// every length is in map pixels, so a scaled output scales the look with it.

#include <cstdint>

#include "map/base/color.h"

// Pen strokes in the wall area within Distance pixels of the floor, in clusters
// of parallel strokes whose directions and ends come from Seed.
struct TStyleHatching {
  bool Enabled = false;
  int32_t Distance = 16;        // pixels from the floor; 1 .. kMaxStyleLength
  int32_t Spacing = 5;          // pixels between strokes; 2 .. 32
  TColor32 Color = 0xFF262320;  // 0xAARRGGBB
  uint32_t Seed = 1;
  friend bool operator==(const TStyleHatching&, const TStyleHatching&) = default;
};

// A shadow that the walls cast onto the floor towards Angle degrees (0 towards
// +x, 90 towards +y, the picture's down), Length pixels long, its last Softness
// pixels fading out.
struct TStyleShadow {
  bool Enabled = false;
  int32_t Angle = 45;     // degrees, any value (taken modulo 360)
  int32_t Length = 8;     // pixels; 1 .. kMaxStyleLength
  int32_t Softness = 4;   // pixels; 0 .. Length
  uint8_t Opacity = 110;  // alpha of the black shadow at its darkest
  friend bool operator==(const TStyleShadow&, const TStyleShadow&) = default;
};

// A line of Width pixels on the wall side of every wall/floor boundary; with
// Roughness > 0 its width wanders by up to that many pixels like a hand-drawn line.
struct TStyleOutline {
  bool Enabled = false;
  int32_t Width = 2;      // pixels; 1 .. 32
  int32_t Roughness = 0;  // pixels; 0 .. 8
  TColor32 Color = 0xFF000000;
  uint32_t Seed = 1;
  friend bool operator==(const TStyleOutline&, const TStyleOutline&) = default;
};

// How ink-saving print draws the walls.
enum class TInkWalls : uint8_t { Hatching, Grey };

// White floors that keep their texture only as light grey detail, and walls
// that are white with hatching (the hatching settings, switched on) or solid grey.
struct TStyleInkSaving {
  bool Enabled = false;
  TInkWalls Walls = TInkWalls::Hatching;
  friend bool operator==(const TStyleInkSaving&, const TStyleInkSaving&) = default;
};

constexpr int32_t kMaxStyleLength = 100;

struct TMapStyleOptions {
  TStyleHatching Hatching;
  TStyleShadow Shadow;
  TStyleOutline Outline;
  TStyleInkSaving InkSaving;
  // Whether anything is switched on: the plain picture otherwise.
  bool Active() const {
    return Hatching.Enabled || Shadow.Enabled || Outline.Enabled || InkSaving.Enabled;
  }
  friend bool operator==(const TMapStyleOptions&, const TMapStyleOptions&) = default;
};

// How grid lines are drawn along their length (image output, printing and the
// VTT image draw the grid).
enum class TGridLineStyle : uint8_t { Solid, Dashed, Dotted };

// Everything a map keeps of its style: the looks of the composition and how its
// grid lines are drawn. The default is the plain picture with solid lines.
struct TMapStyleSettings {
  TMapStyleOptions Looks;
  TGridLineStyle GridStyle = TGridLineStyle::Solid;
  int32_t GridOpacity = 100;  // percent
  bool IsPlain() const { return *this == TMapStyleSettings{}; }
  friend bool operator==(const TMapStyleSettings&, const TMapStyleSettings&) = default;
};

// The options with every number brought into its range, so that a style read
// from a file or typed in cannot ask for unbounded work.
TMapStyleOptions ClampedStyle(const TMapStyleOptions& Style);
