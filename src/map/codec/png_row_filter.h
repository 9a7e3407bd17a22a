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

// The same with a preference for up: the row is filtered with up unless another
// filter's sum is below 70 % of up's. Map images repeat their textures down the
// rows, and the repeats of up-filtered rows compress much better at a fast level
// than the rows the smallest sum picks.
void FilterPngRowFavouringUp(const uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp,
                             uint8_t* Out);
