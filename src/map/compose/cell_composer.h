#pragma once
// TCellComposer: the per-cell composition. For one cell it rebuilds the alpha
// channel of the layer images and the shade pixels from the pixel-layer grid and
// the door bitmap, looking at a window that reaches half a cell beyond the cell on
// every side. The working grids are kept between calls; one composer per thread
// (ForThisThread) lets the whole-map refresh run cells in parallel.

#include <cstdint>
#include <vector>

#include "record/record_list.h"

class TMapEditLayerList;

// Alpha of a floor layer for a cell-grid value: 0 stays 0, 255 stays 255, a
// distance fades out over about ChipSize div 4 pixels (rounding half to even);
// 254 (never reached) gives 0.
uint8_t FadeAlpha(uint8_t Value, int32_t ChipSize);
// Shade alpha for a cell-grid value of the wall layer: none within three chamfer
// steps of a wall, then 128 - q * (b - 7) with q = ceil(150 / ChipSize).
uint8_t ShadeAlpha(uint8_t Value, int32_t ChipSize);

// Chamfer distance propagation over a Size x Size byte grid (row-major, entry
// y * Size + x) from the given seeds: a bucket queue of 2 per orthogonal and 3 per
// diagonal step, bounded to 250 rounds. 0 (blocked) and 255 (source) never change;
// open entries that nothing reaches keep their value.
void PropagateDistance(std::vector<uint8_t>& Grid, int32_t Size, const TRecordList& Seeds);

class TCellComposer {
 public:
  // Recomputes layers 0 to M of cell (CX, CY): their alpha over the cell and, for
  // layer 0, the cell's shade pixels. Nothing when M < 0; M is limited to the last
  // layer. The cell must lie inside the map.
  void ComposeCell(TMapEditLayerList& Map, int32_t CX, int32_t CY, int32_t M);

  // The composer of the calling thread, created on first use.
  static TCellComposer& ForThisThread();

 private:
  // Builds the padded work grid of layer J by the column and row scans and collects
  // its seeds (bucket 0).
  void ScanLayer(int32_t J, int32_t M, bool WithSeeds);
  // The same for a window without door pixels, into the padded grid G.
  void ScanWithoutDoors(uint8_t* G, int32_t J, bool WithSeeds);
  // Runs the bucket queue over the padded grid G for at most Rounds rounds.
  void Propagate(uint8_t* G, int32_t Rounds);

  int32_t FSide = 0;             // 2 * ChipSize
  int32_t FStride = 0;           // FSide + 2: the work grids carry a one-entry border of 255
  int32_t FWinW = 0, FWinH = 0;  // the window clipped to the map
  int32_t FOffX = 0, FOffY = 0;  // grid position of the window's first pixel
  // Per window pixel, row after row: the layer index, a door marker, or the
  // layer count for an index that names no layer.
  std::vector<int32_t> FClass;
  bool FHasDoors = false;                    // some window pixel is a door pixel
  std::vector<uint8_t> FIsObject;            // per layer, and 0 for no layer
  std::vector<uint8_t> FValue;               // per class: its work-grid entry
  std::vector<uint8_t> FAllSources;          // a row of sources beyond the window
  std::vector<uint8_t> FPresent;             // per layer, and one slot for none
  std::vector<std::vector<uint8_t>> FGrids;  // per layer, padded
  std::vector<int32_t> FSeeds;               // the sources the propagation starts from
  std::vector<int32_t> FQueue;               // room for the four buckets of the queue
  std::vector<uint8_t> FAlphaCell;           // one cell of alpha values
  // Tables for the chip size last used.
  int32_t FLutChipSize = 0;
  int32_t FShadeRounds = 0, FFadeRounds = 0;
  uint8_t FWallLut[256] = {}, FShadeLut[256] = {}, FFadeLut[256] = {};
};
