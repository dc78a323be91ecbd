#!/bin/sh
# Installs our MIME types into a scratch database and checks how GIO, and the
# perl mimetype tool where present, type a map, a shapefile and an S16 picture:
# with the system's database alone, and with one that has its own shapefile
# type, as newer databases may.
# Usage: mime-types.sh DROVANA_XML SCRATCH_DIR. Exit 77 when a tool is missing.
set -eu
xml=$1
scratch=$2

for tool in update-mime-database gio; do
    command -v "$tool" >/dev/null 2>&1 || { echo "mime-types: no $tool, skipped"; exit 77; }
done
rm -rf "$scratch"
mkdir -p "$scratch/files"
cd "$scratch/files"

# A shapefile header: file code 9994 big-endian, five zero words, the length in
# 16-bit words, then version 1000 and shape type 1 little-endian.
shapefile='\000\000\047\012\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\062\350\003\0\0\001\0\0\0'
# A map: eight free bytes, its header at offset 12, a 40 x 30 header.
map='\001\002\003\004\005\006\007\010\014\0\0\0\035\0\047\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
# An S16 picture: 2 x 2 with its sixteen bytes of records.
s16='\0\0\0\0\002\0\0\0\002\0\0\0\0\0\0\0\0\0\0\0\002\0\0\0\002\0\0\0\0\0\0\0\020\0\0\0\001\0\0\0\0\0\0\0'
for name in land.shp LAND.SHP land; do printf "$shapefile" >"$name"; done
for name in map.shp MAP.SHP map; do printf "$map" >"$name"; done
printf "$s16" >pic.s16
printf '\021%.0s' 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 >>pic.s16

status=0
expect() { # FILE TYPE
    got=$(gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p')
    [ "$got" = "$2" ] || { echo "mime-types: $round: gio calls $1 $got, not $2" >&2; status=1; }
    if command -v mimetype >/dev/null 2>&1; then
        got=$(mimetype -b "$1")
        [ "$got" = "$2" ] || { echo "mime-types: $round: mimetype calls $1 $got, not $2" >&2; status=1; }
    fi
}
check() {
    update-mime-database "$XDG_DATA_HOME/mime" >/dev/null 2>&1
    for name in land.shp LAND.SHP land; do expect "$name" application/vnd.shp; done
    for name in map.shp MAP.SHP; do expect "$name" image/x-pg2-map; done
    expect map application/octet-stream
    expect pic.s16 image/x-peoples-s16
}

export GIO_USE_VFS=local XDG_DATA_DIRS=/usr/local/share:/usr/share
export XDG_DATA_HOME="$scratch/old"
mkdir -p "$XDG_DATA_HOME/mime/packages"
cp "$xml" "$XDG_DATA_HOME/mime/packages/"
round="system database" check

export XDG_DATA_HOME="$scratch/new"
mkdir -p "$XDG_DATA_HOME/mime/packages"
cp "$xml" "$XDG_DATA_HOME/mime/packages/"
cat >"$XDG_DATA_HOME/mime/packages/shapefile.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/vnd.shp">
    <comment>Shapefile</comment>
    <glob pattern="*.shp"/>
    <magic><match type="big32" offset="0" value="0x270a"/></magic>
  </mime-type>
</mime-info>
EOF
round="database with a shapefile type" check
exit $status
