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
for file in bin/drovana bin/shp2s16 share/man/man1/drovana.1.gz share/man/man1/shp2s16.1.gz \
    share/doc/drovana/copyright share/doc/drovana/changelog.gz \
    share/applications/org.quenmoor.Drovana.desktop \
    share/applications/org.quenmoor.Drovana.Viewer.desktop \
    share/metainfo/org.quenmoor.Drovana.metainfo.xml \
    bin/drovana-thumbnailer share/man/man1/drovana-thumbnailer.1.gz \
    share/thumbnailers/drovana.thumbnailer share/mime/packages/drovana.xml \
    share/icons/hicolor/16x16/apps/drovana.png share/icons/hicolor/48x48/apps/drovana.png \
    share/icons/hicolor/256x256/apps/drovana.png; do
    [ -f "$root/$file" ] || fail "missing $file"
done
# The image format plugins, in Qt's own plugin folder under the multiarch name.
for plugin in libdrovana_shp.so libdrovana_s16.so; do
    ls "$root"/lib/*/qt6/plugins/imageformats/$plugin >/dev/null 2>&1 || fail "missing $plugin"
done
[ -x "$root/bin/shp2s16" ] || fail "shp2s16 is not executable"
"$root/bin/shp2s16" --version | grep -q "$version" || fail "installed shp2s16 has another version"

# Compressed without a name or time stamp, and readable.
for file in share/man/man1/drovana.1.gz share/man/man1/shp2s16.1.gz \
    share/doc/drovana/changelog.gz; do
    gzip -t "$root/$file" || fail "$file is not a valid gzip file"
    [ "$(od -An -tu1 -j4 -N4 "$root/$file" | tr -d ' ')" = 0000 ] ||
        fail "$file has a time stamp in its gzip header"
done
zcat "$root/share/doc/drovana/changelog.gz" | head -n 1 | grep -q "^drovana ($version) " ||
    fail "changelog.gz has no entry for $version first"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/share/doc/drovana/copyright" || fail "copyright is not in the machine-readable format"
[ "$(field Description | wc -l)" -gt 1 ] || fail "the package has no long description"
grep -q '^License: MIT$' "$root/share/doc/drovana/copyright" || fail "copyright does not say MIT"
grep -q '<project_license>MIT</project_license>' \
    "$root/share/metainfo/org.quenmoor.Drovana.metainfo.xml" || fail "metainfo does not say MIT"
# Nothing made up: no address that leads nowhere.
! grep -q 'https\?://[^"<]*\.invalid' "$root/share/metainfo/org.quenmoor.Drovana.metainfo.xml" ||
    fail "metainfo names an address that does not exist"

desktop-file-validate "$root/share/applications/org.quenmoor.Drovana.desktop" \
    "$root/share/applications/org.quenmoor.Drovana.Viewer.desktop"
appstreamcli validate --no-net "$root/share/metainfo/org.quenmoor.Drovana.metainfo.xml"
# Debian's own checks: errors fail, warnings and notes are shown.
lintian --fail-on none --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 ||
    { cat "$scratch/lintian.log"; fail "lintian could not check the package"; }
cat "$scratch/lintian.log"
! grep -q '^E: ' "$scratch/lintian.log" || fail "lintian reports errors"

echo "check-package: $(basename "$deb") is complete"
