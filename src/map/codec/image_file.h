#pragma once
// Reading and writing image files into and from TBitmap32.
// Decoders refuse images that claim more than MaxDecodePixels before allocating.

#include <cstddef>
#include <cstdint>
#include <string>

#include "map/raster/bitmap32.h"

// 2^28 pixels: 16384 x 16384.
constexpr int64_t MaxDecodePixels = int64_t(1) << 28;
// The largest image file read: an uncompressed 32-bit image of MaxDecodePixels
// with room for headers and metadata.
constexpr int64_t MaxImageFileBytes = MaxDecodePixels * 4 + (int64_t(16) << 20);

// The extension of the file name in Path (after its last "/" or "\\"), dot
// included and lower-cased; empty when there is none.
std::string LowerExtension(const std::string& Path);

// Decodes an image file chosen by extension, case ignored: ".png" through libpng,
// ".jpg" through libjpeg, anything else through the general loader (BMP, GIF and
// TGA). Raises EFileError (cannot open) or EImageError (cannot
// decode, too large) with a message that names the file.
void LoadImageFile(const std::string& Path, TBitmap32& Dest);

// Decodes an image held in memory. The format is recognised by its signature
// (PNG, JPEG); otherwise ExtHint (".png", ".jpg", ".bmp", ...) picks the decoder and
// anything else goes to the general loader. Name is used in error messages. On
// failure Dest is left unchanged and EImageError is raised.
void DecodeImage(const uint8_t* Data, size_t Size, const std::string& ExtHint, TBitmap32& Dest,
                 const std::string& Name = "<memory>");

// The writers used by image output; each raises EFileError/EImageError on failure.
// PNG: 8-bit RGB, no alpha, compression level 9, not interlaced.
void SavePNGFile(const TBitmap32& Source, const std::string& Path);
// Baseline colour JPEG.
void SaveJPEGFile(const TBitmap32& Source, const std::string& Path, int Quality = 90);
// 32-bit Windows bitmap.
void SaveBmpFile(const TBitmap32& Source, const std::string& Path);
