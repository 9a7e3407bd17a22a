#!/usr/bin/env bash
# Installs what is missing, builds the editor in Release and starts it on the
# bundled example map (or with no map when there is none). Extra arguments are
# passed to the editor instead of the example map.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_BUILD_BENCH=OFF -DBUILD_TESTING=OFF
cmake --build build/run --target vellumcraft -j "$(nproc)"
args=("$@")
if [ "${#args[@]}" -eq 0 ] && [ -f examples/dungeon.qmx ]; then
  args=(examples/dungeon.qmx)
fi
exec build/run/src/app/vellumcraft "${args[@]}"
