#pragma once
// The pixel store of a raster surface (a vector of one element a pixel, row
// after row), shared by the colour bitmaps and the one-byte shades.

#include <cstddef>
#include <cstdint>
#include <new>

#include "record/errors.h"

// Gives Bits room for W x H zero pixels (W and H already at least 0), or throws
// EImageError when the size is past MaxPixels or memory runs out. The old pixels
// are released first so that a resize never holds both; on failure Bits is empty.
// The zeros come from the allocator: pages are written only when first drawn on.
template <typename TStore>
void AllocateZeroedPixels(TStore& Bits, int32_t W, int32_t H, int64_t MaxPixels) {
  Bits.clear();
  Bits.shrink_to_fit();
  if (int64_t(W) * int64_t(H) > MaxPixels) throw EImageError("Can't allocate the DIB handle");
  try {
    TStore fresh(size_t(W) * size_t(H));
    Bits.swap(fresh);
  } catch (const std::bad_alloc&) {
    throw EImageError("Can't allocate the DIB handle");
  }
}
