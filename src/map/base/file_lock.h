#pragma once
// An advisory lock on a file while it is read and saved, so that two programs
// saving the same map one after the other each see the other's result instead of
// silently undoing it.

#include <cstdint>
#include <string>

class TFileLock {
 public:
  // How long a lock is waited for by default, in seconds.
  static constexpr double DefaultWaitSeconds = 120;

  // Takes an exclusive lock (flock) on FileName's target, a symbolic link
  // followed, waiting up to WaitSeconds while another program holds it. A file
  // that does not exist (yet), or cannot be opened, is not locked. Locks are held
  // per file by the process: a second lock on a file this process already holds
  // takes nothing and gives nothing back. A file replaced by a rename while waiting
  // is locked anew under its name. Raises EFileError naming the file when the wait
  // ends without the lock.
  explicit TFileLock(const std::string& FileName, double WaitSeconds = DefaultWaitSeconds);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  // Whether this object holds a lock of its own.
  bool Held() const { return FFd >= 0; }

 private:
  int FFd = -1;
  uint64_t FDevice = 0, FInode = 0;
};
