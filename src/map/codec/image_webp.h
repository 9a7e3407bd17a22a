#pragma once
// WebP output through libwebp: lossless, or lossy at a quality from 0 to 100. WebP
// keeps the whole picture until it is encoded, so the row writer gathers the
// rows first and encodes them when the image is finished.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class TBitmap32;

// The largest side of a WebP image in pixels.
constexpr int32_t kMaxWebpSide = 16383;

struct TWebpSettings {
  bool Lossless = true;
  int32_t Quality = 90;  // 0 (smallest) to 100 (best); the effort when lossless
};

// Throws EImageError naming Name when a W x H image cannot be WebP: empty, or a
// side over kMaxWebpSide.
void CheckWebpSize(int64_t W, int64_t H, const std::string& Name);

// Writes Source as WebP to an open file, without alpha (as the PNG output).
// Raises EImageError naming Name on failure.
void EncodeWebP(const TBitmap32& Source, std::FILE* File, const TWebpSettings& Settings,
                const std::string& Name);

// The writer image output hands bands of rows to; Finish encodes and writes.
class TWebpRowWriter {
 public:
  TWebpRowWriter(std::FILE* File, int32_t Width, int32_t Height, const TWebpSettings& Settings,
                 const std::string& Name);
  ~TWebpRowWriter();
  TWebpRowWriter(const TWebpRowWriter&) = delete;
  TWebpRowWriter& operator=(const TWebpRowWriter&) = delete;

  // Takes the first Count rows of Band (as wide as the image).
  void WriteRows(const TBitmap32& Band, int32_t Count);
  // Encodes the image once every row was given.
  void Finish();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

// Writes Source as a new WebP file at Path; a failed write removes the file.
void SaveWebPFile(const TBitmap32& Source, const std::string& Path,
                  const TWebpSettings& Settings = {});
