#include "map/file/layer_set.h"

#include "map/base/data_folders.h"
#include "map/base/input_file.h"
#include "map/codec/texture_cache.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>

#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/base/text_convert.h"
#include "map/base/text_encoding.h"
#include "map/base/text_quote.h"
#include "map/file/map_file.h"
#include "record/errors.h"

namespace fs = std::filesystem;

namespace {

// Set files are small; anything larger is not a set file.
constexpr std::uintmax_t kMaxSetFileBytes = 1 << 20;

// UTF-8 text is taken as it is (without a byte-order mark); anything else is read
// as Shift JIS, the code page the program's text files were written in. Text that
// is neither is refused rather than guessed at: a misread name would be saved into
// every map made from the set.
std::string DecodeSetText(const std::string& Bytes, const fs::path& File) {
  std::string text = Bytes;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  if (IsValidUtf8(text)) return text;
  std::string out;
  size_t failedAt = 0;
  if (TryCp932ToUtf8(text, out, failedAt)) return out;
  throw EFileError("Layer set \"" + File.string() + "\", line " +
                   std::to_string(UndecodableLine(text, failedAt)) +
                   ": the text is neither UTF-8 nor Shift JIS");
}

bool IsExistingFile(const fs::path& Path) {
  std::error_code ec;
  return !Path.empty() && fs::is_regular_file(Path, ec);
}

bool EndsWithTxt(const std::string& Text) {
  if (Text.size() < 4) return false;
  std::string ext = Text.substr(Text.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext == ".txt";
}

// Finds an image path: as written (absolute, or relative to the current folder),
// then relative to SetFolder. Returns the text the layer should keep, or nothing.
std::string LocateImage(const std::string& Path, const fs::path& SetFolder) {
  fs::path p = fs::path(Path);
  if (IsExistingFile(p)) return Path;
  if (p.is_relative() && !SetFolder.empty()) {
    std::error_code ec;
    fs::path beside = fs::weakly_canonical(fs::absolute(SetFolder / p, ec), ec);
    if (!ec && IsExistingFile(beside)) return beside.string();
  }
  return {};
}

}  // namespace

std::vector<fs::path> DefaultLayerSetFolders(const fs::path& ExecutableDir,
                                             const fs::path& DataDir) {
  return DataFolders(ExecutableDir, DataDir, "Layersets");
}

std::vector<std::string> ListLayerSets(const std::vector<fs::path>& Folders) {
  std::set<std::string> names;
  for (const fs::path& folder : Folders) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) continue;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (EndsWithTxt(name) && IsExistingFile(it->path()))
        names.insert(name.substr(0, name.size() - 4));
    }
  }
  return {names.begin(), names.end()};
}

fs::path FindLayerSet(const std::string& NameOrPath, const std::vector<fs::path>& Folders) {
  if (NameOrPath.empty()) return {};
  fs::path given = fs::path(NameOrPath);
  if (EndsWithTxt(NameOrPath) && IsExistingFile(given)) return given;
  // A bare name only: no folder part, so that "../x" cannot reach outside the folders.
  if (given.has_parent_path() || NameOrPath == "." || NameOrPath == "..") return {};
  for (const fs::path& folder : Folders) {
    fs::path candidate = folder / fs::path(NameOrPath + ".txt");
    if (IsExistingFile(candidate)) return candidate;
  }
  return {};
}

