// Reading the ".qmx" map file into a document of its own, which replaces the open
// document only once everything has been read.

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>

#include "map/map_edit_layer_list.h"
#include "map/map_file.h"
#include "map/map_file_format.h"
#include "map/text_convert.h"
#include "map/text_encoding.h"

namespace fs = std::filesystem;
using namespace mapfile;

namespace {

constexpr size_t kReadChunk = 61440;
// Text allowed before the header is known, and for layer lines and doors beyond
// what the header implies.
constexpr size_t kHeaderAllowance = 1 << 20;
constexpr size_t kLayerTextAllowance = 64 << 20;
constexpr size_t kLayerLineAllowance = 64 << 10;
constexpr size_t kDoorAllowance = 64 << 20;

struct THeader {
  int32_t Layers = 0, Width = 0, Height = 0, ChipSize = 0;
};

std::string LineText(int64_t Line) { return "line " + std::to_string(Line); }

// The header line cut into its four numbers; conversion errors name line 2.
THeader ParseHeader(std::string Text) {
  THeader h;
  int32_t* fields[] = {&h.Layers, &h.Width, &h.Height, &h.ChipSize};
  for (int32_t* f : fields) {
    std::string token;
    CutToken(Text, ",", token);
    try {
      *f = StrToInt(token);
    } catch (const EConvertError& e) {
      throw EConvertError(std::string(e.what()) + " (" + LineText(2) + ", the map header)");
    }
  }
  return h;
}

// Refuses a header whose sizes are nonsense or beyond the limits, before anything
// is allocated for it.
void CheckHeader(const THeader& H) {
  const std::string size = std::to_string(H.Width) + " x " + std::to_string(H.Height) +
                           " cells of " + std::to_string(H.ChipSize) + " pixels";
  if (H.Layers < 0 || H.Layers > kMaxMapLayers)
    throw EMapFileError("The map header gives " + std::to_string(H.Layers) + " layers (0 to " +
                        std::to_string(kMaxMapLayers) + " allowed)");
  // A map has cells in both directions or none at all: a row of no height (or a
  // column of no width) has nothing to show and only costs loops over its length.
  if (H.Width < 0 || H.Height < 0 || H.ChipSize < 0 || H.ChipSize > kMaxMapChipSize ||
      (H.ChipSize == 0 && (H.Width > 0 || H.Height > 0)) || ((H.Width == 0) != (H.Height == 0)))
    throw EMapFileError("The map header gives a size of " + size + ", which is not valid");
  const int64_t pw = int64_t(H.Width) * H.ChipSize, ph = int64_t(H.Height) * H.ChipSize;
  // Each side on its own first, so that the product cannot overflow.
  if (pw > kMaxMapPixels || ph > kMaxMapPixels || pw * ph > kMaxMapPixels)
    throw EMapFileError("The map of " + size + " is larger than " + std::to_string(kMaxMapPixels) +
                        " pixels");
  if (pw * ph * H.Layers > kMaxMapLayerPixels)
    throw EMapFileError("The map of " + size + " with " + std::to_string(H.Layers) +
                        " layers needs more layer image memory than allowed");
}

// The size of the pixel and cell rows of a map with this header.
size_t ExpectedTextSize(const THeader& H) {
  const size_t pw = size_t(H.Width) * size_t(H.ChipSize);
  const size_t ph = size_t(H.Height) * size_t(H.ChipSize);
  return ph * (EncodedLength(pw * 4) + 2) + size_t(H.Height) * (EncodedLength(size_t(H.Width)) + 2);
}

// The shortest text the pixel and cell rows of a map with this header can take: a
// pixel row decodes to at least pw * 4 - 3 bytes (the last pixel may have fewer
// digits), a cell row to at least Width bytes, and every line ends in one character
// at least. A file shorter than this is cut short, whatever its line count.
size_t MinimalRowTextSize(const THeader& H) {
  const size_t pw = size_t(H.Width) * size_t(H.ChipSize);
  const size_t ph = size_t(H.Height) * size_t(H.ChipSize);
  const size_t pixelRow = pw == 0 ? 0 : EncodedLength(pw * 4 - 3);
  return ph * (pixelRow + 1) + size_t(H.Height) * (EncodedLength(size_t(H.Width)) + 1);
}

// The longest text a map with this header can need, with slack for long layer
// texts and many doors.
size_t TextLimit(const THeader& H) {
  size_t limit = kHeaderAllowance + kDoorAllowance;
  limit += std::min(size_t(H.Layers) * 2 * kLayerLineAllowance, kLayerTextAllowance);
  limit += ExpectedTextSize(H);
  // Edge doors: at most one per cell edge, each line at most 36 characters.
  limit += 2 * (size_t(H.Width) + 1) * (size_t(H.Height) + 1) * 36;
  return limit;
}

// The first two lines of Text, when both are complete.
bool FirstLines(const std::string& Text, std::string& First, std::string& Second) {
  const size_t a = Text.find_first_of("\r\n");
  if (a == std::string::npos) return false;
  size_t b = a + 1;
  if (Text[a] == '\r' && b < Text.size() && Text[b] == '\n') ++b;
  if (Text[a] == '\r' && b == Text.size()) return false;  // CR LF may be split
  const size_t c = Text.find_first_of("\r\n", b);
  if (c == std::string::npos) return false;
  First = Text.substr(0, a);
  Second = Text.substr(b, c - b);
  return true;
}

[[noreturn]] void NotAMapFile() {
  throw ENotAMapFile("This is not a map file (its first line is not \"KRV2_MAP\")");
}

// Inflates the whole stream. The output is bounded by what the header can need, so
// that a small damaged or hostile file cannot take all memory. A stream that ends
// early yields what was decompressed so far.
std::string Decompress(const std::string& Bytes) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EDecompressionError("エラー");
  size_t inputLeft = Bytes.size();
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Bytes.data()));
  std::string text;
  size_t limit = kHeaderAllowance;
  bool headerKnown = false;
  try {
    for (;;) {
      if (z.avail_in == 0 && inputLeft > 0) {
        const size_t more = std::min<size_t>(inputLeft, size_t(1) << 30);
        z.avail_in = uInt(more);
        inputLeft -= more;
      }
      const size_t at = text.size();
      text.resize(at + kReadChunk);
      z.next_out = reinterpret_cast<Bytef*>(text.data() + at);
      z.avail_out = uInt(kReadChunk);
      const int r = inflate(&z, Z_NO_FLUSH);
      text.resize(at + kReadChunk - z.avail_out);
      if (r == Z_STREAM_END) break;
      if (r != Z_OK && r != Z_BUF_ERROR) throw EDecompressionError("エラー");
      // No more input and room left over: the stream ends early.
      if (z.avail_in == 0 && inputLeft == 0 && z.avail_out != 0) break;
      if (!headerKnown) {
        std::string first, second;
        if (FirstLines(text, first, second)) {
          if (first != kMagic) NotAMapFile();
          const THeader h = ParseHeader(second);
          CheckHeader(h);
          limit = TextLimit(h);
          headerKnown = true;
          // Deflate expands at most about 1032 times: a tiny file claiming a huge
          // map gets no huge reservation.
          text.reserve(std::min(ExpectedTextSize(h), Bytes.size() * 1040) + kReadChunk);
        } else {
          const size_t end = text.find_first_of("\r\n");
          if (end != std::string::npos && text.compare(0, end, kMagic) != 0) NotAMapFile();
          if (end == std::string::npos && text.size() > sizeof kMagic) NotAMapFile();
        }
      }
      if (text.size() > limit)
        throw EMapFileError("The map file holds more text (over " + std::to_string(limit) +
                            " bytes) than its header can need");
    }
  } catch (...) {
    inflateEnd(&z);
    throw;
  }
  inflateEnd(&z);
  return text;
}

