#!/usr/bin/env bash
# cpack builds the Debian package, which holds everything an installed
# Kelview needs and depends on the Qt and zlib packages its programs link.
# Usage: deb_package_test.sh BUILD_DIR OUT_DIR VERSION
set -euo pipefail
build=$1 out=$2 version=$3
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
debs=("$out"/kelview_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "FAIL: no package in $out" >&2; exit 1; }
contents=$(dpkg-deb -c "$deb")
failed=0
for file in ./usr/bin/kelview ./usr/bin/kelview-cli ./usr/lib/kelview/kelview-channel.so ./usr/share/kelview/demo-kinetics.txt \
  ./usr/share/applications/org.kelview.Kelview.desktop \
  ./usr/share/icons/hicolor/scalable/apps/org.kelview.Kelview.svg \
  ./usr/share/icons/hicolor/48x48/apps/org.kelview.Kelview.png \
  ./usr/share/icons/hicolor/256x256/apps/org.kelview.Kelview.png \
  ./usr/share/mime/packages/org.kelview.Kelview.xml \
  ./usr/share/metainfo/org.kelview.Kelview.metainfo.xml \
  ./usr/share/man/man1/kelview.1 ./usr/share/man/man1/kelview-cli.1; do
  if ! grep -qE " $file\$" <<<"$contents"; then
    echo "FAIL: the package lacks $file" >&2
    failed=1
  fi
done
[ "$(dpkg-deb -f "$deb" Package)" = kelview ] || { echo "FAIL: package name" >&2; failed=1; }
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || { echo "FAIL: package version" >&2; failed=1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 zlib1g; do
  if ! grep -qE "(^|, )$package( |,|$)" <<<"$depends"; then
    echo "FAIL: Depends lacks $package" >&2
    failed=1
  fi
done
exit $failed
