#pragma once
// Writes images with alpha as PNG files for tests (the program's own writer
// drops alpha, as image output wants).

#include <string>

#include "map/raster/bitmap32.h"

namespace vctest {

// Image as an 8-bit RGBA PNG file at Path; throws when it cannot be written.
void WriteRgbaPng(const std::string& Path, const TBitmap32& Image);

}  // namespace vctest
