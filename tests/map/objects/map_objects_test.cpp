// The object list and the typed views of labels, lights and windows.

#include <gtest/gtest.h>

#include <string>

#include "map/objects/map_label.h"
#include "map/objects/map_light.h"
#include "map/objects/map_object.h"
#include "map/objects/map_object_error.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_window.h"

namespace {

std::string Types(const TMapObjectList& List) {
  std::string out;
  for (const TMapObject& o : List.Items()) out += o.Type + " ";
  return out;
}

}  // namespace

TEST(MapObjectList, IdsOrderAndMoves) {
  TMapObjectList list;
  const uint64_t a = list.Add(TMapObject::Make("a"));
  const uint64_t b = list.Add(TMapObject::Make("b"));
  const uint64_t c = list.Add(TMapObject::Make("c"));
  EXPECT_NE(a, b);
  EXPECT_NE(b, c);
  EXPECT_EQ(list.IndexOf(c), 2);
  EXPECT_EQ(list.IndexOf(999), -1);
  EXPECT_EQ(list.Find(999), nullptr);

  EXPECT_TRUE(list.Move(a, 1));
  EXPECT_EQ(Types(list), "b a c ");
  EXPECT_TRUE(list.Move(a, 10));  // stops at the end
  EXPECT_EQ(Types(list), "b c a ");
  EXPECT_TRUE(list.Move(a, -10));
  EXPECT_EQ(Types(list), "a b c ");
  EXPECT_FALSE(list.Move(999, 1));

  // Replacing keeps the id and the place.
  list.Replace(b, TMapObject::Make("B"));
  EXPECT_EQ(Types(list), "a B c ");
  EXPECT_EQ(list.At(1).Id, b);
  EXPECT_THROW(list.Replace(999, TMapObject::Make("x")), EMapObjectError);

  // A removed id is not given again.
  EXPECT_TRUE(list.Remove(c));
  EXPECT_FALSE(list.Remove(c));
  const uint64_t d = list.Add(TMapObject::Make("d"));
  EXPECT_NE(d, a);
  EXPECT_NE(d, b);
  EXPECT_NE(d, c);
}

TEST(MapObject, ParseRefusesWhatIsNotAnObjectWithAType) {
  EXPECT_THROW(TMapObject::Parse("{\"type\":"), EMapObjectError);
  EXPECT_THROW(TMapObject::Parse("[1]"), EMapObjectError);
  EXPECT_THROW(TMapObject::Parse("{\"type\":3}"), EMapObjectError);
  EXPECT_THROW(TMapObject::Parse("{\"name\":\"x\"}"), EMapObjectError);
  // Bytes that are not UTF-8 inside a text.
  EXPECT_THROW(TMapObject::Parse("{\"type\":\"label\",\"text\":\"\xFF\"}"), EMapObjectError);
  const TMapObject o = TMapObject::Parse("{\"type\":\"label\"}");
  EXPECT_EQ(o.Type, "label");
}

