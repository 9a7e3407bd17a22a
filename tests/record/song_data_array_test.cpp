#include "record/song_data_array.h"

#include <gtest/gtest.h>

#include <vector>

#include "record/errors.h"

namespace {

class TNumber : public TSongData {
 public:
  int32_t Value = 0;
  void AssignTo(TSongData* Dest) const override {
    if (auto* n = dynamic_cast<TNumber*>(Dest)) {
      n->Value = Value;
      return;
    }
    TSongData::AssignTo(Dest);
  }
  void LoadFromStream(TStream& S) override { S.ReadRaw(Value); }
  void SaveToStream(TStream& S) const override { S.WriteRaw(Value); }
  const char* ClassName() const override { return "TNumber"; }
};

class TNumberList : public TTypedSongDataArray<TNumber> {
 public:
  const char* ClassName() const override { return "TNumberList"; }

 protected:
  void AssignAttributes(TSongDataArray*) const override {}
};

class TStrictList : public TTypedSongDataArray<TNumber> {
 public:
  const char* ClassName() const override { return "TStrictList"; }
};

int CompareNumbers(const TSongData* A, const TSongData* B) {
  return static_cast<const TNumber*>(A)->Value - static_cast<const TNumber*>(B)->Value;
}

std::vector<int32_t> Values(const TNumberList& L) {
  std::vector<int32_t> v;
  for (int32_t i = 0; i < L.Count(); ++i) v.push_back(L.Items(i)->Value);
  return v;
}

TEST(SongDataArray, GrowthSequenceFromEmpty) {
  TNumberList list;
  std::vector<int32_t> caps;
  for (int i = 0; i < 95; ++i) {
    list.Add();
    if (caps.empty() || caps.back() != list.Capacity()) caps.push_back(list.Capacity());
  }
  EXPECT_EQ(caps, (std::vector<int32_t>{4, 8, 12, 28, 44, 60, 76, 95}));
  EXPECT_EQ(list.Count(), 95);
}

TEST(SongDataArray, CapacityShrinkFreesItemsAndGrowKeepsCount) {
  TNumberList list;
  for (int i = 0; i < 5; ++i) list.Add()->Value = i;
  list.SetCapacity(2);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Capacity(), 2);
  EXPECT_EQ(Values(list), (std::vector<int32_t>{0, 1}));

  TNumberList three;
  for (int i = 0; i < 3; ++i) three.Add();
  three.SetCapacity(12);
  three.SetCapacity(10);
  EXPECT_EQ(three.Count(), 3);
  EXPECT_EQ(three.Capacity(), 10);
}

TEST(SongDataArray, ItemsOutsideRangeAnswerNothing) {
  TNumberList list;
  list.Add();
  EXPECT_EQ(list.Items(-1), nullptr);
  EXPECT_EQ(list.Items(1), nullptr);
  EXPECT_NE(list.Items(0), nullptr);
}

TEST(SongDataArray, InsertDeleteAndSort) {
  TNumberList list;
  for (int v : {5, 3, 9, 1}) list.Add()->Value = v;
  TNumber source;
  source.Value = 7;
  list.Insert(1, &source);
  EXPECT_EQ(Values(list), (std::vector<int32_t>{5, 7, 3, 9, 1}));
  list.Delete(0);
  EXPECT_EQ(Values(list), (std::vector<int32_t>{7, 3, 9, 1}));
  list.Sort(CompareNumbers);
  EXPECT_EQ(Values(list), (std::vector<int32_t>{1, 3, 7, 9}));

  TNumberList many;
  for (int i = 0; i < 200; ++i) many.Add()->Value = (i * 7919) % 211;
  many.Sort(CompareNumbers);
  for (int i = 1; i < many.Count(); ++i) EXPECT_LE(many.Items(i - 1)->Value, many.Items(i)->Value);
}

TEST(SongDataArray, AssignCopiesItemsAsNewObjects) {
  TNumberList a, b;
  for (int v : {4, 2}) a.Add()->Value = v;
  b.Add()->Value = 99;
  b.Assign(&a);
  EXPECT_EQ(Values(b), (std::vector<int32_t>{4, 2}));
  EXPECT_NE(a.Items(0), b.Items(0));
  EXPECT_EQ(b.Capacity(), a.Capacity());
}

TEST(SongDataArray, AssignRefusalNamesBothClasses) {
  TStrictList strict;
  TNumberList other;
  try {
    other.Assign(&strict);
    FAIL() << "expected a conversion error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "TStrictList を TNumberList に代入することはできません");
  }
  TNumber n;
  try {
    n.Assign(&other);
    FAIL() << "expected a conversion error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "TNumberList を TNumber に代入することはできません");
  }
}

TEST(SongDataArray, StreamFormRoundTrip) {
  TNumberList list;
  for (int v : {1, -2}) list.Add()->Value = v;
  TMemoryStream s;
  list.SaveToStream(s);
  const std::vector<uint8_t> expected = {2, 0, 0, 0, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(s.Bytes(), expected);
  s.SetPosition(0);
  TNumberList back;
  back.Add()->Value = 50;
  back.LoadFromStream(s);
  EXPECT_EQ(Values(back), (std::vector<int32_t>{1, -2}));
}

}  // namespace
