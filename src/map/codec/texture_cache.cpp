#include "map/codec/texture_cache.h"

#include <algorithm>
#include <cstring>

#include "map/codec/image_file.h"
#include "record/errors.h"

namespace {

// Copies the square of side S at X, Y of Source (inside it) into Dest.
void CopyChip(const TBitmap32& Source, int32_t X, int32_t Y, int32_t S, TBitmap32& Dest) {
  Dest.SetSize(S, S);
  for (int32_t y = 0; y < S; ++y)
    std::memcpy(Dest.ScanLine(y), Source.ScanLine(Y + y) + X, size_t(S) * sizeof(TColor32));
}

bool ChipInside(const TBitmap32& Image, int32_t X, int32_t Y, int32_t S) {
  return X >= 0 && Y >= 0 && S > 0 && int64_t(X) + S <= Image.Width() &&
         int64_t(Y) + S <= Image.Height();
}

}  // namespace

void TTextureCache::PlanWhole(const std::string& Path) { FEntries[Path].Whole = true; }

void TTextureCache::PlanChip(const std::string& Path, int32_t X, int32_t Y, int32_t S) {
  FEntries[Path].Chips.try_emplace({X, Y, S});
}

void TTextureCache::Keep(int64_t Bytes, const std::string& Path, int32_t Width, int32_t Height) {
  if (FKept + Bytes > FMaxBytes)
    throw EImageError("The textures of this map take more than " +
                      std::to_string(FMaxBytes >> 20) + " MiB once decoded (\"" + Path +
                      "\" is " + std::to_string(Width) + " x " + std::to_string(Height) +
                      " pixels)");
  FKept += Bytes;
}

TTextureCache::TEntry& TTextureCache::Decode(const std::string& Path) {
  TEntry& e = FEntries[Path];
  if (e.Failure) std::rethrow_exception(e.Failure);
  if (e.Decoded) return e;
  // A path asked for without a plan is taken whole.
  if (!e.Whole && e.Chips.empty()) e.Whole = true;
  try {
    auto image = std::make_unique<TBitmap32>();
    ++FDecodes;
    LoadImageFile(Path, *image);
    int64_t bytes = 0;
    if (e.Whole) bytes += int64_t(image->Width()) * image->Height() * 4;
    for (const auto& [key, chip] : e.Chips) {
      const auto [x, y, s] = key;
      if (!e.Whole && ChipInside(*image, x, y, s)) bytes += int64_t(s) * s * 4;
    }
    Keep(bytes, Path, image->Width(), image->Height());
    e.Width = image->Width();
    e.Height = image->Height();
    if (e.Whole) {
      e.Image = std::move(image);
    } else {
      for (auto& [key, chip] : e.Chips) {
        const auto [x, y, s] = key;
        if (ChipInside(*image, x, y, s)) CopyChip(*image, x, y, s, chip);
      }
    }
    e.Decoded = true;
  } catch (const std::bad_alloc&) {
    throw;  // not the file's fault: another try may succeed
  } catch (...) {
    e.Failure = std::current_exception();
    throw;
  }
  return e;
}

void TTextureCache::ImageSize(const std::string& Path, int32_t& Width, int32_t& Height) {
  const TEntry& e = Decode(Path);
  Width = e.Width;
  Height = e.Height;
}

const TBitmap32& TTextureCache::Pixels(const std::string& Path, const TRect& Rect, TRect& Within) {
  TEntry& e = Decode(Path);
  if (e.Image) {
    Within = Rect;
    return *e.Image;
  }
  Within = {0, 0, Rect.Width(), Rect.Height()};
  auto it = Rect.Width() == Rect.Height()
                ? e.Chips.find({Rect.Left, Rect.Top, Rect.Width()})
                : e.Chips.end();
  if (it != e.Chips.end() && !it->second.Empty()) return it->second;
  // Not planned: decoded again, and only the rectangle kept for this one call.
  TBitmap32 image;
  LoadImageFile(Path, image);
  ++FDecodes;
  FScratch.SetSize(Rect.Width(), Rect.Height());
  for (int32_t y = 0; y < Rect.Height(); ++y)
    std::memcpy(FScratch.ScanLine(y), image.ScanLine(Rect.Top + y) + Rect.Left,
                size_t(Rect.Width()) * sizeof(TColor32));
  return FScratch;
}
