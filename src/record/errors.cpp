#include "record/errors.h"

namespace {

// Replaces the placeholders ("%s", "%d") of Format by Args in order.
std::string Substitute(const char* Format, const std::string* Args, size_t N) {
  std::string out;
  size_t next = 0;
  for (const char* p = Format; *p; ++p) {
    if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && next < N) {
      out += Args[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

std::string FormatMessage(const char* Format, const std::string& A) {
  return Substitute(Format, &A, 1);
}

std::string FormatMessage(const char* Format, const std::string& A, const std::string& B) {
  const std::string args[2] = {A, B};
  return Substitute(Format, args, 2);
}
