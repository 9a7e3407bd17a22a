#include "map/codec/deflate_blocks.h"

#include <bit>
#include <cstring>
#include <string>

#include "record/errors.h"

namespace {

constexpr unsigned kMaxBits = 15;   // the longest Huffman code deflate allows
constexpr unsigned kFastBits = 11;  // codes up to this long are found by one table look-up
constexpr unsigned kRunBits = 12;   // the bits looked up at once for runs of literals

[[noreturn]] void Incomplete() { throw EVellumError("the stream is incomplete"); }

[[noreturn]] void Damaged(const char* Why) {
  throw EVellumError(std::string("the stream is damaged: ") + Why);
}

// Reads the stream lowest bit first. The buffer holds Count valid bits; the bits
// above them are zero or already the stream's next bits, so that topping it up
// with a whole word at any bit count is right.
struct TBitReader {
  const uint8_t* Data;
  size_t Size;
  size_t Pos = 0;  // the next byte not yet in the buffer
  uint64_t Bits = 0;
  unsigned Count = 0;

  // Tops the buffer up to at least 56 bits while bytes are left.
  void Refill() {
    if constexpr (std::endian::native == std::endian::little) {
      if (Size - Pos >= 8) {
        uint64_t word;
        std::memcpy(&word, Data + Pos, 8);
        Bits |= word << Count;
        Pos += (63 - Count) >> 3;
        Count |= 56;
        return;
      }
    }
    while (Count < 56 && Pos < Size) {
      Bits |= uint64_t(Data[Pos++]) << Count;
      Count += 8;
    }
  }
  uint64_t Position() const { return uint64_t(Pos) * 8 - Count; }
  void Drop(unsigned N) {
    Bits >>= N;
    Count -= N;
  }
  // The next N bits (at most 32) as a number, the first one lowest.
  unsigned Take(unsigned N) {
    if (Count < N) {
      Refill();
      if (Count < N) Incomplete();
    }
    const auto v = unsigned(Bits & ((uint64_t(1) << N) - 1));
    Drop(N);
    return v;
  }
  // Goes on at the next byte boundary; returns that byte's index.
  size_t AlignToByte() {
    Drop(Count & 7);
    return Pos - Count / 8;
  }
  // Goes on at byte At (at most Size).
  void Seek(size_t At) {
    Pos = At;
    Bits = 0;
    Count = 0;
  }
};

// A canonical Huffman code: a table for the short codes, the code counts per
// length and the symbols in code order for the long ones.
struct THuffman {
  unsigned Bits = kFastBits;       // the bits Fast is indexed by
  uint16_t Fast[1u << kFastBits];  // symbol | length << 9; 0: a longer code or none
  uint16_t Count[kMaxBits + 1];
  uint16_t Symbol[288];
  // For literal/length codes: what the next kRunBits bits hold, bits used | literals << 5 |
  // symbol << 7, either one or two literals (symbol 0) or one other symbol
  // (no literals); 0 when the first code is longer than kFastBits.
  uint32_t Run[1u << kRunBits];
};

// Fills H.Run from H.Fast.
void BuildRuns(THuffman& H) {
  for (unsigned i = 0; i < (1u << kRunBits); ++i) {
    const unsigned first = H.Fast[i & ((1u << kFastBits) - 1)], len = first >> 9;
    if (first == 0) {
      H.Run[i] = 0;
    } else if ((first & 511) >= 256) {
      H.Run[i] = uint32_t(len | (first & 511) << 7);
    } else {
      // The bits after the first code index the table within its size.
      const unsigned second = H.Fast[i >> len], both = len + (second >> 9);
      const bool pair = second != 0 && (second & 511) < 256 && both <= kRunBits;
      H.Run[i] = pair ? uint32_t(both | 2u << 5) : uint32_t(len | 1u << 5);
    }
  }
}

// Builds the code of Lengths[0..N). An over-subscribed set is refused, and so is
// an incomplete one unless Sparse allows a set of no codes or of one code of one
// bit (what a block of only literals, or of one distance, may send as distances).
void BuildHuffman(THuffman& H, const uint8_t* Lengths, unsigned N, bool Sparse, const char* Name,
                  unsigned TableBits = kFastBits) {
  std::memset(H.Count, 0, sizeof H.Count);
  for (unsigned s = 0; s < N; ++s) ++H.Count[Lengths[s]];
  H.Count[0] = 0;
  int left = 1;
  unsigned longest = 0;
  for (unsigned len = 1; len <= kMaxBits; ++len) {
    left = (left << 1) - H.Count[len];
    if (left < 0) Damaged((std::string("over-subscribed ") + Name + " code").c_str());
    if (H.Count[len] != 0) longest = len;
  }
  if (left > 0 && !(Sparse && longest <= 1))
    Damaged((std::string("incomplete ") + Name + " code").c_str());

  uint16_t offset[kMaxBits + 2] = {};
  uint16_t next[kMaxBits + 1] = {};
  unsigned code = 0;
  for (unsigned len = 1; len <= kMaxBits; ++len) {
    offset[len + 1] = uint16_t(offset[len] + H.Count[len]);
    code = (code + H.Count[len - 1]) << 1;
    next[len] = uint16_t(code);
  }
  H.Bits = TableBits;
  std::memset(H.Fast, 0, sizeof(H.Fast[0]) << TableBits);
  for (unsigned s = 0; s < N; ++s) {
    const unsigned len = Lengths[s];
    if (len == 0) continue;
    H.Symbol[offset[len]++] = uint16_t(s);
    const unsigned c = next[len]++;
    if (len > TableBits) continue;
    // The table is indexed by the stream's bits, which hold the code's first bit lowest.
    unsigned reversed = 0;
    for (unsigned b = 0; b < len; ++b) reversed |= ((c >> b) & 1u) << (len - 1 - b);
    for (unsigned i = reversed; i < (1u << TableBits); i += 1u << len)
      H.Fast[i] = uint16_t(s | len << 9);
  }
}

// A code longer than the table's bits, one bit at a time.
unsigned DecodeSlow(TBitReader& R, const THuffman& H) {
  uint64_t bits = R.Bits;
  int code = 0, first = 0, index = 0;
  for (unsigned len = 1; len <= kMaxBits; ++len) {
    code |= int(bits & 1);
    bits >>= 1;
    const int count = H.Count[len];
    if (code - first < count) {
      if (len > R.Count) Incomplete();
      R.Drop(len);
      return H.Symbol[index + code - first];
    }
    index += count;
    first = (first + count) << 1;
    code <<= 1;
  }
  if (R.Count < kMaxBits) Incomplete();
  Damaged("a code that is not in the block's code set");
}

inline unsigned Decode(TBitReader& R, const THuffman& H) {
  if (R.Count < kMaxBits) R.Refill();
  const unsigned entry = H.Fast[R.Bits & ((1u << H.Bits) - 1)];
  if (entry == 0) return DecodeSlow(R, H);
  const unsigned len = entry >> 9;
  if (len > R.Count) Incomplete();
  R.Drop(len);
  return entry & 511;
}

struct TFixedCodes {
  THuffman Literals, Distances;
  TFixedCodes() {
    uint8_t lengths[288];
    for (unsigned s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    BuildHuffman(Literals, lengths, 288, false, "literal/length");
    BuildRuns(Literals);
    for (unsigned s = 0; s < 32; ++s) lengths[s] = 5;
    BuildHuffman(Distances, lengths, 32, false, "distance");
  }
};

const TFixedCodes& FixedCodes() {
  static const TFixedCodes codes;
  return codes;
}

// The code lengths of a dynamic block's header and the codes they make.
void ReadDynamicCodes(TBitReader& R, THuffman& Literals, THuffman& Distances) {
  const unsigned nlen = R.Take(5) + 257, ndist = R.Take(5) + 1, ncode = R.Take(4) + 4;
  if (nlen > 286 || ndist > 30) Damaged("too many length or distance codes");
  static const uint8_t order[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                    11, 4,  12, 3, 13, 2, 14, 1, 15};
  uint8_t lengths[286 + 30] = {};
  for (unsigned i = 0; i < ncode; ++i) lengths[order[i]] = uint8_t(R.Take(3));
  THuffman lengthCode;
  BuildHuffman(lengthCode, lengths, 19, false, "code length", 7);

  std::memset(lengths, 0, sizeof lengths);
  const unsigned total = nlen + ndist;
  for (unsigned at = 0; at < total;) {
    const unsigned sym = Decode(R, lengthCode);
    if (sym < 16) {
      lengths[at++] = uint8_t(sym);
      continue;
    }
    uint8_t value = 0;
    unsigned repeat;
    if (sym == 16) {
      if (at == 0) Damaged("a repeated code length with none before it");
      value = lengths[at - 1];
      repeat = 3 + R.Take(2);
    } else if (sym == 17) {
      repeat = 3 + R.Take(3);
    } else {
      repeat = 11 + R.Take(7);
    }
    if (repeat > total - at) Damaged("more code lengths than codes");
    std::memset(lengths + at, value, repeat);
    at += repeat;
  }
  if (lengths[256] == 0) Damaged("a block without an end-of-block code");
  BuildHuffman(Literals, lengths, nlen, false, "literal/length");
  BuildRuns(Literals);
  BuildHuffman(Distances, lengths + nlen, ndist, true, "distance", 10);
}

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The extra bits of a length symbol (257 to 287) and the distance after it.
inline void SkipMatch(TBitReader& R, const THuffman& Distances, unsigned Sym, uint64_t& Out) {
  Sym -= 257;
  if (Sym >= 29) Damaged("an unused literal/length code");
  const unsigned length = kLengthBase[Sym] + R.Take(kLengthExtra[Sym]);
  const unsigned d = Decode(R, Distances);
  if (d >= 30) Damaged("an unused distance code");
  const unsigned distance = kDistanceBase[d] + R.Take(kDistanceExtra[d]);
  if (distance > Out) Damaged("a distance before the start of the data");
  Out += length;
}

// The symbols of one Huffman-coded block up to its end code. Out counts the bytes
// the stream has made so far, which no distance may reach beyond.
void WalkCodes(TBitReader& R, const THuffman& Literals, const THuffman& Distances, uint64_t& Out) {
  // While eight bytes are left, each step starts with at least 48 bits at hand,
  // what a run of literals or a length and distance with their extra bits take
  // at most (15 + 5 + 15 + 13), so that no step runs out of bits.
  while (R.Size - R.Pos >= 8) {
    if (R.Count < 48) R.Refill();
    const uint32_t run = Literals.Run[R.Bits & ((1u << kRunBits) - 1)];
    unsigned sym;
    if (run != 0) {
      R.Drop(run & 31);
      if (const unsigned n = (run >> 5) & 3; n != 0) {
        Out += n;
        continue;
      }
      sym = run >> 7;
    } else {
      sym = DecodeSlow(R, Literals);
      if (sym < 256) {
        ++Out;
        continue;
      }
    }
    if (sym == 256) return;
    SkipMatch(R, Distances, sym, Out);
  }
  // Near the end, one symbol at a time with every take checked.
  for (;;) {
    const unsigned sym = Decode(R, Literals);
    if (sym < 256) {
      ++Out;
      continue;
    }
    if (sym == 256) return;
    SkipMatch(R, Distances, sym, Out);
  }
}

}  // namespace

TDeflateBlocks FindDeflateBlocks(const uint8_t* Data, size_t Size) {
  TBitReader r{Data, Size};
  THuffman literals, distances;
  uint64_t out = 0;
  for (;;) {
    const uint64_t start = r.Position();
    const bool last = r.Take(1) != 0;
    const unsigned type = r.Take(2);
    if (type == 0) {
      const size_t at = r.AlignToByte();
      if (Size - at < 4) Incomplete();
      const unsigned len = Data[at] | unsigned(Data[at + 1]) << 8;
      const unsigned nlen = Data[at + 2] | unsigned(Data[at + 3]) << 8;
      if (len != (~nlen & 0xFFFFu)) Damaged("a stored block whose length does not match its check");
      if (Size - at - 4 < len) Incomplete();
      r.Seek(at + 4 + len);
      out += len;
    } else if (type == 1) {
      WalkCodes(r, FixedCodes().Literals, FixedCodes().Distances, out);
    } else if (type == 2) {
      ReadDynamicCodes(r, literals, distances);
      WalkCodes(r, literals, distances, out);
    } else {
      Damaged("a block of the reserved type");
    }
    if (last) return {start, r.Position()};
  }
}
