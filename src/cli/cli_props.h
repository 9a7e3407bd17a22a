#pragma once
// Props in the command-line tool: the scene that render, print and export-vtt
// draw, and the edit of a map's objects through an edit session.

#include <filesystem>
#include <functional>
#include <string>

class TMapEditLayerList;
class TMapEditSession;
class TPropScene;

namespace vcli {

// Fills Scene with the props of Map, their images looked for in the asset
// folders beside ExecutableDir, the installed and the user's data folder, then
// beside the map. Unless Quiet, one warning on standard error names the images
// that could not be used (they are drawn as placeholders) and the props that
// do not read.
void LoadPropScene(TPropScene& Scene, const TMapEditLayerList& Map, const std::string& MapPath,
                   const std::filesystem::path& ExecutableDir, bool Quiet);

// Loads the map at MapPath, lets Edit change it through an edit session and saves
// it to OutPath; the map stays locked from reading to saving. Failures of Edit
// other than usage errors name the map.
void EditMapObjects(const std::string& MapPath, const std::string& OutPath,
                    const std::function<void(TMapEditSession&)>& Edit);

}  // namespace vcli
