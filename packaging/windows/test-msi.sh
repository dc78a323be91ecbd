#!/bin/sh
# The installer under Wine's msiexec, as a user runs it: installed, its files,
# Start-menu shortcut and entry in the installed programs are there; a newer
# version replaces it and an older one is refused; removed, nothing is left.
#   test-msi.sh WINE MSI VERSION NEWER_MSI NEWER_VERSION FILE...
set -eu

wine=$1 msi=$2 version=$3 newer=$4 newer_version=$5
shift 5
export WINEPREFIX="${WINEPREFIX:-$(dirname "$(dirname "$msi")")/wine}"
# Without it Wine would write menu entries into the host's home.
export WINEDLLOVERRIDES=winemenubuilder.exe=d WINEDEBUG=-all

folder="$WINEPREFIX/drive_c/Program Files/Drovana"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

fail() {
    echo "test-msi: $*" >&2
    exit 1
}

# Wine puts a per-machine shortcut in the per-user Start menu.
shortcuts() {
    find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Drovana.lnk'
}

# "NAME VERSION PUBLISHER" of each installed program called Drovana.
entries() {
    "$wine" reg query "$uninstall_key" /s | tr -d '\r' | awk '
        /^HKEY/ { if (name == "Drovana") print name, shown, publisher; name = shown = publisher = "" }
        $1 == "DisplayName" { name = $3 }
        $1 == "DisplayVersion" { shown = $3 }
        $1 == "Publisher" { publisher = $3 }
        END { if (name == "Drovana") print name, shown, publisher }'
}

check_installed() {
    for file in "$@"; do
        [ -f "$folder/$file" ] || fail "$file is not in $folder"
    done
    case " $* " in
    *" drovana.exe "*) [ -n "$(shortcuts)" ] || fail "no Start-menu shortcut" ;;
    esac
    [ "$(entries)" = "Drovana $installed Quenmoor" ] ||
        fail "installed programs list '$(entries)', not 'Drovana $installed Quenmoor'"
}

# A run cut short before leaves nothing in the way.
"$wine" msiexec /x "$msi" /qn || true
"$wine" msiexec /x "$newer" /qn || true

"$wine" msiexec /i "$msi" /qn || fail "msiexec /i $msi failed"
installed=$version
check_installed "$@"
"$wine" "C:\\Program Files\\Drovana\\shp2s16.exe" --version >/dev/null ||
    fail "the installed shp2s16.exe does not run"

"$wine" msiexec /i "$newer" /qn || fail "msiexec /i $newer failed"
installed=$newer_version
check_installed "$@"

if "$wine" msiexec /i "$msi" /qn; then
    fail "an older version was installed over a newer one"
fi
check_installed "$@"

"$wine" msiexec /x "$newer" /qn || fail "msiexec /x $newer failed"
[ ! -e "$folder" ] || fail "$folder is left after removal"
[ -z "$(shortcuts)" ] || fail "the shortcut is left after removal: $(shortcuts)"
[ -z "$(entries)" ] || fail "still in the installed programs: $(entries)"
echo "test-msi: $version installed, upgraded to $newer_version and removed"