TEST(MapLabel, ReadsWritesAndChecksItsFields) {
  TMapLabel l;
  std::string error;
  // Defaults for what the object does not say.
  ASSERT_TRUE(TMapLabel::FromObject(TMapObject::Make("label"), l, &error)) << error;
  EXPECT_EQ(l.Size, 0.5);
  EXPECT_EQ(l.Color, 0xFF000000u);
  EXPECT_FALSE(l.Outline);
  EXPECT_EQ(l.Align, TLabelAlign::Center);

  TMapObject o =
      TMapObject::Parse(R"({"type":"label","future":[1],"x":10,"y":-4,"text":"A","size":1.25,)"
                        R"("color":"#80ff0000","outline":"#FFFFFF","align":"right"})");
  o.Id = 7;
  ASSERT_TRUE(TMapLabel::FromObject(o, l, &error)) << error;
  EXPECT_EQ(l.Id, 7u);
  EXPECT_EQ(l.X, 10);
  EXPECT_EQ(l.Y, -4);
  EXPECT_EQ(l.Size, 1.25);
  EXPECT_EQ(l.Color, 0x80FF0000u);
  EXPECT_EQ(*l.Outline, 0xFFFFFFFFu);  // #RRGGBB is opaque
  EXPECT_EQ(l.Align, TLabelAlign::Right);

  // Written back: known keys in their places, unknown ones kept, the id carried.
  l.Text = "B";
  l.Outline.reset();
  const TMapObject back = l.ToObject();
  EXPECT_EQ(back.Id, 7u);
  EXPECT_EQ(back.Data.dump(),
            R"({"type":"label","future":[1],"x":10,"y":-4,"text":"B","size":1.25,)"
            R"("color":"#80FF0000","align":"right"})");

  auto refused = [&](const std::string& Json, const std::string& Names) {
    TMapLabel x;
    std::string e;
    EXPECT_FALSE(TMapLabel::FromObject(TMapObject::Parse(Json), x, &e)) << Json;
    EXPECT_NE(e.find(Names), std::string::npos) << e;
  };
  refused(R"({"type":"label","size":0})", "\"size\"");
  refused(R"({"type":"label","size":"big"})", "\"size\"");
  refused(R"({"type":"label","x":1.5})", "\"x\"");
  refused(R"({"type":"label","x":1e300})", "\"x\"");
  refused(R"({"type":"label","color":"red"})", "\"color\"");
  refused(R"({"type":"label","color":"#12345"})", "\"color\"");
  refused(R"({"type":"label","align":"middle"})", "\"align\"");
  refused(R"({"type":"label","text":5})", "\"text\"");
  refused(R"({"type":"light"})", "not a \"label\"");
}

TEST(MapLight, ReadsWritesAndChecksItsFields) {
  TMapLight l;
  std::string error;
  ASSERT_TRUE(TMapLight::FromObject(
      TMapObject::Parse(R"({"type":"light","x":5,"y":6,"radius":2.5,"color":"#FFFFE0A0",)"
                        R"("intensity":0.75,"shadows":false})"),
      l, &error))
      << error;
  EXPECT_EQ(l.Radius, 2.5);
  EXPECT_EQ(l.Color, 0xFFFFE0A0u);
  EXPECT_EQ(l.Intensity, 0.75);
  EXPECT_FALSE(l.Shadows);
  l.Radius = 3;
  EXPECT_EQ(l.ToObject().Data.dump(),
            R"({"type":"light","x":5,"y":6,"radius":3,"color":"#FFFFE0A0","intensity":0.75,)"
            R"("shadows":false})");
  TMapLight x;
  EXPECT_FALSE(
      TMapLight::FromObject(TMapObject::Parse(R"({"type":"light","radius":-1})"), x, &error));
  EXPECT_FALSE(
      TMapLight::FromObject(TMapObject::Parse(R"({"type":"light","intensity":11})"), x, &error));
  EXPECT_FALSE(
      TMapLight::FromObject(TMapObject::Parse(R"({"type":"light","shadows":1})"), x, &error));
  EXPECT_NE(error.find("\"shadows\""), std::string::npos);
}

TEST(MapWindow, EdgeAndFreeWindows) {
  TMapWindow w;
  std::string error;
  ASSERT_TRUE(TMapWindow::FromObject(
      TMapObject::Parse(R"({"type":"window","edge":"h","cx":3,"cy":2})"), w, &error))
      << error;
  TPoint a, b;
  w.Ends(32, a, b);
  EXPECT_EQ(a, (TPoint{96, 64}));
  EXPECT_EQ(b, (TPoint{128, 64}));
  w.Kind = TWindowKind::Vertical;
  w.Ends(32, a, b);
  EXPECT_EQ(a, (TPoint{96, 64}));
  EXPECT_EQ(b, (TPoint{96, 96}));
  EXPECT_EQ(w.ToObject().Data.dump(), R"({"type":"window","edge":"v","cx":3,"cy":2})");

  // Becoming a free window drops the edge keys.
  w.Kind = TWindowKind::Free;
  w.X1 = 1;
  w.Y1 = 2;
  w.X2 = 30;
  w.Y2 = 2;
  w.Color = 0xFF00FF00;
  EXPECT_EQ(w.ToObject().Data.dump(),
            R"({"type":"window","x1":1,"y1":2,"x2":30,"y2":2,"color":"#FF00FF00"})");
  TMapWindow f;
  ASSERT_TRUE(TMapWindow::FromObject(w.ToObject(), f, &error)) << error;
  EXPECT_EQ(f.Kind, TWindowKind::Free);
  f.Ends(32, a, b);
  EXPECT_EQ(a, (TPoint{1, 2}));
  EXPECT_EQ(b, (TPoint{30, 2}));

  EXPECT_FALSE(
      TMapWindow::FromObject(TMapObject::Parse(R"({"type":"window","x1":1,"y1":2})"), f, &error));
  EXPECT_NE(error.find("\"x2\""), std::string::npos) << error;
  EXPECT_FALSE(
      TMapWindow::FromObject(TMapObject::Parse(R"({"type":"window","edge":"d"})"), f, &error));
  // Cells far enough out that their pixels would not fit 32 bits.
  EXPECT_FALSE(TMapWindow::FromObject(
      TMapObject::Parse(R"({"type":"window","edge":"h","cx":5000000,"cy":0})"), f, &error));
}
