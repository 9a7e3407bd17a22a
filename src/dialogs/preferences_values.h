#pragma once
// The values of the preferences dialog, without its widgets: how many undo steps
// are kept and how much memory they may take before the oldest go.

#include <cstdint>

struct TPreferences {
  static constexpr int32_t DefaultUndoLimit = 100;
  static constexpr int32_t MinUndoLimit = 1;
  static constexpr int32_t MaxUndoLimit = 10000;
  static constexpr int32_t DefaultUndoMemoryMB = 512;
  static constexpr int32_t MinUndoMemoryMB = 16;
  static constexpr int32_t MaxUndoMemoryMB = 65536;

  int32_t UndoLimit = DefaultUndoLimit;
  int32_t UndoMemoryMB = DefaultUndoMemoryMB;

  // Both values brought into their ranges.
  TPreferences Clamped() const;
  // The memory cap in bytes, and a cap in bytes as whole megabytes (rounded up, so
  // that showing and storing a cap never lowers it).
  int64_t UndoMemoryBytes() const { return int64_t(UndoMemoryMB) << 20; }
  static int32_t MegabytesOf(int64_t Bytes);

  bool operator==(const TPreferences&) const = default;
};
