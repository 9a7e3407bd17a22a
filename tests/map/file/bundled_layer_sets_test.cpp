// Every layer set shipped in Layersets is valid: each source names a texture
// that exists, so a new map from the set gets all of its layers.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "map/file/layer_set.h"

namespace fs = std::filesystem;

TEST(BundledLayerSets, EverySetIsValidAndTheNamedOnesAreThere) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(fs::path(VC_SOURCE_DIR) / "Layersets")) {
    if (e.path().extension() != ".txt") continue;
    SCOPED_TRACE(e.path().filename().string());
    const TLayerSet set = ReadLayerSetFile(e.path());
    EXPECT_GE(set.Entries.size(), 3u);
    const TLayerSetCheck check = CheckLayerSet(set);
    EXPECT_TRUE(check.Valid) << "line " << check.Line << ": " << check.Reason;
    names.insert(e.path().stem().string());
  }
  for (const char* n : {"dungeon", "cave", "tavern", "forest", "town", "printer-friendly"})
    EXPECT_TRUE(names.count(n)) << n;
}
