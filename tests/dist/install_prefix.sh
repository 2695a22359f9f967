#!/usr/bin/env bash
# Installs the build into a fresh PREFIX, as `cmake --install` does for a user.
# Usage: install_prefix.sh BUILD_DIR PREFIX
set -euo pipefail
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/kelview-cli"
if [ -x "$prefix/bin/kelview" ]; then
  # The window's command channel is a module it loads from beside itself.
  test -f "$prefix/lib/kelview/kelview-channel.so"
fi
