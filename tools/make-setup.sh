#!/usr/bin/env bash
# Assembles a setup executable from its parts: scripts, layout, skin images,
# icon and payload become resources of a freshly linked ZRBInstaller program.
#
# Usage: make-setup.sh --output Setup.exe [options]
#   --config FILE      configuration script (resource LUA "GLOBAL_VAR.LUAC")
#   --install FILE     install script      (resource LUA "INSTSCRIPT.LUAC")
#   --uninstall FILE   uninstall script    (resource LUA "UNINSTSCRIPT.LUAC")
#   --layout FILE      layout document, UTF-8 or UTF-16 (resource XML "LAYOUT.XML",
#                      stored as UTF-16LE)
#   --skin DIR         PNG images; each file's leading number is its resource id
#                      (101_background.png becomes PNG 101)
#   --icon FILE        program icon (.ico, icon group 128)
#   --payload PATH     a folder to pack, or a ready .7z archive (resource _7Z
#                      "APP.7Z", stored with bytes 0 and 1 exchanged)
#   --resource TYPE NAME FILE   any further resource, stored as given (a 7z
#                      archive of type _7Z is stored like the payload)
#   --source-scripts   store scripts as Lua source instead of bytecode
#   --env FILE         build description written by CMake (default: the
#                      build folder's zrb-make-setup.env)
# Scripts ending in .lua are compiled to 32-bit bytecode with the build's
# luac; other script files are stored as they are.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/.." && pwd)"

die() { echo "make-setup: $*" >&2; exit 2; }

env_file="${ZRB_BUILD_DIR:-$ROOT/build}/zrb-make-setup.env"
output="" config="" install="" uninstall="" layout="" skin="" icon="" payload=""
compile_scripts=1
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --output) output="$2"; shift 2 ;;
    --config) config="$2"; shift 2 ;;
    --install) install="$2"; shift 2 ;;
    --uninstall) uninstall="$2"; shift 2 ;;
    --layout) layout="$2"; shift 2 ;;
    --skin) skin="$2"; shift 2 ;;
    --icon) icon="$2"; shift 2 ;;
    --payload) payload="$2"; shift 2 ;;
    --resource) [ $# -ge 4 ] || die "--resource takes TYPE NAME FILE"; extra+=("$2" "$3" "$4"); shift 4 ;;
    --source-scripts) compile_scripts=0; shift ;;
    --env) env_file="$2"; shift 2 ;;
    -h|--help) sed -n '2,25p' "$0"; exit 0 ;;
    *) die "unknown argument: $1" ;;
  esac
done
[ -n "$output" ] || die "--output is required"
[ -f "$env_file" ] || die "no build description at $env_file: build the project first"
# shellcheck disable=SC1090
source "$env_file"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

abs() { (cd "$(dirname "$1")" && printf '%s/%s' "$(pwd)" "$(basename "$1")"); }
need_file() { [ -f "$1" ] || die "$2 not found: $1"; }

# Lua source is compiled with the cross-built luac, run under Wine, from the
# script's own name so error messages name the script.
compile_script() {
  local source="$1" stored="$2"
  if [ "$compile_scripts" -eq 1 ] && [[ "$source" == *.lua ]]; then
    local name; name="$(basename "$source")"
    mkdir -p "$work/lua"
    cp "$source" "$work/lua/$name"
    (cd "$work/lua" && "$ROOT/tools/wine-run.sh" "$ZRB_LUAC" -o "$name.out" "$name") \
      || die "luac failed on $source"
    mv "$work/lua/$name.out" "$stored"
  else
    cp "$source" "$stored"
  fi
}

# A 7z archive is stored with its first two bytes exchanged.
store_payload() {
  local archive="$1" stored="$2"
  local b0 b1
  read -r b0 b1 < <(od -An -tx1 -N2 "$archive")
  [ -n "${b1:-}" ] || die "payload archive is shorter than two bytes"
  { printf "\\x$b1\\x$b0"; tail -c +3 "$archive"; } >"$stored"
}

# windres joins adjacent string literals, even across lines, so every
# resource line is followed by a statement that ends without one.
rc="$work/setup.rc"
separator='LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL'
{
  echo '#pragma code_page(65001)'
  printf '#include "%s/zrbinstaller/zrbinstaller.rc"\n' "$ROOT"
  echo "$separator"
} >"$rc"
resource_line() {
  printf '%s %s "%s"\n%s\n' "$1" "$2" "$3" "$separator" >>"$rc"
}

add_script() {
  local source="$1" name="$2"
  [ -n "$source" ] || return 0
  need_file "$source" "script"
  compile_script "$source" "$work/$name"
  resource_line "\"$name\"" LUA "$work/$name"
}
add_script "$config" GLOBAL_VAR.LUAC
add_script "$install" INSTSCRIPT.LUAC
add_script "$uninstall" UNINSTSCRIPT.LUAC

if [ -n "$layout" ]; then
  need_file "$layout" "layout"
  if [ "$(od -An -tx1 -N2 "$layout" | tr -d ' ')" = "fffe" ]; then
    cp "$layout" "$work/layout.xml"
  else
    iconv -f UTF-8 -t UTF-16LE "$layout" >"$work/layout.xml" || die "layout is not UTF-8 text"
  fi
  resource_line '"LAYOUT.XML"' XML "$work/layout.xml"
fi

if [ -n "$skin" ]; then
  [ -d "$skin" ] || die "skin folder not found: $skin"
  for image in "$skin"/*.png; do
    [ -e "$image" ] || continue
    id="$(basename "$image" | sed -n 's/^\([0-9][0-9]*\).*/\1/p')"
    [ -n "$id" ] || die "skin image name must begin with its resource id: $image"
    resource_line "$((10#$id))" PNG "$(abs "$image")"
  done
fi

if [ -n "$icon" ]; then
  need_file "$icon" "icon"
  resource_line 128 ICON "$(abs "$icon")"
fi

if [ -n "$payload" ]; then
  archive="$payload"
  if [ -d "$payload" ]; then
    archive="$work/payload.7z"
    (cd "$payload" && 7zz a -t7z -bd -bso0 -bsp0 "$archive" . >/dev/null) || die "7zz could not pack $payload"
  fi
  need_file "$archive" "payload"
  store_payload "$archive" "$work/payload.bin"
  resource_line '"APP.7Z"' _7Z "$work/payload.bin"
fi

i=0
while [ $i -lt ${#extra[@]} ]; do
  type="${extra[$i]}" name="${extra[$((i + 1))]}" file="${extra[$((i + 2))]}"
  need_file "$file" "resource"
  if [ "$type" = _7Z ]; then
    store_payload "$file" "$work/resource$i.bin"
    file="$work/resource$i.bin"
  fi
  [[ "$name" =~ ^[0-9]+$ ]] || name="\"$name\""
  # A quoted type right after a quoted name would be joined with it.
  [[ "$type" =~ ^[A-Za-z0-9_]+$ ]] || type="\"$type\""
  resource_line "$name" "$type" "$(abs "$file")"
  i=$((i + 3))
done

"$ZRB_WINDRES" -c 65001 -O coff -i "$rc" -o "$work/setup.res.o" || die "windres failed"
# shellcheck disable=SC2086
"$ZRB_CXX" -s -municode -mwindows -static -static-libgcc -static-libstdc++ -o "$output" \
  "$work/setup.res.o" -Wl,--undefined=_wWinMain@16 -Wl,--start-group $ZRB_LIBRARIES -Wl,--end-group $ZRB_SYSTEM_LINK \
  || die "link failed"
