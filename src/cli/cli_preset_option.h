#pragma once
// The --preset option of render and export-vtt, and the warning for images too
// large for many programs.

#include <cstdint>
#include <string>

#include "map/output/output_preset.h"

namespace vcli {

// A --preset word (foundry, roll20, print300, custom); a usage error otherwise.
TOutputPreset ParsePreset(const std::string& Text);

// Writes a warning line to standard error when a MapWidth x MapHeight-cell image
// at PixelsPerCell has a side over kLargeImageSide, naming the value of Option
// that fits.
void WarnLargeImage(int32_t MapWidth, int32_t MapHeight, int32_t PixelsPerCell,
                    const char* Option);

}  // namespace vcli
