#pragma once
// Constants and row decoding shared by the map file writer and reader.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mapfile {

inline constexpr char kMagic[] = "KRV2_MAP";
inline constexpr char kLayerMark[] = "KRV2_MAP LAYER";
inline constexpr char kDrawMark[] = "KRV2_MAP DRAW";
inline constexpr char kHorzMark[] = "KRV2_MAP HORZ DOOR";
inline constexpr char kVertMark[] = "KRV2_MAP VERT DOOR";
inline constexpr char kFreeMark[] = "KRV2_MAP FREE DOOR";
inline constexpr char kUtf8[] = "UTF-8";
inline constexpr char kShiftJis[] = "Shift_JIS";

// Length of the encoded form of Bytes bytes.
inline size_t EncodedLength(size_t Bytes) { return (Bytes * 8 + 5) / 6; }

// DecodeLine into a reused buffer.
void DecodeLineInto(std::string_view Text, std::string& Out);
// Reads whole groups of three pixels (sixteen characters, each pixel four
// hexadecimal digits) of a pixel row into Out, at most Pixels of them, stopping
// at the first group that holds anything else. Returns the number of pixels read;
// the rest of the row starts at character 16 / 3 of that number.
size_t DecodePixelGroups(std::string_view Text, int32_t* Out, size_t Pixels);

}  // namespace mapfile
