#!/usr/bin/env bash
# Renders a 100 x 100-cell map of 50-pixel cells with vellumcraft-cli and, one
# after the other in the same run, an equivalent Tiled map (100 x 100 tiles of
# 50 pixels, 6 layers, tiles cut from the shipped textures) with Tiled's
# tmxrasterizer, and prints the time and peak memory of both.
# Usage: scripts/compare-peers.sh [path/to/vellumcraft-cli] [MAP.qmx]
# Without MAP the test map of scripts/make-bench-map.sh is built first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$here/build/dev/src/cli/vellumcraft-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! command -v tmxrasterizer >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends tiled
fi

if [ $# -ge 2 ]; then
  map=$(realpath "$2")
else
  map="$work/qmx/bench.qmx"
  "$here/scripts/make-bench-map.sh" "$map" "$cli" >/dev/null
fi

# The Tiled map: one tileset per texture (a 64 x 64 image gives one 50 x 50 tile),
# six layers; each layer covers the map with its tile except for a pattern of
# rooms where the layers beneath show through, so every layer is drawn.
mkdir -p "$work/tmx"
cp "$here"/Layersets/textures/*.png "$work/tmx/"
python3 - "$work/tmx/map.tmx" <<'PY'
import sys
names = ["wall", "stone", "wood", "dirt", "grass", "stone"]
n = 100
out = ['<?xml version="1.0" encoding="UTF-8"?>',
       f'<map version="1.8" orientation="orthogonal" renderorder="right-down" width="{n}" '
       f'height="{n}" tilewidth="50" tileheight="50" infinite="0">']
for i, name in enumerate(names[:5]):
    out.append(f' <tileset firstgid="{i + 1}" name="{name}" tilewidth="50" tileheight="50" '
               f'tilecount="1" columns="1"><image source="{name}.png" width="64" height="64"/></tileset>')
for k in range(6):
    gid = 1 + (k % 5)
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            hole = k > 0 and ((x // 10 + y // 10 + k) % 6 == 0)
            row.append("0" if hole else str(gid))
        rows.append(",".join(row))
    out.append(f' <layer id="{k + 1}" name="layer{k}" width="{n}" height="{n}">'
               f'<data encoding="csv">\n' + ",\n".join(rows) + '\n</data></layer>')
out.append('</map>')
open(sys.argv[1], "w").write("\n".join(out) + "\n")
PY

measure() {  # label, command...
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1
  read -r secs kb <"$work/time"
  printf '%-16s %7.2f s  %7.1f MB peak\n' "$label" "$secs" "$(echo "$kb / 1024" | bc -l)"
  echo "$secs" >"$work/$label.secs"
}
echo "load: $(cut -d' ' -f1 /proc/loadavg) (other work on the machine slows both)"
measure vellumcraft "$cli" render "$map" "$work/ours.png" --quiet
QT_QPA_PLATFORM=offscreen measure tmxrasterizer tmxrasterizer "$work/tmx/map.tmx" "$work/peer.png"
ls -l "$work/ours.png" "$work/peer.png" | awk '{printf "%-16s %9d bytes\n", ($9 ~ /ours/ ? "vellumcraft" : "tmxrasterizer"), $5}'
echo "time ratio (vellumcraft / tmxrasterizer): $(echo "$(cat "$work/vellumcraft.secs") / $(cat "$work/tmxrasterizer.secs")" | bc -l | cut -c1-5)"
