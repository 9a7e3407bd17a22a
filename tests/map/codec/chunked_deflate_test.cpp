#include "map/codec/chunked_deflate.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Inflates a whole zlib stream; fails the test when zlib refuses it.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& Z, size_t Expected) {
  std::vector<uint8_t> out(Expected + 1);
  uLongf n = uLongf(out.size());
  const int r = uncompress(out.data(), &n, Z.data(), uLong(Z.size()));
  EXPECT_EQ(r, Z_OK);
  out.resize(n);
  return out;
}

// Text that compresses well, then noise that does not (stored blocks), then text.
std::vector<uint8_t> MixedInput() {
  std::vector<uint8_t> in;
  const std::string words = "wall floor door shade grass stone wood dirt ";
  for (int i = 0; i < 3000; ++i) in.insert(in.end(), words.begin() + i % 7, words.end());
  std::mt19937 rng(7);
  for (int i = 0; i < 70000; ++i) in.push_back(uint8_t(rng()));
  for (int i = 0; i < 500; ++i) in.insert(in.end(), words.begin(), words.end());
  return in;
}

}  // namespace

TEST(ChunkedDeflate, JoinedChunksInflateToTheInputAtEveryLevelAndChunkSize) {
  const std::vector<uint8_t> in = MixedInput();
  for (int level : {1, 6, 9, 12})
    for (size_t chunk : {size_t(1000), size_t(65536), size_t(100003), in.size()}) {
      SCOPED_TRACE("level " + std::to_string(level) + ", chunk " + std::to_string(chunk));
      const std::vector<uint8_t> z = TChunkedDeflate::Compress(in.data(), in.size(), level, chunk);
      ASSERT_GE(z.size(), 2u);
      EXPECT_EQ(z[0], 0x78);
      EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0);  // a valid zlib header
      EXPECT_EQ(Inflate(z, in.size()), in);
      EXPECT_LT(z.size(), in.size());
    }
}

TEST(ChunkedDeflate, EveryEndBitPositionJoins) {
  // Chunks of 1 to 40 bytes end their deflate data at all eight bit positions,
  // including those that leave fewer than three bits for the stored block.
  std::vector<uint8_t> in;
  for (int i = 0; i < 600; ++i) in.push_back(uint8_t((i * 37) ^ (i >> 3)));
  for (size_t chunk = 1; chunk <= 40; ++chunk) {
    const std::vector<uint8_t> z = TChunkedDeflate::Compress(in.data(), in.size(), 6, chunk);
    ASSERT_EQ(Inflate(z, in.size()), in) << "chunk " << chunk;
  }
  // Nothing at all is still one valid, empty stream.
  EXPECT_TRUE(Inflate(TChunkedDeflate::Compress(nullptr, 0, 9), 0).empty());
}

TEST(ChunkedDeflate, StreamedChunksArriveInOrderAndFailuresSurface) {
  // Later chunks that finish first still come out after earlier ones.
  std::vector<uint8_t> out;
  std::vector<uint8_t> want;
  {
    TChunkedDeflate d(
        9, [&](const uint8_t* P, size_t N) { out.insert(out.end(), P, P + N); }, 3);
    for (int i = 0; i < 12; ++i) {
      std::vector<uint8_t> part(size_t(5000 + 3000 * (i % 4)), uint8_t('a' + i));
      want.insert(want.end(), part.begin(), part.end());
      d.Add(std::move(part));
    }
    d.Finish();
  }
  EXPECT_EQ(Inflate(out, want.size()), want);

  // A chunk that cannot be built fails the stream, not the worker.
  TChunkedDeflate d(
      6, [](const uint8_t*, size_t) {}, 2);
  d.Add([]() -> std::vector<uint8_t> { throw std::runtime_error("no rows"); });
  EXPECT_THROW(d.Finish(), std::runtime_error);
}

TEST(ChunkedDeflate, JoiningRefusesAnIncompleteStream) {
  const std::vector<uint8_t> in = MixedInput();
  libdeflate_compressor* c = libdeflate_alloc_compressor(6);
  std::vector<uint8_t> raw(libdeflate_deflate_compress_bound(c, in.size()));
  raw.resize(libdeflate_deflate_compress(c, in.data(), in.size(), raw.data(), raw.size()));
  libdeflate_free_compressor(c);
  std::vector<uint8_t> cut(raw.begin(), raw.begin() + std::ptrdiff_t(raw.size() / 2));
  EXPECT_ANY_THROW(MakeDeflateJoinable(cut));
  std::vector<uint8_t> garbage(64, 0xFF);
  EXPECT_ANY_THROW(MakeDeflateJoinable(garbage));
}

TEST(ChunkedDeflate, JoiningWritesExactBytesAndLeavesRefusedStreamsAlone) {
  // A final block of fixed codes with only its end code (ten bits): the final
  // flag goes, the padding stays zero, and the empty stored block follows in the
  // same byte's free bits and four more bytes.
  std::vector<uint8_t> empty = {0x03, 0x00};
  MakeDeflateJoinable(empty);
  EXPECT_EQ(empty, (std::vector<uint8_t>{0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF}));
  // A stored final block ends on a byte: the stored block needs a byte of its own.
  std::vector<uint8_t> stored = {0x01, 0x02, 0x00, 0xFD, 0xFF, 'a', 'b', 0x55};
  MakeDeflateJoinable(stored);
  EXPECT_EQ(stored, (std::vector<uint8_t>{0x00, 0x02, 0x00, 0xFD, 0xFF, 'a', 'b', 0x00, 0x00, 0x00,
                                          0xFF, 0xFF}));

  // Refused streams keep their bytes and say why.
  const std::vector<uint8_t> cut = {0x01, 0x02, 0x00, 0xFD, 0xFF, 'a'};
  std::vector<uint8_t> copy = cut;
  try {
    MakeDeflateJoinable(copy);
    ADD_FAILURE() << "a cut-off stream was joined";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Cannot join the compressed image: the stream is incomplete");
  }
  EXPECT_EQ(copy, cut);
  std::vector<uint8_t> reserved = {0x07, 0x00};
  try {
    MakeDeflateJoinable(reserved);
    ADD_FAILURE() << "a block of the reserved type was joined";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot join the compressed image: the stream is damaged: a block of the reserved "
                 "type");
  }
  EXPECT_EQ(reserved, (std::vector<uint8_t>{0x07, 0x00}));
}
