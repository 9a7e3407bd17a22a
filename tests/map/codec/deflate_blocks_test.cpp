#include "map/codec/deflate_blocks.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "map/codec/chunked_deflate.h"
#include "map/codec/png_row_filter.h"
#include "record/errors.h"

namespace {

using TBytes = std::vector<uint8_t>;

// What zlib's inflate finds by stopping at every block boundary: the start of the
// final block and the bit after it, or nothing when it refuses the stream. Types
// receives the type of every block it met.
std::optional<TDeflateBlocks> ZlibBlocks(const TBytes& Stream, std::vector<int>* Types = nullptr) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return std::nullopt;
  TBytes sink(1 << 16);
  z.next_in = const_cast<Bytef*>(Stream.data());
  z.avail_in = uInt(Stream.size());
  TDeflateBlocks found;
  bool ended = false;
  auto typeAt = [&](uint64_t Bit) {
    if (!Types || (Bit + 3) > uint64_t(Stream.size()) * 8) return;
    int t = 0;
    for (int i = 0; i < 2; ++i) {
      const uint64_t b = Bit + 1 + uint64_t(i);
      t |= ((Stream[size_t(b / 8)] >> (b % 8)) & 1) << i;
    }
    Types->push_back(t);
  };
  typeAt(0);
  while (!ended) {
    z.next_out = sink.data();
    z.avail_out = uInt(sink.size());
    const int r = inflate(&z, Z_BLOCK);
    if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) break;
    if (r == Z_BUF_ERROR && z.avail_in == 0) break;
    if (z.data_type & 128) {
      const uint64_t bit = uint64_t(z.total_in) * 8 - uint64_t(z.data_type & 63);
      if (z.data_type & 64) {
        found.EndBit = bit;  // just past the final block
        ended = true;
      } else {
        found.LastStart = bit;  // the next block starts here
        typeAt(bit);
      }
    }
    if (r == Z_STREAM_END && !ended) break;
  }
  inflateEnd(&z);
  if (!ended) return std::nullopt;
  return found;
}

// The walker's answer, or nothing when it raises; Message receives the reason.
std::optional<TDeflateBlocks> Walk(const TBytes& Stream, std::string* Message = nullptr) {
  try {
    return FindDeflateBlocks(Stream.data(), Stream.size());
  } catch (const EVellumError& e) {
    if (Message) *Message = e.what();
    return std::nullopt;
  }
}

TBytes Libdeflate(const TBytes& In, int Level) {
  libdeflate_compressor* c = libdeflate_alloc_compressor(Level);
  TBytes out(libdeflate_deflate_compress_bound(c, In.size()));
  out.resize(libdeflate_deflate_compress(c, In.data(), In.size(), out.data(), out.size()));
  libdeflate_free_compressor(c);
  return out;
}

