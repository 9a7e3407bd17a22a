#include "map/file/inflated_lines.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "map/file/map_file.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t kWindow = size_t(1) << 20;
constexpr size_t kMaxInputPiece = size_t(1) << 30;  // zlib counts input in uInt
// Inflating ahead on a thread of its own: blocks of this size, at most this many
// waiting, for streams of at least this many bytes.
constexpr size_t kBlock = size_t(1) << 19;
constexpr size_t kBlocksAhead = 4;
constexpr size_t kAheadMinBytes = size_t(1) << 16;

// The first CR or LF in [From, To), To when there is none; sixteen bytes at a
// time, since a pixel row is tens of thousands of characters long.
const char* FindLineEnd(const char* From, const char* To) {
  const char* p = From;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; To - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    if (mask != 0) return p + __builtin_ctz(unsigned(mask));
  }
#endif
  for (; p < To; ++p)
    if (*p == '\r' || *p == '\n') return p;
  return To;
}

}  // namespace

TInflatedLines::TInflatedLines(const std::string& Bytes, size_t Limit)
    : FBytes(Bytes), FInputLeft(Bytes.size()), FLimit(Limit) {
  if (inflateInit(&FZ) != Z_OK) throw EDecompressionError("エラー");
  FZ.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(FBytes.data()));
  FZ.avail_in = 0;
  FWindow.resize(kWindow);
}

TInflatedLines::~TInflatedLines() {
  StopProducer();
  inflateEnd(&FZ);
}

size_t TInflatedLines::Inflate(char* Out, size_t Room) {
  size_t made = 0;
  while (made < Room && !FInflated) {
    if (FZ.avail_in == 0 && FInputLeft > 0) {
      const size_t piece = std::min(FInputLeft, kMaxInputPiece);
      FZ.avail_in = uInt(piece);
      FInputLeft -= piece;
    }
    const size_t room = std::min(Room - made, kMaxInputPiece);
    FZ.next_out = reinterpret_cast<Bytef*>(Out + made);
    FZ.avail_out = uInt(room);
    const int r = inflate(&FZ, Z_NO_FLUSH);
    const size_t now = room - FZ.avail_out;
    made += now;
    FProduced += now;
    if (FProduced > FLimit)
      throw EMapFileError("The map file holds more text (over " + std::to_string(FLimit) +
                          " bytes) than its header can need");
    if (r == Z_STREAM_END) {
      FInflated = true;
    } else if (r != Z_OK && r != Z_BUF_ERROR) {
      throw EDecompressionError("エラー");
    } else if (FZ.avail_in == 0 && FInputLeft == 0 && FZ.avail_out != 0) {
      // No more input and room left over: the stream ends early, and what it
      // gave is read as far as it goes.
      FInflated = true;
    } else if (now > 0) {
      break;  // enough for the reader to look at
    }
  }
  return made;
}

void TInflatedLines::InflateAhead() {
  if (FProducer.joinable() || FInflated || FBytes.size() < kAheadMinBytes) return;
  FProducer = std::thread([this] { Produce(); });
}

void TInflatedLines::Produce() {
  try {
    for (;;) {
      std::vector<char> block(kBlock);
      size_t made = 0;
      while (made < block.size() && !FInflated)
        made += Inflate(block.data() + made, block.size() - made);
      block.resize(made);
      std::unique_lock lock(FLock);
      FChanged.wait(lock, [&] { return FStop || FReady.size() < kBlocksAhead; });
      if (FStop) return;
      if (!block.empty()) FReady.push_back(std::move(block));
      if (FInflated) {
        FProducerDone = true;
        FChanged.notify_all();
        return;
      }
      FChanged.notify_all();
    }
  } catch (...) {
    std::lock_guard lock(FLock);
    FProducerError = std::current_exception();
    FProducerDone = true;
    FChanged.notify_all();
  }
}

void TInflatedLines::StopProducer() {
  if (!FProducer.joinable()) return;
  {
    std::lock_guard lock(FLock);
    FStop = true;
  }
  FChanged.notify_all();
  FProducer.join();
}

bool TInflatedLines::Fill() {
  if (FEnded) return false;
  if (FPos > 0) {
    std::memmove(FWindow.data(), FWindow.data() + FPos, FEnd - FPos);
    FEnd -= FPos;
    FScanned -= FPos;
    FPos = 0;
  }
  if (!FProducer.joinable()) {
    if (FEnd == FWindow.size()) FWindow.resize(FWindow.size() * 2);
    const size_t made = Inflate(FWindow.data() + FEnd, FWindow.size() - FEnd);
    FEnd += made;
    FEnded = FInflated;
    return made > 0;
  }
  std::vector<char> block;
  {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&] { return !FReady.empty() || FProducerDone; });
    if (FReady.empty()) {
      if (FProducerError) std::rethrow_exception(FProducerError);
      FEnded = true;
      return false;
    }
    block = std::move(FReady.front());
    FReady.pop_front();
  }
  FChanged.notify_all();
  if (FEnd + block.size() > FWindow.size())
    FWindow.resize(std::max(FWindow.size() * 2, FEnd + block.size()));
  std::memcpy(FWindow.data() + FEnd, block.data(), block.size());
  FEnd += block.size();
  return true;
}

bool TInflatedLines::Next(std::string_view& Line, size_t MaxLength, bool& TooLong) {
  TooLong = false;
  for (;;) {
    const char* data = FWindow.data();
    const char* end = FindLineEnd(data + std::max(FScanned, FPos), data + FEnd);
    FScanned = size_t(end - data);
    const size_t length = FScanned - FPos;
    if (length > MaxLength) {
      TooLong = true;
      Line = std::string_view(data + FPos, MaxLength + 1);
      return false;
    }
    if (FScanned < FEnd) {
      // A CR as the last character so far may be the first half of CR LF.
      if (*end == '\r' && FScanned + 1 == FEnd && !FEnded) {
        Fill();
        continue;
      }
      Line = std::string_view(data + FPos, length);
      FPos = FScanned + 1;
      if (*end == '\r' && FPos < FEnd && data[FPos] == '\n') ++FPos;
      FScanned = FPos;
      return true;
    }
    if (Fill()) continue;
    if (FPos == FEnd) return false;
    // The last line, without a line end (Fill may have moved it).
    Line = std::string_view(FWindow.data() + FPos, FEnd - FPos);
    FPos = FScanned = FEnd;
    return true;
  }
}

bool TInflatedLines::Next(std::string_view& Line) {
  bool tooLong = false;
  return Next(Line, std::string::npos - 1, tooLong);
}

void TInflatedLines::Finish() {
  while (!FEnded) {
    FPos = FEnd = FScanned = 0;
    Fill();
  }
  StopProducer();
}
