// Writing and reading the ".qmx" map file.

#include "map/map_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "map/atomic_file.h"
#include "map/map_edit_layer_list.h"
#include "map/map_file_format.h"
#include "map/text_encoding.h"

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+/";

using namespace mapfile;

// Index of each character in the alphabet, -1 for every other byte.
const std::array<int8_t, 256>& AlphabetIndex() {
  static const std::array<int8_t, 256> table = [] {
    std::array<int8_t, 256> t{};
    t.fill(-1);
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = int8_t(i);
    return t;
  }();
  return table;
}

void AppendEncoded(std::string& Out, const char* Data, size_t Size) {
  const size_t at = Out.size();
  Out.resize(at + EncodedLength(Size));
  char* out = Out.data() + at;
  const auto* in = reinterpret_cast<const unsigned char*>(Data);
  // Whole groups of three bytes give four characters.
  size_t i = 0;
  for (; i + 3 <= Size; i += 3) {
    const uint32_t a = (uint32_t(in[i]) << 16) | (uint32_t(in[i + 1]) << 8) | in[i + 2];
    *out++ = kAlphabet[a >> 18];
    *out++ = kAlphabet[(a >> 12) & 63];
    *out++ = kAlphabet[(a >> 6) & 63];
    *out++ = kAlphabet[a & 63];
  }
  // One or two bytes left: their bits, padded with zero bits to whole characters.
  if (Size - i == 1) {
    *out++ = kAlphabet[in[i] >> 2];
    *out++ = kAlphabet[(in[i] & 3) << 4];
  } else if (Size - i == 2) {
    const uint32_t a = (uint32_t(in[i]) << 8) | in[i + 1];
    *out++ = kAlphabet[a >> 10];
    *out++ = kAlphabet[(a >> 4) & 63];
    *out++ = kAlphabet[(a & 15) << 2];
  }
}

}  // namespace

void mapfile::DecodeLineInto(std::string_view Text, std::string& Out) {
  const std::array<int8_t, 256>& index = AlphabetIndex();
  Out.resize(Text.size() * 6 / 8);
  char* out = Out.data();
  const auto* in = reinterpret_cast<const unsigned char*>(Text.data());
  const size_t n = Text.size();
  size_t i = 0;
  // Whole groups of four characters give three bytes.
  for (; i + 4 <= n; i += 4) {
    const int a = index[in[i]], b = index[in[i + 1]], c = index[in[i + 2]], d = index[in[i + 3]];
    if ((a | b | c | d) < 0) break;
    const uint32_t v = (uint32_t(a) << 18) | (uint32_t(b) << 12) | (uint32_t(c) << 6) | uint32_t(d);
    *out++ = char(v >> 16);
    *out++ = char((v >> 8) & 0xFF);
    *out++ = char(v & 0xFF);
  }
  // The rest one character at a time, stopping at a character outside the alphabet;
  // leftover bits are dropped.
  uint32_t a = 0;
  int bits = 0;
  for (; i < n; ++i) {
    const int v = index[in[i]];
    if (v < 0) break;
    a = (a << 6) | uint32_t(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      *out++ = char((a >> bits) & 0xFF);
      a &= (1u << bits) - 1;
    }
  }
  Out.resize(size_t(out - Out.data()));
}

namespace {

// ---------------------------------------------------------------- writing

void AppendLine(std::string& Out, std::string_view Line) {
  Out.append(Line);
  Out.append("\r\n");
}

void CheckStorableText(const std::string& Text, int32_t Layer, const char* What) {
  if (Text.find_first_of("\r\n") != std::string::npos)
    throw EMapFileError("The " + std::string(What) + " of layer " + std::to_string(Layer) +
                        " holds a line break, which a map file cannot store");
}

// The layer texts in the encoding of the file: Shift JIS when all of them convert
// exactly and cannot be mistaken for UTF-8 when read back, otherwise UTF-8.
std::vector<std::string> EncodeTexts(const std::vector<std::string>& Texts, std::string& Encoding) {
  std::vector<std::string> converted;
  converted.reserve(Texts.size());
  std::string all;
  bool ascii = true;
  for (const std::string& t : Texts) {
    std::optional<std::string> sjis = Utf8ToCp932(t);
    if (!sjis) {
      Encoding = kUtf8;
      return Texts;
    }
    all += *sjis;
    all += '\n';
    ascii = ascii && *sjis == t;
    converted.push_back(std::move(*sjis));
  }
  if (!ascii && IsValidUtf8(all)) {
    Encoding = kUtf8;
    return Texts;
  }
  Encoding = kShiftJis;
  return converted;
}

}  // namespace

std::string EncodeLine(const std::string& Text) {
  std::string out;
  out.reserve(EncodedLength(Text.size()));
  AppendEncoded(out, Text.data(), Text.size());
  return out;
}

std::string DecodeLine(const std::string& Text) {
  std::string out;
  DecodeLineInto(Text, out);
  return out;
}

