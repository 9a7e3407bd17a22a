#include "map/document/layer_image.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "record/errors.h"

namespace {

// Room for W x H bytes, refused like a surface of that size would be.
void CheckPlane(int32_t W, int32_t H) {
  if (int64_t(W) * int64_t(H) > TBitmap32::MaxPixels)
    throw EImageError("Can't allocate the DIB handle");
}

}  // namespace

void TLayerImage::SetTiled(const TBitmap32& Source, const TRect& SourceRect, int32_t W, int32_t H) {
  W = std::max(W, 0);
  H = std::max(H, 0);
  CheckPlane(W, H);
  const int32_t tw = SourceRect.Width(), th = SourceRect.Height();
  TBitmap32 strip;
  std::vector<uint8_t> alpha;
  const bool laid = W > 0 && H > 0 && tw > 0 && th > 0;
  if (laid) {
    strip.SetSize(W, std::min(th, H));
    for (int32_t y = 0; y < strip.Height(); ++y) {
      const TColor32* src = Source.ScanLine(SourceRect.Top + y) + SourceRect.Left;
      TColor32* dst = strip.ScanLine(y);
      for (int32_t x = 0; x < W; x += tw)
        std::memcpy(dst + x, src, size_t(std::min(tw, W - x)) * sizeof(TColor32));
    }
  } else {
    strip.SetSize(W > 0 && H > 0 ? W : 0, W > 0 && H > 0 ? 1 : 0);  // all 0
  }
  try {
    alpha.resize(size_t(W) * size_t(H));
  } catch (const std::bad_alloc&) {
    throw EImageError("Can't allocate the DIB handle");
  }
  const int32_t period = laid ? th : 1;
  for (int32_t y = 0; y < std::min(H, strip.Height()); ++y) {
    const TColor32* s = strip.ScanLine(y);
    uint8_t* a = alpha.data() + size_t(y) * size_t(W);
    for (int32_t x = 0; x < W; ++x) a[x] = uint8_t(s[x] >> 24);
  }
  for (int32_t y = strip.Height(); y < H; ++y)
    std::memcpy(alpha.data() + size_t(y) * size_t(W), alpha.data() + size_t(y % period) * size_t(W),
                size_t(W));
  FStrip.TakePixels(strip);
  FAlpha.swap(alpha);
  FPeriod = period;
  FWidth = W;
  FHeight = H;
  FIsFull = false;
  FFull.SetSize(0, 0);
  FPicture.SetSize(0, 0);
  Touch();
}

void TLayerImage::SetSolid(TColor32 C, int32_t W, int32_t H) {
  TBitmap32 tile;
  tile.SetSize(1, 1);
  tile.Pixel(0, 0) = C;
  SetTiled(tile, TRect{0, 0, 1, 1}, W, H);
}

void TLayerImage::SetFull(const TBitmap32& Image) {
  TBitmap32 copy;
  copy.Assign(Image);
  FFull.TakePixels(copy);
  FWidth = FFull.Width();
  FHeight = FFull.Height();
  FIsFull = true;
  FStrip.SetSize(0, 0);
  std::vector<uint8_t>().swap(FAlpha);
  FPicture.SetSize(0, 0);
  Touch();
}

void TLayerImage::Swap(TLayerImage& Other) {
  std::swap(FWidth, Other.FWidth);
  std::swap(FHeight, Other.FHeight);
  std::swap(FIsFull, Other.FIsFull);
  std::swap(FPeriod, Other.FPeriod);
  FAlpha.swap(Other.FAlpha);
  TBitmap32 t;
  t.TakePixels(FStrip);
  FStrip.TakePixels(Other.FStrip);
  Other.FStrip.TakePixels(t);
  t.TakePixels(FFull);
  FFull.TakePixels(Other.FFull);
  Other.FFull.TakePixels(t);
  FPicture.SetSize(0, 0);
  Other.FPicture.SetSize(0, 0);
  Touch();
  Other.Touch();
}

void TLayerImage::WriteAlpha(int32_t X, int32_t Y, const uint8_t* A, int32_t N) {
  if (FIsFull) {
    TColor32* row = FFull.ScanLine(Y) + X;
    for (int32_t i = 0; i < N; ++i) row[i] = (row[i] & 0x00FFFFFFu) | (TColor32(A[i]) << 24);
  } else {
    std::memcpy(FAlpha.data() + size_t(Y) * size_t(FWidth) + size_t(X), A, size_t(N));
  }
  Touch();
}

void TLayerImage::FillAlpha(int32_t X, int32_t Y, int32_t N, uint8_t A) {
  if (FIsFull) {
    TColor32* row = FFull.ScanLine(Y) + X;
    const TColor32 a = TColor32(A) << 24;
    for (int32_t i = 0; i < N; ++i) row[i] = (row[i] & 0x00FFFFFFu) | a;
  } else {
    std::memset(FAlpha.data() + size_t(Y) * size_t(FWidth) + size_t(X), A, size_t(N));
  }
  Touch();
}

void TLayerImage::SetAllAlpha(uint8_t A) {
  if (FIsFull)
    FFull.SetAllAlpha(A);
  else
    std::fill(FAlpha.begin(), FAlpha.end(), A);
  Touch();
}

TColor32 TLayerImage::Pixel(int32_t X, int32_t Y) const {
  if (FIsFull) return FFull.Pixel(X, Y);
  return (FStrip.Pixel(X, Y % FPeriod) & 0x00FFFFFFu) |
         (TColor32(FAlpha[size_t(Y) * size_t(FWidth) + size_t(X)]) << 24);
}

void TLayerImage::ReadRow(int32_t Y, int32_t X0, int32_t X1, TColor32* Out) const {
  if (FIsFull) {
    std::memcpy(Out, FFull.ScanLine(Y) + X0, size_t(X1 - X0) * sizeof(TColor32));
    return;
  }
  const TColor32* s = FStrip.ScanLine(Y % FPeriod) + X0;
  const uint8_t* a = FAlpha.data() + size_t(Y) * size_t(FWidth) + size_t(X0);
  const int32_t n = X1 - X0;
  for (int32_t i = 0; i < n; ++i) Out[i] = (s[i] & 0x00FFFFFFu) | (TColor32(a[i]) << 24);
}

const TBitmap32& TLayerImage::Picture() const {
  if (FIsFull) return FFull;
  if (FPictureStale.load(std::memory_order_relaxed) || FPicture.Width() != FWidth ||
      FPicture.Height() != FHeight) {
    FPicture.SetSize(FWidth, FHeight);
    for (int32_t y = 0; y < FHeight; ++y) ReadRow(y, 0, FWidth, FPicture.ScanLine(y));
    FPictureStale.store(false, std::memory_order_relaxed);
  }
  return FPicture;
}

TBitmap32& TLayerImage::Full() {
  if (!FIsFull) {
    TBitmap32 full;
    full.SetSize(FWidth, FHeight);
    for (int32_t y = 0; y < FHeight; ++y) ReadRow(y, 0, FWidth, full.ScanLine(y));
    FFull.TakePixels(full);
    FIsFull = true;
    FStrip.SetSize(0, 0);
    std::vector<uint8_t>().swap(FAlpha);
    FPicture.SetSize(0, 0);
  }
  Touch();
  return FFull;
}

size_t TLayerImage::MemoryBytes() const {
  return FAlpha.capacity() +
         (size_t(FStrip.Width()) * FStrip.Height() + size_t(FFull.Width()) * FFull.Height() +
          size_t(FPicture.Width()) * FPicture.Height()) *
             sizeof(TColor32);
}
