#pragma once
// Quoting text taken from a file or a command line for an error message: a line
// of a damaged file may be megabytes long and hold any byte, and a message is one
// line of readable text.

#include <cstddef>
#include <string>

// Text in double quotes, cut after MaxChars characters (marked by "..." after the
// closing quote); control characters, DEL and bytes that are not UTF-8 are
// written as \xNN and count as one character each.
std::string QuoteForMessage(const std::string& Text, size_t MaxChars = 80);

// The same text without the quotes: "..." follows a text that was cut.
std::string ClipForMessage(const std::string& Text, size_t MaxChars = 80);
