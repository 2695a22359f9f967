#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build
# and lintian on its Debian packages, then the whole suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, then the core and
# kelview-cli built for Windows and tested under wine, then, when clang is
# there, every fuzz target for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
bash tools/setup.sh
bash tools/build.sh build
(cd build && ctest --output-on-failure -j"$(nproc)")
# The Debian packages the tests above made, as Debian's checker sees them:
# nothing at error or warning level.
if command -v lintian >/dev/null; then
  lintian --pedantic --fail-on error,warning build/test-package/*.deb
fi
PRESET=asan bash tools/build.sh build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$(nproc)")
# The work shared out to threads (summary, batch) under ThreadSanitizer: only
# the core's test programs that hold those tests are built, without Qt.
PRESET=tsan BUILD_TARGETS="test_common test_browser" bash tools/build.sh build-tsan
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j"$(nproc)" \
  -R 'OrderedJobs|Summary\.|BatchJobs')
bash tools/test-windows.sh build-windows

# Each fuzz target from its seeds in fuzz/corpus/; what it learns stays in
# build-fuzz/corpus/, and a finding stops the run and leaves its reproducer
# in build-fuzz/findings/.
if command -v clang++ >/dev/null; then
  cmake --preset fuzz -B build-fuzz >/dev/null
  targets=$(basename -s .cpp fuzz/fuzz_*.cpp)
  # shellcheck disable=SC2086
  cmake --build build-fuzz -j"$(nproc)" --target $targets
  mkdir -p build-fuzz/findings
  for target in $targets; do
    seeds=fuzz/corpus/${target#fuzz_}
    mkdir -p "build-fuzz/corpus/${target#fuzz_}"
    "build-fuzz/bin/$target" -max_total_time=20 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ \
      "build-fuzz/corpus/${target#fuzz_}" "$seeds"
  done
fi