// zlib's raw deflate with a strategy; Flush between every Piece bytes (0: never).
TBytes Zlib(const TBytes& In, int Level, int Strategy, size_t Piece = 0, int Flush = Z_NO_FLUSH) {
  z_stream z{};
  deflateInit2(&z, Level, Z_DEFLATED, -15, 8, Strategy);
  TBytes out(deflateBound(&z, uLong(In.size())) +
             64 * (In.size() / std::max<size_t>(Piece, 1) + 1));
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  size_t at = 0;
  do {
    const size_t n = Piece == 0 ? In.size() - at : std::min(Piece, In.size() - at);
    z.next_in = const_cast<Bytef*>(In.data() + at);
    z.avail_in = uInt(n);
    at += n;
    deflate(&z, at == In.size() ? Z_FINISH : Flush);
  } while (at < In.size());
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TBytes Text(size_t Size, unsigned Seed) {
  static const char* words[] = {"wall ",  "floor ", "door ", "shade ", "grass ",
                                "stone ", "wood ",  "dirt ", "water ", "cave\n"};
  std::mt19937 rng(Seed);
  TBytes out;
  while (out.size() < Size) {
    const std::string w = words[rng() % 10];
    out.insert(out.end(), w.begin(), w.end());
  }
  out.resize(Size);
  return out;
}

TBytes Noise(size_t Size, unsigned Seed) {
  std::mt19937 rng(Seed);
  TBytes out(Size);
  for (uint8_t& b : out) b = uint8_t(rng());
  return out;
}

// Rows of a picture of textured cells with noise, filtered as the PNG writer does.
TBytes FilteredRows(int32_t Width, int32_t Rows, unsigned Seed) {
  std::mt19937 rng(Seed);
  const size_t bytes = size_t(Width) * 3;
  TBytes tile(32 * 32 * 3);
  for (uint8_t& b : tile) b = uint8_t(96 + rng() % 48);
  TBytes above(bytes, 0), row(bytes), out;
  for (int32_t y = 0; y < Rows; ++y) {
    for (int32_t x = 0; x < Width; ++x)
      for (int c = 0; c < 3; ++c) {
        const bool wall = (x % 50) < 4 || (y % 50) < 4;
        const uint8_t v = wall ? uint8_t(20 + c) : tile[size_t(((y % 32) * 32 + x % 32) * 3 + c)];
        row[size_t(x * 3 + c)] = uint8_t(v + (rng() % 7 == 0 ? rng() % 5 : 0));
      }
    const size_t at = out.size();
    out.resize(at + bytes + 1);
    FilterPngRowFavouringUp(row.data(), above.data(), bytes, 3, out.data() + at);
    above = row;
  }
  return out;
}

// Writes bits lowest first, Huffman codes their first bit first.
struct TBitWriter {
  TBytes Bytes;
  uint64_t Bits = 0;
  void Put(unsigned Value, unsigned N) {
    for (unsigned i = 0; i < N; ++i, ++Bits) {
      if (Bits % 8 == 0) Bytes.push_back(0);
      Bytes.back() |= uint8_t(((Value >> i) & 1) << (Bits % 8));
    }
  }
  void PutCode(unsigned Code, unsigned Len) {
    for (unsigned i = Len; i-- > 0;) Put((Code >> i) & 1, 1);
  }
};

// The canonical codes for a list of code lengths.
std::vector<unsigned> CanonicalCodes(const std::vector<unsigned>& Lengths) {
  unsigned count[16] = {}, next[16] = {};
  for (unsigned l : Lengths) ++count[l];
  count[0] = 0;
  unsigned code = 0;
  for (unsigned len = 1; len < 16; ++len) next[len] = code = (code + count[len - 1]) << 1;
  std::vector<unsigned> codes(Lengths.size());
  for (size_t s = 0; s < Lengths.size(); ++s)
    if (Lengths[s] != 0) codes[s] = next[Lengths[s]]++;
  return codes;
}

// The header of a dynamic block whose code lengths are sent as they are, each by
// a four-bit code for 0 to 15.
void PutDynamicHeader(TBitWriter& W, bool Final, const std::vector<unsigned>& Literals,
                      const std::vector<unsigned>& Distances) {
  W.Put(Final ? 1 : 0, 1);
  W.Put(2, 2);
  W.Put(unsigned(Literals.size() - 257), 5);
  W.Put(unsigned(Distances.size() - 1), 5);
  W.Put(19 - 4, 4);
  static const unsigned order[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                     11, 4,  12, 3, 13, 2, 14, 1, 15};
  for (unsigned s : order) W.Put(s < 16 ? 4 : 0, 3);
  for (unsigned l : Literals) W.PutCode(l, 4);
  for (unsigned l : Distances) W.PutCode(l, 4);
}

// A fixed-code symbol.
void PutFixed(TBitWriter& W, unsigned Sym) {
  if (Sym < 144)
    W.PutCode(0x30 + Sym, 8);
  else if (Sym < 256)
    W.PutCode(0x190 + Sym - 144, 9);
  else if (Sym < 280)
    W.PutCode(Sym - 256, 7);
  else
    W.PutCode(0xC0 + Sym - 280, 8);
}

void ExpectSameAsZlib(const TBytes& Stream, const std::string& What) {
  SCOPED_TRACE(What);
  const std::optional<TDeflateBlocks> want = ZlibBlocks(Stream);
  ASSERT_TRUE(want.has_value());
  std::string message;
  const std::optional<TDeflateBlocks> got = Walk(Stream, &message);
  ASSERT_TRUE(got.has_value()) << message;
  EXPECT_EQ(got->LastStart, want->LastStart);
  EXPECT_EQ(got->EndBit, want->EndBit);
}

// The walker and zlib both refuse Stream; the walker says Message.
void ExpectRefused(const TBytes& Stream, const std::string& Message) {
  SCOPED_TRACE(Message);
  EXPECT_FALSE(ZlibBlocks(Stream).has_value());
  std::string message;
  EXPECT_FALSE(Walk(Stream, &message).has_value());
  EXPECT_EQ(message, Message);
}

}  // namespace