// The text cut into lines at CR LF, CR or LF; a line end at the very end does not
// start another line.
std::vector<std::string_view> SplitLines(const std::string& Text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  const size_t n = Text.size();
  while (start < n) {
    size_t end = start;
    while (end < n && Text[end] != '\r' && Text[end] != '\n') ++end;
    lines.emplace_back(Text.data() + start, end - start);
    if (end < n && Text[end] == '\r' && end + 1 < n && Text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

// Walks the lines, naming the line and section in every error.
class TLineReader {
 public:
  explicit TLineReader(std::vector<std::string_view> Lines) : FLines(std::move(Lines)) {}

  void Section(const char* Name) { FSection = Name; }
  int64_t LineNumber() const { return int64_t(FNext); }  // 1-based number of the last line
  size_t LineCount() const { return FLines.size(); }
  std::string_view Next() {
    if (FNext >= FLines.size())
      throw EListError("The map file ends early: " + LineText(int64_t(FNext) + 1) + " (" +
                       FSection + ") is missing");
    return FLines[FNext++];
  }
  std::string Where() const { return LineText(LineNumber()) + ", " + FSection; }
  [[noreturn]] void Fail(const std::string& Message) const {
    throw EMapFileError(Message + " (" + Where() + ")");
  }
  int32_t Int(const std::string& Text) const {
    try {
      return StrToInt(Text);
    } catch (const EConvertError& e) {
      throw EConvertError(std::string(e.what()) + " (" + Where() + ")");
    }
  }
  uint32_t UInt(const std::string& Text) const {
    try {
      return StrToUInt32(Text);
    } catch (const EConvertError& e) {
      throw EConvertError(std::string(e.what()) + " (" + Where() + ")");
    }
  }

 private:
  std::vector<std::string_view> FLines;
  size_t FNext = 0;
  std::string FSection = "the map header";
};

int HexValue(unsigned char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

void ReadPixelRows(TLineReader& In, TMapEditLayerList& Map) {
  In.Section("the pixel rows");
  const int32_t pw = Map.PixelWidth(), ph = Map.PixelHeight();
  std::string row;
  for (int32_t y = 0; y < ph; ++y) {
    DecodeLineInto(In.Next(), row);
    int32_t* out = Map.PixelGrid().Row(y);
    size_t at = 0;
    for (int32_t x = 0; x < pw; ++x, at += 4) {
      if (at + 4 <= row.size()) {
        const auto* p = reinterpret_cast<const unsigned char*>(row.data() + at);
        const int a = HexValue(p[0]), b = HexValue(p[1]), c = HexValue(p[2]), d = HexValue(p[3]);
        if ((a | b | c | d) >= 0) {
          out[x] = (a << 12) | (b << 8) | (c << 4) | d;
          continue;
        }
      }
      // Anything but four hexadecimal digits goes through the general conversion,
      // which also reports a row that is too short.
      const std::string piece = at < row.size() ? row.substr(at, 4) : std::string();
      out[x] = In.Int("$" + piece);
    }
  }
}

void ReadCellRows(TLineReader& In, TMapEditLayerList& Map) {
  In.Section("the cell rows");
  std::string row;
  for (int32_t y = 0; y < Map.Height(); ++y) {
    DecodeLineInto(In.Next(), row);
    if (row.size() < size_t(Map.Width()))
      In.Fail("The cell row " + std::to_string(y) + " holds " + std::to_string(row.size()) +
              " cells instead of " + std::to_string(Map.Width()));
    for (int32_t x = 0; x < Map.Width(); ++x) Map.SetCell(x, y, row[size_t(x)] == '1' ? 1 : 0);
  }
}

// Cuts Count numbers separated by "," from Line.
std::vector<std::string> CutFields(std::string_view Line, int Count) {
  std::string rest(Line);
  std::vector<std::string> fields(static_cast<size_t>(Count));
  for (std::string& f : fields) CutToken(rest, ",", f);
  return fields;
}

void ReadDoors(TLineReader& In, TMapEditLayerList& Map) {
  TMapEditDoorList& doors = Map.Doors();
  In.Section("the horizontal doors");
  In.Next();
  int32_t count = In.Int(std::string(In.Next()));
  for (int32_t i = 0; i < count; ++i) {
    const std::vector<std::string> f = CutFields(In.Next(), 3);
    TMapEditHorzDoor* d = doors.HorzDoor().Add();
    d->X = In.Int(f[0]);
    d->Y = In.Int(f[1]);
    d->Color = In.UInt(f[2]);
    d->Width = 1;
  }
  In.Section("the vertical doors");
  In.Next();
  count = In.Int(std::string(In.Next()));
  for (int32_t i = 0; i < count; ++i) {
    const std::vector<std::string> f = CutFields(In.Next(), 3);
    TMapEditVertDoor* d = doors.VertDoor().Add();
    d->X = In.Int(f[0]);
    d->Y = In.Int(f[1]);
    d->Color = In.UInt(f[2]);
    d->Height = 1;
  }
  In.Section("the free doors");
  In.Next();
  count = In.Int(std::string(In.Next()));
  for (int32_t i = 0; i < count; ++i) {
    const std::vector<std::string> f = CutFields(In.Next(), 5);
    TMapEditCustomDoor* d = doors.FreeDoor().Add();
    d->X = In.Int(f[0]);
    d->Y = In.Int(f[1]);
    d->X2 = In.Int(f[2]);
    d->Y2 = In.Int(f[3]);
    d->Color = In.UInt(f[4]);
  }
}

// A magenta and black checkerboard of 8-pixel squares at map size, so that a layer
// without its texture is plainly visible.
void FillPlaceholder(TMapEditLayer& Layer) {
  const TMapEditLayerList* map = Layer.Owner();
  TBitmap32& bmp = Layer.BMP();
  bmp.SetSize(map->PixelWidth(), map->PixelHeight());
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    TColor32* row = bmp.ScanLine(y);
    for (int32_t x = 0; x < bmp.Width(); ++x)
      row[x] = ((x >> 3) + (y >> 3)) % 2 == 0 ? 0xFFFF00FFu : 0xFF000000u;
  }
}

bool IsRegularFile(const fs::path& Path) {
  std::error_code ec;
  return fs::is_regular_file(Path, ec);
}

// Where to look for a texture path: as written, then relative to the map's folder,
// then (for a Windows path from another machine) its file name in the map's folder.
std::vector<fs::path> TextureCandidates(const std::string& Path, const std::string& BaseFolder) {
  std::vector<fs::path> out{fs::path(Path)};
  if (BaseFolder.empty()) return out;
  const fs::path base(BaseFolder);
  std::string slashed = Path;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  const bool drive = slashed.size() >= 2 && slashed[1] == ':' &&
                     std::isalpha(static_cast<unsigned char>(slashed[0]));
  const bool windows = drive || slashed != Path;
  if (!fs::path(slashed).is_absolute() && !drive) {
    out.push_back(base / Path);
    if (windows) out.push_back(base / slashed);
  }
  const size_t cut = slashed.find_last_of('/');
  std::string name = cut == std::string::npos ? slashed : slashed.substr(cut + 1);
  if (drive && cut == std::string::npos) name = slashed.substr(2);
  if (!name.empty()) out.push_back(base / name);
  return out;
}

// Builds the layer's image from Source. A texture that cannot be found or read
// leaves a placeholder; FileName keeps Source in every case so saving loses nothing.
void LoadLayerTexture(TMapEditLayer& Layer, const std::string& Source,
                      const std::string& BaseFolder, TMapLoadReport& Report) {
  std::string prefix, path;
  TChipReference ref;
  if (Source.empty() || TryStrToInt(Source)) {
    Layer.SetFileName(Source);
    return;
  }
  if (Source[0] == '<') {
    if (!ParseChipReference(Source, ref)) {
      Layer.SetFileName(Source);  // a malformed chip reference is emptied, not an error
      return;
    }
    path = ref.Path;
    prefix = Source.substr(0, Source.size() - path.size());
  } else {
    path = Source;
  }
  std::optional<fs::path> found;
  for (const fs::path& p : TextureCandidates(path, BaseFolder))
    if (IsRegularFile(p)) {
      found = p;
      break;
    }
  Layer.TextureState = TTextureState::Missing;
  if (found) {
    try {
      Layer.SetFileName(prefix + found->string());
      Layer.TextureState = TTextureState::Ok;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      Layer.TextureState = TTextureState::Unreadable;
    }
  }
  Layer.SetFileNameOnly(Source);
  if (Layer.TextureState == TTextureState::Ok) return;
  FillPlaceholder(Layer);
  if (std::find(Report.MissingTextures.begin(), Report.MissingTextures.end(), Source) ==
      Report.MissingTextures.end())
    Report.MissingTextures.push_back(Source);
}

std::string ReadWholeFile(const std::string& FileName) {
  struct stat st {};
  if (::stat(FileName.c_str(), &st) != 0)
    throw EFileError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
  if (S_ISDIR(st.st_mode))
    throw EFileError("Cannot open file \"" + FileName + "\". " + std::strerror(EISDIR));
  std::ifstream in(FileName, std::ios::binary);
  if (!in) throw EFileError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
  std::string bytes;
  char buffer[kReadChunk];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    bytes.append(buffer, size_t(in.gcount()));
  if (in.bad()) throw EFileError("Cannot read file \"" + FileName + "\". " + std::strerror(errno));
  return bytes;
}

}  // namespace

void LoadMapFromBytes(TMapEditLayerList& Map, const std::string& Bytes,
                      const std::string& BaseFolder, TMapLoadReport& Report, bool Compose) {
  const std::string text = Decompress(Bytes);
  std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty() || lines[0] != kMagic) NotAMapFile();
  TLineReader in(std::move(lines));
  in.Next();
  const THeader h = ParseHeader(std::string(in.Next()));
  CheckHeader(h);

  // A file cut short is found out before the grids are allocated.
  const int64_t needed =
      2 + int64_t(h.Layers) * 2 + 1 + int64_t(h.Height) * h.ChipSize + 1 + h.Height + 6;
  if (int64_t(in.LineCount()) < needed)
    throw EListError("The map file ends early: it has " + std::to_string(in.LineCount()) +
                     " lines where its header needs at least " + std::to_string(needed));
  if (text.size() < MinimalRowTextSize(h))
    throw EListError("The map file ends early: it holds " + std::to_string(text.size()) +
                     " characters where its header needs at least " +
                     std::to_string(MinimalRowTextSize(h)));

  TMapEditLayerList fresh;
  fresh.FastDraw = Map.FastDraw;
  fresh.DrawShadeOnlyCell = Map.DrawShadeOnlyCell;
  fresh.SetSize(h.Width, h.Height, h.ChipSize);

  // Layer texts: the whole file is UTF-8 when all of them are valid UTF-8,
  // otherwise Shift JIS.
  in.Section("the layers");
  std::vector<std::string> texts;
  texts.reserve(size_t(h.Layers) * 2);
  std::string all;
  for (int32_t i = 0; i < h.Layers * 2; ++i) {
    texts.emplace_back(in.Next());
    all += texts.back();
    all += '\n';
  }
  const bool utf8 = IsValidUtf8(all);
  TMapLoadReport report;
  report.Encoding = utf8 ? kUtf8 : kShiftJis;
  std::vector<std::string> sources;
  for (int32_t i = 0; i < h.Layers; ++i) {
    std::string name = texts[size_t(i) * 2], line = texts[size_t(i) * 2 + 1];
    if (!utf8) {
      try {
        name = Cp932ToUtf8(name);
        line = Cp932ToUtf8(line);
      } catch (const EConvertError& e) {
        throw EMapFileError(std::string(e.what()) + " (layer " + std::to_string(i) + ")");
      }
    }
    TMapEditLayer* layer = fresh.AddLayer();
    layer->LayerName = std::move(name);
    std::string type;
    CutToken(line, ":", type);
    try {
      layer->LayerType = TMapEditLayerType(uint8_t(StrToInt(type)));
    } catch (const EConvertError& e) {
      throw EConvertError(std::string(e.what()) + " (" + LineText(4 + int64_t(i) * 2) +
                          ", the layers)");
    }
    sources.push_back(std::move(line));
  }

  in.Section("the pixel rows");
  in.Next();
  ReadPixelRows(in, fresh);
  in.Section("the cell rows");
  in.Next();
  ReadCellRows(in, fresh);
  ReadDoors(in, fresh);

  // Textures last: the file is known to be whole before the slow part starts.
  for (int32_t i = 0; i < h.Layers; ++i)
    LoadLayerTexture(*fresh.Layers(i), sources[size_t(i)], BaseFolder, report);

  if (Compose) {
    fresh.Doors().RebuildDoorBitmap();
    fresh.Refresh();
  }
  Map.TakeContentFrom(fresh);
  Report = std::move(report);
}

void TMapEditLayerList::LoadFromFile(const std::string& FileName, TMapLoadReport& Report) {
  const std::string bytes = ReadWholeFile(FileName);
  const fs::path folder = fs::path(FileName).parent_path();
  LoadMapFromBytes(*this, bytes, folder.empty() ? std::string(".") : folder.string(), Report);
}

void TMapEditLayerList::LoadFromFile(const std::string& FileName) {
  TMapLoadReport report;
  LoadFromFile(FileName, report);
}
