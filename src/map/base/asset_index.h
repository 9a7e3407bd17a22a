#pragma once
// The prop images the program knows: every PNG under the "Assets" data folders
// (beside the executable, the installed data folder, the user's data folder),
// grouped by the sub-folder it lies in. A prop names its image by the path
// relative to the asset folder, so that maps stay valid on other machines and
// after the program moves; an image outside every asset folder is named by its
// full path, as layer textures are.

#include <filesystem>
#include <string>
#include <vector>

// The "Assets" folders, in lookup order.
std::vector<std::filesystem::path> DefaultAssetFolders(const std::filesystem::path& ExecutableDir,
                                                       const std::filesystem::path& DataDir);

struct TAssetEntry {
  std::string Group;           // the sub-folder path with '/' ("furniture"); empty at the top
  std::string Name;            // the file name without ".png"
  std::string Path;            // the stored form: Group/Name.png
  std::filesystem::path File;  // where the image is
};

class TAssetIndex {
 public:
  TAssetIndex() = default;
  explicit TAssetIndex(std::vector<std::filesystem::path> Folders) { Scan(std::move(Folders)); }

  // Lists the PNG files (extension case ignored) under each folder and its
  // sub-folders. Where two folders hold the same relative path, the earlier
  // folder's image is the one used. Missing or unreadable folders are skipped.
  void Scan(std::vector<std::filesystem::path> Folders);

  const std::vector<std::filesystem::path>& Folders() const { return FFolders; }
  // Sorted by group, then by name.
  const std::vector<TAssetEntry>& Entries() const { return FEntries; }
  // The groups in sorted order, each once.
  std::vector<std::string> Groups() const;
  // The entries whose group or name holds every word of Text (case ignored, '_'
  // counting as a space); all entries for blank text.
  std::vector<const TAssetEntry*> Search(const std::string& Text) const;

  // The text a prop stores for the image File: its path relative to the first
  // asset folder that holds it, with '/', else File as given.
  std::string StoredPath(const std::filesystem::path& File) const;
  // Where the image of a stored path is: an absolute path as it is; a relative one
  // in the asset folders in order, then beside the map (MapFolder, when given).
  // Empty when no file is found. A relative path that climbs out of its folder
  // ("..") is only looked for beside the map.
  std::filesystem::path Resolve(const std::string& Stored,
                                const std::filesystem::path& MapFolder = {}) const;

 private:
  std::vector<std::filesystem::path> FFolders;
  std::vector<TAssetEntry> FEntries;
};
