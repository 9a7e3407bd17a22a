#include "map/codec/image_band_writer.h"

#include <cerrno>
#include <cstring>

#include "map/codec/bmp_header.h"
#include "map/raster/bitmap32.h"
#include "record/errors.h"

TBmpRowWriter::TBmpRowWriter(std::FILE* File, int32_t Width, int32_t Height,
                             const std::string& Name, int32_t Dpi)
    : FFile(File), FName(Name), FWidth(Width), FHeight(Height) {
  const std::array<uint8_t, kBmpHeaderSize> header = BmpHeader(Width, Height, Dpi, Name);
  FRow = std::make_unique<uint8_t[]>(size_t(Width) * 4);
  Put(header.data(), header.size());
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
