#pragma once
// The individual decoders and encoders behind image_file.h. Each decoder reads the
// header first, refuses images larger than MaxDecodePixels before allocating, and
// raises EImageError naming Name; Dest is only replaced after a full decode.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "map/raster/bitmap32.h"

void DecodePNG(const uint8_t* Data, size_t Size, TBitmap32& Dest, const std::string& Name);
void DecodeJPEG(const uint8_t* Data, size_t Size, TBitmap32& Dest, const std::string& Name);
// The general loader (BMP, GIF, TGA, PSD, PNM, HDR, PIC and PNG/JPEG as well).
void DecodeGeneral(const uint8_t* Data, size_t Size, TBitmap32& Dest, const std::string& Name);

// Encoders writing to an open file; they raise EImageError naming Name.
void EncodePNG(const TBitmap32& Source, std::FILE* File, const std::string& Name);
void EncodeJPEG(const TBitmap32& Source, std::FILE* File, int Quality, const std::string& Name);

// Throws EImageError when W x H is empty or more than MaxDecodePixels.
void CheckDecodeSize(int64_t W, int64_t H, const char* Kind, const std::string& Name);
