#pragma once
// TBitmap32: a 32-bit ARGB raster in memory (row by row, no padding) with the
// drawing and blending operations the document and its views use.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "map/base/color.h"
#include "map/base/zeroed_allocator.h"

enum TDrawMode : uint8_t { dmOpaque, dmBlend, dmCustom };
enum TCombineMode : uint8_t { cmBlend };
enum class TResamplerKind : uint8_t { Nearest, Draft };

// Called per pixel when a dmCustom surface is drawn: F the source pixel, B the
// destination pixel to update, M the master alpha.
using TPixelCombineEvent = void (*)(TColor32 F, TColor32& B, TColor32 M);

// A half-open rectangle: Left <= x < Right, Top <= y < Bottom.
struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};
TRect IntersectRect(const TRect& A, const TRect& B);

// The blend rule: F over B with weight a/256 per channel (alpha included),
// rounded by +128. a = 0 keeps B; a = 255 gives F.
inline TColor32 BlendPixel(TColor32 F, TColor32 B) {
  uint32_t a = F >> 24;
  if (a == 0) return B;
  if (a == 255) return F;
  uint32_t r = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int32_t f = int32_t((F >> shift) & 0xFF), b = int32_t((B >> shift) & 0xFF);
    uint32_t c = uint32_t((int32_t(a) * (f - b) + 256 * b + 128) >> 8);
    r |= (c & 0xFF) << shift;
  }
  return r;
}

class TBitmap32 {
 public:
  // Images larger than this many pixels are refused ("Can't allocate the DIB handle").
  static constexpr int64_t MaxPixels = int64_t(1) << 30;

  TBitmap32() = default;
  TBitmap32(const TBitmap32&) = delete;
  TBitmap32& operator=(const TBitmap32&) = delete;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  TColor32* Bits() { return FBits.data(); }
  const TColor32* Bits() const { return FBits.data(); }
  TColor32* ScanLine(int32_t Y) { return FBits.data() + size_t(Y) * size_t(FWidth); }
  const TColor32* ScanLine(int32_t Y) const { return FBits.data() + size_t(Y) * size_t(FWidth); }
  TColor32& Pixel(int32_t X, int32_t Y) { return FBits[size_t(Y) * size_t(FWidth) + size_t(X)]; }
  TColor32 Pixel(int32_t X, int32_t Y) const {
    return FBits[size_t(Y) * size_t(FWidth) + size_t(X)];
  }
  // The pixel, or 0 outside the surface.
  TColor32 PixelS(int32_t X, int32_t Y) const {
    return (X >= 0 && Y >= 0 && X < FWidth && Y < FHeight) ? Pixel(X, Y) : 0;
  }

  // Negative sizes count as 0. An unchanged size keeps the pixels; any other size
  // gives all-zero pixels. A size that cannot be allocated raises EImageError
  // "Can't allocate the DIB handle" and leaves the surface empty.
  void SetSize(int32_t W, int32_t H);
  // Copies size and pixels (not the drawing state).
  void Assign(const TBitmap32& Source);
  // Takes the pixels of Source without copying; Source becomes empty.
  void TakePixels(TBitmap32& Source);

  void Clear(TColor32 C);
  void FillArea(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C);
  void SetAllAlpha(uint8_t A = 255);

  void DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C, bool IncludeLast);
  void DrawLineBlended(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C,
                       bool IncludeLast);
  void DrawRaisedFrame(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Contrast);
  // The platform canvas's filled ellipse with a one-pixel outline, inscribed in the
  // box X1 <= x < X2, Y1 <= y < Y2; fill and outline in C, clipped.
  void FillEllipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 C);

  // Draws Source onto this surface by Source's DrawMode, clipped to this surface.
  void DrawSurface(int32_t X, int32_t Y, const TBitmap32& Source);
  void DrawSurface(int32_t X, int32_t Y, const TRect& SourceRect, const TBitmap32& Source);
  // Stretches SourceRect of Source onto DestRect, sampled by Source's resampler.
  void DrawSurface(const TRect& DestRect, const TRect& SourceRect, const TBitmap32& Source);

  // Drawing state, used when this surface is drawn onto another.
  TDrawMode DrawMode = dmOpaque;
  TCombineMode CombineMode = cmBlend;
  uint8_t MasterAlpha = 255;
  TPixelCombineEvent OnPixelCombine = nullptr;
  TColor32 OuterColor = 0;
  TResamplerKind Resampler = TResamplerKind::Nearest;

 private:
  std::vector<TColor32, TZeroedAllocator<TColor32>> FBits;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
};

// Blends Count source pixels over Dest by the blend rule (the hot path of
// composition, vectorised).
void BlendRow(const TColor32* Source, TColor32* Dest, size_t Count);
// Combines W pixels S onto D by Source's DrawMode (copy, blend or its handler).
void CombineRow(const TBitmap32& Source, const TColor32* S, TColor32* D, int32_t W);
