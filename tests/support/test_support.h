#pragma once
// Small helpers shared by the tests.

#include <filesystem>
#include <string>

namespace vctest {

// A fresh temporary folder, removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return FPath; }
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

 private:
  std::filesystem::path FPath;
};

std::string ReadFileBytes(const std::string& Path);
void WriteFileBytes(const std::string& Path, const std::string& Bytes);
// Text compressed as one zlib stream at Level (-1: zlib's default), as a map file
// holds it; throws when zlib fails.
std::string Deflate(const std::string& Text, int Level = -1);
// Standard base64 (padding optional) decoded; throws on a character outside it.
std::string DecodeBase64(const std::string& Text);

}  // namespace vctest
