// Draws the bundled prop pack: top-down furniture, dungeon pieces, nature and
// decorations as PNG images with alpha, 256 pixels per cell of footprint.
//
// Every prop is a stack of shapes given by signed distance functions (negative
// inside). Each shape is filled with a material (a colour with a procedural
// texture), lit as a bevelled or domed surface by one light from the top left,
// edged with a dark ink line and anti-aliased over a pixel and a half; a shape
// drawn over others can cast a short shadow down and to the right onto them.
// Noise comes from a hash of the pixel position and a seed, so the pack is the
// same on every run: vc_asset_gen OUTDIR writes OUTDIR/<group>/<name>.png.

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr float kCell = 256.0f;
constexpr float kPi = 3.14159265358979f;

using TSdf = std::function<float(float, float)>;

struct TRgb {
  float R, G, B;
};
TRgb Hex(uint32_t C) {
  return {float((C >> 16) & 255) / 255.0f, float((C >> 8) & 255) / 255.0f, float(C & 255) / 255.0f};
}
TRgb Mix(TRgb A, TRgb B, float T) {
  return {A.R + (B.R - A.R) * T, A.G + (B.G - A.G) * T, A.B + (B.B - A.B) * T};
}
TRgb Scale(TRgb A, float S) { return {A.R * S, A.G * S, A.B * S}; }

// ---- noise ------------------------------------------------------------------

uint32_t Hash(int32_t X, int32_t Y, uint32_t Seed) {
  uint32_t h = uint32_t(X) * 0x8da6b343u ^ uint32_t(Y) * 0xd8163841u ^ Seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}
float Rand01(int32_t X, int32_t Y, uint32_t Seed) {
  return float(Hash(X, Y, Seed) >> 8) / 16777216.0f;
}

// Value noise in 0..1 with smooth interpolation between lattice points.
float ValueNoise(float X, float Y, uint32_t Seed) {
  const float fx = std::floor(X), fy = std::floor(Y);
  const int32_t ix = int32_t(fx), iy = int32_t(fy);
  float tx = X - fx, ty = Y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float a = Rand01(ix, iy, Seed), b = Rand01(ix + 1, iy, Seed);
  const float c = Rand01(ix, iy + 1, Seed), d = Rand01(ix + 1, iy + 1, Seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}
float Fbm(float X, float Y, uint32_t Seed, int Octaves = 4) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < Octaves; ++o) {
    sum += ValueNoise(X, Y, Seed + uint32_t(o) * 101u) * amp;
    norm += amp;
    X *= 2.03f;
    Y *= 2.03f;
    amp *= 0.5f;
  }
  return sum / norm;
}

// ---- shapes -----------------------------------------------------------------

TSdf Circle(float Cx, float Cy, float R) {
  return [=](float x, float y) { return std::hypot(x - Cx, y - Cy) - R; };
}
// A box of half sizes Hw, Hh with corners rounded by Rad, turned by Deg.
TSdf Box(float Cx, float Cy, float Hw, float Hh, float Rad = 0, float Deg = 0) {
  const float c = std::cos(Deg * kPi / 180), s = std::sin(Deg * kPi / 180);
  return [=](float x, float y) {
    const float dx = x - Cx, dy = y - Cy;
    const float u = std::fabs(c * dx + s * dy) - (Hw - Rad);
    const float v = std::fabs(-s * dx + c * dy) - (Hh - Rad);
    return std::hypot(std::max(u, 0.0f), std::max(v, 0.0f)) + std::min(std::max(u, v), 0.0f) - Rad;
  };
}
TSdf Ellipse(float Cx, float Cy, float Rx, float Ry, float Deg = 0) {
  const float c = std::cos(Deg * kPi / 180), s = std::sin(Deg * kPi / 180);
  return [=](float x, float y) {
    const float dx = x - Cx, dy = y - Cy;
    const float u = (c * dx + s * dy) / Rx, v = (-s * dx + c * dy) / Ry;
    const float k = std::hypot(u, v);
    return (k - 1) * std::min(Rx, Ry);
  };
}
TSdf Capsule(float X1, float Y1, float X2, float Y2, float R) {
  return [=](float x, float y) {
    const float px = x - X1, py = y - Y1, bx = X2 - X1, by = Y2 - Y1;
    const float h = std::clamp((px * bx + py * by) / (bx * bx + by * by), 0.0f, 1.0f);
    return std::hypot(px - bx * h, py - by * h) - R;
  };
}
// A star or regular polygon: N points between radius R and inner radius Ri.
TSdf Star(float Cx, float Cy, float R, float Ri, int N, float Deg = 0) {
  return [=](float x, float y) {
    const float dx = x - Cx, dy = y - Cy;
    float a = std::atan2(dy, dx) - Deg * kPi / 180;
    const float seg = kPi / float(N);
    a = std::fmod(std::fmod(a, 2 * seg) + 2 * seg, 2 * seg) - seg;
    const float t = std::fabs(a) / seg;
    const float edge = R + (Ri - R) * t;
    return (std::hypot(dx, dy) - edge) * 0.8f;
  };
}
TSdf Union(TSdf A, TSdf B) {
  return [=](float x, float y) { return std::min(A(x, y), B(x, y)); };
}
TSdf Cut(TSdf A, TSdf B) {
  return [=](float x, float y) { return std::max(A(x, y), -B(x, y)); };
}
TSdf Ring(TSdf A, float Width) {
  return [=](float x, float y) { return std::fabs(A(x, y) + Width / 2) - Width / 2; };
}
// Roughens an outline by noise of amplitude Amp and feature size Size.
TSdf Rough(TSdf A, float Amp, float Size, uint32_t Seed) {
  return [=](float x, float y) {
    return A(x, y) + (Fbm(x / Size, y / Size, Seed, 3) - 0.5f) * 2 * Amp;
  };
}

