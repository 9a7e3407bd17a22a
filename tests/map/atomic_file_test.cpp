#include "map/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
