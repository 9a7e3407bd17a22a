#include "record/stream.h"

#include <algorithm>
#include <cstring>

size_t TMemoryStream::Read(void* Buffer, size_t Count) {
  size_t n = std::min(Count, FData.size() - std::min(FPosition, FData.size()));
  if (n > 0) std::memcpy(Buffer, FData.data() + FPosition, n);
  FPosition += n;
  return n;
}

size_t TMemoryStream::Write(const void* Buffer, size_t Count) {
  if (FPosition + Count > FData.size()) FData.resize(FPosition + Count);
  if (Count > 0) std::memcpy(FData.data() + FPosition, Buffer, Count);
  FPosition += Count;
  return Count;
}

namespace {

std::string ReadCounted(TStream& Stream, size_t n) {
  std::string s(n, '\0');
  size_t got = n > 0 ? Stream.Read(s.data(), n) : 0;
  s.resize(got);
  size_t zero = s.find('\0');
  if (zero != std::string::npos) s.resize(zero);
  return s;
}

}  // namespace

std::string ReadShortText(TStream& Stream) {
  uint8_t n = 0;
  Stream.ReadRaw(n);
  return ReadCounted(Stream, n);
}

std::string ReadText(TStream& Stream) {
  uint8_t b[2] = {0, 0};
  Stream.Read(b, 2);
  return ReadCounted(Stream, size_t(b[0]) | (size_t(b[1]) << 8));
}

void WriteShortText(TStream& Stream, const std::string& Text) {
  uint8_t n = uint8_t(Text.size() % 256);
  Stream.WriteRaw(n);
  Stream.Write(Text.data(), n);
}

void WriteText(TStream& Stream, const std::string& Text) {
  size_t n = Text.size() % 65536;
  uint8_t b[2] = {uint8_t(n & 0xFF), uint8_t(n >> 8)};
  Stream.Write(b, 2);
  Stream.Write(Text.data(), n);
}
