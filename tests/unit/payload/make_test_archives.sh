#!/usr/bin/env bash
# Test fixture of payload_tests: source trees and 7z archives of them, made
# with the real 7-Zip (7zz) when the tests run.
#
# Usage: make_test_archives.sh <output folder> <a Windows program (PE file)>
# Writes <output>/src/<tree>/... and <output>/<archive>.7z.
set -euo pipefail

OUT="$1"
PE="$2"
export LC_ALL=C.UTF-8  # names are stored as Unicode from UTF-8

rm -rf "$OUT"
mkdir -p "$OUT/src"
SRC="$OUT/src"

# Every file gets a distinct stored time (multiples of 100 ns, as archives
# keep them).
stamp=0
stamp() {
  local file
  for file in "$@"; do
    stamp=$((stamp + 1))
    touch -m -d "@$((1000000000 + stamp * 86400)).$((stamp * 1234567 % 10000000))00" "$file"
  done
}

# --- mixed: the general tree ---
m="$SRC/mixed"
mkdir -p "$m/a/b" "$m/中文目录" "$m/empty folder/inner" "$m/Ünïcödé ÄÖÜ"
cp "$PE" "$m/program.exe"
seq 1 20000 >"$m/a/b/c.txt"
head -c 300000 /dev/urandom >"$m/a/random.bin"
: >"$m/empty.txt"
: >"$m/a/b/also empty"
printf '中文内容\r\n' >"$m/中文目录/文件.txt"
printf 'αβγ' >"$m/Ünïcödé ÄÖÜ/ε—ñ.txt"
printf 'outside the BMP' >"$m/😀.txt"
printf 'read only' >"$m/readonly.txt"
# Mode 604 gives this file an attribute value of its own, so tests can find
# it in an uncompressed header and add the hidden bit.
printf 'to be hidden' >"$m/hidden.txt"
find "$m" -type f -print0 | while IFS= read -r -d '' f; do stamp "$f"; done
chmod 444 "$m/readonly.txt"
chmod 604 "$m/hidden.txt"

# --- big: one solid block much larger than the decoder's window ---
b="$SRC/big"
mkdir -p "$b"
{ cat "$PE" "$PE" "$PE"; seq 1 500000; head -c 1000000 /dev/urandom; } >"$b/blob.bin"
{ seq 1 100000; cat "$PE"; } >"$b/second.bin"
stamp "$b/blob.bin" "$b/second.bin"

# --- folders: a tree of folders only ---
mkdir -p "$SRC/folders/one/two/three" "$SRC/folders/四" "$SRC/folders/empty"

# --- lock: three small files in one folder, for the create-error cases ---
mkdir -p "$SRC/lock/sub"
for n in 1 2 3; do printf 'new content %s\r\n' "$n" >"$SRC/lock/sub/$n.txt"; done

# --- hostile: placeholder names that tests turn into hostile ones ---
h="$SRC/hostile"
mkdir -p "$h/P1" "$h/UUserver" "$h/a/P2/P2" "$h/dots/D3D"
for f in safe.txt P1/up.txt Qabs.txt CXdrive.txt UUserver/share.txt a/P2/P2/deep.txt \
         dots/D3D/x.txt P5Xup2.txt adsXstream.txt; do
  printf '%s' "$f" >"$h/$f"
done

pack() {  # archive name, tree, 7zz switches...
  local name="$1" tree="$2"
  shift 2
  (cd "$SRC/$tree" && 7zz a -t7z -bd -bso0 -bsp0 "$@" "$OUT/$name.7z" . >/dev/null)
}

pack lzma mixed -m0=LZMA
pack lzma2 mixed -m0=LZMA2 -mf=off
pack bcj-lzma2 mixed -m0=BCJ -m1=LZMA2
pack arm-lzma mixed -m0=ARM -m1=LZMA
pack armt mixed -m0=ARMT -m1=LZMA2
pack arm64 mixed -m0=ARM64 -m1=LZMA2
pack ppc mixed -m0=PPC -m1=LZMA2
pack sparc mixed -m0=SPARC -m1=LZMA2
pack ia64 mixed -m0=IA64 -m1=LZMA2
pack riscv mixed -m0=RISCV -m1=LZMA2
pack delta mixed -m0=Delta:4 -m1=LZMA2
pack bcj2 mixed -mf=BCJ2 -m0=LZMA2
pack copy mixed -m0=Copy -mf=off
pack default-solid mixed
pack non-solid mixed -ms=off
pack big-lzma big -m0=LZMA:d=256k
pack big-lzma2 big -m0=LZMA2:d=256k
pack big-bcj2 big -mf=BCJ2 -m0=LZMA2:d=256k
pack big-arm big -m0=ARM -m1=LZMA:d=256k
pack big-copy big -m0=Copy -mf=off
pack folders folders
pack lock lock -m0=LZMA2
# Uncompressed headers, for tests that edit names and attributes.
pack plain-header mixed -m0=LZMA2 -mhc=off
(cd "$h" && 7zz a -t7z -bd -bso0 -bsp0 -mhc=off -m0=LZMA2 "$OUT/hostile.7z" \
  safe.txt P1/up.txt Qabs.txt CXdrive.txt UUserver/share.txt a/P2/P2/deep.txt \
  dots/D3D/x.txt P5Xup2.txt adsXstream.txt >/dev/null)
echo "test archives ready in $OUT"
