#!/usr/bin/env bash
# The search benchmark: a 1,000,000-entry index, then for each term `grep -F -c TERM`, the
# streaming search (search_bench) and the earlier whole-file path (search_bench --whole) side by
# side, in turn, several rounds each. Prints a Markdown report and keeps a copy in
# BUILD_DIR/bench/search-report.md.
#
#   bench/search.sh [BUILD_DIR] [REPEATS]      (defaults: build-core, 9)
#
# Times are wall-clock milliseconds of whole processes (start to exit), best and median; peaks
# are the largest peak resident set (VmHWM) of the rounds.
set -euo pipefail
export LC_ALL=C  # grep's fastest mode, and a '.' in the clock readings

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build-core}
repeats=${2:-9}
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

# Wall time of one command in ms; its output goes to the file named by $1 (a real file: grep
# stops at the first match when its output is /dev/null).
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
field() { sed -n "s/.*\<$1=\([0-9.]*\).*/\1/p" "$2" | head -n 1; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v k="$1" -v b="$file_bytes" 'BEGIN { printf "%.2f", k * 1024 / b }'; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One untimed round so that the file is in the page cache for everyone.
grep -F -c ZQXJ "$index" >"$tmp/warm" || true
"$bench" "$index" ZQXJ >/dev/null

report=$build/bench/search-report.md
{
  echo "Index: $entries entries, $file_bytes bytes ($(basename "$index")); $repeats rounds each;"
  echo "$(nproc) cores, $(uname -sr); $(date -u '+%Y-%m-%d %H:%M UTC');"
  echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
  echo "| term | our matches | grep -c lines | grep -F -c best / median ms | streaming best / median ms | whole-file best / median ms | streaming peak MB | peak / file | whole-file peak / file |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|"
  for term in "${terms[@]}"; do
    for f in grep stream whole stream_peak whole_peak; do : >"$tmp/$f"; done
    for ((r = 0; r < repeats; r++)); do
      timed "$tmp/grep.out" grep -F -c "$term" "$index" >>"$tmp/grep"
      timed "$tmp/stream.out" "$bench" "$index" "$term" >>"$tmp/stream"
      timed "$tmp/whole.out" "$bench" --whole "$index" "$term" >>"$tmp/whole"
      field peak_kb "$tmp/stream.out" >>"$tmp/stream_peak"
      field peak_kb "$tmp/whole.out" >>"$tmp/whole_peak"
    done
    matches=$(field matches "$tmp/stream.out")
    if [ "$matches" != "$(field matches "$tmp/whole.out")" ] ||
       [ "$(field entries "$tmp/stream.out")" != "$(field entries "$tmp/whole.out")" ]; then
      echo "streaming and whole-file searches disagree on $term" >&2
      exit 1
    fi
    read -r grep_best grep_median < <(best_median <"$tmp/grep")
    read -r stream_best stream_median < <(best_median <"$tmp/stream")
    read -r whole_best whole_median < <(best_median <"$tmp/whole")
    stream_peak=$(sort -g "$tmp/stream_peak" | tail -n 1)
    whole_peak=$(sort -g "$tmp/whole_peak" | tail -n 1)
    printf '| %s | %s | %s | %s / %s | %s / %s | %s / %s | %s | %s | %s |\n' \
      "$term" "$matches" "$(cat "$tmp/grep.out")" \
      "$grep_best" "$grep_median" "$stream_best" "$stream_median" "$whole_best" "$whole_median" \
      "$(mb "$stream_peak")" "$(ratio "$stream_peak")" "$(ratio "$whole_peak")"
  done
  echo
  echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)."
} | tee "$report"
