// The streaming safe writer and the save with a backup: what is on disk after
// failures, over files with their own mode, owner and attributes, long names and
// the leftovers of a killed save.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "map/base/atomic_file.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Entries(const fs::path& Folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(Folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& Path) {
  struct stat st {};
  EXPECT_EQ(::stat(Path.c_str(), &st), 0) << Path;
  return st.st_mode & 07777;
}

// Files may grow to Bytes only for the life of the object: writing beyond fails
// with EFBIG, as writing to a full disk fails with ENOSPC.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t Bytes) {
    ::getrlimit(RLIMIT_FSIZE, &Old);
    Handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = Old;
    limit.rlim_cur = Bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, Handler);
  }
  rlimit Old{};
  void (*Handler)(int) = nullptr;
};

}  // namespace

TEST(SafeFileWriter, StreamsPiecesAndReplacesOnlyOnCommit) {
  vctest::TempDir dir;
  const std::string path = dir.File("out.bin");
  vctest::WriteFileBytes(path, "old");
  {
    TSafeFileWriter w(path);
    w.Write("one ");
    std::fputs("two ", w.Stream());  // the stream follows what was written before
    w.Write("three");
    EXPECT_EQ(vctest::ReadFileBytes(path), "old");  // nothing replaced yet
    EXPECT_EQ(fs::path(w.TempPath()).filename().string().rfind(".out.bin.tmp-", 0), 0u);
    w.Commit();
  }
  EXPECT_EQ(vctest::ReadFileBytes(path), "one two three");
  {
    TSafeFileWriter w(path);
    w.Write("abandoned");
  }  // never committed: the temporary file goes, the file stays
  EXPECT_EQ(vctest::ReadFileBytes(path), "one two three");
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.bin"});
}

TEST(SafeFileWriter, NonRegularTargetsAreRefusedAndLinksFollowed) {
  vctest::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  for (const std::string& target : {dir.File("pipe"), std::string("/dev/null")}) {
    try {
      TSafeFileWriter w(target);
      FAIL() << "no error for " << target;
    } catch (const EFileError& e) {
      EXPECT_NE(std::string(e.what()).find("It is not a regular file"), std::string::npos)
          << e.what();
    }
  }
  EXPECT_TRUE(fs::is_fifo(dir.Path() / "pipe"));
  // Through a symbolic link into another folder: the target is replaced there, keeping
  // its mode, and the link stays a link.
  fs::create_directory(dir.Path() / "real");
  vctest::WriteFileBytes(dir.File("real/image.png"), "old");
  ASSERT_EQ(::chmod(dir.File("real/image.png").c_str(), 0604), 0);
  fs::create_symlink("real/image.png", dir.Path() / "link.png");
  WriteFileAtomically(dir.File("link.png"), "new");
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.png"));
  EXPECT_EQ(vctest::ReadFileBytes(dir.File("real/image.png")), "new");
  EXPECT_EQ(ModeOf(dir.File("real/image.png")), 0604u);
  EXPECT_EQ(Entries(dir.Path() / "real"), std::vector<std::string>{"image.png"});
}

TEST(SafeFileWriter, AFailedSaveKeepsBothTheFileAndItsOlderBackup) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  WriteFileWithBackup(path, "version one");
  WriteFileWithBackup(path, "version two");
  ASSERT_EQ(vctest::ReadFileBytes(path + ".bak"), "version one");
  // Too little room for the new map: it fails before the backup is touched.
  {
    FileSizeLimit limit(4096);
    EXPECT_THROW(WriteFileWithBackup(path, std::string(100000, 'x')), EFileError);
  }
  EXPECT_EQ(vctest::ReadFileBytes(path), "version two");
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "version one");
  // A check that refuses the written file stops the save the same way, as does a
  // writer that fails half way.
  EXPECT_THROW(WriteFileWithBackup(
                   path, [](TSafeFileWriter& W) { W.Write("version three"); },
                   [](const std::string&) { throw EFileError("refused"); }),
               EFileError);
  EXPECT_THROW(WriteFileWithBackup(path,
                                   [](TSafeFileWriter& W) {
                                     W.Write("half");
                                     throw EFileError("failed");
                                   }),
               EFileError);
  EXPECT_EQ(vctest::ReadFileBytes(path), "version two");
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "version one");
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"map.qmx", "map.qmx.bak"}));
  // The check sees the complete new file before anything is replaced.
  std::string checked;
  WriteFileWithBackup(
      path, [](TSafeFileWriter& W) { W.Write("version four"); },
      [&](const std::string& Temp) {
        checked = vctest::ReadFileBytes(Temp);
        EXPECT_EQ(vctest::ReadFileBytes(path), "version two");
      });
  EXPECT_EQ(checked, "version four");
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "version two");
}

