#!/usr/bin/env bash
# Runs clang-tidy with the tree's .clang-tidy over every source file of the
# tree, from the compile commands of a build. Usage: tools/tidy.sh [BUILD_DIR]
# (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
[ -f "$dir/compile_commands.json" ] || cmake --preset dev -B "$dir" >/dev/null
git ls-files 'src/*.cpp' 'tools/*.cpp' | xargs -P "$(nproc)" -n 8 clang-tidy -p "$dir" --quiet
