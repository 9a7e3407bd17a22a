#pragma once
// The extension section of the map file: after the free-door list, a line
// "VELLUMCRAFT EXT 1", one line of compact JSON per object, and "VELLUMCRAFT END".
// A reader that knows only the older format stops after the free doors and never
// sees it; a map without objects has no such section at all.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TMapObjectList;

namespace mapfile {

inline constexpr char kExtensionMark[] = "VELLUMCRAFT EXT 1";
inline constexpr char kExtensionEnd[] = "VELLUMCRAFT END";
// The longest object line read, and the most objects a map keeps.
inline constexpr size_t kMaxObjectLine = size_t(1) << 20;
inline constexpr size_t kMaxMapObjects = 100000;

// The object lines of Objects in UTF-8, in list order; empty for no objects.
std::vector<std::string> ExtensionObjectLines(const TMapObjectList& Objects);

// Puts the object lines into the encoding a reader will take the file for, judged
// by the encoded layer texts as the reader judges them: Shift JIS when those are
// not valid UTF-8. False when that is Shift JIS and an object line does not
// convert; the file must then be written in UTF-8 throughout.
bool EncodeExtensionLines(const std::vector<std::string>& EncodedLayerTexts,
                          std::vector<std::string>& Lines);

// Appends the section for the (encoded) object lines, CR LF after every line;
// nothing when there are none.
void AppendExtension(std::string& Out, const std::vector<std::string>& Lines);

// Gives the next line of the text after the free doors and its 1-based line
// number in the file; false at the end of the text.
using TExtensionLineSource = std::function<bool(std::string_view& Line, int64_t& Number)>;

// Reads the section into Objects (which gives each object its id). Utf8 false
// means the file's texts are Shift JIS. Nothing here fails the load: a damaged
// line, a section of an unknown version or text after the section becomes a
// warning naming its line, and the object is left out.
void ReadExtension(const TExtensionLineSource& Next, bool Utf8, TMapObjectList& Objects,
                   std::vector<std::string>& Warnings);

}  // namespace mapfile
