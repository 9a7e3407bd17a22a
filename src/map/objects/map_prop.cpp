#include "map/objects/map_prop.h"

#include <cmath>

#include "map/objects/object_fields.h"

using namespace objfields;

namespace {
constexpr double kCoordLimit = 1e9;
constexpr double kTurnLimit = 1e6;
}  // namespace

bool TMapProp::FromObject(const TMapObject& Obj, TMapProp& Out, std::string* Error) {
  if (!CheckType(Obj.Type, kType, Error)) return false;
  TMapProp p;
  p.Id = Obj.Id;
  p.Data = Obj.Data;
  if (!ReadText(Obj.Data, "asset", "", kMaxAssetLength, p.Asset, Error) ||
      !ReadNumber(Obj.Data, "x", 0, -kCoordLimit, kCoordLimit, p.X, Error) ||
      !ReadNumber(Obj.Data, "y", 0, -kCoordLimit, kCoordLimit, p.Y, Error) ||
      !ReadNumber(Obj.Data, "rotation", 0, -kTurnLimit, kTurnLimit, p.Rotation, Error) ||
      !ReadNumber(Obj.Data, "scale", 1, kMinScale, kMaxScale, p.Scale, Error) ||
      !ReadBool(Obj.Data, "mirror", false, p.Mirror, Error) ||
      !ReadBool(Obj.Data, "shadow", false, p.Shadow, Error) ||
      !ReadNumber(Obj.Data, "shadow_x", 6, -kMaxShadowOffset, kMaxShadowOffset, p.ShadowX, Error) ||
      !ReadNumber(Obj.Data, "shadow_y", 6, -kMaxShadowOffset, kMaxShadowOffset, p.ShadowY, Error) ||
      !ReadNumber(Obj.Data, "shadow_soft", 8, 0, kMaxSoftness, p.ShadowSoftness, Error) ||
      !ReadNumber(Obj.Data, "shadow_opacity", 0.5, 0, 1, p.ShadowOpacity, Error) ||
      !ReadBool(Obj.Data, "blocks_sight", false, p.BlocksSight, Error))
    return false;
  if (p.Asset.empty()) return Refuse(Error, "a prop needs an \"asset\"");
  Out = std::move(p);
  return true;
}

TMapObject TMapProp::ToObject() const {
  TMapObject o = TMapObject::Make(kType);
  if (Data.is_object()) o.Data = Data;
  o.Data["type"] = kType;
  o.Data["asset"] = Asset;
  WriteNumber(o.Data, "x", X);
  WriteNumber(o.Data, "y", Y);
  WriteNumber(o.Data, "rotation", Rotation);
  WriteNumber(o.Data, "scale", Scale);
  o.Data["mirror"] = Mirror;
  o.Data["shadow"] = Shadow;
  WriteNumber(o.Data, "shadow_x", ShadowX);
  WriteNumber(o.Data, "shadow_y", ShadowY);
  WriteNumber(o.Data, "shadow_soft", ShadowSoftness);
  WriteNumber(o.Data, "shadow_opacity", ShadowOpacity);
  o.Data["blocks_sight"] = BlocksSight;
  o.Id = Id;
  return o;
}