std::string BuildMapText(const TMapEditLayerList& Map, std::string* Encoding) {
  const int32_t n = Map.Count(), w = Map.Width(), h = Map.Height();
  const int32_t pw = Map.PixelWidth(), ph = Map.PixelHeight();

  std::vector<std::string> texts;
  texts.reserve(size_t(n) * 2);
  for (int32_t i = 0; i < n; ++i) {
    const TMapEditLayer* layer = Map.Layers(i);
    CheckStorableText(layer->LayerName, i, "name");
    CheckStorableText(layer->FileName(), i, "image source");
    texts.push_back(layer->LayerName);
    texts.push_back(layer->FileName());
  }
  std::string encoding;
  const std::vector<std::string> encoded = EncodeTexts(texts, encoding);
  if (Encoding) *Encoding = encoding;

  std::string out;
  out.reserve(64 + size_t(ph) * (EncodedLength(size_t(pw) * 4) + 2) +
              size_t(h) * (EncodedLength(size_t(w)) + 2));
  AppendLine(out, kMagic);
  AppendLine(out, std::to_string(n) + "," + std::to_string(w) + "," + std::to_string(h) + "," +
                      std::to_string(Map.ChipSize()));
  for (int32_t i = 0; i < n; ++i) {
    AppendLine(out, encoded[size_t(i) * 2]);
    AppendLine(out,
               std::to_string(int(Map.Layers(i)->LayerType)) + ":" + encoded[size_t(i) * 2 + 1]);
  }

  AppendLine(out, kLayerMark);
  // Two upper-case hexadecimal digits per byte value.
  static const std::array<char[2], 256> hex = [] {
    std::array<char[2], 256> t{};
    for (int i = 0; i < 256; ++i) {
      t[size_t(i)][0] = "0123456789ABCDEF"[i >> 4];
      t[size_t(i)][1] = "0123456789ABCDEF"[i & 15];
    }
    return t;
  }();
  std::string row(ph > 0 ? size_t(pw) * 4 : 0, '0');
  const TGrid2D<int32_t>& grid = Map.PixelGrid();
  const bool whole = grid.Width() == pw && grid.Height() == ph;
  for (int32_t y = 0; y < ph; ++y) {
    const int32_t* pixels = whole ? grid.Row(y) : nullptr;
    char* p = row.data();
    for (int32_t x = 0; x < pw; ++x, p += 4) {
      const int32_t v = pixels ? pixels[x] : Map.PixelLayers(x, y);
      if (v < 0 || v > kMaxStoredLayerIndex)
        throw EMapFileError("The pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") shows layer " + std::to_string(v) +
                            ", which a map file cannot store (layers 0 to 65535)");
      std::memcpy(p, hex[size_t(v >> 8)], 2);
      std::memcpy(p + 2, hex[size_t(v & 0xFF)], 2);
    }
    AppendEncoded(out, row.data(), row.size());
    out.append("\r\n");
  }

  AppendLine(out, kDrawMark);
  std::string cells(size_t(w), '0');
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) cells[size_t(x)] = Map.Cells(x, y) != 0 ? '1' : '0';
    AppendEncoded(out, cells.data(), cells.size());
    out.append("\r\n");
  }

  const TMapEditDoorList* doors = Map.DoorsIfCreated();
  // The door lists are created on first access; a document without a container
  // simply has no doors.
  auto* md = const_cast<TMapEditDoorList*>(doors);
  const TMapEditHorzDoorList* horz = md ? &md->HorzDoor() : nullptr;
  const TMapEditVertDoorList* vert = md ? &md->VertDoor() : nullptr;
  const TMapEditCustomDoorList* free = md ? &md->FreeDoor() : nullptr;

  AppendLine(out, kHorzMark);
  AppendLine(out, std::to_string(horz ? horz->Count() : 0));
  for (int32_t i = 0; horz && i < horz->Count(); ++i) {
    const TMapEditHorzDoor* d = horz->Items(i);
    AppendLine(out, std::to_string(d->X) + "," + std::to_string(d->Y) + "," +
                        std::to_string(uint32_t(d->Color)));
  }
  AppendLine(out, kVertMark);
  AppendLine(out, std::to_string(vert ? vert->Count() : 0));
  for (int32_t i = 0; vert && i < vert->Count(); ++i) {
    const TMapEditVertDoor* d = vert->Items(i);
    AppendLine(out, std::to_string(d->X) + "," + std::to_string(d->Y) + "," +
                        std::to_string(uint32_t(d->Color)));
  }
  AppendLine(out, kFreeMark);
  AppendLine(out, std::to_string(free ? free->Count() : 0));
  for (int32_t i = 0; free && i < free->Count(); ++i) {
    const TMapEditCustomDoor* d = free->Items(i);
    AppendLine(out, std::to_string(d->X) + "," + std::to_string(d->Y) + "," +
                        std::to_string(d->X2) + "," + std::to_string(d->Y2) + "," +
                        std::to_string(uint32_t(d->Color)));
  }
  return out;
}

std::string BuildMapFile(const TMapEditLayerList& Map) {
  const std::string text = BuildMapText(Map);
  uLongf size = compressBound(uLong(text.size()));
  std::string out(size, '\0');
  const int r = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                          reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()),
                          Z_DEFAULT_COMPRESSION);
  if (r != Z_OK) throw EMapFileError("The map text could not be compressed");
  out.resize(size);
  return out;
}

void TMapEditLayerList::SaveToFile(const std::string& FileName) const {
  TMapSaveReport report;
  SaveToFile(FileName, report);
}

void TMapEditLayerList::SaveToFile(const std::string& FileName, TMapSaveReport& Report) const {
  // Saving over a map keeps its previous version as "name.qmx.bak" beside it.
  Report.WroteInPlace = WriteFileWithBackup(FileName, BuildMapFile(*this)) == TWriteMethod::InPlace;
}
