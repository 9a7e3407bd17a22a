// Reading the ".qmx" map file into a document of its own, which replaces the open
// document only once everything has been read.

#include <omp.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <stop_token>
#include <string_view>
#include <thread>

#include "map/base/input_file.h"
#include "map/base/text_convert.h"
#include "map/base/text_encoding.h"
#include "map/codec/texture_cache.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/inflated_lines.h"
#include "map/file/map_file.h"
#include "map/file/map_file_extension.h"
#include "map/file/map_file_format.h"
#include "map/file/map_memory.h"
#include "map/file/texture_paths.h"
#include "map/objects/map_object_list.h"

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
// The most characters deflate can make of one byte (258 repeated in two bits),
// rounded up for block headers.
constexpr size_t kMaxDeflateRatio = 1040;

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
  // Within the limits, but perhaps not within this machine.
  const int64_t need = MapMemoryNeed(H.Layers, pw, ph, int64_t(H.Width) * H.Height);
  const int64_t have = MapMemoryLimit();
  if (need > have)
    throw EMapFileError("The map of " + size + " with " + std::to_string(H.Layers) +
                        " layers needs " + MemoryText(need) + " of memory; " + MemoryText(have) +
                        " are available");
}

// The size of the pixel and cell rows of a map with this header.
size_t ExpectedTextSize(const THeader& H) {
  const size_t pw = size_t(H.Width) * size_t(H.ChipSize);
  const size_t ph = size_t(H.Height) * size_t(H.ChipSize);
  return ph * (EncodedLength(pw * 4) + 2) + size_t(H.Height) * (EncodedLength(size_t(H.Width)) + 2);
}

