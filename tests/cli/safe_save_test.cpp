// What the tool's writing commands do to what is already on disk: maps that would
// not read back, outputs that are not regular files, links, modes, and two edits
// of one map at the same time.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_runner.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using vctest::ReadFileBytes;
using vctest::RunCli;
using vctest::TCliResult;
using vctest::TempDir;

namespace {

std::string NewMap(const TempDir& Dir, const std::string& Name, const std::string& Size = "4x3") {
  const std::string map = Dir.File(Name);
  const TCliResult r = RunCli({"new", map, "--size", Size, "--chip", "8"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  return map;
}

mode_t ModeOf(const std::string& Path) {
  struct stat st {};
  EXPECT_EQ(::stat(Path.c_str(), &st), 0) << Path;
  return st.st_mode & 07777;
}

}  // namespace

TEST(CliSafeSave, AMapThatWouldNotReadBackIsNotSaved) {
  TempDir dir;
  const std::string map = NewMap(dir, "cave.qmx");
  ASSERT_EQ(RunCli({"edit", map, "-e", "add-layer Floor 255"}).Status, 0);
  const std::string saved = ReadFileBytes(map), backup = ReadFileBytes(map + ".bak");
  for (const char* command : {"add-layer \"Lava\x82\" 255", "edit-layer 0 \"Caf\xE9 floor\" 255"}) {
    const TCliResult r = RunCli({"edit", map, "-e", command});
    EXPECT_EQ(r.Status, 1) << command;
    // Refused where the text enters the map, before the writer's own check.
    EXPECT_NE(r.Err.find("not UTF-8 text"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("cave.qmx"), std::string::npos) << r.Err;
  }
  EXPECT_EQ(ReadFileBytes(map), saved);
  EXPECT_EQ(ReadFileBytes(map + ".bak"), backup);
  EXPECT_EQ(RunCli({"info", map}).Status, 0);
}

TEST(CliSafeSave, OutputsThatAreNotRegularFilesAreRefusedLinksFollowedModesKept) {
  TempDir dir;
  const std::string map = NewMap(dir, "cave.qmx");
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  const std::vector<std::vector<std::string>> commands = {
      {"render", map, "OUT"}, {"print", map, "OUT", "--cell", "1in"}, {"export-vtt", map, "OUT"}};
  for (std::vector<std::string> args : commands) {
    for (const std::string& target : {dir.File("pipe"), std::string("/dev/null")}) {
      args[2] = target;
      const TCliResult r = RunCli(args);
      EXPECT_EQ(r.Status, 1) << args[0] << " " << target;
      EXPECT_NE(r.Err.find("It is not a regular file"), std::string::npos) << r.Err;
    }
    EXPECT_TRUE(fs::is_fifo(dir.Path() / "pipe"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // Through a link: the file it points to is replaced, keeping its mode.
    fs::create_directory(dir.Path() / "real");
    vctest::WriteFileBytes(dir.File("real/out"), "old");
    ASSERT_EQ(::chmod(dir.File("real/out").c_str(), 0640), 0);
    fs::create_symlink("real/out", dir.Path() / "link");
    args[2] = dir.File("link");
    const TCliResult r = RunCli(args);
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link")) << args[0];
    EXPECT_NE(ReadFileBytes(dir.File("real/out")), "old") << args[0];
    EXPECT_EQ(ModeOf(dir.File("real/out")), 0640u) << args[0];
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "real"), fs::directory_iterator()),
              1);
    fs::remove_all(dir.Path() / "real");
    fs::remove(dir.Path() / "link");
  }
}

TEST(CliSafeSave, TwoEditsOfOneMapAtOnceBothCount) {
  TempDir dir;
  const std::string map = NewMap(dir, "busy.qmx", "40x2");
  // Two tools toggling doors on the same map, ten edits each, at the same time:
  // every edit must be in the result.
  constexpr int kEdits = 10;
  std::vector<int> failures(2, 0);
  auto run = [&](int Who) {
    for (int i = 0; i < kEdits; ++i) {
      const std::string door = "door " + std::to_string(Who * kEdits + i) + " 1 h";
      if (RunCli({"edit", map, "-e", door}).Status != 0) ++failures[size_t(Who)];
    }
  };
  std::thread first(run, 0), second(run, 1);
  first.join();
  second.join();
  EXPECT_EQ(failures, (std::vector<int>{0, 0}));
  const TCliResult info = RunCli({"info", map, "--json"});
  ASSERT_EQ(info.Status, 0) << info.Err;
  const nlohmann::json j = nlohmann::json::parse(info.Out);
  EXPECT_EQ(j["doors"]["horizontal"].size(), size_t(2 * kEdits));
}
