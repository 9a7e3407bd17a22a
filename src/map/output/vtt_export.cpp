// Writing the Universal VTT file: the composed image as base64 PNG and the scene
// geometry as JSON, replaced atomically.

#include "map/output/vtt_export.h"

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "map/base/atomic_file.h"
#include "map/raster/bitmap32.h"
#include "map/codec/image_codecs.h"
#include "map/codec/image_file.h"
#include "map/compose/map_composer.h"
#include "map/document/map_edit_layer_list.h"
#include "record/errors.h"

namespace {

using TJson = nlohmann::ordered_json;

TJson PointJson(const TVttPoint& P) { return TJson{{"x", P.X}, {"y", P.Y}}; }

TJson LinesJson(const std::vector<TVttPolyline>& Lines) {
  TJson all = TJson::array();
  for (const TVttPolyline& line : Lines) {
    TJson points = TJson::array();
    for (const TVttPoint& p : line) points.push_back(PointJson(p));
    all.push_back(std::move(points));
  }
  return all;
}

// The image's pixels per cell, checked before any work is done.
int32_t CheckedPixelsPerGrid(const TMapEditLayerList& Map, const TVttExportOptions& Options) {
  if (Map.Width() <= 0 || Map.Height() <= 0 || Map.ChipSize() <= 0)
    throw EImageError("The map is empty; there is nothing to export");
  const int32_t n = Options.PixelsPerGrid == 0 ? Map.ChipSize() : Options.PixelsPerGrid;
  if (n < 1 || n > kVttMaxPixelsPerGrid)
    throw EImageError("Pixels per grid cell must be between 1 and " +
                      std::to_string(kVttMaxPixelsPerGrid) + ", not " + std::to_string(n));
  const int64_t w = int64_t(Map.Width()) * n, h = int64_t(Map.Height()) * n;
  if (w * h > MaxDecodePixels)
    throw EImageError("The exported image would be " + std::to_string(w) + " x " +
                      std::to_string(h) + " pixels, which is too large; choose fewer pixels " +
                      "per grid cell");
  return n;
}

}  // namespace

void ComposeVttImage(TMapEditLayerList& Map, const TVttExportOptions& Options, TBitmap32& Image,
                     const TOutputProgress& Progress) {
  const int32_t n = CheckedPixelsPerGrid(Map, Options);
  TOutputOptions output = Options.Grid;
  output.Compose.Labels = Options.Labels;
  output.Compose.LightPreview = Options.BakeLights;
  if (n == Map.ChipSize()) {
    ComposeForOutput(Map, Image, output, Progress);
    return;
  }
  const int32_t w = Map.Width() * n, h = Map.Height() * n;
  if (Progress) Progress("compose", 0, 1);
  Image.SetSize(w, h);
  Image.Clear(0);
  ComposeMapStretched(Map, Image, TRect{0, 0, w, h},
                      TRect{0, 0, Map.PixelWidth(), Map.PixelHeight()}, TResamplerKind::Draft,
                      output.Compose);
  // Grid lines drawn at the new scale stay one pixel wide.
  DrawGrid(Image, Map.Width(), Map.Height(), n, Options.Grid);
  if (Progress) Progress("compose", 1, 1);
}

std::string VttJson(const TVttScene& Scene, int32_t PixelsPerGrid, const std::string& PngBytes) {
  TJson portals = TJson::array();
  for (const TVttPortal& p : Scene.Portals)
    portals.push_back(
        TJson{{"position", PointJson(p.Position)},
              {"bounds", TJson::array({PointJson(p.Bounds[0]), PointJson(p.Bounds[1])})},
              {"rotation", p.Rotation},
              {"closed", p.Closed},
              {"freestanding", p.Freestanding}});
  TJson doc;
  doc["format"] = 0.3;
  doc["resolution"] = TJson{{"map_origin", TJson{{"x", 0}, {"y", 0}}},
                            {"map_size", TJson{{"x", Scene.MapWidth}, {"y", Scene.MapHeight}}},
                            {"pixels_per_grid", PixelsPerGrid}};
  doc["line_of_sight"] = LinesJson(Scene.Walls);
  doc["objects_line_of_sight"] = LinesJson(Scene.Objects);
  doc["portals"] = std::move(portals);
  doc["environment"] =
      TJson{{"baked_lighting", Scene.BakedLighting}, {"ambient_light", "ffffffff"}};
  TJson lights = TJson::array();
  for (const TVttLight& l : Scene.Lights) {
    char color[12];
    std::snprintf(color, sizeof color, "%08x", unsigned(l.Color));
    lights.push_back(TJson{{"position", PointJson(l.Position)},
                           {"range", l.Range},
                           {"intensity", l.Intensity},
                           {"color", color},
                           {"shadows", l.Shadows}});
  }
  doc["lights"] = std::move(lights);
  doc["image"] = EncodeBase64(PngBytes);
  return doc.dump();
}

std::string EncodeBase64(const std::string& Bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((Bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= Bytes.size(); i += 3) {
    const uint32_t v = uint32_t(uint8_t(Bytes[i])) << 16 | uint32_t(uint8_t(Bytes[i + 1])) << 8 |
                       uint8_t(Bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  const size_t rest = Bytes.size() - i;
  if (rest > 0) {
    uint32_t v = uint32_t(uint8_t(Bytes[i])) << 16;
    if (rest == 2) v |= uint32_t(uint8_t(Bytes[i + 1])) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string EncodePNGToMemory(const TBitmap32& Image) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* stream = open_memstream(&buffer, &size);
  if (!stream) throw EImageError("Cannot encode the PNG image: out of memory");
  try {
    EncodePNG(Image, stream, "Universal VTT image");
  } catch (...) {
    std::fclose(stream);
    std::free(buffer);
    throw;
  }
  const bool closed = std::fclose(stream) == 0;
  std::string bytes;
  if (closed) bytes.assign(buffer, size);
  std::free(buffer);
  if (!closed) throw EImageError("Cannot encode the PNG image: out of memory");
  return bytes;
}

void ExportVtt(TMapEditLayerList& Map, const std::string& Path, const TVttExportOptions& Options,
               const TOutputProgress& Progress) {
  if (Path.empty()) throw EFileError("No output file name given");
  const int32_t n = CheckedPixelsPerGrid(Map, Options);
  PrepareForOutput(Map, TOutputFastDraw::OffForOutput, Progress);
  TBitmap32 image;
  ComposeVttImage(Map, Options, image, Progress);
  if (Progress) Progress("trace", 0, 1);
  TVttScene scene = BuildVttScene(Map, Options.MergeObjectOutlines);
  if (Options.Grid.Compose.Props)
    AddPropOutlines(scene, *Options.Grid.Compose.Props, Map.ChipSize());
  scene.BakedLighting = scene.Lights.empty() || Options.BakeLights;
  if (Progress) Progress("trace", 1, 1);
  if (Progress) Progress("write", 0, 1);
  std::string text = VttJson(scene, n, EncodePNGToMemory(image));
  WriteFileAtomically(Path, text);
  if (Progress) Progress("write", 1, 1);
}
