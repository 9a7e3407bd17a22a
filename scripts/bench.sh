#!/usr/bin/env bash
# Builds an optimised tree and runs every benchmark under bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release
for b in build/release/bench/bench_*; do
  [ -x "$b" ] && "$b" "$@"
done
