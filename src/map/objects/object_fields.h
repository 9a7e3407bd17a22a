#pragma once
// Reading and writing the fields of an object's JSON, with the checks the typed
// views share: numbers within a range, colours as "#AARRGGBB", flags, texts.
// Readers give false and an error text naming the field; writers put the value
// in place, keeping the key's position when it exists.

#include <nlohmann/json.hpp>
#include <string>

#include "map/base/color.h"

namespace objfields {

using TJson = nlohmann::ordered_json;

// "#AARRGGBB" (upper-case digits) for C.
std::string ColorText(TColor32 C);
// "#AARRGGBB" or "#RRGGBB" (alpha 255), digits of either case.
bool ParseColorText(const std::string& Text, TColor32& C);

// The field Key of Data when present, Default when absent; false for a value of
// the wrong kind or outside Min..Max.
bool ReadNumber(const TJson& Data, const char* Key, double Default, double Min, double Max,
                double& Out, std::string* Error);
bool ReadInt(const TJson& Data, const char* Key, int32_t Default, int32_t Min, int32_t Max,
             int32_t& Out, std::string* Error);
bool ReadColor(const TJson& Data, const char* Key, TColor32 Default, TColor32& Out,
               std::string* Error);
bool ReadBool(const TJson& Data, const char* Key, bool Default, bool& Out, std::string* Error);
// A text of at most MaxLength bytes of valid UTF-8.
bool ReadText(const TJson& Data, const char* Key, const std::string& Default, size_t MaxLength,
              std::string& Out, std::string* Error);

// Sets Data[Key]; a whole number is written without a fraction.
void WriteNumber(TJson& Data, const char* Key, double Value);

// Fails FromObject: stores Message in Error (when given) and gives false.
bool Refuse(std::string* Error, const std::string& Message);

// True when Actual is Type; otherwise false with an error text.
bool CheckType(const std::string& Actual, const char* Type, std::string* Error);

}  // namespace objfields
