#pragma once
// The header of the BMP files the program writes: 32 bits per pixel, rows bottom
// up, no compression; and the little-endian byte writer it is made with.

#include <array>
#include <cstdint>
#include <string>

// Writes the low Bytes bytes of V at P, least significant first, and moves P on.
inline void PutLE(uint8_t*& P, uint32_t V, int Bytes) {
  for (int i = 0; i < Bytes; ++i) *P++ = uint8_t(V >> (8 * i));
}

constexpr size_t kBmpHeaderSize = 54;

// The file and info headers of a Width x Height image; Dpi > 0 is stored as pixels
// per metre, otherwise 72 dpi. Raises EImageError naming Name for an empty image
// or one too large for the format's 32-bit sizes.
std::array<uint8_t, kBmpHeaderSize> BmpHeader(int32_t Width, int32_t Height, int32_t Dpi,
                                              const std::string& Name);
