#include "map/objects/object_fields.h"

#include <cmath>
#include <cstdio>

#include "map/base/text_encoding.h"

namespace objfields {

namespace {

std::string Field(const char* Key) { return std::string("\"") + Key + "\""; }

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

}  // namespace

bool Refuse(std::string* Error, const std::string& Message) {
  if (Error) *Error = Message;
  return false;
}

bool CheckType(const std::string& Actual, const char* Type, std::string* Error) {
  if (Actual == Type) return true;
  return Refuse(Error, "the object is a \"" + Actual + "\", not a \"" + Type + "\"");
}

std::string ColorText(TColor32 C) {
  char text[12];
  std::snprintf(text, sizeof text, "#%08X", unsigned(C));
  return text;
}

bool ParseColorText(const std::string& Text, TColor32& C) {
  if ((Text.size() != 9 && Text.size() != 7) || Text[0] != '#') return false;
  TColor32 v = 0;
  for (size_t i = 1; i < Text.size(); ++i) {
    const int d = HexDigit(Text[i]);
    if (d < 0) return false;
    v = (v << 4) | TColor32(d);
  }
  C = Text.size() == 7 ? (v | 0xFF000000u) : v;
  return true;
}

bool ReadNumber(const TJson& Data, const char* Key, double Default, double Min, double Max,
                double& Out, std::string* Error) {
  const auto it = Data.find(Key);
  if (it == Data.end()) {
    Out = Default;
    return true;
  }
  if (!it->is_number()) return Refuse(Error, Field(Key) + " is not a number");
  const double v = it->get<double>();
  if (!std::isfinite(v) || v < Min || v > Max) {
    char range[96];
    std::snprintf(range, sizeof range, " must lie between %g and %g", Min, Max);
    return Refuse(Error, Field(Key) + range);
  }
  Out = v;
  return true;
}

bool ReadInt(const TJson& Data, const char* Key, int32_t Default, int32_t Min, int32_t Max,
             int32_t& Out, std::string* Error) {
  double v = 0;
  if (!ReadNumber(Data, Key, Default, Min, Max, v, Error)) return false;
  if (v != std::floor(v)) return Refuse(Error, Field(Key) + " is not a whole number");
  Out = int32_t(v);
  return true;
}

bool ReadColor(const TJson& Data, const char* Key, TColor32 Default, TColor32& Out,
               std::string* Error) {
  const auto it = Data.find(Key);
  if (it == Data.end()) {
    Out = Default;
    return true;
  }
  if (!it->is_string() || !ParseColorText(it->get<std::string>(), Out))
    return Refuse(Error, Field(Key) + " is not a colour \"#AARRGGBB\"");
  return true;
}

bool ReadBool(const TJson& Data, const char* Key, bool Default, bool& Out, std::string* Error) {
  const auto it = Data.find(Key);
  if (it == Data.end()) {
    Out = Default;
    return true;
  }
  if (!it->is_boolean()) return Refuse(Error, Field(Key) + " is not true or false");
  Out = it->get<bool>();
  return true;
}

bool ReadText(const TJson& Data, const char* Key, const std::string& Default, size_t MaxLength,
              std::string& Out, std::string* Error) {
  const auto it = Data.find(Key);
  if (it == Data.end()) {
    Out = Default;
    return true;
  }
  if (!it->is_string()) return Refuse(Error, Field(Key) + " is not a text");
  std::string v = it->get<std::string>();
  if (v.size() > MaxLength)
    return Refuse(Error, Field(Key) + " is longer than " + std::to_string(MaxLength) + " bytes");
  if (!IsValidUtf8(v)) return Refuse(Error, Field(Key) + " is not UTF-8 text");
  Out = std::move(v);
  return true;
}

void WriteNumber(TJson& Data, const char* Key, double Value) {
  if (Value == std::floor(Value) && std::fabs(Value) < 9e15)
    Data[Key] = int64_t(Value);
  else
    Data[Key] = Value;
}

}  // namespace objfields
