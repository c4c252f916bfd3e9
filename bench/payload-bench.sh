#!/usr/bin/env bash
# Payload extraction benchmark (not a test).
#
# Builds a payload of about 64 MiB of mixed content (Windows executables,
# text, already-compressed files), packs it with 7-Zip as LZMA2 with BCJ2,
# and measures in one run:
#   - 7-Zip's own single-threaded extraction (7zz x -mmt1), natively;
#   - our extraction under Wine (bench/payload_bench.exe), from memory as the
#     setup unpacks its payload resource, and from the archive file;
#   - the peak memory of our process;
#   - both extractions of the same bytes packed as one file, which leaves out
#     the cost of creating files (high under Wine).
# Each extraction runs five times; the best time counts (the machine may be
# shared).
#
# Usage: bench/payload-bench.sh [work folder]   (after tools/build.sh)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZRB_BUILD_DIR:-$ROOT/build}"
BENCH_EXE="$BUILD/bench/payload_bench.exe"
WORK="${1:-$(mktemp -d /tmp/zrb-payload-bench.XXXXXX)}"
RUNS=5
MiB=$((1024 * 1024))

[ -f "$BENCH_EXE" ] || { echo "payload-bench: build first (tools/build.sh)" >&2; exit 2; }
command -v 7zz >/dev/null || { echo "payload-bench: 7zz is missing" >&2; exit 2; }
source "$ROOT/tools/x-session.sh"

# Copies files from the list on stdin into $1 until $2 bytes are there.
# Names are numbered so that files from different folders never collide.
fill() {
  local target="$1" budget="$2" total=0 n=0 file size
  mkdir -p "$target"
  while IFS= read -r file; do
    size=$(stat -c %s "$file")
    [ "$size" -gt 0 ] || continue
    [ $((total + size)) -le "$budget" ] || continue
    n=$((n + 1))
    cp "$file" "$target/$(printf '%04d' $n)_$(basename "$file")"
    total=$((total + size))
    # Once full, drain the list so the producer never meets a closed pipe.
    [ "$total" -lt $((budget - 4096)) ] || { cat >/dev/null; break; }
  done
}

make_payload() {
  local payload="$WORK/payload"
  rm -rf "$payload"
  # Executables: the Wine prefix's system programs and libraries (PE files).
  find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -type f \( -name '*.dll' -o -name '*.exe' \) |
    sort | fill "$payload/bin" $((24 * MiB))
  # Text: C and C++ sources and headers.
  find "$ROOT/.cache/deps" /usr/share/mingw-w64/include -type f \
    \( -name '*.c' -o -name '*.h' -o -name '*.cpp' -o -name '*.txt' \) 2>/dev/null |
    sort | fill "$payload/text" $((20 * MiB))
  # Already compressed: gzip files and PNG images, topped up with random bytes.
  find /usr/share/doc "$ROOT/resources" -type f \( -name '*.gz' -o -name '*.png' \) |
    sort | fill "$payload/media" $((16 * MiB))
  local have; have=$(du -sb "$payload" | cut -f1)
  head -c $((64 * MiB - have)) /dev/urandom >"$payload/media/random.bin"
}

mkdir -p "$WORK"
echo "work folder: $WORK"
make_payload
archive="$WORK/payload.7z"
rm -f "$archive"
(cd "$WORK/payload" && 7zz a -t7z -mf=BCJ2 -m0=LZMA2 -bd -bso0 -bsp0 "$archive" . >/dev/null)
# The same bytes as one file: what is left without the cost per file.
rm -rf "$WORK/single" "$WORK/single.7z"
mkdir -p "$WORK/single"
tar -cf "$WORK/single/payload.tar" -C "$WORK/payload" .
(cd "$WORK/single" && 7zz a -t7z -mf=BCJ2 -m0=LZMA2 -bd -bso0 -bsp0 "$WORK/single.7z" . >/dev/null)

