#!/usr/bin/env bash
# Configures and builds everything (the setup, tools and tests) into build/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZRB_BUILD_DIR:-$ROOT/build}"
source "$ROOT/tools/x-session.sh"
zrb_start_wine   # the build runs luac under Wine
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake"
fi
cmake --build "$BUILD" -- -j"$(nproc)"
