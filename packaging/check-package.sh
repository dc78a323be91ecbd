#!/bin/sh
# Builds the Debian package of a build tree, unpacks it into a scratch folder
# and checks that everything an installation needs is there and valid.
set -eu
build=$1
scratch=$2
version=$3

rm -rf "$scratch"
mkdir -p "$scratch/root"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/*.deb)
dpkg-deb -x "$deb" "$scratch/root"

fail() { echo "check-package: $*" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = drovana ] || fail "package name is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version is $(field Version), not $version"
field Depends | grep -q 'qt6-qpa-plugins' || fail "no dependency on qt6-qpa-plugins"

root=$scratch/root/usr
for file in bin/drovana bin/shp2s16 share/man/man1/shp2s16.1 \
    share/applications/org.quenmoor.Drovana.desktop \
    share/metainfo/org.quenmoor.Drovana.metainfo.xml \
    share/icons/hicolor/16x16/apps/drovana.png share/icons/hicolor/48x48/apps/drovana.png \
    share/icons/hicolor/256x256/apps/drovana.png; do
    [ -f "$root/$file" ] || fail "missing $file"
done
[ -x "$root/bin/shp2s16" ] || fail "shp2s16 is not executable"
"$root/bin/shp2s16" --version | grep -q "$version" || fail "installed shp2s16 has another version"

desktop-file-validate "$root/share/applications/org.quenmoor.Drovana.desktop"
appstreamcli validate --no-net "$root/share/metainfo/org.quenmoor.Drovana.metainfo.xml"
echo "check-package: $(basename "$deb") is complete"
