#!/usr/bin/env bash
# Installs from Debian's packages whatever the project needs and is not there yet.
# Quick when everything is present: it only asks dpkg.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/packages.txt")
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    # The 32-bit Wine (wine32:i386) that runs the players' build comes from the i386 archive.
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Wine tests run as this unprivileged user (as root Wine ignores read-only attributes).
if [ "$(id -u)" = 0 ] && ! id mendtest >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin mendtest
fi
# 32-bit Wine is a 32-bit Linux program. A kernel built without 32-bit support runs it only
# through qemu-i386, registered with the kernel's binfmt_misc; Debian ships no such entry for
# amd64 hosts, so it is written here (qemu's own magic and mask for i386 ELF programs).
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e $binfmt/register ] || $sudo mount -t binfmt_misc binfmt_misc $binfmt ||
        echo "setup: cannot mount binfmt_misc: 32-bit Wine will not run" >&2
    if [ -e $binfmt/register ] && [ ! -e $binfmt/qemu-i386 ]; then
        entry=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        entry+=':\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F'
        echo "$entry" | $sudo tee $binfmt/register >/dev/null ||
            echo "setup: cannot register qemu-i386: 32-bit Wine will not run" >&2
    fi
fi
