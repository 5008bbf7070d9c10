#!/usr/bin/env bash
# The cross-compiling emulator for Windows tests:  wine-exec.sh SESSION_LINK PROGRAM [ARGS...]
# Runs PROGRAM's copy in the session that wine-session.sh started, as the test user.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-common.sh"
link=$1; shift
prog=$1; shift
if [ ! -e "$link/env" ]; then
    echo "wine-exec: no Wine session; run the tests through ctest (fixture wine_session_start)" >&2
    exit 99
fi
source "$link/env"
export SESSION DISPLAY WINEPREFIX HOME MENDPACK_TIME_SCALE
wine_use_arch "$WINEARCH"
export MENDPACK_SESSION="$SESSION"
copy="$SESSION/bin/$(basename "$prog")"
[ -e "$copy" ] || { echo "wine-exec: $prog was not in the build when the session started" >&2; exit 98; }
cd "$SESSION"
# The program's output goes through a file: processes it leaves running on purpose (Wine's
# desktop, a game that a launcher starts) would otherwise hold ctest's pipe open for ever.
out=$(mktemp "$SESSION/output.XXXXXX")
wine_as_user "$WINE" "$copy" "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
