#include "texture_recipes.h"

#include <cmath>

namespace texgen {

namespace {

// A small periodic displacement that makes straight cell borders irregular.
double Warp(double X, double Y, uint32_t Seed, double Amount) {
  return (Fbm(X, Y, 8, 3, Seed) - 0.5) * Amount;
}
// Per-pixel grain: a tiny brightness change that keeps flat areas from looking
// painted.
double Grain(double X, double Y, uint32_t Seed, double Amount) {
  return 1 + (Hash01(int(X), int(Y), Seed) - 0.5) * Amount;
}

// Darkens towards a border: 1 from Width pixels away, Low at the border.
double Bevel(double Edge, double Width, double Low) {
  return Lerp(Low, 1.0, SmoothStep(0, Width, Edge));
}

TRgb Flagstones(double X, double Y, uint32_t S) {
  const double wx = X + Warp(X, Y, S + 1, 16), wy = Y + Warp(X, Y, S + 2, 16);
  const TCellHit h = Cellular(wx, wy, 5, S, 0.75);
  const double grain = Fbm(X, Y, 16, 4, S + 5);
  const TRgb slab = Mix(Rgb(0x75716a), Rgb(0xa29c90), Hash01(int(h.Id), 1, S));
  const double worn = Fbm(X, Y, 4, 3, S + 9);
  TRgb c = Scale(slab, (0.78 + 0.34 * grain) * (0.92 + 0.16 * worn) * Grain(X, Y, S, 0.10));
  if (h.Edge < 2.2) return Scale(Rgb(0x3a3631), 0.8 + 0.4 * grain);
  return Scale(c, Bevel(h.Edge - 2.2, 4, 0.72));
}

TRgb Cobblestones(double X, double Y, uint32_t S) {
  const double wx = X + Warp(X, Y, S + 1, 8), wy = Y + Warp(X, Y, S + 2, 8);
  const TCellHit h = Cellular(wx, wy, 16, S, 0.8);
  const double grain = Fbm(X, Y, 32, 3, S + 5);
  if (h.Edge < 2.0) return Scale(Rgb(0x3d362d), 0.75 + 0.5 * grain);
  const double r = 16.0;
  const double dome = Clamp01(1 - (h.F1 / r) * (h.F1 / r));
  const double light = Clamp01(0.5 - (h.Dx + h.Dy) / (4 * r));
  const TRgb stone = Mix(Rgb(0x6b6a66), Rgb(0x9d978b), Hash01(int(h.Id), 3, S));
  const double k = (0.62 + 0.3 * dome + 0.25 * light) * (0.85 + 0.3 * grain) * Grain(X, Y, S, 0.08);
  return Scale(Scale(stone, k), Bevel(h.Edge - 2.0, 3, 0.7));
}

TRgb BrickFloor(double X, double Y, uint32_t S) {
  const double y = Y + 7, row = std::floor(y / 32);
  const double x = X + 5 + (int(row) % 2) * 32;
  const double lx = std::fmod(x, 64), ly = std::fmod(y, 32);
  const int bx = Wrap(int(std::floor(x / 64)), 8), by = Wrap(int(row), 16);
  const double grain = Fbm(X, Y, 32, 3, S + 5);
  if (lx < 3 || ly < 3) return Scale(Rgb(0x938a7b), 0.8 + 0.35 * grain);
  const double edge = std::min({lx - 3, ly - 3, 64 - lx, 32 - ly});
  const TRgb brick = Mix(Rgb(0x843a27), Rgb(0xb3643f), Hash01(bx, by, S));
  const double soot = Fbm(X, Y, 4, 3, S + 8);
  return Scale(brick, (0.8 + 0.3 * grain) * (0.88 + 0.2 * soot) * Bevel(edge, 3, 0.75) *
                          Grain(X, Y, S, 0.10));
}

// Wood grain along y: fibres, a few darker streaks and growth rings across the
// board (Across: the position across the board, continuous over the tiling).
double WoodFibres(double X, double Y, double Across, uint32_t S) {
  const double fibre = ValueNoise(X * 8, Y, 16, S);
  const double streak = Fbm(X * 2, Y, 4, 3, S + 1);
  const double rings = 0.5 + 0.5 * std::sin(2 * kPi * (Across / 7 + 3 * streak));
  return 0.55 * fibre + 0.25 * rings + 0.2 * streak;
}

TRgb WoodenPlanks(double X, double Y, uint32_t S) {
  const double x = X + 3;
  const int col = Wrap(int(std::floor(x / 32)), 16);
  const double lx = std::fmod(x, 32);
  // Two plank ends per column, staggered from column to column.
  const double b1 = Hash01(col, 0, S) * kSize;
  const double b2 = std::fmod(b1 + 170 + Hash01(col, 1, S) * 170, kSize);
  auto dist = [](double A, double B) {
    const double d = std::abs(A - B);
    return std::min(d, kSize - d);
  };
  const bool second = std::fmod(Y - b1 + kSize, kSize) > std::fmod(b2 - b1 + kSize, kSize);
  const double end = std::min(dist(Y, b1), dist(Y, b2));
  if (lx < 1.5 || end < 1.0) return Rgb(0x2e1d10);
  const TRgb tone = Mix(Rgb(0x74492a), Rgb(0xa87646), Hash01(col, second ? 5 : 4, S));
  const double f = WoodFibres(X, Y, lx, S + uint32_t(col) * 3 + (second ? 1 : 0));
  const double edge = std::min({lx - 1.5, 32 - lx, end - 1});
  return Scale(tone, (0.75 + 0.4 * f) * Bevel(edge, 2.5, 0.8) * Grain(X, Y, S, 0.06));
}

TRgb Parquet(double X, double Y, uint32_t S) {
  const double x = X + 2, y = Y + 2;
  const int bx = Wrap(int(std::floor(x / 64)), 8), by = Wrap(int(std::floor(y / 64)), 8);
  const double lx = std::fmod(x, 64), ly = std::fmod(y, 64);
  const bool vertical = (bx + by) % 2 == 0;
  const double across = vertical ? lx : ly;
  const int strip = int(across / 16);
  const double ls = std::fmod(across, 16);
  const double border = std::min({lx, ly, 64 - lx, 64 - ly});
  if (ls < 1 || border < 1) return Rgb(0x3a2414);
  const TRgb tone = Mix(Rgb(0x8a5a2e), Rgb(0xbd8a52), Hash01(bx * 4 + strip, by, S));
  const double f = vertical ? WoodFibres(X, Y, ls, S + uint32_t(strip))
                            : WoodFibres(Y, X, ls, S + uint32_t(strip) + 9);
  const double edge = std::min({ls - 1, 16 - ls, border - 1});
  return Scale(tone, (0.78 + 0.35 * f) * Bevel(edge, 2, 0.82) * Grain(X, Y, S, 0.05));
}

// Small stones scattered over soil: the stone's colour, or nothing (Weight 0).
TRgb Pebbles(double X, double Y, uint32_t S, int Cells, double Size, double Share, double& Weight) {
  const TCellHit h = Cellular(X, Y, Cells, S, 0.9);
  const double r = Size * (0.6 + 0.8 * Hash01(int(h.Id), 2, S));
  Weight = 0;
  if (Hash01(int(h.Id), 5, S) > Share || h.F1 > r) return {};
  Weight = SmoothStep(r, r - 1.2, h.F1);
  const double light = Clamp01(0.6 - (h.Dx + h.Dy) / (3 * r));
  return Scale(Mix(Rgb(0x5a4c3c), Rgb(0x8a7a64), Hash01(int(h.Id), 6, S)), 0.7 + 0.45 * light);
}

TRgb Dirt(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 4, 6, S);
  TRgb c = Mix(Rgb(0x4f3a29), Rgb(0x8f6e4a), n);
  const double patch = Fbm(X, Y, 3, 3, S + 9);
  c = Scale(c, 0.85 + 0.25 * SmoothStep(0.35, 0.7, patch));
  double w = 0;
  const TRgb p = Pebbles(X, Y, S + 3, 32, 3.5, 0.3, w);
  c = Mix(c, p, w);
  return Scale(c, Grain(X, Y, S, 0.14));
}

TRgb Mud(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 4, 5, S);
  TRgb c = Mix(Rgb(0x3a2e21), Rgb(0x5f4a33), n);
  const double wet = Fbm(X, Y, 4, 4, S + 4);
  const double puddle = SmoothStep(0.58, 0.63, wet);
  const double sheen = Ridged(X, Y, 8, 3, S + 6);
  TRgb water = Add(Rgb(0x241d16), Scale(Rgb(0x6f665a), 0.35 * sheen * sheen * sheen));
  c = Mix(Scale(c, 1 - 0.3 * SmoothStep(0.42, 0.58, wet)), water, puddle);
  // Tracks pressed into the mud.
  const double ruts =
      0.5 + 0.5 * std::sin(2 * kPi * (Y * 9 / kSize + 0.6 * Fbm(X, Y, 2, 3, S + 7)));
  c = Scale(c, 1 - 0.08 * ruts * (1 - puddle));
  return Scale(c, Grain(X, Y, S, 0.10));
}