// ---- materials --------------------------------------------------------------

enum class TTex { Plain, Wood, Stone, Leaf, Cloth, Metal, Fur };
enum class TProfile { Bevel, Dome, Flat };

struct TMat {
  TRgb Dark, Light;
  TTex Tex = TTex::Plain;
  float Size = 24;   // feature size of the texture in pixels
  float Grain = 0;   // direction of wood grain in degrees
  float Bevel = 10;  // width of the lit rim in pixels
  TProfile Profile = TProfile::Bevel;
  float Ink = 1;  // strength of the dark edge line
  uint32_t Seed = 1;
};

TMat M(uint32_t Dark, uint32_t Light, TTex Tex = TTex::Plain, float Bevel = 10,
       TProfile P = TProfile::Bevel, float Size = 24, float Grain = 0) {
  TMat m;
  m.Dark = Hex(Dark);
  m.Light = Hex(Light);
  m.Tex = Tex;
  m.Bevel = Bevel;
  m.Profile = P;
  m.Size = Size;
  m.Grain = Grain;
  return m;
}

// Texture value 0..1 at a pixel: where between the dark and light colour it lies.
float TextureAt(const TMat& Mt, float X, float Y) {
  switch (Mt.Tex) {
    case TTex::Plain:
      return 0.5f + (Fbm(X / 64, Y / 64, Mt.Seed, 2) - 0.5f) * 0.25f;
    case TTex::Wood: {
      const float c = std::cos(Mt.Grain * kPi / 180), s = std::sin(Mt.Grain * kPi / 180);
      const float u = c * X + s * Y, v = -s * X + c * Y;
      const float warp = Fbm(u / 90, v / 18, Mt.Seed, 3);
      const float rings = 0.5f + 0.5f * std::sin((v / Mt.Size + warp * 3.5f) * 2 * kPi);
      return 0.25f + 0.5f * rings * 0.7f + 0.3f * Fbm(u / 40, v / 6, Mt.Seed + 7, 2);
    }
    case TTex::Stone:
      return Fbm(X / Mt.Size, Y / Mt.Size, Mt.Seed, 4);
    case TTex::Leaf: {
      const float n = Fbm(X / Mt.Size, Y / Mt.Size, Mt.Seed, 4);
      const float cells = ValueNoise(X / (Mt.Size * 0.45f), Y / (Mt.Size * 0.45f), Mt.Seed + 3);
      return std::clamp(n * 0.7f + cells * 0.45f - 0.1f, 0.0f, 1.0f);
    }
    case TTex::Cloth: {
      const float weave = 0.5f + 0.25f * std::sin(X / 3.0f) * std::sin(Y / 3.0f);
      return weave * 0.3f + Fbm(X / Mt.Size, Y / Mt.Size, Mt.Seed, 3) * 0.7f;
    }
    case TTex::Metal:
      return 0.35f + 0.3f * Fbm(X / 80, Y / 20, Mt.Seed, 2);
    case TTex::Fur:
      return Fbm(X / 6, Y / 22, Mt.Seed, 3);
  }
  return 0.5f;
}

// ---- canvas -----------------------------------------------------------------

struct TImage {
  int W, H;
  std::vector<float> R, G, B, A;  // straight colour, alpha 0..1
  TImage(int Width, int Height)
      : W(Width),
        H(Height),
        R(size_t(W * H)),
        G(size_t(W * H)),
        B(size_t(W * H)),
        A(size_t(W * H)) {}
};

// The direction towards the light: up and to the left, fairly high.
const float kLx = -0.45f, kLy = -0.55f, kLz = 0.70f;

// Height slope of a shape at depth t (0 at the outline, 1 past the rim).
float Slope(TProfile P, float T) {
  switch (P) {
    case TProfile::Bevel:
      return T < 1 ? 1.2f : 0.0f;
    case TProfile::Dome: {
      const float u = std::clamp(1 - T, 0.0f, 0.999f);
      return u / std::sqrt(1 - u * u) * 0.9f;
    }
    case TProfile::Flat:
      return 0;
  }
  return 0;
}

// Fills shape S with material Mt, lit and edged, over what the image holds.
void Fill(TImage& Im, const TSdf& S, const TMat& Mt) {
  const float flat = kLz;
  for (int y = 0; y < Im.H; ++y)
    for (int x = 0; x < Im.W; ++x) {
      const float px = float(x) + 0.5f, py = float(y) + 0.5f;
      const float d = S(px, py);
      if (d > 1.0f) continue;
      const float cover = std::clamp(0.5f - d / 1.5f, 0.0f, 1.0f);
      if (cover <= 0) continue;
      const float gx = (S(px + 1, py) - S(px - 1, py)) / 2;
      const float gy = (S(px, py + 1) - S(px, py - 1)) / 2;
      const float depth = -d;
      const float t = Mt.Bevel > 0 ? depth / Mt.Bevel : 1.0f;
      const float sl = Slope(Mt.Profile, t);
      float nx = gx * sl, ny = gy * sl, nz = 1;
      const float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
      nx /= nl, ny /= nl, nz /= nl;
      const float lambert = std::max(0.0f, nx * kLx + ny * kLy + nz * kLz);
      float shade = (0.35f + 0.65f * lambert) / (0.35f + 0.65f * flat);
      // A soft highlight on rims that face the light.
      if (Mt.Tex == TTex::Metal) shade += std::pow(lambert, 12.0f) * 0.6f;
      TRgb c = Mix(Mt.Dark, Mt.Light, std::clamp(TextureAt(Mt, px, py), 0.0f, 1.0f));
      c = Scale(c, shade);
      // The ink line along the outline, fading inwards over three pixels.
      const float ink = std::clamp((3.0f - depth) / 2.0f, 0.0f, 1.0f) * Mt.Ink;
      c = Mix(c, Scale(Mt.Dark, 0.35f), ink * 0.85f);
      const size_t i = size_t(y) * size_t(Im.W) + size_t(x);
      const float a0 = Im.A[i], a = cover + a0 * (1 - cover);
      if (a <= 0) continue;
      auto over = [&](float& dst, float src) { dst = (src * cover + dst * a0 * (1 - cover)) / a; };
      over(Im.R[i], std::clamp(c.R, 0.0f, 1.0f));
      over(Im.G[i], std::clamp(c.G, 0.0f, 1.0f));
      over(Im.B[i], std::clamp(c.B, 0.0f, 1.0f));
      Im.A[i] = a;
    }
}

