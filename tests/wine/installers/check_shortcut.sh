#!/usr/bin/env bash
# Reads the launcher page's shortcut, which installers_wine_tests left in the Wine session, with an
# independent .lnk reader (lnkinfo) and checks its fields against the game folder it must name.
#   check_shortcut.sh SESSION_LINK LNKINFO
set -uo pipefail
source "$1/env"
folder=$(cat "$SESSION/bin/installers-Nightjar.folder") || { echo "did installers_wine_tests run?"; exit 1; }
info=$("$2" "$SESSION/bin/installers-Nightjar.lnk") || { echo "lnkinfo cannot read the shortcut"; exit 1; }
echo "$info"
field() { echo "$info" | sed -n "s/^[[:space:]]*$1[[:space:]]*: //p" | head -n1; }
lower() { tr '[:upper:]' '[:lower:]'; }
status=0
expect() { [ "$2" = "$3" ] && echo "ok: $1" || { echo "FAIL: $1 is '$2', expected '$3'"; status=1; }; }
expect "description" "$(field Description)" "Nightjar"
expect "working directory" "$(field 'Working directory')" "$folder"
# Windows writes the target as given; Wine resolves it to the file's own case.
expect "target" "$(field 'Local path' | lower)" "$(printf '%s\\Nightjar.EXE' "$folder" | lower)"
# A normal window: Windows writes 1 (SW_SHOWNORMAL), Wine 8 writes 0, which the shell opens the same.
show=$(field 'Show Window value')
[ "$show" = 0x00000001 ] || expect "show window" "$show" 0x00000000
exit $status
