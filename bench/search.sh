#!/usr/bin/env bash
# The search benchmark: a 1,000,000-entry index, then for each term `grep -F -c TERM` and
# search_bench (read the whole file, split it, match the key) side by side, alternating, several
# times each. Prints a Markdown report and keeps a copy in BUILD_DIR/bench/search-report.md.
#
#   bench/search.sh [BUILD_DIR] [REPEATS]      (defaults: build-core, 7)
#
# Times are wall-clock milliseconds of whole processes (start to exit), best and median; the
# bench's own figures split its run into load, split and match. The first-touch floor is the time
# the bench takes merely to touch a fresh buffer of the file's size: the least that any load of
# the whole file pays on this machine, whatever the code does with the bytes.
set -euo pipefail
export LC_ALL=C  # grep's fastest mode, and a '.' in the clock readings

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build-core}
repeats=${2:-7}
entries=1000000
terms=(ZQXJ DJANGO TMP CACHE E)

cmake --build "$build" --target search_bench -j2 >/dev/null
bench=$build/bench/search_bench
index=$build/bench/index-$entries.dat
if [ ! -s "$index" ]; then
  python3 "$repo/../shared/bench/make-index.py" "$entries" "$index.tmp"
  mv "$index.tmp" "$index"
fi
file_bytes=$(stat -c %s "$index")

# Wall time of one command in ms; its output goes to the file named by $1.
timed() {
  local out=$1; shift
  local start=$EPOCHREALTIME
  "$@" >"$out" || true  # grep -c exits with 1 when it counts nothing
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'
}

# best and median of the numbers on stdin
best_median() {
  sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                                      printf "%.1f %.1f\n", v[1], m }'
}

field() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p; s/^$1=\([0-9.]*\).*/\1/p" "$2" | head -n 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One untimed round so that the file is in the page cache for everyone.
grep -F -c ZQXJ "$index" >/dev/null || true
"$bench" "$index" ZQXJ >/dev/null

report=$build/bench/search-report.md
{
  echo "Index: $entries entries, $file_bytes bytes ($(basename "$index")); $repeats runs each;"
  echo "$(nproc) cores, $(uname -sr); $(date -u '+%Y-%m-%d %H:%M UTC')."
  echo
  echo "| term | our matches | grep -c lines | grep -F -c best / median ms | search_bench best / median ms | load / split / match median ms | first-touch floor median ms | peak MB | peak / file |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|"
  for term in "${terms[@]}"; do
    : >"$tmp/grep.ms"; : >"$tmp/ours.ms"
    : >"$tmp/load"; : >"$tmp/split"; : >"$tmp/match"; : >"$tmp/touch"; : >"$tmp/peak"
    for ((r = 0; r < repeats; r++)); do
      timed "$tmp/grep.out" grep -F -c "$term" "$index" >>"$tmp/grep.ms"
      timed "$tmp/ours.out" "$bench" "$index" "$term" >>"$tmp/ours.ms"
      for f in load split match; do field "${f}_ms" "$tmp/ours.out" >>"$tmp/$f"; done
      field peak_kb "$tmp/ours.out" >>"$tmp/peak"
      "$bench" --first-touch "$index" >"$tmp/touch.out"
      field touch_ms "$tmp/touch.out" >>"$tmp/touch"
    done
    read -r grep_best grep_median < <(best_median <"$tmp/grep.ms")
    read -r ours_best ours_median < <(best_median <"$tmp/ours.ms")
    median() { best_median <"$tmp/$1" | cut -d' ' -f2; }
    peak_kb=$(sort -g "$tmp/peak" | tail -n 1)
    printf '| %s | %s | %s | %s / %s | %s / %s | %s / %s / %s | %s | %.1f | %.2f |\n' \
      "$term" "$(field matches "$tmp/ours.out")" "$(cat "$tmp/grep.out")" \
      "$grep_best" "$grep_median" "$ours_best" "$ours_median" \
      "$(median load)" "$(median split)" "$(median match)" "$(median touch)" \
      "$(awk -v k="$peak_kb" 'BEGIN { print k / 1024 }')" \
      "$(awk -v k="$peak_kb" -v b="$file_bytes" 'BEGIN { print k * 1024 / b }')"
  done
} | tee "$report"
