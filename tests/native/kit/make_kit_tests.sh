#!/bin/sh
# make_kit.py: a complete payload gives an archive with exactly the kit's members; a payload with
# a member missing or in other letter case gives no archive and names what is missing.
set -eu
python=$1 kit=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cp -r "$kit/standins" "$work/payload"
printf 'launcher' >"$work/Nightjar.exe"
fail() { echo "FAIL: $*"; exit 1; }

"$python" "$kit/make_kit.py" --payload "$work/payload" --launcher "$work/Nightjar.exe" \
    --help-page "$kit/Nightjar.htm" --out "$work/MendpackFiles.zip" >/dev/null
names=$("$python" -c "import zipfile,sys; print('|'.join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))" "$work/MendpackFiles.zip")
[ "$names" = "GF3D1078.EXE|Nightjar.exe|Nightjar.htm|OS Glide2x.dll|OpenGLid.INI|Turbo.EXE|Turbo.HLP|dgvoodoo sync glide2x.dll|gfprefs.dat|mpprefs.dat" ] ||
    fail "members: $names"

rm "$work/payload/Turbo.HLP"
mv "$work/payload/OpenGLid.INI" "$work/payload/opengLid.ini"
rm -f "$work/out.zip"
if "$python" "$kit/make_kit.py" --payload "$work/payload" --launcher "$work/Nightjar.exe" \
    --help-page "$kit/Nightjar.htm" --out "$work/out.zip" 2>"$work/err"; then fail "an incomplete payload was packed"; fi
[ ! -e "$work/out.zip" ] || fail "an archive was left behind"
grep -q "Turbo.HLP" "$work/err" || fail "Turbo.HLP not named: $(cat "$work/err")"
grep -q "OpenGLid.INI.*names must match exactly" "$work/err" || fail "case mismatch not explained: $(cat "$work/err")"
echo "make_kit: 2 passed, 0 failed"
