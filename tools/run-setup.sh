#!/usr/bin/env bash
# The main job: sets up the machine, builds the setup (build/ZRBInstaller.exe)
# and runs it under Wine, printing its trace. Without a display it runs in a
# virtual one. Arguments are passed to the setup.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZRB_BUILD_DIR:-$ROOT/build}"
bash "$ROOT/tools/setup.sh"
source "$ROOT/tools/x-session.sh"
zrb_start_display
trap zrb_stop_session EXIT
bash "$ROOT/tools/build.sh"
zrb_start_wine
file "$BUILD/ZRBInstaller.exe"
echo "--- trace of ZRBInstaller.exe ---"
set +e
wine "$BUILD/tools/zrbtrace.exe" "$BUILD/ZRBInstaller.exe" "$@"
code=$?
echo "--- exit code $code ---"
