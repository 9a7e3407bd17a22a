// The advisory lock held while a map is read and saved, and the file stamps that
// tell a save whether another program changed the file.

#include "map/base/file_lock.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "map/base/atomic_file.h"
#include "map/base/file_stamp.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Another program's lock on Path (a lock on a file description of its own, which
// conflicts with this process's locks as another process's would).
struct ForeignLock {
  explicit ForeignLock(const std::string& Path) : Fd(::open(Path.c_str(), O_RDONLY)) {
    EXPECT_EQ(::flock(Fd, LOCK_EX), 0);
  }
  ~ForeignLock() { Release(); }
  void Release() {
    if (Fd >= 0) ::close(Fd);
    Fd = -1;
  }
  int Fd;
};

double SecondsSince(Clock::time_point Start) {
  return std::chrono::duration<double>(Clock::now() - Start).count();
}

}  // namespace

TEST(FileLock, WaitsForAnotherProgramAndGivesUpWithAClearError) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  vctest::WriteFileBytes(path, "map");
  ForeignLock other(path);
  try {
    TFileLock lock(path, 0.1);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("\"" + path + "\". Another program is saving or editing"),
              std::string::npos)
        << e.what();
  }
  // A save waits for the lock, then goes ahead.
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    other.Release();
  });
  const Clock::time_point start = Clock::now();
  WriteFileWithBackup(path, "saved after the wait");
  EXPECT_GE(SecondsSince(start), 0.15);
  release.join();
  EXPECT_EQ(vctest::ReadFileBytes(path), "saved after the wait");
}

TEST(FileLock, IsHeldOncePerProcessAndFollowsAFileReplacedMeanwhile) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  // Nothing to lock yet.
  EXPECT_FALSE(TFileLock(path).Held());
  vctest::WriteFileBytes(path, "old");
  {
    TFileLock outer(path);
    EXPECT_TRUE(outer.Held());
    // The process's own save under its own lock neither waits nor releases it.
    TFileLock inner(path, 0);
    EXPECT_FALSE(inner.Held());
    WriteFileWithBackup(path, "new");
  }
  // Another program holds the old file while a rename gives the name a new file: the
  // lock is then taken on the new one instead of waiting for the old.
  vctest::WriteFileBytes(path, "old");
  ForeignLock other(path);
  std::thread replace([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    vctest::WriteFileBytes(dir.File("fresh"), "fresh");
    fs::rename(dir.Path() / "fresh", path);
  });
  const Clock::time_point start = Clock::now();
  TFileLock lock(path, 5);
  replace.join();
  EXPECT_TRUE(lock.Held());
  EXPECT_LT(SecondsSince(start), 4.0);
  struct stat held {
  }, named{};
  ASSERT_EQ(::fstat(other.Fd, &held), 0);
  ASSERT_EQ(::stat(path.c_str(), &named), 0);
  EXPECT_NE(held.st_ino, named.st_ino);
}

TEST(FileStamp, TellsAChangedFileFromATouchedOne) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  EXPECT_FALSE(StampFile(path).Exists);
  vctest::WriteFileBytes(path, "first");
  const TFileStamp stamp = StampFile(path);
  EXPECT_TRUE(stamp.Exists);
  EXPECT_EQ(stamp.Size, 5u);
  EXPECT_FALSE(ChangedSince(stamp, path));
  // The same bytes written anew (a new time, a new file): not a change.
  vctest::WriteFileBytes(dir.File("copy"), "first");
  fs::rename(dir.Path() / "copy", path);
  EXPECT_FALSE(ChangedSince(stamp, path));
  const TFileStamp copied = StampFile(path);
  // Same size, other bytes, the time set back to what it was: the content tells.
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  vctest::WriteFileBytes(path, "fir5t");
  const timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_TRUE(ChangedSince(copied, path));
  vctest::WriteFileBytes(path, "longer now");
  EXPECT_TRUE(ChangedSince(stamp, path));
  // A file that is gone would overwrite nothing; one that appeared would.
  fs::remove(path);
  EXPECT_FALSE(ChangedSince(stamp, path));
  vctest::WriteFileBytes(path, "appeared");
  EXPECT_TRUE(ChangedSince(TFileStamp{}, path));
}