TRgb Grass(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 4, 4, S);
  TRgb c = Mix(Rgb(0x2f5420), Rgb(0x5b8a33), n);
  // Blades: fine streaks leaning two ways.
  const double a = ValueNoise(X * 4 + Y, Y, 64, S + 1);
  const double b = ValueNoise(X * 4 - Y, Y, 64, S + 2);
  const double blade = std::max(a, b);
  c = Scale(c, 0.62 + 0.62 * blade);
  const double dry = SmoothStep(0.58, 0.72, Fbm(X, Y, 3, 3, S + 3));
  c = Mix(c, Scale(Rgb(0x8c9447), 0.7 + 0.5 * blade), 0.6 * dry);
  const double clover = SmoothStep(0.7, 0.8, Fbm(X, Y, 16, 2, S + 4));
  c = Mix(c, Scale(Rgb(0x28461a), 0.8 + 0.3 * blade), 0.5 * clover);
  return Scale(c, Grain(X, Y, S, 0.12));
}

TRgb Sand(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 4, 4, S);
  TRgb c = Mix(Rgb(0xbfa373), Rgb(0xdcc696), n);
  const double warp = Fbm(X, Y, 2, 3, S + 2);
  const double ripple =
      0.5 + 0.5 * std::sin(2 * kPi * (Y * 18 / kSize + X * 2 / kSize + 2.5 * warp));
  c = Scale(c, 0.9 + 0.13 * ripple * ripple);
  return Scale(c, Grain(X, Y, S, 0.16));
}

