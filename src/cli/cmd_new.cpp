// vellumcraft-cli new OUT --size WxH --chip N [--layer-set NAME|FILE]

#include <filesystem>
#include <optional>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "cli/cli_progress.h"
#include "cli/cli_values.h"
#include "map/file/layer_set.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/new_map.h"

namespace fs = std::filesystem;

#ifndef VC_DATA_DIR
#define VC_DATA_DIR ""
#endif

namespace vcli {

int RunNew(const TCliArgs& Args, const TCliContext& Context) {
  std::string out, sizeText, chipText, setName;
  bool quiet = false, setGiven = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--size")
      sizeText = OptionValue(Args, i);
    else if (a == "--chip")
      chipText = OptionValue(Args, i);
    else if (a == "--layer-set") {
      setName = OptionValue(Args, i);
      setGiven = true;
    } else if (a == "--quiet")
      quiet = true;
    else if (!a.empty() && a[0] == '-' && a != "-")
      throw TUsageError("unknown option " + a + " for new");
    else if (out.empty())
      out = a;
    else
      throw TUsageError("new takes one output file");
  }
  if (out.empty()) throw TUsageError("new needs an output file");
  if (sizeText.empty()) throw TUsageError("new needs --size WxH");
  if (chipText.empty()) throw TUsageError("new needs --chip N");
  if (setGiven && setName.empty()) throw TUsageError("--layer-set needs a name or a file");
  auto size = ParseSize(sizeText);
  if (!size || size->first < kMinMapCells || size->first > kMaxMapCells ||
      size->second < kMinMapCells || size->second > kMaxMapCells)
    throw TUsageError("--size takes WxH with each side 1 to 200, not \"" + sizeText + "\"");
  std::optional<int32_t> chip = ParseInt(chipText);
  if (!chip || *chip < kMinChipSize || *chip > kMaxChipSize)
    throw TUsageError("--chip takes 1 to 100, not \"" + chipText + "\"");

  std::error_code ec;
  if (fs::is_directory(fs::path(out), ec)) throw FileError(out, "is a folder");

  std::optional<TLayerSet> set;
  if (!setName.empty()) {
    fs::path file =
        FindLayerSet(setName, DefaultLayerSetFolders(Context.ExecutableDir, VC_DATA_DIR));
    if (file.empty()) throw FileError(setName, "no such layer set");
    try {
      set = ReadLayerSetFile(file);
    } catch (...) {
      throw FileError(file.string(), CurrentErrorMessage());
    }
    // The editor skips an invalid set silently; asked for by name, it is an error.
    TLayerSetCheck check = CheckLayerSet(*set);
    if (!check.Valid)
      throw FileError(file.string() + ":" + std::to_string(check.Line), check.Reason);
  }

  TProgressBar progress(quiet);
  TMapEditLayerList map;
  try {
    CreateNewMap(map, size->first, size->second, *chip, set ? &*set : nullptr);
  } catch (...) {
    throw FileError(set ? set->File.string() : out, CurrentErrorMessage());
  }
  progress.Finish();
  SaveMap(map, out);
  return 0;
}

}  // namespace vcli
