#!/usr/bin/env bash
# Sourced by the run and test commands: gives Wine a display (an Xvfb of our
# own when none is set), a persistent wineserver on the project's prefix, and
# the code page of the product's users (936).
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/.cache/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${ZRB_LC_ALL:-zh_CN.UTF-8}"

zrb_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ZRB_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      sleep 0.1
    done
  done
  echo "x-session: could not start Xvfb" >&2
  return 1
}

# Programs Wine starts in the background (services, device manager) inherit
# the starting process's output; start them here, detached from any pipe a
# caller (CTest) will wait on.
zrb_start_wine() {
  wineserver -p >/dev/null 2>&1 || true  # already running is fine
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

zrb_stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${ZRB_XVFB_PID:-}" ]; then kill "$ZRB_XVFB_PID" 2>/dev/null || true; fi
}
