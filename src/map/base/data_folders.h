#pragma once
// Where the program's data folders ("Langs", "Layersets") are looked for, in
// order: beside the executable (a portable copy or a build folder), in the
// installed data folder, then in the user's data folder, where users add their own
// files without administrator rights.

#include <filesystem>
#include <string>
#include <vector>

// The folders named Name under: ExecutableDir, ExecutableDir/../share/vellumcraft,
// DataDir (when given), then
// $XDG_DATA_HOME/vellumcraft or ~/.local/share/vellumcraft.
std::vector<std::filesystem::path> DataFolders(const std::filesystem::path& ExecutableDir,
                                               const std::filesystem::path& DataDir,
                                               const std::string& Name);

// The user's own data folder: $XDG_DATA_HOME/vellumcraft, or
// ~/.local/share/vellumcraft; empty when neither variable is set.
std::filesystem::path UserDataFolder();