payload_bytes=$(du -sb "$WORK/payload" | cut -f1)
files=$(find "$WORK/payload" -type f | wc -l)
archive_bytes=$(stat -c %s "$archive")
# Sizes of the solid blocks: the sum of the file sizes in each block.
largest_block=$(7zz l -slt "$archive" | awk '
  /^Size = /  { size = $3 }
  /^Block = / { block[$3] += size }
  END { m = 0; for (b in block) if (block[b] > m) m = block[b]; print m }')

zrb_start_display >/dev/null
trap zrb_stop_session EXIT
zrb_start_wine

run_7zz() {  # archive, tree it holds: prints seconds
  local out="$WORK/out-7zz" start end
  rm -rf "$out"
  start=$(date +%s.%N)
  7zz x -mmt1 -y -bd -bso0 -bsp0 -o"$out" "$1" >/dev/null
  end=$(date +%s.%N)
  diff -r "$2" "$out" >/dev/null || { echo "7zz output differs" >&2; exit 1; }
  echo "$end - $start" | bc -l
}

run_ours() {  # --memory or --file, archive, tree: prints "seconds peak_bytes before_bytes"
  local mode="$1" out="$WORK/out-ours" line
  rm -rf "$out"
  if [ "$mode" = --memory ]; then
    line=$(wine "$BENCH_EXE" --memory "$(winepath -w "$2")" "$(winepath -w "$out")" 2>/dev/null)
  else
    line=$(wine "$BENCH_EXE" "$(winepath -w "$2")" "$(winepath -w "$out")" 2>/dev/null)
  fi
  case "$line" in result=0\ *) ;; *) echo "our extraction failed: $line" >&2; exit 1 ;; esac
  diff -r "$3" "$out" >/dev/null || { echo "our output differs" >&2; exit 1; }
  echo "$line" | sed -E 's/.*seconds=([0-9.]+) working_set_before=([0-9]+) peak_working_set=([0-9]+).*/\1 \3 \2/'
}

# The runs take turns, so that load from elsewhere hits all of them alike.
declare -A times peak before
for _ in $(seq $RUNS); do
  times[7zz]+="$(run_7zz "$archive" "$WORK/payload") "
  for mode in --memory --file; do
    read -r s p b < <(run_ours "$mode" "$archive" "$WORK/payload")
    times[$mode]+="$s "
    peak[$mode]=$p
    before[$mode]=$b
  done
  times[7zz-single]+="$(run_7zz "$WORK/single.7z" "$WORK/single") "
  read -r s _ _ < <(run_ours --memory "$WORK/single.7z" "$WORK/single")
  times[single]+="$s "
done
rm -rf "$WORK/out-7zz" "$WORK/out-ours"

best() { tr ' ' '\n' <<<"${times[$1]}" | grep . | sort -n | head -n 1; }
t7=$(best 7zz)
declare -A seconds=([--memory]=$(best --memory) [--file]=$(best --file))
mbs() { echo "scale=1; $payload_bytes / $MiB / $1" | bc -l; }
mib() { echo "scale=1; $1 / $MiB" | bc -l; }
rate_7zz=$(mbs "$t7")
rate_mem=$(mbs "${seconds[--memory]}")
rate_file=$(mbs "${seconds[--file]}")
ratio=$(printf %.2f "$(echo "$t7 / ${seconds[--memory]}" | bc -l)")
bound=$((archive_bytes + largest_block + 16 * MiB))
used=$((peak[--memory] - before[--memory]))

echo "payload:            $(mib "$payload_bytes") MiB in $files files"
echo "archive:            $(mib "$archive_bytes") MiB (LZMA2 + BCJ2), largest solid block $(mib "$largest_block") MiB"
echo "7zz x -mmt1:        $(printf %.3f "$t7") s  ${rate_7zz} MiB/s  (native)"
echo "ours, from memory:  ${seconds[--memory]} s  ${rate_mem} MiB/s  (Wine)"
echo "ours, from file:    ${seconds[--file]} s  ${rate_file} MiB/s  (Wine)"
echo "ratio:              ${ratio} (ours from memory / 7zz; target at least 0.70)"
echo "peak memory:        $(mib "${peak[--memory]}") MiB working set, $(mib "$used") MiB above the start (archive copy included)"
echo "                    from file: $(mib "${peak[--file]}") MiB working set, $(mib $((peak[--file] - before[--file]))) MiB above the start"
echo "memory bound:       $(mib "$bound") MiB (archive + largest block + 16 MiB)"
t7s=$(best 7zz-single)
tss=$(best single)
echo "as one file:        7zz $(printf %.3f "$t7s") s $(mbs "$t7s") MiB/s, ours from memory $tss s $(mbs "$tss") MiB/s, ratio $(printf %.2f "$(echo "$t7s / $tss" | bc -l)")"
