#include "map/file/texture_search.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/texture_paths.h"

namespace fs = std::filesystem;

namespace {

std::string Folded(std::string Text) {
  for (char& c : Text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return Text;
}

// The file name part of a stored path, either separator.
std::string NamePart(const std::string& Path) {
  const size_t cut = Path.find_last_of("/\\");
  std::string name = cut == std::string::npos ? Path : Path.substr(cut + 1);
  if (cut == std::string::npos && name.size() >= 2 && name[1] == ':') name = name.substr(2);
  return name;
}

// The files of Wanted (folded names) under Folder, breadth first so that the
// nearest of several files of one name wins; exact names beat folded ones.
struct TFound {
  std::optional<fs::path> Exact, Folded;
};

std::map<std::string, TFound> SearchFolder(const fs::path& Folder,
                                           const std::map<std::string, std::string>& Wanted) {
  std::map<std::string, TFound> found;
  std::deque<std::pair<fs::path, int32_t>> folders{{Folder, 0}};
  int64_t seen = 0;
  while (!folders.empty() && seen < kTextureSearchEntries) {
    const auto [folder, depth] = folders.front();
    folders.pop_front();
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end && seen < kTextureSearchEntries; it.increment(ec), ++seen)
      entries.push_back(*it);
    std::sort(entries.begin(), entries.end());
    for (const fs::directory_entry& e : entries) {
      std::error_code fe;
      if (e.is_symlink(fe)) {
        // A linked file counts; a linked folder is not followed (it may loop).
        if (!e.is_regular_file(fe)) continue;
      } else if (e.is_directory(fe)) {
        if (depth < kTextureSearchDepth) folders.emplace_back(e.path(), depth + 1);
        continue;
      }
      if (!e.is_regular_file(fe)) continue;
      const std::string name = e.path().filename().string();
      const auto want = Wanted.find(Folded(name));
      if (want == Wanted.end()) continue;
      TFound& f = found[want->first];
      if (name == want->second && !f.Exact) f.Exact = e.path();
      if (!f.Folded) f.Folded = e.path();
    }
  }
  return found;
}

}  // namespace

void RebindMissingTextures(TMapEditLayerList& Map, const std::string& Folder,
                           TTextureSearchReport& Report) {
  Report = TTextureSearchReport();
  // The names wanted: folded name -> a name as stored (for the exact match).
  std::map<std::string, std::string> wanted;
  std::vector<int32_t> layers;
  for (int32_t i = 0; i < Map.Count(); ++i) {
    const TMapEditLayer* layer = Map.Layers(i);
    if (layer->TextureState == TTextureState::Ok) continue;
    std::string prefix, path;
    if (!SplitTextureSource(layer->FileName(), prefix, path)) continue;
    const std::string name = NamePart(path);
    if (name.empty()) continue;
    wanted.emplace(Folded(name), name);
    layers.push_back(i);
  }
  const std::map<std::string, TFound> found =
      wanted.empty() ? std::map<std::string, TFound>() : SearchFolder(fs::path(Folder), wanted);

  auto stillMissing = [&](const std::string& Source) {
    if (std::find(Report.StillMissing.begin(), Report.StillMissing.end(), Source) ==
        Report.StillMissing.end())
      Report.StillMissing.push_back(Source);
  };
  for (const int32_t i : layers) {
    TMapEditLayer* layer = Map.Layers(i);
    const std::string old = layer->FileName();
    std::string prefix, path;
    SplitTextureSource(old, prefix, path);
    const std::string name = NamePart(path);
    const auto f = found.find(Folded(name));
    std::optional<fs::path> file;
    if (f != found.end())
      file = f->second.Exact && f->second.Exact->filename().string() == name ? f->second.Exact
                                                                             : f->second.Folded;
    if (!file) {
      stillMissing(old);
      continue;
    }
    try {
      layer->SetFileName(prefix + fs::absolute(*file).lexically_normal().string());
      layer->TextureState = TTextureState::Ok;
      ++Report.Rebound;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      // Not an image after all: the layer keeps its source and placeholder.
      layer->SetFileNameOnly(old);
      stillMissing(old);
    }
  }
  if (Report.Rebound > 0) Map.Refresh();
}
