#!/usr/bin/env bash
# Writes a PNG of each window and dialog, in count-rate, ppb and D/H modes,
# showing a profile; the main window also at pixel ratio 2, in D/H mode at
# 1366 x 768 and, with the browser, on a dark palette; and the screen with the
# browser placed beside the main window. Usage: tools/screenshot.sh [OUTDIR [PROFILE]];
# by default build/screenshots and demo/breath-01.kel. Builds what it needs first. Under
# Xvfb when there is no display and xvfb-run is installed (the window system's
# own fonts and styles), otherwise on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
profile=${2:-demo/breath-01.kel}
[ -x build/bin/kel-screenshots ] || BUILD_TARGETS=kel-screenshots bash tools/build.sh build
rm -rf "$out"
shots=(build/bin/kel-screenshots "$out" "$profile" demo/demo-kinetics.txt)
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "${shots[@]}"
elif command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1600x1000x24" "${shots[@]}"
else
  QT_QPA_PLATFORM=offscreen "${shots[@]}"
fi