TEST(DeflateBlocks, FindsTheFinalBlockWhereZlibDoesOnLibdeflateOutput) {
  std::vector<std::pair<std::string, TBytes>> inputs;
  inputs.emplace_back("text", Text(300000, 1));
  inputs.emplace_back("short text", Text(700, 2));
  inputs.emplace_back("noise", Noise(200000, 3));
  inputs.emplace_back("same bytes", TBytes(500000, 0x41));
  inputs.emplace_back("one zero", TBytes(1, 0));
  inputs.emplace_back("empty", TBytes());
  inputs.emplace_back("filtered rows", FilteredRows(600, 200, 4));
  TBytes mixed = Text(90000, 5), noise = Noise(80000, 6), same(70000, 7);
  mixed.insert(mixed.end(), noise.begin(), noise.end());
  mixed.insert(mixed.end(), same.begin(), same.end());
  inputs.emplace_back("text, noise and same bytes", mixed);
  for (size_t n = 1; n <= 40; ++n) {
    inputs.emplace_back("tiny text " + std::to_string(n), Text(n, unsigned(n)));
    inputs.emplace_back("tiny noise " + std::to_string(n), Noise(n, unsigned(n)));
  }
  std::vector<int> types;
  size_t blocks = 0;
  for (int level : {1, 6, 7, 9, 12})
    for (const auto& [name, in] : inputs) {
      const TBytes z = Libdeflate(in, level);
      ASSERT_FALSE(z.empty());
      SCOPED_TRACE(name + " at level " + std::to_string(level));
      const std::optional<TDeflateBlocks> want = ZlibBlocks(z, &types);
      ASSERT_TRUE(want.has_value());
      const TDeflateBlocks got = FindDeflateBlocks(z.data(), z.size());
      EXPECT_EQ(got.LastStart, want->LastStart);
      EXPECT_EQ(got.EndBit, want->EndBit);
      EXPECT_EQ((got.EndBit + 7) / 8, z.size());
      blocks = types.size();
    }
  // The inputs gave stored, fixed and dynamic blocks, and streams of several blocks.
  EXPECT_GT(blocks, 5 * inputs.size());
  for (int type : {0, 1, 2})
    EXPECT_NE(std::find(types.begin(), types.end(), type), types.end()) << "block type " << type;
}

TEST(DeflateBlocks, FindsTheFinalBlockWhereZlibDoesOnZlibOutput) {
  // zlib's own compressor: stored blocks of level 0, fixed codes only, Huffman
  // codes only, runs, and the empty stored blocks of sync and full flushes.
  const TBytes text = Text(120000, 8), rows = FilteredRows(300, 100, 9);
  for (const TBytes* in : {&text, &rows}) {
    ExpectSameAsZlib(Zlib(*in, 0, Z_DEFAULT_STRATEGY), "stored");
    ExpectSameAsZlib(Zlib(*in, 6, Z_FIXED), "fixed");
    ExpectSameAsZlib(Zlib(*in, 6, Z_HUFFMAN_ONLY), "Huffman only");
    ExpectSameAsZlib(Zlib(*in, 6, Z_RLE), "runs");
    ExpectSameAsZlib(Zlib(*in, 9, Z_DEFAULT_STRATEGY, 5000, Z_SYNC_FLUSH), "sync flushes");
    ExpectSameAsZlib(Zlib(*in, 1, Z_DEFAULT_STRATEGY, 777, Z_FULL_FLUSH), "full flushes");
  }
  // Bytes after the final block are not part of it.
  TBytes z = Libdeflate(text, 6);
  const TDeflateBlocks whole = FindDeflateBlocks(z.data(), z.size());
  z.insert(z.end(), {0xFF, 0xFF, 0x07});
  const TDeflateBlocks more = FindDeflateBlocks(z.data(), z.size());
  EXPECT_EQ(more.LastStart, whole.LastStart);
  EXPECT_EQ(more.EndBit, whole.EndBit);
}

