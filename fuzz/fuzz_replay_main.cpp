// Runs a harness over files and folders of inputs once each, without libFuzzer, so
// that the corpora and the regression inputs replay as a plain test under any
// compiler. Arguments beginning with "-" are ignored (libFuzzer's flags).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* Argc, char*** Argv);

namespace fs = std::filesystem;

namespace {

void RunFile(const fs::path& File, int& Count) {
  std::ifstream in(File, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", File.c_str());
    std::exit(2);
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  std::fprintf(stderr, "running %s (%zu bytes)\n", File.c_str(), bytes.size());
  // A copy of exactly the input's size, so that a read past its end is caught.
  std::vector<uint8_t> copy(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
  ++Count;
}

}  // namespace

int main(int Argc, char** Argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&Argc, &Argv);
  int count = 0;
  for (int i = 1; i < Argc; ++i) {
    const std::string arg = Argv[i];
    if (arg.rfind("-", 0) == 0) continue;
    const fs::path path(arg);
    if (fs::is_directory(path)) {
      std::vector<fs::path> files;
      for (const auto& entry : fs::recursive_directory_iterator(path))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
          files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const fs::path& f : files) RunFile(f, count);
    } else if (fs::exists(path)) {
      RunFile(path, count);
    } else {
      std::fprintf(stderr, "no such input: %s\n", arg.c_str());
      return 2;
    }
  }
  std::fprintf(stderr, "%d inputs ran without a fault\n", count);
  return 0;
}
