#pragma once
// Loading and saving maps for the tool's commands, with failures turned into one
// line that names the file, and texture warnings collected for standard error.

#include <functional>
#include <string>
#include <vector>

#include "map/base/progress.h"

class TMapEditLayerList;

using TOutputProgress = TProgressReport;

namespace vcli {

struct TLoadedMap {
  std::vector<std::string> MissingTextures;  // as the load reported them
  std::string Encoding;                      // "shift_jis" or "utf-8"
  std::vector<std::string> Warnings;         // parts of the file the load passed over
};

// Empties Map and loads Path into it. Raises TCliError naming the file when the
// file is missing, not a map, or damaged; Map is then unusable but nothing on disk
// has changed.
TLoadedMap LoadMap(TMapEditLayerList& Map, const std::string& Path);

// Writes one warning line per missing texture and per load warning to standard
// error.
void WarnMissingTextures(const std::string& Path, const TLoadedMap& Loaded);

// Saves Map to Path (written beside and renamed into place by the map file code),
// its relative texture paths rewritten for the folder of Path.
// Raises TCliError naming the file on failure.
void SaveMap(TMapEditLayerList& Map, const std::string& Path);

// Loads Path into Map as LoadMap does and warns of its missing textures.
TLoadedMap LoadMapWithWarnings(TMapEditLayerList& Map, const std::string& Path);

// The MAP and OUT words of a command that reads a map and writes a file: Word
// fills the first of the two still empty; TooMany is the usage error when both
// are taken.
void TakeMapAndOut(const std::string& Word, std::string& MapPath, std::string& OutPath,
                   const std::string& TooMany);

// Refuses an output path that is a folder or the map file itself (writing it would
// replace the map).
void CheckOutputPath(const std::string& MapPath, const std::string& OutPath);

// Runs Work with a progress bar on standard error (unless Quiet); a failure is
// raised as a TCliError naming OutPath.
void RunWithProgress(bool Quiet, const std::string& OutPath,
                     const std::function<void(const TOutputProgress&)>& Work);

// The message of the exception in flight, on one line.
std::string CurrentErrorMessage();

}  // namespace vcli
