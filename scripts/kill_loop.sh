#!/usr/bin/env bash
# Kills `vellumcraft-cli edit` of a large map with SIGKILL, again and again, and
# checks after every kill that the map is byte for byte either the version before
# the edit or the one the edit makes, and that it (and its backup) still loads.
#
# Two kinds of kill:
#   - at a random moment of the run (sleep, then kill -9), and
#   - at each system call of the save: strace injects SIGKILL at the N-th call of
#     openat, write, fsync, fchmod, link, rename, unlink, close and the others a
#     save makes, for every N the run reaches.
#
#   bash scripts/kill_loop.sh [-n TIMED_KILLS] [-c CLI] [-s WxH]
#
# Prints the counts at the end; exits 1 when any kill left a map that is neither.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
timed=50
cli=""
size="120x120"
while getopts "n:c:s:" opt; do
  case "$opt" in
    n) timed="$OPTARG" ;;
    c) cli="$OPTARG" ;;
    s) size="$OPTARG" ;;
    *) echo "usage: $0 [-n TIMED_KILLS] [-c CLI] [-s WxH]" >&2; exit 2 ;;
  esac
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! command -v strace >/dev/null; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends strace
fi
if [ -z "$cli" ]; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$here}"
  cmake -S "$here" -B "$here/build/cli" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  nice cmake --build "$here/build/cli" --target vellumcraft-cli >/dev/null
  cli="$here/build/cli/src/cli/vellumcraft-cli"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
map="$work/big.qmx"
ref="$work/ref/big.qmx"
mkdir -p "$work/ref"

"$cli" new "$map" --size "$size" --chip 32 --layer-set "$here/Layersets/dungeon.txt" --quiet
width="${size%x*}"
height="${size#*x}"
# Floors of two kinds over most of the map, so that its rows are not all alike.
"$cli" edit "$map" --quiet -e "rect-chips 1 1 $((width / 2)) $((height / 2)) 1" \
  -e "ellipse-chips $((width / 6)) $((height / 6)) $((width - 1)) $((height - 1)) 2"

kills=0 old=0 new=0 bad=0 leftovers=0 most_temps=0 step=0
command_for() { echo "door $(( $1 % (width - 2) + 1 )) $(( $1 / (width - 2) % (height - 2) + 1 )) h"; }

# The version the next edit makes, made on a copy (written again only after the
# map has moved on).
ref_for_step=-1
make_ref() {
  if [ "$ref_for_step" -ne "$step" ]; then
    cp "$map" "$ref"
    "$cli" edit "$ref" --quiet -e "$(command_for "$step")"
    ref_for_step=$step
  fi
}

# After a kill: old or new, loadable, backup loadable.
check() {
  local what="$1" sum
  kills=$((kills + 1))
  sum="$(sha256sum < "$map")"
  if [ "$sum" = "$old_sum" ]; then
    old=$((old + 1))
  elif [ "$sum" = "$(sha256sum < "$ref")" ]; then
    new=$((new + 1))
    step=$((step + 1))
  else
    bad=$((bad + 1))
    echo "kill $kills ($what): the map is neither the old nor the new version" >&2
  fi
  if ! "$cli" info "$map" >/dev/null 2>&1; then
    bad=$((bad + 1))
    echo "kill $kills ($what): the map does not load" >&2
  fi
  if [ -e "$map.bak" ] && ! "$cli" info "$map.bak" >/dev/null 2>&1; then
    bad=$((bad + 1))
    echo "kill $kills ($what): the backup does not load" >&2
  fi
  local temps
  temps=$(find "$work" -maxdepth 1 -name '.big.qmx*.tmp-*' | wc -l)
  if [ "$temps" -gt 0 ]; then leftovers=$((leftovers + 1)); fi
  if [ "$temps" -gt "$most_temps" ]; then most_temps=$temps; fi
}

# One run of the edit, killed by Killer (a function given the command line).
run_killed() {
  make_ref
  old_sum="$(sha256sum < "$map")"
  "$@" || true
}

# How long one edit takes, for the random kills.
start=$(date +%s%N)
make_ref
cp "$map" "$work/probe.qmx"
"$cli" edit "$work/probe.qmx" --quiet -e "$(command_for 0)"
rm -f "$work/probe.qmx" "$work/probe.qmx.bak"
run_ms=$(( ($(date +%s%N) - start) / 2000000 ))
echo "one edit of the $size map takes about $run_ms ms"

timed_kill() {
  "$cli" edit "$map" --quiet -e "$(command_for "$step")" &
  local pid=$!
  sleep "$(awk -v ms="$run_ms" -v r="$RANDOM" 'BEGIN { printf "%.3f", ms * 1.2 * r / 32768 / 1000 }')"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
for ((i = 0; i < timed; i++)); do
  run_killed timed_kill
  check "random moment"
done
timed_kills=$kills

# The calls of one save, counted on a copy.
syscalls=(openat write fsync fchmod fchown listxattr fsetxattr link rename unlink close flock
          getdents64 newfstatat)
cp "$map" "$work/probe.qmx"
strace -f -qq -o "$work/trace" -e trace="$(IFS=,; echo "${syscalls[*]}")" \
  "$cli" edit "$work/probe.qmx" --quiet -e "$(command_for "$step")" >/dev/null 2>&1
rm -f "$work/probe.qmx" "$work/probe.qmx.bak"
declare -A per_call
for call in "${syscalls[@]}"; do
  count=$(grep -cE "^[0-9]+ +$call\(" "$work/trace" || true)
  [ "$count" -gt 0 ] || continue
  for ((n = 1; n <= count; n++)); do
    injected() {
      # In a subshell of its own, whose notice of the killed run goes nowhere.
      (strace -f -qq -o /dev/null -e trace="$call" -e inject="$call":signal=KILL:when="$n" \
        "$cli" edit "$map" --quiet -e "$(command_for "$step")"; true) >/dev/null 2>&1
    }
    run_killed injected
    check "$call #$n"
    per_call[$call]=$(( ${per_call[$call]:-0} + 1 ))
  done
done

# A last, whole save takes away whatever the kills left.
make_ref
"$cli" edit "$map" --quiet -e "$(command_for "$step")"
left_at_end=0
if compgen -G "$work/.big.qmx*.tmp-*" >/dev/null; then left_at_end=1; fi

echo "kills: $kills ($timed_kills at random moments, $((kills - timed_kills)) at system calls)"
for call in "${!per_call[@]}"; do echo "  at $call: ${per_call[$call]}"; done | sort
echo "map afterwards: old version $old, new version $new, neither or not loadable $bad"
echo "kills after which a temporary file was there: $leftovers (at most $most_temps at once);" \
  "left after a last whole save: $left_at_end"
[ "$bad" -eq 0 ] && [ "$left_at_end" -eq 0 ]
