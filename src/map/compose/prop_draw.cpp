#include "map/compose/prop_draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kFix = 65536.0;  // 16.16 fixed point for sample positions

// Straight colour to premultiplied, rounded.
uint32_t Premultiply(TColor32 C) {
  const uint32_t a = C >> 24;
  if (a == 255) return C;
  if (a == 0) return 0;
  auto ch = [&](int Shift) { return (((C >> Shift) & 0xFF) * a + 127) / 255; };
  return (a << 24) | (ch(16) << 16) | (ch(8) << 8) | ch(0);
}

// Premultiplied colour back to straight, rounded.
TColor32 Unpremultiply(uint32_t P) {
  const uint32_t a = P >> 24;
  if (a == 255 || a == 0) return P;
  auto ch = [&](int Shift) {
    return std::min<uint32_t>(255, (((P >> Shift) & 0xFF) * 255 + a / 2) / a);
  };
  return (a << 24) | (ch(16) << 16) | (ch(8) << 8) | ch(0);
}

// Cosine and sine of an angle in degrees, exact at multiples of 90 degrees.
void CosSin(double Deg, double& C, double& S) {
  const double r = std::fmod(Deg, 360.0);
  const double q = r < 0 ? r + 360.0 : r;
  if (q == 0)
    C = 1, S = 0;
  else if (q == 90)
    C = 0, S = 1;
  else if (q == 180)
    C = -1, S = 0;
  else if (q == 270)
    C = 0, S = -1;
  else
    C = std::cos(q * std::numbers::pi / 180.0), S = std::sin(q * std::numbers::pi / 180.0);
}

TRect Expand(const TRect& R, int32_t By) {
  return {R.Left - By, R.Top - By, R.Right + By, R.Bottom + By};
}

}  // namespace

// Maps map pixels to positions in a prepared image and reads it there.
class TPropSampler {
 public:
  TPropSampler(const TPropImage& Im, const TPropTransform& T, double ShiftX = 0, double ShiftY = 0)
      : FIm(Im) {
    double c, s;
    CosSin(T.Rotation, c, s);
    const double scale = T.Scale > 0 ? T.Scale : 1;
    const double kx = double(Im.FW) / double(std::max(1, Im.FSourceW));
    const double ky = double(Im.FH) / double(std::max(1, Im.FSourceH));
    const double m = T.Mirror ? -1.0 : 1.0;
    // Image position of a map point (X, Y): u = m (c dx + s dy) / scale, v = (c dy - s dx)
    // / scale around the centre, then in prepared pixels with their centres on
    // whole numbers.
    FUx = m * c / scale * kx, FUy = m * s / scale * kx;
    FVx = -s / scale * ky, FVy = c / scale * ky;
    FCx = T.CenterX + ShiftX, FCy = T.CenterY + ShiftY;
    FU0 = double(Im.FSourceW) / 2 * kx - 0.5, FV0 = double(Im.FSourceH) / 2 * ky - 0.5;
  }

  // Premultiplied samples of map row Y, pixels X0 .. X1 - 1, into Out.
  void Row(int32_t Y, int32_t X0, int32_t X1, uint32_t* Out) const {
    const double dx = double(X0) + 0.5 - FCx, dy = double(Y) + 0.5 - FCy;
    int64_t u = std::llround((FU0 + FUx * dx + FUy * dy) * kFix);
    int64_t v = std::llround((FV0 + FVx * dx + FVy * dy) * kFix);
    const int64_t du = std::llround(FUx * kFix), dv = std::llround(FVx * kFix);
    const int64_t w = FIm.FW, h = FIm.FH;
    for (int32_t x = X0; x < X1; ++x, u += du, v += dv) {
      const int64_t iu = u >> 16, iv = v >> 16;
      if (iu < -1 || iu >= w || iv < -1 || iv >= h) {
        *Out++ = 0;
        continue;
      }
      const uint32_t fx = uint32_t(u >> 8) & 0xFF, fy = uint32_t(v >> 8) & 0xFF;
      const uint32_t* r0 = FIm.Row(int32_t(iv)) + iu;
      const uint32_t* r1 = FIm.Row(int32_t(iv) + 1) + iu;
      const uint32_t p00 = r0[0], p10 = r0[1], p01 = r1[0], p11 = r1[1];
      if ((p00 | p10 | p01 | p11) == 0) {
        *Out++ = 0;
        continue;
      }
      const uint32_t w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy);
      const uint32_t w01 = (256 - fx) * fy, w11 = fx * fy;
      uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sum = ((p00 >> shift) & 0xFF) * w00 + ((p10 >> shift) & 0xFF) * w10 +
                             ((p01 >> shift) & 0xFF) * w01 + ((p11 >> shift) & 0xFF) * w11;
        out |= ((sum + 32768) >> 16) << shift;
      }
      *Out++ = out;
    }
  }

 private:
  const TPropImage& FIm;
  double FUx, FUy, FVx, FVy, FCx, FCy, FU0, FV0;
};

