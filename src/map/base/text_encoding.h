#pragma once
// Text encodings of map files: texts are held as UTF-8 inside the program; files
// written by older installations hold Shift JIS (code page 932).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// True when Text is well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(const std::string& Text);
// The offset of the first byte where Text stops being well-formed UTF-8, or
// std::string::npos when all of it is.
size_t InvalidUtf8At(const std::string& Text);

// Shift JIS (code page 932) to UTF-8. Raises EConvertError naming the first byte
// offset that is not valid code page 932.
std::string Cp932ToUtf8(const std::string& Text);

// UTF-8 to Shift JIS (code page 932), or nothing when a character has no exact
// code page 932 form (converting back would not give Text again).
std::optional<std::string> Utf8ToCp932(const std::string& Text);

// Shift JIS (code page 932) to UTF-8 without raising: false, with FailedAt the
// offset of the first byte that does not convert, when Text is not code page 932.
bool TryCp932ToUtf8(const std::string& Text, std::string& Out, size_t& FailedAt);

// For a text file that is neither UTF-8 nor Shift JIS as a whole: the 1-based
// number of the first line (lines end at CR LF, CR or LF) that is neither on its
// own, or else of the line holding byte Cp932FailedAt, where reading it as Shift
// JIS failed.
int64_t UndecodableLine(const std::string& Text, size_t Cp932FailedAt);

// What keeps Text from being a layer's name or image source, which the map file
// holds on a line of their own as UTF-8 or Shift JIS: empty when nothing does;
// otherwise "it is not UTF-8 text (byte N)" or "it holds a line break".
std::string LayerTextProblem(const std::string& Text);
