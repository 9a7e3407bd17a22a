#include "map/codec/chunked_deflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "map/codec/deflate_blocks.h"
#include "record/errors.h"

namespace {

// One chunk on its way: built and compressed by a worker, written by the caller.
struct TJob {
  TChunkedDeflate::TMaker Make;
  std::vector<uint8_t> Packed;  // joinable raw deflate
  uint32_t Adler = 1;
  size_t Size = 0;  // input bytes
  bool Done = false;
  std::exception_ptr Failure;
};

// The zlib header for a compression level: deflate with a 32 KiB window and the
// level class in FLEVEL, the check bits making the pair a multiple of 31.
void ZlibHeader(int Level, uint8_t Out[2]) {
  const int flevel = Level >= 9 ? 3 : Level >= 6 ? 2 : Level >= 2 ? 1 : 0;
  const int cmf = 0x78;
  int flg = flevel << 6;
  flg += 31 - (cmf * 256 + flg) % 31;
  Out[0] = uint8_t(cmf);
  Out[1] = uint8_t(flg);
}

struct TCompressorDeleter {
  void operator()(libdeflate_compressor* C) const { libdeflate_free_compressor(C); }
};
using TCompressor = std::unique_ptr<libdeflate_compressor, TCompressorDeleter>;

void CompressJob(TJob& Job, TCompressor& Compressor, int Level) {
  std::vector<uint8_t> input = Job.Make();
  Job.Make = nullptr;
  Job.Size = input.size();
  Job.Adler = uint32_t(libdeflate_adler32(1, input.data(), input.size()));
  if (input.empty()) return;
  if (!Compressor) {
    Compressor.reset(libdeflate_alloc_compressor(Level));
    if (!Compressor) throw EVellumError("Cannot compress the image: out of memory");
  }
  Job.Packed.resize(libdeflate_deflate_compress_bound(Compressor.get(), input.size()));
  const size_t n = libdeflate_deflate_compress(Compressor.get(), input.data(), input.size(),
                                               Job.Packed.data(), Job.Packed.size());
  if (n == 0) throw EVellumError("Cannot compress the image");
  Job.Packed.resize(n);
  MakeDeflateJoinable(Job.Packed);
}

}  // namespace

void MakeDeflateJoinable(std::vector<uint8_t>& Stream) {
  // Where the final block starts and ends, found from the block structure alone.
  TDeflateBlocks blocks;
  try {
    blocks = FindDeflateBlocks(Stream.data(), Stream.size());
  } catch (const EVellumError& e) {
    throw EVellumError(std::string("Cannot join the compressed image: ") + e.what());
  }
  const uint64_t lastStart = blocks.LastStart, endBit = blocks.EndBit;
  Stream.resize(size_t((endBit + 7) / 8));
  Stream[size_t(lastStart / 8)] &= uint8_t(~(1u << (lastStart % 8)));
  const unsigned used = unsigned(endBit % 8);
  if (used != 0) Stream.back() &= uint8_t((1u << used) - 1);  // padding bits cleared
  // An empty stored block: three header bits of 0, padding to the byte, then the
  // length 0 and its complement.
  if (used == 0 || 8 - used < 3) Stream.push_back(0);
  const uint8_t stored[4] = {0x00, 0x00, 0xFF, 0xFF};
  Stream.insert(Stream.end(), stored, stored + 4);
}

struct TChunkedDeflate::TImpl {
  int Level = 9;
  TSink Sink;
  std::mutex Lock;
  std::condition_variable Wake;               // workers: a job is waiting, or stop
  std::condition_variable Finished;           // caller: a job is done
  std::deque<std::shared_ptr<TJob>> Waiting;  // not yet taken by a worker
  std::deque<std::shared_ptr<TJob>> InOrder;  // not yet written
  std::vector<std::thread> Workers;
  size_t MaxInFlight = 3;
  bool Stop = false;
  bool Ended = false;
  uint32_t Adler = 1;

