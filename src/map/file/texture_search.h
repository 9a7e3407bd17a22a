#pragma once
// Finding the textures of a map that could not be found where its layers say, by
// their file names, in a folder the user points to.

#include <cstdint>
#include <string>
#include <vector>

class TMapEditLayerList;

// How deep below the folder the search goes, and how many entries it looks at
// before giving up (a search started at a home or root folder must end).
constexpr int32_t kTextureSearchDepth = 6;
constexpr int64_t kTextureSearchEntries = 200000;

struct TTextureSearchReport {
  int32_t Rebound = 0;                    // layers that got their texture
  std::vector<std::string> StillMissing;  // sources not found, each once
};

// For every layer whose texture is missing or unreadable, looks for a regular
// file of the same name (the last part of its path, either separator; an exact
// match before one that differs only in case) in Folder and its sub-folders
// (bounded as above, nearer folders first), and rebinds the layer to it: the
// source names the found file (its chip prefix kept), the image is rebuilt and the
// map recomposed when any layer changed. A found file that cannot be read leaves
// its layer as it was.
void RebindMissingTextures(TMapEditLayerList& Map, const std::string& Folder,
                           TTextureSearchReport& Report);
