#!/usr/bin/env bash
# Builds the fuzz harnesses with clang as libFuzzer programs (with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each of them for a given time.
#
#   scripts/fuzz.sh [-j PARALLEL] [SECONDS] [HARNESS ...]
#
# SECONDS defaults to 60 per harness; HARNESS names default to all of them
# (map_file decode_line png_image jpeg_image bmp_image layer_set language_file
# chip_reference). -j runs that many harnesses at once. Each harness grows its own
# working corpus in build/fuzz/corpus/<harness>, starting from the committed seeds;
# findings go to build/fuzz/findings/<harness>/ and logs to build/fuzz/logs/. A
# finding is mended in the code and its input committed under
# fuzz/regressions/<harness>/, which CTest replays.
set -euo pipefail
cd "$(dirname "$0")/.."

PARALLEL=1
if [ "${1:-}" = "-j" ]; then
  PARALLEL="$2"
  shift 2
fi
SECONDS_EACH="${1:-60}"
[ $# -gt 0 ] && shift
HARNESSES=("$@")
if [ ${#HARNESSES[@]} -eq 0 ]; then
  HARNESSES=(map_file decode_line png_image jpeg_image bmp_image layer_set language_file
             chip_reference)
fi

bash scripts/install-deps.sh
FUZZ_PACKAGES=(clang-14 libfuzzer-14-dev libclang-rt-14-dev libomp-14-dev)
missing=()
for p in "${FUZZ_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVC_SANITIZE=ON -DVC_FUZZ=ON -DVC_BUILD_EDITOR=OFF -DVC_BUILD_BENCH=OFF
targets=()
for h in "${HARNESSES[@]}"; do targets+=("fuzz_$h"); done
cmake --build build/fuzz --target "${targets[@]}"

mkdir -p build/fuzz/logs
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_one() {
  local h="$1"
  local work="build/fuzz/corpus/$h" findings="build/fuzz/findings/$h"
  mkdir -p "$work" "$findings"
  local dict=()
  [ -f "fuzz/dict/$h.dict" ] && dict=(-dict="fuzz/dict/$h.dict")
  # A reader gets one second per input (inputs stay far below a megabyte), and no
  # more memory than a real map of the same size would need.
  local rc=0
  "build/fuzz/fuzz/fuzz_$h" -max_total_time="$SECONDS_EACH" -timeout=1 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" \
    "$work" "fuzz/corpus/$h" "fuzz/regressions/$h" >"build/fuzz/logs/$h.log" 2>&1 || rc=$?
  local execs cov
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "build/fuzz/logs/$h.log" | tail -1 |
    awk '{print $2}')
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "build/fuzz/logs/$h.log" | tail -1)
  echo "$h: exit $rc, ${execs:-?} executions, $cov, corpus $(ls "$work" | wc -l) files," \
    "findings $(ls "$findings" | wc -l)"
  return $rc
}

status=0
running=0
for h in "${HARNESSES[@]}"; do
  run_one "$h" &
  running=$((running + 1))
  if [ "$running" -ge "$PARALLEL" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
