#!/usr/bin/env bash
# A user's build, configured with the default options as the README's
# "Installing" does, needs no GoogleTest: configuring succeeds with CMake
# told that the package does not exist.
# Usage: configure_without_gtest.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail
source=$1 scratch=$2
rm -rf "$scratch"
if ! log=$(cmake -S "$source" -B "$scratch" -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON 2>&1); then
  echo "FAIL: configuring without GoogleTest failed:" >&2
  echo "$log" >&2
  exit 1
fi
rm -rf "$scratch"
