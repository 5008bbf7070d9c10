#!/bin/sh
# make_kit.py packs a complete payload; a payload with a member missing or in other letter case
# gives no archive and names what is missing.
set -eu
python=$1 kit=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$kit/standins" "$work/payload"
fail() { echo "FAIL: $*"; exit 1; }
pack() {
    "$python" "$kit/make_kit.py" --payload "$work/payload" --launcher "$kit/Nightjar.htm" \
        --help-page "$kit/Nightjar.htm" --out "$work/kit.zip" >/dev/null 2>"$work/err"
}

pack || fail "a complete payload: $(cat "$work/err")"
rm "$work/payload/Turbo.HLP" "$work/kit.zip"
mv "$work/payload/OpenGLid.INI" "$work/payload/opengLid.ini"
! pack || fail "an incomplete payload was packed"
[ ! -e "$work/kit.zip" ] || fail "an archive was left behind"
grep -q "Turbo.HLP" "$work/err" || fail "Turbo.HLP not named: $(cat "$work/err")"
grep -q "OpenGLid.INI.*names must match exactly" "$work/err" || fail "case mismatch not explained: $(cat "$work/err")"
echo "make_kit: passed"
