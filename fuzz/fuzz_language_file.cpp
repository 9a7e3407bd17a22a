// The language-file reader: ini text in UTF-8 or Shift JIS, looked up the way the
// dialogs look up their captions.

#include <cstdlib>
#include <string>

#include "dialogs/language_file.h"
#include "fuzz_support.h"
#include "record/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TLanguageFile file;
  try {
    file = TLanguageFile::FromBytes(vcfuzz::Bytes(Data, Size));
  } catch (const EVellumError&) {
    return 0;
  }
  // Every key the file holds reads back; lookups of missing keys give the default.
  for (const auto& [section, key] : file.Keys()) {
    if (!file.HasKey(section.c_str(), key.c_str())) std::abort();
    file.ReadString(section.c_str(), key.c_str(), QString());
    file.ReadInteger(section.c_str(), key.c_str(), 0);
  }
  if (file.ReadString("MapEdit2Form", "NoSuchKey\x01", QStringLiteral("d")) != "d" &&
      !file.HasKey("MapEdit2Form", "NoSuchKey\x01"))
    std::abort();
  return 0;
}
