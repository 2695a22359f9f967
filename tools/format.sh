#!/usr/bin/env bash
# Formats every C++ file of the tree with its .clang-format; with --check,
# only says which files differ and fails if any does.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' | grep -v '^tests/layers/fixtures/')
if [ "${1:-}" = --check ]; then
  # shellcheck disable=SC2086
  clang-format --dry-run --Werror $files
else
  # shellcheck disable=SC2086
  clang-format -i $files
fi
