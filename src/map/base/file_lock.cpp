#include "map/base/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "record/errors.h"

namespace {

// The files (device, inode) this process holds locks on.
std::mutex gHeldMutex;
std::set<std::pair<uint64_t, uint64_t>> gHeld;

bool HeldByThisProcess(uint64_t Device, uint64_t Inode) {
  std::lock_guard<std::mutex> guard(gHeldMutex);
  return gHeld.count({Device, Inode}) != 0;
}

}  // namespace

TFileLock::TFileLock(const std::string& FileName, double WaitSeconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end =
      Clock::now() + std::chrono::milliseconds(int64_t(WaitSeconds * 1000));
  for (;;) {
    // Opened for reading only, without blocking on a pipe or device (which are not
    // locked: the writers refuse them anyway).
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        HeldByThisProcess(uint64_t(st.st_dev), uint64_t(st.st_ino))) {
      ::close(fd);
      return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The name may have been given to a new file (a save renamed it into place)
      // while this one waited: the lock must be on the file the name stands for.
      struct stat now {};
      if (::stat(FileName.c_str(), &now) == 0 && now.st_dev == st.st_dev &&
          now.st_ino == st.st_ino) {
        FFd = fd;
        FDevice = uint64_t(st.st_dev);
        FInode = uint64_t(st.st_ino);
        std::lock_guard<std::mutex> guard(gHeldMutex);
        gHeld.insert({FDevice, FInode});
        return;
      }
      ::close(fd);
      continue;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK && error != EINTR) return;  // a file system without locks
    if (Clock::now() >= end)
      throw EFileError("Cannot save file \"" + FileName +
                       "\". Another program is saving or editing it; try again when it is done");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

TFileLock::~TFileLock() {
  if (FFd < 0) return;
  {
    std::lock_guard<std::mutex> guard(gHeldMutex);
    gHeld.erase({FDevice, FInode});
  }
  ::close(FFd);
}
