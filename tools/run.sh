#!/usr/bin/env bash
# Installs what is missing, builds what it runs (not the tests and
# benchmarks), and runs the demo job on a copy of the demo folder: a batch
# conversion and a PNG plot of its newest profile, then the desktop window
# with that profile open. Without a display the window runs under Xvfb and
# is pictured in count-rate, ppb and D/H modes beside the batch outputs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
BUILD_TARGETS="kelview kelview-cli kel-screenshots" bash tools/build.sh build
cli=build/bin/kelview-cli

# A fresh copy each run; demo/ itself is never written.
out=build/demo-run
rm -rf "$out"
mkdir -p "$out"
cp demo/*.kel "$out"/

"$cli" batch "$out"

newest=$(for f in "$out"/*.kel; do
  date=$("$cli" info --header-only "$f" | sed -n 's/.*"ProfileDate":\([^,]*\),.*/\1/p')
  printf '%s %s\n' "$date" "$f"
done | sort -g -r | head -n 1 | cut -d' ' -f2-)
plot="$out/$(basename "$newest" .kel).png"
"$cli" plot "$newest" -o "$plot"

echo
echo "Outputs in $(cd "$out" && pwd):"
echo "  worksheets and ppb files: *.kel.csv, *.kelPpb.csv, AllFilesPpb.csv"
echo "  plot of the newest profile ($(basename "$newest")): $(basename "$plot")"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening the desktop window on $(basename "$newest") (logs go to that folder) ..."
  root=$(pwd)
  (cd "$out" && "$root/build/bin/kelview" "$(basename "$newest")")
else
  echo "No display: the desktop window under Xvfb, pictured in"
  bash tools/screenshot.sh "$out/screenshots" "$newest" | sed 's/^/  /'
fi

