#pragma once
// Colour types and conversions. TColor32 is 0xAARRGGBB (not premultiplied);
// TColor is the platform colour 0x00BBGGRR, where negative values name system
// colours and clNone (0x1FFFFFFF) means "no colour".

#include <cstdint>

using TColor32 = uint32_t;
using TColor = int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
// System colour references are 0x80000000 | index.
constexpr TColor clBtnFace = TColor(0x8000000F);

constexpr TColor32 MakeColor(uint8_t R, uint8_t G, uint8_t B, uint8_t A = 255) {
  return (TColor32(A) << 24) | (TColor32(R) << 16) | (TColor32(G) << 8) | TColor32(B);
}

struct TRGB {
  uint8_t R, G, B;
};
constexpr TRGB SplitColor(TColor32 C) {
  return {uint8_t(C >> 16), uint8_t(C >> 8), uint8_t(C)};
}
constexpr uint8_t AlphaOf(TColor32 C) { return uint8_t(C >> 24); }
constexpr TColor32 WithAlpha(TColor32 C, uint8_t A) { return (C & 0x00FFFFFF) | (TColor32(A) << 24); }

// Resolves a system colour reference (its low byte indexes the system colour
// table) to a plain 0x00BBGGRR value; other values are returned unchanged.
TColor ResolveSystemColor(TColor C);

// 0x00BBGGRR -> 0xFFRRGGBB; system colours are resolved first, bits above the low
// 24 are dropped.
TColor32 ColorFromPlatform(TColor C);
// 0xAARRGGBB -> 0x00BBGGRR (alpha dropped).
TColor ColorToPlatform(TColor32 C);
