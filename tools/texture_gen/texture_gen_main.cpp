// Writes the bundled textures: vellumcraft-textures OUT_DIR [--preview DIR]
// Every texture is 512 x 512, seeded and made from periodic noise, so a run
// always gives the same pictures and each one tiles without seams. With
// --preview, each texture is also written tiled 3 x 3 with grid lines every 50
// and every 100 pixels, to judge how it reads at those cell sizes.

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "map/codec/image_file.h"
#include "map/raster/bitmap32.h"
#include "texture_recipes.h"

namespace {

uint8_t Channel(double V) { return uint8_t(std::lround(texgen::Clamp01(V) * 255)); }

void Render(const texgen::TTextureRecipe& R, TBitmap32& Image) {
  using texgen::kSize;
  Image.SetSize(kSize, kSize);
#pragma omp parallel for schedule(dynamic, 8)
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const texgen::TRgb c = R.Colour(x + 0.5, y + 0.5, R.Seed);
      Image.Pixel(x, y) = MakeColor(Channel(c.R), Channel(c.G), Channel(c.B), 255);
    }
}

void WritePreview(const TBitmap32& Tile, int Cell, const std::string& Path) {
  const int n = Tile.Width() * 3;
  TBitmap32 out;
  out.SetSize(n, n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      TColor32 p = Tile.Pixel(x % Tile.Width(), y % Tile.Height());
      if (x % Cell == 0 || y % Cell == 0) p = BlendPixel(0x80000000u, p);
      out.Pixel(x, y) = p;
    }
  SavePNGFile(out, Path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--preview")) {
    std::fprintf(stderr, "usage: %s OUT_DIR [--preview DIR]\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    if (argc == 4) std::filesystem::create_directories(argv[3]);
    for (const texgen::TTextureRecipe& r : texgen::AllRecipes()) {
      TBitmap32 image;
      Render(r, image);
      const std::string path = std::string(argv[1]) + "/" + r.Name + ".jpg";
      SaveJPEGFile(image, path, 90);
      std::printf("%s\n", path.c_str());
      if (argc == 4)
        for (int cell : {50, 100})
          WritePreview(image, cell,
                       std::string(argv[3]) + "/" + r.Name + "_" + std::to_string(cell) + ".png");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
