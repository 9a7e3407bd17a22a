#pragma once
// Seeded, periodic noise for the texture generator. Every function repeats with
// the texture's size, so the textures tile without seams: lattices wrap round
// and cell points are found modulo the size.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace texgen {

constexpr int kSize = 512;  // texture edge in pixels
constexpr double kPi = 3.14159265358979323846;

inline int Wrap(int V, int N) { return ((V % N) + N) % N; }

// A well-mixed 32-bit hash of a lattice point and a seed.
inline uint32_t Hash(int X, int Y, uint32_t Seed) {
  uint32_t h = Seed * 0x9E3779B1u ^ uint32_t(X) * 0x85EBCA77u ^ uint32_t(Y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}
// The hash as a number in [0, 1).
inline double Hash01(int X, int Y, uint32_t Seed) {
  return (Hash(X, Y, Seed) >> 8) * (1.0 / 16777216.0);
}

inline double Smooth(double T) { return T * T * T * (T * (T * 6 - 15) + 10); }
inline double Lerp(double A, double B, double T) { return A + (B - A) * T; }
inline double Clamp01(double V) { return std::clamp(V, 0.0, 1.0); }
inline double SmoothStep(double E0, double E1, double V) {
  const double t = Clamp01((V - E0) / (E1 - E0));
  return t * t * (3 - 2 * t);
}

// Value noise in [0, 1) on a lattice of Cells x Cells points spread over the
// texture; X and Y are texture pixels.
inline double ValueNoise(double X, double Y, int Cells, uint32_t Seed) {
  const double fx = X * Cells / kSize, fy = Y * Cells / kSize;
  const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
  const double tx = Smooth(fx - x0), ty = Smooth(fy - y0);
  auto v = [&](int i, int j) { return Hash01(Wrap(i, Cells), Wrap(j, Cells), Seed); };
  return Lerp(Lerp(v(x0, y0), v(x0 + 1, y0), tx), Lerp(v(x0, y0 + 1), v(x0 + 1, y0 + 1), tx), ty);
}

// Fractal sum of Octaves noises, the lattice doubling each octave from Cells;
// the result is in [0, 1].
inline double Fbm(double X, double Y, int Cells, int Octaves, uint32_t Seed, double Gain = 0.5) {
  double sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < Octaves; ++o) {
    sum += amp * ValueNoise(X, Y, Cells << o, Seed + uint32_t(o) * 131u);
    norm += amp;
    amp *= Gain;
  }
  return sum / norm;
}

// Ridged fractal noise: sharp crests where the noise crosses its middle.
inline double Ridged(double X, double Y, int Cells, int Octaves, uint32_t Seed) {
  double sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < Octaves; ++o) {
    const double n = 1 - std::abs(ValueNoise(X, Y, Cells << o, Seed + uint32_t(o) * 977u) * 2 - 1);
    sum += amp * n * n;
    norm += amp;
    amp *= 0.5;
  }
  return sum / norm;
}

// The nearest cell points of a periodic jittered grid of Cells x Cells points.
struct TCellHit {
  double F1 = 1e9, F2 = 1e9;  // distances to the nearest and second nearest point
  double Edge = 1e9;          // distance to the nearest cell border
  uint32_t Id = 0;            // the nearest point's cell (stable over the tiling)
  double Dx = 0, Dy = 0;      // from the nearest point to the pixel
};

inline TCellHit Cellular(double X, double Y, int Cells, uint32_t Seed, double Jitter = 0.9) {
  const double step = double(kSize) / Cells;
  const int cx = int(std::floor(X / step)), cy = int(std::floor(Y / step));
  double px[25], py[25];
  uint32_t ids[25];
  int n = 0, best = 0;
  TCellHit hit;
  for (int j = -2; j <= 2; ++j)
    for (int i = -2; i <= 2; ++i) {
      const int gx = cx + i, gy = cy + j, wx = Wrap(gx, Cells), wy = Wrap(gy, Cells);
      const double ox = 0.5 + (Hash01(wx, wy, Seed) - 0.5) * Jitter;
      const double oy = 0.5 + (Hash01(wx, wy, Seed + 7u) - 0.5) * Jitter;
      px[n] = (gx + ox) * step;
      py[n] = (gy + oy) * step;
      ids[n] = uint32_t(wy * Cells + wx);
      const double d = std::hypot(X - px[n], Y - py[n]);
      if (d < hit.F1) {
        hit.F2 = hit.F1;
        hit.F1 = d;
        best = n;
      } else if (d < hit.F2) {
        hit.F2 = d;
      }
      ++n;
    }
  hit.Id = ids[best];
  hit.Dx = X - px[best];
  hit.Dy = Y - py[best];
  // The distance to the border with each other cell is the distance to the
  // bisector of the two points.
  for (int k = 0; k < n; ++k) {
    if (k == best) continue;
    const double ex = px[k] - px[best], ey = py[k] - py[best], len = std::hypot(ex, ey);
    if (len <= 0) continue;
    const double mx = (px[k] + px[best]) / 2, my = (py[k] + py[best]) / 2;
    hit.Edge = std::min(hit.Edge, ((mx - X) * ex + (my - Y) * ey) / len);
  }
  return hit;
}

struct TRgb {
  double R = 0, G = 0, B = 0;
};
inline TRgb Rgb(uint32_t Hex) {
  return {double((Hex >> 16) & 255) / 255, double((Hex >> 8) & 255) / 255, double(Hex & 255) / 255};
}
inline TRgb Mix(TRgb A, TRgb B, double T) {
  return {Lerp(A.R, B.R, T), Lerp(A.G, B.G, T), Lerp(A.B, B.B, T)};
}
inline TRgb Scale(TRgb A, double K) { return {A.R * K, A.G * K, A.B * K}; }
inline TRgb Add(TRgb A, TRgb B) { return {A.R + B.R, A.G + B.G, A.B + B.B}; }

}  // namespace texgen
