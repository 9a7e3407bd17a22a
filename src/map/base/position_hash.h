#pragma once
// A well-mixed 32-bit hash of a position and a seed, for pictures that must come
// out the same every time (map styles, generated textures).

#include <cstdint>

inline uint32_t PositionHash(int32_t X, int32_t Y, uint32_t Seed) {
  uint32_t h = Seed * 0x9E3779B1u ^ uint32_t(X) * 0x85EBCA77u ^ uint32_t(Y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}
