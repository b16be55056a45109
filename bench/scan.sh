#!/usr/bin/env bash
# The scan benchmark: kovelar.exe's drive scan of a 100,000-folder tree under Wine, beside the
# bare walk of the same listing calls (walk.exe) and `find -type d` on the Linux side, in one run.
#
#   bench/scan.sh [BUILD_DIR] [--responsive]
#
# Rows: find; walk.exe bare; with a PeekMessage per entry; with the scan's display work (count
# field and progress bar set after every folder, the queue emptied after every entry); with that
# work done at most every 20 ms; and kovelar.exe itself.
# BUILD_DIR (default: build) is a native build whose Windows half has been built (./run-tests
# or cmake --build): its win/tests/wine/bin holds kovelar.exe, walk.exe and scanclock.exe.
# The tree (make-tree.py DIR 100000 500000, about 16 s) is made once in BUILD_DIR/bench and
# mapped as the fixed drive H: of a scan prefix (tests/wine/harness.sh setup ... scan) whose
# other fixed and network drives are emptied for the run, so the scan walks the tree only.
# --responsive also runs the end-to-end test Responsiveness on that tree.
# Prints the table and keeps it in BUILD_DIR/bench/scan-report.md. Not a ctest test.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build
RESPONSIVE=
for arg in "$@"; do
    case $arg in
        --responsive) RESPONSIVE=1 ;;
        *) BUILD=$arg ;;
    esac
done
BIN=$(realpath "$BUILD/win/tests/wine/bin")
for exe in kovelar.exe walk.exe scanclock.exe kv_e2e.exe; do
    [ -f "$BIN/$exe" ] || { echo "scan.sh: $BIN/$exe missing: build first" >&2; exit 2; }
done
HARNESS=tests/wine/harness.sh
STATE=$(realpath -m "$BUILD/bench/wine-scan-bench")
REPORT=$(realpath -m "$BUILD/bench/scan-report.md")
mkdir -p "$BUILD/bench"

KV_LARGE_TREES=1 bash "$HARNESS" setup "$STATE" scan
trap 'bash "$HARNESS" cleanup "$STATE"' EXIT
TREE=$STATE/trees/t100k
PREFIX=$STATE/prefix
# Only H: holds folders: D: and E: (the fixture drives) lead to an empty folder for the run.
for d in d: e:; do ln -sfn "$STATE/trees/empty" "$PREFIX/dosdevices/$d"; done
ln -sfn t100k "$STATE/trees/mapped-h"
mkdir -p "$PREFIX/drive_c/kvbench"

# Seconds of wall-clock time of a command, its output discarded.
seconds() {
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l
}
figure() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" | tail -1; }
rate() { printf '%.0f' "$(echo "$1 / $2" | bc -l)"; }

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
# Warm the page cache and the directory cache once; every figure below is then a warm one.
find "$TREE" -type d | wc -l >/dev/null
find_dirs=$(find "$TREE" -type d | wc -l)
find_s=$(seconds find "$TREE" -type d)

walk_out=$(bash "$HARNESS" run "$STATE" "$BIN/walk.exe" 'H:\' 2>&1)
walk_dirs=$(figure folders <<<"$walk_out")
walk_entries=$(figure entries <<<"$walk_out")
walk_s=$(figure seconds <<<"$walk_out")

peek_out=$(bash "$HARNESS" run "$STATE" "$BIN/walk.exe" --peek 'H:\' 2>&1)
peek_s=$(figure seconds <<<"$peek_out")
ui_out=$(bash "$HARNESS" run "$STATE" "$BIN/walk.exe" --ui 'H:\' 2>&1)
ui_s=$(figure seconds <<<"$ui_out")
every_out=$(bash "$HARNESS" run "$STATE" "$BIN/walk.exe" --ui --every 20 'H:\' 2>&1)
every_s=$(figure seconds <<<"$every_out")

scan_out=$(bash "$HARNESS" run "$STATE" "$BIN/scanclock.exe" 'C:\kvbin\kovelar.exe' 'C:\kvbench' 2>&1)
scan_dirs=$(figure folders <<<"$scan_out")
scan_s=$(figure seconds <<<"$scan_out")
[ -n "$scan_s" ] || { echo "scan.sh: the scan was not timed: $scan_out" >&2; exit 1; }
load_end=$(cut -d' ' -f1-3 /proc/loadavg)

if [ "$walk_dirs" != "$scan_dirs" ]; then
    echo "scan.sh: the walk found $walk_dirs folders, the scan $scan_dirs" >&2
    exit 1
fi
expected=$(($(wc -l <"$STATE/trees/t100k.dat")))
[ "$scan_dirs" = "$expected" ] || echo "scan.sh: warning: $expected folders expected" >&2

ratio=$(printf '%.2f' "$(echo "$walk_s / $scan_s" | bc -l)")
{
    echo "Tree: 100,000 folders, 500,000 files (make-tree.py); $walk_entries listing entries."
    echo "Load average at start $load_start, at end $load_end."
    echo
    echo "| what | folders | seconds | folders/s |"
    echo "|---|---|---|---|"
    echo "| find -type d (Linux) | $find_dirs | $(printf '%.2f' "$find_s") | $(rate "$find_dirs" "$find_s") |"
    echo "| bare walk under Wine (walk.exe) | $walk_dirs | $walk_s | $(rate "$walk_dirs" "$walk_s") |"
    echo "| bare walk + PeekMessage per entry (walk.exe --peek) | $walk_dirs | $peek_s | $(rate "$walk_dirs" "$peek_s") |"
    echo "| bare walk + count and bar set per folder, queue emptied per entry (walk.exe --ui) | $walk_dirs | $ui_s | $(rate "$walk_dirs" "$ui_s") |"
    echo "| the same, both at most every 20 ms (walk.exe --ui --every 20) | $walk_dirs | $every_s | $(rate "$walk_dirs" "$every_s") |"
    echo "| kovelar.exe scan, click to end of the update run | $scan_dirs | $scan_s | $(rate "$scan_dirs" "$scan_s") |"
    echo
    echo "Ratio scan/bare (speed of the scan over the speed of the bare walk): $ratio (target >= 0.4)."
} | tee "$REPORT"

if [ -n "$RESPONSIVE" ]; then
    KV_SCAN_TREE=t100k bash "$HARNESS" run "$STATE" "$BIN/kv_e2e.exe" --gtest_filter='Responsiveness.*'
fi
