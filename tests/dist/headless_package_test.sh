#!/usr/bin/env bash
# Installing the headless package alone pulls in no widget library: neither
# its own dependencies nor theirs in turn, as far as this machine's package
# database knows them (every installed package's Depends, Pre-Depends and
# Recommends, each alternative followed, since apt may choose any).
# Usage: headless_package_test.sh PACKAGE_DIR VERSION
set -euo pipefail
out=$1 version=$2
debs=("$out/kelview-cli_${version}_"*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "FAIL: no package kelview-cli in $out" >&2; exit 1; }
widgets='^libqt[0-9]+(widgets|printsupport|openglwidgets)[0-9a-z]*$'

direct=$( { dpkg-deb -f "$deb" Depends; dpkg-deb -f "$deb" Pre-Depends; } )
[ -n "$direct" ] || { echo "FAIL: kelview-cli depends on nothing" >&2; exit 1; }

# Breadth first through the installed packages' relations; prints the size of
# the closure, then each widget library in it. Alternatives are split and
# versions and architectures dropped.
report=$(dpkg-query -W -f='${Package}\t${Depends}, ${Pre-Depends}, ${Recommends}\n' 2>/dev/null |
  awk -F'\t' -v direct="$direct" -v widgets="$widgets" '
    function push(fields,   parts, n, i, name) {
      n = split(fields, parts, /[,|]/)
      for (i = 1; i <= n; i++) {
        name = parts[i]
        sub(/\(.*\)/, "", name); sub(/:[a-z0-9]+/, "", name); gsub(/[[:space:]]/, "", name)
        if (name != "" && !(name in seen)) { seen[name] = 1; queue[++tail] = name }
      }
    }
    { relations[$1] = $2 }
    END {
      push(direct)
      for (head = 1; head <= tail; head++) {
        if (queue[head] ~ widgets) found = found " " queue[head]
        if (queue[head] in relations) push(relations[queue[head]])
      }
      print tail; print found
    }')
closure=$(head -n 1 <<<"$report")
found=$(sed -n 2p <<<"$report")

echo "kelview-cli Depends: $(dpkg-deb -f "$deb" Depends)"
echo "$closure packages in its closure"
if [ -n "${found// /}" ]; then
  echo "FAIL: installing kelview-cli pulls in$found" >&2
  exit 1
fi
