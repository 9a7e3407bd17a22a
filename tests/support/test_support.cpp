#include "support/test_support.h"

#include <unistd.h>
#include <zlib.h>
#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vctest {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  FPath = std::filesystem::temp_directory_path() /
          ("vellumcraft-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(rd()));
  std::filesystem::create_directories(FPath);
}

TempDir::~TempDir() {
  std::error_code ec;
  // Restore write permission first so that tests of read-only folders clean up.
  std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(FPath, ec);
}

std::string ReadFileBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(Bytes.data(), std::streamsize(Bytes.size()));
}

std::string Deflate(const std::string& Text, int Level) {
  uLongf size = compressBound(uLong(Text.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(Text.data()), uLong(Text.size()), Level) != Z_OK)
    throw std::runtime_error("zlib could not compress the test text");
  out.resize(size);
  return out;
}

std::string DecodeBase64(const std::string& Text) {
  static const std::string digits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  uint32_t acc = 0;
  int bits = 0;
  for (char c : Text) {
    if (c == '=') break;
    const size_t v = digits.find(c);
    if (v == std::string::npos) throw std::runtime_error("not base64");
    acc = (acc << 6) | uint32_t(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += char((acc >> bits) & 0xFF);
    }
  }
  return out;
}

}  // namespace vctest
