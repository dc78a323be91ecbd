#!/bin/sh
# The dialog as Wine draws it, open on the sample maps, saved as a picture,
# and where xdotool is there, the preview of a converted map over it (as
# OUTPUT-preview.png): under Xvfb, on a Wine desktop (which draws the window
# frames that Xvfb, having no window manager, does not), in a Wine prefix of
# its own so that the tests' settings and display driver stay out of it.
# Exits 77 (skipped) without Xvfb.
#   screenshot.sh XVFB WINE DROVANA_EXE SAMPLES_FOLDER OUTPUT.png
set -eu

xvfb=$1 wine=$2 exe=$3 samples=$4 out=$5
if [ -z "$xvfb" ]; then
    echo "screenshot: no Xvfb or ImageMagick's import, skipped"
    exit 77
fi

work="$out.d"
rm -rf "$work/frames" "$work/display"
mkdir -p "$work/frames"
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver=wineserver

# A new prefix is made first, away from the screen, where Wine would show a
# window saying so.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
fi
# Wine's own fonts (fonts-wine), which this Wine does not look for by itself:
# Tahoma stands in for the dialogs' font and Marlett draws the frames' buttons.
for font in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/marlett.ttf; do
    [ ! -f "$font" ] || cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done

"$xvfb" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
finish() {
    "$wineserver" -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
}
trap finish EXIT

# Polls CONDITION every 0.2 s for at most two minutes: a Wine prefix's first
# window takes long on a busy machine.
poll() {
    deadline=$(($(date +%s) + 120))
    until "$@"; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

display_known() { [ -s "$work/display" ]; }
poll display_known || { echo "screenshot: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(cat "$work/display")"
export DISPLAY

# A copy of the samples on drive C:, so that the picture shows short folders
# rather than the build's.
rm -rf "$WINEPREFIX/drive_c/Samples"
mkdir -p "$WINEPREFIX/drive_c/Samples/PeG"
cp -r "$samples/maps" "$WINEPREFIX/drive_c/Samples/Maps"
# The program, on the drive that Wine maps to the root.
program=$(printf 'Z:%s' "$exe" | tr / "\\\\")
"$wine" explorer /desktop=Drovana,1024x768,x11 "$program" 'C:\Samples\Maps' 'C:\Samples\PeG' \
    >/dev/null 2>&1 &

# Polls until the screen shows more than the desktop's colour and holds
# still for three frames, and, with CHANGED_FROM set, differs from that frame.
frame=0
import -window root "$work/frames/0.ppm"
settled() {
    frame=$((frame + 1))
    import -window root "$work/frames/$frame.ppm" 2>/dev/null || return 1
    [ "$frame" -gt $((start + 2)) ] &&
        cmp -s "$work/frames/$frame.ppm" "$work/frames/$((frame - 1)).ppm" &&
        cmp -s "$work/frames/$frame.ppm" "$work/frames/$((frame - 2)).ppm" &&
        { [ -z "$changed_from" ] || ! cmp -s "$work/frames/$frame.ppm" "$work/frames/$changed_from.ppm"; } &&
        [ "$(convert "$work/frames/$frame.ppm" -format %k info:)" -gt 16 ]
}
# Waits for the screen to settle after the last frame; "settle changed" also
# waits for it to change.
settle() {
    start=$frame
    changed_from=${1:+$frame}
    poll settled
}
fail() {
    echo "screenshot: $*" >&2
    exit 1
}
# The windows of the last frame, cut out of the desktop around them.
save() {
    convert "$work/frames/$frame.ppm" -bordercolor "$desktop" -border 1 -trim +repage "$1"
    echo "screenshot: $1"
}

settle changed || fail "the dialog did not appear"
desktop=$(convert "$work/frames/$frame.ppm" -format '%[pixel:p{1023,767}]' info:)
if ! command -v xdotool >/dev/null 2>&1; then
    save "$out"
    exit 0
fi

# Where xdotool can click: on the list's first line, which makes the dialog
# the active window with the focus in the list (where no caret blinks), then
# down to MAP08.SHP, the eighth line; Enter converts the samples, and a
# double-click on the map shows it beside its S16.
box=$(convert "$work/frames/$frame.ppm" -bordercolor "$desktop" -border 1 -format '%@' info:)
left=${box#*+}
top=${left#*+}
left=$((${left%%+*} - 1))
top=$((top - 1))
xdotool mousemove $((left + 60)) $((top + 78)) click 1
settle changed || fail "the dialog did not take the click"
first=$frame
xdotool key Down Down Down Down Down Down Down
settle changed || fail "the list did not take the keys"
save "$out"
# The lines that changed, from the first to the eighth: the eighth is the
# last sixteenth of their height.
span=$(convert "$work/frames/$first.ppm" "$work/frames/$frame.ppm" -compose difference \
    -composite -format '%@' info:)
width=${span%%x*}
height=${span#*x}
height=${height%%+*}
x=${span#*+}
y=${x#*+}
x=${x%%+*}
xdotool key Return
settle changed || fail "the run did not end"
xdotool mousemove $((x + width / 2)) $((y + height * 15 / 16)) click --repeat 2 --delay 100 1
settle changed || fail "the preview did not appear"
save "${out%.png}-preview.png"
