// Writing and reading the ".qmx" map file.

#include "map/file/map_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "map/base/atomic_file.h"
#include "map/base/file_lock.h"
#include "map/base/text_encoding.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file_check.h"
#include "map/file/map_file_extension.h"
#include "map/file/map_file_format.h"

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

// Tables for reading pixel rows two bytes at a time, indexed by two characters as
// a little-endian 16-bit number: the 12 bits two alphabet characters stand for,
// and the byte two hexadecimal digits stand for; -1 where either is foreign.
struct TPairTables {
  std::array<int16_t, 65536> Alphabet{}, Hex{};
};

const TPairTables& PairTables() {
  static const std::unique_ptr<TPairTables> tables = [] {
    auto t = std::make_unique<TPairTables>();
    const std::array<int8_t, 256>& index = AlphabetIndex();
    auto hex = [](int C) {
      if (C >= '0' && C <= '9') return C - '0';
      if (C >= 'A' && C <= 'F') return C - 'A' + 10;
      if (C >= 'a' && C <= 'f') return C - 'a' + 10;
      return -1;
    };
    for (int first = 0; first < 256; ++first)
      for (int second = 0; second < 256; ++second) {
        const size_t at = size_t(first | (second << 8));
        const int a = index[size_t(first)], b = index[size_t(second)];
        t->Alphabet[at] = int16_t((a | b) < 0 ? -1 : (a << 6) | b);
        const int h = hex(first), l = hex(second);
        t->Hex[at] = int16_t((h | l) < 0 ? -1 : (h << 4) | l);
      }
    return t;
  }();
  return *tables;
}

inline size_t PairAt(const unsigned char* P) { return size_t(P[0]) | (size_t(P[1]) << 8); }

}  // namespace

size_t mapfile::DecodePixelGroups(std::string_view Text, int32_t* Out, size_t Pixels) {
  const TPairTables& t = PairTables();
  const auto* in = reinterpret_cast<const unsigned char*>(Text.data());
  const size_t groups = std::min(Pixels / 3, Text.size() / 16);
  size_t g = 0;
  for (; g < groups; ++g, in += 16) {
    // Sixteen characters are 96 bits: twelve hexadecimal digits, three pixels.
    const int32_t p0 = t.Alphabet[PairAt(in)], p1 = t.Alphabet[PairAt(in + 2)],
                  p2 = t.Alphabet[PairAt(in + 4)], p3 = t.Alphabet[PairAt(in + 6)],
                  p4 = t.Alphabet[PairAt(in + 8)], p5 = t.Alphabet[PairAt(in + 10)],
                  p6 = t.Alphabet[PairAt(in + 12)], p7 = t.Alphabet[PairAt(in + 14)];
    if ((p0 | p1 | p2 | p3 | p4 | p5 | p6 | p7) < 0) break;
    // Three digits each, B0 B1 B2 | B3 B4 B5 | B6 B7 B8 | B9 B10 B11.
    const uint32_t a = uint32_t(p0 << 12 | p1), b = uint32_t(p2 << 12 | p3),
                   c = uint32_t(p4 << 12 | p5), d = uint32_t(p6 << 12 | p7);
    auto hex = [&](uint32_t First, uint32_t Second) {
      return int32_t(t.Hex[size_t((First & 0xFF) | ((Second & 0xFF) << 8))]);
    };
    const int32_t h0 = hex(a >> 16, a >> 8), h1 = hex(a, b >> 16);
    const int32_t h2 = hex(b >> 8, b), h3 = hex(c >> 16, c >> 8);
    const int32_t h4 = hex(c, d >> 16), h5 = hex(d >> 8, d);
    if ((h0 | h1 | h2 | h3 | h4 | h5) < 0) break;
    Out[g * 3] = h0 << 8 | h1;
    Out[g * 3 + 1] = h2 << 8 | h3;
    Out[g * 3 + 2] = h4 << 8 | h5;
  }
  return g * 3;
}

