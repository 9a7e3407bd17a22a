#pragma once
// Loading and saving maps for the tool's commands, with failures turned into one
// line that names the file, and texture warnings collected for standard error.

#include <string>
#include <vector>

class TMapEditLayerList;

namespace vcli {

struct TLoadedMap {
  std::vector<std::string> MissingTextures;  // as the load reported them
  std::string Encoding;                      // "shift_jis" or "utf-8"
};

// Empties Map and loads Path into it. Raises TCliError naming the file when the
// file is missing, not a map, or damaged; Map is then unusable but nothing on disk
// has changed.
TLoadedMap LoadMap(TMapEditLayerList& Map, const std::string& Path);

// Writes one warning line per missing texture to standard error.
void WarnMissingTextures(const std::string& Path, const TLoadedMap& Loaded);

// Saves Map to Path (written beside and renamed into place by the map file code).
// Raises TCliError naming the file on failure.
void SaveMap(const TMapEditLayerList& Map, const std::string& Path);

// The message of the exception in flight, on one line.
std::string CurrentErrorMessage();

}  // namespace vcli