TRgb ShallowWater(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 3, 4, S);
  TRgb bottom = Mix(Rgb(0x3f8a86), Rgb(0x6eaf9c), n);
  const double sandy = SmoothStep(0.5, 0.75, Fbm(X, Y, 2, 3, S + 5));
  bottom = Mix(bottom, Rgb(0x8db08a), 0.45 * sandy);
  const double wx = X + Warp(X, Y, S + 1, 24), wy = Y + Warp(X, Y, S + 2, 24);
  const TCellHit h = Cellular(wx, wy, 12, S + 3, 0.9);
  const double caustic = 1 - SmoothStep(0, 4.5, h.Edge);
  return Mix(bottom, Rgb(0xc8eee2), 0.5 * caustic * (0.6 + 0.4 * n));
}

TRgb DeepWater(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 3, 5, S);
  TRgb c = Mix(Rgb(0x0c2746), Rgb(0x1d4c7a), n);
  const double wave = Ridged(X * 2, Y, 3, 3, S + 1);
  c = Mix(c, Rgb(0x4f82b0), 0.35 * std::pow(wave, 4));
  return Scale(c, Grain(X, Y, S, 0.04));
}

TRgb CaveRock(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 4, 5, S);
  TRgb c = Mix(Rgb(0x4a443d), Rgb(0x7d7468), n);
  c = Scale(c, 0.72 + 0.38 * Ridged(X, Y, 3, 4, S + 1));
  const double wx = X + Warp(X, Y, S + 2, 30), wy = Y + Warp(X, Y, S + 3, 30);
  const TCellHit h = Cellular(wx, wy, 6, S + 4, 0.9);
  if (h.Edge < 1.3 && Hash01(int(h.Id), 1, S) < 0.6) c = Scale(c, 0.55);
  double w = 0;
  c = Mix(c, Pebbles(X, Y, S + 5, 32, 3.5, 0.3, w), w * 0.8);
  return Scale(c, Grain(X, Y, S, 0.12));
}

