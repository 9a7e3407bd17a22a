#pragma once
// The image sizes virtual tabletops and printers expect, as named presets, and the
// check that an image stays within the side most programs accept. Shared by the
// output and Universal VTT dialogs and the command-line tool.

#include <cstdint>
#include <optional>
#include <string>

#include "map/output/print_layout.h"

enum class TOutputPreset : uint8_t { Foundry, Roll20, Print300, Custom };

constexpr int TOutputPresetCount = 4;

// The side beyond which many programs (browsers, virtual tabletops, GPUs) refuse
// an image.
constexpr int64_t kLargeImageSide = 16384;

// "Foundry / Universal VTT (100 px per cell)", "Roll20 (70 px per cell)",
// "print at 300 dpi", "custom".
const char* OutputPresetName(TOutputPreset Preset);
// The command-line word: "foundry", "roll20", "print300", "custom".
const char* OutputPresetKey(TOutputPreset Preset);
// The preset of a command-line word, case ignored; nothing for another word.
std::optional<TOutputPreset> OutputPresetFromKey(const std::string& Key);

// What a preset sets: image pixels per cell and the resolution stored in the
// file (0 stores none).
struct TPresetSize {
  int32_t PixelsPerCell = 0;
  int32_t Dpi = 0;
};

// The resolution of the print preset.
constexpr int32_t kPrintPresetDpi = 300;

// The size a preset gives. Print300 takes the printed cell size (CellSize in
// Unit), rounded to whole pixels at 300 dpi, at least 1; Custom gives Custom
// unchanged.
TPresetSize PresetSize(TOutputPreset Preset, double CellSize = 1.0,
                       TPrintUnit Unit = TPrintUnit::Inch, TPresetSize Custom = {});

// The preset that gives PixelsPerCell and Dpi, Custom when none does.
TOutputPreset MatchPreset(int32_t PixelsPerCell, int32_t Dpi, double CellSize = 1.0,
                          TPrintUnit Unit = TPrintUnit::Inch);

// The image of a MapWidth x MapHeight-cell map at PixelsPerCell, and whether a
// side exceeds Limit; then Suggested is the largest pixels per cell that fits
// (0 when not even one pixel per cell does).
struct TImageSizeCheck {
  int64_t Width = 0, Height = 0;
  bool TooLarge = false;
  int32_t Suggested = 0;
};
TImageSizeCheck CheckImageSize(int32_t MapWidth, int32_t MapHeight, int32_t PixelsPerCell,
                               int64_t Limit = kLargeImageSide);

// "The image will be 20000 x 8000 pixels, more than 16384 a side, which many
// programs refuse; 81 pixels per cell fit." Empty when the image is not too large.
std::string LargeImageWarning(const TImageSizeCheck& Check, int64_t Limit = kLargeImageSide);
