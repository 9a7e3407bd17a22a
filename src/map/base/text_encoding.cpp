#include "map/base/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "record/errors.h"

namespace {

// One iconv conversion descriptor for the length of a call.
class TIconv {
 public:
  TIconv(const char* To, const char* From) : FHandle(iconv_open(To, From)) {
    if (FHandle == reinterpret_cast<iconv_t>(-1))
      throw EConvertError(std::string("The text converter from ") + From + " to " + To +
                          " is not available");
  }
  ~TIconv() { iconv_close(FHandle); }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;

  // Converts all of Text; on a byte sequence that does not convert, returns false
  // with FailedAt holding its offset in Text.
  bool Convert(const std::string& Text, std::string& Out, size_t& FailedAt) {
    Out.clear();
    char* in = const_cast<char*>(Text.data());
    size_t inLeft = Text.size();
    char buffer[4096];
    for (;;) {
      char* out = buffer;
      size_t outLeft = sizeof buffer;
      const size_t r = inLeft > 0 ? iconv(FHandle, &in, &inLeft, &out, &outLeft)
                                  : iconv(FHandle, nullptr, nullptr, &out, &outLeft);
      Out.append(buffer, size_t(out - buffer));
      if (r != size_t(-1)) {
        if (inLeft == 0) {
          // Flush any pending shift state, then done.
          out = buffer;
          outLeft = sizeof buffer;
          iconv(FHandle, nullptr, nullptr, &out, &outLeft);
          Out.append(buffer, size_t(out - buffer));
          return true;
        }
        continue;
      }
      if (errno == E2BIG) continue;
      FailedAt = Text.size() - inLeft;
      return false;
    }
  }

 private:
  iconv_t FHandle;
};

}  // namespace

size_t InvalidUtf8At(const std::string& Text) {
  const auto* p = reinterpret_cast<const unsigned char*>(Text.data());
  const size_t n = Text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return i;
    }
    if (n - i < len) return i;
    for (size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return i;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return i;
    i += len;
  }
  return std::string::npos;
}

bool IsValidUtf8(const std::string& Text) { return InvalidUtf8At(Text) == std::string::npos; }

bool TryCp932ToUtf8(const std::string& Text, std::string& Out, size_t& FailedAt) {
  TIconv conv("UTF-8", "CP932");
  FailedAt = 0;
  return conv.Convert(Text, Out, FailedAt);
}

std::string Cp932ToUtf8(const std::string& Text) {
  std::string out;
  size_t failedAt = 0;
  if (!TryCp932ToUtf8(Text, out, failedAt))
    throw EConvertError("The text is neither UTF-8 nor Shift JIS (byte " +
                        std::to_string(failedAt + 1) + ")");
  return out;
}

std::optional<std::string> Utf8ToCp932(const std::string& Text) {
  std::string out;
  size_t failedAt = 0;
  {
    TIconv conv("CP932", "UTF-8");
    if (!conv.Convert(Text, out, failedAt)) return std::nullopt;
  }
  // Some characters map to code page 932 but come back as another character; only an
  // exact round trip keeps the text.
  std::string back;
  TIconv conv("UTF-8", "CP932");
  if (!conv.Convert(out, back, failedAt) || back != Text) return std::nullopt;
  return out;
}

int64_t UndecodableLine(const std::string& Text, size_t Cp932FailedAt) {
  int64_t line = 1, failedLine = 0;
  size_t start = 0;
  std::string converted;
  for (size_t i = 0; i <= Text.size(); ++i) {
    if (i < Text.size() && Text[i] != '\r' && Text[i] != '\n') continue;
    const std::string piece = Text.substr(start, i - start);
    size_t at = 0;
    if (!IsValidUtf8(piece) && !TryCp932ToUtf8(piece, converted, at)) return line;
    if (failedLine == 0 && Cp932FailedAt >= start && Cp932FailedAt <= i) failedLine = line;
    if (i < Text.size() && Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
    start = i + 1;
    ++line;
  }
  return failedLine > 0 ? failedLine : line - 1;
}

std::string LayerTextProblem(const std::string& Text) {
  const size_t bad = InvalidUtf8At(Text);
  if (bad != std::string::npos) return "it is not UTF-8 text (byte " + std::to_string(bad + 1) + ")";
  if (Text.find_first_of("\r\n") != std::string::npos) return "it holds a line break";
  return {};
}