TEST(SafeFileWriter, SavingKeepsModeOwnerAndAttributesOfMapAndBackup) {
  vctest::TempDir dir;
  const std::string path = dir.File("secret.qmx");
  vctest::WriteFileBytes(path, "private");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  // A user attribute and an ACL granting user 4242 read access (the kernel's binary
  // form: version 2, then tag, permissions and id per entry).
  const bool attributes = ::setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0;
  std::string acl;
  auto put16 = [&](uint16_t V) { acl.append(reinterpret_cast<const char*>(&V), 2); };
  auto put32 = [&](uint32_t V) { acl.append(reinterpret_cast<const char*>(&V), 4); };
  put32(2);
  for (const auto& [tag, perm, id] :
       std::vector<std::tuple<uint16_t, uint16_t, uint32_t>>{{0x01, 6, 0xFFFFFFFFu},
                                                             {0x02, 4, 4242},
                                                             {0x04, 0, 0xFFFFFFFFu},
                                                             {0x10, 4, 0xFFFFFFFFu},
                                                             {0x20, 0, 0xFFFFFFFFu}}) {
    put16(tag);
    put16(perm);
    put32(id);
  }
  const bool acls =
      ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
  const mode_t mode = ModeOf(path);  // 0640 with the ACL's mask, else 0600
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 4242, 4343), 0);
  }

  WriteFileWithBackup(path, "private, new");
  for (const std::string& file : {path, path + ".bak"}) {
    EXPECT_EQ(ModeOf(file), mode) << file;  // the first backup is as private as the map
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    if (root) {
      EXPECT_EQ(st.st_uid, 4242u) << file;
      EXPECT_EQ(st.st_gid, 4343u) << file;
    }
    char value[256];
    if (attributes) {
      const ssize_t n = ::getxattr(file.c_str(), "user.note", value, sizeof value);
      EXPECT_EQ(std::string(value, size_t(std::max<ssize_t>(n, 0))), "kept") << file;
    }
    if (acls) {
      const ssize_t n = ::getxattr(file.c_str(), "system.posix_acl_access", value, sizeof value);
      EXPECT_EQ(std::string(value, size_t(std::max<ssize_t>(n, 0))), acl) << file;
    }
  }
  EXPECT_EQ(vctest::ReadFileBytes(path), "private, new");
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "private");
}

TEST(SafeFileWriter, LongNamesGetShortenedTemporaryAndBackupNames) {
  vctest::TempDir dir;
  // 253 bytes with "ä" (two bytes) just where the backup's name is cut.
  std::string name = std::string(241, 'm') + "\xC3\xA4" + std::string(6, 'p') + ".qmx";
  ASSERT_EQ(name.size(), 253u);
  const std::string path = dir.File(name);
  WriteFileWithBackup(path, "one");
  WriteFileWithBackup(path, "two");
  WriteFileWithBackup(path, "three");
  EXPECT_EQ(vctest::ReadFileBytes(path), "three");
  const std::string backup = BackupName(path);
  EXPECT_EQ(fs::path(backup).parent_path(), dir.Path());
  const std::string backupName = fs::path(backup).filename().string();
  EXPECT_LE(backupName.size(), 255u);
  EXPECT_EQ(backupName.substr(backupName.size() - 4), ".bak");
  EXPECT_EQ(backupName.find('\xC3'), std::string::npos);  // no half character left
  EXPECT_EQ(vctest::ReadFileBytes(backup), "two");
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{backupName, name}));
  // Names that fit keep the plain form.
  EXPECT_EQ(BackupName(dir.File("cave.qmx")), dir.File("cave.qmx.bak"));
  EXPECT_EQ(BackupName("cave.qmx"), "cave.qmx.bak");
}

TEST(SafeFileWriter, LeftoversOfAKilledSaveGoWithTheNextSave) {
  vctest::TempDir dir;
  const std::string path = dir.File("map.qmx");
  vctest::WriteFileBytes(path, "old");
  // What saves killed half way leave: temporary files of the map and its backup.
  vctest::WriteFileBytes(dir.File(".map.qmx.tmp-a1B2c3"), "half");
  vctest::WriteFileBytes(dir.File(".map.qmx.bak.tmp-Zz9Zz9"), "half");
  // Not theirs: other files, and names of another form.
  for (const char* keep : {".other.qmx.tmp-a1B2c3", ".map.qmx.tmp-a1B2c3d", "map.qmx.tmp-a1B2c3"})
    vctest::WriteFileBytes(dir.File(keep), "keep");
  fs::create_directory(dir.Path() / ".map.qmx.tmp-folder");
  WriteFileWithBackup(path, "new");
  EXPECT_EQ(Entries(dir.Path()),
            (std::vector<std::string>{".map.qmx.tmp-a1B2c3d", ".map.qmx.tmp-folder",
                                      ".other.qmx.tmp-a1B2c3", "map.qmx", "map.qmx.bak",
                                      "map.qmx.tmp-a1B2c3"}));
  EXPECT_EQ(vctest::ReadFileBytes(path + ".bak"), "old");
}