TRgb MarbleTiles(double X, double Y, uint32_t S) {
  // The picture's edges run through the middle of tiles, away from the grout.
  const double x = X + 64, y = Y + 64;
  const int tx = Wrap(int(std::floor(x / 128)), 4), ty = Wrap(int(std::floor(y / 128)), 4);
  const double lx = std::fmod(x, 128), ly = std::fmod(y, 128);
  if (lx < 2 || ly < 2) return Rgb(0x77736c);
  const bool white = (tx + ty) % 2 == 0;
  const double n = Fbm(X, Y, 4, 5, S + uint32_t(tx * 4 + ty));
  const double v = std::sin(2 * kPi * ((X + 2 * Y) * 2 / kSize) + 9 * n);
  const double vein = std::pow(1 - std::abs(v), 10);
  TRgb c = white ? Mix(Rgb(0xd9d4ca), Rgb(0xf0ece5), n) : Mix(Rgb(0x807d79), Rgb(0xa5a29c), n);
  c = Mix(c, white ? Rgb(0x7d766d) : Rgb(0xdedad2), 0.55 * vein);
  const double edge = std::min({lx - 2, ly - 2, 128 - lx, 128 - ly});
  return Scale(c, Bevel(edge, 3, 0.85) * Grain(X, Y, S, 0.03));
}

TRgb Carpet(double X, double Y, uint32_t S) {
  const double cx = std::fmod(X + 32, 64) - 32, cy = std::fmod(Y + 32, 64) - 32;
  const double d = std::abs(cx) + std::abs(cy);
  TRgb c = Rgb(0x7a1d1b);
  if (std::abs(d - 29) < 2.5)
    c = Rgb(0xc29a4a);
  else if (d < 3)
    c = Rgb(0xc29a4a);
  else if (d < 10)
    c = Rgb(0x23305a);
  else if (d > 14 && d < 19)
    c = Rgb(0x9b2c26);
  // Woven threads and wear.
  const double weave = ((int(X) + int(Y)) % 2 == 0) ? 1.04 : 0.96;
  const double wear = Fbm(X, Y, 4, 4, S);
  c = Mix(Scale(c, 0.85), Scale(c, 1.1), wear);
  return Scale(c, weave * Grain(X, Y, S, 0.12));
}

TRgb Snow(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 3, 5, S);
  TRgb c = Mix(Rgb(0xc9d5e4), Rgb(0xfafcff), n);
  const double drift = Ridged(X, Y, 2, 3, S + 1);
  c = Mix(c, Rgb(0xaebfd6), 0.3 * std::pow(drift, 3));
  if (Hash01(int(X), int(Y), S + 2) > 0.996) c = Rgb(0xffffff);
  return Scale(c, Grain(X, Y, S, 0.04));
}

TRgb Lava(double X, double Y, uint32_t S) {
  const double wx = X + Warp(X, Y, S + 1, 22), wy = Y + Warp(X, Y, S + 2, 22);
  const TCellHit h = Cellular(wx, wy, 7, S, 0.85);
  const double n = Fbm(X, Y, 8, 4, S + 3);
  const TRgb crust =
      Scale(Mix(Rgb(0x1c1310), Rgb(0x45302a), n), 0.8 + 0.4 * Ridged(X, Y, 6, 3, S + 4));
  const double pool = SmoothStep(0.62, 0.7, Fbm(X, Y, 3, 3, S + 5));
  const double glow = std::max(1 - SmoothStep(0, 6 + 5 * n, h.Edge), pool);
  // Heat ramp: dark red, orange, yellow.
  const TRgb hot = glow < 0.5 ? Mix(Rgb(0x8a1a05), Rgb(0xf06010), glow * 2)
                              : Mix(Rgb(0xf06010), Rgb(0xffd250), (glow - 0.5) * 2);
  return Mix(crust, hot, std::pow(glow, 1.3));
}

