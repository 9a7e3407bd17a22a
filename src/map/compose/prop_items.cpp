#include "map/compose/prop_items.h"

#include <cmath>

#include "map/document/map_edit_layer_list.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_prop.h"

TPropItem PropItemOf(const TMapProp& Prop, int32_t ChipSize) {
  TPropItem item;
  item.Id = Prop.Id;
  item.Path = Prop.Asset;
  item.Transform.CenterX = Prop.X;
  item.Transform.CenterY = Prop.Y;
  item.Transform.Rotation = Prop.Rotation;
  item.Transform.Scale = Prop.Scale * double(ChipSize) / TMapProp::kPixelsPerCell;
  item.Transform.Mirror = Prop.Mirror;
  item.Shadow.On = Prop.Shadow;
  item.Shadow.OffsetX = Prop.ShadowX;
  item.Shadow.OffsetY = Prop.ShadowY;
  item.Shadow.Softness = Prop.ShadowSoftness;
  item.Shadow.Opacity = uint8_t(std::lround(Prop.ShadowOpacity * 255));
  item.BlocksSight = Prop.BlocksSight;
  return item;
}

std::vector<TPropItem> PropItemsOf(const TMapObjectList& Objects, int32_t ChipSize,
                                   std::vector<std::string>* Errors) {
  std::vector<TPropItem> items;
  for (size_t i = 0; i < Objects.Count(); ++i) {
    const TMapObject& o = Objects.At(i);
    if (o.Type != TMapProp::kType) continue;
    TMapProp p;
    std::string error;
    if (TMapProp::FromObject(o, p, &error))
      items.push_back(PropItemOf(p, ChipSize));
    else if (Errors)
      Errors->push_back("object " + std::to_string(i) + ": " + error);
  }
  return items;
}

std::vector<std::string> SyncPropScene(TPropScene& Scene, const TMapEditLayerList& Map) {
  std::vector<std::string> errors;
  Scene.SetItems(PropItemsOf(Map.Objects(), Map.ChipSize(), &errors));
  return errors;
}

std::string MissingPropsWarning(const TPropScene& Scene) {
  if (Scene.Missing().empty()) return {};
  std::string text = "prop images not found or unreadable (shown as placeholders):";
  for (const TPropMissing& m : Scene.Missing()) text += "\n  " + m.Path + " (" + m.Reason + ")";
  return text;
}