std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < Text.size(); ++i) {
    char c = Text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TLayerSet ReadLayerSetFile(const fs::path& File) {
  TInputFile in(File.string(), "Cannot open layer set \"" + File.string() + "\": ");
  std::string bytes;
  if (!in.ReadAll(bytes, kMaxSetFileBytes))
    throw EFileError("Layer set \"" + File.string() + "\" is too large to be a layer set");
  return ParseLayerSet(bytes, File);
}

TLayerSet ParseLayerSet(const std::string& Bytes, const fs::path& File) {
  if (Bytes.size() > kMaxSetFileBytes)
    throw EFileError("Layer set \"" + File.string() + "\" is too large to be a layer set");
  TLayerSet set;
  set.File = File;
  std::vector<std::string> lines = SplitLines(DecodeSetText(Bytes, File));
  for (size_t i = 0; i + 1 < lines.size(); i += 2) set.Entries.push_back({lines[i], lines[i + 1]});
  return set;
}

std::string ResolveLayerSetSource(const std::string& Source, const fs::path& SetFolder,
                                  std::string* Reason) {
  auto fail = [&](const std::string& Why) {
    if (Reason) *Reason = Why;
    return std::string();
  };
  if (Source.empty()) return fail("empty source");
  if (Source[0] != '<') {
    std::string found = LocateImage(Source, SetFolder);
    return found.empty() ? fail("image file " + QuoteForMessage(Source) + " not found") : found;
  }
  size_t close = Source.find('>');
  if (close == std::string::npos) return fail("chip reference without \">\"");
  std::string numbers = Source.substr(1, close - 1);
  if (numbers.empty() || numbers.find_first_not_of("0123456789,") != std::string::npos ||
      std::count(numbers.begin(), numbers.end(), ',') != 2)
    return fail("chip reference needs three numbers X,Y,S");
  // Each number must be present and convert, and the square must have a size:
  // a tile of size 0 cannot be repeated over the map.
  std::string rest = numbers, token;
  int32_t values[3] = {};
  for (int32_t& v : values) {
    CutToken(rest, ",", token);
    std::optional<int32_t> n = token.empty() ? std::nullopt : TryStrToInt(token);
    if (!n) return fail("chip reference needs three numbers X,Y,S");
    v = *n;
  }
  if (values[2] < 1) return fail("chip reference with a square of size 0");
  std::string path = Source.substr(close + 1);
  std::string found = LocateImage(path, SetFolder);
  if (found.empty()) return fail("image file " + QuoteForMessage(path) + " not found");
  return Source.substr(0, close + 1) + found;
}

TLayerSetCheck CheckLayerSet(const TLayerSet& Set) {
  TLayerSetCheck check;
  fs::path folder = Set.File.parent_path();
  for (size_t i = 0; i < Set.Entries.size(); ++i) {
    std::string reason;
    if (ResolveLayerSetSource(Set.Entries[i].Source, folder, &reason).empty()) {
      check.Valid = false;
      check.Line = int32_t(2 * i + 2);
      check.Reason = reason;
      return check;
    }
  }
  return check;
}

int32_t ApplyLayerSet(TMapEditLayerList& Map, const TLayerSet& Set) {
  fs::path folder = Set.File.parent_path();
  std::vector<std::string> sources;
  for (const TLayerSetEntry& e : Set.Entries) {
    sources.push_back(ResolveLayerSetSource(e.Source, folder));
    if (sources.back().empty()) return 0;
  }
  CheckRoomForLayers(Map, int64_t(Set.Entries.size()));
  // Each texture file is decoded once, however many layers name it.
  TTextureCache cache;
  for (const std::string& source : sources) {
    TChipReference ref;
    if (ParseChipReference(source, ref))
      cache.PlanChip(ref.Path, ref.X, ref.Y, ref.S);
    else
      cache.PlanWhole(source);
  }
  const int32_t before = Map.Count();
  try {
    for (size_t i = 0; i < Set.Entries.size(); ++i) {
      TMapEditLayer* layer = Map.AddLayer();
      layer->LayerName = Set.Entries[i].Name;
      layer->SetFileName(sources[i], &cache);
    }
  } catch (...) {
    // All or nothing: a texture that exists but does not decode drops the set.
    while (Map.Count() > before) Map.Delete(Map.Count() - 1);
    throw;
  }
  return Map.Count() - before;
}

void CheckRoomForLayers(const TMapEditLayerList& Map, int64_t Adding) {
  const int64_t count = int64_t(Map.Count()) + Adding;
  if (count > kMaxEditableLayers)
    throw EMapFileError("The map would have " + std::to_string(count) + " layers; it can have at most " +
                        std::to_string(kMaxEditableLayers));
  const int64_t pixels = int64_t(Map.PixelWidth()) * Map.PixelHeight();
  if (pixels * count > kMaxMapLayerPixels)
    throw EMapFileError("The map would have " + std::to_string(count) + " layers of " +
                        std::to_string(Map.PixelWidth()) + " x " + std::to_string(Map.PixelHeight()) +
                        " pixels, more layer image memory than a map file may claim");
}
