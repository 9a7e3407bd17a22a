#pragma once
// Packing a map with its textures into one folder, so that the folder can be
// zipped and opened on another machine: the map file itself and every texture
// file its layers use, copied into "textures/" beside it, the map's sources
// rewritten to "textures/<name>". Two different files of the same name get
// "name-2.png", "name-3.png" and so on; one file used by several layers is copied
// once. Props are not packed: their images come from the asset pack installed
// with the program, which every machine has.

#include <string>
#include <vector>

#include "record/errors.h"

class TMapEditLayerList;

// A map that cannot be packed: a texture not found, an output folder that cannot
// be written, or an output that would replace the map itself or a texture.
class EMapPackError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};

// The folder inside a pack that holds its textures.
constexpr const char* kPackTextureFolder = "textures";

struct TPackReport {
  std::string MapFile;  // the packed map file
  // Each texture copied: where it came from and its name in the pack
  // ("textures/stone.png").
  struct TCopied {
    std::string From;
    std::string Name;
  };
  std::vector<TCopied> Textures;
};

// Packs Map (its relative sources read against Map.TextureFolder) into OutFolder
// (made when missing) as the file MapName (a file name; a path gives its last
// part). Everything is checked before anything is written: a missing texture
// names every layer whose texture is missing. The map file is written safely
// (replaced only once complete and read back). Map is left as it was.
void PackMap(TMapEditLayerList& Map, const std::string& MapName, const std::string& OutFolder,
             TPackReport& Report);

// Loads the map file MapFile and packs it under its own name.
void PackMapFile(const std::string& MapFile, const std::string& OutFolder, TPackReport& Report);
