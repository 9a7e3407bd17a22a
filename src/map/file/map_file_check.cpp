#include "map/file/map_file_check.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "map/base/text_convert.h"
#include "map/base/text_encoding.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/file/map_file_extension.h"
#include "map/file/map_file_format.h"
#include "record/errors.h"

using namespace mapfile;

namespace {

// Hands the inflated text of a file to a line handler, splitting lines at CR LF,
// CR or LF as the reader does.
class TLineFeed {
 public:
  explicit TLineFeed(std::string FileName) : FFileName(std::move(FileName)) {}

  [[noreturn]] void Fail(const std::string& What) const {
    throw EMapFileError("The map file written for \"" + FFileName +
                        "\" does not read back as it should (" + What + "); the map was not saved");
  }

  template <typename THandler>
  void Run(const std::string& Path, THandler&& Handler) {
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
      throw EFileError("Cannot read file \"" + FFileName + "\" back. " + std::strerror(errno));
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
      ::close(fd);
      Fail("zlib could not start");
    }
    std::vector<unsigned char> in(1 << 16);
    std::vector<char> out(1 << 18);
    std::string carry;
    bool ended = false, afterCr = false;
    try {
      for (;;) {
        const ssize_t n = ::read(fd, in.data(), in.size());
        if (n < 0) {
          if (errno == EINTR) continue;
          throw EFileError("Cannot read file \"" + FFileName + "\" back. " + std::strerror(errno));
        }
        if (n == 0) break;
        if (ended) Fail("bytes follow the compressed stream");
        z.next_in = in.data();
        z.avail_in = uInt(n);
        while (z.avail_in > 0 && !ended) {
          z.next_out = reinterpret_cast<Bytef*>(out.data());
          z.avail_out = uInt(out.size());
          const int r = inflate(&z, Z_NO_FLUSH);
          if (r != Z_OK && r != Z_STREAM_END) Fail("the compressed stream is damaged");
          ended = r == Z_STREAM_END;
          const size_t made = out.size() - z.avail_out;
          // Lines end at CR LF, CR or LF; an LF right after a CR ends nothing.
          size_t start = 0;
          for (size_t i = 0; i < made; ++i) {
            const char c = out[i];
            if (c != '\r' && c != '\n') {
              afterCr = false;
              continue;
            }
            if (c == '\n' && afterCr) {
              afterCr = false;
              start = i + 1;
              continue;
            }
            carry.append(out.data() + start, i - start);
            Handler(std::string_view(carry));
            carry.clear();
            afterCr = c == '\r';
            start = i + 1;
          }
          carry.append(out.data() + start, made - start);
        }
        if (ended && z.avail_in > 0) Fail("bytes follow the compressed stream");
      }
    } catch (...) {
      inflateEnd(&z);
      ::close(fd);
      throw;
    }
    inflateEnd(&z);
    ::close(fd);
    if (!ended) Fail("the compressed stream ends early");
    if (!carry.empty()) Handler(std::string_view(carry));
  }

 private:
  std::string FFileName;
};

}  // namespace