TPropImage::TPropImage(const TBitmap32& Source, double Scale)
    : FSourceW(Source.Width()), FSourceH(Source.Height()), FScale(Scale) {
  const TBitmap32* pixels = &Source;
  TBitmap32 shrunk;
  FW = FSourceW, FH = FSourceH;
  if (Scale > 0 && Scale < 1 && !Source.Empty()) {
    // Shrunk once with the area filter: bilinear sampling alone would skip source
    // pixels and shimmer when the prop turns.
    FW = std::max<int32_t>(1, int32_t(std::lround(FSourceW * Scale)));
    FH = std::max<int32_t>(1, int32_t(std::lround(FSourceH * Scale)));
    if (FW != FSourceW || FH != FSourceH) {
      TBitmap32 src;
      src.Assign(Source);
      src.DrawMode = dmOpaque;
      src.Resampler = TResamplerKind::Draft;
      shrunk.SetSize(FW, FH);
      shrunk.DrawSurface(TRect{0, 0, FW, FH}, TRect{0, 0, FSourceW, FSourceH}, src);
      pixels = &shrunk;
    }
  }
  FPixels.assign(size_t(FW + 2) * size_t(FH + 2), 0);
  for (int32_t y = 0; y < FH; ++y) {
    const TColor32* s = pixels->ScanLine(y);
    uint32_t* d = FPixels.data() + size_t(y + 1) * size_t(FW + 2) + 1;
    for (int32_t x = 0; x < FW; ++x) d[x] = Premultiply(s[x]);
  }
}

TRect PropBounds(int32_t ImageWidth, int32_t ImageHeight, const TPropTransform& T,
                 const TPropShadow& S) {
  double c, s;
  CosSin(T.Rotation, c, s);
  const double scale = T.Scale > 0 ? T.Scale : 1;
  // Bilinear samples reach half a prepared pixel beyond the image's edge.
  const double margin = 0.5 * std::max(scale, 1.5) + 1;
  const double hw = ImageWidth * scale / 2 + margin, hh = ImageHeight * scale / 2 + margin;
  const double ex = std::fabs(c) * hw + std::fabs(s) * hh,
               ey = std::fabs(s) * hw + std::fabs(c) * hh;
  auto clampI = [](double v) { return int32_t(std::clamp(v, -1e9, 1e9)); };
  TRect r{clampI(std::floor(T.CenterX - ex)), clampI(std::floor(T.CenterY - ey)),
          clampI(std::ceil(T.CenterX + ex)), clampI(std::ceil(T.CenterY + ey))};
  if (S.On) {
    const int32_t blur = int32_t(std::ceil(std::clamp(S.Softness, 0.0, 1e4)));
    const TRect sh =
        Expand({clampI(std::floor(r.Left + S.OffsetX)), clampI(std::floor(r.Top + S.OffsetY)),
                clampI(std::ceil(r.Right + S.OffsetX)), clampI(std::ceil(r.Bottom + S.OffsetY))},
               blur);
    r = {std::min(r.Left, sh.Left), std::min(r.Top, sh.Top), std::max(r.Right, sh.Right),
         std::max(r.Bottom, sh.Bottom)};
  }
  return r;
}

