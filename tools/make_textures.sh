#!/usr/bin/env bash
# Builds the texture generator and writes the bundled 512 x 512 floor and wall
# textures into Layersets/textures. The generator is seeded, so the pictures come
# out the same on every run. Usage: tools/make_textures.sh [build folder] [preview folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
cmake --build "$build" --target vellumcraft-textures
if [ $# -ge 2 ]; then
  "$build/tools/vellumcraft-textures" Layersets/textures --preview "$2"
else
  "$build/tools/vellumcraft-textures" Layersets/textures
fi
