#include "map/base/text_convert.h"

#include "map/base/text_quote.h"
#include "record/errors.h"

void CutToken(std::string& Text, const std::string& Separator, std::string& Token) {
  // An empty separator is never found (otherwise a caller cutting in a loop would
  // never make progress).
  const size_t at = Separator.empty() ? std::string::npos : Text.find(Separator);
  if (at == std::string::npos) {
    Token = std::move(Text);
    Text.clear();
    return;
  }
  Token = Text.substr(0, at);
  Text.erase(0, at + Separator.size());
}

namespace {

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

// Reads the digits of Text from position I to the end in Base. Fails on an empty
// digit run, on any other character, and once the magnitude passes Limit.
bool ReadMagnitude(const std::string& Text, size_t I, int Base, uint64_t Limit, uint64_t& Value) {
  if (I >= Text.size()) return false;
  Value = 0;
  for (; I < Text.size(); ++I) {
    const int d = HexDigit(Text[I]);
    if (d < 0 || d >= Base) return false;
    Value = Value * uint64_t(Base) + uint64_t(d);
    if (Value > Limit) return false;
  }
  return true;
}

size_t SkipBlanks(const std::string& Text) {
  size_t i = 0;
  while (i < Text.size() && Text[i] == ' ') ++i;
  return i;
}

[[noreturn]] void NotAnInteger(const std::string& Text) {
  // A damaged file's line may be long and hold anything: only its start is shown.
  throw EConvertError(FormatMessage("'%s' は整数ではありません", ClipForMessage(Text)));
}

}  // namespace

std::optional<int32_t> TryStrToInt(const std::string& Text) {
  size_t i = SkipBlanks(Text);
  bool negative = false;
  if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) {
    negative = Text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < Text.size() && (Text[i] == '$' || Text[i] == 'x' || Text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < Text.size() && Text[i] == '0' && (Text[i + 1] == 'x' || Text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  // The magnitude may reach 2^31 only for a negative number.
  const uint64_t limit = negative ? uint64_t(1) << 31 : (uint64_t(1) << 31) - 1;
  uint64_t magnitude = 0;
  if (!ReadMagnitude(Text, i, base, limit, magnitude)) return std::nullopt;
  const int64_t value = negative ? -int64_t(magnitude) : int64_t(magnitude);
  return int32_t(value);
}

int32_t StrToInt(const std::string& Text) {
  std::optional<int32_t> v = TryStrToInt(Text);
  if (!v) NotAnInteger(Text);
  return *v;
}

uint32_t StrToUInt32(const std::string& Text) {
  size_t i = SkipBlanks(Text);
  if (i < Text.size() && Text[i] == '+') ++i;
  uint64_t value = 0;
  if (!ReadMagnitude(Text, i, 10, 0xFFFFFFFFull, value)) NotAnInteger(Text);
  return uint32_t(value);
}
