#!/usr/bin/env bash
# The main job: sets up the machine, builds the setup (build/ZRBInstaller.exe)
# and runs it under Wine, printing its trace. Without a display it runs in a
# virtual one. Arguments are passed to the setup.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZRB_BUILD_DIR:-$ROOT/build}"
source "$ROOT/tools/x-session.sh"
zrb_prepare_and_build
file "$BUILD/ZRBInstaller.exe"
echo "--- trace of ZRBInstaller.exe ---"
set +e
wine "$BUILD/tools/zrbtrace.exe" "$BUILD/ZRBInstaller.exe" "$@"
code=$?
echo "--- exit code $code ---"
