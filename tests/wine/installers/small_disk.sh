#!/usr/bin/env bash
# small_disk.sh mount|unmount SESSION_LINK: the full-disk test's 1 MiB file system beside the Wine
# session's programs. Mounting takes root (as ctest runs in CI); without it the test skips.
set -uo pipefail
source "$2/env" 2>/dev/null || exit 0 # no Wine session: nothing to mount or unmount
disk="$SESSION/small-disk"
if [ "$1" = unmount ]; then
    if mountpoint -q "$disk"; then umount "$disk" || umount -l "$disk"; fi
    [ ! -d "$disk" ] || rmdir "$disk"
    exit 0
fi
[ "$(id -u)" = 0 ] || { echo "not root: no small file system, the full-disk test skips"; exit 0; }
mkdir "$disk" && mount -t tmpfs -o size=1m,mode=0777 mendpack-small-disk "$disk" || { rmdir "$disk"; exit 1; }
