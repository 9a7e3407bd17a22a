#include "map/file/recovery_store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>
#include <string>

#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "record/errors.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// No system hands out process ids this large, so such a process never runs.
constexpr int64_t kGonePid = 999999991;

void MakeMap(TMapEditLayerList& Map, const std::string& Name) {
  Map.SetSize(3, 2, 4);
  TMapEditLayer* wall = Map.AddLayer();
  wall->LayerName = "wall";
  wall->LayerType = mltObject;
  wall->SetFileName("0");
  TMapEditLayer* floor = Map.AddLayer();
  floor->LayerName = Name;
  floor->SetFileName("255");
  Map.SetCell(1, 1, 1);
  Map.Refresh();
}

}  // namespace

TEST(RecoveryStore, WritesRestoresAndRemovesCopies) {
  vctest::TempDir dir;
  const fs::path folder = dir.Path() / "recovery";
  TMapEditLayerList map;
  MakeMap(map, "石畳");

  // A session that died: its copy and the name of its map stay behind.
  TRecoveryStore gone(folder, kGonePid);
  gone.Write(map, "/maps/cave.qmx");
  EXPECT_EQ(gone.CopyFile(), folder / "recovery-999999991.qmx");
  EXPECT_EQ(vctest::ReadFileBytes(gone.NameFile().string()), "/maps/cave.qmx");
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);

  // This session sees it; its own copy and live processes' copies are not offered.
  TRecoveryStore mine(folder, ::getpid());
  mine.Write(map, "");
  TRecoveryStore parent(folder, ::getppid());
  parent.Write(map, "");
  std::vector<TRecoveryCopy> orphans = mine.Orphans();
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].Pid, kGonePid);
  EXPECT_EQ(orphans[0].MapFileName, "/maps/cave.qmx");
  EXPECT_EQ(orphans[0].File, gone.CopyFile());
  EXPECT_GT(orphans[0].Time, 0);

  // Restoring gives the same map, replacing what the document held.
  TMapEditLayerList restored;
  MakeMap(restored, "other");
  restored.SetCell(0, 0, 1);
  TMapLoadReport report;
  TRecoveryStore::Restore(orphans[0], restored, report);
  EXPECT_EQ(BuildMapText(restored), BuildMapText(map));
  EXPECT_TRUE(report.MissingTextures.empty());

  TRecoveryStore::Discard(orphans[0]);
  EXPECT_FALSE(fs::exists(gone.CopyFile()));
  EXPECT_FALSE(fs::exists(gone.NameFile()));
  EXPECT_TRUE(mine.Orphans().empty());
  mine.Remove();
  EXPECT_FALSE(fs::exists(mine.CopyFile()));
  EXPECT_FALSE(fs::exists(mine.NameFile()));
  parent.Remove();
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST(RecoveryStore, StrayFilesAndDamagedCopiesAreHandled) {
  vctest::TempDir dir;
  const fs::path folder = dir.Path() / "recovery";
  TRecoveryStore mine(folder, ::getpid());
  EXPECT_TRUE(mine.Orphans().empty());  // no folder yet
  fs::create_directories(folder);
  for (const char* name : {"recovery-.qmx", "recovery-12x.qmx", "notes.txt", "recovery-5.qmx.name",
                           "recovery-99999999999999.qmx"})
    vctest::WriteFileBytes((folder / name).string(), "x");
  fs::create_directory(folder / "recovery-999999992.qmx");  // a folder, not a copy
  EXPECT_TRUE(mine.Orphans().empty());

  // A damaged copy is offered (its session is gone) but does not restore, and the
  // document keeps what it held.
  vctest::WriteFileBytes((folder / "recovery-999999993.qmx").string(), "not a map");
  const std::vector<TRecoveryCopy> orphans = mine.Orphans();
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].MapFileName, "");  // no name file: an untitled map
  TMapEditLayerList map;
  MakeMap(map, "kept");
  const std::string before = BuildMapText(map);
  TMapLoadReport report;
  EXPECT_THROW(TRecoveryStore::Restore(orphans[0], map, report), EVellumError);
  EXPECT_EQ(BuildMapText(map), before);

  // A folder that cannot be made is an error that names it.
  vctest::WriteFileBytes(dir.File("file"), "");
  TRecoveryStore blocked(dir.Path() / "file" / "recovery", 1);
  try {
    blocked.Write(map, "");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("recovery folder"), std::string::npos) << e.what();
  }
}

TEST(RecoveryStore, SessionsAreToldApartByMoreThanTheirProcessId) {
  vctest::TempDir dir;
  const fs::path folder = dir.Path() / "recovery";
  TMapEditLayerList map;
  MakeMap(map, "crashed work");

  // A copy of an older version named by this very process id: the session that
  // wrote it is gone (this process did not write it), so it is offered, not
  // overwritten or taken for this session's own.
  TRecoveryStore old(folder, ::getpid());
  old.Write(map, "/maps/old.qmx");
  TRecoveryStore mine(folder);
  EXPECT_NE(mine.CopyFile(), old.CopyFile());
  MakeMap(map, "mine");
  mine.Write(map, "/maps/mine.qmx");
  std::vector<TRecoveryCopy> orphans = mine.Orphans();
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].MapFileName, "/maps/old.qmx");
  EXPECT_EQ(orphans[0].Pid, ::getpid());
  TRecoveryStore::Discard(orphans[0]);

  // Another session with the same process id (a reused one) writes a copy of its
  // own; while it runs its copy is not offered, and once it has gone without
  // removing it (a crash), it is.
  auto other = std::make_unique<TRecoveryStore>(folder);
  const std::string otherName = other->CopyFile().filename().string();
  EXPECT_EQ(otherName.rfind("recovery-" + std::to_string(::getpid()) + "-", 0), 0u) << otherName;
  EXPECT_NE(other->CopyFile(), mine.CopyFile());
  other->Write(map, "/maps/other.qmx");
  EXPECT_TRUE(mine.Orphans().empty());
  EXPECT_TRUE(TRecoveryStore(folder).Orphans().empty());
  other.reset();
  orphans = mine.Orphans();
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].File.filename().string(), otherName);
  EXPECT_EQ(orphans[0].MapFileName, "/maps/other.qmx");
  TMapEditLayerList restored;
  TMapLoadReport report;
  TRecoveryStore::Restore(orphans[0], restored, report);
  EXPECT_EQ(BuildMapText(restored), BuildMapText(map));
  TRecoveryStore::Discard(orphans[0]);

  // A session that ends cleanly leaves nothing behind, its lock file included.
  {
    TRecoveryStore brief(folder);
    brief.Write(map, "");
    brief.Remove();
  }
  mine.Remove();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);  // mine's lock
}
