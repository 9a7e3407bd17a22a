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

// Baseline JPEG at Quality, written scanline by scanline to an open file. With
// Dpi > 0 the JFIF density is stored in dots per inch. Raises EImageError naming
// Name on any failure.
class TJpegRowWriter {
 public:
  TJpegRowWriter(std::FILE* File, int32_t Width, int32_t Height, int Quality,
                 const std::string& Name, int32_t Dpi = 0);
  ~TJpegRowWriter();
  TJpegRowWriter(const TJpegRowWriter&) = delete;
  TJpegRowWriter& operator=(const TJpegRowWriter&) = delete;

  // Writes the first Count rows of Band (as wide as the image).
  void WriteRows(const TBitmap32& Band, int32_t Count);
  // Ends the image once every row is written.
  void Finish();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

// 32-bit BMP laid out as the whole-image BMP writer does (bottom-up rows, 72 dpi
// or Dpi when given), fed with bands from the bottom of the image upwards.
// Raises EImageError or EFileError naming Name on any failure.
class TBmpRowWriter {
 public:
  TBmpRowWriter(std::FILE* File, int32_t Width, int32_t Height, const std::string& Name,
                int32_t Dpi = 0);

  // Writes the first Count rows of Band, its last row first: the band lies just
  // above the rows written before.
  void WriteRows(const TBitmap32& Band, int32_t Count);
  void Finish();

 private:
  std::FILE* FFile;
  std::string FName;
  int32_t FWidth, FHeight, FWritten = 0;
  std::unique_ptr<uint8_t[]> FRow;
  void Put(const void* Data, size_t Size);
};
