#include "map/document/map_style_edit.h"

#include <string>
#include <utility>

#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_style.h"

bool SetMapStyle(TMapEditSession& Session, const TMapStyleSettings& Style) {
  const TMapObjectList& objects = std::as_const(Session.Map()).Objects();
  const TMapObject* old = FindStyleObject(objects);
  TMapStyle current;
  std::string error;
  const bool readable = old && TMapStyle::FromObject(*old, current, &error);
  if (!old) {
    if (Style.IsPlain()) return false;
    TMapStyle st;
    st.Settings = Style;
    Session.AddObject(st.ToObject());
    return true;
  }
  if (readable && current.Settings == Style) return false;
  const uint64_t id = old->Id;
  if (Style.IsPlain()) {
    Session.DeleteObjects({id});
    return true;
  }
  // An object that could not be read is replaced whole; one that could keeps
  // the keys it had.
  TMapStyle st;
  if (readable) st = current;
  st.Id = id;
  st.Settings = Style;
  Session.ReplaceObject(id, st.ToObject());
  return true;
}
