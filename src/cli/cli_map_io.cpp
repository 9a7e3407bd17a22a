#include "cli/cli_map_io.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "cli/cli_errors.h"
#include "cli/cli_progress.h"
#include "map/base/text_quote.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/texture_paths.h"

namespace fs = std::filesystem;

namespace vcli {

std::string CurrentErrorMessage() {
  std::string text;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    text = "out of memory";
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "unknown error";
  }
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

TLoadedMap LoadMap(TMapEditLayerList& Map, const std::string& Path) {
  std::error_code ec;
  fs::file_status st = fs::status(fs::path(Path), ec);
  if (!fs::exists(st)) throw FileError(Path, "no such file");
  if (fs::is_directory(st)) throw FileError(Path, "is a folder, not a map file");
  TLoadedMap loaded;
  TMapLoadReport report;
  try {
    Map.LoadFromFile(Path, report);
  } catch (const EDecompressionError& e) {
    throw FileError(Path, std::string("damaged or not a map file: its compressed data cannot be "
                                      "read (") +
                              e.what() + ")");
  } catch (...) {
    throw FileError(Path, CurrentErrorMessage());
  }
  loaded.MissingTextures = report.MissingTextures;
  loaded.Warnings = report.Warnings;
  // The names the tool prints: "shift_jis" or "utf-8".
  loaded.Encoding = report.Encoding == "Shift_JIS" ? "shift_jis"
                    : report.Encoding == "UTF-8"   ? "utf-8"
                                                   : report.Encoding;
  return loaded;
}

void WarnMissingTextures(const std::string& Path, const TLoadedMap& Loaded) {
  for (const std::string& texture : Loaded.MissingTextures)
    // The source comes from the file: shown cut short and without control characters.
    std::fprintf(stderr, "vellumcraft-cli: warning: %s: texture %s could not be loaded\n",
                 Path.c_str(), QuoteForMessage(texture).c_str());
  for (const std::string& warning : Loaded.Warnings)
    std::fprintf(stderr, "vellumcraft-cli: warning: %s: %s\n", Path.c_str(), warning.c_str());
}

TLoadedMap LoadMapWithWarnings(TMapEditLayerList& Map, const std::string& Path) {
  TLoadedMap loaded = LoadMap(Map, Path);
  WarnMissingTextures(Path, loaded);
  return loaded;
}

void TakeMapAndOut(const std::string& Word, std::string& MapPath, std::string& OutPath,
                   const std::string& TooMany) {
  if (MapPath.empty())
    MapPath = Word;
  else if (OutPath.empty())
    OutPath = Word;
  else
    throw TUsageError(TooMany);
}

void CheckOutputPath(const std::string& MapPath, const std::string& OutPath) {
  std::error_code ec;
  if (fs::is_directory(fs::path(OutPath), ec)) throw FileError(OutPath, "is a folder");
  if (fs::equivalent(fs::path(MapPath), fs::path(OutPath), ec))
    throw FileError(OutPath, "is the map itself; choose another output file");
}

void RunWithProgress(bool Quiet, const std::string& OutPath,
                     const std::function<void(const TOutputProgress&)>& Work) {
  TProgressBar progress(Quiet);
  try {
    Work(progress.Callback());
  } catch (...) {
    progress.Finish();
    throw FileError(OutPath, CurrentErrorMessage());
  }
}

void SaveMap(TMapEditLayerList& Map, const std::string& Path) {
  try {
    // Relative texture paths are written for the new file's folder.
    TTextureFolderMove move(Map, Path);
    Map.SaveToFile(Path);
    move.Keep();
  } catch (...) {
    throw FileError(Path, CurrentErrorMessage());
  }
}

}  // namespace vcli
