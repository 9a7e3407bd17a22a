#include "map/document/layer_image.h"

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "record/errors.h"

namespace {

// Room for W x H pixels, refused like a surface of that size would be.
void CheckSize(int32_t W, int32_t H) {
  if (int64_t(W) * int64_t(H) > TBitmap32::MaxPixels)
    throw EImageError("Can't allocate the DIB handle");
}

std::unique_ptr<uint8_t[]> NewBytes(size_t N) {
  try {
    return std::make_unique<uint8_t[]>(N);
  } catch (const std::bad_alloc&) {
    throw EImageError("Can't allocate the DIB handle");
  }
}

bool AllEqual(const uint8_t* P, size_t N, uint8_t V) {
  for (size_t i = 0; i < N; ++i)
    if (P[i] != V) return false;
  return true;
}

}  // namespace

uint8_t* TLayerImage::BytesOf(TAlphaBlock& B) {
  if (!B.Bytes) {
    const size_t n = size_t(FBlock) * size_t(FBlock);
    B.Bytes = NewBytes(n);
    std::memset(B.Bytes.get(), B.Uniform, n);
  }
  return B.Bytes.get();
}

void TLayerImage::SetTiled(const TBitmap32& Source, const TRect& SourceRect, int32_t W, int32_t H,
                           int32_t Block) {
  W = std::max(W, 0);
  H = std::max(H, 0);
  CheckSize(W, H);
  Block = std::max(Block, 1);
  const int32_t tw = SourceRect.Width(), th = SourceRect.Height();
  const bool laid = W > 0 && H > 0 && tw > 0 && th > 0;
  // The part of the tile the image shows (all of it unless the map is smaller).
  TBitmap32 tile;
  if (laid) {
    tile.SetSize(std::min(tw, W), std::min(th, H));
    for (int32_t y = 0; y < tile.Height(); ++y)
      std::memcpy(tile.ScanLine(y), Source.ScanLine(SourceRect.Top + y) + SourceRect.Left,
                  size_t(tile.Width()) * sizeof(TColor32));
  } else if (W > 0 && H > 0) {
    tile.SetSize(1, 1);  // all 0
  }
  const int32_t period = laid ? th : 1;

  // The alpha starts as the tiled texture's: one value for every block when the
  // tile's alpha is one value (an opaque texture), else the bytes of each block.
  const int32_t bx = (W + Block - 1) / Block, by = (H + Block - 1) / Block;
  std::vector<TAlphaBlock> blocks;
  try {
    blocks.resize(size_t(bx) * size_t(by));
  } catch (const std::bad_alloc&) {
    throw EImageError("Can't allocate the DIB handle");
  }
  uint32_t all = 0xFF, any = 0;
  for (int32_t y = 0; y < tile.Height(); ++y)
    for (int32_t x = 0; x < tile.Width(); ++x) {
      all &= tile.Pixel(x, y) >> 24;
      any |= tile.Pixel(x, y) >> 24;
    }
  if (all == any) {
    for (TAlphaBlock& b : blocks) b.Uniform = uint8_t(all);
  } else {
    for (int32_t j = 0; j < by; ++j)
      for (int32_t i = 0; i < bx; ++i) {
        TAlphaBlock& b = blocks[size_t(j) * size_t(bx) + size_t(i)];
        b.Bytes = NewBytes(size_t(Block) * size_t(Block));
        for (int32_t r = 0; r < Block && j * Block + r < H; ++r) {
          const TColor32* s = tile.ScanLine((j * Block + r) % period);
          uint8_t* a = b.Bytes.get() + size_t(r) * size_t(Block);
          for (int32_t c = 0; c < Block && i * Block + c < W; ++c)
            a[c] = uint8_t(s[(i * Block + c) % tile.Width()] >> 24);
        }
      }
  }
  // A narrow tile (a plain colour is one pixel) is repeated across to a width of
  // at least kMinTileWidth, so that rows are read in long runs instead of one
  // run per repeat; the pixels are the same.
  constexpr int32_t kMinTileWidth = 64;
  if (tile.Width() > 0 && tile.Width() < kMinTileWidth) {
    const int32_t w = tile.Width();
    TBitmap32 wide;
    wide.SetSize((kMinTileWidth + w - 1) / w * w, tile.Height());
    for (int32_t y = 0; y < tile.Height(); ++y)
      for (int32_t x = 0; x < wide.Width(); ++x) wide.Pixel(x, y) = tile.Pixel(x % w, y);
    tile.TakePixels(wide);
  }
  FTile.TakePixels(tile);
  FBlocks.swap(blocks);
  FBlock = Block;
  FBlocksX = bx;
  FBlocksY = by;
  FPeriod = period;
  FWidth = W;
  FHeight = H;
  FIsFull = false;
  FFull.SetSize(0, 0);
  FPicture.SetSize(0, 0);
  Touch();
}

