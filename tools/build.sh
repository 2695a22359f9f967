#!/usr/bin/env bash
# Configures and builds one tree from a preset of CMakePresets.json (PRESET,
# default dev). Usage: tools/build.sh BUILD_DIR [cmake options...]
# With BUILD_TARGETS set (space-separated), builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
cmake --preset "${PRESET:-dev}" -B "$dir" "$@" >/dev/null
targets=()
for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
