#include "map/file/recovery_store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
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