TRgb RoughRock(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 4, 6, S);
  TRgb c = Mix(Rgb(0x2c2926), Rgb(0x5c5751), n);
  c = Scale(c, 0.7 + 0.5 * Ridged(X, Y, 4, 5, S + 1));
  return Scale(c, Grain(X, Y, S, 0.10));
}

TRgb Masonry(double X, double Y, uint32_t S) {
  const double y = Y + 5, row = std::floor(y / 32);
  const double x = X + 6 + (int(row) % 2) * 32;
  const double lx = std::fmod(x, 64), ly = std::fmod(y, 32);
  const int bx = Wrap(int(std::floor(x / 64)), 8), by = Wrap(int(row), 16);
  const double grain = Fbm(X, Y, 16, 4, S + 2);
  if (lx < 3 || ly < 3) return Scale(Rgb(0x1f1d1b), 0.8 + 0.4 * grain);
  const TRgb block = Mix(Rgb(0x48453f), Rgb(0x6e6962), Hash01(bx, by, S));
  // Light from the top left: brighter top and left edges, darker bottom and right.
  const double lit = 1 + 0.18 * (1 - SmoothStep(0, 3, std::min(lx - 3, ly - 3))) -
                     0.25 * (1 - SmoothStep(0, 3, std::min(64 - lx, 32 - ly)));
  return Scale(block, (0.78 + 0.4 * grain) * lit * Grain(X, Y, S, 0.10));
}

TRgb CaveWall(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 3, 6, S);
  TRgb c = Mix(Rgb(0x271f18), Rgb(0x5b4838), n);
  c = Scale(c, 0.65 + 0.5 * Ridged(X, Y, 3, 5, S + 1));
  const double strata =
      0.5 + 0.5 * std::sin(2 * kPi * (Y * 6 / kSize + 0.7 * Fbm(X, Y, 2, 3, S + 2)));
  c = Scale(c, 0.9 + 0.15 * strata);
  return Scale(c, Grain(X, Y, S, 0.10));
}

// A floor for home printers: the picture of Recipe with its darkness cut to
// Keep of what it was.
TRgb Pale(TRgb C, double Keep) {
  return {1 - (1 - C.R) * Keep, 1 - (1 - C.G) * Keep, 1 - (1 - C.B) * Keep};
}

TRgb PaleFlagstones(double X, double Y, uint32_t S) { return Pale(Flagstones(X, Y, S), 0.3); }
TRgb PalePlanks(double X, double Y, uint32_t S) { return Pale(WoodenPlanks(X, Y, S), 0.3); }
// Paper white with faint fibres.
TRgb Paper(double X, double Y, uint32_t S) {
  const double n = Fbm(X, Y, 8, 4, S);
  return Pale(Rgb(0xd8d4cc), 0.08 + 0.1 * n);
}

}  // namespace

const std::vector<TTextureRecipe>& AllRecipes() {
  static const std::vector<TTextureRecipe> all = {
      {"flagstones", 101, Flagstones},
      {"cobblestones", 102, Cobblestones},
      {"brick_floor", 103, BrickFloor},
      {"wooden_planks", 104, WoodenPlanks},
      {"parquet", 105, Parquet},
      {"dirt", 106, Dirt},
      {"mud", 107, Mud},
      {"grass", 108, Grass},
      {"sand", 109, Sand},
      {"shallow_water", 110, ShallowWater},
      {"deep_water", 111, DeepWater},
      {"cave_rock", 112, CaveRock},
      {"marble_tiles", 113, MarbleTiles},
      {"carpet", 114, Carpet},
      {"snow", 115, Snow},
      {"lava", 116, Lava},
      {"wall_rough_rock", 201, RoughRock},
      {"wall_masonry", 202, Masonry},
      {"wall_cave", 203, CaveWall},
  };
  return all;
}

}  // namespace texgen
