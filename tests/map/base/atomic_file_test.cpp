#include "map/base/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

size_t EntryCount(const fs::path& Folder) {
  size_t n = 0;
  for (auto it = fs::directory_iterator(Folder); it != fs::directory_iterator(); ++it) ++n;
  return n;
}

}  // namespace

TEST(AtomicFile, ReplacesContentKeepingPermissions) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  WriteFileAtomically(path, "first");
  EXPECT_EQ(vctest::ReadFileBytes(path), "first");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  WriteFileAtomically(path, std::string("second\0x", 8));
  EXPECT_EQ(vctest::ReadFileBytes(path), std::string("second\0x", 8));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(EntryCount(dir.Path()), 1u);  // no temporary file left behind
}

TEST(AtomicFile, FollowsASymbolicLink) {
  vctest::TempDir dir;
  vctest::WriteFileBytes(dir.File("real.qmx"), "old");
  fs::create_symlink("real.qmx", dir.Path() / "link.qmx");
  WriteFileAtomically(dir.File("link.qmx"), "new");
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.qmx"));
  EXPECT_EQ(vctest::ReadFileBytes(dir.File("real.qmx")), "new");
}

TEST(AtomicFile, FailuresRaiseAndLeaveEverythingAsItWas) {
  vctest::TempDir dir;
  // A folder that does not exist.
  const std::string missing = dir.File("nowhere/map.qmx");
  try {
    WriteFileAtomically(missing, "x");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("\"" + missing + "\""), std::string::npos) << e.what();
  }
  // A target that is a folder with something in it.
  fs::create_directory(dir.Path() / "taken");
  vctest::WriteFileBytes(dir.File("taken/inside.txt"), "keep");
  EXPECT_THROW(WriteFileAtomically(dir.File("taken"), "x"), EFileError);
  EXPECT_EQ(vctest::ReadFileBytes(dir.File("taken/inside.txt")), "keep");
  // A pipe is not replaced by a regular file.
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  EXPECT_THROW(WriteFileAtomically(dir.File("pipe"), "x"), EFileError);
  EXPECT_TRUE(fs::is_fifo(dir.Path() / "pipe"));
  fs::remove(dir.Path() / "pipe");
  // A folder where nothing can be created, even by root.
  EXPECT_THROW(WriteFileAtomically("/proc/vellumcraft-test.qmx", "x"), EFileError);
  EXPECT_THROW(WriteFileAtomically("", "x"), EFileError);
  EXPECT_EQ(EntryCount(dir.Path()), 1u);  // only "taken": no temporary file left
}

TEST(AtomicFile, SecondSaveKeepsThePreviousVersionAsBackup) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  WriteFileWithBackup(path, "one");
  EXPECT_FALSE(fs::exists(path + ".bak"));  // nothing to back up on the first save
  WriteFileWithBackup(path, "two");
  EXPECT_EQ(vctest::ReadFileBytes(path), "two");
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "one");
  WriteFileWithBackup(path, "three");  // the backup is replaced, one step only
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "two");
  EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

namespace {

int gRenameCalls = 0;
int ForbidRename(const char*, const char*) {
  ++gRenameCalls;
  errno = EPERM;
  return -1;
}
int FailRenameWithIoError(const char*, const char*) {
  errno = EIO;
  return -1;
}

// Plays a folder that forbids renames for the life of the object.
struct RenameSwap {
  explicit RenameSwap(TRenameFunction F) { SetRenameFunctionForTesting(F); }
  ~RenameSwap() { SetRenameFunctionForTesting(nullptr); }
};

}  // namespace

TEST(AtomicFile, AFolderThatForbidsRenamesGetsTheBackupFirstThenAnInPlaceWrite) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  vctest::WriteFileBytes(path, "old map");
  {
    RenameSwap swap(&ForbidRename);
    gRenameCalls = 0;
    EXPECT_EQ(WriteFileWithBackup(path, "new map"), TWriteMethod::InPlace);
    EXPECT_EQ(gRenameCalls, 2);  // the backup's rename and the map's, both refused
    EXPECT_EQ(vctest::ReadFileBytes(path), "new map");
    EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "old map");
    EXPECT_EQ(EntryCount(dir.Path()), 2u);  // no temporary file left behind
    // A first save in such a folder is written in place too.
    EXPECT_EQ(WriteFileWithBackup(dir.File("fresh.qmx"), "x"), TWriteMethod::InPlace);
    EXPECT_EQ(vctest::ReadFileBytes(dir.File("fresh.qmx")), "x");
    // The plain atomic write does not fall back: it says why it failed.
    try {
      WriteFileAtomically(dir.File("other.png"), "y");
      FAIL() << "no error";
    } catch (const EFileError& e) {
      EXPECT_NE(std::string(e.what()).find("does not allow files to be renamed"),
                std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir.Path() / "other.png"));
  }
  // With renames allowed again, saving is atomic.
  EXPECT_EQ(WriteFileWithBackup(path, "third"), TWriteMethod::Atomic);
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "new map");
}

TEST(AtomicFile, ARenameFailingForAnotherReasonRaisesAndKeepsTheOldFile) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  vctest::WriteFileBytes(path, "old map");
  RenameSwap swap(&FailRenameWithIoError);
  EXPECT_THROW(WriteFileWithBackup(path, "new map"), EFileError);
  EXPECT_EQ(vctest::ReadFileBytes(path), "old map");
  EXPECT_FALSE(fs::exists(path + ".bak"));
  EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(AtomicFile, AReadOnlyFolderLeavesTheOldFileIntact) {
  if (::geteuid() == 0) {
    // Root writes into read-only folders; /proc refuses new files even to root.
    EXPECT_THROW(WriteFileWithBackup("/proc/self/vellumcraft.qmx", "x"), EFileError);
    return;
  }
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  vctest::WriteFileBytes(path, "old map");
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
  EXPECT_THROW(WriteFileWithBackup(path, "new map"), EFileError);
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(vctest::ReadFileBytes(path), "old map");
  EXPECT_EQ(EntryCount(dir.Path()), 1u);
}
