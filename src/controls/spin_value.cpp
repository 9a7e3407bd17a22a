#include "controls/spin_value.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

bool ParseSpinInt(const std::string& Text, int64_t& Value) {
  size_t i = 0;
  bool negative = false;
  if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) negative = Text[i++] == '-';
  if (i >= Text.size()) return false;
  int64_t v = 0;
  for (; i < Text.size(); ++i) {
    const char c = Text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    // Past the 32-bit range the text no longer reads as a number.
    if (v > int64_t(std::numeric_limits<int32_t>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min())
    return false;
  Value = v;
  return true;
}

int64_t TSpinIntRules::Read(const std::string& Text) const {
  if (ShowSign && Text == ZeroSign) return 0;
  int64_t v = 0;
  if (!ParseSpinInt(Text, v)) return Clamp(0);
  return v;
}

bool TSpinIntRules::Parses(const std::string& Text) const {
  int64_t v = 0;
  return (ShowSign && Text == ZeroSign) || ParseSpinInt(Text, v);
}

std::string TSpinIntRules::Write(int64_t V) const {
  V = Clamp(V);
  if (!ShowSign || V < 0) return std::to_string(V);
  if (V > 0) return "+" + std::to_string(V);
  return ZeroSign;
}

bool ParseSpinReal(const std::string& Text, char DecimalSeparator, long double& Value) {
  // Accept only the plain forms a person types; strtold would also take
  // "inf", "nan", hexadecimal and leading blanks.
  std::string s;
  size_t i = 0;
  if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) s += Text[i++];
  bool digits = false, separator = false;
  for (; i < Text.size(); ++i) {
    const char c = Text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      s += c;
    } else if (c == DecimalSeparator && !separator) {
      separator = true;
      s += '.';
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i < Text.size() && (Text[i] == 'e' || Text[i] == 'E')) {
    s += 'e';
    ++i;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) s += Text[i++];
    bool expDigits = false;
    for (; i < Text.size() && Text[i] >= '0' && Text[i] <= '9'; ++i) {
      expDigits = true;
      s += Text[i];
    }
    if (!expDigits) return false;
  }
  if (i != Text.size()) return false;
  errno = 0;
  const long double v = std::strtold(s.c_str(), nullptr);
  if (errno == ERANGE || !std::isfinite(v)) return false;
  Value = v;
  return true;
}

std::string FormatSpinReal(long double V, char DecimalSeparator) {
  if (V == 0) return "0";  // also turns -0 into "0"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15Lg", V);
  std::string s = buf;
  if (DecimalSeparator != '.')
    for (char& c : s)
      if (c == '.') c = DecimalSeparator;
  return s;
}

long double TSpinRealRules::Read(const std::string& Text) const {
  long double v = 0;
  if (!ParseSpinReal(Text, DecimalSeparator, v)) return Clamp(0);
  return v;
}

bool TSpinRealRules::Parses(const std::string& Text) const {
  long double v = 0;
  return ParseSpinReal(Text, DecimalSeparator, v);
}

std::string TSpinRealRules::Write(long double V) const {
  V = Clamp(V);
  std::string s = FormatSpinReal(V, DecimalSeparator);
  if (ShowSign && V > 0) s = "+" + s;
  return s;
}

bool IsValidSpinChar(char32_t Key, bool EditorEnabled, bool RealValue, char DecimalSeparator,
                     int CaretPos) {
  const bool control = Key < 32 || Key == 127;
  const bool allowed = (Key >= '0' && Key <= '9') || Key == '+' || Key == '-' ||
                       Key == char32_t(static_cast<unsigned char>(DecimalSeparator)) ||
                       (control && Key != '\r');
  if (!allowed) return false;
  if (!EditorEnabled && (!control || Key == '\b')) return false;
  if (Key == '.' && !RealValue) return false;
  if ((Key == '+' || Key == '-') && CaretPos != 0) return false;
  return true;
}
