#!/usr/bin/env bash
# The installed kelview-cli, run from a folder outside the source and build
# trees, finds the demo kinetics library installed beside it: ppb results come
# out, from wherever the installed files are moved to, and without that file
# the tool names the installed path it looked for.
# Usage: installed_cli_test.sh PREFIX DEMO_PROFILE
set -euo pipefail
prefix=$1 demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/moved/bin" "$work/moved/share" "$work/run"
cp "$prefix/bin/kelview-cli" "$work/moved/bin/"
cp -r "$prefix/share/kelview" "$work/moved/share/"
cp "$demo" "$work/run/profile.kel"
cd "$work/run"

for cli in "$prefix/bin/kelview-cli" "$work/moved/bin/kelview-cli"; do
  out=$("$cli" window profile.kel --mode ppb)
  if ! grep -q "ppb" <<<"$out"; then
    echo "FAIL: $cli gave no ppb results:" >&2
    echo "$out" >&2
    exit 1
  fi
done

rm "$work/moved/share/kelview/demo-kinetics.txt"
if "$work/moved/bin/kelview-cli" window profile.kel --mode ppb >/dev/null 2>"$work/error"; then
  echo "FAIL: ran without its kinetics library" >&2
  exit 1
fi
if ! grep -qF "$work/moved/share/kelview/demo-kinetics.txt" "$work/error"; then
  echo "FAIL: the message does not name the installed library:" >&2
  cat "$work/error" >&2
  exit 1
fi
