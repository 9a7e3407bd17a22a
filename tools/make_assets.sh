#!/usr/bin/env bash
# Regenerates the bundled prop pack in Assets/ (top-down props, PNG with alpha,
# 256 pixels per cell). The generator is deterministic: the same source gives the
# same files. Needs a C++20 compiler and libpng (libpng-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
c++ -std=c++20 -O2 tools/asset_gen/asset_gen.cpp $(pkg-config --cflags --libs libpng) -o "$bin/vc_asset_gen"
rm -rf Assets
"$bin/vc_asset_gen" Assets
du -sh Assets
