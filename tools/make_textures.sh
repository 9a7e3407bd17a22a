#!/usr/bin/env bash
# Generates the bundled floor and wall textures (64 x 64, tileable) into
# Layersets/textures with ImageMagick. Fixed seeds make the output repeatable.
set -euo pipefail
cd "$(dirname "$0")/.."
out=Layersets/textures
mkdir -p "$out"

# Tileable grey noise (random pixels blurred with the image wrapping round its
# edges), coloured from DARK to LIGHT, then any further drawing arguments.
texture() {  # name seed blur dark light further-arguments...
  local name=$1 seed=$2 blur=$3 dark=$4 light=$5
  shift 5
  convert -size 64x64 xc: -seed "$seed" +noise Random -colorspace Gray \
    -virtual-pixel tile -blur "0x$blur" -auto-level -colorspace sRGB \
    +level-colors "$dark,$light" "$@" \
    -strip -define png:exclude-chunks=date,time "PNG24:$out/$name.png"
}

# Stone floor: grey flagstones, 32-pixel slabs with dark joints.
texture stone 11 2 '#6e6a64' '#b4aea4' -fill none -stroke '#45423e' -strokewidth 1 \
  -draw 'line 0,0 63,0' -draw 'line 0,32 63,32' -draw 'line 0,0 0,31' -draw 'line 32,32 32,63'

# Dirt: warm brown, coarse grain.
texture dirt 21 2.5 '#5a3f24' '#9a7448'

# Grass: green, fine grain.
texture grass 31 1 '#2f5a1c' '#6fa844'

# Wood planks: grain stretched along x, a dark seam every 16 rows and staggered ends.
convert -size 64x64 xc: -seed 41 +noise Random -colorspace Gray -virtual-pixel tile \
  -motion-blur 0x10+0 -motion-blur 0x10+180 -auto-level -colorspace sRGB \
  +level-colors '#7a4e26,#c08a52' -fill none -stroke '#4a2e14' -strokewidth 1 \
  -draw 'line 0,0 63,0' -draw 'line 0,16 63,16' -draw 'line 0,32 63,32' -draw 'line 0,48 63,48' \
  -draw 'line 40,0 40,15' -draw 'line 12,16 12,31' -draw 'line 52,32 52,47' -draw 'line 24,48 24,63' \
  -strip -define png:exclude-chunks=date,time "PNG24:$out/wood.png"

# Wall: dark rough stone.
texture wall 51 1 '#2a2826' '#5c5854'

ls -l "$out"