namespace {

// ---------------------------------------------------------------- writing

void AppendLine(std::string& Out, std::string_view Line) {
  Out.append(Line);
  Out.append("\r\n");
}

// Text for a message: at most about 80 characters, bytes that are not printable
// ASCII written as \xHH.
std::string Shown(const std::string& Text) {
  std::string out;
  for (unsigned char c : Text) {
    if (out.size() >= 80) return out + "...";
    if (c >= 0x20 && c < 0x7F) {
      out += char(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// Refuses a text the reader would not give back: a line break would cut the line,
// and bytes that are not UTF-8 (the program's own form of text) would make the
// reader take the whole file for Shift JIS, or refuse it.
void CheckStorableText(const std::string& Text, int32_t Layer, const char* What) {
  if (Text.find_first_of("\r\n") != std::string::npos)
    throw EMapFileError("The " + std::string(What) + " of layer " + std::to_string(Layer) +
                        " holds a line break, which a map file cannot store");
  if (!IsValidUtf8(Text))
    throw EMapFileError("The " + std::string(What) + " of layer " + std::to_string(Layer) +
                        " is not valid UTF-8 text (\"" + Shown(Text) +
                        "\"), which a map file cannot store");
}

// Refuses a map whose header the reader would refuse.
void CheckStorableSize(const TMapEditLayerList& Map) {
  const int64_t n = Map.Count(), w = Map.Width(), h = Map.Height(), c = Map.ChipSize();
  if (n > kMaxMapLayers)
    throw EMapFileError("The map has " + std::to_string(n) + " layers; a map file holds at most " +
                        std::to_string(kMaxMapLayers));
  const int64_t pw = w * c, ph = h * c;
  if (c > kMaxMapChipSize || pw > kMaxMapPixels || ph > kMaxMapPixels || pw * ph > kMaxMapPixels ||
      pw * ph * n > kMaxMapLayerPixels)
    throw EMapFileError("The map of " + std::to_string(w) + " x " + std::to_string(h) +
                        " cells of " + std::to_string(c) + " pixels with " + std::to_string(n) +
                        " layers is larger than a map file holds");
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

namespace {

// The map's text handed to Sink a piece of about a megabyte at a time, so that a
// save compresses it as it is written instead of holding all of it.
template <typename TSink>
void WriteMapText(const TMapEditLayerList& Map, std::string* Encoding, TSink&& Sink) {
  constexpr size_t kPiece = size_t(1) << 20;
  const int32_t n = Map.Count(), w = Map.Width(), h = Map.Height();
  const int32_t pw = Map.PixelWidth(), ph = Map.PixelHeight();
  CheckStorableSize(Map);

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
  std::vector<std::string> encoded = EncodeTexts(texts, encoding);
  // Objects are written in the encoding the reader takes the layer texts in; an
  // object that Shift JIS cannot hold makes the whole file UTF-8.
  std::vector<std::string> extension = ExtensionObjectLines(Map.Objects());
  if (!EncodeExtensionLines(encoded, extension)) {
    encoded = texts;
    encoding = kUtf8;
    extension = ExtensionObjectLines(Map.Objects());
  }
  if (Encoding) *Encoding = encoding;

  std::string out;
  out.reserve(kPiece + EncodedLength(size_t(pw) * 4) + 2);
  auto pass = [&] {
    if (out.size() < kPiece) return;
    Sink(std::string_view(out));
    out.clear();
  };
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
    pass();
  }

  AppendLine(out, kDrawMark);
  std::string cells(size_t(w), '0');
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) cells[size_t(x)] = Map.Cells(x, y) != 0 ? '1' : '0';
    AppendEncoded(out, cells.data(), cells.size());
    out.append("\r\n");
    pass();
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
    pass();
  }
  AppendLine(out, kVertMark);
  AppendLine(out, std::to_string(vert ? vert->Count() : 0));
  for (int32_t i = 0; vert && i < vert->Count(); ++i) {
    const TMapEditVertDoor* d = vert->Items(i);
    AppendLine(out, std::to_string(d->X) + "," + std::to_string(d->Y) + "," +
                        std::to_string(uint32_t(d->Color)));
    pass();
  }
  AppendLine(out, kFreeMark);
  AppendLine(out, std::to_string(free ? free->Count() : 0));
  for (int32_t i = 0; free && i < free->Count(); ++i) {
    const TMapEditCustomDoor* d = free->Items(i);
    AppendLine(out, std::to_string(d->X) + "," + std::to_string(d->Y) + "," +
                        std::to_string(d->X2) + "," + std::to_string(d->Y2) + "," +
                        std::to_string(uint32_t(d->Color)));
    pass();
  }
  AppendExtension(out, extension);
  Sink(std::string_view(out));
}

}  // namespace

std::string BuildMapText(const TMapEditLayerList& Map, std::string* Encoding) {
  std::string text;
  text.reserve(64 + size_t(Map.PixelHeight()) * (EncodedLength(size_t(Map.PixelWidth()) * 4) + 2) +
               size_t(Map.Height()) * (EncodedLength(size_t(Map.Width())) + 2));
  WriteMapText(Map, Encoding, [&](std::string_view Piece) { text.append(Piece); });
  return text;
}

namespace {

// The map file handed to Sink in compressed pieces of at most a megabyte.
template <typename TSink>
void WriteMapFile(const TMapEditLayerList& Map, TSink&& Sink) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
    throw EMapFileError("The map text could not be compressed");
  std::string out(size_t(1) << 20, '\0');
  // Deflates Piece, passing out on whenever it is full; Z_FINISH ends the stream.
  auto deflatePiece = [&](std::string_view Piece, int Flush) {
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Piece.data()));
    z.avail_in = uInt(Piece.size());
    for (;;) {
      z.next_out = reinterpret_cast<Bytef*>(out.data());
      z.avail_out = uInt(out.size());
      const int r = deflate(&z, Flush);
      if (r != Z_OK && r != Z_BUF_ERROR && r != Z_STREAM_END)
        throw EMapFileError("The map text could not be compressed");
      const size_t made = out.size() - z.avail_out;
      if (made > 0) Sink(std::string_view(out.data(), made));
      if (r == Z_STREAM_END) return;
      if (Flush == Z_NO_FLUSH && z.avail_in == 0 && z.avail_out != 0) return;
    }
  };
  try {
    // Pieces of text are at most a few megabytes, far below zlib's 4 GB count.
    WriteMapText(Map, nullptr, [&](std::string_view Piece) { deflatePiece(Piece, Z_NO_FLUSH); });
    deflatePiece({}, Z_FINISH);
  } catch (...) {
    deflateEnd(&z);
    throw;
  }
  deflateEnd(&z);
}

}  // namespace

