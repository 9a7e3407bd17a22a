#include "map/objects/map_light.h"

#include "map/objects/object_fields.h"

using namespace objfields;

namespace {
constexpr int32_t kCoordLimit = 1000000000;
}

bool TMapLight::FromObject(const TMapObject& Obj, TMapLight& Out, std::string* Error) {
  if (!CheckType(Obj.Type, kType, Error)) return false;
  TMapLight l;
  l.Id = Obj.Id;
  l.Data = Obj.Data;
  if (!ReadInt(Obj.Data, "x", 0, -kCoordLimit, kCoordLimit, l.X, Error) ||
      !ReadInt(Obj.Data, "y", 0, -kCoordLimit, kCoordLimit, l.Y, Error) ||
      !ReadNumber(Obj.Data, "radius", 4, 0, kMaxRadius, l.Radius, Error) ||
      !ReadColor(Obj.Data, "color", 0xFFFFFFFF, l.Color, Error) ||
      !ReadNumber(Obj.Data, "intensity", 1, 0, kMaxIntensity, l.Intensity, Error) ||
      !ReadBool(Obj.Data, "shadows", true, l.Shadows, Error))
    return false;
  Out = std::move(l);
  return true;
}

TMapObject TMapLight::ToObject() const {
  TMapObject o = TMapObject::Make(kType);
  if (Data.is_object()) o.Data = Data;
  o.Data["type"] = kType;
  o.Data["x"] = X;
  o.Data["y"] = Y;
  WriteNumber(o.Data, "radius", Radius);
  o.Data["color"] = ColorText(Color);
  WriteNumber(o.Data, "intensity", Intensity);
  o.Data["shadows"] = Shadows;
  o.Id = Id;
  return o;
}
