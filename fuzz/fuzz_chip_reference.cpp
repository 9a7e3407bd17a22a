// The chip-reference parser "<X,Y,S>path", and the cutting of the chip it names
// out of a real 64 x 64 texture (the path is replaced by that texture's): a chip
// that does not lie inside the texture must be refused, one that does fills the
// layer.

#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "record/errors.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vcfuzz::ScratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string text = vcfuzz::Bytes(Data, Size);
  TChipReference ref;
  const bool parsed = ParseChipReference(text, ref);
  if (!parsed) return 0;
  if (text[0] != '<') std::abort();
  if (text.size() < ref.Path.size() ||
      text.compare(text.size() - ref.Path.size(), ref.Path.size(), ref.Path) != 0)
    std::abort();
  const std::string texture = vcfuzz::ScratchFolder() + "/floor.png";
  // The parsed numbers in front of a real texture: the reference as the map tile
  // dialog would write it.
  const std::string source = "<" + std::to_string(ref.X) + "," + std::to_string(ref.Y) + "," +
                             std::to_string(ref.S) + ">" + texture;
  TMapEditLayerList map;
  map.SetSize(2, 2, 16);
  TMapEditLayer* layer = map.AddLayer();
  try {
    layer->SetFileName(source);
  } catch (const EVellumError&) {
    return 0;
  }
  const bool inside = ref.X >= 0 && ref.Y >= 0 && ref.S > 0 && int64_t(ref.X) + ref.S <= 64 &&
                      int64_t(ref.Y) + ref.S <= 64;
  if (!inside) std::abort();  // a chip outside the texture must be refused
  if (layer->BMP().Width() != 32 || layer->BMP().Height() != 32) std::abort();
  return 0;
}
