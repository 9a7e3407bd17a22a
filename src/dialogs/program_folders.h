#pragma once
// The running program's data folders of one kind ("Langs", "Layersets"): beside
// the executable, in the installed data folder, then in the user's data folder.

#include <filesystem>
#include <string>
#include <vector>

std::vector<std::filesystem::path> ProgramDataFolders(const std::string& Name);