TEST(DeflateBlocks, AcceptsTheSparseDistanceCodesAndHandMadeBlocks) {
  std::vector<unsigned> literals(257, 0);
  literals['a'] = 1;
  literals['b'] = 2;
  literals[256] = 2;
  {
    // Literals only, sent with no distance code at all.
    TBitWriter w;
    PutDynamicHeader(w, true, literals, {0});
    const std::vector<unsigned> codes = CanonicalCodes(literals);
    for (unsigned s : {'a', 'b', 'a'}) w.PutCode(codes[s], literals[s]);
    w.PutCode(codes[256], 2);
    ExpectSameAsZlib(w.Bytes, "no distance code");
    EXPECT_EQ(FindDeflateBlocks(w.Bytes.data(), w.Bytes.size()).EndBit, w.Bits);
  }
  {
    // One distance code of one bit, used by a match; the block is not the first.
    std::vector<unsigned> lit = literals;
    lit.resize(258, 0);
    lit['b'] = 3;
    lit[256] = 3;
    lit[257] = 2;  // length 3
    std::vector<unsigned> dist(1, 1);
    TBitWriter w;
    w.Put(0, 1);  // an empty fixed block first
    w.Put(1, 2);
    PutFixed(w, 256);
    const uint64_t start = w.Bits;
    PutDynamicHeader(w, true, lit, dist);
    const std::vector<unsigned> codes = CanonicalCodes(lit);
    for (unsigned s : {'a', 'b'}) w.PutCode(codes[s], lit[s]);
    w.PutCode(codes[257], 2);
    w.PutCode(0, 1);  // distance 1
    w.PutCode(codes[256], 3);
    ExpectSameAsZlib(w.Bytes, "one distance code");
    const TDeflateBlocks got = FindDeflateBlocks(w.Bytes.data(), w.Bytes.size());
    EXPECT_EQ(got.LastStart, start);
    EXPECT_EQ(got.EndBit, w.Bits);
  }
  {
    // Fixed codes with the longest length and distance and their extra bits.
    TBitWriter w;
    w.Put(1, 1);
    w.Put(1, 2);
    for (int i = 0; i < 40000; ++i) PutFixed(w, unsigned(i % 256));
    PutFixed(w, 284);  // lengths 227 to 257
    w.Put(29, 5);
    w.PutCode(0, 5);   // distance 1
    PutFixed(w, 285);  // length 258
    w.PutCode(29, 5);  // distances 24577 to 32768
    w.Put(8191, 13);
    PutFixed(w, 256);
    ExpectSameAsZlib(w.Bytes, "fixed codes");
    EXPECT_EQ(FindDeflateBlocks(w.Bytes.data(), w.Bytes.size()).EndBit, w.Bits);
  }
}

