#!/usr/bin/env bash
# Renders maps with two builds of vellumcraft-cli and checks that every output is
# the same picture: PNG pixels (decoded), BMP bytes, PDF pages (rendered with
# pdftoppm) and the VTT file (its image decoded, the rest as text).
# Usage: scripts/compare-outputs.sh OLD_CLI NEW_CLI MAP... 
# Exits non-zero when any output differs. Work files go to $TMPDIR.
set -euo pipefail
old=$(realpath "$1"); new=$(realpath "$2"); shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A small PNG comparer on libpng's simplified API.
cat >"$work/pngcmp.c" <<'C'
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
static unsigned char* load(const char* f, png_image* im) {
  memset(im, 0, sizeof *im);
  im->version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(im, f)) { fprintf(stderr, "%s: %s\n", f, im->message); exit(2); }
  im->format = PNG_FORMAT_RGBA;
  unsigned char* b = malloc(PNG_IMAGE_SIZE(*im));
  if (!b || !png_image_finish_read(im, NULL, b, 0, NULL)) { fprintf(stderr, "%s: unreadable\n", f); exit(2); }
  return b;
}
int main(int c, char** v) {
  png_image a, b;
  unsigned char *x = load(v[1], &a), *y = load(v[2], &b);
  if (a.width != b.width || a.height != b.height) { printf("size differs\n"); return 1; }
  size_t n = PNG_IMAGE_SIZE(a), d = 0;
  for (size_t i = 0; i < n; i += 4) d += memcmp(x + i, y + i, 4) != 0;
  printf("%ux%u, %zu pixels differ\n", a.width, a.height, d);
  return d != 0;
}
C
gcc -O2 "$work/pngcmp.c" -o "$work/pngcmp" -lpng

status=0
check() {  # name, command status
  if [ "$2" -eq 0 ]; then echo "  same: $1"; else echo "  DIFFERENT: $1"; status=1; fi
}
for map in "$@"; do
  map=$(realpath "$map")
  echo "$map"
  for side in old new; do
    cli=${!side}
    d="$work/$side"; mkdir -p "$d"
    "$cli" render "$map" "$d/plain.png" --quiet
    "$cli" render "$map" "$d/grid.png" --grid all --half-tone --quiet
    "$cli" render "$map" "$d/scaled.png" --pixels-per-cell 20 --quiet
    "$cli" render "$map" "$d/plain.bmp" --quiet
    "$cli" render "$map" "$d/grid.bmp" --grid right,bottom --quiet
    "$cli" print "$map" "$d/sheets.pdf" --cell 5mm --dpi 100 --grid all >/dev/null
    "$cli" export-vtt "$map" "$d/map.dd2vtt" --quiet
    python3 - "$d/map.dd2vtt" "$d/vtt.png" "$d/vtt.json" <<'PY'
import base64, json, sys
d = json.load(open(sys.argv[1]))
open(sys.argv[2], "wb").write(base64.b64decode(d.pop("image")))
json.dump(d, open(sys.argv[3], "w"), sort_keys=True)
PY
    pdftoppm -r 40 -png "$d/sheets.pdf" "$d/page"
  done
  for f in plain.png grid.png scaled.png vtt.png; do
    r=0; "$work/pngcmp" "$work/old/$f" "$work/new/$f" >/dev/null || r=$?; check "$f" $r
  done
  for f in plain.bmp grid.bmp vtt.json; do
    r=0; cmp -s "$work/old/$f" "$work/new/$f" || r=$?; check "$f" $r
  done
  pages=$(cd "$work/old" && ls page-*.png)
  r=0
  for p in $pages; do "$work/pngcmp" "$work/old/$p" "$work/new/$p" >/dev/null || r=1; done
  [ "$(cd "$work/new" && ls page-*.png)" = "$pages" ] || r=1
  check "PDF pages ($(echo "$pages" | wc -w))" $r
  ls -l "$work/old/plain.png" "$work/new/plain.png" | awk '{print "  " $5, $9}'
  rm -rf "$work/old" "$work/new"
done
exit $status
