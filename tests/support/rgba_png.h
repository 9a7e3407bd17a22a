#pragma once
// Image files written for tests: PNGs that keep alpha (the program's own writer
// drops alpha, as image output wants) and plain one-colour textures.

#include <cstdint>
#include <filesystem>
#include <string>

#include "map/raster/bitmap32.h"

namespace vctest {

// Image as an 8-bit RGBA PNG file at Path; throws when it cannot be written.
void WriteRgbaPng(const std::string& Path, const TBitmap32& Image);
// A 4 x 4 texture of one colour written by the program's own PNG writer, with the
// folders it lies in made first.
void WriteSolidPng(const std::filesystem::path& Path, uint32_t Color);

}  // namespace vctest