TEST(DeflateBlocks, RefusesTruncatedAndDamagedStreams) {
  // Cut off at every byte length: always incomplete.
  TBytes mixed = Text(3000, 10), noise = Noise(600, 11);
  mixed.insert(mixed.end(), noise.begin(), noise.end());
  for (int level : {1, 12}) {
    const TBytes z = Libdeflate(mixed, level);
    for (size_t n = 0; n < z.size(); ++n) {
      const TBytes cut(z.begin(), z.begin() + std::ptrdiff_t(n));
      ExpectRefused(cut, "the stream is incomplete");
    }
  }
  const TBytes fixed = Libdeflate(Text(30, 12), 6);
  for (size_t n = 0; n < fixed.size(); ++n)
    ExpectRefused(TBytes(fixed.begin(), fixed.begin() + std::ptrdiff_t(n)),
                  "the stream is incomplete");

  // Hand-made blocks whose last code ends in the last byte, cut off: the missing
  // bits are not taken for zeros (the end code of fixed codes is all zeros).
  {
    TBitWriter w;
    w.Put(1, 1);
    w.Put(1, 2);
    PutFixed(w, 'a');
    PutFixed(w, 256);
    ASSERT_EQ(w.Bytes.size(), 3u);
    EXPECT_EQ(FindDeflateBlocks(w.Bytes.data(), w.Bytes.size()).EndBit, 18u);
    for (size_t n = 0; n < w.Bytes.size(); ++n)
      ExpectRefused(TBytes(w.Bytes.begin(), w.Bytes.begin() + std::ptrdiff_t(n)),
                    "the stream is incomplete");
    // A long code (the length code 280 of eight bits here, past the table of the
    // short codes in a dynamic block) cut off the same way.
    // 15 codes of 4 bits, the end code of 5 and 64 codes of 11 (the last of them
    // for 280): a complete set.
    std::vector<unsigned> lit(281, 0);
    for (unsigned s = 0; s < 15; ++s) lit[s] = 4;
    lit[256] = 5;
    for (unsigned s = 15; s < 78; ++s) lit[s] = 11;
    lit[280] = 11;
    TBitWriter d;
    PutDynamicHeader(d, true, lit, {1});
    const std::vector<unsigned> codes = CanonicalCodes(lit);
    d.PutCode(codes[0], 4);
    d.PutCode(codes[280], 11);  // length 115 to 130
    d.Put(0, 4);
    d.PutCode(0, 1);  // distance 1
    d.PutCode(codes[256], 5);
    ExpectSameAsZlib(d.Bytes, "a long code");
    const uint64_t end = FindDeflateBlocks(d.Bytes.data(), d.Bytes.size()).EndBit;
    EXPECT_EQ(end, d.Bits);
    for (size_t n = 0; n < d.Bytes.size(); ++n)
      ExpectRefused(TBytes(d.Bytes.begin(), d.Bytes.begin() + std::ptrdiff_t(n)),
                    "the stream is incomplete");
  }

  // Blocks that never say they are the last.
  ExpectRefused({0x02, 0x00}, "the stream is incomplete");
  ExpectRefused({0x00, 0x00, 0x00, 0xFF, 0xFF}, "the stream is incomplete");

  // The reserved block type, at the start and after a block.
  ExpectRefused({0x07, 0x00}, "the stream is damaged: a block of the reserved type");
  ExpectRefused({0x00, 0x00, 0x00, 0xFF, 0xFF, 0x07},
                "the stream is damaged: a block of the reserved type");
  ExpectRefused(TBytes(64, 0xFF), "the stream is damaged: a block of the reserved type");

  // A stored block whose length check is wrong, and one that is cut short.
  ExpectRefused({0x01, 0x03, 0x00, 0xFB, 0xFF, 'a', 'b', 'c'},
                "the stream is damaged: a stored block whose length does not match its check");
  ExpectRefused({0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b'}, "the stream is incomplete");
  EXPECT_TRUE(Walk({0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'}).has_value());

  std::vector<unsigned> literals(257, 0);
  literals['a'] = 1;
  literals[256] = 1;
  auto dynamic = [](const std::vector<unsigned>& Lit, const std::vector<unsigned>& Dist) {
    TBitWriter w;
    PutDynamicHeader(w, true, Lit, Dist);
    w.Put(0, 16);
    return w.Bytes;
  };
  {
    std::vector<unsigned> over = literals;
    over['b'] = 1;
    ExpectRefused(dynamic(over, {0}), "the stream is damaged: over-subscribed literal/length code");
    std::vector<unsigned> gap = literals;
    gap[256] = 2;
    ExpectRefused(dynamic(gap, {0}), "the stream is damaged: incomplete literal/length code");
    std::vector<unsigned> noEnd = literals;
    noEnd[256] = 0;
    noEnd['b'] = 1;
    ExpectRefused(dynamic(noEnd, {0}),
                  "the stream is damaged: a block without an end-of-block code");
    ExpectRefused(dynamic(literals, {2, 2}), "the stream is damaged: incomplete distance code");
    ExpectRefused(dynamic(literals, {1, 1, 1}),
                  "the stream is damaged: over-subscribed distance code");
    std::vector<unsigned> many = literals;
    many.resize(287, 0);
    ExpectRefused(dynamic(many, {0}), "the stream is damaged: too many length or distance codes");
    ExpectRefused(dynamic(literals, std::vector<unsigned>(31, 0)),
                  "the stream is damaged: too many length or distance codes");
  }
  {
    // The code length code itself over-subscribed: 19 codes of one bit.
    TBitWriter w;
    w.Put(1, 1);
    w.Put(2, 2);
    w.Put(0, 5);
    w.Put(0, 5);
    w.Put(15, 4);
    for (int i = 0; i < 19; ++i) w.Put(1, 3);
    w.Put(0, 16);
    ExpectRefused(w.Bytes, "the stream is damaged: over-subscribed code length code");
  }
  {
    // A repeat of the previous length as the first length, and repeats past the last code.
    for (bool first : {true, false}) {
      TBitWriter w;
      w.Put(1, 1);
      w.Put(2, 2);
      w.Put(0, 5);
      w.Put(0, 5);
      w.Put(15, 4);
      static const unsigned order[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                         11, 4,  12, 3, 13, 2, 14, 1, 15};
      // 1, 16, 17 and 18 of two bits: codes 00, 01, 10 and 11.
      for (unsigned s : order) w.Put(s >= 16 || s == 1 ? 2 : 0, 3);
      if (first) {
        w.PutCode(1, 2);  // 16
        w.Put(0, 2);
      } else {
        for (int i = 0; i < 3; ++i) {
          w.PutCode(3, 2);  // 18: 138 zeros
          w.Put(127, 7);
        }
      }
      w.Put(0, 16);
      ExpectRefused(w.Bytes,
                    first ? "the stream is damaged: a repeated code length with none before it"
                          : "the stream is damaged: more code lengths than codes");
    }
  }
  {
    // Fixed codes: the unused symbols 286 and 287 and distances 30 and 31, and a
    // distance before the start.
    for (unsigned sym : {286u, 287u}) {
      TBitWriter w;
      w.Put(1, 1);
      w.Put(1, 2);
      PutFixed(w, 'a');
      PutFixed(w, sym);
      w.Put(0, 16);
      ExpectRefused(w.Bytes, "the stream is damaged: an unused literal/length code");
    }
    for (unsigned d : {30u, 31u}) {
      TBitWriter w;
      w.Put(1, 1);
      w.Put(1, 2);
      PutFixed(w, 'a');
      PutFixed(w, 257);
      w.PutCode(d, 5);
      w.Put(0, 16);
      ExpectRefused(w.Bytes, "the stream is damaged: an unused distance code");
    }
    TBitWriter w;
    w.Put(1, 1);
    w.Put(1, 2);
    PutFixed(w, 'a');
    PutFixed(w, 257);
    w.PutCode(1, 5);  // distance 2 after one byte
    PutFixed(w, 256);
    ExpectRefused(w.Bytes, "the stream is damaged: a distance before the start of the data");
  }
  {
    // A distance code that the block's distance set leaves out.
    std::vector<unsigned> lit = literals;
    lit.resize(258, 0);
    lit['a'] = 2;
    lit[256] = 2;
    lit[257] = 1;
    TBitWriter w;
    PutDynamicHeader(w, true, lit, {1});
    const std::vector<unsigned> codes = CanonicalCodes(lit);
    w.PutCode(codes['a'], 2);
    w.PutCode(codes[257], 1);
    w.PutCode(1, 1);  // not the one distance code, which is 0
    w.Put(0, 24);
    ExpectRefused(w.Bytes, "the stream is damaged: a code that is not in the block's code set");
  }
}

TEST(DeflateBlocks, DamagedCopiesOfStreamsGetZlibsVerdict) {
  // Bits flipped anywhere in small streams: the walker accepts exactly what zlib
  // accepts, finds the same positions, and never reads outside the stream (the
  // sanitizer build checks that).
  std::mt19937 rng(13);
  const TBytes sources[] = {Libdeflate(Text(400, 14), 6), Libdeflate(Text(5000, 15), 9),
                            Libdeflate(FilteredRows(60, 20, 16), 7), Libdeflate(Noise(90, 17), 6),
                            Zlib(Text(300, 18), 6, Z_FIXED)};
  int accepted = 0, refused = 0;
  for (int i = 0; i < 6000; ++i) {
    TBytes z = sources[size_t(i) % std::size(sources)];
    const int flips = 1 + int(rng() % 3);
    for (int f = 0; f < flips; ++f) {
      const size_t bit = rng() % (z.size() * 8);
      z[bit / 8] ^= uint8_t(1u << (bit % 8));
    }
    if (rng() % 4 == 0) z.resize(rng() % z.size());
    const std::optional<TDeflateBlocks> want = ZlibBlocks(z);
    std::string message;
    const std::optional<TDeflateBlocks> got = Walk(z, &message);
    ASSERT_EQ(got.has_value(), want.has_value()) << "case " << i << ": " << message;
    if (got) {
      ++accepted;
      EXPECT_EQ(got->LastStart, want->LastStart) << "case " << i;
      EXPECT_EQ(got->EndBit, want->EndBit) << "case " << i;
    } else {
      ++refused;
      EXPECT_FALSE(message.empty());
    }
  }
  EXPECT_GT(accepted, 100);
  EXPECT_GT(refused, 100);
}
