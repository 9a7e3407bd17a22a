// The map's stored style: its object form, what is refused, and the undoable
// edit that adds, changes and removes it; a map saved without a style is the map
// it was before.

#include <gtest/gtest.h>

#include <string>

#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/document/map_style_edit.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_style.h"
#include "support/test_support.h"

namespace {

TMapStyleSettings SomeStyle() {
  TMapStyleSettings s;
  s.Looks.Hatching = {true, 20, 6, 0xFF3A3028u, 77};
  s.Looks.Shadow = {true, 135, 12, 5, 90};
  s.Looks.Outline = {true, 3, 1, 0x80102030u, 9};
  s.Looks.InkSaving = {true, TInkWalls::Grey};
  s.GridStyle = TGridLineStyle::Dotted;
  s.GridOpacity = 40;
  return s;
}

TEST(MapStyleObject, ObjectFormRoundTripsAndKeepsUnknownKeys) {
  TMapStyle st;
  st.Settings = SomeStyle();
  const TMapObject o = st.ToObject();
  EXPECT_EQ(o.Type, "style");
  EXPECT_EQ(o.Data["hatch_color"], "#FF3A3028");
  EXPECT_EQ(o.Data["outline_color"], "#80102030");
  EXPECT_EQ(o.Data["ink_walls"], "grey");
  EXPECT_EQ(o.Data["grid_line"], "dotted");
  TMapStyle back;
  std::string error;
  ASSERT_TRUE(TMapStyle::FromObject(TMapObject::FromJson(o.Data), back, &error)) << error;
  EXPECT_EQ(back.Settings, SomeStyle());

  // Only a type: every default, the plain picture. A key of a later version is
  // written back with the style.
  TMapObject bare = TMapObject::Parse(R"({"type":"style","paper":"#FFF8F0E0"})");
  ASSERT_TRUE(TMapStyle::FromObject(bare, back, &error)) << error;
  EXPECT_TRUE(back.Settings.IsPlain());
  back.Settings.Looks.Outline.Enabled = true;
  EXPECT_EQ(back.ToObject().Data["paper"], "#FFF8F0E0");
}

TEST(MapStyleObject, RefusesNonsenseWithTheFieldNamed) {
  const char* bad[] = {
      R"({"type":"style","hatch_distance":0})",
      R"({"type":"style","hatch_distance":1e9})",
      R"({"type":"style","shadow_length":"long"})",
      R"({"type":"style","hatch_color":"red"})",
      R"({"type":"style","ink_walls":"wood"})",
      R"({"type":"style","grid_line":"wavy"})",
      R"({"type":"style","grid_opacity":101})",
      R"({"type":"style","hatch_seed":-1})",
      R"({"type":"style","shadow_length":4,"shadow_softness":5})",
      R"({"type":"label","text":"x"})",
  };
  for (const char* text : bad) {
    TMapStyle st;
    std::string error;
    EXPECT_FALSE(TMapStyle::FromObject(TMapObject::Parse(text), st, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
  // A map whose style cannot be read is drawn plain and says why.
  TMapObjectList list;
  list.Add(TMapObject::Parse(R"({"type":"style","grid_line":"wavy"})"));
  std::string error;
  EXPECT_TRUE(StoredMapStyle(list, &error).IsPlain());
  EXPECT_NE(error.find("grid_line"), std::string::npos);
}

TEST(MapStyleObject, SetThroughTheSessionIsOneUndoStepAndPlainLeavesNoObject) {
  vctest::TempDir dir;
  TMapEditLayerList map;
  map.SetSize(3, 2, 8);
  map.AddLayer()->SetFileName("0");
  map.AddLayer()->SetFileName("255");
  TMapEditSession session(map, 8);
  const std::string before = dir.File("before.qmx"), after = dir.File("after.qmx");
  map.SaveToFile(before);

  EXPECT_TRUE(SetMapStyle(session, SomeStyle()));
  EXPECT_EQ(StoredMapStyle(map.Objects()), SomeStyle());
  EXPECT_FALSE(SetMapStyle(session, SomeStyle()));  // no change, no step
  TMapStyleSettings other = SomeStyle();
  other.Looks.Hatching.Enabled = false;
  EXPECT_TRUE(SetMapStyle(session, other));
  ASSERT_EQ(map.Objects().Count(), 1u);  // at most one style
  EXPECT_EQ(StoredMapStyle(map.Objects()), other);

  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(StoredMapStyle(map.Objects()), SomeStyle());
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(map.Objects().Count(), 0u);
  ASSERT_TRUE(session.Redo());
  ASSERT_TRUE(session.Redo());
  EXPECT_EQ(StoredMapStyle(map.Objects()), other);

  // The style goes with the file and comes back with it.
  map.SaveToFile(after);
  TMapEditLayerList loaded;
  loaded.LoadFromFile(after);
  EXPECT_EQ(StoredMapStyle(loaded.Objects()), other);

  // Back to the plain picture: the object goes, and the file is as before.
  EXPECT_TRUE(SetMapStyle(session, {}));
  EXPECT_EQ(map.Objects().Count(), 0u);
  map.SaveToFile(after);
  EXPECT_EQ(vctest::ReadFileBytes(after), vctest::ReadFileBytes(before));
}

}  // namespace
