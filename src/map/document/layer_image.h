#pragma once
// TLayerImage: a layer's picture at map pixel size, held by what varies. A
// layer's colours repeat its texture tile (or are one colour), so only the tile
// is kept, with the alpha beside it in blocks of one value or one byte per
// pixel; a pixel is the tile's colour at (x mod tile width, y mod tile height)
// with that alpha. Code that writes arbitrary pixels asks for the full
// picture (Full), which turns the image into a plain map-sized surface from then
// on, until the next build.
//
// Alpha may be written from several threads at once, each on pixels of its own.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "map/raster/bitmap32.h"

class TLayerImage {
 public:
  // Both surfaces the image hands out are drawn blended, as a layer is.
  TLayerImage() {
    FFull.DrawMode = dmBlend;
    FPicture.DrawMode = dmBlend;
  }
  TLayerImage(const TLayerImage&) = delete;
  TLayerImage& operator=(const TLayerImage&) = delete;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  // Whether the image is a plain surface (after Full or SetFull).
  bool IsFull() const { return FIsFull; }

  // The tile SourceRect of Source repeated over W x H pixels, alpha included, as
  // laying the tile side by side along the top and repeating that strip down
  // gives. An empty size or tile gives an image of the size without pixels set
  // (all 0). Block is the side of the alpha blocks (the map's chip size).
  void SetTiled(const TBitmap32& Source, const TRect& SourceRect, int32_t W, int32_t H,
                int32_t Block);
  // W x H pixels of colour C.
  void SetSolid(TColor32 C, int32_t W, int32_t H, int32_t Block);
  // A copy of Image as a plain surface.
  void SetFull(const TBitmap32& Image);
  // Exchanges the contents of two images.
  void Swap(TLayerImage& Other);

  // Alpha of pixels X .. X + N - 1 of row Y (inside the image).
  void WriteAlpha(int32_t X, int32_t Y, const uint8_t* A, int32_t N);
  void FillAlpha(int32_t X, int32_t Y, int32_t N, uint8_t A);
  void SetAllAlpha(uint8_t A);
  // Alpha of the Side x Side square at (X, Y) from Values (row after row); a
  // square of one alpha block takes one byte when all its values are equal.
  void WriteSquareAlpha(int32_t X, int32_t Y, int32_t Side, const uint8_t* Values);
  void FillSquareAlpha(int32_t X, int32_t Y, int32_t Side, uint8_t A);

  TColor32 Pixel(int32_t X, int32_t Y) const;
  // Pixels X0 .. X1 - 1 of row Y into Out[0 .. X1 - X0).
  void ReadRow(int32_t Y, int32_t X0, int32_t X1, TColor32* Out) const;
  // Asks for what ReadRow(Y, X0, X1) will read of a tiled image's alpha to be
  // brought into the cache: the alpha blocks lie apart in memory, where the
  // memory prefetchers do not look.
  void PrefetchRow(int32_t Y, int32_t X0, int32_t X1) const;
  // Row Y of a plain surface; nullptr for a tiled image.
  const TColor32* FullRow(int32_t Y) const { return FIsFull ? FFull.ScanLine(Y) : nullptr; }

  // The whole picture as a surface: the plain one, or one built on demand and
  // kept until the alpha changes (for callers that want a bitmap).
  const TBitmap32& Picture() const;
  // The picture as a plain surface for writing any pixel.
  TBitmap32& Full();

  // Bytes held for the image's pixels.
  size_t MemoryBytes() const;

 private:
  void Touch() { FPictureStale.store(true, std::memory_order_relaxed); }
  // Frees the tile and the alpha blocks once the plain surface holds the image.
  void DropTiledForm();

  int32_t FWidth = 0, FHeight = 0;
  bool FIsFull = false;
  // One block of alpha: its bytes (FBlock x FBlock, row after row), or none when
  // every pixel has the alpha Uniform.
  struct TAlphaBlock {
    uint8_t Uniform = 0;
    std::unique_ptr<uint8_t[]> Bytes;
  };
  TAlphaBlock& BlockAt(int32_t X, int32_t Y) {
    return FBlocks[size_t(Y / FBlock) * size_t(FBlocksX) + size_t(X / FBlock)];
  }
  const TAlphaBlock& BlockAt(int32_t X, int32_t Y) const {
    return FBlocks[size_t(Y / FBlock) * size_t(FBlocksX) + size_t(X / FBlock)];
  }
  // The bytes of a block, made when it had one alpha.
  uint8_t* BytesOf(TAlphaBlock& B);
  // Whether the square at (X, Y) of Side is one whole block.
  bool IsBlock(int32_t X, int32_t Y, int32_t Side) const {
    return !FIsFull && Side == FBlock && X % FBlock == 0 && Y % FBlock == 0;
  }

  // Tiled form: the tile (colours in the low 24 bits) and the alpha blocks.
  TBitmap32 FTile;
  int32_t FPeriod = 1;  // the tile's height: the tile's row for y is y mod FPeriod
  int32_t FBlock = 1, FBlocksX = 0, FBlocksY = 0;
  std::vector<TAlphaBlock> FBlocks;
  // Plain form.
  TBitmap32 FFull;
  // The picture of the tiled form, built on demand.
  mutable TBitmap32 FPicture;
  mutable std::atomic<bool> FPictureStale{true};
};
