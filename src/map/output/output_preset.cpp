#include "map/output/output_preset.h"

#include <strings.h>

#include <algorithm>
#include <cmath>

namespace {

struct TPresetInfo {
  TOutputPreset Preset;
  const char* Name;
  const char* Key;
};

constexpr TPresetInfo kPresets[TOutputPresetCount] = {
    {TOutputPreset::Foundry, "Foundry / Universal VTT (100 px per cell)", "foundry"},
    {TOutputPreset::Roll20, "Roll20 (70 px per cell)", "roll20"},
    {TOutputPreset::Print300, "print at 300 dpi", "print300"},
    {TOutputPreset::Custom, "custom", "custom"},
};

const TPresetInfo& Info(TOutputPreset Preset) {
  return kPresets[std::min<int>(int(Preset), TOutputPresetCount - 1)];
}

}  // namespace

const char* OutputPresetName(TOutputPreset Preset) { return Info(Preset).Name; }
const char* OutputPresetKey(TOutputPreset Preset) { return Info(Preset).Key; }

std::optional<TOutputPreset> OutputPresetFromKey(const std::string& Key) {
  for (const TPresetInfo& p : kPresets)
    if (strcasecmp(p.Key, Key.c_str()) == 0) return p.Preset;
  return std::nullopt;
}

TPresetSize PresetSize(TOutputPreset Preset, double CellSize, TPrintUnit Unit,
                       TPresetSize Custom) {
  switch (Preset) {
    case TOutputPreset::Foundry:
      return {100, 0};
    case TOutputPreset::Roll20:
      return {70, 0};
    case TOutputPreset::Print300: {
      const double px = CellSize * kPrintPresetDpi / PrintUnitDivisor(Unit);
      // A nonsense size falls back to one inch; huge ones are bounded by the callers.
      const double rounded = std::isfinite(px) && px > 0 ? std::floor(px + 0.5) : kPrintPresetDpi;
      return {int32_t(std::clamp(rounded, 1.0, 1e6)), kPrintPresetDpi};
    }
    default:
      return Custom;
  }
}

TOutputPreset MatchPreset(int32_t PixelsPerCell, int32_t Dpi, double CellSize, TPrintUnit Unit) {
  for (const TPresetInfo& p : kPresets) {
    if (p.Preset == TOutputPreset::Custom) continue;
    const TPresetSize s = PresetSize(p.Preset, CellSize, Unit);
    if (s.PixelsPerCell == PixelsPerCell && s.Dpi == Dpi) return p.Preset;
  }
  return TOutputPreset::Custom;
}

TImageSizeCheck CheckImageSize(int32_t MapWidth, int32_t MapHeight, int32_t PixelsPerCell,
                               int64_t Limit) {
  TImageSizeCheck c;
  c.Width = int64_t(std::max(0, MapWidth)) * std::max(0, PixelsPerCell);
  c.Height = int64_t(std::max(0, MapHeight)) * std::max(0, PixelsPerCell);
  c.TooLarge = c.Width > Limit || c.Height > Limit;
  if (c.TooLarge) {
    const int64_t cells = std::max<int64_t>(1, std::max(MapWidth, MapHeight));
    c.Suggested = int32_t(std::min<int64_t>(Limit / cells, PixelsPerCell));
  }
  return c;
}

std::string LargeImageWarning(const TImageSizeCheck& Check, int64_t Limit) {
  if (!Check.TooLarge) return {};
  std::string s = "The image will be " + std::to_string(Check.Width) + " x " +
                  std::to_string(Check.Height) + " pixels, more than " + std::to_string(Limit) +
                  " a side, which many programs refuse; ";
  if (Check.Suggested > 0)
    s += std::to_string(Check.Suggested) + " pixels per cell fit.";
  else
    s += "the map is too large even at one pixel per cell.";
  return s;
}
