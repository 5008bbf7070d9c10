#!/usr/bin/env bash
# shipped_kit.sh SESSION_LINK PAYLOAD: the players' kit, packed by scripts/package.sh from PAYLOAD,
# unpacked into the running Wine session's "kit" folder, where the shipped-kit journey takes it from.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/cmake/wine-common.sh"
source "$1/env"
bash "$root/scripts/package.sh" "$2" >/dev/null
rm -rf "$SESSION/kit" && mkdir "$SESSION/kit"
# Unpacked by libarchive, as a player's own archive tool would (not by the kit's library).
(cd "$SESSION/kit" && cmake -E tar xf "$root/build/kit/GF3D-Mendpack.zip")
chmod -R a+rX "$SESSION/kit" && wine_chown "$SESSION/kit"
