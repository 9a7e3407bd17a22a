// The object commands: vellumcraft-cli delete-object MAP INDEX... [-o OUT]
// Objects are addressed by their "index" in info --json (their place in the file).

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_errors.h"
#include "cli/cli_map_io.h"
#include "cli/cli_props.h"
#include "cli/cli_values.h"
#include "map/base/file_lock.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_object_list.h"

namespace fs = std::filesystem;

namespace vcli {

namespace {

// The words of an object command: the map, -o OUT, and the other words in order.
struct TObjectArgs {
  std::string MapPath, OutPath;
  std::vector<std::string> Words;
};

TObjectArgs SplitObjectArgs(const TCliArgs& Args, const char* Command) {
  TObjectArgs a;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& w = Args[i];
    if (w == "-o") {
      a.OutPath = OptionValue(Args, i);
    } else if (w.size() > 1 && w[0] == '-' && w[1] == '-') {
      throw TUsageError("unknown option " + w + " for " + Command);
    } else if (a.MapPath.empty()) {
      a.MapPath = w;
    } else {
      a.Words.push_back(w);
    }
  }
  if (a.MapPath.empty()) throw TUsageError(std::string(Command) + " needs a map");
  if (a.OutPath.empty()) a.OutPath = a.MapPath;
  std::error_code ec;
  if (fs::is_directory(fs::path(a.OutPath), ec)) throw FileError(a.OutPath, "is a folder");
  return a;
}

// Loads the map, lets Edit change it through an edit session, and saves it; the
// map stays locked from reading to saving.
void EditObjects(const TObjectArgs& A, const std::function<void(TMapEditSession&)>& Edit) {
  EditMapObjects(A.MapPath, A.OutPath, Edit);
}

}  // namespace

int RunDeleteObject(const TCliArgs& Args, const TCliContext&) {
  const TObjectArgs a = SplitObjectArgs(Args, "delete-object");
  if (a.Words.empty()) throw TUsageError("delete-object needs the index of an object");
  std::vector<int32_t> indices;
  for (const std::string& w : a.Words) {
    const std::optional<int32_t> i = ParseInt(w);
    if (!i || *i < 0)
      throw TUsageError("delete-object takes object indices (0, 1, ...), not \"" + w + "\"");
    indices.push_back(*i);
  }
  EditObjects(a, [&](TMapEditSession& Session) {
    const TMapObjectList& objects = Session.Map().Objects();
    std::vector<uint64_t> ids;
    for (int32_t i : indices) {
      if (size_t(i) >= objects.Count())
        throw TCliError("there is no object " + std::to_string(i) + " (the map has " +
                        std::to_string(objects.Count()) + ")");
      ids.push_back(objects.At(size_t(i)).Id);
    }
    Session.DeleteObjects(ids);
  });
  return 0;
}

}  // namespace vcli
