#include "controls/spin_value.h"

#include <gtest/gtest.h>

TEST(SpinValue, ClampOnlyWithARange) {
  EXPECT_EQ(ClampSpinValue<int64_t>(201, 1, 200), 200);
  EXPECT_EQ(ClampSpinValue<int64_t>(0, 1, 200), 1);
  EXPECT_EQ(ClampSpinValue<int64_t>(57, 1, 200), 57);
  // Equal ends mean no range at all.
  EXPECT_EQ(ClampSpinValue<int64_t>(-9000000000LL, 0, 0), -9000000000LL);
  EXPECT_EQ(ClampSpinValue<int64_t>(12, 5, 5), 12);
  EXPECT_EQ(ClampSpinValue<long double>(75.5L, 0, 50), 50.0L);
}

TEST(SpinValue, IntegerReadingAndWriting) {
  TSpinIntRules r;
  r.MinValue = 8;
  r.MaxValue = 100;
  EXPECT_EQ(r.Read("48"), 48);
  EXPECT_EQ(r.Read("+7"), 7);  // typed out of range: read as typed
  EXPECT_EQ(r.Read("250"), 250);
  EXPECT_EQ(r.Read("abc"), 8);  // unparsable: the clamped 0
  EXPECT_EQ(r.Read(""), 8);
  EXPECT_EQ(r.Read("-"), 8);
  EXPECT_EQ(r.Read("4294967296"), 8);  // beyond 32 bits does not parse
  EXPECT_EQ(r.Read(" 5"), 8);
  EXPECT_EQ(r.Write(500), "100");
  EXPECT_EQ(r.Write(3), "8");

  TSpinIntRules s;
  s.ShowSign = true;
  s.ZeroSign = "±0";
  EXPECT_EQ(s.Write(5), "+5");
  EXPECT_EQ(s.Write(-5), "-5");
  EXPECT_EQ(s.Write(0), "±0");
  EXPECT_EQ(s.Read("±0"), 0);
  EXPECT_EQ(s.Read("+5"), 5);
  EXPECT_EQ(s.Read("-2147483648"), -2147483648LL);
  EXPECT_EQ(s.Read("2147483648"), 0);
}

TEST(SpinValue, RealReadingAndWriting) {
  TSpinRealRules r;
  r.MinValue = 0;
  r.MaxValue = 50;
  EXPECT_EQ(r.Read("75.5"), 75.5L);
  EXPECT_EQ(r.Read("x"), 0.0L);
  EXPECT_EQ(r.Read("inf"), 0.0L);
  EXPECT_EQ(r.Read("1e999999"), 0.0L);
  EXPECT_EQ(r.Read("2.5e1"), 25.0L);
  EXPECT_EQ(r.Write(75.5L), "50");
  EXPECT_EQ(r.Write(12.25L), "12.25");
  EXPECT_EQ(FormatSpinReal(0.1L, '.'), "0.1");
  EXPECT_EQ(FormatSpinReal(1.0L / 3.0L, '.'), "0.333333333333333");
  EXPECT_EQ(FormatSpinReal(-0.0L, '.'), "0");
  EXPECT_EQ(FormatSpinReal(2.5L, ','), "2,5");

  TSpinRealRules s;
  s.ShowSign = true;
  s.DecimalSeparator = ',';
  EXPECT_EQ(s.Write(2.5L), "+2,5");
  EXPECT_EQ(s.Write(0), "0");
  EXPECT_EQ(s.Read("2,5"), 2.5L);
  EXPECT_EQ(s.Read("2.5"), 0.0L);  // the other separator does not parse
}

TEST(SpinValue, CharacterFilter) {
  // Integer field with the editor on.
  EXPECT_TRUE(IsValidSpinChar('7', true, false, '.', 3));
  EXPECT_TRUE(IsValidSpinChar('-', true, false, '.', 0));
  EXPECT_FALSE(IsValidSpinChar('-', true, false, '.', 1));
  EXPECT_FALSE(IsValidSpinChar('+', true, false, '.', 2));
  EXPECT_FALSE(IsValidSpinChar('.', true, false, '.', 1));
  EXPECT_FALSE(IsValidSpinChar('a', true, false, '.', 0));
  EXPECT_FALSE(IsValidSpinChar('\r', true, false, '.', 0));
  EXPECT_TRUE(IsValidSpinChar('\b', true, false, '.', 1));
  // A ',' separator is allowed even in the integer field; '.' never is there.
  EXPECT_TRUE(IsValidSpinChar(',', true, false, ',', 1));
  // Real field: its separator passes.
  EXPECT_TRUE(IsValidSpinChar('.', true, true, '.', 1));
  EXPECT_FALSE(IsValidSpinChar('.', true, true, ',', 1));
  // Editor off: printable characters and backspace refused, other controls pass.
  EXPECT_FALSE(IsValidSpinChar('5', false, false, '.', 0));
  EXPECT_FALSE(IsValidSpinChar('\b', false, false, '.', 0));
  EXPECT_TRUE(IsValidSpinChar(3, false, false, '.', 0));  // Ctrl+C
}
