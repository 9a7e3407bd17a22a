#pragma once
// Layer sets: small text files that list the floor layers a new map starts with.
// Lines are taken in pairs, a layer's name and then its image source (an image
// path or a chip reference "<X,Y,S>path"); an odd last line is ignored. A set is
// applied only when every source names an existing file; otherwise none of its
// layers is added.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TMapEditLayerList;

// The most layers a map may be given by adding layers (a layer set, a new layer):
// a pixel row holds a layer index in four hexadecimal digits.
constexpr int32_t kMaxEditableLayers = 65535;

struct TLayerSetEntry {
  std::string Name;
  std::string Source;  // as written in the set file
};

struct TLayerSet {
  std::filesystem::path File;  // the set file; relative sources also resolve against its folder
  std::vector<TLayerSetEntry> Entries;
};

// The result of checking a set before it is applied.
struct TLayerSetCheck {
  bool Valid = true;
  int32_t Line = 0;    // 1-based line of the first invalid source, 0 when valid
  std::string Reason;  // what is wrong with it, for messages
};

// The folders searched for a set given by name, in order: "Layersets" beside the
// executable, "Layersets" in the installed data folder (when given), then in the
// user's data folder ($XDG_DATA_HOME/vellumcraft, or ~/.local/share/vellumcraft).
std::vector<std::filesystem::path> DefaultLayerSetFolders(
    const std::filesystem::path& ExecutableDir, const std::filesystem::path& DataDir = {});

// Names (file names without ".txt") of the sets in Folders, sorted, each once; a
// name found in an earlier folder hides the same name in a later one.
std::vector<std::string> ListLayerSets(const std::vector<std::filesystem::path>& Folders);

// Finds a set: a name is looked up as "<name>.txt" in Folders in order; text that
// names an existing ".txt" file (case ignored) is taken as that file. Returns an
// empty path when nothing matches.
std::filesystem::path FindLayerSet(const std::string& NameOrPath,
                                   const std::vector<std::filesystem::path>& Folders);

// Splits text into lines at CR LF, LF or CR. A final line end does not start
// another line.
std::vector<std::string> SplitLines(const std::string& Text);

// Reads a set file (UTF-8 when valid, else Shift JIS). Raises EFileError when the
// file cannot be read, is not a regular file, is larger than 1 MiB or is neither
// UTF-8 nor Shift JIS (naming the first line that is neither).
TLayerSet ReadLayerSetFile(const std::filesystem::path& File);
// The set held in Bytes (a set file's contents); File is recorded as the set's file.
// Raises EFileError for more than 1 MiB, the most a set file may hold, and for text
// that is neither UTF-8 nor Shift JIS.
TLayerSet ParseLayerSet(const std::string& Bytes, const std::filesystem::path& File);

// The source as the layer will receive it: a relative image path is looked up in
// the current folder first (and kept as written when found there), then in
// SetFolder (and made absolute). Chip references keep their numbers. Returns an
// empty text when the source is not valid (see CheckLayerSet).
std::string ResolveLayerSetSource(const std::string& Source, const std::filesystem::path& SetFolder,
                                  std::string* Reason = nullptr);

// Checks every source in order and reports the first invalid one.
TLayerSetCheck CheckLayerSet(const TLayerSet& Set);

// Appends the set's layers to Map (type mltGround, name, resolved source through
// the FileName setter) when the whole set is valid, and returns how many layers it
// added. An invalid set adds nothing and returns 0. When a texture cannot be
// decoded, the layers added so far are removed again and the error is raised; a
// set that would leave the map more layers than CheckRoomForLayers allows adds
// nothing and raises its error.
int32_t ApplyLayerSet(TMapEditLayerList& Map, const TLayerSet& Set);

// Raises EMapFileError when Adding more layers would give Map more than
// kMaxEditableLayers layers, or more layer image pixels than a map file may claim.
void CheckRoomForLayers(const TMapEditLayerList& Map, int64_t Adding);
