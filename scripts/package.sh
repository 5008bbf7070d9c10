#!/usr/bin/env bash
# Builds the 32-bit release and assembles the kit that players download:
#   bash scripts/package.sh [PAYLOAD_FOLDER]
# PAYLOAD_FOLDER holds the third-party files the kit carries (the 1078 patch, Turbo, the two
# Glide emulators, OpenGLid.INI, the preset preference files), under their exact names; the kit
# maker supplies it. Without one, the stand-ins in kit/standins make a demo kit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
payload=${1:-kit/standins}
bash scripts/setup.sh
[ "$payload" = kit/standins ] && echo "package: no payload folder given: using the STAND-INS of kit/standins (demo kit only)"

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target mendpack Nightjar vbuzip10
bin=build/win32/bin
out=build/kit
rm -rf "$out" && mkdir -p "$out/GF3D Mendpack"
python3 kit/make_kit.py --payload "$payload" --launcher "$bin/Nightjar.exe" --help-page kit/Nightjar.htm \
    --out "$out/GF3D Mendpack/MendpackFiles.zip"
i686-w64-mingw32-strip -o "$out/GF3D Mendpack/mendpack.exe" "$bin/mendpack.exe"
i686-w64-mingw32-strip -o "$out/GF3D Mendpack/vbuzip10.dll" "$bin/vbuzip10.dll"
weasyprint kit/readme/readme.html "$out/GF3D Mendpack/Mendpack Readme.pdf"
# What players run must load on Windows XP: checked again on the files as shipped.
for f in mendpack.exe vbuzip10.dll; do
    python3 tests/static/check_pe.py --machine i386 --max-subsystem-version 5.1 --system-dlls-only \
        --forbidden-imports tests/data/windows-post-xp-apis.txt "$out/GF3D Mendpack/$f" >/dev/null ||
        { echo "package: $f would not load on Windows XP" >&2; exit 1; }
done
(cd "$out/GF3D Mendpack" && cmake -E tar cf ../GF3D-Mendpack.zip --format=zip -- *)
# The wizard's pages send players to the read-me: no kit leaves without it.
python3 -c 'import sys, zipfile; sys.exit("Mendpack Readme.pdf" not in zipfile.ZipFile(sys.argv[1]).namelist())' \
    "$out/GF3D-Mendpack.zip" || { echo "package: the kit zip lacks Mendpack Readme.pdf" >&2; exit 1; }
echo "package: $out/GF3D-Mendpack.zip"
python3 -m zipfile -l "$out/GF3D-Mendpack.zip"