// Shape S, raised by Height pixels above what lies beneath, casts a soft shadow
// away from the light onto the pixels already drawn (never beyond them).
void CastShadow(TImage& Im, const TSdf& S, float Height, float Strength = 0.45f) {
  const float ox = -kLx / kLz * Height, oy = -kLy / kLz * Height, soft = 2 + Height * 0.4f;
  for (int y = 0; y < Im.H; ++y)
    for (int x = 0; x < Im.W; ++x) {
      const size_t i = size_t(y) * size_t(Im.W) + size_t(x);
      if (Im.A[i] <= 0) continue;
      const float d = S(float(x) + 0.5f - ox, float(y) + 0.5f - oy);
      const float s = std::clamp(0.5f - d / soft, 0.0f, 1.0f) * Strength;
      if (s <= 0) continue;
      Im.R[i] *= 1 - s, Im.G[i] *= 1 - s, Im.B[i] *= 1 - s;
    }
}

// A shape standing on the props beneath it: its shadow, then itself.
void Raised(TImage& Im, const TSdf& S, const TMat& Mt, float Height) {
  CastShadow(Im, S, Height);
  Fill(Im, S, Mt);
}

void WritePng(const TImage& Im, const std::filesystem::path& Path) {
  std::filesystem::create_directories(Path.parent_path());
  FILE* f = std::fopen(Path.string().c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + Path.string());
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    throw std::runtime_error("cannot encode " + Path.string());
  }
  png_init_io(png, f);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, png_uint_32(Im.W), png_uint_32(Im.H), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(Im.W) * 4);
  // Colours are stored in steps of 4 levels (alpha in full): the pictures keep
  // their look and the files stay small.
  auto byte = [](float v, int Step) {
    const int b = int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
    return uint8_t(std::min(255, (b + Step / 2) / Step * Step));
  };
  for (int y = 0; y < Im.H; ++y) {
    for (int x = 0; x < Im.W; ++x) {
      const size_t i = size_t(y) * size_t(Im.W) + size_t(x);
      const uint8_t a = byte(Im.A[i], 1);
      row[size_t(x) * 4 + 0] = a ? byte(Im.R[i], 4) : 0;
      row[size_t(x) * 4 + 1] = a ? byte(Im.G[i], 4) : 0;
      row[size_t(x) * 4 + 2] = a ? byte(Im.B[i], 4) : 0;
      row[size_t(x) * 4 + 3] = a;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
}

// ---- the props --------------------------------------------------------------

struct TProp {
  const char* Group;
  const char* Name;
  int CellsW, CellsH;
  std::function<void(TImage&, float, float)> Draw;  // image, centre x, centre y
};

// Common materials.
TMat Oak(float Grain = 0) {
  return M(0x5a3a1e, 0xa8733f, TTex::Wood, 8, TProfile::Bevel, 22, Grain);
}
TMat DarkWood(float Grain = 0) {
  return M(0x3a2412, 0x7a4e2a, TTex::Wood, 8, TProfile::Bevel, 18, Grain);
}
TMat Granite() { return M(0x5e5b57, 0xa9a49c, TTex::Stone, 12, TProfile::Dome, 30); }
TMat Iron() { return M(0x2e3034, 0x7d828a, TTex::Metal, 6, TProfile::Bevel); }
TMat Brass() { return M(0x6a4a14, 0xd9aa48, TTex::Metal, 6, TProfile::Dome); }
TMat Cloth(uint32_t Dark, uint32_t Light) {
  return M(Dark, Light, TTex::Cloth, 14, TProfile::Dome, 40);
}
TMat Foliage(uint32_t Dark, uint32_t Light) {
  return M(Dark, Light, TTex::Leaf, 40, TProfile::Dome, 26);
}
TMat Bone() { return M(0x9c9078, 0xeee6d0, TTex::Plain, 10, TProfile::Dome); }
TMat Flame() {
  TMat m = M(0xd04a10, 0xffe070, TTex::Plain, 30, TProfile::Dome);
  m.Ink = 0.2f;
  return m;
}
TMat Water() {
  TMat m = M(0x1e4a6e, 0x5c9cc8, TTex::Stone, 20, TProfile::Flat, 50);
  m.Ink = 0.6f;
  return m;
}
TMat WithSeed(TMat Mt, uint32_t Seed) {
  Mt.Seed = Seed;
  return Mt;
}

// A heap of Count stones of mean radius R scattered over a disc of radius Spread.
void Stones(TImage& Im, float Cx, float Cy, int Count, float Spread, float R, uint32_t Seed,
            TMat Mt) {
  for (int i = 0; i < Count; ++i) {
    const float a = Rand01(i, 1, Seed) * 2 * kPi, dist = std::sqrt(Rand01(i, 2, Seed)) * Spread;
    const float r = R * (0.55f + 0.8f * Rand01(i, 3, Seed));
    const TSdf s = Rough(Ellipse(Cx + std::cos(a) * dist, Cy + std::sin(a) * dist, r,
                                 r * (0.65f + 0.3f * Rand01(i, 4, Seed)), Rand01(i, 5, Seed) * 180),
                         r * 0.18f, r * 0.6f, Seed + uint32_t(i));
    Raised(Im, s, WithSeed(Mt, Seed + uint32_t(i) * 7u), r * 0.35f);
  }
}

void Chair(TImage& Im, float X, float Y, float Deg) {
  const float c = std::cos(Deg * kPi / 180), s = std::sin(Deg * kPi / 180);
  auto at = [&](float u, float v, float& x, float& y) {
    x = X + c * u - s * v, y = Y + s * u + c * v;
  };
  float bx, by;
  at(0, 0, bx, by);
  Fill(Im, Box(bx, by, 62, 58, 10, Deg), Oak(Deg));
  at(0, -60, bx, by);
  Raised(Im, Box(bx, by, 70, 14, 7, Deg), DarkWood(Deg), 8);
}

std::vector<TProp> Props() {
  return {
      // Furniture.
      {"furniture", "table_round", 2, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 200), Oak(30));
         Fill(Im, Ring(Circle(X, Y, 186), 4), WithSeed(DarkWood(), 3));
       }},
      {"furniture", "table_long", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 236, 96, 10), Oak());
         for (int i = -1; i <= 1; i += 2)
           Fill(Im, Box(X, Y + float(i) * 32, 230, 1.5f), WithSeed(DarkWood(), 5));
       }},
      {"furniture", "table_square", 1, 1,
       [](TImage& Im, float X, float Y) { Fill(Im, Box(X, Y, 100, 100, 8), Oak(90)); }},
      {"furniture", "chair", 1, 1, [](TImage& Im, float X, float Y) { Chair(Im, X, Y, 0); }},
      {"furniture", "stool", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 58), Oak(45));
         Fill(Im, Ring(Circle(X, Y, 50), 3), DarkWood());
       }},
      {"furniture", "bench", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 230, 46, 6), Oak());
         Fill(Im, Box(X, Y, 226, 1.5f), DarkWood());
       }},
      {"furniture", "bed", 1, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 112, 236, 8), DarkWood(90));
         Fill(Im, Box(X, Y + 20, 98, 206, 16), Cloth(0x6e6450, 0xd8ccb0));
         Raised(Im, Box(X, Y - 170, 80, 42, 20), Cloth(0xa0a0a8, 0xf2f2f6), 6);
         Raised(Im, Box(X, Y + 70, 104, 150, 14), Cloth(0x5a1c1c, 0xb04040), 5);
         Fill(Im, Box(X, Y - 78, 104, 8, 4), Cloth(0x7a6a4a, 0xe0d2b0));
       }},
      {"furniture", "bookshelf", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y - 50, 236, 70, 6), DarkWood());
         for (int i = 0; i < 16; ++i) {
           const uint32_t cols[] = {0x5a1a1a, 0x1a3a5a, 0x2a4a1a, 0x5a4a1a, 0x3a1a4a};
           const uint32_t k = cols[Hash(i, 1, 77) % 5];
           const float w = 10 + 8 * Rand01(i, 2, 77);
           TMat m = M(k, (k & 0xfefefe) * 2 > 0xffffff ? 0xffffff : (k & 0x7f7f7f) * 2 + 0x202020,
                      TTex::Plain, 4, TProfile::Dome);
           Fill(Im, Box(X - 212 + float(i) * 28, Y - 46, w, 52, 3), m);
         }
       }},
      {"furniture", "desk", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 220, 100, 8), DarkWood());
         Raised(Im, Box(X - 80, Y - 10, 56, 40, 2, -8), M(0xb0a080, 0xf0e8d0, TTex::Plain, 3), 3);
         Raised(Im, Circle(X + 120, Y - 40, 18), Iron(), 6);
         Raised(Im, Capsule(X + 60, Y + 40, X + 150, Y + 10, 4), M(0x604020, 0xe0d0b0), 5);
       }},
      {"furniture", "wardrobe", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y - 20, 220, 90, 8), DarkWood(0));
         Fill(Im, Box(X, Y - 20, 200, 72, 4), Oak(0));
         Fill(Im, Box(X, Y - 20, 2, 72), DarkWood());
       }},
      {"furniture", "chest", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 100, 64, 8), Oak());
         for (float dx : {-70.0f, 70.0f}) Raised(Im, Box(X + dx, Y, 8, 64, 2), Iron(), 3);
         Raised(Im, Box(X, Y + 58, 14, 12, 3), Brass(), 4);
       }},
      {"furniture", "rug_round", 2, 2,
       [](TImage& Im, float X, float Y) {
         TMat r = Cloth(0x4a1414, 0x9a3028);
         r.Profile = TProfile::Flat;
         Fill(Im, Circle(X, Y, 220), r);
         TMat g = Cloth(0x7a5a14, 0xd8aa40);
         g.Profile = TProfile::Flat;
         g.Ink = 0.3f;
         Fill(Im, Ring(Circle(X, Y, 196), 14), g);
         Fill(Im, Star(X, Y, 120, 60, 8), g);
       }},
      {"furniture", "rug_long", 2, 1,
       [](TImage& Im, float X, float Y) {
         TMat r = Cloth(0x142a4a, 0x305a9a);
         r.Profile = TProfile::Flat;
         Fill(Im, Box(X, Y, 240, 104, 4), r);
         TMat g = Cloth(0x8a7a5a, 0xe8dcc0);
         g.Profile = TProfile::Flat;
         g.Ink = 0.3f;
         Fill(Im, Ring(Box(X, Y, 222, 86, 4), 8), g);
         Fill(Im, Star(X, Y, 60, 30, 4, 45), g);
       }},
      {"furniture", "dining_set", 2, 2,
       [](TImage& Im, float X, float Y) {
         for (int i = 0; i < 4; ++i) {
           const float a = float(i) * 90.0f;
           Chair(Im, X + std::sin(a * kPi / 180) * 170, Y - std::cos(a * kPi / 180) * 170, a);
         }
         Raised(Im, Box(X, Y, 130, 130, 10), Oak(), 10);
       }},
      // Storage.
      {"storage", "barrel", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 96), M(0x4a2c14, 0x8c5a30, TTex::Wood, 40, TProfile::Dome, 8, 90));
         Fill(Im, Ring(Circle(X, Y, 96), 10), Iron());
         Fill(Im, Ring(Circle(X, Y, 60), 6), Iron());
       }},
      {"storage", "barrel_open", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 96), M(0x4a2c14, 0x8c5a30, TTex::Wood, 10, TProfile::Bevel, 8, 90));
         Fill(Im, Circle(X, Y, 78), Water());
         Fill(Im, Ring(Circle(X, Y, 96), 10), Iron());
       }},
      {"storage", "crate", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 96, 96, 4), Oak(0));
         Fill(Im, Ring(Box(X, Y, 96, 96, 4), 16), DarkWood(90));
         Raised(Im, Box(X, Y, 12, 118, 2, 45), DarkWood(45), 2);
       }},
      {"storage", "crates_stacked", 2, 2,
       [](TImage& Im, float X, float Y) {
         const float pos[][3] = {{-110, 90, 4}, {100, 100, -6}, {-90, -100, 8}, {40, -20, 15}};
         for (int i = 0; i < 4; ++i) {
           const float cx = X + pos[i][0], cy = Y + pos[i][1], a = pos[i][2];
           Raised(Im, Box(cx, cy, 96, 96, 4, a), WithSeed(Oak(a), uint32_t(i + 2)),
                  i == 3 ? 26 : 6);
           Fill(Im, Ring(Box(cx, cy, 96, 96, 4, a), 16), DarkWood(a + 90));
           Fill(Im, Box(cx, cy, 12, 118, 2, a + 45), DarkWood(a + 45));
         }
       }},
      {"storage", "sack", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Rough(Ellipse(X, Y + 6, 86, 74, 10), 6, 30, 9),
              M(0x6a5434, 0xc0a474, TTex::Cloth, 40, TProfile::Dome, 30));
         Raised(Im, Circle(X - 10, Y - 56, 18),
                M(0x5a4424, 0xa08454, TTex::Cloth, 12, TProfile::Dome, 10), 8);
       }},
      {"storage", "sacks", 2, 1,
       [](TImage& Im, float X, float Y) {
         for (int i = 0; i < 3; ++i)
           Raised(Im,
                  Rough(Ellipse(X - 150 + float(i) * 150, Y + float(i % 2) * 20 - 10, 86, 70,
                                float(i) * 30),
                        6, 30, uint32_t(9 + i)),
                  WithSeed(M(0x6a5434, 0xc0a474, TTex::Cloth, 40, TProfile::Dome, 30), uint32_t(i)),
                  8);
       }},
      {"storage", "urn", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 80), M(0x7a3a1e, 0xd07a48, TTex::Plain, 60, TProfile::Dome));
         Fill(Im, Circle(X, Y, 34), M(0x1a0c06, 0x3a1e10, TTex::Plain, 10, TProfile::Dome));
         Fill(Im, Ring(Circle(X, Y, 40), 8), M(0x7a3a1e, 0xe08a58, TTex::Plain, 4, TProfile::Dome));
       }},
      {"storage", "basket", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Ellipse(X, Y, 84, 72),
              M(0x6a4a1a, 0xc89a50, TTex::Cloth, 12, TProfile::Bevel, 8));
         Fill(Im, Ellipse(X, Y, 64, 52), M(0x4a3010, 0x8a6a30, TTex::Cloth, 20, TProfile::Flat, 8));
         for (int i = 0; i < 5; ++i)
           Raised(Im, Circle(X - 30 + float(i % 3) * 28, Y - 16 + float(i / 3) * 34, 18),
                  M(0x7a1010, 0xe04030, TTex::Plain, 14, TProfile::Dome), 4);
       }},
      // Dungeon.
      {"dungeon", "rubble_small", 1, 1,
       [](TImage& Im, float X, float Y) { Stones(Im, X, Y, 9, 70, 26, 31, Granite()); }},
      {"dungeon", "rubble_large", 2, 2,
       [](TImage& Im, float X, float Y) { Stones(Im, X, Y, 26, 190, 46, 57, Granite()); }},
      {"dungeon", "bones", 1, 1,
       [](TImage& Im, float X, float Y) {
         const float b[][4] = {
             {-70, -30, 60, 10}, {-40, 50, 70, -20}, {-60, 40, 30, -60}, {10, -70, 70, 20}};
         for (int i = 0; i < 4; ++i) {
           const float x1 = X + b[i][0], y1 = Y + b[i][1], x2 = X + b[i][2], y2 = Y + b[i][3];
           TSdf s =
               Union(Capsule(x1, y1, x2, y2, 7), Union(Circle(x1, y1, 12), Circle(x2, y2, 12)));
           Raised(Im, s, Bone(), 5);
         }
       }},
      {"dungeon", "skull", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Union(Ellipse(X, Y - 10, 56, 64), Box(X, Y + 50, 30, 22, 10)), Bone());
         const TMat hole = M(0x1a1610, 0x3a3428, TTex::Plain, 6, TProfile::Dome);
         Fill(Im, Ellipse(X - 22, Y + 14, 14, 12), hole);
         Fill(Im, Ellipse(X + 22, Y + 14, 14, 12), hole);
       }},
      {"dungeon", "pillar_round", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 110), Granite());
         Raised(Im, Circle(X, Y, 86), WithSeed(Granite(), 4), 10);
       }},
      {"dungeon", "pillar_square", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 112, 112, 4),
              M(0x5e5b57, 0xa9a49c, TTex::Stone, 10, TProfile::Bevel, 30));
         Raised(Im, Box(X, Y, 86, 86, 3),
                WithSeed(M(0x5e5b57, 0xb0aba4, TTex::Stone, 10, TProfile::Bevel, 30), 7), 10);
       }},
      {"dungeon", "statue", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 112, 112, 6),
              M(0x55524e, 0x9a958e, TTex::Stone, 10, TProfile::Bevel, 30));
         const TMat st = M(0x6a6a70, 0xc8c8d0, TTex::Stone, 30, TProfile::Dome, 40);
         Raised(Im, Ellipse(X, Y + 6, 74, 46), st, 18);
         Raised(Im, Circle(X, Y - 4, 30), WithSeed(st, 3), 28);
       }},
      {"dungeon", "altar", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 200, 90, 6),
              M(0x4e4a46, 0x9a948c, TTex::Stone, 10, TProfile::Bevel, 30));
         Fill(Im, Box(X, Y, 180, 70, 4), Cloth(0x3a0c0c, 0x8a1e1e));
         for (float dx : {-140.0f, 140.0f}) {
           Raised(Im, Circle(X + dx, Y, 14), M(0xb0a080, 0xf8f0d8, TTex::Plain, 8, TProfile::Dome),
                  6);
           Fill(Im, Circle(X + dx, Y, 6), Flame());
         }
         Raised(Im, Circle(X, Y, 28), Brass(), 8);
       }},
      {"dungeon", "brazier", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 86), Iron());
         Fill(Im, Circle(X, Y, 70), M(0x2a1008, 0x6a2810, TTex::Stone, 20, TProfile::Flat, 10));
         Fill(Im, Rough(Circle(X, Y, 50), 12, 16, 3), Flame());
         Fill(Im, Rough(Circle(X - 4, Y - 4, 24), 8, 10, 5),
              M(0xffd060, 0xfffce0, TTex::Plain, 20, TProfile::Dome));
       }},
      {"dungeon", "sarcophagus", 1, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 100, 220, 10),
              M(0x4e4a46, 0x9a948c, TTex::Stone, 10, TProfile::Bevel, 30));
         const TMat lid = M(0x5a5a60, 0xb8b8c0, TTex::Stone, 24, TProfile::Dome, 40);
         Raised(Im, Union(Ellipse(X, Y - 130, 50, 56), Box(X, Y + 30, 66, 150, 30)), lid, 8);
         Fill(Im, Box(X, Y + 40, 6, 80), M(0x3a3a40, 0x6a6a70));
         Fill(Im, Box(X, Y + 10, 40, 6), M(0x3a3a40, 0x6a6a70));
       }},
      {"dungeon", "trapdoor", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 110, 110, 4), DarkWood(90));
         for (float dx : {-56.0f, 0.0f, 56.0f}) Fill(Im, Box(X + dx, Y, 1.5f, 108), DarkWood());
         for (float dy : {-70.0f, 70.0f}) Raised(Im, Box(X, Y + dy, 104, 10, 2), Iron(), 3);
         Raised(Im, Ring(Circle(X + 80, Y, 16), 5), Iron(), 4);
       }},
      {"dungeon", "well", 2, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 200), M(0x54504a, 0xa09a90, TTex::Stone, 30, TProfile::Dome, 24));
         Fill(Im, Circle(X, Y, 140), M(0x050608, 0x1a2028, TTex::Stone, 60, TProfile::Flat, 60));
         Fill(Im, Circle(X + 10, Y + 10, 100), WithSeed(Water(), 3));
         Raised(Im, Box(X, Y, 220, 14, 4), DarkWood(), 30);
       }},
      {"dungeon", "cage", 1, 1,
       [](TImage& Im, float X, float Y) {
         const TMat bar = Iron();
         for (int i = -3; i <= 3; ++i) {
           Raised(Im, Box(X + float(i) * 30, Y, 4, 100, 2), bar, 4);
           Raised(Im, Box(X, Y + float(i) * 30, 100, 4, 2), bar, 4);
         }
         Raised(Im, Ring(Box(X, Y, 108, 108, 6), 10), bar, 6);
       }},
      {"dungeon", "spikes", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 110, 110, 4),
              M(0x2a2826, 0x4a4744, TTex::Stone, 4, TProfile::Bevel, 20));
         for (int i = 0; i < 16; ++i)
           Fill(Im, Star(X - 84 + float(i % 4) * 56, Y - 84 + float(i / 4) * 56, 18, 4, 4, 45),
                Iron());
       }},
      {"dungeon", "chains", 1, 1,
       [](TImage& Im, float X, float Y) {
         for (int i = 0; i < 7; ++i) {
           const float t = float(i) / 6.0f;
           const float cx = X - 90 + t * 180, cy = Y - 30 + std::sin(t * kPi) * 60;
           Raised(Im, Ring(Ellipse(cx, cy, 22, 13, i % 2 ? 60.0f : -20.0f), 6), Iron(), 4);
         }
       }},
      // Nature.
      {"nature", "tree_oak", 2, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X + 10, Y + 10, 40), DarkWood());
         for (int i = 0; i < 7; ++i) {
           const float a = float(i) * 2 * kPi / 7, r = i == 0 ? 0.0f : 110.0f;
           Raised(Im,
                  Rough(Circle(X + std::cos(a) * r * 0.8f, Y + std::sin(a) * r * 0.8f, 110), 16, 36,
                        uint32_t(i)),
                  WithSeed(Foliage(0x1e3a12, 0x5c8c30), uint32_t(i)), 14);
         }
         Raised(Im, Rough(Circle(X - 20, Y - 20, 90), 14, 30, 41), Foliage(0x2e5218, 0x7aa840), 16);
       }},
      {"nature", "tree_pine", 2, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Rough(Star(X, Y, 200, 140, 11), 8, 20, 4), Foliage(0x0e2a18, 0x2e6038));
         Raised(Im, Rough(Star(X, Y, 140, 96, 9, 10), 6, 16, 5),
                WithSeed(Foliage(0x143a20, 0x3a7848), 2), 16);
         Raised(Im, Rough(Star(X, Y, 80, 50, 7, 20), 4, 12, 6),
                WithSeed(Foliage(0x1a4828, 0x4a9058), 3), 18);
       }},
      {"nature", "bush", 1, 1,
       [](TImage& Im, float X, float Y) {
         for (int i = 0; i < 5; ++i) {
           const float a = float(i) * 2 * kPi / 5;
           Raised(Im,
                  Rough(Circle(X + std::cos(a) * 40, Y + std::sin(a) * 40, 58), 10, 20,
                        uint32_t(i + 20)),
                  WithSeed(Foliage(0x22401a, 0x64943c), uint32_t(i)), 8);
         }
       }},
      {"nature", "rock_small", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Rough(Ellipse(X, Y, 84, 62, 20), 10, 40, 11),
              M(0x5a5650, 0xaaa49a, TTex::Stone, 40, TProfile::Dome, 26));
       }},
      {"nature", "rock_large", 2, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Rough(Ellipse(X, Y, 200, 150, -15), 22, 70, 12),
              M(0x504c46, 0xa29c92, TTex::Stone, 90, TProfile::Dome, 40));
         Raised(Im, Rough(Ellipse(X + 110, Y + 110, 60, 44, 30), 8, 30, 13), WithSeed(Granite(), 6),
                12);
       }},
      {"nature", "stump", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Rough(Circle(X, Y, 82), 8, 14, 2),
              M(0x2e1c0c, 0x5a3a1e, TTex::Fur, 14, TProfile::Dome));
         TMat rings = M(0x8a6434, 0xd8b078, TTex::Plain, 4, TProfile::Flat);
         Fill(Im, Circle(X, Y, 66), rings);
         for (float r : {50.0f, 34.0f, 18.0f})
           Fill(Im, Ring(Circle(X, Y, r), 2), M(0x6a4420, 0x8a6434));
       }},
      {"nature", "log", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 220, 56, 50), M(0x2e1c0c, 0x6a4424, TTex::Fur, 40, TProfile::Dome));
         Fill(Im, Ellipse(X + 186, Y, 30, 52),
              M(0x8a6434, 0xd8b078, TTex::Plain, 4, TProfile::Flat));
       }},
      {"nature", "mushrooms", 1, 1,
       [](TImage& Im, float X, float Y) {
         const float m[][3] = {{-40, -30, 34}, {30, -10, 26}, {-10, 40, 22}, {50, 50, 16}};
         for (int i = 0; i < 4; ++i) {
           Raised(Im, Circle(X + m[i][0], Y + m[i][1], m[i][2]),
                  M(0x7a1a10, 0xe05a3a, TTex::Plain, m[i][2], TProfile::Dome), 10);
           for (int k = 0; k < 3; ++k)
             Fill(Im,
                  Circle(X + m[i][0] + (Rand01(i, k, 8) - 0.5f) * m[i][2],
                         Y + m[i][1] + (Rand01(i, k, 9) - 0.5f) * m[i][2], m[i][2] * 0.14f),
                  M(0xc8c0b0, 0xfffcf0, TTex::Plain, 3, TProfile::Dome));
         }
       }},
      {"nature", "flowers", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Rough(Circle(X, Y, 80), 12, 18, 3), Foliage(0x1e4a14, 0x58902e));
         for (int i = 0; i < 9; ++i) {
           const float fx = X + (Rand01(i, 1, 5) - 0.5f) * 120,
                       fy = Y + (Rand01(i, 2, 5) - 0.5f) * 120;
           Raised(Im, Star(fx, fy, 16, 8, 5, float(i) * 20),
                  M(0x8a2a6a, 0xf07ad0, TTex::Plain, 8, TProfile::Dome), 4);
           Fill(Im, Circle(fx, fy, 4), M(0xa07a10, 0xffe060, TTex::Plain, 3, TProfile::Dome));
         }
       }},
      {"nature", "puddle", 1, 1,
       [](TImage& Im, float X, float Y) {
         TMat w = Water();
         w.Ink = 0.25f;
         Fill(Im, Rough(Ellipse(X, Y, 100, 70, 10), 14, 40, 7), w);
       }},
      {"nature", "reeds", 1, 1,
       [](TImage& Im, float X, float Y) {
         for (int i = 0; i < 14; ++i) {
           const float a = Rand01(i, 1, 3) * 2 * kPi, l = 50 + 50 * Rand01(i, 2, 3);
           Raised(Im, Capsule(X, Y, X + std::cos(a) * l, Y + std::sin(a) * l, 5),
                  M(0x3a4a14, 0x9aa448, TTex::Plain, 5, TProfile::Dome), 4);
         }
       }},
      // Decorations.
      {"decor", "candles", 1, 1,
       [](TImage& Im, float X, float Y) {
         const float c[][2] = {{-40, -26}, {34, -36}, {0, 40}};
         for (auto& p : c) {
           Raised(Im, Circle(X + p[0], Y + p[1], 24),
                  M(0xb8ac90, 0xfff8e8, TTex::Plain, 10, TProfile::Dome), 8);
           Fill(Im, Circle(X + p[0], Y + p[1], 9), Flame());
         }
       }},
      {"decor", "potted_plant", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Circle(X, Y, 64), M(0x7a3a1e, 0xd07a48, TTex::Plain, 12, TProfile::Bevel));
         for (int i = 0; i < 8; ++i) {
           const float a = float(i) * kPi / 4;
           Raised(Im, Ellipse(X + std::cos(a) * 46, Y + std::sin(a) * 46, 46, 16, float(i) * 45),
                  WithSeed(Foliage(0x1e4a14, 0x68a83a), uint32_t(i)), 10);
         }
       }},
      {"decor", "campfire", 1, 1,
       [](TImage& Im, float X, float Y) {
         for (int i = 0; i < 9; ++i) {
           const float a = float(i) * 2 * kPi / 9;
           Fill(Im,
                Rough(Circle(X + std::cos(a) * 84, Y + std::sin(a) * 84, 22), 4, 10, uint32_t(i)),
                WithSeed(Granite(), uint32_t(i)));
         }
         for (int i = 0; i < 4; ++i) {
           const float a = float(i) * kPi / 4 + 0.3f;
           Raised(Im,
                  Capsule(X - std::cos(a) * 60, Y - std::sin(a) * 60, X + std::cos(a) * 60,
                          Y + std::sin(a) * 60, 11),
                  M(0x1a0e06, 0x5a3a1e, TTex::Fur, 10, TProfile::Dome), 6);
         }
         Fill(Im, Rough(Circle(X, Y, 38), 10, 12, 3), Flame());
       }},
      {"decor", "fountain", 2, 2,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Star(X, Y, 220, 204, 8, 22.5f),
              M(0x6a6660, 0xc0bab0, TTex::Stone, 20, TProfile::Bevel, 30));
         Fill(Im, Star(X, Y, 190, 176, 8, 22.5f), Water());
         Raised(Im, Circle(X, Y, 60), M(0x6a6660, 0xc0bab0, TTex::Stone, 30, TProfile::Dome, 30),
                20);
         TMat spray = M(0x8ac0e0, 0xeaf6ff, TTex::Plain, 20, TProfile::Dome);
         spray.Ink = 0.2f;
         Fill(Im, Circle(X, Y, 24), spray);
       }},
      {"decor", "lantern", 1, 1,
       [](TImage& Im, float X, float Y) {
         TMat glow = M(0x8a5a10, 0xffe8a0, TTex::Plain, 40, TProfile::Dome);
         glow.Ink = 0;
         Fill(Im, Circle(X, Y, 40), glow);
         Raised(Im, Ring(Box(X, Y, 36, 36, 8), 8), Iron(), 6);
         Raised(Im, Circle(X, Y, 12), Iron(), 8);
       }},
      {"decor", "weapon_rack", 2, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y - 60, 220, 20, 4), DarkWood());
         for (int i = 0; i < 5; ++i) {
           const float sx = X - 160 + float(i) * 80;
           Raised(Im, Capsule(sx, Y - 90, sx + 10, Y + 80, 6), Oak(90), 10);
           Raised(Im, Star(sx, Y - 100, 22, 6, 2, 90), Iron(), 12);
         }
       }},
      {"decor", "banner", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Capsule(X - 110, Y - 70, X + 110, Y - 70, 8), DarkWood());
         TMat c = Cloth(0x4a1010, 0xa02424);
         Raised(Im, Cut(Box(X, Y, 90, 70, 4), Star(X, Y + 86, 40, 40, 3, 90)), c, 4);
         Fill(Im, Star(X, Y - 10, 32, 14, 5, -90),
              M(0x8a6a14, 0xf0c848, TTex::Plain, 4, TProfile::Flat));
       }},
      {"decor", "books", 1, 1,
       [](TImage& Im, float X, float Y) {
         const float b[][4] = {{-20, 20, 60, 10}, {10, -10, 54, -20}, {-10, -30, 46, 30}};
         const uint32_t col[][2] = {
             {0x3a0e0e, 0x8a2424}, {0x0e2a3a, 0x24648a}, {0x2a3a0e, 0x64882a}};
         for (int i = 0; i < 3; ++i) {
           Raised(Im, Box(X + b[i][0], Y + b[i][1], b[i][2], b[i][2] * 0.72f, 4, b[i][3]),
                  M(col[i][0], col[i][1], TTex::Cloth, 6), 8);
           Fill(Im, Box(X + b[i][0], Y + b[i][1], b[i][2] * 0.85f, b[i][2] * 0.6f, 2, b[i][3]),
                M(0xb0a488, 0xf0e8d8, TTex::Plain, 3, TProfile::Flat));
         }
       }},
      {"decor", "fur_rug", 2, 2,
       [](TImage& Im, float X, float Y) {
         TMat f = M(0x4a3420, 0x9a7450, TTex::Fur, 14, TProfile::Dome);
         Fill(Im,
              Rough(Union(Ellipse(X, Y, 150, 190),
                          Union(Union(Capsule(X - 130, Y - 150, X + 130, Y - 150, 34),
                                      Capsule(X - 130, Y + 140, X + 130, Y + 140, 34)),
                                Circle(X, Y - 190, 50))),
                    10, 8, 4),
              f);
       }},
      {"decor", "anvil", 1, 1,
       [](TImage& Im, float X, float Y) {
         Fill(Im, Box(X, Y, 70, 70, 6), DarkWood());
         Raised(Im, Union(Box(X + 10, Y, 70, 30, 6), Star(X - 70, Y, 40, 18, 2, 0)), Iron(), 16);
       }},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vc_asset_gen OUTDIR\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  int n = 0;
  for (const TProp& p : Props()) {
    TImage im(int(kCell) * p.CellsW, int(kCell) * p.CellsH);
    p.Draw(im, float(im.W) / 2, float(im.H) / 2);
    WritePng(im, out / p.Group / (std::string(p.Name) + ".png"));
    ++n;
  }
  std::printf("%d props written to %s\n", n, out.string().c_str());
  return 0;
}
