#pragma once
// The memory a map of a given size takes once it is loaded, and the memory the
// machine has for it, so that a header claiming more than fits is refused before
// anything is allocated, with the size named.

#include <cstdint>
#include <string>

// Bytes a loaded map of Layers layers over PixelWidth x PixelHeight pixels holds:
// a 32-bit image per layer, the pixel layer grid, the shade and door images and
// the cell grid.
int64_t MapMemoryNeed(int64_t Layers, int64_t PixelWidth, int64_t PixelHeight, int64_t Cells);

// The memory a map may take: the machine's physical memory, or less when the
// process is limited (its address space or data segment); the bound set by
// SetMapMemoryLimit when there is one.
int64_t MapMemoryLimit();
// Bytes replaces the machine's figure (for tools that run under a memory bound of
// their own, and tests); 0 goes back to the machine's.
void SetMapMemoryLimit(int64_t Bytes);

// "1.5 GiB", "300 MiB": a byte count for messages.
std::string MemoryText(int64_t Bytes);