// The shortest text the pixel and cell rows of a map with this header can take: a
// pixel row decodes to at least pw * 4 - 3 bytes (the last pixel may have fewer
// digits), a cell row may be empty (its cells read as 0), and every line ends in
// one character at least. A file shorter than this is cut short, whatever its line
// count.
size_t MinimalRowTextSize(const THeader& H) {
  const size_t pw = size_t(H.Width) * size_t(H.ChipSize);
  const size_t ph = size_t(H.Height) * size_t(H.ChipSize);
  const size_t pixelRow = pw == 0 ? 0 : EncodedLength(pw * 4 - 3);
  return ph * (pixelRow + 1) + size_t(H.Height);
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

[[noreturn]] void NotAMapFile() {
  throw ENotAMapFile("This is not a map file (its first line is not \"KRV2_MAP\")");
}

// Walks the lines, naming the line and section in every error.
class TLineReader {
 public:
  // Read is the number of lines already taken from Lines.
  TLineReader(TInflatedLines& Lines, int64_t Read) : FLines(Lines), FNumber(Read) {}

  void Section(const char* Name) { FSection = Name; }
  int64_t LineNumber() const { return FNumber; }  // 1-based number of the last line
  std::string_view Next() {
    std::string_view line;
    if (!FLines.Next(line))
      throw EListError("The map file ends early: " + LineText(FNumber + 1) + " (" + FSection +
                       ") is missing");
    ++FNumber;
    return line;
  }
  // The next line, or false at the end of the text.
  bool TryNext(std::string_view& Line) {
    if (!FLines.Next(Line)) return false;
    ++FNumber;
    return true;
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
  TInflatedLines& FLines;
  int64_t FNumber = 0;
  std::string FSection = "the map header";
};

void ReadPixelRows(TLineReader& In, TMapEditLayerList& Map) {
  In.Section("the pixel rows");
  const int32_t pw = Map.PixelWidth(), ph = Map.PixelHeight();
  std::string rest;
  for (int32_t y = 0; y < ph; ++y) {
    const std::string_view text = In.Next();
    int32_t* out = Map.PixelGrid().Row(y);
    int32_t x = int32_t(DecodePixelGroups(text, out, size_t(pw)));
    if (x == pw) continue;
    // The last pixel or two, and anything unusual: the row from the group where the
    // fast reading stopped, decoded whole, each pixel through the general
    // conversion, which also reports a row that is too short.
    DecodeLineInto(text.substr(size_t(x) / 3 * 16), rest);
    for (size_t at = 0; x < pw; ++x, at += 4) {
      const std::string piece = at < rest.size() ? rest.substr(at, 4) : std::string();
      out[x] = In.Int("$" + piece);
    }
  }
}

void ReadCellRows(TLineReader& In, TMapEditLayerList& Map) {
  In.Section("the cell rows");
  std::string row;
  for (int32_t y = 0; y < Map.Height(); ++y) {
    DecodeLineInto(In.Next(), row);
    // Only "1" marks a chip cell, so a row that ends early leaves the rest of its
    // cells 0, as any other character would.
    const size_t given = std::min(row.size(), size_t(Map.Width()));
    for (int32_t x = 0; x < Map.Width(); ++x)
      Map.SetCell(x, y, size_t(x) < given && row[size_t(x)] == '1' ? 1 : 0);
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
  TBitmap32 tile;
  tile.SetSize(16, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x)
      tile.Pixel(x, y) = ((x >> 3) + (y >> 3)) % 2 == 0 ? 0xFFFF00FFu : 0xFF000000u;
  Layer.SetTiledImage(tile);
}

// Where a layer's texture comes from: nothing to load (a colour, empty text, a
// malformed chip reference), or an image file found (Found) or not.
struct TTextureSource {
  bool Image = false;
  std::string Prefix;  // "<X,Y,S>" of a chip reference
  std::optional<TChipReference> Chip;
  std::optional<fs::path> Found;
};

// Finds the file of Source; Known holds what earlier layers found for a path.
TTextureSource FindTexture(const std::string& Source, const std::string& BaseFolder,
                           std::map<std::string, std::optional<fs::path>>& Known) {
  TTextureSource t;
  if (Source.empty() || TryStrToInt(Source)) return t;
  std::string path = Source;
  if (Source[0] == '<') {
    TChipReference ref;
    if (!ParseChipReference(Source, ref)) return t;
    path = ref.Path;
    t.Prefix = Source.substr(0, Source.size() - path.size());
    t.Chip = ref;
  }
  t.Image = true;
  auto known = Known.find(path);
  if (known == Known.end()) {
    known = Known.emplace(path, FindTextureFile(path, BaseFolder)).first;
  }
  t.Found = known->second;
  return t;
}

// Builds the layer's image from Source. A texture that cannot be found or read
// leaves a placeholder; FileName keeps Source in every case so saving loses nothing.
void LoadLayerTexture(TMapEditLayer& Layer, const std::string& Source, const TTextureSource& Where,
                      TTextureCache& Cache, TMapLoadReport& Report) {
  if (!Where.Image) {
    Layer.SetFileName(Source);  // a malformed chip reference is emptied, not an error
    return;
  }
  Layer.TextureState = TTextureState::Missing;
  if (Where.Found) {
    try {
      Layer.SetFileName(Where.Prefix + Where.Found->string(), &Cache);
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

// Builds every layer's image, each texture file decoded once; stops early when
// asked to.
void LoadLayerTextures(TMapEditLayerList& Map, const std::vector<std::string>& Sources,
                       const std::string& BaseFolder, TMapLoadReport& Report,
                       const std::stop_token& Stop) {
  std::map<std::string, std::optional<fs::path>> known;
  std::vector<TTextureSource> where;
  where.reserve(Sources.size());
  TTextureCache cache;
  for (const std::string& source : Sources) {
    where.push_back(FindTexture(source, BaseFolder, known));
    const TTextureSource& t = where.back();
    if (!t.Found) continue;
    if (t.Chip)
      cache.PlanChip(t.Found->string(), t.Chip->X, t.Chip->Y, t.Chip->S);
    else
      cache.PlanWhole(t.Found->string());
  }
  for (size_t i = 0; i < Sources.size() && !Stop.stop_requested(); ++i)
    LoadLayerTexture(*Map.Layers(int32_t(i)), Sources[i], where[i], cache, Report);
}

std::string ReadWholeFile(const std::string& FileName) {
  TInputFile file(FileName, "Cannot open file \"" + FileName + "\". ");
  std::string bytes;
  if (!file.ReadAll(bytes, std::numeric_limits<size_t>::max() / 2))
    throw EFileError("Cannot read file \"" + FileName + "\". It is too large");
  return bytes;
}

}  // namespace

void LoadMapFromBytes(TMapEditLayerList& Map, const std::string& Bytes,
                      const std::string& BaseFolder, TMapLoadReport& Report, bool Compose) {
  TInflatedLines lines(Bytes, kHeaderAllowance);
  std::string_view first;
  bool tooLong = false;
  if (!lines.Next(first, sizeof kMagic - 1, tooLong) || first != kMagic) NotAMapFile();
  TLineReader in(lines, 1);
  const THeader h = ParseHeader(std::string(in.Next()));
  CheckHeader(h);
  lines.SetLimit(TextLimit(h));

  // A file too small for its header is found out before the grids are allocated:
  // deflate makes at most 1032 characters of each byte, so a few kilobytes cannot
  // hold the rows of a map of thousands of cells.
  const size_t minimal = MinimalRowTextSize(h);
  if (Bytes.size() < minimal / kMaxDeflateRatio)
    throw EListError("The map file ends early: its " + std::to_string(Bytes.size()) +
                     " bytes hold at most " + std::to_string(Bytes.size() * kMaxDeflateRatio) +
                     " characters where its header needs at least " + std::to_string(minimal));
  lines.InflateAhead();

  TMapEditLayerList fresh;
  fresh.FastDraw = Map.FastDraw;
  fresh.DrawShadeOnlyCell = Map.DrawShadeOnlyCell;
  fresh.SetSize(h.Width, h.Height, h.ChipSize);
  fresh.TextureFolder = BaseFolder;

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

  // The layer images (a texture decoded and tiled, or a colour filled, over the
  // whole map) are built on a second thread while the rows are read: they touch
  // only the layers, the rows only the grids and doors. When the rows fail, the
  // thread is told to stop and builds no further image, so that a damaged file
  // that claims many large layers is refused without filling them all.
  TMapLoadReport textureReport;
  std::exception_ptr textureFailure;
  {
    std::jthread textures([&](std::stop_token Stop) {
      // One core for the images, the other for the rows.
      omp_set_num_threads(1);
      try {
        LoadLayerTextures(fresh, sources, BaseFolder, textureReport, Stop);
      } catch (...) {
        textureFailure = std::current_exception();
      }
    });
    // On an error the thread's destructor asks it to stop, then waits for it.
    in.Section("the pixel rows");
    in.Next();
    ReadPixelRows(in, fresh);
    in.Section("the cell rows");
    in.Next();
    ReadCellRows(in, fresh);
    ReadDoors(in, fresh);
    ReadExtension(
        [&](std::string_view& Line, int64_t& Number) {
          if (!in.TryNext(Line)) return false;
          Number = in.LineNumber();
          return true;
        },
        utf8, fresh.Objects(), report.Warnings);
    lines.Finish();
    textures.join();
  }
  if (textureFailure) std::rethrow_exception(textureFailure);
  report.MissingTextures = std::move(textureReport.MissingTextures);

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
  try {
    LoadMapFromBytes(*this, bytes, folder.empty() ? std::string(".") : folder.string(), Report);
  } catch (const EDecompressionError& e) {
    // zlib's bare "エラー" says neither which file nor what is wrong with it.
    throw EDecompressionError(std::string(e.what()) + ": the map file \"" + FileName +
                              "\" is damaged; its compressed data cannot be read");
  }
}

void TMapEditLayerList::LoadFromFile(const std::string& FileName) {
  TMapLoadReport report;
  LoadFromFile(FileName, report);
}
