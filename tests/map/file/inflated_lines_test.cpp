#include "map/file/inflated_lines.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "map/file/map_file.h"
#include "support/test_support.h"

using vctest::Deflate;

namespace {

// Lines of random alphabet characters and lengths (some far longer than the
// reading window), ended at random by CR LF, CR or LF; Expected gets the lines.
std::string RandomText(uint32_t Seed, int Lines, std::vector<std::string>& Expected) {
  std::mt19937 random(Seed);
  const char* alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+/";
  const char* ends[] = {"\r\n", "\r", "\n"};
  std::string text;
  for (int i = 0; i < Lines; ++i) {
    const uint32_t kind = random() % 20;
    const size_t length = kind == 0 ? 0 : kind == 1 ? 1100000 + random() % 100 : random() % 70000;
    std::string line(length, ' ');
    for (char& c : line) c = alphabet[random() % 64];
    Expected.push_back(line);
    text += line;
    // An empty line ended by LF after a lone CR would read as CR LF.
    const bool afterCr = text.size() > 0 && text.back() == '\r';
    text += length == 0 && afterCr ? "\r\n" : ends[random() % 3];
  }
  return text;
}

std::vector<std::string> ReadAll(TInflatedLines& Lines) {
  std::vector<std::string> out;
  std::string_view line;
  while (Lines.Next(line)) out.emplace_back(line);
  return out;
}

}  // namespace

TEST(InflatedLines, CutsLinesLikeTheWholeTextAcrossEveryBlockEdge) {
  std::vector<std::string> expected;
  const std::string text = RandomText(7, 300, expected);
  // Inflated ahead on the second thread, and on the caller's thread: both must
  // give the same lines.
  for (bool ahead : {false, true}) {
    const std::string bytes = Deflate(text, 1);
    TInflatedLines lines(bytes, text.size());
    std::string_view first;
    ASSERT_TRUE(lines.Next(first));
    EXPECT_EQ(first, expected[0]);
    if (ahead) lines.InflateAhead();
    std::vector<std::string> got = ReadAll(lines);
    got.insert(got.begin(), expected[0]);
    ASSERT_EQ(got.size(), expected.size()) << ahead;
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], expected[i]) << ahead << " " << i;
    lines.Finish();
  }

  // CR LF split over the edge of what has been inflated is still one line end;
  // the last line may lack its end, and a line end at the very end starts no
  // further line.
  for (const std::string& t : {std::string("a\r\nb\r"), std::string("a\r\nb"), std::string("\n\n"),
                               std::string("a\r\r\nb\n")}) {
    const std::string bytes = Deflate(t);
    TInflatedLines lines(bytes, 100);
    std::vector<std::string> want;
    if (t == "\n\n")
      want = {"", ""};
    else if (t == "a\r\r\nb\n")
      want = {"a", "", "b"};
    else
      want = {"a", "b"};
    EXPECT_EQ(ReadAll(lines), want) << t;
  }
}

TEST(InflatedLines, RefusesTooLongLinesDamageAndTextOverTheLimit) {
  // A first line longer than allowed is reported without reading further.
  {
    const std::string bytes = Deflate("KRV2_MAPX\r\n" + std::string(5000000, 'x'));
    TInflatedLines lines(bytes, 1 << 20);
    std::string_view line;
    bool tooLong = false;
    EXPECT_FALSE(lines.Next(line, 8, tooLong));
    EXPECT_TRUE(tooLong);
    EXPECT_EQ(line, "KRV2_MAPX");
  }
  // Text beyond the limit, found on either thread.
  for (bool ahead : {false, true}) {
    std::vector<std::string> unused;
    const std::string text = RandomText(3, 60, unused);
    const std::string bytes = Deflate(text, 0);
    TInflatedLines lines(bytes, text.size() - 1);
    if (ahead) lines.InflateAhead();
    std::string_view line;
    EXPECT_THROW(
        {
          while (lines.Next(line)) {
          }
        },
        EMapFileError)
        << ahead;
  }
  // A wrong checksum at the very end is found, on either thread, by the time
  // Finish returns; no line read before it is wrong.
  for (bool ahead : {false, true}) {
    std::vector<std::string> expected;
    const std::string text = RandomText(5, 60, expected);
    std::string bytes = Deflate(text, 0);
    bytes[bytes.size() - 2] ^= 0x55;
    TInflatedLines lines(bytes, text.size());
    if (ahead) lines.InflateAhead();
    std::string_view line;
    size_t read = 0;
    try {
      while (lines.Next(line)) ASSERT_EQ(line, expected[read++]);
      lines.Finish();
      ADD_FAILURE() << "no error " << ahead;
    } catch (const EDecompressionError& e) {
      EXPECT_STREQ(e.what(), "エラー");
    }
  }
  // A stream cut short gives what it holds; a reader dropped half-way stops its
  // thread.
  {
    std::vector<std::string> expected;
    const std::string text = RandomText(9, 60, expected);
    const std::string bytes = Deflate(text, 0);
    const std::string cut = bytes.substr(0, bytes.size() / 2);
    TInflatedLines lines(cut, text.size());
    lines.InflateAhead();
    const std::vector<std::string> got = ReadAll(lines);
    ASSERT_FALSE(got.empty());
    EXPECT_LT(got.size(), expected.size());
    for (size_t i = 0; i + 1 < got.size(); ++i) EXPECT_EQ(got[i], expected[i]);
    EXPECT_EQ(expected[got.size() - 1].compare(0, got.back().size(), got.back()), 0);
    TInflatedLines dropped(bytes, text.size());
    dropped.InflateAhead();
    std::string_view line;
    EXPECT_TRUE(dropped.Next(line));
  }
}
