#include "cli/cli_preset_option.h"

#include <cstdio>

#include "cli/cli_errors.h"

namespace vcli {

TOutputPreset ParsePreset(const std::string& Text) {
  if (const std::optional<TOutputPreset> p = OutputPresetFromKey(Text)) return *p;
  std::string keys;
  for (int i = 0; i < TOutputPresetCount; ++i)
    keys += std::string(i ? ", " : "") + OutputPresetKey(TOutputPreset(i));
  throw TUsageError("--preset takes " + keys + ", not \"" + Text + "\"");
}

void WarnLargeImage(int32_t MapWidth, int32_t MapHeight, int32_t PixelsPerCell,
                    const char* Option) {
  const TImageSizeCheck check = CheckImageSize(MapWidth, MapHeight, PixelsPerCell);
  if (!check.TooLarge) return;
  std::string line = "vellumcraft-cli: warning: " + LargeImageWarning(check);
  if (check.Suggested > 0) line += " Try " + std::string(Option) + " " + std::to_string(check.Suggested) + ".";
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace vcli
