#!/usr/bin/env bash
# The main job: builds the wizard, the launcher and our zip library, makes a demo kit archive
# from the stand-in payload, prepares a demo game folder and runs the wizard in it under Wine.
#  - With a display: the wizard opens there, in a Wine prefix and HOME of the demo's own (its
#    desktop shortcut lands in build/demo/home, not on your desktop).
#  - Without one: the wizard runs in Xvfb and a driver walks it through the install path with
#    every box ticked, saving a screenshot of each page.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
source cmake/wine-common.sh

echo "=== building (win64, run under wine64)"
# Quiet when it works; the whole output (the compiler's errors) when it does not.
build_log=$(mktemp)
if ! { cmake --preset win64 &&
       cmake --build --preset win64 -j "$(nproc)" --target mendpack Nightjar vbuzip10 wizard_walk game_stand_in; } \
     >"$build_log" 2>&1; then
    cat "$build_log"
    rm -f "$build_log"
    echo "=== the build failed (above)" >&2
    exit 1
fi
rm -f "$build_log"
bin=build/win64/bin
demo=$root/build/demo
rm -rf "$demo" && mkdir -p "$demo"

echo "=== demo kit archive (stand-in payload from kit/standins)"
python3 kit/make_kit.py --payload kit/standins --launcher "$bin/Nightjar.exe" --help-page kit/Nightjar.htm \
    --out "$demo/MendpackFiles.zip"

# A game folder as a player has it after unpacking the kit: the game (stand-in programs), the
# player's own preference files, the 1078 patch already in, and the kit's three files.
make_game_folder() {
    local game=$1
    mkdir -p "$game/Data/Multi"
    cp "$bin/game_stand_in.exe" "$game/falcon.exe"
    cp "$bin/game_stand_in.exe" "$game/falconmmp.exe"
    printf 'The 1078 patch is installed.\r\n' >"$game/1078patch Readme .txt"
    python3 -c "import sys; open(sys.argv[1],'wb').write(bytes(range(256))*2)" "$game/Data/gfprefs.dat"
    python3 -c "import sys; open(sys.argv[1],'wb').write(bytes(range(255,-1,-1))*2)" "$game/Data/Multi/mpprefs.dat"
    cp "$bin/mendpack.exe" "$bin/vbuzip10.dll" "$demo/MendpackFiles.zip" "$game/"
}

show_folder() {
    echo "=== the game folder afterwards: $1"
    (cd "$1" && find . -type f -printf '%10s  %p\n' | sort -k2)
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    game=$demo/GaleFalcon3D
    make_game_folder "$game"
    mkdir -p "$demo/home" "$demo/prefix"
    echo "=== starting the wizard on $DISPLAY in $game"
    (cd "$game" && HOME="$demo/home" WINEPREFIX="$demo/prefix" "$WINE" mendpack.exe) || true
    show_folder "$game"
    ls -l "$demo/home"/*.lnk "$demo/home/Desktop"/*.lnk 2>/dev/null || true
    exit 0
fi

echo "=== no display: running the wizard in Xvfb and walking the install path"
link=$demo/session
cmake/wine-session.sh start "$link" "$bin" >/dev/null
source "$link/env"
export SESSION DISPLAY WINEPREFIX HOME
game=$SESSION/GaleFalcon3D
make_game_folder "$game"
wine_chown "$game"
status=0
wine_as_user "$WINE" "$SESSION/bin/wizard_walk.exe" "Z:${game//\//\\}" </dev/null >"$demo/walk.log" 2>&1 || status=1
cat "$demo/walk.log"
cp -a "$game" "$demo/GaleFalcon3D"
cp -a "$HOME"/*.lnk "$demo/" 2>/dev/null || true
cmake/wine-session.sh stop "$link"
show_folder "$demo/GaleFalcon3D"
echo "=== desktop shortcut: $(ls "$demo"/*.lnk 2>/dev/null || echo none)"
echo "=== screenshots of each page: $demo/screenshots"
ls "$demo/screenshots"
exit $status
