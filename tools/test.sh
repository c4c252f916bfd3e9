#!/usr/bin/env bash
# The test command: sets up the machine, builds, and runs every test under
# Wine in a virtual display.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZRB_BUILD_DIR:-$ROOT/build}"
bash "$ROOT/tools/setup.sh"
source "$ROOT/tools/x-session.sh"
zrb_start_display
trap zrb_stop_session EXIT
bash "$ROOT/tools/build.sh"
zrb_start_wine
cd "$BUILD"
ctest --output-on-failure -j"$(nproc)" "$@"
