#!/usr/bin/env bash
# Times korvane-solve as scripts run it: its start on one puzzle against a plain C++ program that reads
# the same file (paired rounds, medians), and one --count call over a collection of 1,000 puzzle files.
# Usage: bench/cli_bench.sh [build-dir]   (default ./build; needs korvane-solve, bare-start and
# korvane-bench-collection built there: cmake --build build --target korvane-solve bare-start
# korvane-bench-collection)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
solve="$build/cli/korvane-solve"
bare="$build/bench/bare-start"
make_collection="$build/bench/korvane-bench-collection"
for program in "$solve" "$bare" "$make_collection"; do
  [ -x "$program" ] || { echo "build $program first" >&2; exit 1; }
done
puzzle=examples/zebra.e65
rounds=11 runs=200 files=1000

# Milliseconds per run of `runs` runs of the command, as one figure.
per_run_ms() {
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; ++i)); do "$@" >/dev/null; done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n="$runs" 'BEGIN { printf "%.3f\n", ns / n / 1e6 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "start-up on $puzzle: $rounds rounds of $runs runs each, korvane-solve and bare-start in turn"
solve_ms=() bare_ms=() ratios=()
for ((r = 0; r < rounds; ++r)); do
  s=$(per_run_ms "$solve" "$puzzle")
  b=$(per_run_ms "$bare" "$puzzle")
  solve_ms+=("$s") bare_ms+=("$b") ratios+=("$(awk -v s="$s" -v b="$b" 'BEGIN { printf "%.3f\n", s / b }')")
done
echo "  korvane-solve: median $(printf '%s\n' "${solve_ms[@]}" | median) ms per run"
echo "  bare-start:    median $(printf '%s\n' "${bare_ms[@]}" | median) ms per run"
echo "  ratio, round by round: median $(printf '%s\n' "${ratios[@]}" | median)"

collection=$(mktemp -d)
trap 'rm -rf "$collection"' EXIT
"$make_collection" "$collection" "$files" >/dev/null
echo "one --count call over $files puzzle files:"
TIMEFORMAT='  %R s wall, %U s user, %S s system'
for ((r = 0; r < 5; ++r)); do
  { time "$solve" --count "$collection"/*.e65 >/dev/null; } 2>&1
done
