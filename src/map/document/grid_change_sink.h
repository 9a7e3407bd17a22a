#pragma once
// TGridChangeSink: told about cells of the document's grids before they change.
// The undo history listens while an edit is open, so that it can keep the former
// content of exactly the cells the edit touches.

#include <cstdint>

class TGridChangeSink {
 public:
  virtual ~TGridChangeSink() = default;
  // The cells CX0..CX1 x CY0..CY1 (inclusive, already clipped to the map) are
  // about to change: their pixel entries, their chip flag or both.
  virtual void CellsChanging(int32_t CX0, int32_t CY0, int32_t CX1, int32_t CY1) = 0;
};
