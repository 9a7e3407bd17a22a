#include "map/file/texture_paths.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <system_error>

#include "map/base/text_convert.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"

namespace fs = std::filesystem;

namespace {

std::string Slashed(std::string Path) {
  std::replace(Path.begin(), Path.end(), '\\', '/');
  return Path;
}

// "C:..." : a Windows path, which names nothing on this machine as written.
bool HasDrive(const std::string& Slashed) {
  return Slashed.size() >= 2 && Slashed[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(Slashed[0]));
}

bool IsRegularFile(const fs::path& Path) {
  std::error_code ec;
  return fs::is_regular_file(Path, ec);
}

// Folder as an absolute path; empty text is the current folder.
fs::path AbsoluteFolder(const std::string& Folder) {
  std::error_code ec;
  fs::path out = fs::absolute(Folder.empty() ? fs::path(".") : fs::path(Folder), ec);
  if (ec) out = fs::path(Folder);
  return out.lexically_normal();
}

fs::path Normal(const fs::path& Path) {
  std::error_code ec;
  fs::path out = fs::absolute(Path, ec);
  if (ec) out = Path;
  return out.lexically_normal();
}

// How many ".." a relative path starts with.
int32_t LevelsUp(const fs::path& Relative) {
  int32_t n = 0;
  for (const fs::path& part : Relative) {
    if (part != "..") break;
    ++n;
  }
  return n;
}

}  // namespace

std::vector<fs::path> TextureCandidates(const std::string& Path, const std::string& BaseFolder) {
  if (BaseFolder.empty()) return {fs::path(Path)};
  const fs::path base(BaseFolder);
  const std::string slashed = Slashed(Path);
  const bool drive = HasDrive(slashed);
  const bool windows = drive || slashed != Path;
  std::vector<fs::path> out;
  if (!fs::path(slashed).is_absolute() && !drive) {
    // A relative path belongs to the map's folder; the current folder (where the
    // program happens to run) comes after it.
    out.push_back(base / Path);
    if (windows) out.push_back(base / slashed);
  }
  out.push_back(fs::path(Path));
  const size_t cut = slashed.find_last_of('/');
  std::string name = cut == std::string::npos ? slashed : slashed.substr(cut + 1);
  if (drive && cut == std::string::npos) name = slashed.substr(2);
  if (!name.empty()) out.push_back(base / name);
  return out;
}

std::optional<fs::path> FindTextureFile(const std::string& Path, const std::string& BaseFolder) {
  for (const fs::path& p : TextureCandidates(Path, BaseFolder))
    if (IsRegularFile(p)) return p;
  return std::nullopt;
}

bool SplitTextureSource(const std::string& Source, std::string& Prefix, std::string& Path) {
  Prefix.clear();
  Path.clear();
  if (Source.empty() || TryStrToInt(Source)) return false;
  if (Source[0] != '<') {
    Path = Source;
    return true;
  }
  TChipReference ref;
  if (!ParseChipReference(Source, ref)) return false;
  Prefix = Source.substr(0, Source.size() - ref.Path.size());
  Path = ref.Path;
  return !Path.empty();
}

std::string TextureSourceForFolder(const std::string& Source, const std::string& FromFolder,
                                   const std::string& ToFolder) {
  std::string prefix, path;
  if (!SplitTextureSource(Source, prefix, path)) return Source;
  const std::string slashed = Slashed(path);
  const bool drive = HasDrive(slashed);
  const bool relative = !drive && !fs::path(slashed).is_absolute();

  std::optional<fs::path> file = FindTextureFile(path, FromFolder);
  if (!file) {
    // Another machine's Windows path says nothing about where the file is here.
    if (drive) return Source;
    // A missing file is written as where the map expected it, so that putting it
    // back there brings the texture back.
    file = relative ? AbsoluteFolder(FromFolder) / slashed : fs::path(slashed);
  }
  const fs::path target = Normal(*file);
  const fs::path to = AbsoluteFolder(ToFolder);
  if (relative && Normal(to / slashed) == target) return Source;

  const fs::path rel = target.lexically_relative(to);
  if (!rel.empty() && rel != "." && LevelsUp(rel) <= kMaxTextureLevelsUp)
    return prefix + rel.generic_string();
  return prefix + target.string();
}

std::vector<std::string> TextureSourcesForFolder(const TMapEditLayerList& Map,
                                                 const std::string& NewFolder) {
  std::vector<std::string> out;
  out.reserve(size_t(Map.Count()));
  // Each source is looked up once, however many layers share it.
  std::map<std::string, std::string> done;
  for (int32_t i = 0; i < Map.Count(); ++i) {
    const std::string& source = Map.Layers(i)->FileName();
    auto known = done.find(source);
    if (known == done.end())
      known =
          done.emplace(source, TextureSourceForFolder(source, Map.TextureFolder, NewFolder)).first;
    out.push_back(known->second);
  }
  return out;
}

std::string MapFolderOf(const std::string& FileName) {
  const fs::path folder = fs::path(FileName).parent_path();
  return folder.empty() ? std::string(".") : folder.string();
}

TTextureFolderMove::TTextureFolderMove(TMapEditLayerList& Map, const std::string& FileName)
    : FMap(Map), FOldFolder(Map.TextureFolder) {
  const std::string folder = MapFolderOf(FileName);
  const std::vector<std::string> sources = TextureSourcesForFolder(Map, folder);
  FOldSources.reserve(sources.size());
  for (int32_t i = 0; i < Map.Count(); ++i) {
    FOldSources.push_back(Map.Layers(i)->FileName());
    Map.Layers(i)->SetFileNameOnly(sources[size_t(i)]);
  }
  Map.TextureFolder = AbsoluteFolder(folder).string();
}

TTextureFolderMove::~TTextureFolderMove() {
  if (FKept) return;
  FMap.TextureFolder = FOldFolder;
  for (int32_t i = 0; i < FMap.Count() && size_t(i) < FOldSources.size(); ++i)
    FMap.Layers(i)->SetFileNameOnly(FOldSources[size_t(i)]);
}
