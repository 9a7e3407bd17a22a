#pragma once
// The ".qmx" map file: one zlib stream holding CR LF text lines: the magic line,
// the header, the layers, the per-pixel layer rows, the per-cell rows and the three
// door lists. Pixel and cell rows are re-cut into 6-bit groups (EncodeLine).
//
// Limits checked before anything is allocated when a map is read:
//   chip size 1..1000 (0 only for a map of no cells), width and height >= 0,
//   at most 400,000,000 map pixels (20000 x 20000), at most 65536 layers and at
//   most 2^32 layer-image pixels in all (layers x map pixels). The decompressed
//   text may not be longer than the header can need plus a slack.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "map/base/file_stamp.h"
#include "record/errors.h"

class TMapEditLayerList;

// A map file whose content is damaged or does not fit the limits above.
class EMapFileError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};

// A file that is not a map file at all (its first line is not the magic line).
class ENotAMapFile : public EMapFileError {
 public:
  using EMapFileError::EMapFileError;
};

// A compressed stream that zlib rejects ("エラー").
class EDecompressionError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};

constexpr int32_t kMaxMapChipSize = 1000;
constexpr int64_t kMaxMapPixels = 400000000;
constexpr int32_t kMaxMapLayers = 65536;
constexpr int64_t kMaxMapLayerPixels = int64_t(1) << 32;
// The largest layer index a pixel row can hold (four hexadecimal digits).
constexpr int32_t kMaxStoredLayerIndex = 0xFFFF;

// What a load found besides the map itself.
struct TMapLoadReport {
  // The FileName of every layer whose texture was missing or could not be read
  // (each listed once, in layer order); those layers show a placeholder.
  std::vector<std::string> MissingTextures;
  // The text encoding the file was read in: "UTF-8" or "Shift_JIS".
  std::string Encoding;
  // What was read past: damaged object lines (each naming its line), objects of a
  // newer kind, text after the objects. The map opened without those.
  std::vector<std::string> Warnings;
};

// How a save went, besides succeeding.
struct TMapSaveReport {
  // The folder refused the rename of an atomic save, so the file was overwritten in
  // place after its backup ("name.qmx.bak") had been written and checked.
  bool WroteInPlace = false;
  // SaveMapFile only: the file as saved, for the next save to compare with, and
  // whether the save was called off (ConfirmOverwrite said no; nothing written).
  TFileStamp Stamp;
  bool Cancelled = false;
};

// What SaveMapFile is to watch for.
struct TMapSaveOptions {
  // The file as this document last read or wrote it. When the file on disk is no
  // longer that (another program changed it since), ConfirmOverwrite is asked while
  // the file is locked; false calls the save off.
  std::optional<TFileStamp> Expected;
  std::function<bool()> ConfirmOverwrite;
};

// Re-cuts the bytes of Text into 6-bit groups written with the alphabet
// "0-9A-Za-z+/" (no padding).
std::string EncodeLine(const std::string& Text);
// The inverse of EncodeLine; stops at the first character outside the alphabet
// and drops leftover bits.
std::string DecodeLine(const std::string& Text);

// The map's text before compression (CR LF lines). Texts are written in Shift JIS
// when every one of them converts to it without loss, otherwise in UTF-8; Encoding
// receives the name of the one used. Raises EMapFileError for a map that a file
// cannot hold (a pixel layer index outside 0..65535, a line break in a text).
std::string BuildMapText(const TMapEditLayerList& Map, std::string* Encoding = nullptr);
// The whole map file: BuildMapText compressed at zlib's default level.
std::string BuildMapFile(const TMapEditLayerList& Map);

// Saves Map to FileName as TMapEditLayerList::SaveToFile does (backup, lock,
// read-back check), first asking Options.ConfirmOverwrite when the file changed on
// disk since Options.Expected, and gives the stamp of the saved file.
void SaveMapFile(const TMapEditLayerList& Map, const std::string& FileName,
                 const TMapSaveOptions& Options, TMapSaveReport& Report);

// Reads a map file held in memory into Map. BaseFolder is the folder of the map
// file, where textures named by a path that does not exist are looked for. Map is
// replaced only when everything was read; on an error it is left as it was.
// Compose false skips the final door bitmap rebuild and Refresh (for callers that
// compose later, and for measuring the file code alone).
void LoadMapFromBytes(TMapEditLayerList& Map, const std::string& Bytes,
                      const std::string& BaseFolder, TMapLoadReport& Report, bool Compose = true);
