// The prop object: its fields read and written, and props kept byte for byte
// through the map file.

#include <gtest/gtest.h>

#include <string>

#include "map/compose/prop_items.h"
#include "map/document/map_edit_layer_list.h"
#include "map/file/map_file.h"
#include "map/objects/map_object.h"
#include "map/objects/map_object_list.h"
#include "map/objects/map_prop.h"
#include "support/test_support.h"

namespace {

TMapProp Read(const std::string& Line) {
  TMapProp p;
  std::string error;
  EXPECT_TRUE(TMapProp::FromObject(TMapObject::Parse(Line), p, &error)) << error;
  return p;
}

std::string Refusal(const std::string& Line) {
  TMapProp p;
  std::string error;
  EXPECT_FALSE(TMapProp::FromObject(TMapObject::Parse(Line), p, &error)) << Line;
  return error;
}

}  // namespace

TEST(MapProp, ReadsEveryFieldWithDefaultsAndWritesThemBack) {
  const TMapProp p = Read(R"({"type":"prop","asset":"nature/bush.png","x":10.5,"y":-4})");
  EXPECT_EQ(p.Asset, "nature/bush.png");
  EXPECT_EQ(p.X, 10.5);
  EXPECT_EQ(p.Y, -4);
  EXPECT_EQ(p.Rotation, 0);
  EXPECT_EQ(p.Scale, 1);
  EXPECT_FALSE(p.Mirror);
  EXPECT_FALSE(p.Shadow);
  EXPECT_FALSE(p.BlocksSight);

  const TMapProp q =
      Read(R"({"type":"prop","asset":"a.png","x":1,"y":2,"rotation":195,"scale":0.5,"mirror":true,)"
           R"("shadow":true,"shadow_x":-3,"shadow_y":4.5,"shadow_soft":12,"shadow_opacity":0.25,)"
           R"("blocks_sight":true,"note":"kept"})");
  EXPECT_EQ(q.Rotation, 195);
  EXPECT_EQ(q.Scale, 0.5);
  EXPECT_TRUE(q.Mirror);
  EXPECT_TRUE(q.Shadow);
  EXPECT_EQ(q.ShadowX, -3);
  EXPECT_EQ(q.ShadowY, 4.5);
  EXPECT_EQ(q.ShadowSoftness, 12);
  EXPECT_EQ(q.ShadowOpacity, 0.25);
  EXPECT_TRUE(q.BlocksSight);
  // Written back: every field in place, the unknown key kept, whole numbers
  // without a fraction.
  TMapProp moved = q;
  moved.X = 7;
  EXPECT_EQ(moved.ToObject().Data.dump(),
            R"({"type":"prop","asset":"a.png","x":7,"y":2,"rotation":195,"scale":0.5,)"
            R"("mirror":true,"shadow":true,"shadow_x":-3,"shadow_y":4.5,"shadow_soft":12,)"
            R"("shadow_opacity":0.25,"blocks_sight":true,"note":"kept"})");

  // The map's chip size sets the drawn scale: 256 image pixels per cell.
  const TPropItem item = PropItemOf(q, 32);
  EXPECT_EQ(item.Transform.Scale, 0.5 * 32 / 256.0);
  EXPECT_EQ(item.Shadow.Opacity, 64);
  EXPECT_TRUE(item.Transform.Mirror);
}

TEST(MapProp, RefusesNonsense) {
  EXPECT_NE(Refusal(R"({"type":"prop","x":1,"y":1})").find("asset"), std::string::npos);
  EXPECT_NE(Refusal(R"({"type":"prop","asset":"a.png","scale":0})").find("scale"),
            std::string::npos);
  EXPECT_NE(Refusal(R"({"type":"prop","asset":"a.png","scale":1e9})").find("scale"),
            std::string::npos);
  EXPECT_NE(Refusal(R"({"type":"prop","asset":"a.png","x":"left"})").find("x"), std::string::npos);
  EXPECT_NE(Refusal(R"({"type":"prop","asset":"a.png","shadow_opacity":2})").find("shadow_opacity"),
            std::string::npos);
  EXPECT_NE(Refusal(R"({"type":"prop","asset":"a.png","shadow_soft":-1})").find("shadow_soft"),
            std::string::npos);
  EXPECT_NE(Refusal(R"({"type":"label","asset":"a.png"})"), "");

  // A prop that does not read is not drawn, and said so; the others are.
  TMapObjectList list;
  list.Add(TMapObject::Parse(R"({"type":"prop","asset":"a.png","x":5,"y":6})"));
  list.Add(TMapObject::Parse(R"({"type":"prop","asset":"b.png","scale":-2})"));
  list.Add(TMapObject::Parse(R"({"type":"label","text":"1"})"));
  std::vector<std::string> errors;
  const std::vector<TPropItem> items = PropItemsOf(list, 50, &errors);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].Path, "a.png");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("object 1: ", 0), 0u) << errors[0];
}

TEST(MapProp, PropsGoThroughTheMapFileByteForByte) {
  TMapEditLayerList map;
  map.SetSize(2, 2, 16);
  map.AddLayer()->SetFileName("0");
  map.AddLayer()->SetFileName("255");
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) map.SetPixelLayer(x, y, x < 16 ? 0 : 1);
  const std::string without = BuildMapFile(map);

  TMapProp a;
  a.Asset = "furniture/table_round.png";
  a.X = 24.25, a.Y = 8, a.Rotation = 30, a.Scale = 0.75, a.Shadow = true;
  TMapProp b;
  b.Asset = "/home/someone/props/cart.png";
  b.X = 3, b.Y = 29, b.Mirror = true, b.BlocksSight = true;
  map.Objects().Add(a.ToObject());
  map.Objects().Add(b.ToObject());
  const std::string with = BuildMapFile(map);
  EXPECT_NE(with, without);

  TMapEditLayerList back;
  TMapLoadReport report;
  LoadMapFromBytes(back, with, "", report, false);
  EXPECT_TRUE(report.Warnings.empty());
  ASSERT_EQ(back.Objects().Count(), 2u);
  TMapProp ra, rb;
  ASSERT_TRUE(TMapProp::FromObject(back.Objects().At(0), ra, nullptr));
  ASSERT_TRUE(TMapProp::FromObject(back.Objects().At(1), rb, nullptr));
  EXPECT_EQ(ra.Asset, a.Asset);
  EXPECT_EQ(ra.X, 24.25);
  EXPECT_EQ(ra.Rotation, 30);
  EXPECT_TRUE(ra.Shadow);
  EXPECT_EQ(rb.Asset, b.Asset);
  EXPECT_TRUE(rb.Mirror);
  EXPECT_TRUE(rb.BlocksSight);
  EXPECT_EQ(BuildMapFile(back), with);

  // Deleting the props gives back the file without any, to the byte.
  back.Objects().Clear();
  EXPECT_EQ(BuildMapFile(back), without);
}