void TLayerImage::SetSolid(TColor32 C, int32_t W, int32_t H, int32_t Block) {
  TBitmap32 tile;
  tile.SetSize(1, 1);
  tile.Pixel(0, 0) = C;
  SetTiled(tile, TRect{0, 0, 1, 1}, W, H, Block);
}

void TLayerImage::SetFull(const TBitmap32& Image) {
  TBitmap32 copy;
  copy.Assign(Image);
  FFull.TakePixels(copy);
  FWidth = FFull.Width();
  FHeight = FFull.Height();
  DropTiledForm();
  Touch();
}

void TLayerImage::DropTiledForm() {
  FIsFull = true;
  FTile.SetSize(0, 0);
  std::vector<TAlphaBlock>().swap(FBlocks);
  FBlocksX = FBlocksY = 0;
  FPicture.SetSize(0, 0);
}

void TLayerImage::Swap(TLayerImage& Other) {
  std::swap(FWidth, Other.FWidth);
  std::swap(FHeight, Other.FHeight);
  std::swap(FIsFull, Other.FIsFull);
  std::swap(FPeriod, Other.FPeriod);
  std::swap(FBlock, Other.FBlock);
  std::swap(FBlocksX, Other.FBlocksX);
  std::swap(FBlocksY, Other.FBlocksY);
  FBlocks.swap(Other.FBlocks);
  TBitmap32 t;
  t.TakePixels(FTile);
  FTile.TakePixels(Other.FTile);
  Other.FTile.TakePixels(t);
  t.TakePixels(FFull);
  FFull.TakePixels(Other.FFull);
  Other.FFull.TakePixels(t);
  FPicture.SetSize(0, 0);
  Other.FPicture.SetSize(0, 0);
  Touch();
  Other.Touch();
}

void TLayerImage::WriteAlpha(int32_t X, int32_t Y, const uint8_t* A, int32_t N) {
  Touch();
  if (FIsFull) {
    TColor32* row = FFull.ScanLine(Y) + X;
    for (int32_t i = 0; i < N; ++i) row[i] = (row[i] & 0x00FFFFFFu) | (TColor32(A[i]) << 24);
    return;
  }
  const int32_t ry = Y % FBlock;
  for (int32_t x = X; x < X + N;) {
    const int32_t end = std::min(X + N, (x / FBlock + 1) * FBlock);
    TAlphaBlock& b = BlockAt(x, Y);
    const uint8_t* from = A + (x - X);
    if (b.Bytes || !AllEqual(from, size_t(end - x), b.Uniform))
      std::memcpy(BytesOf(b) + size_t(ry) * size_t(FBlock) + size_t(x % FBlock), from,
                  size_t(end - x));
    x = end;
  }
}

void TLayerImage::FillAlpha(int32_t X, int32_t Y, int32_t N, uint8_t A) {
  Touch();
  if (FIsFull) {
    TColor32* row = FFull.ScanLine(Y) + X;
    const TColor32 a = TColor32(A) << 24;
    for (int32_t i = 0; i < N; ++i) row[i] = (row[i] & 0x00FFFFFFu) | a;
    return;
  }
  const int32_t ry = Y % FBlock;
  for (int32_t x = X; x < X + N;) {
    const int32_t end = std::min(X + N, (x / FBlock + 1) * FBlock);
    TAlphaBlock& b = BlockAt(x, Y);
    if (b.Bytes || b.Uniform != A)
      std::memset(BytesOf(b) + size_t(ry) * size_t(FBlock) + size_t(x % FBlock), A,
                  size_t(end - x));
    x = end;
  }
}

void TLayerImage::WriteSquareAlpha(int32_t X, int32_t Y, int32_t Side, const uint8_t* Values) {
  if (!IsBlock(X, Y, Side) || X + Side > FWidth || Y + Side > FHeight) {
    for (int32_t r = 0; r < Side; ++r)
      WriteAlpha(X, Y + r, Values + size_t(r) * size_t(Side), Side);
    return;
  }
  Touch();
  TAlphaBlock& b = BlockAt(X, Y);
  const size_t n = size_t(Side) * size_t(Side);
  if (AllEqual(Values, n, Values[0])) {
    b.Bytes.reset();
    b.Uniform = Values[0];
  } else {
    std::memcpy(BytesOf(b), Values, n);
  }
}

void TLayerImage::FillSquareAlpha(int32_t X, int32_t Y, int32_t Side, uint8_t A) {
  if (!IsBlock(X, Y, Side) || X + Side > FWidth || Y + Side > FHeight) {
    for (int32_t r = 0; r < Side; ++r) FillAlpha(X, Y + r, Side, A);
    return;
  }
  Touch();
  TAlphaBlock& b = BlockAt(X, Y);
  b.Bytes.reset();
  b.Uniform = A;
}

void TLayerImage::SetAllAlpha(uint8_t A) {
  Touch();
  if (FIsFull) {
    FFull.SetAllAlpha(A);
    return;
  }
  for (TAlphaBlock& b : FBlocks) {
    b.Bytes.reset();
    b.Uniform = A;
  }
}

