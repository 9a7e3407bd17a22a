#include "map/codec/image_band_writer.h"

#include <cerrno>
#include <cstring>

#include "map/raster/bitmap32.h"
#include "record/errors.h"

namespace {

void PutLE(uint8_t*& P, uint32_t V, int Bytes) {
  for (int i = 0; i < Bytes; ++i) *P++ = uint8_t(V >> (8 * i));
}

}  // namespace

TBmpRowWriter::TBmpRowWriter(std::FILE* File, int32_t Width, int32_t Height,
                             const std::string& Name, int32_t Dpi)
    : FFile(File), FName(Name), FWidth(Width), FHeight(Height) {
  if (Width <= 0 || Height <= 0)
    throw EImageError("Cannot write the bitmap \"" + Name + "\": the image is empty");
  const uint64_t dataSize = uint64_t(Width) * uint64_t(Height) * 4;
  if (dataSize > 0xFFFFFFFFull - 54)
    throw EImageError("Cannot write the bitmap \"" + Name + "\": the image is too large");
  // Pixels per metre; 2835 is 72 dpi.
  const uint32_t ppm = Dpi > 0 ? uint32_t((int64_t(Dpi) * 10000 + 127) / 254) : 2835;
  uint8_t header[54];
  uint8_t* p = header;
  *p++ = 'B';
  *p++ = 'M';
  PutLE(p, uint32_t(54 + dataSize), 4);  // file size
  PutLE(p, 0, 4);                        // reserved
  PutLE(p, 54, 4);                       // offset of the pixels
  PutLE(p, 40, 4);                       // BITMAPINFOHEADER
  PutLE(p, uint32_t(Width), 4);
  PutLE(p, uint32_t(Height), 4);  // positive: bottom-up rows
  PutLE(p, 1, 2);                 // planes
  PutLE(p, 32, 2);                // bits per pixel
  PutLE(p, 0, 4);                 // BI_RGB
  PutLE(p, uint32_t(dataSize), 4);
  PutLE(p, ppm, 4);
  PutLE(p, ppm, 4);
  PutLE(p, 0, 4);
  PutLE(p, 0, 4);
  FRow = std::make_unique<uint8_t[]>(size_t(Width) * 4);
  Put(header, sizeof header);
}

void TBmpRowWriter::Put(const void* Data, size_t Size) {
  errno = 0;
  if (std::fwrite(Data, 1, Size, FFile) != Size)
    throw EFileError("Cannot write \"" + FName + "\": " + std::strerror(errno ? errno : EIO));
}

void TBmpRowWriter::WriteRows(const TBitmap32& Band, int32_t Count) {
  if (Band.Width() != FWidth || Count < 0 || Count > Band.Height() || Count > FHeight - FWritten)
    throw EImageError("Cannot write the bitmap \"" + FName + "\": the rows do not fit the image");
  uint8_t* row = FRow.get();
  for (int32_t y = Count - 1; y >= 0; --y) {
    const TColor32* s = Band.ScanLine(y);
    for (int32_t x = 0; x < FWidth; ++x) {
      row[4 * x] = uint8_t(s[x]);
      row[4 * x + 1] = uint8_t(s[x] >> 8);
      row[4 * x + 2] = uint8_t(s[x] >> 16);
      row[4 * x + 3] = uint8_t(s[x] >> 24);
    }
    Put(row, size_t(FWidth) * 4);
  }
  FWritten += Count;
}

void TBmpRowWriter::Finish() {
  if (FWritten != FHeight)
    throw EImageError("Cannot write the bitmap \"" + FName + "\": not every row was written");
  if (std::fflush(FFile) != 0)
    throw EFileError("Cannot write \"" + FName + "\": " + std::strerror(errno ? errno : EIO));
}
