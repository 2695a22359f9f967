#!/usr/bin/env bash
# A profile in each of its three forms, and one named in capitals, is given
# the profile type by the shared MIME database once the installed type is
# registered; the zipped and plain XML forms by their content alone too,
# ahead of the generic zip and XML types. The database is built, as under
# /usr, from the system's types and ours together.
# Usage: mime_types_test.sh PREFIX MIME_QUERY DEMO_PROFILE
set -euo pipefail
prefix=$1 query=$2 demo=$3
type=application/x-kelview-profile
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/share/mime/packages" "$work/home"
cp /usr/share/mime/packages/freedesktop.org.xml "$prefix"/share/mime/packages/*.xml "$work/share/mime/packages/"
update-mime-database "$work/share/mime"

cp "$demo" "$work/legacy.kel"
cp "$demo" "$work/CAPITALS.KEL"
"$prefix/bin/kelview-cli" convert "$demo" "$work/zipped.kel"
unzip -p "$work/zipped.kel" > "$work/plain.kel"
cp "$work/zipped.kel" "$work/zipped-unnamed"
cp "$work/plain.kel" "$work/plain-unnamed"
# Archives and XML that are not profiles stay what they are.
(cd "$work" && zip -q other-archive.zip plain.kel && mv other-archive.zip other-archive)
printf '<?xml version="1.0"?><other><kel>1</kel></other>\n' > "$work/other-xml"

results=$(XDG_DATA_HOME="$work/home" XDG_DATA_DIRS="$work/share" "$query" \
  "$work/legacy.kel" "$work/CAPITALS.KEL" "$work/zipped.kel" "$work/plain.kel" \
  "$work/zipped-unnamed" "$work/plain-unnamed" "$work/other-archive" "$work/other-xml")
echo "$results"

failed=0
expect() {  # FILE COLUMN(2 by name, 3 by content) TYPE
  local got
  got=$(awk -F'\t' -v f="$work/$1" -v c="$2" '$1 == f { print $c }' <<<"$results")
  if [ "$got" != "$3" ]; then
    echo "FAIL: $1 is ${got:-nothing}, not $3" >&2
    failed=1
  fi
}
for f in legacy.kel CAPITALS.KEL zipped.kel plain.kel zipped-unnamed plain-unnamed; do expect "$f" 2 $type; done
for f in zipped.kel plain.kel; do expect "$f" 3 $type; done
expect other-archive 2 application/zip
expect other-xml 2 application/xml
exit $failed
