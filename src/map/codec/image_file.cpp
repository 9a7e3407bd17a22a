#include "map/codec/image_file.h"

#include "map/codec/bmp_header.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "map/base/input_file.h"
#include "map/codec/image_codecs.h"
#include "record/errors.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* F) const {
    if (F) std::fclose(F);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string TooLarge(const std::string& Path) {
  return "\"" + Path + "\" is too large to be an image (over " +
         std::to_string(MaxImageFileBytes >> 20) + " MiB)";
}

std::vector<uint8_t> ReadWholeFile(const std::string& Path) {
  TInputFile file(Path, "Cannot open \"" + Path + "\": ");
  if (file.Size() > uint64_t(MaxImageFileBytes)) throw EImageError(TooLarge(Path));
  std::string bytes;
  if (!file.ReadAll(bytes, uint64_t(MaxImageFileBytes))) throw EImageError(TooLarge(Path));
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// Writes a new file through Write; a failed write removes the partial file.
template <class Writer>
void WriteNewFile(const std::string& Path, Writer&& Write) {
  errno = 0;
  FilePtr f(std::fopen(Path.c_str(), "wb"));
  if (!f) throw EFileError("Cannot create \"" + Path + "\": " + std::strerror(errno ? errno : EIO));
  try {
    Write(f.get());
  } catch (...) {
    f.reset();
    std::remove(Path.c_str());
    throw;
  }
  const bool ok = std::fflush(f.get()) == 0 && !std::ferror(f.get());
  const int err = errno;
  const bool closed = std::fclose(f.release()) == 0;
  if (!ok || !closed) {
    std::remove(Path.c_str());
    throw EFileError("Cannot write \"" + Path + "\": " + std::strerror(err ? err : EIO));
  }
}

}  // namespace

std::string LowerExtension(const std::string& Path) {
  const size_t dot = Path.find_last_of('.');
  const size_t slash = Path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = Path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return ext;
}

void CheckDecodeSize(int64_t W, int64_t H, const char* Kind, const std::string& Name) {
  if (W <= 0 || H <= 0)
    throw EImageError("\"" + Name + "\" is not a valid " + (*Kind ? std::string(Kind) + " " : "") +
                      "image: it has no pixels");
  if (W * H > MaxDecodePixels)
    throw EImageError("\"" + Name + "\" is too large (" + std::to_string(W) + " x " +
                      std::to_string(H) + " pixels); at most " + std::to_string(MaxDecodePixels) +
                      " pixels can be loaded");
}

void DecodeImage(const uint8_t* Data, size_t Size, const std::string& ExtHint, TBitmap32& Dest,
                 const std::string& Name) {
  static const uint8_t kPngSig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (Size >= 8 && std::memcmp(Data, kPngSig, 8) == 0) return DecodePNG(Data, Size, Dest, Name);
  if (Size >= 3 && Data[0] == 0xFF && Data[1] == 0xD8 && Data[2] == 0xFF)
    return DecodeJPEG(Data, Size, Dest, Name);
  const std::string ext = ExtHint.empty() || ExtHint[0] == '.' ? ExtHint : "." + ExtHint;
  std::string lower = LowerExtension(ext.empty() ? "x" : "x" + ext);
  if (lower == ".png") return DecodePNG(Data, Size, Dest, Name);
  if (lower == ".jpg" || lower == ".jpeg" || lower == ".jpe" || lower == ".jfif")
    return DecodeJPEG(Data, Size, Dest, Name);
  DecodeGeneral(Data, Size, Dest, Name);
}

void LoadImageFile(const std::string& Path, TBitmap32& Dest) {
  const std::vector<uint8_t> data = ReadWholeFile(Path);
  DecodeImage(data.data(), data.size(), LowerExtension(Path), Dest, Path);
}

void SavePNGFile(const TBitmap32& Source, const std::string& Path) {
  if (Source.Empty())
    throw EImageError("Cannot write the PNG image \"" + Path + "\": the image is empty");
  WriteNewFile(Path, [&](std::FILE* f) { EncodePNG(Source, f, Path); });
}

void SaveJPEGFile(const TBitmap32& Source, const std::string& Path, int Quality) {
  if (Source.Empty())
    throw EImageError("Cannot write the JPEG image \"" + Path + "\": the image is empty");
  WriteNewFile(Path, [&](std::FILE* f) { EncodeJPEG(Source, f, Quality, Path); });
}

void SaveBmpFile(const TBitmap32& Source, const std::string& Path) {
  const std::array<uint8_t, kBmpHeaderSize> header =
      BmpHeader(Source.Width(), Source.Height(), 0, Path);
  WriteNewFile(Path, [&](std::FILE* f) {
    std::vector<uint8_t> row(size_t(Source.Width()) * 4);
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    for (int32_t y = Source.Height() - 1; ok && y >= 0; --y) {
      const TColor32* s = Source.ScanLine(y);
      for (int32_t x = 0; x < Source.Width(); ++x) {
        row[4 * x] = uint8_t(s[x]);
        row[4 * x + 1] = uint8_t(s[x] >> 8);
        row[4 * x + 2] = uint8_t(s[x] >> 16);
        row[4 * x + 3] = uint8_t(s[x] >> 24);
      }
      ok = std::fwrite(row.data(), 1, row.size(), f) == row.size();
    }
    if (!ok)
      throw EFileError("Cannot write \"" + Path + "\": " + std::strerror(errno ? errno : EIO));
  });
}
