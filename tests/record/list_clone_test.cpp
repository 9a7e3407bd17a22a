#include "record/list_clone.h"

#include <gtest/gtest.h>

#include "record/errors.h"
#include "record/record_list.h"
#include "record/stream.h"

namespace {

TEST(ListClone, IndexErrorsCarryTheBadIndexAndLeaveTheListAlone) {
  TListClone list;
  int a = 1, b = 2;
  list.Add(&a);
  list.Add(&b);
  try {
    list.Items(2);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています (2)");
  }
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(3, &a), EListError);
  EXPECT_EQ(list.Count(), 2);
  try {
    list.SetCapacity(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "リストの容量が超えました (1)");
  }
  try {
    list.SetCount(-5);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "リストの個数を超えました (-5)");
  }
  EXPECT_EQ(list.Items(1), &b);
}

TEST(ListClone, CountGrowsWithNilEntriesAndShrinks) {
  TListClone list;
  list.SetCount(6);
  EXPECT_EQ(list.Count(), 6);
  EXPECT_GE(list.Capacity(), 6);
  EXPECT_EQ(list.Items(5), nullptr);
  list.SetCount(2);
  EXPECT_EQ(list.Count(), 2);
  list.Clear();
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(RecordList, IndexOfFindsTheFirstOfEqualPoints) {
  TRecordList list;
  list.Add({1, 2});
  list.Add({3, 4});
  list.Add({3, 4});
  list.Insert(0, {9, 9});
  EXPECT_EQ(list.IndexOf({3, 4}), 2);
  EXPECT_EQ(list.IndexOf({5, 5}), -1);
  TPoint p;
  list.Items(0, p);
  EXPECT_EQ(p, (TPoint{9, 9}));
  EXPECT_THROW(list.Items(4, p), EListError);
}

TEST(StreamText, ShortTextKeepsLengthModulo256) {
  TMemoryStream s;
  WriteShortText(s, std::string(300, 'a'));
  ASSERT_EQ(s.Size(), 45u);
  EXPECT_EQ(s.Bytes()[0], 44);
  WriteText(s, "abc");
  s.SetPosition(0);
  EXPECT_EQ(ReadShortText(s), std::string(44, 'a'));
  EXPECT_EQ(ReadText(s), "abc");
}

TEST(StreamText, ReadStopsAtZeroByteAndAtStreamEnd) {
  TMemoryStream s;
  const uint8_t bytes[] = {4, 'a', 0, 'b', 'c', 9, 0, 'x'};
  s.Write(bytes, sizeof bytes);
  s.SetPosition(0);
  EXPECT_EQ(ReadShortText(s), "a");
  EXPECT_EQ(ReadText(s), "x");  // length 9 but only one byte left
}

}  // namespace
