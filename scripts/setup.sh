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
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Wine tests run as this unprivileged user (as root Wine ignores read-only attributes).
if [ "$(id -u)" = 0 ] && ! id mendtest >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin mendtest
fi
