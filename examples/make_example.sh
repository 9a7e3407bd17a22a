#!/usr/bin/env bash
# Builds examples/dungeon.qmx with vellumcraft-cli: a new map from the "dungeon"
# layer set, then rooms, corridors, doors and some free-hand work.
# Usage: examples/make_example.sh [path/to/vellumcraft-cli]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-vellumcraft-cli}
case "$cli" in */*) cli=$(realpath "$cli") ;; *) cli=$(command -v "$cli") ;; esac
cd "$here"

# The textures travel with the example so that the map opens from any folder:
# the set's relative paths are found here, and the map keeps them relative.
mkdir -p textures
cp ../Layersets/textures/*.png textures/

"$cli" new dungeon.qmx --size 16x12 --chip 32 --layer-set ../Layersets/dungeon.txt
# Layers: 0 wall, 1 stone floor, 2 wood planks, 3 dirt, 4 grass.
# A worn track across the hall, painted free-hand as a pencil stroke would.
track=""
for i in $(seq 0 14); do
  y=$((90 + i * 4 + (i % 3) * 2))
  track+="circle $((60 + i * 9)) $y 8 3"$'\n'"circle $((64 + i * 9)) $((y + 9)) 8 3"$'\n'
done

"$cli" edit dungeon.qmx --script - <<SCRIPT
# Hall: stone, with the worn track of dirt.
rect-chips 1 1 6 5 1
$track
# Corridor east to the wooden store room.
rect-chips 7 3 8 3 3
rect-chips 9 2 14 8 2
# A pillar and a round rug of dirt in the store room.
paint-chip 12 4 0
ellipse-pixels 330 200 430 260 3
# Corridor south to an overgrown cellar.
rect-chips 3 6 3 7 3
rect-chips 1 8 6 10 1
ellipse-chips 2 8 4 10 4
fill 40 300 4
undo
# Doors: wooden doors on the corridor ends, a grey iron door, a secret passage.
door 9 3 v #8B5A2B
door 3 6 h #8B5A2B
door 7 3 v #707070
free-door 192 272 224 304 #A0A0A0
SCRIPT
"$cli" info dungeon.qmx
