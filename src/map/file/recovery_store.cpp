#include "map/file/recovery_store.h"

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "map/base/atomic_file.h"
#include "map/base/data_folders.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "record/errors.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPrefix[] = "recovery-";
constexpr char kCopyExt[] = ".qmx";
constexpr char kNameExt[] = ".name";

// False only when the system says no such process exists: a process of another
// user (EPERM) still runs and keeps its copy.
bool ProcessRuns(int64_t Pid) {
  if (Pid <= 0 || Pid > INT32_MAX) return false;
  return ::kill(pid_t(Pid), 0) == 0 || errno != ESRCH;
}

std::string ReadSmallFile(const fs::path& File) {
  std::ifstream in(File, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.size() > 65536 ? std::string() : text;
}

}  // namespace

TRecoveryStore::TRecoveryStore(fs::path Folder, int64_t Pid)
    : FFolder(std::move(Folder)), FPid(Pid) {}

fs::path TRecoveryStore::DefaultFolder() {
  const fs::path user = UserDataFolder();
  return user.empty() ? fs::temp_directory_path() / "vellumcraft-recovery" : user / "recovery";
}

fs::path TRecoveryStore::CopyFile() const {
  return FFolder / (kPrefix + std::to_string(FPid) + kCopyExt);
}

fs::path TRecoveryStore::NameFile() const {
  return FFolder / (kPrefix + std::to_string(FPid) + kCopyExt + kNameExt);
}

void TRecoveryStore::Write(const TMapEditLayerList& Map, const std::string& MapFileName) {
  std::error_code ec;
  fs::create_directories(FFolder, ec);
  if (ec)
    throw EFileError("Cannot create the recovery folder \"" + FFolder.string() + "\". " +
                     ec.message());
  // Only the user may read the copies: they hold the user's unsaved work.
  fs::permissions(FFolder, fs::perms::owner_all, fs::perm_options::replace, ec);
  // The name first: a copy is never found without it, and an old name beside a new
  // copy names the same document.
  WriteFileAtomically(NameFile().string(), MapFileName);
  WriteFileAtomically(CopyFile().string(), BuildMapFile(Map));
}

void TRecoveryStore::Remove() {
  std::error_code ec;
  fs::remove(CopyFile(), ec);
  fs::remove(NameFile(), ec);
}

std::vector<TRecoveryCopy> TRecoveryStore::Orphans() const {
  std::vector<TRecoveryCopy> copies;
  std::error_code ec;
  for (fs::directory_iterator it(FFolder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const size_t prefix = sizeof kPrefix - 1, ext = sizeof kCopyExt - 1;
    if (name.size() <= prefix + ext || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - ext, ext, kCopyExt) != 0)
      continue;
    const std::string digits = name.substr(prefix, name.size() - prefix - ext);
    if (digits.empty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](char C) { return C >= '0' && C <= '9'; }))
      continue;
    TRecoveryCopy copy;
    copy.Pid = std::stoll(digits);
    if (copy.Pid == FPid || ProcessRuns(copy.Pid)) continue;
    struct stat st {};
    if (::stat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    copy.File = it->path();
    copy.Time = st.st_mtime;
    copy.MapFileName = ReadSmallFile(it->path().string() + kNameExt);
    copies.push_back(std::move(copy));
  }
  std::sort(copies.begin(), copies.end(),
            [](const TRecoveryCopy& A, const TRecoveryCopy& B) { return A.Time > B.Time; });
  return copies;
}

void TRecoveryStore::Restore(const TRecoveryCopy& Copy, TMapEditLayerList& Map,
                             TMapLoadReport& Report) {
  std::ifstream in(Copy.File, std::ios::binary);
  if (!in) throw EFileError("Cannot open the recovery copy \"" + Copy.File.string() + "\"");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const fs::path folder = fs::path(Copy.MapFileName).parent_path();
  LoadMapFromBytes(Map, bytes, folder.empty() ? Copy.File.parent_path().string() : folder.string(),
                   Report);
}

void TRecoveryStore::Discard(const TRecoveryCopy& Copy) {
  std::error_code ec;
  fs::remove(Copy.File, ec);
  fs::remove(Copy.File.string() + kNameExt, ec);
}
