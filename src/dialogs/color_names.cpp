#include "dialogs/color_names.h"

#include <cstdio>

namespace {

struct TColorName {
  TColor Value;
  const char* English;
  const char* Japanese;
};

constexpr TColorName ColorNames[] = {
    {0, "Black", "黒"},
    {128, "Maroon", "茶色"},
    {32768, "Green", "緑"},
    {32896, "Olive", "オリーブ"},
    {8388608, "Navy", "紺"},
    {8388736, "Purple", "紫"},
    {8421376, "Teal", "青緑"},
    {8421504, "Gray", "灰色"},
    {12632256, "Silver", "銀色"},
    {255, "Red", "赤"},
    {65280, "Lime", "ライム"},
    {65535, "Yellow", "黄色"},
    {16711680, "Blue", "青"},
    {16711935, "Fuchsia", "赤紫"},
    {16776960, "Aqua", "水色"},
    {16777215, "White", "白"},
    {12639424, "MoneyGreen", "緑"},
    {15780518, "SkyBlue", "空色"},
    {15793151, "Cream", "クリーム色"},
    {10789024, "MedGray", "ミディアムグレー"},
    {16744448, "Cobalt Blue", "コバルトブルー"},
};

}  // namespace

std::string ColorToName(TColor Color, bool Japanese) {
  for (const TColorName& n : ColorNames)
    if (n.Value == Color) return Japanese ? n.Japanese : n.English;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(Color));
  return buf;
}
