#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled demo data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh build
for profile in demo/*.kel; do
  build/bin/kelview-cli summary "$profile"
done
