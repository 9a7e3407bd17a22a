#include "map/document/map_edit_door.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "map/document/map_edit_door_list.h"
#include "map/document/map_edit_layer_list.h"
#include "record/errors.h"

namespace {

using Points = std::vector<std::pair<int32_t, int32_t>>;

template <typename List>
Points PositionsOf(const List& L) {
  Points p;
  for (int32_t i = 0; i < L.Count(); ++i) p.emplace_back(L.Items(i)->X, L.Items(i)->Y);
  return p;
}

template <typename List>
void AddDoors(List& L, const Points& P) {
  for (auto [x, y] : P) {
    auto* d = L.Add();
    d->X = x;
    d->Y = y;
  }
}

template <typename T>
std::vector<uint8_t> StreamBytes(const T& Object) {
  TMemoryStream s;
  Object.SaveToStream(s);
  return s.Bytes();
}

void PutInt(std::vector<uint8_t>& B, uint32_t V) {
  for (int i = 0; i < 4; ++i) B.push_back(uint8_t(V >> (8 * i)));
}

TEST(DoorList, SortsHorizontalByRowAndVerticalByColumn) {
  TMapEditHorzDoorList horz;
  AddDoors(horz, {{3, 1}, {0, 2}, {1, 1}});
  horz.Sort();
  EXPECT_EQ(PositionsOf(horz), (Points{{1, 1}, {3, 1}, {0, 2}}));

  TMapEditVertDoorList vert;
  AddDoors(vert, {{3, 1}, {0, 2}, {1, 1}});
  vert.Sort();
  EXPECT_EQ(PositionsOf(vert), (Points{{0, 2}, {1, 1}, {3, 1}}));
}

TEST(DoorList, FindsDoorsOrTheirInsertionPlace) {
  TMapEditHorzDoorList horz;
  int32_t index = -1;
  EXPECT_FALSE(horz.Find(0, 0, index));
  EXPECT_EQ(index, 0);

  AddDoors(horz, {{1, 1}, {3, 1}, {0, 2}});
  EXPECT_FALSE(horz.Find(2, 1, index));
  EXPECT_EQ(index, 1);
  EXPECT_TRUE(horz.Find(3, 1, index));
  EXPECT_EQ(index, 1);
  EXPECT_TRUE(horz.Find(1, 1, index));
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(horz.Find(0, 2, index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(horz.Find(5, 2, index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(horz.Find(9, 0, index));
  EXPECT_EQ(index, 0);

  // Several equal doors: the lowest of them is reported.
  TMapEditVertDoorList vert;
  AddDoors(vert, {{0, 0}, {2, 5}, {2, 5}, {2, 5}, {4, 0}});
  EXPECT_TRUE(vert.Find(2, 5, index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(vert.Find(2, 6, index));
  EXPECT_EQ(index, 4);
}

TEST(DoorList, FarApartCoordinatesKeepTheirOrder) {
  // A 32-bit difference of these wraps around; the order must still be numeric.
  TMapEditHorzDoorList horz;
  AddDoors(horz, {{0, INT32_MAX}, {0, -2}, {INT32_MIN, 0}, {INT32_MAX, 0}});
  horz.Sort();
  EXPECT_EQ(PositionsOf(horz), (Points{{0, -2}, {INT32_MIN, 0}, {INT32_MAX, 0}, {0, INT32_MAX}}));
  int32_t index = -1;
  EXPECT_TRUE(horz.Find(0, INT32_MAX, index));
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(horz.Find(INT32_MIN, 0, index));
  EXPECT_EQ(index, 1);
}

TEST(DoorRecord, CopiesOwnAndParentFieldsOnly) {
  TMapEditHorzDoor h;
  h.X = 4;
  h.Y = -3;
  h.Color = 0xFF102030;
  h.Width = 2;
  TMapEditHorzDoor h2;
  h2.Assign(&h);
  EXPECT_EQ(h2.X, 4);
  EXPECT_EQ(h2.Y, -3);
  EXPECT_EQ(h2.Color, 0xFF102030u);
  EXPECT_EQ(h2.Width, 2);

  // Across kinds only the shared fields travel.
  TMapEditVertDoor v;
  v.Height = 9;
  v.Assign(&h);
  EXPECT_EQ(v.X, 4);
  EXPECT_EQ(v.Y, -3);
  EXPECT_EQ(v.Color, 0xFF102030u);
  EXPECT_EQ(v.Height, 9);

  // A door cannot be copied into a list.
  TMapEditHorzDoorList list;
  try {
    list.Assign(&h);
    ADD_FAILURE() << "a door was copied into a list";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "TMapEditHorzDoor を TMapEditHorzDoorList に代入することはできません");
  }
}

TEST(DoorRecord, StreamFormRoundTrips) {
  TMapEditCustomDoor d;
  d.X = 1;
  d.Y = -1;
  d.X2 = 300;
  d.Y2 = 7;
  d.Color = 0xFFFF0000;
  std::vector<uint8_t> expect;
  for (uint32_t v : {1u, 0xFFFFFFFFu, 0xFFFF0000u, 300u, 7u}) PutInt(expect, v);
  EXPECT_EQ(StreamBytes(d), expect);

  TMemoryStream s;
  d.SaveToStream(s);
  s.SetPosition(0);
  TMapEditCustomDoor back;
  back.LoadFromStream(s);
  EXPECT_EQ(back.X, 1);
  EXPECT_EQ(back.Y, -1);
  EXPECT_EQ(back.X2, 300);
  EXPECT_EQ(back.Y2, 7);
  EXPECT_EQ(back.Color, 0xFFFF0000u);
}

TEST(FreeDoorList, AssignMakesNewDoorsInOrder) {
  TMapEditCustomDoorList a;
  for (int i = 0; i < 3; ++i) {
    TMapEditCustomDoor* d = a.Add();
    d->X = i;
    d->Y = 10 + i;
    d->X2 = 20 + i;
    d->Y2 = 30 + i;
    d->Color = 0xFF000000u + uint32_t(i);
  }
  TMapEditCustomDoorList b;
  b.Add()->X = 99;
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(b.Items(i), a.Items(i));
    EXPECT_EQ(b.Items(i)->X, i);
    EXPECT_EQ(b.Items(i)->Y, 10 + i);
    EXPECT_EQ(b.Items(i)->X2, 20 + i);
    EXPECT_EQ(b.Items(i)->Y2, 30 + i);
    EXPECT_EQ(b.Items(i)->Color, 0xFF000000u + uint32_t(i));
  }
}

TEST(DoorContainer, LazyMembersAndFreeDoorProperty) {
  TMapEditLayerList map;
  TMapEditDoorList& doors = map.Doors();
  EXPECT_EQ(&map.Doors(), &doors);
  EXPECT_EQ(doors.Owner(), &map);
  EXPECT_FALSE(doors.HasDoors());
  EXPECT_EQ(doors.BitmapIfCreated(), nullptr);
  EXPECT_EQ(doors.DoorPixelCode(0, 0), 0);

  TBitmap32& bmp = doors.Bitmap();
  EXPECT_EQ(bmp.DrawMode, dmCustom);
  EXPECT_EQ(bmp.OnPixelCombine, &DoorPixelCombine);
  EXPECT_EQ(bmp.OuterColor, 0u);

  TMapEditCustomDoorList given;
  TMapEditCustomDoor* g = given.Add();
  g->X = 5;
  g->X2 = 6;
  doors.SetFreeDoor(&given);
  ASSERT_EQ(doors.FreeDoor().Count(), 1);
  EXPECT_NE(doors.FreeDoor().Items(0), g);
  EXPECT_EQ(doors.FreeDoor().Items(0)->X2, 6);
  EXPECT_TRUE(doors.HasDoors());

  doors.SetFreeDoor(nullptr);
  EXPECT_EQ(doors.FreeDoor().Count(), 1);

  doors.FreeDoor().Clear();
  EXPECT_FALSE(doors.HasDoors());
  doors.VertDoor().Add();
  EXPECT_TRUE(doors.HasDoors());
  doors.VertDoor().Clear();
  doors.HorzDoor().Add();
  EXPECT_TRUE(doors.HasDoors());

  // The container on its own counts free doors only.
  TCustomMapEditDoorList custom(&map);
  EXPECT_FALSE(custom.HasDoors());
  custom.FreeDoor().Add();
  EXPECT_TRUE(custom.HasDoors());
}

TEST(DoorContainer, IsNeverCopied) {
  TMapEditDoorList a(nullptr), b(nullptr);
  a.HorzDoor().Add()->X = 1;
  try {
    b.Assign(&a);
    ADD_FAILURE() << "a door container was copied";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "TMapEditDoorList を TMapEditDoorList に代入することはできません");
  }
  EXPECT_EQ(b.HorzDoor().Count(), 0);
}

TEST(DoorContainer, StreamFormIsHorizontalVerticalThenFree) {
  TMapEditDoorList doors(nullptr);
  std::vector<uint8_t> empty;
  for (int i = 0; i < 3; ++i) PutInt(empty, 0);
  EXPECT_EQ(StreamBytes(doors), empty);

  TMapEditHorzDoor* h = doors.HorzDoor().Add();
  h->X = 2;
  h->Y = 3;
  h->Color = 0xFF00FF00;
  h->Width = 1;
  std::vector<uint8_t> one;
  for (uint32_t v : {1u, 2u, 3u, 0xFF00FF00u, 1u, 0u, 0u}) PutInt(one, v);
  EXPECT_EQ(StreamBytes(doors), one);

  TMapEditVertDoor* v = doors.VertDoor().Add();
  v->X = -1;
  v->Height = 4;
  TMapEditCustomDoor* f = doors.FreeDoor().Add();
  f->X = 10;
  f->Y = 11;
  f->X2 = 12;
  f->Y2 = 13;
  f->Color = 7;

  TMemoryStream s;
  doors.SaveToStream(s);
  s.SetPosition(0);
  TMapEditDoorList back(nullptr);
  back.FreeDoor().Add();  // replaced by what is read
  back.LoadFromStream(s);
  EXPECT_EQ(s.Position(), s.Size());
  ASSERT_EQ(back.HorzDoor().Count(), 1);
  ASSERT_EQ(back.VertDoor().Count(), 1);
  ASSERT_EQ(back.FreeDoor().Count(), 1);
  EXPECT_EQ(back.HorzDoor().Items(0)->Color, 0xFF00FF00u);
  EXPECT_EQ(back.VertDoor().Items(0)->X, -1);
  EXPECT_EQ(back.VertDoor().Items(0)->Height, 4);
  EXPECT_EQ(back.FreeDoor().Items(0)->Y2, 13);
  EXPECT_EQ(back.FreeDoor().Items(0)->Color, 7u);
  EXPECT_EQ(StreamBytes(back), StreamBytes(doors));
}

}  // namespace
