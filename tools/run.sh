#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo job: a batch conversion
# of a copy of the demo folder and a PNG plot of its newest profile, then the
# desktop window on that profile. Without a display the window is pictured
# under Xvfb instead (build/screenshots/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh build
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

if [ -n "${DISPLAY:-}" ]; then
  echo "Opening the desktop window on $(basename "$newest") ..."
  build/bin/kelview "$newest"
else
  echo
  echo "No display: pictures of the desktop windows instead:"
  bash tools/screenshot.sh
fi
