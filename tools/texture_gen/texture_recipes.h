#pragma once
// The recipes of the bundled textures: each gives the colour of a texture pixel.

#include <cstdint>
#include <string>
#include <vector>

#include "texture_noise.h"

namespace texgen {

// Colour at pixel centre (X, Y), 0 <= X, Y < kSize, of a texture seeded with Seed.
using TRecipe = TRgb (*)(double X, double Y, uint32_t Seed);

struct TTextureRecipe {
  std::string Name;  // file name without extension
  uint32_t Seed;
  TRecipe Colour;
};

// Every bundled texture: the floors first, then the walls.
const std::vector<TTextureRecipe>& AllRecipes();

}  // namespace texgen
