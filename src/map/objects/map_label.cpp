#include "map/objects/map_label.h"

#include "map/objects/object_fields.h"

using namespace objfields;

namespace {
constexpr int32_t kCoordLimit = 1000000000;
}

const char* LabelAlignName(TLabelAlign A) {
  switch (A) {
    case TLabelAlign::Left:
      return "left";
    case TLabelAlign::Right:
      return "right";
    case TLabelAlign::Center:
      break;
  }
  return "center";
}

bool ParseLabelAlign(const std::string& Text, TLabelAlign& A) {
  for (TLabelAlign a : {TLabelAlign::Left, TLabelAlign::Center, TLabelAlign::Right})
    if (Text == LabelAlignName(a)) {
      A = a;
      return true;
    }
  return false;
}

bool TMapLabel::FromObject(const TMapObject& Obj, TMapLabel& Out, std::string* Error) {
  if (!CheckType(Obj.Type, kType, Error)) return false;
  TMapLabel l;
  l.Id = Obj.Id;
  l.Data = Obj.Data;
  std::string align;
  if (!ReadInt(Obj.Data, "x", 0, -kCoordLimit, kCoordLimit, l.X, Error) ||
      !ReadInt(Obj.Data, "y", 0, -kCoordLimit, kCoordLimit, l.Y, Error) ||
      !ReadText(Obj.Data, "text", "", kMaxText, l.Text, Error) ||
      !ReadNumber(Obj.Data, "size", 0.5, kMinSize, kMaxSize, l.Size, Error) ||
      !ReadColor(Obj.Data, "color", 0xFF000000, l.Color, Error) ||
      !ReadText(Obj.Data, "align", "center", 16, align, Error))
    return false;
  if (!ParseLabelAlign(align, l.Align))
    return Refuse(Error, "\"align\" is not left, center or right");
  const auto outline = Obj.Data.find("outline");
  if (outline != Obj.Data.end() && !outline->is_null()) {
    TColor32 c = 0;
    if (!ReadColor(Obj.Data, "outline", 0, c, Error)) return false;
    l.Outline = c;
  }
  Out = std::move(l);
  return true;
}

TMapObject TMapLabel::ToObject() const {
  TMapObject o = TMapObject::Make(kType);
  if (Data.is_object()) o.Data = Data;
  o.Data["type"] = kType;
  o.Data["x"] = X;
  o.Data["y"] = Y;
  o.Data["text"] = Text;
  WriteNumber(o.Data, "size", Size);
  o.Data["color"] = ColorText(Color);
  if (Outline)
    o.Data["outline"] = ColorText(*Outline);
  else
    o.Data.erase("outline");
  o.Data["align"] = LabelAlignName(Align);
  o.Id = Id;
  return o;
}
