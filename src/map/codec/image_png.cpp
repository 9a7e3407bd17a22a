// PNG decoding through libpng, and encoding: rows filtered as libpng would and
// compressed with libdeflate in chunks on worker threads, so that a large image is
// encoded while the next rows are being composed.
//
// libpng reports errors by longjmp. Every setjmp lives in a small function whose
// frame holds no object with a destructor, and no C++ frame with live destructors
// lies between the setjmp and the libpng call that may jump, so a jump never skips
// a destructor. Buffers are allocated by the callers before the jumping phase.

#include <libdeflate.h>
#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "map/codec/chunked_deflate.h"
#include "map/codec/image_band_writer.h"
#include "map/codec/image_codecs.h"
#include "map/codec/image_file.h"
#include "map/codec/png_row_filter.h"
#include "record/errors.h"

namespace {

struct PngContext {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Pos = 0;
  char Message[200] = "";
};

void OnPngError(png_structp Png, png_const_charp Msg) {
  auto* ctx = static_cast<PngContext*>(png_get_error_ptr(Png));
  std::snprintf(ctx->Message, sizeof ctx->Message, "%s", Msg ? Msg : "unknown error");
  png_longjmp(Png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void OnPngRead(png_structp Png, png_bytep Out, png_size_t Count) {
  auto* ctx = static_cast<PngContext*>(png_get_io_ptr(Png));
  if (Count > ctx->Size - ctx->Pos) png_error(Png, "the file is truncated");
  std::memcpy(Out, ctx->Data + ctx->Pos, Count);
  ctx->Pos += Count;
}

// Reads the header and sets the transforms that turn every kind of PNG into
// 8-bit pixels laid out in memory as TColor32 values.
bool ReadHeader(PngContext& C, png_uint_32& W, png_uint_32& H, int& Passes) {
  if (setjmp(png_jmpbuf(C.Png))) return false;
  png_set_read_fn(C.Png, &C, OnPngRead);
  // Ancillary chunks a texture does not need are skipped unread, and no chunk may
  // make libpng allocate more than a few megabytes.
  png_set_keep_unknown_chunks(C.Png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_chunk_malloc_max(C.Png, 8 << 20);
  png_read_info(C.Png, C.Info);
  int depth = 0, colorType = 0;
  png_get_IHDR(C.Png, C.Info, &W, &H, &depth, &colorType, nullptr, nullptr, nullptr);
  if (int64_t(W) * int64_t(H) > MaxDecodePixels) return true;  // the caller refuses it
  // Deflate shrinks data at most about 1032 times: a file too short to hold its
  // rows even so is cut off, and is refused before a large image is allocated.
  const int channels = png_get_channels(C.Png, C.Info);
  const uint64_t rowBytes = 1 + (uint64_t(W) * uint64_t(depth) * uint64_t(channels) + 7) / 8;
  if (rowBytes * H / 1040 > C.Size) png_error(C.Png, "the file is too short for its size");
  if (depth == 16) png_set_strip_16(C.Png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(C.Png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(C.Png);
  // A colour key becomes an alpha channel: 0 on the key colour, 255 elsewhere.
  if (png_get_valid(C.Png, C.Info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(C.Png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(C.Png);
  if constexpr (std::endian::native == std::endian::little) {
    png_set_bgr(C.Png);  // B, G, R, A in memory
    png_set_filler(C.Png, 0xFF, PNG_FILLER_AFTER);
  } else {
    png_set_swap_alpha(C.Png);  // A, R, G, B in memory
    png_set_filler(C.Png, 0xFF, PNG_FILLER_BEFORE);
  }
  Passes = png_set_interlace_handling(C.Png);
  png_read_update_info(C.Png, C.Info);
  if (png_get_rowbytes(C.Png, C.Info) != size_t(W) * 4) png_error(C.Png, "unsupported layout");
  return true;
}

bool ReadPixels(PngContext& C, TColor32* Bits, png_uint_32 W, png_uint_32 H, int Passes) {
  if (setjmp(png_jmpbuf(C.Png))) return false;
  for (int pass = 0; pass < Passes; ++pass)
    for (png_uint_32 y = 0; y < H; ++y)
      png_read_row(C.Png, reinterpret_cast<png_bytep>(Bits + size_t(y) * W), nullptr);
  png_read_end(C.Png, nullptr);
  return true;
}

// Walks the chunks up to IEND: a chunk that claims more bytes than the file holds
// means a cut-off or damaged file. libpng would allocate what the chunk claims
// (up to 2 GiB for a text chunk) before finding that out.
bool ChunksFitTheFile(const uint8_t* Data, size_t Size) {
  size_t pos = 8;
  while (Size - pos >= 8) {
    const uint32_t length = uint32_t(Data[pos]) << 24 | uint32_t(Data[pos + 1]) << 16 |
                            uint32_t(Data[pos + 2]) << 8 | uint32_t(Data[pos + 3]);
    if (length > 0x7FFFFFFFu || uint64_t(length) + 12 > uint64_t(Size - pos)) return false;
    if (std::memcmp(Data + pos + 4, "IEND", 4) == 0) return true;
    pos += size_t(length) + 12;
  }
  return true;  // no IEND: libpng reports where the data ends
}

struct PngReadGuard {
  PngContext& C;
  ~PngReadGuard() { png_destroy_read_struct(&C.Png, &C.Info, nullptr); }
};

}  // namespace

void DecodePNG(const uint8_t* Data, size_t Size, TBitmap32& Dest, const std::string& Name) {
  auto fail = [&](const char* reason) {
    return EImageError("\"" + Name + "\" is not a valid PNG image: " + reason);
  };
  PngContext c;
  c.Data = Data;
  c.Size = Size;
  if (Size < 8 || png_sig_cmp(Data, 0, 8) != 0) throw fail("bad signature");
  if (!ChunksFitTheFile(Data, Size)) throw fail("the file is truncated");
  c.Pos = 0;
  c.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &c, OnPngError, OnPngWarning);
  if (!c.Png) throw fail("out of memory");
  PngReadGuard guard{c};
  c.Info = png_create_info_struct(c.Png);
  if (!c.Info) throw fail("out of memory");

  png_uint_32 w = 0, h = 0;
  int passes = 1;
  if (!ReadHeader(c, w, h, passes)) throw fail(c.Message);
  CheckDecodeSize(w, h, "PNG", Name);

  TBitmap32 image;
  image.SetSize(int32_t(w), int32_t(h));
  if (!ReadPixels(c, image.Bits(), w, h, passes)) throw fail(c.Message);
  Dest.TakePixels(image);
}

void EncodePNG(const TBitmap32& Source, std::FILE* File, const std::string& Name) {
  if (Source.Empty())
    throw EImageError("Cannot write the PNG image \"" + Name + "\": the image is empty");
  TPngRowWriter writer(File, Source.Width(), Source.Height(), Name);
  writer.WriteRows(Source, Source.Height());
  writer.Finish();
}

// ---- Row by row writing ----

namespace {

// Filtered rows are compressed in chunks of about this many bytes: large enough
// that starting each chunk without the previous one's history costs well under
// one percent of the file, small enough that both cores get work early, that
// the last chunks, compressed after every row is composed, are done soon, and
// that the chunks in flight hold little memory.
constexpr size_t kChunkBytes = size_t(1) << 20;
// Compressed bytes are gathered into IDAT chunks of about this size.
constexpr size_t kIdatBytes = size_t(1) << 20;
// libdeflate's level that, on rows filtered favouring up, gives map images as
// small as the best level does on rows of the smallest filter sum, in a fraction
// of the time.
constexpr int kDeflateLevel = 7;

void PutBigEndian(std::vector<uint8_t>& Out, uint32_t V) {
  const uint8_t b[4] = {uint8_t(V >> 24), uint8_t(V >> 16), uint8_t(V >> 8), uint8_t(V)};
  Out.insert(Out.end(), b, b + 4);
}

}  // namespace

struct TPngRowWriter::TImpl {
  std::FILE* File = nullptr;
  std::string Name;
  int32_t Width = 0, Height = 0, Written = 0;
  size_t RowBytes = 0;
  int32_t ChunkRows = 1;
  std::vector<uint8_t> Rows;   // RGB rows of the chunk being gathered
  std::vector<uint8_t> Prior;  // the row above the chunk (zeros above the image)
  std::vector<uint8_t> Idat;   // compressed bytes not yet written
  std::unique_ptr<TChunkedDeflate> Deflate;

  EImageError Fail(const std::string& Reason) const {
    return EImageError("Cannot write the PNG image \"" + Name + "\": " + Reason);
  }
  void Put(const uint8_t* Data, size_t Size) {
    if (Size > 0 && std::fwrite(Data, 1, Size, File) != Size) throw Fail("write error");
  }
  // One chunk: length, type, data and the CRC of type and data.
  void PutChunk(const char* Type, const uint8_t* Data, size_t Size) {
    std::vector<uint8_t> head;
    PutBigEndian(head, uint32_t(Size));
    head.insert(head.end(), Type, Type + 4);
    uint32_t crc = libdeflate_crc32(0, head.data() + 4, 4);
    // (libdeflate takes a null buffer as a request for the initial value.)
    if (Size > 0) crc = libdeflate_crc32(crc, Data, Size);
    Put(head.data(), head.size());
    Put(Data, Size);
    std::vector<uint8_t> tail;
    PutBigEndian(tail, crc);
    Put(tail.data(), tail.size());
  }
  void FlushIdat() {
    if (Idat.empty()) return;
    PutChunk("IDAT", Idat.data(), Idat.size());
    Idat.clear();
  }
  // Hands the gathered rows to a worker, which filters and compresses them.
  void SendChunk() {
    if (Rows.empty()) return;
    auto rows = std::make_shared<std::vector<uint8_t>>(std::move(Rows));
    auto prior = std::make_shared<std::vector<uint8_t>>(Prior);
    std::copy(rows->end() - std::ptrdiff_t(RowBytes), rows->end(), Prior.begin());
    Rows = {};
    Rows.reserve(RowBytes * size_t(ChunkRows));
    const size_t rowBytes = RowBytes;
    Deflate->Add([rows, prior, rowBytes] {
      const size_t n = rows->size() / rowBytes;
      std::vector<uint8_t> out(n * (rowBytes + 1));
      const uint8_t* above = prior->data();
      for (size_t r = 0; r < n; ++r) {
        const uint8_t* row = rows->data() + r * rowBytes;
        FilterPngRowFavouringUp(row, above, rowBytes, 3, out.data() + r * (rowBytes + 1));
        above = row;
      }
      return out;
    });
  }
};

TPngRowWriter::TPngRowWriter(std::FILE* File, int32_t Width, int32_t Height,
                             const std::string& Name, int32_t Dpi)
    : F(std::make_unique<TImpl>()) {
  F->Name = Name;
  F->File = File;
  if (Width <= 0 || Height <= 0) throw F->Fail("the image is empty");
  // Rows whose byte count the chunk sizes can still hold.
  if (Width > 0x7FFFFFFF / 3) throw F->Fail("the image is too large");
  F->Width = Width;
  F->Height = Height;
  F->RowBytes = size_t(Width) * 3;
  F->ChunkRows = int32_t(std::max<size_t>(1, kChunkBytes / F->RowBytes));
  F->Prior.assign(F->RowBytes, 0);
  F->Rows.reserve(F->RowBytes * size_t(F->ChunkRows));

  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  F->Put(signature, sizeof signature);
  std::vector<uint8_t> ihdr;
  PutBigEndian(ihdr, uint32_t(Width));
  PutBigEndian(ihdr, uint32_t(Height));
  // 8 bits per sample, truecolour, deflate, adaptive filtering, not interlaced.
  const uint8_t rest[5] = {8, 2, 0, 0, 0};
  ihdr.insert(ihdr.end(), rest, rest + 5);
  F->PutChunk("IHDR", ihdr.data(), ihdr.size());
  if (Dpi > 0) {
    // Pixels per metre, rounded, the same both ways; unit 1 is the metre.
    const auto ppm = uint32_t((int64_t(Dpi) * 10000 + 127) / 254);
    std::vector<uint8_t> phys;
    PutBigEndian(phys, ppm);
    PutBigEndian(phys, ppm);
    phys.push_back(1);
    F->PutChunk("pHYs", phys.data(), phys.size());
  }
  TImpl* impl = F.get();
  F->Deflate = std::make_unique<TChunkedDeflate>(kDeflateLevel, [impl](const uint8_t* P, size_t N) {
    impl->Idat.insert(impl->Idat.end(), P, P + N);
    if (impl->Idat.size() >= kIdatBytes) impl->FlushIdat();
  });
}

TPngRowWriter::~TPngRowWriter() = default;

void TPngRowWriter::WriteRows(const TBitmap32& Band, int32_t Count) {
  if (Band.Width() != F->Width || Count < 0 || Count > Band.Height() ||
      Count > F->Height - F->Written)
    throw F->Fail("the rows do not fit the image");
  for (int32_t y = 0; y < Count; ++y) {
    const TColor32* s = Band.ScanLine(y);
    const size_t at = F->Rows.size();
    F->Rows.resize(at + F->RowBytes);
    uint8_t* row = F->Rows.data() + at;
    for (int32_t x = 0; x < F->Width; ++x) {
      row[3 * x] = uint8_t(s[x] >> 16);
      row[3 * x + 1] = uint8_t(s[x] >> 8);
      row[3 * x + 2] = uint8_t(s[x]);
    }
    if (F->Rows.size() >= F->RowBytes * size_t(F->ChunkRows)) F->SendChunk();
  }
  F->Written += Count;
}

void TPngRowWriter::Finish() {
  if (F->Written != F->Height) throw F->Fail("not every row was written");
  F->SendChunk();
  F->Deflate->Finish();
  F->FlushIdat();
  F->PutChunk("IEND", nullptr, 0);
  if (std::fflush(F->File) != 0 || std::ferror(F->File)) throw F->Fail("write error");
}
