#!/usr/bin/env bash
# Prepares a Debian 12 machine for building and testing the setup: the cross
# compiler, Wine, the X server and test tools, the third-party sources (fetched
# as Debian source packages into .cache/deps, never committed) and a Wine prefix
# owned by the project. Safe to run again: every step checks first.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="$ROOT/.cache"
DEPS="$CACHE/deps"
export WINEPREFIX="${WINEPREFIX:-$CACHE/wineprefix}"

log() { printf '[setup] %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

PACKAGES=(
  g++-mingw-w64-i686-posix mingw-w64-i686-dev cmake ninja-build make
  wine wine32:i386 xvfb xauth xdotool imagemagick 7zip googletest
  fonts-wqy-microhei fonts-liberation dpkg-dev locales file
)

packages_missing() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 0
  done
  return 1
}

install_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    as_root dpkg --add-architecture i386
  fi
  if packages_missing; then
    log "installing packages"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${PACKAGES[@]}" >/dev/null
  fi
  # The posix-thread flavour of the cross compiler gives std::thread and std::mutex.
  if [ "$(readlink -f "$(command -v i686-w64-mingw32-g++)")" != "$(readlink -f /usr/bin/i686-w64-mingw32-g++-posix)" ]; then
    as_root update-alternatives --set i686-w64-mingw32-g++ /usr/bin/i686-w64-mingw32-g++-posix >/dev/null
    as_root update-alternatives --set i686-w64-mingw32-gcc /usr/bin/i686-w64-mingw32-gcc-posix >/dev/null
  fi
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    log "generating the zh_CN.UTF-8 locale (code page 936 under Wine)"
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

# Debian source packages are fetched with a private sources list so the
# system's own apt configuration stays untouched.
fetch_sources() {
  mkdir -p "$DEPS"
  [ -f "$DEPS/.fetched" ] && return 0
  local apt="$CACHE/apt"
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial"
  cat >"$apt/sources.list.d/src.sources" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  local opts=(-o "Dir::Etc::SourceParts=$apt/sources.list.d" -o "Dir::Etc::SourceList=/dev/null"
              -o "Dir::State::Lists=$apt/lists")
  log "fetching source packages"
  apt-get "${opts[@]}" update -qq
  (cd "$DEPS" && apt-get "${opts[@]}" source --download-only lua5.2 pugixml 7zip >/dev/null)
  touch "$DEPS/.fetched"
}

unpack_sources() {
  local name dir tarball
  for name in lua5.2 pugixml 7zip; do
    dir="$DEPS/$name"
    [ -d "$dir" ] && continue
    tarball=$(ls "$DEPS"/${name}_*.orig.tar.* | head -n 1)
    log "unpacking $(basename "$tarball")"
    mkdir -p "$dir.tmp"
    tar -xf "$tarball" -C "$dir.tmp"
    # Orig tarballs hold one top folder (or, for some, the files themselves).
    if [ "$(ls "$dir.tmp" | wc -l)" -eq 1 ] && [ -d "$dir.tmp/$(ls "$dir.tmp")" ]; then
      mv "$dir.tmp/$(ls "$dir.tmp")" "$dir"
      rmdir "$dir.tmp"
    else
      mv "$dir.tmp" "$dir"
    fi
  done
}

prepare_wine_prefix() {
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    WINEARCH=win32 wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # Map the layout's font names onto installed fonts so text draws under Wine.
  if [ ! -f "$WINEPREFIX/.fonts-mapped" ]; then
    local reg="$CACHE/fonts.reg"
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"微软雅黑"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"Arial"="Liberation Sans"
"Tahoma"="Liberation Sans"
REG
    iconv -f UTF-8 -t UTF-16LE "$reg" | { printf '\xff\xfe'; cat; } >"$reg.utf16"
    wine regedit /S "$(winepath -w "$reg.utf16")" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.fonts-mapped"
  fi
}

install_packages
fetch_sources
unpack_sources
prepare_wine_prefix
log "ready"
