// vellumcraft-cli edit MAP [-o OUT] [--undo-limit N] [-e COMMAND]... [--script FILE]

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "cli/cli_progress.h"
#include "cli/cli_values.h"
#include "cli/edit_session.h"
#include "map/base/file_lock.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/layer_set.h"
#include "map/undo/undo_history.h"

namespace fs = std::filesystem;

namespace vcli {

namespace {

// Scripts are small text files; a larger one is a mistake.
constexpr std::uintmax_t kMaxScriptBytes = 64u << 20;

std::vector<std::string> ReadScript(const std::string& Path) {
  std::string text;
  auto readAll = [&](std::istream& In) {
    std::vector<char> buf(64 * 1024);
    while (In.read(buf.data(), std::streamsize(buf.size())) || In.gcount() > 0) {
      text.append(buf.data(), size_t(In.gcount()));
      if (text.size() > kMaxScriptBytes) throw FileError(Path, "script file is too large");
    }
    if (In.bad()) throw FileError(Path, "cannot read the script file");
  };
  if (Path == "-") {
    readAll(std::cin);
  } else {
    std::error_code ec;
    fs::file_status st = fs::status(fs::path(Path), ec);
    if (!fs::exists(st)) throw FileError(Path, "no such script file");
    if (fs::is_directory(st)) throw FileError(Path, "is a folder, not a script file");
    std::ifstream in(fs::path(Path), std::ios::binary);
    if (!in) throw FileError(Path, "cannot open the script file");
    readAll(in);
  }
  return SplitLines(text);
}

}  // namespace

int RunEdit(const TCliArgs& Args, const TCliContext&) {
  std::string mapPath, outPath, scriptPath;
  std::vector<std::string> commands;
  int32_t undoLimit = TUndoHistory::DefaultUndoLimit;
  bool quiet = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "-o") {
      outPath = OptionValue(Args, i);
    } else if (a == "--undo-limit") {
      const std::string& v = OptionValue(Args, i);
      std::optional<int32_t> n = ParseInt(v);
      if (!n || *n < 1)
        throw TUsageError("--undo-limit takes a number of at least 1, not \"" + v + "\"");
      undoLimit = *n;
    } else if (a == "-e") {
      commands.push_back(OptionValue(Args, i));
    } else if (a == "--script") {
      if (!scriptPath.empty()) throw TUsageError("edit takes one --script");
      scriptPath = OptionValue(Args, i);
    } else if (a == "--quiet") {
      quiet = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw TUsageError("unknown option " + a + " for edit");
    } else if (mapPath.empty()) {
      mapPath = a;
    } else {
      throw TUsageError("edit takes one map; write the result elsewhere with -o OUT");
    }
  }
  if (mapPath.empty()) throw TUsageError("edit needs a map");
  if (outPath.empty()) outPath = mapPath;
  std::error_code ec;
  if (fs::is_directory(fs::path(outPath), ec)) throw FileError(outPath, "is a folder");

  std::vector<std::string> script;
  if (!scriptPath.empty()) script = ReadScript(scriptPath);

  TProgressBar progress(quiet);
  // Held from reading the map to saving it: a second edit of the same map waits,
  // then works on this one's result instead of silently undoing it.
  const TFileLock lock(mapPath);
  TMapEditLayerList map;
  TLoadedMap loaded = LoadMap(map, mapPath);
  WarnMissingTextures(mapPath, loaded);

  TEditSession session(map, undoLimit);
  for (size_t i = 0; i < commands.size(); ++i) {
    try {
      session.ExecuteLine(commands[i]);
    } catch (...) {
      throw FileError(mapPath, "command " + std::to_string(i + 1) + " \"" + commands[i] +
                                   "\": " + CurrentErrorMessage());
    }
  }
  for (size_t i = 0; i < script.size(); ++i) {
    try {
      session.ExecuteLine(script[i]);
    } catch (...) {
      throw FileError(scriptPath + ":" + std::to_string(i + 1),
                      "\"" + script[i] + "\": " + CurrentErrorMessage());
    }
  }
  progress.Finish();
  SaveMap(map, outPath);
  return 0;
}

}  // namespace vcli
