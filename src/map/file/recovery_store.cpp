#include "map/file/recovery_store.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
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
constexpr char kLockExt[] = ".lock";
constexpr size_t kRandomDigits = 16;

bool AllOf(const std::string& Text, const char* Set) {
  return !Text.empty() && Text.find_first_not_of(Set) == std::string::npos;
}

// Sixteen hexadecimal digits from the system's random source.
std::string RandomDigits() {
  uint64_t value = 0;
  if (::getrandom(&value, sizeof value, 0) != ssize_t(sizeof value)) {
    // No random source: time and address still tell sessions of one id apart.
    value = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            uint64_t(reinterpret_cast<uintptr_t>(&value));
  }
  char text[32];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// Whether a live session holds the lock file: a lock nobody holds, or no lock file
// at all, means its session has ended.
bool LockHeld(const fs::path& Lock) {
  const int fd = ::open(Lock.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

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

TRecoveryStore::TRecoveryStore(fs::path Folder)
    : FFolder(std::move(Folder)),
      FPid(int64_t(::getpid())),
      FId(std::to_string(FPid) + "-" + RandomDigits()),
      FUnique(true) {}

TRecoveryStore::TRecoveryStore(fs::path Folder, int64_t Pid)
    : FFolder(std::move(Folder)), FPid(Pid), FId(std::to_string(Pid)) {}

TRecoveryStore::~TRecoveryStore() {
  if (FLockFd < 0) return;
  // Without a copy there is nothing for the lock to guard; with one (the session is
  // going without removing it), the copy is left for the next start to offer.
  std::error_code ec;
  if (!fs::exists(CopyFile(), ec)) fs::remove(LockFile(), ec);
  ::close(FLockFd);
}

fs::path TRecoveryStore::LockFile() const { return FFolder / (kPrefix + FId + kLockExt); }

fs::path TRecoveryStore::DefaultFolder() {
  const fs::path user = UserDataFolder();
  return user.empty() ? fs::temp_directory_path() / "vellumcraft-recovery" : user / "recovery";
}

fs::path TRecoveryStore::CopyFile() const { return FFolder / (kPrefix + FId + kCopyExt); }

fs::path TRecoveryStore::NameFile() const {
  return FFolder / (kPrefix + FId + kCopyExt + kNameExt);
}

void TRecoveryStore::Write(const TMapEditLayerList& Map, const std::string& MapFileName) {
  std::error_code ec;
  fs::create_directories(FFolder, ec);
  if (ec)
    throw EFileError("Cannot create the recovery folder \"" + FFolder.string() + "\". " +
                     ec.message());
  // Only the user may read the copies: they hold the user's unsaved work.
  fs::permissions(FFolder, fs::perms::owner_all, fs::perm_options::replace, ec);
  if (FUnique && FLockFd < 0) {
    // Taken before the first copy exists, and held as long as this session runs.
    const int fd = ::open(LockFile().c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      if (fd >= 0) ::close(fd);
      throw EFileError("Cannot create the recovery lock \"" + LockFile().string() + "\". " +
                       std::strerror(error));
    }
    FLockFd = fd;
  }
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
    const std::string id = name.substr(prefix, name.size() - prefix - ext);
    if (id == FId) continue;
    const size_t dash = id.find('-');
    const std::string digits = id.substr(0, dash);
    if (!AllOf(digits, "0123456789") || digits.size() > 10) continue;
    TRecoveryCopy copy;
    copy.Pid = std::stoll(digits);
    if (dash == std::string::npos) {
      // Named by the process id alone: left when that process is gone, or when it
      // is this one, whose own copy has a name of its own.
      if (ProcessRuns(copy.Pid) && !(FUnique && copy.Pid == FPid)) continue;
    } else {
      const std::string random = id.substr(dash + 1);
      if (random.size() != kRandomDigits || !AllOf(random, "0123456789abcdef")) continue;
      if (LockHeld(FFolder / (kPrefix + id + kLockExt))) continue;
    }
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
  std::string lock = Copy.File.string();
  lock.replace(lock.size() - (sizeof kCopyExt - 1), std::string::npos, kLockExt);
  fs::remove(lock, ec);
}
