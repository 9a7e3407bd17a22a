#include "map/codec/image_webp.h"

#include <webp/encode.h>

#include <cerrno>
#include <cstring>

#include "map/raster/bitmap32.h"
#include "record/errors.h"

namespace {

const char* EncodingError(WebPEncodingError Code) {
  switch (Code) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY:
      return "not enough memory";
    case VP8_ENC_ERROR_BAD_DIMENSION:
      return "the image size is not allowed";
    case VP8_ENC_ERROR_BAD_WRITE:
      return "the file could not be written";
    case VP8_ENC_ERROR_FILE_TOO_BIG:
      return "the image is too large";
    case VP8_ENC_ERROR_USER_ABORT:
      return "cancelled";
    default:
      return "the encoder failed";
  }
}

struct TFileSink {
  std::FILE* File;
  int Errno = 0;
};

int WriteToFile(const uint8_t* Data, size_t Size, const WebPPicture* Picture) {
  auto* sink = static_cast<TFileSink*>(Picture->custom_ptr);
  errno = 0;
  if (Size > 0 && std::fwrite(Data, 1, Size, sink->File) != Size) {
    sink->Errno = errno ? errno : EIO;
    return 0;
  }
  return 1;
}

// A picture of W x H opaque ARGB pixels.
struct TPicture {
  WebPPicture P;
  TPicture(int32_t W, int32_t H, const std::string& Name) {
    if (!WebPPictureInit(&P)) throw EImageError("Cannot write \"" + Name + "\": libwebp mismatch");
    P.use_argb = 1;
    P.width = W;
    P.height = H;
    if (!WebPPictureAlloc(&P))
      throw EImageError("Cannot write \"" + Name + "\": not enough memory for the image");
  }
  ~TPicture() { WebPPictureFree(&P); }
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // Copies Count rows of Source into rows From onwards; alpha is dropped.
  void Put(const TBitmap32& Source, int32_t Count, int32_t From) {
    for (int32_t y = 0; y < Count; ++y) {
      const TColor32* s = Source.ScanLine(y);
      uint32_t* d = P.argb + size_t(From + y) * size_t(P.argb_stride);
      for (int32_t x = 0; x < P.width; ++x) d[x] = s[x] | 0xFF000000u;
    }
  }

  void Encode(std::FILE* File, const TWebpSettings& Settings, const std::string& Name) {
    WebPConfig config;
    const float quality = float(Settings.Quality < 0 ? 0 : Settings.Quality > 100 ? 100 : Settings.Quality);
    if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, quality))
      throw EImageError("Cannot write \"" + Name + "\": libwebp mismatch");
    if (Settings.Lossless) {
      // Quality is the effort here: 0 is fastest, 100 smallest.
      config.lossless = 1;
      config.exact = 1;
    }
    if (!WebPValidateConfig(&config))
      throw EImageError("Cannot write \"" + Name + "\": invalid WebP settings");
    TFileSink sink{File};
    P.writer = WriteToFile;
    P.custom_ptr = &sink;
    if (!WebPEncode(&config, &P)) {
      if (sink.Errno)
        throw EFileError("Cannot write \"" + Name + "\": " + std::strerror(sink.Errno));
      throw EImageError("Cannot write the WebP image \"" + Name + "\": " +
                        EncodingError(P.error_code));
    }
    if (std::fflush(File) != 0)
      throw EFileError("Cannot write \"" + Name + "\": " + std::strerror(errno ? errno : EIO));
  }
};

}  // namespace

void CheckWebpSize(int64_t W, int64_t H, const std::string& Name) {
  if (W <= 0 || H <= 0)
    throw EImageError("Cannot write the WebP image \"" + Name + "\": the image is empty");
  if (W > kMaxWebpSide || H > kMaxWebpSide)
    throw EImageError("Cannot write the WebP image \"" + Name + "\": " + std::to_string(W) +
                      " x " + std::to_string(H) + " pixels is more than WebP allows (" +
                      std::to_string(kMaxWebpSide) + " pixels a side); choose fewer pixels "
                      "per cell or another format");
}

void EncodeWebP(const TBitmap32& Source, std::FILE* File, const TWebpSettings& Settings,
                const std::string& Name) {
  CheckWebpSize(Source.Width(), Source.Height(), Name);
  TPicture picture(Source.Width(), Source.Height(), Name);
  picture.Put(Source, Source.Height(), 0);
  picture.Encode(File, Settings, Name);
}

struct TWebpRowWriter::TImpl {
  std::FILE* File;
  TWebpSettings Settings;
  std::string Name;
  TPicture Picture;
  int32_t Written = 0;
  TImpl(std::FILE* F, int32_t W, int32_t H, const TWebpSettings& S, const std::string& N)
      : File(F), Settings(S), Name(N), Picture(W, H, N) {}
};

TWebpRowWriter::TWebpRowWriter(std::FILE* File, int32_t Width, int32_t Height,
                               const TWebpSettings& Settings, const std::string& Name) {
  CheckWebpSize(Width, Height, Name);
  F = std::make_unique<TImpl>(File, Width, Height, Settings, Name);
}

TWebpRowWriter::~TWebpRowWriter() = default;

void TWebpRowWriter::WriteRows(const TBitmap32& Band, int32_t Count) {
  const WebPPicture& p = F->Picture.P;
  if (Band.Width() != p.width || Count < 0 || Count > Band.Height() ||
      Count > p.height - F->Written)
    throw EImageError("Cannot write the WebP image \"" + F->Name +
                      "\": the rows do not fit the image");
  F->Picture.Put(Band, Count, F->Written);
  F->Written += Count;
}

void TWebpRowWriter::Finish() {
  if (F->Written != F->Picture.P.height)
    throw EImageError("Cannot write the WebP image \"" + F->Name +
                      "\": not every row was written");
  F->Picture.Encode(F->File, F->Settings, F->Name);
}

void SaveWebPFile(const TBitmap32& Source, const std::string& Path,
                  const TWebpSettings& Settings) {
  CheckWebpSize(Source.Width(), Source.Height(), Path);
  errno = 0;
  std::FILE* f = std::fopen(Path.c_str(), "wb");
  if (!f) throw EFileError("Cannot create \"" + Path + "\": " + std::strerror(errno ? errno : EIO));
  try {
    EncodeWebP(Source, f, Settings, Path);
  } catch (...) {
    std::fclose(f);
    std::remove(Path.c_str());
    throw;
  }
  if (std::fclose(f) != 0) {
    const int err = errno;
    std::remove(Path.c_str());
    throw EFileError("Cannot write \"" + Path + "\": " + std::strerror(err ? err : EIO));
  }
}
