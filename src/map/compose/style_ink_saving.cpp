// Ink-saving print: floor pixels keep their picture only as light grey detail
// (the darkness of each pixel cut to a quarter, on white); wall pixels become
// white, for the hatching to be drawn on, or an even light grey. The black lines
// of doors are kept as they are.

#include <algorithm>

#include "map/compose/style_passes.h"
#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"

namespace {

constexpr TColor32 kPaper = 0xFFFFFFFF;
constexpr TColor32 kGreyWall = 0xFFA8A8A8;

}  // namespace

void DrawInkSaving(const TMapEditLayerList& Map, const TStyleField& Field, TStyleTarget& Out,
                   const TStyleInkSaving& Ink) {
  const TMapEditDoorList* doors = Map.DoorsIfCreated();
  const TBitmap32* doorBits = (doors && doors->HasDoors()) ? doors->BitmapIfCreated() : nullptr;
  const TColor32 wall = Ink.Walls == TInkWalls::Grey ? kGreyWall : kPaper;
  // Bounds in locals: the loops' stores could otherwise alias them.
  const int32_t left = Out.Src.Left, right = Out.Src.Right;
  for (int32_t y = Out.Src.Top; y < Out.Src.Bottom; ++y) {
    TColor32* __restrict__ dst = Out.Row(y);
    const uint8_t* __restrict__ kind = Field.Kinds(y);
    // Door pixels lie only within the door bitmap; the row is done in two
    // stretches, each a plain loop the compiler turns into vector code.
    const TColor32* __restrict__ door =
        doorBits && y < doorBits->Height() ? doorBits->ScanLine(y) : nullptr;
    const int32_t doorEnd = door ? std::clamp(doorBits->Width(), left, right) : left;
    auto grey = [](TColor32 P) {
      const uint32_t lum = (77 * ((P >> 16) & 255) + 150 * ((P >> 8) & 255) + 29 * (P & 255)) >> 8;
      const uint32_t g = 255 - (255 - lum) / 4;
      return 0xFF000000u | (g << 16) | (g << 8) | g;
    };
    for (int32_t x = left; x < doorEnd; ++x) {
      const TColor32 p = dst[x];
      const TColor32 floor = (door[x] >> 24) == 255 ? p : grey(p);
      dst[x] = kind[x] == skWall ? wall : floor;
    }
    for (int32_t x = doorEnd; x < right; ++x) dst[x] = kind[x] == skWall ? wall : grey(dst[x]);
  }
}
