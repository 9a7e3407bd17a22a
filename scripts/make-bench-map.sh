#!/usr/bin/env bash
# Builds a large test map with vellumcraft-cli for speed and memory measurements:
# 100 x 100 cells at chip 50 (5000 x 5000 pixels), the wall layer and four floor
# layers of the "dungeon" set, a grid of rooms joined by corridors, about 600
# free-hand stamps and 90 doors. The result is the same on every run.
# Usage: scripts/make-bench-map.sh OUT.qmx [path/to/vellumcraft-cli]
set -euo pipefail
out=$1
cli=${2:-vellumcraft-cli}
case "$cli" in */*) cli=$(realpath "$cli") ;; *) cli=$(command -v "$cli") ;; esac
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$out")
dir=$(dirname "$out")
mkdir -p "$dir/textures"
cp "$here"/Layersets/textures/* "$dir/textures/"
cp "$here/Layersets/dungeon.txt" "$dir/bench-set.txt"
cd "$dir"
"$cli" new "$out" --size 100x100 --chip 50 --layer-set bench-set.txt --quiet

script=$(awk 'BEGIN {
  seed = 12345
  # Rooms on a 10 x 10 grid of 10-cell blocks, each of one floor layer.
  for (by = 0; by < 10; by++) for (bx = 0; bx < 10; bx++) {
    x = bx * 10 + 1; y = by * 10 + 1
    layer = 1 + (bx + by * 3) % 4
    printf "rect-chips %d %d %d %d %d\n", x, y, x + 7, y + 7, layer
    # Corridors east and south.
    if (bx < 9) printf "rect-chips %d %d %d %d %d\n", x + 8, y + 3, x + 9, y + 4, 1 + (bx + 1) % 4
    if (by < 9) printf "rect-chips %d %d %d %d %d\n", x + 3, y + 8, x + 4, y + 9, 1 + (by + 2) % 4
  }
  # Free-hand stamps of every floor layer and some walls.
  for (i = 0; i < 600; i++) {
    seed = (seed * 1103515245 + 12345) % 2147483648
    px = int(seed / 65536) % 5000
    seed = (seed * 1103515245 + 12345) % 2147483648
    py = int(seed / 65536) % 5000
    seed = (seed * 1103515245 + 12345) % 2147483648
    r = 6 + int(seed / 65536) % 20
    printf "circle %d %d %d %d\n", px, py, r, (i % 9 == 0) ? 0 : 1 + i % 4
  }
  # Doors on the corridor mouths: 45 vertical, 45 horizontal.
  n = 0
  for (by = 0; by < 10 && n < 45; by++) for (bx = 0; bx < 9 && n < 45; bx++) {
    printf "door %d %d v %s\n", bx * 10 + 9, by * 10 + 4, (n % 3 == 0) ? "none" : "#8B5A2B"; n++
  }
  n = 0
  for (by = 0; by < 9 && n < 45; by++) for (bx = 0; bx < 10 && n < 45; bx++) {
    printf "door %d %d h %s\n", bx * 10 + 4, by * 10 + 9, (n % 4 == 0) ? "#707070" : "#A0A0A0"; n++
  }
}')
"$cli" edit "$out" --quiet --script - <<<"$script"
