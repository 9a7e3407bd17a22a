#!/usr/bin/env bash
# Builds the example maps with vellumcraft-cli:
#   dungeon.qmx  rooms, corridors, doors and some free-hand work ("dungeon" set),
#                room names and a few props; drawn plain;
#   cave.qmx     winding caverns with a pond, mud and a lava pool ("cave" set),
#                stored with a map style (outline, hatching, shadow), names and
#                a few props;
#   tavern.qmx   a common room with a rug, a bar, a kitchen, a store and a
#                private room ("tavern" set), furnished from the asset pack and
#                named, with an outline and shadow.
# Usage: examples/make_example.sh [path/to/vellumcraft-cli]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-vellumcraft-cli}
case "$cli" in */*) cli=$(realpath "$cli") ;; *) cli=$(command -v "$cli") ;; esac
cd "$here"

# Room names: label MAP X Y TEXT, in map pixels, dark ink with a pale halo.
name() {  # map x y text [size]
  "$cli" label "$1" "$2" "$3" "$4" --size "${5:-0.5}" --color '#FF2A1F14' --outline '#FFF3E7CF'
}
# Props from the asset pack (Assets/): prop MAP ASSET X Y [options], the image's
# centre in map pixels; later props lie over earlier ones.
prop() {  # map asset x y [options...]
  "$cli" prop "$@"
}

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
# The rooms' names and a few things left lying about.
name dungeon.qmx 128 48 "Hall"
name dungeon.qmx 384 80 "Store"
name dungeon.qmx 128 336 "Cellar"
prop dungeon.qmx dungeon/brazier.png 52 52 --scale 0.8
prop dungeon.qmx dungeon/brazier.png 204 52 --scale 0.8
prop dungeon.qmx storage/crate.png 462 84 --shadow
prop dungeon.qmx storage/barrel.png 462 118 --scale 0.9 --shadow
prop dungeon.qmx furniture/chest.png 312 270 --rotation 90 --shadow
prop dungeon.qmx dungeon/rubble_small.png 196 168
prop dungeon.qmx dungeon/bones.png 196 300 --rotation 30
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
# The cave's own look, kept in the map: a rough outline, pen hatching in the
# rock and the walls' shadow.
style --outline 2,1 --hatch 22 --hatch-color #C8B89A --shadow 45,12,6
SCRIPT
name cave.qmx 290 400 "Great Cavern" 0.6
name cave.qmx 337 110 "Pond"
name cave.qmx 820 110 "North Chamber"
name cave.qmx 970 490 "Lava Pool"
prop cave.qmx nature/reeds.png 212 250 --scale 0.8
prop cave.qmx nature/reeds.png 455 300 --scale 0.7 --rotation 40
prop cave.qmx nature/mushrooms.png 150 470 --scale 0.9
prop cave.qmx decor/campfire.png 270 560 --shadow
prop cave.qmx nature/log.png 200 610 --rotation 20 --shadow
prop cave.qmx dungeon/bones.png 330 690 --rotation 70
prop cave.qmx nature/rock_small.png 780 260 --shadow
prop cave.qmx dungeon/rubble_large.png 1100 600 --scale 0.8
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
# The tavern's own look, kept in the map: an outline and the walls' shadow.
style --outline 2 --shadow 60,10,5
SCRIPT
# Furniture: rugs first, the rest over them.
# The common room: a round and a square table with chairs, a long table on the
# rug, benches by the hearth; the bar counter with stools and barrels behind it.
prop tavern.qmx furniture/table_round.png 150 150 --shadow
prop tavern.qmx furniture/chair.png 150 90
prop tavern.qmx furniture/chair.png 210 150 --rotation 90
prop tavern.qmx furniture/chair.png 150 210 --rotation 180
prop tavern.qmx furniture/chair.png 90 150 --rotation 270
prop tavern.qmx furniture/table_square.png 125 375 --shadow
prop tavern.qmx furniture/chair.png 75 375 --rotation 270
prop tavern.qmx furniture/chair.png 175 375 --rotation 90
prop tavern.qmx furniture/table_long.png 325 250 --shadow
prop tavern.qmx furniture/bench.png 325 195
prop tavern.qmx furniture/bench.png 325 305 --rotation 180
prop tavern.qmx furniture/bench.png 325 75
prop tavern.qmx furniture/table_long.png 515 150 --rotation 90 --shadow
prop tavern.qmx furniture/table_long.png 515 250 --rotation 90 --shadow
for y in 120 180 240 300; do prop tavern.qmx furniture/stool.png 462 $y --scale 0.7; done
prop tavern.qmx storage/barrel.png 576 76 --scale 0.8 --shadow
prop tavern.qmx storage/barrel.png 576 120 --scale 0.8 --shadow
prop tavern.qmx storage/barrel_open.png 576 164 --scale 0.8 --shadow
prop tavern.qmx decor/candles.png 515 200 --scale 0.5
prop tavern.qmx decor/campfire.png 325 25 --scale 0.8
# The kitchen: a work table, sacks and barrels, a crate.
prop tavern.qmx furniture/table_long.png 810 175 --shadow
prop tavern.qmx furniture/stool.png 810 235 --scale 0.7
prop tavern.qmx storage/barrel.png 680 80 --scale 0.9 --shadow
prop tavern.qmx storage/barrel.png 680 130 --scale 0.9 --shadow
prop tavern.qmx storage/sacks.png 890 80 --shadow
prop tavern.qmx storage/crate.png 915 265 --shadow
prop tavern.qmx storage/basket.png 860 265 --scale 0.8
# The store room, full of stock.
prop tavern.qmx storage/crates_stacked.png 695 398 --scale 0.9 --shadow
prop tavern.qmx storage/barrel.png 780 380 --shadow
prop tavern.qmx storage/barrel.png 830 380 --shadow
prop tavern.qmx storage/barrel.png 805 425 --shadow
prop tavern.qmx storage/sack.png 922 398 --rotation 20
prop tavern.qmx storage/urn.png 878 372 --scale 0.7
# The hall: a bench and plants by the door.
prop tavern.qmx furniture/bench.png 400 525 --shadow
prop tavern.qmx decor/potted_plant.png 75 525 --scale 0.8
prop tavern.qmx decor/potted_plant.png 925 525 --scale 0.8
# The private room: a rug, a bed, a desk with a chair, a chest.
prop tavern.qmx furniture/rug_round.png 300 675 --scale 0.8
prop tavern.qmx furniture/bed.png 135 660 --shadow
prop tavern.qmx furniture/desk.png 380 625 --shadow
prop tavern.qmx furniture/chair.png 380 675 --rotation 180
prop tavern.qmx furniture/chest.png 420 725 --shadow
prop tavern.qmx furniture/wardrobe.png 270 620 --scale 0.8 --shadow
# The rooms' names.
name tavern.qmx 300 420 "Common Room" 0.6
name tavern.qmx 550 420 "Bar"
name tavern.qmx 800 112 "Kitchen"
name tavern.qmx 880 436 "Store" 0.4
name tavern.qmx 650 525 "Hall"
name tavern.qmx 290 734 "Private Room" 0.35
"$cli" info tavern.qmx

# The CLI keeps a backup of every map it edits; the examples need none.
rm -f dungeon.qmx.bak cave.qmx.bak tavern.qmx.bak
