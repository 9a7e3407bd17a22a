#pragma once
// Constants and row decoding shared by the map file writer and reader.

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

}  // namespace mapfile
