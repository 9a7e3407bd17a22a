#include "map/codec/png_row_filter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Filter(const std::vector<uint8_t>& Row, const std::vector<uint8_t>& Prior,
                            size_t Bpp) {
  std::vector<uint8_t> out(Row.size() + 1);
  FilterPngRow(Row.data(), Prior.data(), Row.size(), Bpp, out.data());
  return out;
}

}  // namespace

TEST(PngRowFilter, PicksTheSmallestSumOfSignedBytes) {
  const std::vector<uint8_t> zero(6, 0);
  // Two similar pixels: sub leaves the first pixel and three differences of 2
  // (sum 66), against 126 without a filter or with up over a zero row, 96 for
  // the average and 66 for Paeth, which loses the tie to sub.
  EXPECT_EQ(Filter({10, 20, 30, 12, 22, 32}, zero, 3),
            (std::vector<uint8_t>{1, 10, 20, 30, 2, 2, 2}));
  // The same row beneath itself: up gives nothing but zeros.
  EXPECT_EQ(Filter({10, 20, 30, 12, 22, 32}, {10, 20, 30, 12, 22, 32}, 3),
            (std::vector<uint8_t>{2, 0, 0, 0, 0, 0, 0}));
  // Bytes above 127 count as negative: 250 costs 6, so the row stays unfiltered
  // (every filter gives the same bytes here, and ties go to no filter).
  EXPECT_EQ(Filter({250, 250, 250}, {0, 0, 0}, 3), (std::vector<uint8_t>{0, 250, 250, 250}));
  // Differences wrap modulo 256: 245 - 250 is 251, which costs 5; sub (sum 11)
  // ties with Paeth and beats no filter and up (17) and the average (126).
  EXPECT_EQ(Filter({250, 245}, {0, 0}, 1), (std::vector<uint8_t>{1, 250, 251}));
  // Each byte the mean of left and above, rounded down: the average leaves zeros.
  EXPECT_EQ(Filter({50, 75, 87}, {100, 100, 100}, 1), (std::vector<uint8_t>{3, 0, 0, 0}));
  // Paeth predicts from above, above, above and above-left here: 40, 0, -40, 0
  // (sum 80) beats the average (50, 20, 0, -17: 87), up (155) and sub (180).
  EXPECT_EQ(Filter({60, 100, 140, 180}, {20, 100, 180, 255}, 1),
            (std::vector<uint8_t>{4, 40, 0, 216, 0}));
}

TEST(PngRowFilter, FavouringUpKeepsUpUnlessAnotherFilterIsWellBelowIt) {
  auto favoured = [](const std::vector<uint8_t>& Row, const std::vector<uint8_t>& Prior,
                     size_t Bpp) {
    std::vector<uint8_t> out(Row.size() + 1);
    FilterPngRowFavouringUp(Row.data(), Prior.data(), Row.size(), Bpp, out.data());
    return out;
  };
  // Up over a similar row gives 2 everywhere (sum 12), as small as anything.
  EXPECT_EQ(favoured({10, 20, 30, 12, 22, 32}, {8, 18, 28, 10, 20, 30}, 3),
            (std::vector<uint8_t>{2, 2, 2, 2, 2, 2, 2}));
  // A smooth ramp over an unrelated row: sub (10, 1, 1, 1, 1: sum 14) is far
  // below up (10 + 39 + 69 + 99 + 127 = 344 as signed costs), so sub is used.
  EXPECT_EQ(favoured({10, 11, 12, 13, 14}, {0, 228, 199, 170, 143}, 1),
            (std::vector<uint8_t>{1, 10, 1, 1, 1, 1}));
  // Paeth's sum 18 against up's 24 (75 %): smaller, but not enough, so up is
  // kept where the smallest-sum rule changes to Paeth.
  EXPECT_EQ(favoured({12, 7, 7, 10}, {6, 12, 3, 1}, 1), (std::vector<uint8_t>{2, 6, 251, 4, 9}));
  EXPECT_EQ(Filter({12, 7, 7, 10}, {6, 12, 3, 1}, 1), (std::vector<uint8_t>{4, 6, 251, 4, 3}));
  // Exactly 70 % is not below it: no filter's 14 against up's 20 keeps up.
  EXPECT_EQ(favoured({9, 1, 3, 1}, {0, 0, 12, 0}, 1), (std::vector<uint8_t>{2, 9, 1, 247, 1}));
  EXPECT_EQ(Filter({9, 1, 3, 1}, {0, 0, 12, 0}, 1), (std::vector<uint8_t>{0, 9, 1, 3, 1}));
  // The first row of an image, over zeros: up is no filter at all, and a flat
  // row is better subtracted from its left neighbour (sum 10 against 30).
  EXPECT_EQ(favoured({10, 10, 10}, {0, 0, 0}, 1), (std::vector<uint8_t>{1, 10, 0, 0}));
}

