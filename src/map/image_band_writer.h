#pragma once
// Writers that take an image a band of rows at a time, so that a large map is
// written without a second full-size picture in memory.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class TBitmap32;

// 8-bit RGB PNG, not interlaced, written row by row to an open file. With Dpi > 0
// the physical resolution (pHYs, pixels per metre) is stored. Raises EImageError
// naming Name on any failure.
class TPngRowWriter {
 public:
  TPngRowWriter(std::FILE* File, int32_t Width, int32_t Height, const std::string& Name,
                int32_t Dpi = 0);
  ~TPngRowWriter();
  TPngRowWriter(const TPngRowWriter&) = delete;
  TPngRowWriter& operator=(const TPngRowWriter&) = delete;

  // Writes the first Count rows of Band (as wide as the image).
  void WriteRows(const TBitmap32& Band, int32_t Count);
  // Ends the image once every row is written.
  void Finish();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};
