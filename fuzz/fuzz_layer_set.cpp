// The layer-set reader with its validity rule: a set read from bytes is checked,
// and a valid set is applied to a small map. Sources resolve against the scratch
// folder, which holds real textures for the seeds to name.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "map/file/layer_set.h"
#include "map/document/map_edit_layer_list.h"
#include "record/errors.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vcfuzz::ScratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::filesystem::path file = std::filesystem::path(vcfuzz::ScratchFolder()) / "set.txt";
  TLayerSet set;
  try {
    set = ParseLayerSet(vcfuzz::Bytes(Data, Size), file);
  } catch (const EFileError&) {
    return 0;
  }
  const TLayerSetCheck check = CheckLayerSet(set);
  if (check.Valid != (check.Line == 0)) std::abort();
  if (!check.Valid && (check.Line < 2 || size_t(check.Line) > set.Entries.size() * 2)) std::abort();
  TMapEditLayerList map;
  map.SetSize(2, 2, 8);
  int32_t added = 0;
  try {
    added = ApplyLayerSet(map, set);
  } catch (const EVellumError&) {
    if (map.Count() != 0) std::abort();  // a failed set adds nothing
    return 0;
  }
  if (added != (check.Valid ? int32_t(set.Entries.size()) : 0) || map.Count() != added)
    std::abort();
  return 0;
}
