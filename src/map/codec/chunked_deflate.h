#pragma once
// TChunkedDeflate: one zlib stream built from chunks compressed on worker threads.
//
// Each chunk of the input is compressed on its own by libdeflate into a complete
// raw deflate stream. Its last block loses its final flag and an empty stored
// block follows it (what a sync flush writes), so that the pieces, joined in
// order, form one valid deflate stream; an empty final block and the Adler-32 of
// the whole input end it. The caller keeps producing input (composing the next
// rows, say) while earlier chunks are compressed, and the compressed bytes reach
// the sink in order, on the caller's thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TChunkedDeflate {
 public:
  // Receives the compressed stream piece by piece, in order.
  using TSink = std::function<void(const uint8_t* Data, size_t Size)>;
  // Builds the bytes of one chunk; runs on a worker thread.
  using TMaker = std::function<std::vector<uint8_t>()>;

  // Level is libdeflate's (1 to 12). Threads <= 0 takes one worker per core.
  // The zlib header reaches Sink at once.
  TChunkedDeflate(int Level, TSink Sink, int Threads = 0);
  // Stops the workers; chunks not yet written are dropped.
  ~TChunkedDeflate();
  TChunkedDeflate(const TChunkedDeflate&) = delete;
  TChunkedDeflate& operator=(const TChunkedDeflate&) = delete;

  // Queues the next chunk of the input, built by Make on a worker. Waits while
  // too many chunks are in flight, writing the finished ones to the sink. An
  // error of an earlier chunk (from Make, the compressor or the sink) is raised
  // here or by Finish.
  void Add(TMaker Make);
  // The same for bytes at hand.
  void Add(std::vector<uint8_t> Bytes);
  // Waits for every chunk, writes the rest of the stream and its end.
  void Finish();

  // The whole of Data compressed as one zlib stream in chunks of about ChunkBytes.
  static std::vector<uint8_t> Compress(const uint8_t* Data, size_t Size, int Level,
                                       size_t ChunkBytes = 4 << 20);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

// The raw deflate stream of one chunk made joinable: the final flag of its last
// block is cleared and an empty stored block appended. Raises when Stream is not
// one complete raw deflate stream.
void MakeDeflateJoinable(std::vector<uint8_t>& Stream);
