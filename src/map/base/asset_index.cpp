#include "map/base/asset_index.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "map/base/data_folders.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string S) {
  for (char& c : S) c = char(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

bool IsPng(const fs::path& P) { return Lower(P.extension().string()) == ".png"; }

bool IsFile(const fs::path& P) {
  std::error_code ec;
  return fs::is_regular_file(P, ec);
}

// Whether the relative path P stays inside the folder it is taken from.
bool StaysInside(const fs::path& P) {
  if (P.empty() || P.is_absolute() || P.has_root_name()) return false;
  for (const fs::path& part : P)
    if (part == "..") return false;
  return true;
}

// The words of a search text, lower-cased, '_' and '/' counting as spaces.
std::vector<std::string> Words(std::string Text) {
  for (char& c : Text)
    if (c == '_' || c == '/') c = ' ';
  std::istringstream in(Lower(Text));
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

}  // namespace

std::vector<fs::path> DefaultAssetFolders(const fs::path& ExecutableDir, const fs::path& DataDir) {
  return DataFolders(ExecutableDir, DataDir, "Assets");
}

void TAssetIndex::Scan(std::vector<fs::path> Folders) {
  FFolders = std::move(Folders);
  FEntries.clear();
  std::set<std::string> seen;
  for (const fs::path& folder : FFolders) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) continue;
    const auto opts = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(folder, opts, ec), end; !ec && it != end;
         it.increment(ec)) {
      const fs::path& file = it->path();
      if (!IsPng(file) || !IsFile(file)) continue;
      const fs::path rel = file.lexically_relative(folder);
      const std::string stored = rel.generic_string();
      if (!seen.insert(stored).second) continue;
      TAssetEntry e;
      e.Group = rel.parent_path().generic_string();
      e.Name = rel.stem().string();
      e.Path = stored;
      e.File = file;
      FEntries.push_back(std::move(e));
    }
  }
  std::sort(FEntries.begin(), FEntries.end(), [](const TAssetEntry& A, const TAssetEntry& B) {
    return A.Group != B.Group ? A.Group < B.Group : A.Name < B.Name;
  });
}

std::vector<std::string> TAssetIndex::Groups() const {
  std::vector<std::string> groups;
  for (const TAssetEntry& e : FEntries)
    if (groups.empty() || groups.back() != e.Group) groups.push_back(e.Group);
  return groups;
}

std::vector<const TAssetEntry*> TAssetIndex::Search(const std::string& Text) const {
  const std::vector<std::string> words = Words(Text);
  std::vector<const TAssetEntry*> found;
  for (const TAssetEntry& e : FEntries) {
    std::string hay = e.Group + " " + e.Name;
    for (char& c : hay)
      if (c == '_' || c == '/') c = ' ';
    hay = Lower(hay);
    if (std::all_of(words.begin(), words.end(),
                    [&](const std::string& w) { return hay.find(w) != std::string::npos; }))
      found.push_back(&e);
  }
  return found;
}

std::string TAssetIndex::StoredPath(const fs::path& File) const {
  std::error_code ec;
  const fs::path file = fs::weakly_canonical(fs::absolute(File, ec), ec);
  if (!ec)
    for (const fs::path& folder : FFolders) {
      std::error_code fec;
      const fs::path base = fs::weakly_canonical(fs::absolute(folder, fec), fec);
      if (fec) continue;
      const fs::path rel = file.lexically_relative(base);
      if (StaysInside(rel)) return rel.generic_string();
    }
  return File.string();
}

fs::path TAssetIndex::Resolve(const std::string& Stored, const fs::path& MapFolder) const {
  if (Stored.empty()) return {};
  const fs::path p(Stored);
  if (p.is_absolute()) return IsFile(p) ? p : fs::path();
  if (StaysInside(p))
    for (const fs::path& folder : FFolders)
      if (IsFile(folder / p)) return folder / p;
  if (!MapFolder.empty() && IsFile(MapFolder / p)) return MapFolder / p;
  return {};
}
