#!/usr/bin/env bash
# The test command: sets up the machine, builds, and runs every test under
# Wine in a virtual display. Arguments go to ctest.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZRB_BUILD_DIR:-$ROOT/build}"
source "$ROOT/tools/x-session.sh"
zrb_prepare_and_build
cd "$BUILD"
ctest --output-on-failure -j"$(nproc)" "$@"
