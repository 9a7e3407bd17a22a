#pragma once
// Where a layer's texture file is, and how its path is written so that a map keeps
// its textures when it is saved into another folder.
//
// A layer's source is a colour number, empty text, an image path or a chip
// reference "<X,Y,S>path". Only the path part of the last two is ever rewritten.
// A relative path is read against the folder the map lies in (TextureFolder of the
// document, the map file's folder once it is loaded or saved).
//
// Written paths: relative, with '/' separators, when the texture lies in the map's
// folder, below it, or below the folder one level up (a sibling folder:
// "../textures/stone.png"); otherwise absolute. Two or more levels up are written
// absolute: such a path breaks as soon as the map's folder is moved on its own.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class TMapEditLayerList;

// How many folders up a written relative path may go.
constexpr int32_t kMaxTextureLevelsUp = 1;

// The files a texture path may mean, in the order they are tried: relative to
// BaseFolder first, then as written (relative to the current folder), then (for a
// Windows path from another machine) its file name in BaseFolder. An absolute path
// is tried as written first.
std::vector<std::filesystem::path> TextureCandidates(const std::string& Path,
                                                     const std::string& BaseFolder);

// The first candidate that is a regular file.
std::optional<std::filesystem::path> FindTextureFile(const std::string& Path,
                                                     const std::string& BaseFolder);

// The path part of a layer source ("" for a colour, empty text or a malformed chip
// reference) and the chip prefix "<X,Y,S>" before it.
bool SplitTextureSource(const std::string& Source, std::string& Prefix, std::string& Path);

// The source to write for a map saved into ToFolder whose relative paths were read
// against FromFolder (empty: the current folder). The file the source names (found
// as the reader finds it, or where a relative path would put it) is written as the
// rules above say. A source that still names the same file from ToFolder keeps its
// text, so that a map saved where it was loaded is written as it was read.
std::string TextureSourceForFolder(const std::string& Source, const std::string& FromFolder,
                                   const std::string& ToFolder);

// The layers' sources as TextureSourceForFolder gives them for Map's TextureFolder
// and NewFolder.
std::vector<std::string> TextureSourcesForFolder(const TMapEditLayerList& Map,
                                                 const std::string& NewFolder);

// Rewrites the layers' sources of Map for a save into the folder of FileName and
// makes that Map's TextureFolder; the images stay. Unless Keep is called, the
// destructor puts the old sources and folder back (a save that failed or was
// called off).
class TTextureFolderMove {
 public:
  TTextureFolderMove(TMapEditLayerList& Map, const std::string& FileName);
  ~TTextureFolderMove();
  TTextureFolderMove(const TTextureFolderMove&) = delete;
  TTextureFolderMove& operator=(const TTextureFolderMove&) = delete;
  void Keep() { FKept = true; }

 private:
  TMapEditLayerList& FMap;
  std::vector<std::string> FOldSources;
  std::string FOldFolder;
  bool FKept = false;
};

// The folder of a map file, as the reader takes it ("." for a bare file name).
std::string MapFolderOf(const std::string& FileName);
