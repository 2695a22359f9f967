#!/usr/bin/env bash
# Configures and builds one tree. Usage: tools/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVIEW_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
