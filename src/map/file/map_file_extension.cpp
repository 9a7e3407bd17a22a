#include "map/file/map_file_extension.h"

#include <optional>

#include "map/base/text_encoding.h"
#include "map/objects/map_object_error.h"
#include "map/objects/map_object_list.h"

namespace mapfile {

namespace {

std::string LineName(int64_t Number) { return "Line " + std::to_string(Number); }

bool IsBlank(std::string_view Line) {
  return Line.find_first_not_of(" \t") == std::string_view::npos;
}

// Takes an object line in the file's encoding and adds its object; a warning
// instead when it cannot be read.
void ReadObjectLine(std::string_view Line, int64_t Number, bool Utf8, TMapObjectList& Objects,
                    std::vector<std::string>& Warnings) {
  const std::string left = "; the object was left out";
  if (Line.size() > kMaxObjectLine) {
    Warnings.push_back(LineName(Number) + " of the map file holds an object of " +
                       std::to_string(Line.size()) + " characters, more than " +
                       std::to_string(kMaxObjectLine) + left);
    return;
  }
  std::string text(Line);
  if (!Utf8) {
    try {
      text = Cp932ToUtf8(text);
    } catch (const std::exception& e) {
      Warnings.push_back(LineName(Number) + " of the map file is not Shift JIS text (" + e.what() +
                         ")" + left);
      return;
    }
  }
  try {
    Objects.Add(TMapObject::Parse(text));
  } catch (const EMapObjectError& e) {
    Warnings.push_back(LineName(Number) + " of the map file is damaged: " + e.what() + left);
  }
}

}  // namespace

std::vector<std::string> ExtensionObjectLines(const TMapObjectList& Objects) {
  std::vector<std::string> lines;
  lines.reserve(Objects.Count());
  for (const TMapObject& o : Objects.Items()) lines.push_back(o.FileLine());
  return lines;
}

bool EncodeExtensionLines(const std::vector<std::string>& EncodedLayerTexts,
                          std::vector<std::string>& Lines) {
  std::string all;
  for (const std::string& t : EncodedLayerTexts) {
    all += t;
    all += '\n';
  }
  if (IsValidUtf8(all)) return true;
  std::vector<std::string> converted;
  converted.reserve(Lines.size());
  for (const std::string& line : Lines) {
    std::optional<std::string> sjis = Utf8ToCp932(line);
    if (!sjis) return false;
    converted.push_back(std::move(*sjis));
  }
  Lines = std::move(converted);
  return true;
}

void AppendExtension(std::string& Out, const std::vector<std::string>& Lines) {
  if (Lines.empty()) return;
  auto line = [&](std::string_view Text) {
    Out.append(Text);
    Out.append("\r\n");
  };
  line(kExtensionMark);
  for (const std::string& l : Lines) line(l);
  line(kExtensionEnd);
}

void ReadExtension(const TExtensionLineSource& Next, bool Utf8, TMapObjectList& Objects,
                   std::vector<std::string>& Warnings) {
  std::string_view line;
  int64_t number = 0;
  // Blank lines before the section are not worth a word.
  do {
    if (!Next(line, number)) return;
  } while (IsBlank(line));
  if (line != kExtensionMark) {
    const std::string shown(line.substr(0, 40));
    if (line.rfind("VELLUMCRAFT EXT ", 0) == 0)
      Warnings.push_back(LineName(number) + " of the map file starts objects of a newer kind (\"" +
                         shown + "\"), which this version does not read; they are left out");
    else
      Warnings.push_back(LineName(number) +
                         " of the map file follows the free doors but is not the start of the "
                         "objects; the text from there on was ignored");
    return;
  }
  bool tooMany = false;
  for (;;) {
    if (!Next(line, number)) {
      Warnings.push_back("The objects of the map file end without \"" + std::string(kExtensionEnd) +
                         "\"; the file may be cut short");
      return;
    }
    if (line == kExtensionEnd) break;
    if (IsBlank(line)) continue;
    if (Objects.Count() >= kMaxMapObjects) {
      if (!tooMany)
        Warnings.push_back(LineName(number) + " of the map file: a map keeps at most " +
                           std::to_string(kMaxMapObjects) + " objects; the rest were left out");
      tooMany = true;
      continue;
    }
    ReadObjectLine(line, number, Utf8, Objects, Warnings);
  }
  while (Next(line, number))
    if (!IsBlank(line)) {
      Warnings.push_back(LineName(number) +
                         " of the map file follows the end of the objects; the text from there "
                         "on was ignored");
      return;
    }
}

}  // namespace mapfile
