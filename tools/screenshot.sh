#!/usr/bin/env bash
# Takes the README's picture of the window: Zebra loaded from the command line (from /tmp/korvane, so that
# the caption names no developer's folder) and solved, on a private X display (Xvfb and openbox), so that
# the picture can be refreshed whenever the window changes.
# Usage: tools/screenshot.sh [build-dir] [output.png]   (defaults: build, docs/korvane-window.png)
# Needs: xvfb openbox xdotool imagemagick (Debian packages; not needed by the build or the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="${2:-docs/korvane-window.png}"
korvane="$build/ui/korvane"
[ -x "$korvane" ] || { echo "build $korvane first (make build)" >&2; exit 1; }
for tool in Xvfb openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb openbox xdotool imagemagick" >&2; exit 1; }
done

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

# Xvfb picks a free display itself and tells which on the given descriptor.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 -u "$displayfd" number || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# Opened from a neutral folder: the caption shows the puzzle's path, which should not be a checkout's.
shown=/tmp/korvane/zebra.e65
mkdir -p "$(dirname "$shown")"
cp examples/zebra.e65 "$shown"
"$korvane" "$shown" >/dev/null 2>&1 &
pids+=($!)
# The caption becomes the file's path once the puzzle is loaded.
window=$(xdotool search --sync --onlyvisible --name 'zebra\.e65$' | head -n 1)
sleep 0.5
# "soluce" (BitBtn19) sits at (608, 588), 66 by 25 pixels, in the window's fixed layout.
xdotool mousemove --window "$window" 641 600 click 1
sleep 1
xdotool mousemove 0 0
mkdir -p "$(dirname "$out")"
import -silent -window "$window" -frame -strip "$out"
echo "$out: $(identify -format '%wx%h' "$out"), $(stat -c %s "$out") bytes"
