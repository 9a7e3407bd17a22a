#pragma once
// The textures of the layers of one map while it is built (a map being loaded, a
// layer set being applied). Each distinct file is decoded once however many
// layers name it, a file that fails fails once, and the decoded pixels kept are
// bounded: a small compressed image can decode to a gigabyte. A file that is
// only named through chips keeps only those chips once decoded.

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "map/raster/bitmap32.h"

// The most decoded texture bytes one map may keep: one image of the largest size
// an image file may have.
constexpr int64_t kMaxMapTextureBytes = int64_t(1) << 30;

class TTextureCache {
 public:
  explicit TTextureCache(int64_t MaxBytes = kMaxMapTextureBytes) : FMaxBytes(MaxBytes) {}
  TTextureCache(const TTextureCache&) = delete;
  TTextureCache& operator=(const TTextureCache&) = delete;

  // Declares, before the file is first asked for, that a layer will use the whole
  // image of Path, or the square chip of side S at X, Y.
  void PlanWhole(const std::string& Path);
  void PlanChip(const std::string& Path, int32_t X, int32_t Y, int32_t S);

  // The size of the image at Path, decoding it the first time. Raises what
  // LoadImageFile raises (again, for a file that failed before), and EImageError
  // when the decoded textures of the map would be more than MaxBytes.
  void ImageSize(const std::string& Path, int32_t& Width, int32_t& Height);
  // The pixels for the rectangle Rect of the image at Path (inside it): Image and
  // the rectangle Within of it that holds them.
  const TBitmap32& Pixels(const std::string& Path, const TRect& Rect, TRect& Within);

  // Decoded bytes kept now, and distinct files decoded so far.
  int64_t KeptBytes() const { return FKept; }
  int32_t Decodes() const { return FDecodes; }

 private:
  using TChipKey = std::tuple<int32_t, int32_t, int32_t>;
  struct TEntry {
    bool Whole = false;                  // some layer uses the whole image
    std::map<TChipKey, TBitmap32> Chips;  // the chips planned (filled once decoded)
    bool Decoded = false;
    std::exception_ptr Failure;
    int32_t Width = 0, Height = 0;
    std::unique_ptr<TBitmap32> Image;  // kept only when some layer uses all of it
  };
  TEntry& Decode(const std::string& Path);
  void Keep(int64_t Bytes, const std::string& Path, int32_t Width, int32_t Height);

  int64_t FMaxBytes;
  int64_t FKept = 0;
  int32_t FDecodes = 0;
  std::map<std::string, TEntry> FEntries;
  TBitmap32 FScratch;  // an unplanned chip of an image that was not kept
};
