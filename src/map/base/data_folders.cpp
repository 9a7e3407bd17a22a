#include "map/base/data_folders.h"

#include <cstdlib>

namespace fs = std::filesystem;

std::vector<fs::path> DataFolders(const fs::path& ExecutableDir, const fs::path& DataDir,
                                  const std::string& Name) {
  std::vector<fs::path> folders;
  if (!ExecutableDir.empty()) folders.push_back(ExecutableDir / Name);
  // An installation moved elsewhere, or installed with another prefix than the
  // one it was built for, keeps its data beside bin/.
  if (!ExecutableDir.empty())
    folders.push_back(ExecutableDir.parent_path() / "share" / "vellumcraft" / Name);
  if (!DataDir.empty()) folders.push_back(DataDir / Name);
  if (const fs::path user = UserDataFolder(); !user.empty()) folders.push_back(user / Name);
  return folders;
}

fs::path UserDataFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    return fs::path(xdg) / "vellumcraft";
  if (const char* home = std::getenv("HOME"); home && *home)
    return fs::path(home) / ".local" / "share" / "vellumcraft";
  return {};
}
