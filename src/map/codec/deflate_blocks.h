#pragma once
// TDeflateBlocks: where the final block of a raw deflate stream starts and ends,
// found by walking the block structure without inflating the data.
//
// The walk reads each block header, skips stored blocks by their length and
// decodes the Huffman codes of the other blocks symbol by symbol, skipping the
// extra bits of lengths and distances; nothing is written and no match copied.
// It checks what an inflater would check (code sets, symbols, distances, the
// length of stored blocks), so a stream it accepts is one an inflater accepts.

#include <cstddef>
#include <cstdint>

struct TDeflateBlocks {
  uint64_t LastStart = 0;  // bit at which the header of the final block starts
  uint64_t EndBit = 0;     // bit just past the final block
};

// The final block of the raw deflate stream in Data (bits counted from the lowest
// bit of the first byte). Bytes after the final block are not looked at. Raises
// EVellumError when Data is not one complete, valid raw deflate stream; the
// message is the reason ("the stream is incomplete", "the stream is damaged: ..."),
// for the caller to put after what it was doing.
TDeflateBlocks FindDeflateBlocks(const uint8_t* Data, size_t Size);
