#include "map/objects/map_style.h"

#include "map/objects/map_object_list.h"
#include "map/objects/object_fields.h"

using namespace objfields;

namespace {

const char* const kWalls[] = {"hatching", "grey"};
const char* const kLines[] = {"solid", "dashed", "dotted"};

// A text field that must be one of Names; its index in Out.
template <size_t N>
bool ReadChoice(const TJson& Data, const char* Key, const char* const (&Names)[N], int& Out,
                std::string* Error) {
  std::string text;
  if (!ReadText(Data, Key, Names[Out], 32, text, Error)) return false;
  for (size_t i = 0; i < N; ++i)
    if (text == Names[i]) {
      Out = int(i);
      return true;
    }
  std::string list;
  for (size_t i = 0; i < N; ++i) list += (i ? ", " : "") + std::string(Names[i]);
  return Refuse(Error, std::string("\"") + Key + "\" must be one of " + list);
}

bool ReadSeed(const TJson& Data, const char* Key, uint32_t& Out, std::string* Error) {
  double v = 0;
  if (!ReadNumber(Data, Key, Out, 0, 4294967295.0, v, Error)) return false;
  if (v != double(uint32_t(v)))
    return Refuse(Error, std::string("\"") + Key + "\" must be a whole number");
  Out = uint32_t(v);
  return true;
}

}  // namespace

bool TMapStyle::FromObject(const TMapObject& Obj, TMapStyle& Out, std::string* Error) {
  if (!CheckType(Obj.Type, kType, Error)) return false;
  TMapStyle st;
  st.Id = Obj.Id;
  st.Data = Obj.Data;
  TMapStyleOptions& s = st.Settings.Looks;
  const TJson& d = Obj.Data;
  int32_t opacity = s.Shadow.Opacity;
  int walls = 0, line = 0;
  if (!ReadBool(d, "hatching", false, s.Hatching.Enabled, Error) ||
      !ReadInt(d, "hatch_distance", s.Hatching.Distance, 1, kMaxStyleLength, s.Hatching.Distance,
               Error) ||
      !ReadInt(d, "hatch_spacing", s.Hatching.Spacing, 2, 32, s.Hatching.Spacing, Error) ||
      !ReadColor(d, "hatch_color", s.Hatching.Color, s.Hatching.Color, Error) ||
      !ReadSeed(d, "hatch_seed", s.Hatching.Seed, Error) ||
      !ReadBool(d, "shadow", false, s.Shadow.Enabled, Error) ||
      !ReadInt(d, "shadow_angle", s.Shadow.Angle, -360, 360, s.Shadow.Angle, Error) ||
      !ReadInt(d, "shadow_length", s.Shadow.Length, 1, kMaxStyleLength, s.Shadow.Length, Error) ||
      !ReadInt(d, "shadow_softness", s.Shadow.Softness, 0, kMaxStyleLength, s.Shadow.Softness,
               Error) ||
      !ReadInt(d, "shadow_opacity", opacity, 0, 255, opacity, Error) ||
      !ReadBool(d, "outline", false, s.Outline.Enabled, Error) ||
      !ReadInt(d, "outline_width", s.Outline.Width, 1, 32, s.Outline.Width, Error) ||
      !ReadInt(d, "outline_roughness", s.Outline.Roughness, 0, 8, s.Outline.Roughness, Error) ||
      !ReadColor(d, "outline_color", s.Outline.Color, s.Outline.Color, Error) ||
      !ReadSeed(d, "outline_seed", s.Outline.Seed, Error) ||
      !ReadBool(d, "ink_saving", false, s.InkSaving.Enabled, Error) ||
      !ReadChoice(d, "ink_walls", kWalls, walls, Error) ||
      !ReadChoice(d, "grid_line", kLines, line, Error) ||
      !ReadInt(d, "grid_opacity", 100, 0, 100, st.Settings.GridOpacity, Error))
    return false;
  if (s.Shadow.Softness > s.Shadow.Length)
    return Refuse(Error, "\"shadow_softness\" must not be more than \"shadow_length\"");
  s.Shadow.Opacity = uint8_t(opacity);
  s.InkSaving.Walls = walls == 1 ? TInkWalls::Grey : TInkWalls::Hatching;
  st.Settings.GridStyle = TGridLineStyle(line);
  Out = std::move(st);
  return true;
}

TMapObject TMapStyle::ToObject() const {
  TMapObject o = TMapObject::Make(kType);
  if (Data.is_object()) o.Data = Data;
  const TMapStyleOptions& s = Settings.Looks;
  TJson& d = o.Data;
  d["type"] = kType;
  d["hatching"] = s.Hatching.Enabled;
  d["hatch_distance"] = s.Hatching.Distance;
  d["hatch_spacing"] = s.Hatching.Spacing;
  d["hatch_color"] = ColorText(s.Hatching.Color);
  d["hatch_seed"] = s.Hatching.Seed;
  d["shadow"] = s.Shadow.Enabled;
  d["shadow_angle"] = s.Shadow.Angle;
  d["shadow_length"] = s.Shadow.Length;
  d["shadow_softness"] = s.Shadow.Softness;
  d["shadow_opacity"] = s.Shadow.Opacity;
  d["outline"] = s.Outline.Enabled;
  d["outline_width"] = s.Outline.Width;
  d["outline_roughness"] = s.Outline.Roughness;
  d["outline_color"] = ColorText(s.Outline.Color);
  d["outline_seed"] = s.Outline.Seed;
  d["ink_saving"] = s.InkSaving.Enabled;
  d["ink_walls"] = kWalls[s.InkSaving.Walls == TInkWalls::Grey ? 1 : 0];
  d["grid_line"] = kLines[int(Settings.GridStyle) % 3];
  d["grid_opacity"] = Settings.GridOpacity;
  o.Id = Id;
  return o;
}

const TMapObject* FindStyleObject(const TMapObjectList& Objects) {
  for (const TMapObject& o : Objects.Items())
    if (o.Type == TMapStyle::kType) return &o;
  return nullptr;
}

TMapStyleSettings StoredMapStyle(const TMapObjectList& Objects, std::string* Error) {
  const TMapObject* o = FindStyleObject(Objects);
  TMapStyle st;
  if (!o) return {};
  if (!TMapStyle::FromObject(*o, st, Error)) return {};
  return st.Settings;
}
