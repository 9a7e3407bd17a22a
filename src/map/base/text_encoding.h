#pragma once
// Text encodings of map files: texts are held as UTF-8 inside the program; files
// written by older installations hold Shift JIS (code page 932).

#include <optional>
#include <string>

// True when Text is well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(const std::string& Text);

// Shift JIS (code page 932) to UTF-8. Raises EConvertError naming the first byte
// offset that is not valid code page 932.
std::string Cp932ToUtf8(const std::string& Text);

// UTF-8 to Shift JIS (code page 932), or nothing when a character has no exact
// code page 932 form (converting back would not give Text again).
std::optional<std::string> Utf8ToCp932(const std::string& Text);
