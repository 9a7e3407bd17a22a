// DecodeLine on any text, checked against EncodeLine: decoding stops at the first
// foreign character, and encoding what was decoded gives back the text up to there
// (less the bits that did not fill a byte).

#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "map/file/map_file.h"
#include "map/file/map_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string text = vcfuzz::Bytes(Data, Size);
  const std::string decoded = DecodeLine(text);
  std::string into = "left over";
  mapfile::DecodeLineInto(text, into);
  if (into != decoded) std::abort();
  // Every byte of the input decodes again from its encoding.
  if (DecodeLine(EncodeLine(text)) != text) std::abort();
  const std::string again = EncodeLine(decoded);
  if (decoded.size() != again.size() * 6 / 8) std::abort();
  if (text.compare(0, again.size() - (again.empty() ? 0 : 1), again, 0,
                   again.size() - (again.empty() ? 0 : 1)) != 0)
    std::abort();
  return 0;
}
