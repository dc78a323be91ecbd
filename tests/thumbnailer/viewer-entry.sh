#!/bin/sh
# Installs the viewer's desktop entry and our MIME types into a scratch data
# folder, as the package does, and checks that a double-click on a map or an
# S16 picture opens the viewer: it is the default application of both types,
# and its command line shows a map until the window is closed.
# Usage: viewer-entry.sh ENTRY DROVANA_XML DROVANA SCRATCH_DIR. Exit 77 when a
# tool is missing.
set -eu
entry=$1
xml=$2
program=$3
scratch=$4

for tool in update-mime-database update-desktop-database gio timeout; do
    command -v "$tool" >/dev/null 2>&1 || { echo "viewer-entry: no $tool, skipped"; exit 77; }
done
rm -rf "$scratch"
mkdir -p "$scratch/applications" "$scratch/mime/packages"
cp "$entry" "$scratch/applications/"
cp "$xml" "$scratch/mime/packages/"
update-mime-database "$scratch/mime" >/dev/null 2>&1
update-desktop-database "$scratch/applications"

# GIO offers only applications whose command it finds.
export PATH="$(dirname "$program"):$PATH"
export GIO_USE_VFS=local XDG_DATA_HOME="$scratch" XDG_DATA_DIRS=/usr/local/share:/usr/share
status=0
viewer=$(basename "$entry")
for type in image/x-pg2-map image/x-peoples-s16; do
    got=$(gio mime "$type" | sed -n 's/^Default application for .*: //p')
    [ "$got" = "$viewer" ] || { echo "viewer-entry: $type opens with '$got', not $viewer" >&2; status=1; }
done

# A map: eight free bytes, its header at offset 12, a 2 x 2 picture of one
# run per row.
printf '\001\002\003\004\005\006\007\010\014\0\0\0\001\0\001\0\0\0\0\0\0\0\001\0\0\0\0\0\0\0\0\0\0\0\0\0\004\003\0\004\003\0' \
    >"$scratch/MAP01.SHP"
# The entry's command, as a file manager runs it: still showing after a while.
command=$(sed -n 's/^Exec=//p' "$entry" | sed "s|%F|$scratch/MAP01.SHP|")
set +e
QT_QPA_PLATFORM=offscreen timeout 2 $command >/dev/null 2>&1
ran=$?
set -e
[ "$ran" = 124 ] || { echo "viewer-entry: '$command' ended with $ran instead of showing" >&2; status=1; }
exit $status
