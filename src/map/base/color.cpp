#include "map/base/color.h"

#include <array>

namespace {

// The system colour table: a neutral light theme. Index 15 (button face) is the
// default door colour.
constexpr std::array<TColor, 31> kSystemColors = {
    0x00C8C8C8,  // 0 scroll bar
    0x00A56E3A,  // 1 background
    0x00D1B499,  // 2 active caption
    0x00DBCDBF,  // 3 inactive caption
    0x00F0F0F0,  // 4 menu
    0x00FFFFFF,  // 5 window
    0x00646464,  // 6 window frame
    0x00000000,  // 7 menu text
    0x00000000,  // 8 window text
    0x00000000,  // 9 caption text
    0x00B4B4B4,  // 10 active border
    0x00FCF7F4,  // 11 inactive border
    0x00ABABAB,  // 12 application workspace
    0x00D77800,  // 13 highlight
    0x00FFFFFF,  // 14 highlight text
    0x00F0F0F0,  // 15 button face
    0x00A0A0A0,  // 16 button shadow
    0x006D6D6D,  // 17 grey text
    0x00000000,  // 18 button text
    0x00000000,  // 19 inactive caption text
    0x00FFFFFF,  // 20 button highlight
    0x00696969,  // 21 3D dark shadow
    0x00E3E3E3,  // 22 3D light
    0x00000000,  // 23 info text
    0x00E1FFFF,  // 24 info background
    0x00000000,  // 25 (unused)
    0x00CC6600,  // 26 hot light
    0x00EAD1B9,  // 27 gradient active caption
    0x00F2E4D7,  // 28 gradient inactive caption
    0x00FF9933,  // 29 menu highlight
    0x00F0F0F0,  // 30 menu bar
};

}  // namespace

TColor ResolveSystemColor(TColor C) {
  if (C >= 0) return C;
  uint32_t index = uint32_t(C) & 0xFF;
  return index < kSystemColors.size() ? kSystemColors[index] : 0;
}

TColor32 ColorFromPlatform(TColor C) {
  uint32_t v = uint32_t(ResolveSystemColor(C));
  return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

TColor ColorToPlatform(TColor32 C) {
  return TColor(((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF));
}