void CheckWrittenMapFile(const std::string& Path, const TMapEditLayerList& Map,
                         const std::string& FileName) {
  const int64_t n = Map.Count(), w = Map.Width(), h = Map.Height();
  const int64_t pw = Map.PixelWidth(), ph = Map.PixelHeight();
  const TMapEditDoorList* doors = Map.DoorsIfCreated();
  auto* md = const_cast<TMapEditDoorList*>(doors);
  const int64_t counts[3] = {md ? md->HorzDoor().Count() : 0, md ? md->VertDoor().Count() : 0,
                             md ? md->FreeDoor().Count() : 0};
  const char* marks[3] = {kHorzMark, kVertMark, kFreeMark};
  const std::string header = std::to_string(n) + "," + std::to_string(w) + "," + std::to_string(h) +
                             "," + std::to_string(Map.ChipSize());
  const size_t pixelRow = EncodedLength(size_t(pw) * 4), cellRow = EncodedLength(size_t(w));

  // The lines in order: where each section starts.
  const int64_t layersAt = 2, layerMarkAt = layersAt + 2 * n, pixelsAt = layerMarkAt + 1;
  const int64_t drawMarkAt = pixelsAt + ph, cellsAt = drawMarkAt + 1, doorsAt = cellsAt + h;

  TLineFeed feed(FileName);
  std::vector<std::string> layerLines, extension;
  layerLines.reserve(size_t(n) * 2);
  int64_t line = 0;         // 0-based number of the line at hand
  int64_t doorSection = 0;  // 0 to 2, then 3 once the free doors are through
  int64_t sectionLine = 0;  // lines of the door section so far
  auto lineName = [&] { return "line " + std::to_string(line + 1); };
  feed.Run(Path, [&](std::string_view Text) {
    if (line == 0) {
      if (Text != kMagic) feed.Fail("the first line is not the magic line");
    } else if (line == 1) {
      if (Text != header) feed.Fail("the header is \"" + std::string(Text.substr(0, 40)) + "\"");
    } else if (line < layerMarkAt) {
      layerLines.emplace_back(Text);
    } else if (line == layerMarkAt) {
      if (Text != kLayerMark) feed.Fail(lineName() + " is not the layer mark");
    } else if (line < drawMarkAt) {
      if (Text.size() != pixelRow) feed.Fail("the pixel row on " + lineName() + " is cut");
    } else if (line == drawMarkAt) {
      if (Text != kDrawMark) feed.Fail(lineName() + " is not the cell mark");
    } else if (line < doorsAt) {
      if (Text.size() != cellRow) feed.Fail("the cell row on " + lineName() + " is cut");
    } else if (doorSection < 3) {
      // Mark, count, then one line per door.
      if (sectionLine == 0 && Text != marks[doorSection])
        feed.Fail(lineName() + " is not the door mark \"" + marks[doorSection] + "\"");
      if (sectionLine == 1 && Text != std::to_string(counts[doorSection]))
        feed.Fail("the door count on " + lineName() + " is not " +
                  std::to_string(counts[doorSection]));
      if (++sectionLine == counts[doorSection] + 2) {
        ++doorSection;
        sectionLine = 0;
      }
    } else {
      // The objects after the free doors.
      extension.emplace_back(Text);
    }
    ++line;
  });
  if (line < doorsAt || doorSection < 3)
    feed.Fail("the file ends after " + std::to_string(line) + " lines");

  // The layer texts as the reader decodes them: UTF-8 when all of them are valid
  // UTF-8, otherwise Shift JIS.
  std::string all;
  for (const std::string& t : layerLines) all += t + '\n';
  const bool utf8 = IsValidUtf8(all);
  for (int64_t i = 0; i < n; ++i) {
    std::string name = layerLines[size_t(i) * 2], rest = layerLines[size_t(i) * 2 + 1];
    if (!utf8) {
      try {
        name = Cp932ToUtf8(name);
        rest = Cp932ToUtf8(rest);
      } catch (const EConvertError&) {
        feed.Fail("the texts of layer " + std::to_string(i) + " are neither UTF-8 nor Shift JIS");
      }
    }
    const TMapEditLayer* layer = Map.Layers(int32_t(i));
    std::string type;
    CutToken(rest, ":", type);
    if (name != layer->LayerName || type != std::to_string(int(layer->LayerType)) ||
        rest != layer->FileName())
      feed.Fail("layer " + std::to_string(i) + " reads back differently");
  }

  // The objects: the section's marks around one line per object, each reading back
  // as the object's own line. A map without objects has no section, and what may
  // follow the free doors then is not this program's.
  const std::vector<std::string> objects = ExtensionObjectLines(Map.Objects());
  if (objects.empty()) return;
  if (extension.size() < objects.size() + 2 || extension.front() != kExtensionMark ||
      extension[objects.size() + 1] != kExtensionEnd)
    feed.Fail("the " + std::to_string(objects.size()) + " objects are not there as written");
  for (size_t i = 0; i < objects.size(); ++i) {
    std::string text = extension[i + 1];
    if (!utf8) {
      try {
        text = Cp932ToUtf8(text);
      } catch (const EConvertError&) {
        text.clear();
      }
    }
    if (text != objects[i]) feed.Fail("object " + std::to_string(i) + " reads back differently");
  }
}
