#pragma once
// TMapObject: one object of the map file's extension section (a label, a light, a
// window, a prop, a style, or a type this program does not know). The object is
// kept as the JSON it was read as, key order included, so that an object nobody
// changed is written back exactly as it came.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

struct TMapObject {
  // The JSON "type" key.
  std::string Type;
  // The whole object, "type" included.
  nlohmann::ordered_json Data;
  // Stable while the document is open: given on load and on add, never saved. 0 for
  // an object not yet in a document.
  uint64_t Id = 0;
  // The line the object was read from (UTF-8) and Data's compact form at that time;
  // while Data still dumps to the same text, the line is written back as it was.
  std::string SourceLine;
  std::string SourceDump;

  // An object of type Type with Data {"type": Type}.
  static TMapObject Make(const std::string& Type);
  // Data as given; Type is taken from its "type" key. Raises EMapObjectError when
  // Data is not an object or has no text "type".
  static TMapObject FromJson(nlohmann::ordered_json Data);
  // Parses one line of the extension section (UTF-8 text). Raises EMapObjectError
  // naming what is wrong.
  static TMapObject Parse(const std::string& Line);

  // The line the file holds for this object: the line it was read from while
  // nothing changed, else Data in compact form.
  std::string FileLine() const;
  // The same object with the same content (Type and Data; the id is not compared).
  bool SameContent(const TMapObject& Other) const {
    return Type == Other.Type && Data == Other.Data;
  }
};
