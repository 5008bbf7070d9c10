#!/usr/bin/env bash
# Reads the launcher page's shortcut, which installers_wine_tests left in the Wine session, with
# an independent .lnk reader (lnkinfo) and checks its fields against the game folder it names.
#   check_shortcut.sh SESSION_LINK LNKINFO
set -uo pipefail
link=$1 lnkinfo=$2
source "$link/env"
file="$SESSION/bin/installers-Nightjar.lnk"
[ -f "$file" ] || { echo "no shortcut at $file: did installers_wine_tests run?"; exit 1; }
folder=$(cat "$SESSION/bin/installers-Nightjar.folder")
info=$("$lnkinfo" "$file") || { echo "lnkinfo cannot read the shortcut"; exit 1; }
echo "$info" | sed -n '1,20p'

field() { echo "$info" | sed -n "s/^[[:space:]]*$1[[:space:]]*: //p" | head -n1; }
status=0
expect() {
    if [ "$2" != "$3" ]; then echo "FAIL: $1 is '$2', expected '$3'"; status=1; else echo "ok: $1"; fi
}
lower() { tr '[:upper:]' '[:lower:]'; }
expect "description" "$(field Description)" "Nightjar"
expect "working directory" "$(field 'Working directory')" "$folder"
# Windows writes the target as given; Wine resolves it to the file's own case.
expect "target" "$(field 'Local path' | lower)" "$(printf '%s\\Nightjar.EXE' "$folder" | lower)"
# SW_SHOWNORMAL is 1 in a file that Windows writes; Wine 8 writes 0, which the shell also opens
# as a normal window (and reads back as SW_SHOWNORMAL through IShellLinkW, which the Windows test
# checks). Any other value is wrong on both.
show=$(field 'Show Window value')
case $show in
0x00000001 | 0x00000000) echo "ok: show window value $show" ;;
*) echo "FAIL: show window value $show"; status=1 ;;
esac
exit $status
