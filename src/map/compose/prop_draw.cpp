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

// The premultiplied colour P over the pixel D: D's share (255 - alpha) / 255 is
// added to P in every channel, alpha included, rounded. Opaque P replaces D.
inline uint32_t Over(uint32_t P, uint32_t D) {
  const uint32_t inv = 255 - (P >> 24);
  uint32_t rb = (D & 0xFF00FF) * inv + 0x800080;
  rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  uint32_t ag = ((D >> 8) & 0xFF00FF) * inv + 0x800080;
  ag = ((ag + ((ag >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  return P + (rb | (ag << 8));
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
    FCx = T.CenterX, FCy = T.CenterY, FSx = ShiftX, FSy = ShiftY;
    FU0 = double(Im.FSourceW) / 2 * kx - 0.5, FV0 = double(Im.FSourceH) / 2 * ky - 0.5;
  }

  // Premultiplied samples of map row Y for pixels X0 .. X1 - 1: Out[i] for pixel
  // X0 + i. Only the pixels the image can reach are written; the span of them,
  // relative to X0, is returned (First >= Last when there are none).
  std::pair<int32_t, int32_t> Row(int32_t Y, int32_t X0, int32_t X1, uint32_t* Out) const {
    // Positions step from the pixel that holds the centre, whatever X0 is, so that
    // a pixel gets the same sample in any clip and after a move by whole pixels.
    const double xr = std::floor(FCx);
    const double dx = ((xr + 0.5) - FCx) - FSx, dy = ((double(Y) + 0.5) - FCy) - FSy;
    const int64_t du = std::llround(FUx * kFix), dv = std::llround(FVx * kFix);
    const int64_t shift = int64_t(X0) - int64_t(xr);
    const int64_t u0 = std::llround((FU0 + FUx * dx + FUy * dy) * kFix) + shift * du;
    const int64_t v0 = std::llround((FV0 + FVx * dx + FVy * dy) * kFix) + shift * dv;
    const int64_t w = FIm.FW, h = FIm.FH;
    // Where both taps of each axis lie in the image or its transparent border.
    int32_t first = 0, last = X1 - X0;
    Reach(u0, du, -65536, w << 16, first, last);
    Reach(v0, dv, -65536, h << 16, first, last);
    int64_t u = u0 + first * du, v = v0 + first * dv;
    for (int32_t k = first; k < last; ++k, u += du, v += dv) {
      const int64_t iu = u >> 16, iv = v >> 16;
      if (iu < -1 || iu >= w || iv < -1 || iv >= h) {  // rounding at the ends
        Out[k] = 0;
        continue;
      }
      const uint32_t* r0 = FIm.Row(int32_t(iv)) + iu;
      const uint32_t* r1 = FIm.Row(int32_t(iv) + 1) + iu;
      const uint32_t p00 = r0[0], p10 = r0[1], p01 = r1[0], p11 = r1[1];
      if ((p00 | p10 | p01 | p11) == 0) {
        Out[k] = 0;
        continue;
      }
      const uint32_t fx = uint32_t(u >> 8) & 0xFF, fy = uint32_t(v >> 8) & 0xFF;
      Out[k] = Lerp(Lerp(p00, p10, fx), Lerp(p01, p11, fx), fy);
    }
    return {first, last};
  }

 private:
  // A and B mixed by W / 256, all four channels at once in two 16-bit lanes each.
  static uint32_t Lerp(uint32_t A, uint32_t B, uint32_t W) {
    const uint32_t v = 256 - W;
    const uint32_t rb = (((A & 0xFF00FF) * v + (B & 0xFF00FF) * W + 0x800080) >> 8) & 0xFF00FF;
    const uint32_t ag =
        ((((A >> 8) & 0xFF00FF) * v + ((B >> 8) & 0xFF00FF) * W + 0x800080) >> 8) & 0xFF00FF;
    return rb | (ag << 8);
  }
  // Narrows First .. Last to the k where Lo <= V0 + k Dv < Hi.
  static void Reach(int64_t V0, int64_t Dv, int64_t Lo, int64_t Hi, int32_t& First, int32_t& Last) {
    if (Dv == 0) {
      if (V0 < Lo || V0 >= Hi) Last = First;
      return;
    }
    // The k from which V0 + k Dv >= L (Dv > 0), or < L (Dv < 0).
    auto from = [&](int64_t L) {
      const int64_t n = L - V0;
      return Dv > 0 ? (n >= 0 ? (n + Dv - 1) / Dv : -((-n) / Dv))
                    : (n <= 0 ? (-n) / (-Dv) + 1 : -((n - 1) / (-Dv)));
    };
    int64_t a, b;
    if (Dv > 0) {
      a = from(Lo), b = from(Hi);
    } else {
      // V0 + k Dv < Hi from k = from(Hi) on; >= Lo until k = from(Lo).
      a = from(Hi), b = from(Lo);
    }
    First = int32_t(std::clamp<int64_t>(std::max<int64_t>(First, a), 0, Last));
    Last = int32_t(std::clamp<int64_t>(std::min<int64_t>(Last, b), First, Last));
  }

  const TPropImage& FIm;
  double FUx, FUy, FVx, FVy, FCx, FCy, FSx, FSy, FU0, FV0;
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

int32_t BlurRadius(const TPropShadow& S) {
  return int32_t(std::ceil(std::clamp(S.Softness, 0.0, 1e4)));
}

// The map pixels the shadow of the prop may darken.
TRect ShadowReach(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S) {
  TPropTransform moved = T;
  moved.CenterX += S.OffsetX, moved.CenterY += S.OffsetY;
  return Expand(PropBounds(Image.SourceWidth(), Image.SourceHeight(), moved), BlurRadius(S));
}

// The shadow's alpha over the map pixels Out (inside its reach): the prop's alpha
// moved by the offset, blurred by a Gaussian of radius Softness (sigma half of
// it), times the opacity.
std::vector<uint8_t> ShadowAlpha(const TPropImage& Image, const TPropTransform& T,
                                 const TPropShadow& S, const TRect& Out) {
  TPropTransform moved = T;
  moved.CenterX += S.OffsetX, moved.CenterY += S.OffsetY;
  const TRect shape = PropBounds(Image.SourceWidth(), Image.SourceHeight(), moved);
  const int32_t r = BlurRadius(S);
  const TRect area = Expand(Out, r);  // the mask pixels the blur reads
  const int32_t aw = area.Width(), ah = area.Height(), ow = Out.Width(), oh = Out.Height();

  // The unblurred mask, 0 outside the prop.
  std::vector<uint32_t> mask(size_t(aw) * size_t(ah), 0);
  std::vector<uint32_t> row(static_cast<size_t>(aw));
  const TPropSampler sampler(Image, T, S.OffsetX, S.OffsetY);
  const TRect live = IntersectRect(area, shape);
  for (int32_t y = live.Top; y < live.Bottom; ++y) {
    const auto [first, last] = sampler.Row(y, live.Left, live.Right, row.data());
    uint32_t* m = mask.data() + size_t(y - area.Top) * size_t(aw) + (live.Left - area.Left);
    for (int32_t x = first; x < last; ++x) m[x] = row[size_t(x)] >> 24;
  }

  std::vector<uint8_t> alpha(size_t(ow) * size_t(oh));
  auto put = [&](int32_t X, int32_t Y, uint32_t M) {
    alpha[size_t(Y) * size_t(ow) + size_t(X)] =
        uint8_t((std::min<uint32_t>(M, 255) * S.Opacity + 127) / 255);
  };
  if (r == 0) {
    for (int32_t y = 0; y < oh; ++y)
      for (int32_t x = 0; x < ow; ++x) put(x, y, mask[size_t(y) * size_t(aw) + size_t(x)]);
    return alpha;
  }
  const double sigma = S.Softness / 2;
  std::vector<uint32_t> k(size_t(2 * r + 1));
  uint32_t sum = 0;
  for (int32_t i = -r; i <= r; ++i)
    sum += k[size_t(i + r)] =
        uint32_t(std::lround(4096.0 * std::exp(-double(i) * i / (2 * sigma * sigma))));
  // Across, keeping the mask values times 256 for the second pass; then down.
  std::vector<uint32_t> across(size_t(ow) * size_t(ah));
  for (int32_t y = 0; y < ah; ++y) {
    const uint32_t* m = mask.data() + size_t(y) * size_t(aw) + r;
    uint32_t* a = across.data() + size_t(y) * size_t(ow);
    for (int32_t x = 0; x < ow; ++x) {
      uint64_t acc = 0;
      for (int32_t i = -r; i <= r; ++i) acc += uint64_t(k[size_t(i + r)]) * m[x + i];
      a[x] = uint32_t((acc * 256 + sum / 2) / sum);
    }
  }
  for (int32_t y = 0; y < oh; ++y)
    for (int32_t x = 0; x < ow; ++x) {
      uint64_t acc = 0;
      for (int32_t i = -r; i <= r; ++i)
        acc += uint64_t(k[size_t(i + r)]) * across[size_t(y + r + i) * size_t(ow) + size_t(x)];
      put(x, y, uint32_t(((acc + sum / 2) / sum + 128) >> 8));
    }
  return alpha;
}

// A transform moved so that its centre lies within the pixel at (0, 0), and the
// whole pixels it was moved by.
TPropTransform AtOrigin(const TPropTransform& T, int32_t& WholeX, int32_t& WholeY) {
  const double fx = std::floor(std::clamp(T.CenterX, -1e9, 1e9));
  const double fy = std::floor(std::clamp(T.CenterY, -1e9, 1e9));
  WholeX = int32_t(fx), WholeY = int32_t(fy);
  TPropTransform t = T;
  t.CenterX -= fx, t.CenterY -= fy;
  return t;
}

// The prop and its shadow over the map pixels of Out, in premultiplied colour:
// the prop's sample over the shadow's black.
std::vector<uint32_t> Render(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S,
                             const TRect& Out) {
  const int32_t w = Out.Width(), h = Out.Height();
  std::vector<uint32_t> pixels(size_t(w) * size_t(h), 0);
  if (S.On && S.Opacity > 0)
    if (const TRect sh = IntersectRect(Out, ShadowReach(Image, T, S)); !sh.IsEmpty()) {
      const std::vector<uint8_t> alpha = ShadowAlpha(Image, T, S, sh);
      for (int32_t y = sh.Top; y < sh.Bottom; ++y) {
        const uint8_t* a = alpha.data() + size_t(y - sh.Top) * size_t(sh.Width());
        uint32_t* p = pixels.data() + size_t(y - Out.Top) * size_t(w) + (sh.Left - Out.Left);
        for (int32_t x = 0; x < sh.Width(); ++x) p[x] = uint32_t(a[x]) << 24;
      }
    }
  const TRect area = IntersectRect(Out, PropBounds(Image.SourceWidth(), Image.SourceHeight(), T));
  if (area.IsEmpty()) return pixels;
  const TPropSampler sampler(Image, T);
  std::vector<uint32_t> row(size_t(area.Width()));
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    const auto [first, last] = sampler.Row(y, area.Left, area.Right, row.data());
    uint32_t* d = pixels.data() + size_t(y - Out.Top) * size_t(w) + (area.Left - Out.Left);
    for (int32_t x = first; x < last; ++x) {
      const uint32_t p = row[size_t(x)];
      if (p >= 0xFF000000u)
        d[x] = p;
      else if (p)
        d[x] = Over(p, d[x]);
    }
  }
  return pixels;
}

// Pixels covering the map pixels of Area over the target, inside Clip.
void Blit(const uint32_t* Pixels, const TRect& Area, TBitmap32& Target, const TRect& Clip,
          int32_t OffsetX, int32_t OffsetY) {
  const TRect out = IntersectRect(Area, Clip);
  for (int32_t y = out.Top; y < out.Bottom; ++y) {
    const uint32_t* s =
        Pixels + size_t(y - Area.Top) * size_t(Area.Width()) + (out.Left - Area.Left);
    TColor32* d = Target.ScanLine(y + OffsetY) + out.Left + OffsetX;
    for (int32_t x = 0; x < out.Width(); ++x) {
      const uint32_t p = s[x];
      if (p >= 0xFF000000u)
        d[x] = p;
      else if (p)
        d[x] = Over(p, d[x]);
    }
  }
}

// Clip within the target's map pixels.
TRect TargetClip(const TBitmap32& Target, const TRect& Clip, int32_t OffsetX, int32_t OffsetY) {
  return IntersectRect(
      Clip, TRect{-OffsetX, -OffsetY, Target.Width() - OffsetX, Target.Height() - OffsetY});
}

}  // namespace

TPropSprite::TPropSprite(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S) {
  if (Image.Width() <= 0 || Image.Height() <= 0) return;
  int32_t wx, wy;
  const TPropTransform t = AtOrigin(T, wx, wy);
  FArea = PropBounds(Image.SourceWidth(), Image.SourceHeight(), t, S);
  FPixels = Render(Image, t, S, FArea);
}

void DrawPropSprite(const TPropSprite& Sprite, const TPropTransform& T, TBitmap32& Target,
                    const TRect& Clip, int32_t OffsetX, int32_t OffsetY) {
  if (Sprite.FPixels.empty()) return;
  int32_t wx, wy;
  AtOrigin(T, wx, wy);
  const TRect a = Sprite.FArea;
  Blit(Sprite.FPixels.data(), TRect{a.Left + wx, a.Top + wy, a.Right + wx, a.Bottom + wy}, Target,
       TargetClip(Target, Clip, OffsetX, OffsetY), OffsetX, OffsetY);
}

void DrawProp(const TPropImage& Image, const TPropTransform& T, const TPropShadow& S,
              TBitmap32& Target, const TRect& Clip, int32_t OffsetX, int32_t OffsetY) {
  if (Image.Width() <= 0 || Image.Height() <= 0) return;
  const TRect out = IntersectRect(TargetClip(Target, Clip, OffsetX, OffsetY),
                                  PropBounds(Image.SourceWidth(), Image.SourceHeight(), T, S));
  if (out.IsEmpty()) return;
  Blit(Render(Image, T, S, out).data(), out, Target, out, OffsetX, OffsetY);
}

uint8_t PropAlphaAt(const TPropImage& Image, const TPropTransform& T, int32_t X, int32_t Y) {
  if (Image.Width() <= 0 || Image.Height() <= 0) return 0;
  uint32_t p = 0;
  const auto [first, last] = TPropSampler(Image, T).Row(Y, X, X + 1, &p);
  return first < last ? uint8_t(p >> 24) : 0;
}
