#pragma once
// Reading a map file just written back before it replaces anything.

#include <string>

class TMapEditLayerList;

// Reads the file Path (a map file written from Map) the way the map reader reads
// it and checks what a load depends on: one zlib stream with nothing after it, the
// magic line, the header, every layer's name, type and source as the reader would
// decode them, the number and length of the pixel and cell rows, the section marks,
// the number of doors in each list and every object line after them. Raises
// EMapFileError naming FileName (the map's own name) and what differs; the caller
// then keeps the old file.
void CheckWrittenMapFile(const std::string& Path, const TMapEditLayerList& Map,
                         const std::string& FileName);