std::string BuildMapFile(const TMapEditLayerList& Map) {
  std::string file;
  WriteMapFile(Map, [&](std::string_view Piece) { file.append(Piece); });
  return file;
}

void TMapEditLayerList::SaveToFile(const std::string& FileName) const {
  TMapSaveReport report;
  SaveToFile(FileName, report);
}

void TMapEditLayerList::SaveToFile(const std::string& FileName, TMapSaveReport& Report) const {
  // Saving over a map keeps its previous version as "name.qmx.bak" beside it. The
  // file is compressed straight into its temporary file, and read back before it
  // replaces anything: a map that would not load again is never saved.
  const TWriteMethod method = WriteFileWithBackup(
      FileName,
      [&](TSafeFileWriter& Writer) {
        WriteMapFile(*this, [&](std::string_view Piece) { Writer.Write(Piece); });
      },
      [&](const std::string& Temp) { CheckWrittenMapFile(Temp, *this, FileName); });
  Report.WroteInPlace = method == TWriteMethod::InPlace;
}

void SaveMapFile(const TMapEditLayerList& Map, const std::string& FileName,
                 const TMapSaveOptions& Options, TMapSaveReport& Report) {
  Report = TMapSaveReport();
  // Locked before the comparison, so that nobody changes the file between the
  // question and the save (the save's own lock is then this one).
  const TFileLock lock(FileName);
  if (Options.Expected && Options.ConfirmOverwrite && ChangedSince(*Options.Expected, FileName) &&
      !Options.ConfirmOverwrite()) {
    Report.Cancelled = true;
    return;
  }
  Map.SaveToFile(FileName, Report);
  Report.Stamp = StampFile(FileName);
}
