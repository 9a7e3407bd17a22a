#pragma once
// What the harnesses share: a scratch folder with a few small texture files, made
// once per process, so that maps, sets and chip references have real files to name.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vcfuzz {

// The scratch folder (created on first use, removed at exit). It holds
// "floor.png" (64 x 64), "wall.bmp" (16 x 16) and "stone.jpg" (32 x 32).
const std::string& ScratchFolder();

// The input as a string.
inline std::string Bytes(const uint8_t* Data, size_t Size) {
  return std::string(reinterpret_cast<const char*>(Data), Size);
}

}  // namespace vcfuzz
