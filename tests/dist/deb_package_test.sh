#!/usr/bin/env bash
# cpack builds the two Debian packages: kelview-cli (the headless tool, its
# data and the README) and kelview (the desktop program, depending on
# kelview-cli), each with what Debian asks of a package: copyright,
# changelog, compressed manual pages, and no maintainer scripts that would
# keep it in state "rc" after removal.
# Usage: deb_package_test.sh BUILD_DIR OUT_DIR VERSION
set -euo pipefail
build=$1 out=$2 version=$3
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

# PACKAGE FILE...: the package holds each file.
holds() {
  local package=$1 deb contents file
  shift
  deb=$(echo "$out/${package}_${version}_"*.deb)
  contents=$(dpkg-deb -c "$deb")
  for file in "$@"; do
    grep -qE " \./$file\$" <<<"$contents" || fail "$package lacks /$file"
  done
}
# PACKAGE FIELD VALUE: a control field of the package, exactly.
field_is() {
  local got
  got=$(dpkg-deb -f "$out/$1_${version}_"*.deb "$2")
  [ "$got" = "$3" ] || fail "$1: $2 is \"$got\", not \"$3\""
}
# PACKAGE NAME...: the package depends on each named package.
depends_on() {
  local package=$1 depends name
  shift
  depends=$(dpkg-deb -f "$out/${package}_${version}_"*.deb Depends)
  echo "$package Depends: $depends"
  for name in "$@"; do
    grep -qE "(^|, )$name( |,|$)" <<<"$depends" || fail "$package does not depend on $name"
  done
}

for package in kelview-cli kelview; do
  debs=("$out/${package}_${version}_"*.deb)
  if [ ! -f "${debs[0]}" ]; then
    fail "no package $package in $out"
    continue
  fi
  field_is "$package" Package "$package"
  field_is "$package" Version "$version"
  holds "$package" "usr/share/doc/$package/copyright" "usr/share/doc/$package/changelog.gz"
  # A postinst or postrm, or a conffile, keeps the package half there after
  # `apt-get remove`; a package of programs and data needs none.
  control=$(dpkg-deb -I "${debs[0]}")
  for script in preinst postinst prerm postrm triggers conffiles; do
    ! grep -qE "^ +[0-9]+ bytes, +[0-9]+ lines +\*? *$script( |$)" <<<"$control" || fail "$package has a $script"
  done
  if dpkg-deb -c "${debs[0]}" | grep -qE '/man/man[1-9]/[^/]*\.[1-9]$'; then
    fail "$package holds uncompressed manual pages"
  fi
done
[ $failed = 0 ] || exit 1

holds kelview-cli usr/bin/kelview-cli usr/share/man/man1/kelview-cli.1.gz usr/share/kelview/demo-kinetics.txt \
  usr/share/kelview/breath-01.kel usr/share/doc/kelview/README.md
holds kelview usr/bin/kelview usr/lib/kelview/kelview-channel.so \
  usr/share/applications/org.kelview.Kelview.desktop \
  usr/share/icons/hicolor/scalable/apps/org.kelview.Kelview.svg \
  usr/share/icons/hicolor/48x48/apps/org.kelview.Kelview.png \
  usr/share/icons/hicolor/256x256/apps/org.kelview.Kelview.png \
  usr/share/mime/packages/org.kelview.Kelview.xml \
  usr/share/metainfo/org.kelview.Kelview.metainfo.xml \
  usr/share/man/man1/kelview.1.gz
# The shipped changelog reads as a Debian changelog of this version.
changelog=$(dpkg-deb --fsys-tarfile "$out/kelview_${version}_"*.deb | tar -xO ./usr/share/doc/kelview/changelog.gz | gzip -dc)
[ "$(head -n 1 <<<"$changelog")" = "kelview ($version) unstable; urgency=medium" ] || fail "changelog: $(head -n 1 <<<"$changelog")"
# The headless package's own dependencies; that it pulls no widget library
# is headless_package_test.sh's.
depends_on kelview-cli libqt6core6 libqt6gui6 libqt6svg6 zlib1g
depends_on kelview kelview-cli libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 zlib1g
grep -qF "kelview-cli (= $version)" <<<"$(dpkg-deb -f "$out/kelview_${version}_"*.deb Depends)" ||
  fail "kelview does not depend on kelview-cli of its own version"
exit $failed
