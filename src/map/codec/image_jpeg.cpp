// JPEG decoding and encoding through libjpeg.
//
// libjpeg's default error handler calls exit(); ours jumps back to a setjmp held
// in a small function whose frame has no object with a destructor. Work buffers
// come from libjpeg's own pools, which jpeg_destroy frees.

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "map/codec/image_band_writer.h"
#include "map/codec/image_codecs.h"
#include "map/codec/image_file.h"
#include "record/errors.h"

namespace {

struct JpegError {
  jpeg_error_mgr Mgr;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = "";
};

void OnJpegErrorExit(j_common_ptr Info) {
  auto* err = reinterpret_cast<JpegError*>(Info->err);
  (*Info->err->format_message)(Info, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings are ignored, except that data ending early is an error: libjpeg would
// otherwise pad the picture with grey and report success.
void OnJpegMessage(j_common_ptr Info, int Level) {
  if (Level == -1 && Info->err->msg_code == JWRN_JPEG_EOF) OnJpegErrorExit(Info);
}

struct ReadContext {
  jpeg_decompress_struct Info;
  JpegError Err;
  bool Created = false;
  bool Cmyk = false;
  ~ReadContext() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

bool ReadHeader(ReadContext& C, const uint8_t* Data, size_t Size) {
  if (setjmp(C.Err.Jump)) return false;
  jpeg_create_decompress(&C.Info);
  C.Created = true;
  jpeg_mem_src(&C.Info, Data, static_cast<unsigned long>(Size));
  jpeg_read_header(&C.Info, TRUE);
  return true;
}

bool ReadPixels(ReadContext& C, TColor32* Bits) {
  if (setjmp(C.Err.Jump)) return false;
  jpeg_decompress_struct& info = C.Info;
  C.Cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = C.Cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  const JDIMENSION w = info.output_width;
  if (info.output_components != (C.Cmyk ? 4 : 3)) ERREXIT(&info, JERR_BAD_J_COLORSPACE);
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             w * JDIMENSION(info.output_components), 1);
  // Adobe writes CMYK inverted (255 = no ink); that is what nearly every CMYK
  // JPEG carries.
  const bool inverted = info.saw_Adobe_marker;
  while (info.output_scanline < info.output_height) {
    TColor32* d = Bits + size_t(info.output_scanline) * w;
    jpeg_read_scanlines(&info, row, 1);
    const JSAMPLE* s = row[0];
    if (!C.Cmyk) {
      for (JDIMENSION x = 0; x < w; ++x, s += 3) d[x] = MakeColor(s[0], s[1], s[2]);
    } else {
      for (JDIMENSION x = 0; x < w; ++x, s += 4) {
        unsigned c = s[0], m = s[1], y = s[2], k = s[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        d[x] = MakeColor(uint8_t(c * k / 255), uint8_t(m * k / 255), uint8_t(y * k / 255));
      }
    }
  }
  jpeg_finish_decompress(&info);
  return true;
}

struct WriteContext {
  jpeg_compress_struct Info;
  JpegError Err;
  bool Created = false;
  ~WriteContext() {
    if (Created) jpeg_destroy_compress(&Info);
  }
};

bool WriteAll(WriteContext& C, const TBitmap32& Source, std::FILE* File, int Quality) {
  if (setjmp(C.Err.Jump)) return false;
  jpeg_compress_struct& info = C.Info;
  jpeg_create_compress(&info);
  C.Created = true;
  jpeg_stdio_dest(&info, File);
  info.image_width = JDIMENSION(Source.Width());
  info.image_height = JDIMENSION(Source.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             info.image_width * 3, 1);
  while (info.next_scanline < info.image_height) {
    const TColor32* s = Source.ScanLine(int32_t(info.next_scanline));
    JSAMPLE* d = row[0];
    for (JDIMENSION x = 0; x < info.image_width; ++x, d += 3) {
      d[0] = JSAMPLE(s[x] >> 16);
      d[1] = JSAMPLE(s[x] >> 8);
      d[2] = JSAMPLE(s[x]);
    }
    jpeg_write_scanlines(&info, row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

void InstallErrorHandler(jpeg_common_struct& Info, JpegError& Err) {
  Info.err = jpeg_std_error(&Err.Mgr);
  Err.Mgr.error_exit = OnJpegErrorExit;
  Err.Mgr.emit_message = OnJpegMessage;
}

bool StartRows(WriteContext& C, std::FILE* File, int32_t W, int32_t H, int Quality, int32_t Dpi) {
  if (setjmp(C.Err.Jump)) return false;
  jpeg_compress_struct& info = C.Info;
  jpeg_create_compress(&info);
  C.Created = true;
  jpeg_stdio_dest(&info, File);
  info.image_width = JDIMENSION(W);
  info.image_height = JDIMENSION(H);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
  if (Dpi > 0) {
    info.write_JFIF_header = TRUE;
    info.density_unit = 1;  // dots per inch
    info.X_density = UINT16(Dpi);
    info.Y_density = UINT16(Dpi);
  }
  jpeg_start_compress(&info, TRUE);
  return true;
}

bool WriteRow(WriteContext& C, JSAMPARRAY Row) {
  if (setjmp(C.Err.Jump)) return false;
  jpeg_write_scanlines(&C.Info, Row, 1);
  return true;
}

bool FinishRows(WriteContext& C) {
  if (setjmp(C.Err.Jump)) return false;
  jpeg_finish_compress(&C.Info);
  return true;
}

}  // namespace

void DecodeJPEG(const uint8_t* Data, size_t Size, TBitmap32& Dest, const std::string& Name) {
  auto fail = [&](const char* reason) {
    return EImageError("\"" + Name + "\" is not a valid JPEG image: " + reason);
  };
  if (Size == 0) throw fail("the file is empty");
  ReadContext c;
  InstallErrorHandler(*reinterpret_cast<jpeg_common_struct*>(&c.Info), c.Err);
  if (!ReadHeader(c, Data, Size)) throw fail(c.Err.Message);
  CheckDecodeSize(c.Info.image_width, c.Info.image_height, "JPEG", Name);
  // Huffman coding spends at least one bit on every 8 x 8 block it holds: a file
  // shorter than that is cut off, and is refused before a large image is
  // allocated and decoded from nothing. Arithmetic coding can spend far less on a
  // plain picture, so it gets a much looser bound.
  const uint64_t pixelsPerByte = c.Info.arith_code ? 32768 : 1024;
  if (uint64_t(c.Info.image_width) * c.Info.image_height / pixelsPerByte > uint64_t(Size))
    throw fail("the file is too short for its size");
  TBitmap32 image;
  image.SetSize(int32_t(c.Info.image_width), int32_t(c.Info.image_height));
  if (!ReadPixels(c, image.Bits())) throw fail(c.Err.Message);
  Dest.TakePixels(image);
}

void EncodeJPEG(const TBitmap32& Source, std::FILE* File, int Quality, const std::string& Name) {
  auto fail = [&](const char* reason) {
    return EImageError("Cannot write the JPEG image \"" + Name + "\": " + reason);
  };
  if (Source.Empty()) throw fail("the image is empty");
  if (Source.Width() > JPEG_MAX_DIMENSION || Source.Height() > JPEG_MAX_DIMENSION)
    throw fail("the image is too large for JPEG");
  WriteContext c;
  InstallErrorHandler(*reinterpret_cast<jpeg_common_struct*>(&c.Info), c.Err);
  if (!WriteAll(c, Source, File, Quality < 1 ? 1 : Quality > 100 ? 100 : Quality))
    throw fail(c.Err.Message);
}

struct TJpegRowWriter::TImpl {
  WriteContext C;
  std::string Name;
  int32_t Width = 0, Height = 0, Written = 0;
  std::vector<JSAMPLE> Row;
  EImageError Fail(const char* Reason) const {
    return EImageError("Cannot write the JPEG image \"" + Name + "\": " + Reason);
  }
};

TJpegRowWriter::TJpegRowWriter(std::FILE* File, int32_t Width, int32_t Height, int Quality,
                               const std::string& Name, int32_t Dpi)
    : F(std::make_unique<TImpl>()) {
  F->Name = Name;
  if (Width <= 0 || Height <= 0) throw F->Fail("the image is empty");
  if (Width > JPEG_MAX_DIMENSION || Height > JPEG_MAX_DIMENSION)
    throw F->Fail("the image is too large for JPEG");
  if (Dpi > 65535) throw F->Fail("the resolution is too high for JPEG");
  F->Width = Width;
  F->Height = Height;
  F->Row.resize(size_t(Width) * 3);
  InstallErrorHandler(*reinterpret_cast<jpeg_common_struct*>(&F->C.Info), F->C.Err);
  if (!StartRows(F->C, File, Width, Height, Quality < 1 ? 1 : Quality > 100 ? 100 : Quality, Dpi))
    throw F->Fail(F->C.Err.Message);
}

TJpegRowWriter::~TJpegRowWriter() = default;

void TJpegRowWriter::WriteRows(const TBitmap32& Band, int32_t Count) {
  if (Band.Width() != F->Width || Count < 0 || Count > Band.Height() ||
      Count > F->Height - F->Written)
    throw F->Fail("the rows do not fit the image");
  JSAMPROW row = F->Row.data();
  for (int32_t y = 0; y < Count; ++y) {
    const TColor32* s = Band.ScanLine(y);
    JSAMPLE* d = row;
    for (int32_t x = 0; x < F->Width; ++x, d += 3) {
      d[0] = JSAMPLE(s[x] >> 16);
      d[1] = JSAMPLE(s[x] >> 8);
      d[2] = JSAMPLE(s[x]);
    }
    if (!WriteRow(F->C, &row)) throw F->Fail(F->C.Err.Message);
  }
  F->Written += Count;
}

void TJpegRowWriter::Finish() {
  if (F->Written != F->Height) throw F->Fail("not every row was written");
  if (!FinishRows(F->C)) throw F->Fail(F->C.Err.Message);
}