namespace {

// The shadow: the prop's alpha moved by the offset, blurred by a Gaussian of
// radius Softness (sigma half of it), darkening the target in black.
void DrawShadow(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S,
                TBitmap32& Target, const TRect& Clip, int32_t OffsetX, int32_t OffsetY) {
  TPropTransform moved = T;
  moved.CenterX += S.OffsetX, moved.CenterY += S.OffsetY;
  const TRect shape = PropBounds(Image.SourceWidth(), Image.SourceHeight(), moved);
  const int32_t r = int32_t(std::ceil(std::clamp(S.Softness, 0.0, 1e4)));
  const TRect out = IntersectRect(Clip, Expand(shape, r));
  if (out.IsEmpty() || S.Opacity == 0) return;
  const TRect area = Expand(out, r);  // the mask pixels the blur reads
  const int32_t aw = area.Width(), ah = area.Height(), ow = out.Width();

  // The unblurred mask, 0 outside the prop.
  std::vector<uint32_t> mask(size_t(aw) * size_t(ah), 0);
  std::vector<uint32_t> row(static_cast<size_t>(aw));
  const TPropSampler sampler(Image, T, S.OffsetX, S.OffsetY);
  const TRect live = IntersectRect(area, shape);
  for (int32_t y = live.Top; y < live.Bottom; ++y) {
    sampler.Row(y, live.Left, live.Right, row.data());
    uint32_t* m = mask.data() + size_t(y - area.Top) * size_t(aw) + (live.Left - area.Left);
    for (int32_t x = 0; x < live.Width(); ++x) m[x] = row[size_t(x)] >> 24;
  }

  if (r > 0) {
    const double sigma = S.Softness / 2;
    std::vector<uint32_t> k(size_t(2 * r + 1));
    uint32_t sum = 0;
    for (int32_t i = -r; i <= r; ++i)
      sum += k[size_t(i + r)] =
          uint32_t(std::lround(4096.0 * std::exp(-double(i) * i / (2 * sigma * sigma))));
    // Across: mask values times 256 for the second pass; then down.
    std::vector<uint32_t> across(size_t(ow) * size_t(ah));
    for (int32_t y = 0; y < ah; ++y) {
      const uint32_t* m = mask.data() + size_t(y) * size_t(aw) + r;
      for (int32_t x = 0; x < ow; ++x) {
        uint64_t acc = 0;
        for (int32_t i = -r; i <= r; ++i) acc += uint64_t(k[size_t(i + r)]) * m[x + i];
        across[size_t(y) * size_t(ow) + size_t(x)] = uint32_t((acc * 256 + sum / 2) / sum);
      }
    }
    for (int32_t y = 0; y < out.Height(); ++y) {
      uint32_t* m = mask.data() + size_t(y + r) * size_t(aw) + r;
      for (int32_t x = 0; x < ow; ++x) {
        uint64_t acc = 0;
        for (int32_t i = -r; i <= r; ++i)
          acc += uint64_t(k[size_t(i + r)]) * across[size_t(y + r + i) * size_t(ow) + size_t(x)];
        m[x] = uint32_t(((acc + sum / 2) / sum + 128) >> 8);
      }
    }
  }

  for (int32_t y = out.Top; y < out.Bottom; ++y) {
    const uint32_t* m = mask.data() + size_t(y - area.Top) * size_t(aw) + (out.Left - area.Left);
    TColor32* d = Target.ScanLine(y + OffsetY) + out.Left + OffsetX;
    for (int32_t x = 0; x < ow; ++x) {
      const uint32_t a = (std::min<uint32_t>(m[x], 255) * S.Opacity + 127) / 255;
      if (a) d[x] = BlendPixel(a << 24, d[x]);
    }
  }
}

}  // namespace

void DrawProp(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S,
              TBitmap32& Target, const TRect& Clip, int32_t OffsetX, int32_t OffsetY) {
  if (Image.Width() <= 0 || Image.Height() <= 0) return;
  // Only map pixels whose target pixels exist.
  const TRect clip = IntersectRect(
      Clip, TRect{-OffsetX, -OffsetY, Target.Width() - OffsetX, Target.Height() - OffsetY});
  if (clip.IsEmpty()) return;
  if (S.On) DrawShadow(Image, T, S, Target, clip, OffsetX, OffsetY);

  const TRect area = IntersectRect(clip, PropBounds(Image.SourceWidth(), Image.SourceHeight(), T));
  if (area.IsEmpty()) return;
  const TPropSampler sampler(Image, T);
  std::vector<uint32_t> row(size_t(area.Width()));
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    sampler.Row(y, area.Left, area.Right, row.data());
    TColor32* d = Target.ScanLine(y + OffsetY) + area.Left + OffsetX;
    for (size_t x = 0; x < row.size(); ++x)
      if (row[x]) d[x] = BlendPixel(Unpremultiply(row[x]), d[x]);
  }
}

uint8_t PropAlphaAt(const TPropImage& Image, const TPropTransform& T, int32_t X, int32_t Y) {
  if (Image.Width() <= 0 || Image.Height() <= 0) return 0;
  uint32_t p = 0;
  TPropSampler(Image, T).Row(Y, X, X + 1, &p);
  return uint8_t(p >> 24);
}
