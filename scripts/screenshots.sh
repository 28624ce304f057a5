#!/usr/bin/env bash
# Regenerates the pictures of the user guide (docs/img/) from the program
# itself: every window test program runs under Xvfb with VOR_SCREENSHOT
# pointing at the folder, and the tests that show a window save its picture.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
out=${1:-$here/docs/img}
mkdir -p "$out"
for t in "$build"/test_*_ui; do
  [ -x "$t" ] || continue
  VOR_SCREENSHOT="$out" xvfb-run -a -s "-screen 0 1280x1024x24" "$t" \
      >/dev/null 2>&1 || echo "warning: $(basename "$t") failed"
done
ls "$out"
