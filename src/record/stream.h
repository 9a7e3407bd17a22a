#pragma once
// Byte streams for the binary stream form of records, and the text helpers that
// read and write length-prefixed strings in it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to Count bytes; returns how many were read (fewer at the end).
  virtual size_t Read(void* Buffer, size_t Count) = 0;
  virtual size_t Write(const void* Buffer, size_t Count) = 0;

  // Reads exactly sizeof(T) raw little-endian bytes into Value. A stream that ends
  // early leaves the bytes not read as they were.
  template <typename T>
  void ReadRaw(T& Value) {
    Read(&Value, sizeof(T));
  }
  template <typename T>
  void WriteRaw(const T& Value) {
    Write(&Value, sizeof(T));
  }
};

// A growable in-memory stream with a read/write position.
class TMemoryStream : public TStream {
 public:
  size_t Read(void* Buffer, size_t Count) override;
  size_t Write(const void* Buffer, size_t Count) override;

  const std::vector<uint8_t>& Bytes() const { return FData; }
  size_t Position() const { return FPosition; }
  void SetPosition(size_t P) { FPosition = P; }
  size_t Size() const { return FData.size(); }

 private:
  std::vector<uint8_t> FData;
  size_t FPosition = 0;
};

// A 1-byte length, then that many bytes; the text ends at the first zero byte.
std::string ReadShortText(TStream& Stream);
// A 2-byte little-endian length, then that many bytes.
std::string ReadText(TStream& Stream);
// Writes the length modulo 256 as one byte, then that many bytes of the text.
void WriteShortText(TStream& Stream, const std::string& Text);
// Writes the length modulo 65536 as two bytes, then that many bytes of the text.
void WriteText(TStream& Stream, const std::string& Text);
