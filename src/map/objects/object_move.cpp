#include "map/objects/object_move.h"

#include <cmath>

#include "map/objects/map_window.h"

namespace {

// Adds D to the whole number Data[Key], when it holds one.
void Shift(nlohmann::ordered_json& Data, const char* Key, int64_t D) {
  const auto it = Data.find(Key);
  if (it == Data.end() || !it->is_number_integer()) return;
  *it = it->get<int64_t>() + D;
}

int32_t Cells(int32_t Pixels, int32_t ChipSize) {
  if (ChipSize <= 0) return 0;
  return int32_t(std::lround(double(Pixels) / ChipSize));
}

}  // namespace

TMapObject MovedObject(const TMapObject& Obj, int32_t DX, int32_t DY, int32_t ChipSize) {
  TMapObject o = Obj;
  if (!o.Data.is_object()) return o;
  if (o.Type == TMapWindow::kType) {
    if (o.Data.contains("edge")) {
      Shift(o.Data, "cx", Cells(DX, ChipSize));
      Shift(o.Data, "cy", Cells(DY, ChipSize));
    } else {
      Shift(o.Data, "x1", DX);
      Shift(o.Data, "y1", DY);
      Shift(o.Data, "x2", DX);
      Shift(o.Data, "y2", DY);
    }
    return o;
  }
  Shift(o.Data, "x", DX);
  Shift(o.Data, "y", DY);
  return o;
}
