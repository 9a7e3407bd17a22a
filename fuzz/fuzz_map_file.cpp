// The map file reader: bytes in memory through the same code as LoadFromFile,
// composition included. Input that is a zlib stream is read as it is; anything
// else is taken as the map's text and compressed first, so that the fuzzer works
// on the text format instead of on deflate's bits. A map that loads must save and
// load again to the same text.

#include <zlib.h>

#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/map_memory.h"
#include "record/errors.h"

namespace {

bool IsZlibStream(const std::string& Bytes) {
  if (Bytes.size() < 2) return false;
  const unsigned a = static_cast<unsigned char>(Bytes[0]), b = static_cast<unsigned char>(Bytes[1]);
  return (a & 0x0F) == 8 && (a * 256 + b) % 31 == 0;
}

std::string Compress(const std::string& Text) {
  uLongf size = compressBound(uLong(Text.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(Text.data()), uLong(Text.size()), 1) != Z_OK)
    std::abort();
  out.resize(size);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vcfuzz::ScratchFolder();
  // The fuzzer allows 2 GiB an input: headers claiming more are refused as they
  // would be on a machine of that size, instead of ending the run out of memory.
  SetMapMemoryLimit(int64_t(3) << 29);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::string bytes = vcfuzz::Bytes(Data, Size);
  if (!IsZlibStream(bytes)) bytes = Compress(bytes);
  TMapEditLayerList map;
  TMapLoadReport report;
  try {
    LoadMapFromBytes(map, bytes, vcfuzz::ScratchFolder(), report);
  } catch (const EVellumError&) {
    return 0;  // refused with a message: what the reader must do with bad input
  }
  std::string text;
  try {
    text = BuildMapText(map);
  } catch (const EMapFileError&) {
    return 0;  // a map no file can hold is refused on saving, not written wrong
  }
  TMapEditLayerList again;
  TMapLoadReport second;
  LoadMapFromBytes(again, BuildMapFile(map), vcfuzz::ScratchFolder(), second);
  if (BuildMapText(again) != text) std::abort();
  return 0;
}
