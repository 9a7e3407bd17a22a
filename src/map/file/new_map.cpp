#include "map/file/new_map.h"

#include <string>

#include "map/document/map_edit_layer.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/layer_set.h"
#include "record/errors.h"

namespace {

void CheckRange(const char* What, int32_t Value, int32_t Min, int32_t Max) {
  if (Value < Min || Value > Max)
    throw EVellumError(std::string(What) + " " + std::to_string(Value) + " is outside " +
                       std::to_string(Min) + " to " + std::to_string(Max));
}

}  // namespace

void ResetDocument(TMapEditLayerList& Map) {
  Map.Clear();
  TMapEditDoorList& doors = Map.Doors();
  doors.HorzDoor().Clear();
  doors.VertDoor().Clear();
  doors.FreeDoor().Clear();
  Map.SetSize(0, 0, 0);
  doors.RebuildDoorBitmap();
}

int32_t CreateNewMap(TMapEditLayerList& Map, int32_t Width, int32_t Height, int32_t ChipSize,
                     const TLayerSet* Set) {
  CheckRange("Map width", Width, kMinMapCells, kMaxMapCells);
  CheckRange("Map height", Height, kMinMapCells, kMaxMapCells);
  CheckRange("Chip size", ChipSize, kMinChipSize, kMaxChipSize);

  ResetDocument(Map);
  Map.SetSize(Width, Height, ChipSize);

  TMapEditLayer* wall = Map.AddLayer();
  wall->LayerName = kWallLayerName;
  wall->SetFileName(kWallLayerSource);
  wall->LayerType = mltObject;
  wall->SetAllAlpha(255);

  int32_t added = Set ? ApplyLayerSet(Map, *Set) : 0;

  for (int32_t x = 0; x < Width; ++x)
    for (int32_t y = 0; y < Height; ++y) Map.SetCell(x, y, 1);

  // Every cell is a wall chip cell, so the short path composes the whole map: the
  // wall opaque, every floor hidden, no shade.
  const bool fast = Map.FastDraw;
  Map.FastDraw = true;
  Map.Refresh();
  Map.FastDraw = fast;
  return added;
}
