#include "map/base/text_quote.h"

#include "map/base/text_encoding.h"

namespace {

// The length of the UTF-8 sequence starting at Text[I], 0 when none starts there.
size_t SequenceLength(const std::string& Text, size_t I) {
  const unsigned char c = static_cast<unsigned char>(Text[I]);
  const size_t len = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3
                                  : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (len == 0 || I + len > Text.size()) return 0;
  return IsValidUtf8(Text.substr(I, len)) ? len : 0;
}


// Text made readable and cut after MaxChars characters; Cut tells whether it was.
std::string Readable(const std::string& Text, size_t MaxChars, bool& Cut) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  size_t chars = 0, i = 0;
  for (; i < Text.size() && chars < MaxChars; ++chars) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    const size_t len = SequenceLength(Text, i);
    // C1 controls (U+0080..U+009F) are two bytes in UTF-8, C2 80..C2 9F.
    const bool c1 = len == 2 && c == 0xC2 && static_cast<unsigned char>(Text[i + 1]) < 0xA0;
    if (len == 0 || c < 0x20 || c == 0x7F || c1) {
      const size_t n = len == 0 ? 1 : len;
      for (size_t k = 0; k < n; ++k) {
        const unsigned char b = static_cast<unsigned char>(Text[i + k]);
        out += "\\x";
        out += kHex[b >> 4];
        out += kHex[b & 15];
      }
      i += n;
    } else {
      out.append(Text, i, len);
      i += len;
    }
  }
  Cut = i < Text.size();
  return out;
}

}  // namespace

std::string QuoteForMessage(const std::string& Text, size_t MaxChars) {
  bool cut = false;
  const std::string text = Readable(Text, MaxChars, cut);
  return "\"" + text + "\"" + (cut ? "..." : "");
}

std::string ClipForMessage(const std::string& Text, size_t MaxChars) {
  bool cut = false;
  const std::string text = Readable(Text, MaxChars, cut);
  return cut ? text + "..." : text;
}
