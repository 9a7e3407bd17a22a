#include "map/objects/map_window.h"

#include "map/objects/object_fields.h"

using namespace objfields;

namespace {
constexpr int32_t kCoordLimit = 1000000000;
// Cell numbers small enough that their pixel ends fit 32 bits at any chip size.
constexpr int32_t kCellLimit = 1000000;
}  // namespace

bool TMapWindow::FromObject(const TMapObject& Obj, TMapWindow& Out, std::string* Error) {
  if (!CheckType(Obj.Type, kType, Error)) return false;
  TMapWindow w;
  w.Id = Obj.Id;
  w.Data = Obj.Data;
  if (Obj.Data.contains("edge")) {
    std::string edge;
    if (!ReadText(Obj.Data, "edge", "", 4, edge, Error)) return false;
    if (edge != "h" && edge != "v") return Refuse(Error, "\"edge\" is not h or v");
    w.Kind = edge == "h" ? TWindowKind::Horizontal : TWindowKind::Vertical;
    if (!ReadInt(Obj.Data, "cx", 0, -kCellLimit, kCellLimit, w.CX, Error) ||
        !ReadInt(Obj.Data, "cy", 0, -kCellLimit, kCellLimit, w.CY, Error))
      return false;
  } else {
    w.Kind = TWindowKind::Free;
    for (const char* key : {"x1", "y1", "x2", "y2"})
      if (!Obj.Data.contains(key))
        return Refuse(Error, std::string("a window needs \"edge\" or \"") + key + "\"");
    if (!ReadInt(Obj.Data, "x1", 0, -kCoordLimit, kCoordLimit, w.X1, Error) ||
        !ReadInt(Obj.Data, "y1", 0, -kCoordLimit, kCoordLimit, w.Y1, Error) ||
        !ReadInt(Obj.Data, "x2", 0, -kCoordLimit, kCoordLimit, w.X2, Error) ||
        !ReadInt(Obj.Data, "y2", 0, -kCoordLimit, kCoordLimit, w.Y2, Error))
      return false;
  }
  const auto color = Obj.Data.find("color");
  if (color != Obj.Data.end() && !color->is_null()) {
    TColor32 c = 0;
    if (!ReadColor(Obj.Data, "color", 0, c, Error)) return false;
    w.Color = c;
  }
  Out = std::move(w);
  return true;
}

TMapObject TMapWindow::ToObject() const {
  TMapObject o = TMapObject::Make(kType);
  if (Data.is_object()) o.Data = Data;
  o.Data["type"] = kType;
  // Keys of the other kind go; the kept ones stay where they were.
  if (Kind == TWindowKind::Free) {
    for (const char* key : {"edge", "cx", "cy"}) o.Data.erase(key);
    o.Data["x1"] = X1;
    o.Data["y1"] = Y1;
    o.Data["x2"] = X2;
    o.Data["y2"] = Y2;
  } else {
    for (const char* key : {"x1", "y1", "x2", "y2"}) o.Data.erase(key);
    o.Data["edge"] = Kind == TWindowKind::Horizontal ? "h" : "v";
    o.Data["cx"] = CX;
    o.Data["cy"] = CY;
  }
  if (Color)
    o.Data["color"] = ColorText(*Color);
  else
    o.Data.erase("color");
  o.Id = Id;
  return o;
}

void TMapWindow::Ends(int32_t ChipSize, TPoint& A, TPoint& B) const {
  switch (Kind) {
    case TWindowKind::Horizontal:
      A = {CX * ChipSize, CY * ChipSize};
      B = {(CX + 1) * ChipSize, CY * ChipSize};
      return;
    case TWindowKind::Vertical:
      A = {CX * ChipSize, CY * ChipSize};
      B = {CX * ChipSize, (CY + 1) * ChipSize};
      return;
    case TWindowKind::Free:
      A = {X1, Y1};
      B = {X2, Y2};
      return;
  }
}
