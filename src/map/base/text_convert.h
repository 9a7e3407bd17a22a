#pragma once
// Text helpers shared by the map file, layer image sources and layer sets.

#include <cstdint>
#include <optional>
#include <string>

// Cuts Text at the first Separator: Token gets the text before it and Text loses
// everything up to and including the separator. Without a separator, Token is the
// whole text and Text becomes empty. Text is UTF-8, so a match always falls on a
// character boundary.
void CutToken(std::string& Text, const std::string& Separator, std::string& Token);

// The general integer conversion: optional leading blanks, an optional sign, then
// decimal digits, or hexadecimal after "$", "x", "X" or "0x". The value must fit a
// signed 32-bit integer. Returns nothing when Text does not convert.
std::optional<int32_t> TryStrToInt(const std::string& Text);
// As TryStrToInt, raising EConvertError "'%s' は整数ではありません" on failure.
int32_t StrToInt(const std::string& Text);
// An unsigned 32-bit decimal number (door colours), raising the same error.
uint32_t StrToUInt32(const std::string& Text);
