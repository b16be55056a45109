#!/usr/bin/env bash
# Long fuzz runs of the portable core, by hand:
#   tests/fuzz/run.sh <target|all> [seconds]     (default 300 seconds; `all`: each in turn)
# Targets: index_reader command_line markup settings_integer.
# Builds the targets with clang++ in $KOVELAR_FUZZ_BUILD (default build-fuzz), or reuses that
# build, and runs one over its working corpus there, which keeps growing from run to run; the
# seeds in tests/fuzz/corpus are only read. A crash, leak, undefined operation, broken
# invariant or an input that runs 10 seconds stops the run and leaves the input in
# $KOVELAR_FUZZ_BUILD/artifacts; replay it with `$KOVELAR_FUZZ_BUILD/fuzz_<target> <file>`.
# Further libFuzzer options go in FUZZ_OPTIONS (for example FUZZ_OPTIONS=-jobs=2).
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
targets=(index_reader command_line markup settings_integer)

if [ $# -lt 1 ]; then
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
target=$1
seconds=${2:-300}
build=${KOVELAR_FUZZ_BUILD:-$repo/build-fuzz}

if [ "$target" = all ]; then
  selected=("${targets[@]}")
else
  case " ${targets[*]} " in
    *" $target "*) selected=("$target") ;;
    *) echo "unknown target: $target (one of: ${targets[*]}, all)" >&2; exit 2 ;;
  esac
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$repo/tests/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build "$build" -j2 >/dev/null

for t in "${selected[@]}"; do
  echo "== $t for ${seconds}s, corpus $build/corpus/$t"
  # shellcheck disable=SC2086
  "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" ${FUZZ_OPTIONS:-} \
    "$build/corpus/$t"
done