TColor32 TLayerImage::Pixel(int32_t X, int32_t Y) const {
  if (FIsFull) return FFull.Pixel(X, Y);
  const TAlphaBlock& b = BlockAt(X, Y);
  const uint8_t a =
      b.Bytes ? b.Bytes[size_t(Y % FBlock) * size_t(FBlock) + size_t(X % FBlock)] : b.Uniform;
  return (FTile.Pixel(X % FTile.Width(), Y % FPeriod) & 0x00FFFFFFu) | (TColor32(a) << 24);
}

namespace {

// The colours of S with alpha Alpha (in the top byte), into O; four pixels at a
// time, since a view or an output reads every layer's rows through here.
void WithAlpha(const TColor32* S, TColor32 Alpha, TColor32* O, int32_t N) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), alpha = _mm_set1_epi32(int32_t(Alpha));
  for (; i + 4 <= N; i += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(O + i), _mm_or_si128(_mm_and_si128(v, rgb), alpha));
  }
#endif
  for (; i < N; ++i) O[i] = (S[i] & 0x00FFFFFFu) | Alpha;
}

// The same with one alpha byte per pixel from A.
void WithAlphaBytes(const TColor32* S, const uint8_t* A, TColor32* O, int32_t N) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), zero = _mm_setzero_si128();
  for (; i + 16 <= N; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(A + i));
    const __m128i lo = _mm_unpacklo_epi8(zero, a), hi = _mm_unpackhi_epi8(zero, a);
    // Each alpha byte in the top byte of its pixel: bytes 0 a 0 a ... then
    // 0 0 0 a per pixel.
    const __m128i alpha[4] = {_mm_unpacklo_epi16(zero, lo), _mm_unpackhi_epi16(zero, lo),
                              _mm_unpacklo_epi16(zero, hi), _mm_unpackhi_epi16(zero, hi)};
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i + 4 * k));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(O + i + 4 * k),
                       _mm_or_si128(_mm_and_si128(v, rgb), alpha[k]));
    }
  }
#endif
  for (; i < N; ++i) O[i] = (S[i] & 0x00FFFFFFu) | (TColor32(A[i]) << 24);
}

}  // namespace

void TLayerImage::ReadRow(int32_t Y, int32_t X0, int32_t X1, TColor32* Out) const {
  if (FIsFull) {
    std::memcpy(Out, FFull.ScanLine(Y) + X0, size_t(X1 - X0) * sizeof(TColor32));
    return;
  }
  if (X1 <= X0) return;
  const TColor32* tile = FTile.ScanLine(Y % FPeriod);
  const int32_t tw = FTile.Width();
  const size_t ry = size_t(Y % FBlock) * size_t(FBlock);
  int32_t tx = X0 % tw;  // the tile column of pixel x
  for (int32_t x = X0; x < X1;) {
    const int32_t end = std::min(X1, (x / FBlock + 1) * FBlock);
    const TAlphaBlock& b = BlockAt(x, Y);
    TColor32* o = Out + (x - X0);
    const uint8_t* a = b.Bytes ? b.Bytes.get() + ry + size_t(x % FBlock) : nullptr;
    const TColor32 uniform = TColor32(b.Uniform) << 24;
    // The block's pixels in runs that do not wrap around the tile.
    for (int32_t left = end - x; left > 0;) {
      const int32_t n = std::min(left, tw - tx);
      const TColor32* s = tile + tx;
      if (a) {
        WithAlphaBytes(s, a, o, n);
        a += n;
      } else {
        WithAlpha(s, uniform, o, n);
      }
      o += n;
      left -= n;
      tx += n;
      if (tx == tw) tx = 0;
    }
    x = end;
  }
}

void TLayerImage::PrefetchRow(int32_t Y, int32_t X0, int32_t X1) const {
  if (FIsFull || X1 <= X0) return;
  const size_t ry = size_t(Y % FBlock) * size_t(FBlock);
  for (int32_t x = X0; x < X1;) {
    const int32_t end = std::min(X1, (x / FBlock + 1) * FBlock);
    const TAlphaBlock& b = BlockAt(x, Y);
    if (b.Bytes) {
      const char* a = reinterpret_cast<const char*>(b.Bytes.get() + ry + size_t(x % FBlock));
      const char* e = a + (end - x);
      for (; a < e; a += 64) __builtin_prefetch(a, 0, 3);
      __builtin_prefetch(e - 1, 0, 3);
    }
    x = end;
  }
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
    DropTiledForm();
  }
  Touch();
  return FFull;
}

size_t TLayerImage::MemoryBytes() const {
  size_t bytes = FBlocks.capacity() * sizeof(TAlphaBlock);
  for (const TAlphaBlock& b : FBlocks)
    if (b.Bytes) bytes += size_t(FBlock) * size_t(FBlock);
  return bytes + (size_t(FTile.Width()) * FTile.Height() + size_t(FFull.Width()) * FFull.Height() +
                  size_t(FPicture.Width()) * FPicture.Height()) *
                     sizeof(TColor32);
}
