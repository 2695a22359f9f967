#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build,
# then the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
bash tools/setup.sh
bash tools/build.sh build
(cd build && ctest --output-on-failure -j"$(nproc)")
bash tools/build.sh build-asan -DKELVIEW_SANITIZE=ON -DKELVIEW_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$(nproc)")
