#include "map/base/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "record/errors.h"

TEST(TextEncoding, RecognisesWellFormedUtf8Only) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain, ascii: C:\\maps"));
  EXPECT_TRUE(IsValidUtf8("\xE5\xA3\x81"));       // 壁
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x99\x82"));   // a four-byte character
  EXPECT_FALSE(IsValidUtf8("\x95\xC7"));          // 壁 in Shift JIS
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong zero
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong slash
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE5\xA3"));          // cut short
  EXPECT_FALSE(IsValidUtf8("a\x80z"));            // stray continuation byte
}

TEST(TextEncoding, ConvertsShiftJisBothWays) {
  EXPECT_EQ(Cp932ToUtf8("\x95\xC7"), "\xE5\xA3\x81");
  EXPECT_EQ(Cp932ToUtf8("floor\x8F\xB0.png"), "floor\xE5\xBA\x8A.png");  // 床
  EXPECT_EQ(Cp932ToUtf8("\xB1"), "\xEF\xBD\xB1");                        // half-width ｱ
  EXPECT_THROW(Cp932ToUtf8("ab\x81"), EConvertError);  // lead byte without its trail byte

  EXPECT_EQ(Utf8ToCp932("\xE5\xA3\x81"), std::optional<std::string>("\x95\xC7"));
  EXPECT_EQ(Utf8ToCp932("C:\\maps\\a.png"), std::optional<std::string>("C:\\maps\\a.png"));
  EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x99\x82").has_value());  // no Shift JIS form
  EXPECT_FALSE(Utf8ToCp932("\xC3\xA9").has_value());          // é
  EXPECT_FALSE(Utf8ToCp932("\xFF").has_value());              // not UTF-8 at all
}
