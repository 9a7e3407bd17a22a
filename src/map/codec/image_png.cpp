// PNG decoding and encoding through libpng.
//
// libpng reports errors by longjmp. Every setjmp lives in a small function whose
// frame holds no object with a destructor, and no C++ frame with live destructors
// lies between the setjmp and the libpng call that may jump, so a jump never skips
// a destructor. Buffers are allocated by the callers before the jumping phase.

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "map/codec/image_band_writer.h"
#include "map/codec/image_codecs.h"
#include "map/codec/image_file.h"
#include "record/errors.h"

namespace {

struct PngContext {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Pos = 0;
  std::FILE* File = nullptr;
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

void OnPngWrite(png_structp Png, png_bytep In, png_size_t Count) {
  auto* ctx = static_cast<PngContext*>(png_get_io_ptr(Png));
  if (std::fwrite(In, 1, Count, ctx->File) != Count) png_error(Png, "write error");
}

void OnPngFlush(png_structp Png) {
  auto* ctx = static_cast<PngContext*>(png_get_io_ptr(Png));
  std::fflush(ctx->File);
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

bool WriteAll(PngContext& C, const TBitmap32& Source, png_bytep Row) {
  if (setjmp(png_jmpbuf(C.Png))) return false;
  const int32_t w = Source.Width(), h = Source.Height();
  png_set_write_fn(C.Png, &C, OnPngWrite, OnPngFlush);
  png_set_compression_level(C.Png, 9);
  png_set_IHDR(C.Png, C.Info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(C.Png, C.Info);
  for (int32_t y = 0; y < h; ++y) {
    const TColor32* s = Source.ScanLine(y);
    for (int32_t x = 0; x < w; ++x) {
      Row[3 * x] = png_byte(s[x] >> 16);
      Row[3 * x + 1] = png_byte(s[x] >> 8);
      Row[3 * x + 2] = png_byte(s[x]);
    }
    png_write_row(C.Png, Row);
  }
  png_write_end(C.Png, nullptr);
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

struct PngWriteGuard {
  PngContext& C;
  ~PngWriteGuard() { png_destroy_write_struct(&C.Png, &C.Info); }
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
  auto fail = [&](const char* reason) {
    return EImageError("Cannot write the PNG image \"" + Name + "\": " + reason);
  };
  if (Source.Empty()) throw fail("the image is empty");
  std::vector<png_byte> row(size_t(Source.Width()) * 3);
  PngContext c;
  c.File = File;
  c.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &c, OnPngError, OnPngWarning);
  if (!c.Png) throw fail("out of memory");
  PngWriteGuard guard{c};
  c.Info = png_create_info_struct(c.Png);
  if (!c.Info) throw fail("out of memory");
  if (!WriteAll(c, Source, row.data())) throw fail(c.Message);
}

// ---- Row by row writing ----

namespace {

bool WriteHeader(PngContext& C, int32_t W, int32_t H, int32_t Dpi) {
  if (setjmp(png_jmpbuf(C.Png))) return false;
  png_set_write_fn(C.Png, &C, OnPngWrite, OnPngFlush);
  png_set_compression_level(C.Png, 9);
  png_set_IHDR(C.Png, C.Info, png_uint_32(W), png_uint_32(H), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (Dpi > 0) {
    // Pixels per metre, rounded.
    const auto ppm = png_uint_32((int64_t(Dpi) * 10000 + 127) / 254);
    png_set_pHYs(C.Png, C.Info, ppm, ppm, PNG_RESOLUTION_METER);
  }
  png_write_info(C.Png, C.Info);
  return true;
}

bool WriteOneRow(PngContext& C, png_bytep Row) {
  if (setjmp(png_jmpbuf(C.Png))) return false;
  png_write_row(C.Png, Row);
  return true;
}

bool WriteEnd(PngContext& C) {
  if (setjmp(png_jmpbuf(C.Png))) return false;
  png_write_end(C.Png, nullptr);
  return true;
}

}  // namespace

struct TPngRowWriter::TImpl {
  PngContext C;
  std::string Name;
  int32_t Width = 0, Height = 0, Written = 0;
  std::vector<png_byte> Row;
  ~TImpl() {
    if (C.Png) png_destroy_write_struct(&C.Png, &C.Info);
  }
  EImageError Fail(const char* Reason) const {
    return EImageError("Cannot write the PNG image \"" + Name + "\": " + Reason);
  }
};

TPngRowWriter::TPngRowWriter(std::FILE* File, int32_t Width, int32_t Height,
                             const std::string& Name, int32_t Dpi)
    : F(std::make_unique<TImpl>()) {
  F->Name = Name;
  if (Width <= 0 || Height <= 0) throw F->Fail("the image is empty");
  F->Width = Width;
  F->Height = Height;
  F->Row.resize(size_t(Width) * 3);
  F->C.File = File;
  F->C.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &F->C, OnPngError, OnPngWarning);
  if (!F->C.Png) throw F->Fail("out of memory");
  F->C.Info = png_create_info_struct(F->C.Png);
  if (!F->C.Info) throw F->Fail("out of memory");
  if (!WriteHeader(F->C, Width, Height, Dpi)) throw F->Fail(F->C.Message);
}

TPngRowWriter::~TPngRowWriter() = default;

void TPngRowWriter::WriteRows(const TBitmap32& Band, int32_t Count) {
  if (Band.Width() != F->Width || Count < 0 || Count > Band.Height() ||
      Count > F->Height - F->Written)
    throw F->Fail("the rows do not fit the image");
  png_bytep row = F->Row.data();
  for (int32_t y = 0; y < Count; ++y) {
    const TColor32* s = Band.ScanLine(y);
    for (int32_t x = 0; x < F->Width; ++x) {
      row[3 * x] = png_byte(s[x] >> 16);
      row[3 * x + 1] = png_byte(s[x] >> 8);
      row[3 * x + 2] = png_byte(s[x]);
    }
    if (!WriteOneRow(F->C, row)) throw F->Fail(F->C.Message);
  }
  F->Written += Count;
}

void TPngRowWriter::Finish() {
  if (F->Written != F->Height) throw F->Fail("not every row was written");
  if (!WriteEnd(F->C)) throw F->Fail(F->C.Message);
  if (std::fflush(F->C.File) != 0 || std::ferror(F->C.File)) throw F->Fail("write error");
}
