// Ink-saving print: floor pixels keep their picture only as light grey detail
// (the darkness of each pixel cut to a quarter, on white); wall pixels become
// white, for the hatching to be drawn on, or an even light grey. The black lines
// of doors are kept as they are.

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
  for (int32_t y = Out.Src.Top; y < Out.Src.Bottom; ++y) {
    TColor32* dst = Out.Row(y);
    const TColor32* door = doorBits && y < doorBits->Height() ? doorBits->ScanLine(y) : nullptr;
    const uint8_t* kind = Field.Kinds(y);
    for (int32_t x = Out.Src.Left; x < Out.Src.Right; ++x) {
      if (kind[x] == skWall) {
        dst[x] = wall;
        continue;
      }
      if (door && x < doorBits->Width() && (door[x] >> 24) == 255) continue;
      const TColor32 p = dst[x];
      const uint32_t lum = (77 * ((p >> 16) & 255) + 150 * ((p >> 8) & 255) + 29 * (p & 255)) >> 8;
      const uint32_t g = 255 - (255 - lum) / 4;
      dst[x] = 0xFF000000u | (g << 16) | (g << 8) | g;
    }
  }
}
