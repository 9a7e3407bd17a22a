#include "map/codec/bmp_header.h"

#include "record/errors.h"

std::array<uint8_t, kBmpHeaderSize> BmpHeader(int32_t Width, int32_t Height, int32_t Dpi,
                                              const std::string& Name) {
  if (Width <= 0 || Height <= 0)
    throw EImageError("Cannot write the bitmap \"" + Name + "\": the image is empty");
  const uint64_t dataSize = uint64_t(Width) * uint64_t(Height) * 4;
  if (dataSize > 0xFFFFFFFFull - kBmpHeaderSize)
    throw EImageError("Cannot write the bitmap \"" + Name + "\": the image is too large");
  // Pixels per metre; 2835 is 72 dpi.
  const uint32_t ppm = Dpi > 0 ? uint32_t((int64_t(Dpi) * 10000 + 127) / 254) : 2835;
  std::array<uint8_t, kBmpHeaderSize> header{};
  uint8_t* p = header.data();
  *p++ = 'B';
  *p++ = 'M';
  PutLE(p, uint32_t(kBmpHeaderSize + dataSize), 4);  // file size
  PutLE(p, 0, 4);                                    // reserved
  PutLE(p, kBmpHeaderSize, 4);                       // offset of the pixels
  PutLE(p, 40, 4);                                   // BITMAPINFOHEADER
  PutLE(p, uint32_t(Width), 4);
  PutLE(p, uint32_t(Height), 4);  // positive: bottom-up rows
  PutLE(p, 1, 2);                 // planes
  PutLE(p, 32, 2);                // bits per pixel
  PutLE(p, 0, 4);                 // BI_RGB
  PutLE(p, uint32_t(dataSize), 4);
  PutLE(p, ppm, 4);
  PutLE(p, ppm, 4);
  PutLE(p, 0, 4);  // colours used
  PutLE(p, 0, 4);  // important colours
  return header;
}
