#pragma once
// The filtering of PNG rows before compression: each row gets the filter (none,
// sub, up, average or Paeth) whose output has the smallest sum of absolute
// values taken as signed bytes, ties going to the simpler filter.

#include <cstddef>
#include <cstdint>

// Filters one row of Bytes bytes with Bpp bytes per pixel against the row above
// (Prior; all zero for the first row) into Out, which receives the filter type
// byte and then Bytes filtered bytes.
void FilterPngRow(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp, uint8_t* Out);
