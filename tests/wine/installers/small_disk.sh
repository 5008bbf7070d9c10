#!/usr/bin/env bash
# The small file system on which the full-disk test puts its game folder:
#   small_disk.sh mount|unmount SESSION_LINK
# It is mounted in the Wine session's folder, beside the programs' folder, where the test looks
# for it ("..\small-disk"). Mounting takes root (as ctest runs in CI); without it the test skips.
set -uo pipefail
source "$2/env" 2>/dev/null || exit 0 # no Wine session: nothing to mount or unmount
disk="$SESSION/small-disk"
case $1 in
mount)
    [ "$(id -u)" = 0 ] || { echo "not root: no small file system, the full-disk test skips"; exit 0; }
    # A run that was killed before its clean-up left its mount behind, in a session folder that is
    # otherwise gone (a live session always has its programs' folder).
    for old in /tmp/mendpack-wine.*/small-disk; do
        session=$(dirname "$old")
        if [ ! -e "$session/bin" ] && mountpoint -q "$old"; then umount -l "$old" && rmdir "$old" "$session"; fi
    done
    mkdir "$disk" && mount -t tmpfs -o size=1m,mode=0777 mendpack-small-disk "$disk" || { rmdir "$disk"; exit 1; }
    ;;
unmount)
    if mountpoint -q "$disk"; then umount "$disk" || umount -l "$disk"; fi
    [ ! -d "$disk" ] || rmdir "$disk"
    ;;
esac
