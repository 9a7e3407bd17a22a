#!/usr/bin/env bash
# Builds the example maps with vellumcraft-cli:
#   dungeon.qmx  rooms, corridors, doors and some free-hand work ("dungeon" set);
#   cave.qmx     winding caverns with a pond, mud and a lava pool ("cave" set);
#   tavern.qmx   a common room with a rug, a kitchen, a store and a private room
#                ("tavern" set).
# Usage: examples/make_example.sh [path/to/vellumcraft-cli]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-vellumcraft-cli}
case "$cli" in */*) cli=$(realpath "$cli") ;; *) cli=$(command -v "$cli") ;; esac
cd "$here"

# The textures travel with the examples so that the maps open from any folder:
# the sets' relative paths are found here, and the maps keep them relative.
mkdir -p textures
rm -f textures/*.png
cp ../Layersets/textures/*.jpg textures/

# --- The dungeon --------------------------------------------------------------
"$cli" new dungeon.qmx --size 16x12 --chip 32 --layer-set ../Layersets/dungeon.txt
# Layers: 0 wall, 1 flagstones, 2 wooden planks, 3 dirt, 4 grass.
# A worn track across the hall, painted free-hand as a pencil stroke would.
track=""
for i in $(seq 0 14); do
  y=$((90 + i * 4 + (i % 3) * 2))
  track+="circle $((60 + i * 9)) $y 8 3"$'\n'"circle $((64 + i * 9)) $((y + 9)) 8 3"$'\n'
done

"$cli" edit dungeon.qmx --script - <<SCRIPT
# Hall: flagstones, with the worn track of dirt.
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

# --- The cave -----------------------------------------------------------------
# Layers: 0 wall, 1 cave rock, 2 dirt, 3 mud, 4 sand, 5 shallow water,
# 6 deep water, 7 lava. 24 x 16 cells of 50 pixels.
"$cli" new cave.qmx --size 24x16 --chip 50 --layer-set ../Layersets/cave.txt
# A winding passage of overlapping free-hand stamps between (X0,Y0) and (X1,Y1),
# swinging sideways by AMP pixels, RADIUS pixels wide.
passage() {  # x0 y0 x1 y1 amp radius layer
  awk -v x0="$1" -v y0="$2" -v x1="$3" -v y1="$4" -v amp="$5" -v r="$6" -v l="$7" 'BEGIN {
    n = int(sqrt((x1 - x0) ^ 2 + (y1 - y0) ^ 2) / (r / 2)) + 1
    dx = (x1 - x0) / n; dy = (y1 - y0) / n; len = sqrt(dx * dx + dy * dy)
    for (i = 0; i <= n; i++) {
      s = amp * sin(i / n * 6.2832 * 1.5)
      w = r * (0.8 + 0.3 * sin(i * 1.7))
      printf "circle %d %d %d %d\n", x0 + dx * i - dy / len * s, y0 + dy * i + dx / len * s, w, l
    }
  }'
}
"$cli" edit cave.qmx --script - <<SCRIPT
wall-layer "Cave wall" textures/wall_cave.jpg
# The great cavern in the west and two smaller chambers.
ellipse-pixels 60 80 520 560 1
ellipse-pixels 120 420 420 760 1
ellipse-pixels 640 60 1000 360 1
ellipse-pixels 760 460 1160 760 1
$(passage 440 300 700 220 40 46 1)
$(passage 360 620 820 600 50 40 1)
$(passage 900 330 960 520 30 38 1)
# Loose earth and mud along the floors.
$(passage 140 200 460 480 50 34 2)
ellipse-pixels 200 600 330 700 3
$(passage 560 600 700 640 20 26 3)
# An underground pond: a sandy shore, shallow water, a deep middle.
ellipse-pixels 200 130 470 360 4
ellipse-pixels 225 150 445 340 5
ellipse-pixels 285 195 390 290 6
# A lava pool in the eastern chamber.
ellipse-pixels 860 520 1080 700 4
ellipse-pixels 880 540 1060 685 7
# Boulders left standing.
circle 120 330 22 0
circle 700 150 26 0
circle 960 120 18 0
SCRIPT
"$cli" info cave.qmx

# --- The tavern ---------------------------------------------------------------
# Layers: 0 wall, 1 wooden planks, 2 parquet, 3 carpet, 4 flagstones,
# 5 brick floor, 6 dirt. 20 x 16 cells of 50 pixels.
"$cli" new tavern.qmx --size 20x16 --chip 50 --layer-set ../Layersets/tavern.txt
"$cli" edit tavern.qmx --script - <<SCRIPT
wall-layer Masonry textures/wall_masonry.jpg
# The common room with a rug before the hearth, and the bar along its east side.
rect-chips 1 1 11 8 1
rect-chips 4 3 8 6 3
rect-chips 10 1 11 6 2
# A hearth of brick set into the north wall.
rect-chips 5 0 7 0 5
# The kitchen, through a doorway from the bar.
rect-chips 13 1 18 5 4
paint-chip 12 3 4
door 12 3 v #8B5A2B
# The store room behind the kitchen, with an earthen floor.
rect-chips 13 7 18 8 6
paint-chip 15 6 6
door 15 6 h #6B4423
# The hall, with the front door at its east end.
rect-chips 1 10 18 10 5
paint-chip 5 9 5
door 5 9 h #8B5A2B
paint-chip 19 10 5
door 19 10 v #5A3A1A
# The private room south of the hall.
rect-chips 2 12 8 14 2
paint-chip 4 11 2
door 4 11 h #8B5A2B
SCRIPT
"$cli" info tavern.qmx
