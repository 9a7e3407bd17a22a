#pragma once
// The lines of a zlib stream, inflated a piece at a time. A map's text is
// hundreds of megabytes; reading it line by line from a window of about a
// megabyte keeps the text in the cache while it is parsed and never holds all
// of it in memory.

#include <zlib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class TInflatedLines {
 public:
  // Bytes must outlive this object. Limit bounds the whole text, so that a small
  // hostile stream cannot make the reader inflate without end.
  TInflatedLines(const std::string& Bytes, size_t Limit);
  ~TInflatedLines();
  TInflatedLines(const TInflatedLines&) = delete;
  TInflatedLines& operator=(const TInflatedLines&) = delete;

  // The next line without its line end (CR LF, CR or LF), valid until the next
  // call; false at the end of the text. A line end at the very end does not start
  // another line. When the line would be longer than MaxLength, Line holds the
  // first MaxLength + 1 characters and TooLong is set instead.
  bool Next(std::string_view& Line, size_t MaxLength, bool& TooLong);
  bool Next(std::string_view& Line);

  // Inflates the rest of the stream, so that damage after the last line read (a
  // wrong checksum, say) is still found.
  void Finish();

  // Changes the bound on the whole text; only before InflateAhead.
  void SetLimit(size_t Limit) { FLimit = Limit; }

  // From here on the stream is inflated on a thread of its own, a few blocks
  // ahead of the reader, so that inflating and reading share the two cores.
  // Errors of the stream still reach the reader where the text they spoil
  // would have begun. Worth it only for large streams; a no-op for small ones.
  void InflateAhead();

 private:
  // Inflates up to Room characters at Out; the count made. Sets FInflated at
  // the end of the stream; throws on a damaged stream or text over the limit.
  size_t Inflate(char* Out, size_t Room);
  // Puts more text behind what is unread, moving that to the front of the window
  // and widening the window for a line longer than it. False when the text has
  // ended and nothing was added.
  bool Fill();
  void Produce();
  void StopProducer();

  // Inflating; owned by the producer thread once there is one.
  z_stream FZ{};
  const std::string& FBytes;
  size_t FInputLeft = 0;
  size_t FProduced = 0;  // characters inflated in all
  size_t FLimit = 0;
  bool FInflated = false;  // zlib has given all there is

  // Reading.
  std::vector<char> FWindow;
  size_t FPos = 0;      // first unread character
  size_t FEnd = 0;      // end of the inflated text in the window
  size_t FScanned = 0;  // [FPos, FScanned) holds no line end
  bool FEnded = false;  // no more text will come

  // Blocks handed from the producer thread to the reader.
  std::mutex FLock;
  std::condition_variable FChanged;
  std::deque<std::vector<char>> FReady;
  bool FProducerDone = false;
  bool FStop = false;
  std::exception_ptr FProducerError;
  std::thread FProducer;
};
