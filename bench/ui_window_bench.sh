#!/usr/bin/env bash
# Runs the window benchmark on a display: the one in DISPLAY, or a private Xvfb when there is none.
# Usage: bench/ui_window_bench.sh [build-dir]   (default ./build; needs korvane-ui-bench built there)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
bench="$build/bench/korvane-ui-bench"
[ -x "$bench" ] || { echo "build $bench first: cmake --build $build --target korvane-ui-bench" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :97 -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb' EXIT
  export DISPLAY=:97
  sleep 1
fi
KORVANE_BENCH_LAUNCHED_MS=$(date +%s%3N) "$bench" examples/zebra.e65