  void Work() {
    TCompressor compressor;
    for (;;) {
      std::shared_ptr<TJob> job;
      {
        std::unique_lock<std::mutex> g(Lock);
        Wake.wait(g, [&] { return Stop || !Waiting.empty(); });
        if (Stop) return;
        job = std::move(Waiting.front());
        Waiting.pop_front();
      }
      try {
        CompressJob(*job, compressor, Level);
      } catch (...) {
        job->Failure = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> g(Lock);
        job->Done = true;
      }
      Finished.notify_all();
    }
  }

  // Writes the finished jobs at the front, in order, waiting for unfinished ones
  // until fewer than Keep jobs are left (Keep 0: until all are written).
  void Drain(size_t Keep) {
    for (;;) {
      std::shared_ptr<TJob> job;
      {
        std::unique_lock<std::mutex> g(Lock);
        if (InOrder.empty()) return;
        if (!InOrder.front()->Done) {
          if (InOrder.size() < Keep) return;
          Finished.wait(g, [&] { return InOrder.front()->Done; });
        }
        job = std::move(InOrder.front());
        InOrder.pop_front();
      }
      if (job->Failure) std::rethrow_exception(job->Failure);
      if (!job->Packed.empty()) Sink(job->Packed.data(), job->Packed.size());
      Adler = uint32_t(adler32_combine(Adler, job->Adler, z_off_t(job->Size)));
    }
  }
};

TChunkedDeflate::TChunkedDeflate(int Level, TSink Sink, int Threads)
    : F(std::make_unique<TImpl>()) {
  F->Level = std::clamp(Level, 1, 12);
  F->Sink = std::move(Sink);
  if (Threads <= 0) Threads = int(std::max(1u, std::thread::hardware_concurrency()));
  F->MaxInFlight = size_t(Threads) + 2;
  uint8_t header[2];
  ZlibHeader(F->Level, header);
  F->Sink(header, 2);
  for (int i = 0; i < Threads; ++i) F->Workers.emplace_back([this] { F->Work(); });
}

TChunkedDeflate::~TChunkedDeflate() {
  {
    std::lock_guard<std::mutex> g(F->Lock);
    F->Stop = true;
  }
  F->Wake.notify_all();
  for (std::thread& t : F->Workers) t.join();
}

void TChunkedDeflate::Add(TMaker Make) {
  if (F->Ended) throw EVellumError("Cannot compress the image: the stream has ended");
  F->Drain(F->MaxInFlight);
  auto job = std::make_shared<TJob>();
  job->Make = std::move(Make);
  {
    std::lock_guard<std::mutex> g(F->Lock);
    F->Waiting.push_back(job);
    F->InOrder.push_back(job);
  }
  F->Wake.notify_one();
}

void TChunkedDeflate::Add(std::vector<uint8_t> Bytes) {
  auto bytes = std::make_shared<std::vector<uint8_t>>(std::move(Bytes));
  Add([bytes] { return std::move(*bytes); });
}

void TChunkedDeflate::Finish() {
  if (F->Ended) return;
  F->Drain(0);
  F->Ended = true;
  // A final block of fixed codes holding only its end code, then the check value.
  const uint32_t a = F->Adler;
  const uint8_t tail[6] = {0x03,      0x00, uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8),
                           uint8_t(a)};
  F->Sink(tail, sizeof tail);
}

std::vector<uint8_t> TChunkedDeflate::Compress(const uint8_t* Data, size_t Size, int Level,
                                               size_t ChunkBytes) {
  std::vector<uint8_t> out;
  TChunkedDeflate deflate(Level,
                          [&](const uint8_t* P, size_t N) { out.insert(out.end(), P, P + N); });
  ChunkBytes = std::max<size_t>(ChunkBytes, 1);
  for (size_t at = 0; at < Size; at += ChunkBytes) {
    const size_t n = std::min(ChunkBytes, Size - at);
    deflate.Add([Data, at, n] { return std::vector<uint8_t>(Data + at, Data + at + n); });
  }
  deflate.Finish();
  return out;
}