namespace {

// The favouring-up rule written out plainly: all five sums in full, up unless
// another sum is below 70 % of up's, then the smallest of those, ties going to
// the simpler filter.
std::vector<uint8_t> FavouredReference(const std::vector<uint8_t>& Row,
                                       const std::vector<uint8_t>& Prior, size_t Bpp) {
  const size_t n = Row.size();
  std::vector<uint8_t> f[5];
  uint64_t sum[5] = {};
  for (int t = 0; t < 5; ++t) {
    f[t].push_back(uint8_t(t));
    for (size_t i = 0; i < n; ++i) {
      const int x = Row[i], a = i >= Bpp ? Row[i - Bpp] : 0, b = Prior[i],
                c = i >= Bpp ? Prior[i - Bpp] : 0;
      int pred = 0;
      if (t == 1) pred = a;
      if (t == 2) pred = b;
      if (t == 3) pred = (a + b) / 2;
      if (t == 4) {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        pred = (pa <= pb && pa <= pc) ? a : pb <= pc ? b : c;
      }
      const uint8_t v = uint8_t(x - pred);
      f[t].push_back(v);
      sum[t] += v < 128 ? v : 256 - v;
    }
  }
  int best = 2;
  for (int t : {0, 1, 3, 4})
    if (10 * sum[t] < 7 * sum[2] && (best == 2 || sum[t] < sum[best])) best = t;
  return f[best];
}

}  // namespace

TEST(PngRowFilter, FavouringUpMatchesTheRuleOnRandomRowsOfEveryLength) {
  // Rows of three-byte pixels take a faster path; rows of every length up to a
  // few vector widths, and long ones, must give the bytes of the rule exactly.
  std::mt19937 rng(99);
  for (int round = 0; round < 3000; ++round) {
    const size_t pixels = round < 2000 ? size_t(round % 40) + 1 : size_t(rng() % 6000) + 1;
    const size_t bpp = round % 5 == 4 ? 4 : 3;
    std::vector<uint8_t> row(pixels * bpp), prior(pixels * bpp);
    // Smooth ramps, repeats of the row above, noise and mixes, so that each of
    // the five filters wins somewhere.
    const int kind = round % 4;
    const int amp = int(rng() % 256) + 1;
    for (size_t i = 0; i < row.size(); ++i) {
      prior[i] = uint8_t(rng());
      if (kind == 0) row[i] = uint8_t(int(i / bpp) * 3 + int(i % bpp) * 50);
      if (kind == 1) row[i] = uint8_t(prior[i] + int(rng() % 5) - 2);
      if (kind == 2) row[i] = uint8_t(rng() % unsigned(amp));
      if (kind == 3)
        row[i] = uint8_t((prior[i] + (i >= bpp ? row[i - bpp] : 0)) / 2 + int(rng() % 3));
    }
    std::vector<uint8_t> out(row.size() + 1);
    FilterPngRowFavouringUp(row.data(), prior.data(), row.size(), bpp, out.data());
    ASSERT_EQ(out, FavouredReference(row, prior, bpp))
        << "round " << round << ", " << pixels << " pixels of " << bpp << " bytes";
  }
}
