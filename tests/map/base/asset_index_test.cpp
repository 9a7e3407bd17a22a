#include "map/base/asset_index.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& P) {
  fs::create_directories(P.parent_path());
  vctest::WriteFileBytes(P.string(), "x");
}

std::vector<std::string> PathsOf(const std::vector<const TAssetEntry*>& Found) {
  std::vector<std::string> out;
  for (const TAssetEntry* e : Found) out.push_back(e->Path);
  return out;
}

}  // namespace

TEST(AssetIndex, ListsGroupsInOrderAndPrefersTheEarlierFolder) {
  vctest::TempDir dir;
  const fs::path shipped = dir.Path() / "shipped", user = dir.Path() / "user";
  Touch(shipped / "nature" / "tree_oak.png");
  Touch(shipped / "furniture" / "table.png");
  Touch(shipped / "furniture" / "Chair.PNG");
  Touch(shipped / "furniture" / "notes.txt");
  Touch(shipped / "loose.png");
  Touch(user / "furniture" / "table.png");  // the same relative path: the shipped one wins
  Touch(user / "mine" / "deep" / "statue.png");

  const TAssetIndex index({shipped, dir.Path() / "missing", user});
  std::vector<std::string> paths;
  for (const TAssetEntry& e : index.Entries()) paths.push_back(e.Path);
  EXPECT_EQ(paths,
            (std::vector<std::string>{"loose.png", "furniture/Chair.PNG", "furniture/table.png",
                                      "mine/deep/statue.png", "nature/tree_oak.png"}));
  EXPECT_EQ(index.Groups(), (std::vector<std::string>{"", "furniture", "mine/deep", "nature"}));
  const TAssetEntry& table = index.Entries()[2];
  EXPECT_EQ(table.Name, "table");
  EXPECT_EQ(table.Group, "furniture");
  EXPECT_EQ(table.File, shipped / "furniture" / "table.png");
}

TEST(AssetIndex, SearchMatchesEveryWordInGroupOrName) {
  vctest::TempDir dir;
  Touch(dir.Path() / "furniture" / "table_round.png");
  Touch(dir.Path() / "furniture" / "table_long.png");
  Touch(dir.Path() / "dungeon" / "round_pillar.png");
  const TAssetIndex index({dir.Path()});
  EXPECT_EQ(PathsOf(index.Search("  ")).size(), 3u);
  EXPECT_EQ(PathsOf(index.Search("ROUND")),
            (std::vector<std::string>{"dungeon/round_pillar.png", "furniture/table_round.png"}));
  EXPECT_EQ(PathsOf(index.Search("table round")),
            (std::vector<std::string>{"furniture/table_round.png"}));
  EXPECT_EQ(PathsOf(index.Search("furniture long")),
            (std::vector<std::string>{"furniture/table_long.png"}));
  EXPECT_EQ(PathsOf(index.Search("table_ro")),
            (std::vector<std::string>{"furniture/table_round.png"}));
  EXPECT_TRUE(index.Search("sofa").empty());
}

TEST(AssetIndex, StoredPathsAreRelativeInsideAnAssetFolderAndResolveBack) {
  vctest::TempDir dir;
  const fs::path assets = dir.Path() / "Assets", maps = dir.Path() / "maps";
  Touch(assets / "nature" / "bush.png");
  Touch(maps / "own" / "cart.png");
  Touch(dir.Path() / "secret.png");
  const TAssetIndex index({assets});

  EXPECT_EQ(index.StoredPath(assets / "nature" / "bush.png"), "nature/bush.png");
  // Outside every asset folder the path is kept as given, like a layer texture's.
  const fs::path cart = maps / "own" / "cart.png";
  EXPECT_EQ(index.StoredPath(cart), cart.string());

  EXPECT_EQ(index.Resolve("nature/bush.png"), assets / "nature" / "bush.png");
  EXPECT_EQ(index.Resolve(cart.string()), cart);
  EXPECT_EQ(index.Resolve("own/cart.png", maps), maps / "own" / "cart.png");
  EXPECT_TRUE(index.Resolve("own/cart.png").empty());
  EXPECT_TRUE(index.Resolve("nature/missing.png").empty());
  EXPECT_TRUE(index.Resolve("").empty());
  // A stored path may not climb out of the asset folders.
  EXPECT_TRUE(index.Resolve("../secret.png").empty());
  EXPECT_TRUE(index.Resolve("nature/../../secret.png").empty());
}

TEST(AssetIndex, TheShippedPackHasFortyPropsInGroups) {
  const TAssetIndex index({fs::path(VC_SOURCE_DIR) / "Assets"});
  EXPECT_GE(index.Entries().size(), 40u);
  EXPECT_GE(index.Groups().size(), 4u);
  for (const std::string& g : index.Groups()) EXPECT_FALSE(g.empty());
}
