#include "map/objects/map_object.h"

#include "map/objects/map_object_error.h"

namespace {

std::string Compact(const nlohmann::ordered_json& Data) {
  // Texts of objects are UTF-8; a stray byte is shown as U+FFFD instead of failing.
  return Data.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

TMapObject TMapObject::Make(const std::string& Type) {
  TMapObject o;
  o.Type = Type;
  o.Data = nlohmann::ordered_json::object();
  o.Data["type"] = Type;
  return o;
}

TMapObject TMapObject::FromJson(nlohmann::ordered_json Data) {
  if (!Data.is_object()) throw EMapObjectError("an object is not a JSON object");
  const auto type = Data.find("type");
  if (type == Data.end() || !type->is_string())
    throw EMapObjectError("an object has no text \"type\"");
  TMapObject o;
  o.Type = type->get<std::string>();
  o.Data = std::move(Data);
  return o;
}

TMapObject TMapObject::Parse(const std::string& Line) {
  nlohmann::ordered_json data;
  try {
    data = nlohmann::ordered_json::parse(Line);
  } catch (const nlohmann::ordered_json::exception& e) {
    throw EMapObjectError(std::string("the object is not valid JSON: ") + e.what());
  }
  TMapObject o = FromJson(std::move(data));
  o.SourceLine = Line;
  o.SourceDump = Compact(o.Data);
  return o;
}

std::string TMapObject::FileLine() const {
  std::string line = Compact(Data);
  if (!SourceLine.empty() && line == SourceDump) return SourceLine;
  return line;
}
