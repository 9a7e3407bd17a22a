#include "dialogs/preferences_values.h"

#include <algorithm>

TPreferences TPreferences::Clamped() const {
  TPreferences p;
  p.UndoLimit = std::clamp(UndoLimit, MinUndoLimit, MaxUndoLimit);
  p.UndoMemoryMB = std::clamp(UndoMemoryMB, MinUndoMemoryMB, MaxUndoMemoryMB);
  return p;
}

int32_t TPreferences::MegabytesOf(int64_t Bytes) {
  if (Bytes <= 0) return 0;
  const int64_t mb = (Bytes + (int64_t(1) << 20) - 1) >> 20;
  return int32_t(std::min<int64_t>(mb, MaxUndoMemoryMB));
}
