#include "map/file/map_pack.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "map/base/atomic_file.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/texture_paths.h"

namespace fs = std::filesystem;

namespace {

fs::path Canonical(const fs::path& Path) {
  std::error_code ec;
  fs::path out = fs::weakly_canonical(Path, ec);
  return ec ? fs::absolute(Path).lexically_normal() : out;
}

bool SameFile(const fs::path& A, const fs::path& B) {
  std::error_code ec;
  return fs::equivalent(A, B, ec);
}

// Names compared as a case-blind file system (a pack may be unzipped on one) would.
std::string Folded(const std::string& Name) {
  std::string out = Name;
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Name, or "stem-2.ext", "stem-3.ext"... the first not in Taken.
std::string FreeName(const std::string& Name, const std::set<std::string>& Taken) {
  if (!Taken.count(Folded(Name))) return Name;
  const fs::path p(Name);
  const std::string stem = p.stem().string(), ext = p.extension().string();
  for (int n = 2;; ++n) {
    const std::string candidate = stem + "-" + std::to_string(n) + ext;
    if (!Taken.count(Folded(candidate))) return candidate;
  }
}

std::string ReadTexture(const fs::path& File) {
  std::ifstream in(File, std::ios::binary);
  if (!in) throw EMapPackError("Cannot read the texture \"" + File.string() + "\"");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EMapPackError("Cannot read the texture \"" + File.string() + "\"");
  return bytes;
}

// Puts the layers' sources and the texture folder back when the pack is done.
class TSourceRestore {
 public:
  explicit TSourceRestore(TMapEditLayerList& Map) : FMap(Map), FFolder(Map.TextureFolder) {
    for (int32_t i = 0; i < Map.Count(); ++i) FSources.push_back(Map.Layers(i)->FileName());
  }
  ~TSourceRestore() {
    FMap.TextureFolder = FFolder;
    for (int32_t i = 0; i < FMap.Count() && size_t(i) < FSources.size(); ++i)
      FMap.Layers(i)->SetFileNameOnly(FSources[size_t(i)]);
  }
  TSourceRestore(const TSourceRestore&) = delete;
  TSourceRestore& operator=(const TSourceRestore&) = delete;

 private:
  TMapEditLayerList& FMap;
  std::string FFolder;
  std::vector<std::string> FSources;
};

}  // namespace

void PackMap(TMapEditLayerList& Map, const std::string& MapName, const std::string& OutFolder,
             TPackReport& Report) {
  Report = TPackReport();
  if (OutFolder.empty()) throw EMapPackError("No folder was given to pack the map into");
  const std::string name = fs::path(MapName).filename().string();
  if (name.empty()) throw EMapPackError("The packed map needs a file name");
  const fs::path out = fs::absolute(fs::path(OutFolder)).lexically_normal();
  const fs::path textures = out / kPackTextureFolder;
  const fs::path mapOut = out / name;

  // Every texture file the layers use, found as the reader finds it.
  struct TLayerTexture {
    int32_t Layer;
    std::string Prefix;
    fs::path File;  // canonical
  };
  std::vector<TLayerTexture> uses;
  std::vector<std::string> missing;
  for (int32_t i = 0; i < Map.Count(); ++i) {
    const TMapEditLayer* layer = Map.Layers(i);
    std::string prefix, path;
    if (!SplitTextureSource(layer->FileName(), prefix, path)) continue;
    const std::optional<fs::path> found = FindTextureFile(path, Map.TextureFolder);
    if (!found) {
      missing.push_back("layer " + std::to_string(i) + " \"" + layer->LayerName + "\": \"" +
                        layer->FileName() + "\"");
      continue;
    }
    uses.push_back({i, prefix, Canonical(*found)});
  }
  if (!missing.empty()) {
    std::string text = "The map cannot be packed: the textures of ";
    for (size_t i = 0; i < missing.size(); ++i) text += (i ? ", " : "") + missing[i];
    throw EMapPackError(text + " cannot be found");
  }

  // Pack names: a texture that already lies in the pack's texture folder keeps its
  // name (so that no other texture is copied over it), the others take free names.
  std::map<fs::path, std::string> packName;
  std::set<std::string> taken;
  for (const TLayerTexture& u : uses)
    if (!packName.count(u.File) && SameFile(u.File.parent_path(), textures)) {
      packName[u.File] = u.File.filename().string();
      taken.insert(Folded(u.File.filename().string()));
    }
  for (const TLayerTexture& u : uses) {
    if (packName.count(u.File)) continue;
    const std::string free = FreeName(u.File.filename().string(), taken);
    packName[u.File] = free;
    taken.insert(Folded(free));
    Report.Textures.push_back({u.File.string(), std::string(kPackTextureFolder) + "/" + free});
  }

  // The output: a folder that can be written, not holding the map itself.
  if (SameFile(fs::path(MapName), mapOut))
    throw EMapPackError("Packing into \"" + out.string() + "\" would replace the map \"" + MapName +
                        "\" itself; choose another folder");
  std::error_code ec;
  if (fs::is_directory(mapOut, ec)) throw EMapPackError("\"" + mapOut.string() + "\" is a folder");
  fs::create_directories(textures, ec);
  if (ec || !fs::is_directory(textures))
    throw EMapPackError("The folder \"" + textures.string() + "\" cannot be made: " +
                        (ec ? ec.message() : std::string("a file of that name is in the way")));
  if (::access(out.c_str(), W_OK) != 0 || ::access(textures.c_str(), W_OK) != 0)
    throw EMapPackError("The folder \"" + out.string() +
                        "\" cannot be written: " + std::strerror(errno));

  for (const TPackReport::TCopied& c : Report.Textures) {
    const fs::path to = out / c.Name;
    if (SameFile(c.From, to)) continue;
    WriteFileAtomically(to.string(), ReadTexture(c.From));
  }

  // The map, its sources naming the copies, written safely; then as it was.
  TSourceRestore restore(Map);
  for (const TLayerTexture& u : uses)
    Map.Layers(u.Layer)->SetFileNameOnly(u.Prefix + kPackTextureFolder + "/" + packName[u.File]);
  Map.TextureFolder = out.string();
  Map.SaveToFile(mapOut.string());
  Report.MapFile = mapOut.string();
}

void PackMapFile(const std::string& MapFile, const std::string& OutFolder, TPackReport& Report) {
  TMapEditLayerList map;
  TMapLoadReport loaded;
  map.LoadFromFile(MapFile, loaded);
  PackMap(map, MapFile, OutFolder, Report);
}
