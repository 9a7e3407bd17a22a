#include "map/base/text_messages.h"

#include <gtest/gtest.h>

#include <string>

#include "map/base/text_convert.h"
#include "map/base/text_quote.h"
#include "record/errors.h"

TEST(TextMessages, BuiltInTextsGetTheirEnglishFormWithArgumentsAndContextKept) {
  EXPECT_EQ(EnglishMessage("'$00G0' は整数ではありません (line 6, the pixel rows)"),
            "'$00G0' is not a valid integer value (line 6, the pixel rows)");
  EXPECT_EQ(EnglishMessage("TFoo を TBar に代入することはできません"), "Cannot assign a TFoo to a TBar");
  EXPECT_EQ(EnglishMessage("m.qmx: リストのインデックスが範囲を超えています (7)"),
            "m.qmx: List index out of bounds (7)");
  EXPECT_EQ(EnglishMessage("エラー: the map file \"a.qmx\" is damaged"),
            "Error: the map file \"a.qmx\" is damaged");
  EXPECT_EQ(EnglishMessage("Nothing to translate"), "Nothing to translate");
  // A form left empty keeps the built-in text.
  EXPECT_EQ(LocalizeMessage("'x' は整数ではありません", [](const TMessageForm&) { return std::string(); }),
            "'x' は整数ではありません");
  size_t count = 0;
  const TMessageForm* forms = CoreMessageForms(count);
  ASSERT_GE(count, 6u);
  for (size_t i = 0; i < count; ++i)
    EXPECT_EQ(EnglishMessage(forms[i].BuiltIn), forms[i].English) << forms[i].Key;
}

TEST(TextMessages, EchoedTextIsCutAndFreeOfControlCharacters) {
  EXPECT_EQ(QuoteForMessage("Lava\x82"), "\"Lava\\x82\"");
  EXPECT_EQ(QuoteForMessage("a\tb\x1B[2J\x7F"), "\"a\\x09b\\x1B[2J\\x7F\"");
  EXPECT_EQ(QuoteForMessage("caf\xC3\xA9 \xC2\x85"), "\"caf\xC3\xA9 \\xC2\\x85\"");  // NEL is C1
  EXPECT_EQ(QuoteForMessage(std::string(100, 'x'), 80), "\"" + std::string(80, 'x') + "\"...");
  EXPECT_EQ(ClipForMessage(std::string(81, 'y')), std::string(80, 'y') + "...");
  EXPECT_EQ(ClipForMessage("short"), "short");
  // The number conversion echoes at most 80 characters of a long line.
  try {
    StrToInt(std::string(100000, 'Q') + "\r");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), "'" + std::string(80, 'Q') + "...' は整数ではありません");
  }
  try {
    StrToInt("1\x01");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), "'1\\x01' は整数ではありません");
  }
}
