#pragma once
// Export to virtual tabletops in the Universal VTT exchange format (".dd2vtt",
// ".uvtt"): one JSON object holding the composed map as a base64 PNG together
// with the walls and object outlines as sight-blocking polylines and the doors as
// portals, all in grid units (one unit per cell).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "map/base/color.h"

#include "map/output/image_output.h"

class TBitmap32;
class TPropScene;
class TMapEditLayerList;

// The largest pixels-per-grid value accepted.
constexpr int32_t kVttMaxPixelsPerGrid = 1000;

struct TVttExportOptions {
  // Image pixels per cell; 0 keeps the map's chip size. Another value scales the
  // image; the lines and portals stay in grid units.
  int32_t PixelsPerGrid = 0;
  // Grid lines on the image (off unless UseGrid is set), as for image output.
  TOutputOptions Grid;
  // Labels on the image: off, since the players see the image.
  bool Labels = false;
  // The lights' falloff baked into the image; environment.baked_lighting then
  // says so. Off: the lights are exported for the tabletop to light.
  bool BakeLights = false;
  // The object layers' outlines go into line_of_sight with the walls (one popular
  // importer reads only that list) instead of objects_line_of_sight.
  bool MergeObjectOutlines = false;
};

struct TVttPoint {
  double X = 0, Y = 0;
  friend bool operator==(const TVttPoint&, const TVttPoint&) = default;
};
using TVttPolyline = std::vector<TVttPoint>;

struct TVttPortal {
  TVttPoint Position;   // the middle of the door
  TVttPoint Bounds[2];  // its two ends
  double Rotation = 0;  // radians, atan2 of the door's direction (y down)
  bool Closed = true;
  bool Freestanding = false;  // no wall touches the door
};

struct TVttLight {
  TVttPoint Position;
  double Range = 0;  // in cells
  double Intensity = 1;
  TColor32 Color = 0xFFFFFFFF;  // written as 8 hexadecimal digits, ARGB
  bool Shadows = true;
};

// The geometry of an export, in grid units.
struct TVttScene {
  int32_t MapWidth = 0, MapHeight = 0;  // in cells
  std::vector<TVttPolyline> Walls;      // closed ones repeat their first point at the end
  std::vector<TVttPolyline> Objects;
  std::vector<TVttPortal> Portals;  // doors (closed) and windows (open)
  std::vector<TVttLight> Lights;
  // Whether the image's lighting is final: true unless there are lights that the
  // image does not show.
  bool BakedLighting = true;

  // Line segments of the walls and of the object outlines.
  size_t WallSegments() const;
  size_t ObjectSegments() const;
};

// Traces the walls (pixels of layer 0 against every other pixel) and the object
// layers' pixels (against floors; their edges along walls are the walls' lines),
// simplifies them within half a pixel, joins lines that continue one another,
// turns every door into a closed portal and every window into an open one, opens
// the walls where a door or window runs along or through them, and lists the
// lights. With MergeObjectOutlines the object outlines are walls too. Reads only
// the document's grids, doors and objects (the door lists are created when the
// map has none yet).
TVttScene BuildVttScene(TMapEditLayerList& Map, bool MergeObjectOutlines = false);

// Adds the outline of every prop of Props that blocks sight to the object lines,
// in grid units of cells of ChipSize pixels, closed.
void AddPropOutlines(TVttScene& Scene, const TPropScene& Props, int32_t ChipSize);

// The composed image of the prepared map at PixelsPerGrid pixels per cell (the
// chip size when 0), with grid lines when asked. Raises EImageError for a
// pixels-per-grid value outside 1..kVttMaxPixelsPerGrid or an image too large.
void ComposeVttImage(TMapEditLayerList& Map, const TVttExportOptions& Options, TBitmap32& Image,
                     const TOutputProgress& Progress = {});

// The JSON text of the export. PngBytes is the encoded image.
std::string VttJson(const TVttScene& Scene, int32_t PixelsPerGrid, const std::string& PngBytes);

// Standard base64 with padding.
std::string EncodeBase64(const std::string& Bytes);

// Encodes Image as PNG (8-bit RGB, as image output writes it) into memory.
std::string EncodePNGToMemory(const TBitmap32& Image);

// The whole export: prepare the document as image output does, compose, trace,
// encode and write Path atomically. Raises EFileError or EImageError on failure,
// leaving any existing file at Path untouched.
void ExportVtt(TMapEditLayerList& Map, const std::string& Path, const TVttExportOptions& Options,
               const TOutputProgress& Progress = {});
