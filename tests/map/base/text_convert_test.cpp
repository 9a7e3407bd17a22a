#include "map/base/text_convert.h"

#include <gtest/gtest.h>

#include "record/errors.h"

namespace {

TEST(CutToken, CutsAtFirstSeparatorOrTakesEverything) {
  std::string text = "3,20,15,32", token;
  CutToken(text, ",", token);
  EXPECT_EQ(token, "3");
  EXPECT_EQ(text, "20,15,32");

  // Only the first colon separates: a drive letter path keeps its own colon.
  text = "0:C:\\x";
  CutToken(text, ":", token);
  EXPECT_EQ(token, "0");
  EXPECT_EQ(text, "C:\\x");
  CutToken(text, ":", token);
  EXPECT_EQ(token, "C");
  EXPECT_EQ(text, "\\x");

  // No separator: the whole text is the token and the text is emptied.
  text = "abc";
  CutToken(text, ",", token);
  EXPECT_EQ(token, "abc");
  EXPECT_EQ(text, "");

  // Separator at the very start and end.
  text = ",x,";
  CutToken(text, ",", token);
  EXPECT_EQ(token, "");
  EXPECT_EQ(text, "x,");
  CutToken(text, ",", token);
  EXPECT_EQ(token, "x");
  EXPECT_EQ(text, "");

  // A longer separator and multibyte text around it.
  text = "壁<>床<>";
  CutToken(text, "<>", token);
  EXPECT_EQ(token, "壁");
  EXPECT_EQ(text, "床<>");

  // An empty separator is never found, so a cutting loop always ends.
  text = "a,b";
  CutToken(text, "", token);
  EXPECT_EQ(token, "a,b");
  EXPECT_EQ(text, "");
}

TEST(StrToInt, AcceptsDecimalHexBlanksAndSign) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt(" -5"), -5);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("$1f"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("0X10"), 16);
  EXPECT_EQ(StrToInt("x1A"), 26);
  EXPECT_EQ(StrToInt("X1A"), 26);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("$000A"), 10);
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt("$7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(StrToInt("16711680"), 0x00FF0000);
}

TEST(StrToInt, RejectsWhatIsNotA32BitInteger) {
  for (const char* bad :
       {"", " ", "2147483648", "-2147483649", "12a", "a12", "12 ", "- 5", "$", "0x", "$G", "1.5",
        "--1", "+-1", "$100000000", "$80000000", "99999999999999999999", "1,2"}) {
    EXPECT_FALSE(TryStrToInt(bad).has_value()) << bad;
    try {
      StrToInt(bad);
      ADD_FAILURE() << "no error for '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' は整数ではありません");
    }
  }
  // "0" alone is decimal zero, not the start of a hex prefix.
  EXPECT_EQ(TryStrToInt("0"), 0);
}

TEST(StrToUInt32, ReadsTheFullUnsignedRange) {
  EXPECT_EQ(StrToUInt32("0"), 0u);
  EXPECT_EQ(StrToUInt32("4294901760"), 0xFFFF0000u);
  EXPECT_EQ(StrToUInt32("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(StrToUInt32(" 15"), 15u);
  for (const char* bad : {"", "4294967296", "-1", "12x", "$FF", "99999999999999999999"}) {
    try {
      StrToUInt32(bad);
      ADD_FAILURE() << "no error for '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' は整数ではありません");
    }
  }
}

}  // namespace
