#!/usr/bin/env bash
# Builds if needed, then writes a PNG of each window and dialog, showing the
# demo profile, into build/screenshots/. Under Xvfb when there is no display
# and xvfb-run is installed (real window-system fonts and styles), otherwise
# on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/bin/kel-screenshots ] || bash tools/build.sh build
out=build/screenshots
rm -rf "$out"
shots=(build/bin/kel-screenshots "$out" demo/breath-01.kel demo/demo-kinetics.txt)
if [ -n "${DISPLAY:-}" ]; then
  "${shots[@]}"
elif command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1600x1000x24" "${shots[@]}"
else
  QT_QPA_PLATFORM=offscreen "${shots[@]}"
fi
