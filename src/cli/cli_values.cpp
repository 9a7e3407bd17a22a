#include "cli/cli_values.h"

#include <cctype>
#include <charconv>

namespace vcli {

std::optional<int32_t> ParseInt(const std::string& Text) {
  const char* first = Text.data();
  const char* last = Text.data() + Text.size();
  if (first != last && *first == '+') ++first;
  if (first == last) return std::nullopt;
  int32_t value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last) return std::nullopt;
  return value;
}

std::optional<std::pair<int32_t, int32_t>> ParseSize(const std::string& Text) {
  size_t x = Text.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  std::optional<int32_t> w = ParseInt(Text.substr(0, x));
  std::optional<int32_t> h = ParseInt(Text.substr(x + 1));
  if (!w || !h || Text[0] == '+' || Text[x + 1] == '+') return std::nullopt;
  return std::make_pair(*w, *h);
}

std::optional<TColor> ParseHexColor(const std::string& Text) {
  if (Text.size() != 7 || Text[0] != '#') return std::nullopt;
  uint32_t rgb = 0;
  for (size_t i = 1; i < 7; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(Text[i]))) return std::nullopt;
  }
  std::from_chars(Text.data() + 1, Text.data() + 7, rgb, 16);
  uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return TColor(r + 256 * g + 65536 * b);
}

std::optional<TColor> ParseDoorColor(const std::string& Text) {
  if (Text == "none") return clNone;
  return ParseHexColor(Text);
}

}  // namespace vcli
