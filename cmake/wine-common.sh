# Shared by the Wine scripts. Tests run Wine as an unprivileged user: as root, Wine ignores
# read-only attributes when it opens and copies files, which would hide real failures.
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
WINE_TEST_USER=${WINE_TEST_USER:-mendtest}
export WINEDEBUG=${WINEDEBUG:--all}
# Mono and Gecko are not needed and their installers would stop wineboot with a dialog; a test
# program that crashes must end, not wait in Wine's debugger; and Wine's menu builder, which
# reads every shortcut saved, is kept away from the shortcuts the tests write and delete.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d}"

# win64 (the default) or win32, the build that players get: its Wine is a 32-bit program, which a
# 64-bit kernel without 32-bit support runs through qemu-i386 (registered by scripts/setup.sh).
wine_use_arch() {
    export WINEARCH=$1
    case $1 in
    win64)
        WINE=/usr/lib/wine/wine64
        # No 64-bit test runs 32-bit code, and where 32-bit programs run only through qemu, the
        # 32-bit half of a 64-bit prefix takes many minutes to set up. An unknown CPU model makes
        # qemu refuse at once; Wine then leaves that half out, as without 32-bit support.
        export QEMU_CPU=none-for-wine64
        ;;
    win32)
        WINE=/usr/lib/wine/wine
        unset QEMU_CPU
        ;;
    *) echo "wine: unknown architecture $1" >&2; return 1 ;;
    esac
}
wine_use_arch "${WINEARCH:-win64}"

is_root() { [ "$(id -u)" = 0 ]; }

wine_ensure_user() {
    if is_root && ! id "$WINE_TEST_USER" >/dev/null 2>&1; then
        useradd --system --no-create-home --shell /usr/sbin/nologin "$WINE_TEST_USER"
    fi
}

wine_chown() { if is_root; then chown -R "$WINE_TEST_USER:" "$@"; fi; }

# Runs a command as the test user with only the variables Wine needs (plus MENDPACK_* ones,
# which the tests use to pass settings into the Windows side, and QEMU_CPU, see above).
wine_as_user() {
    local vars=(PATH=/usr/local/bin:/usr/bin:/bin HOME="$HOME" DISPLAY="$DISPLAY" WINEPREFIX="$WINEPREFIX"
                WINEDEBUG="$WINEDEBUG" WINEDLLOVERRIDES="$WINEDLLOVERRIDES" WINEARCH="$WINEARCH"
                LANG=C.UTF-8 LC_ALL=C.UTF-8)
    local v
    for v in $(compgen -e | grep -E '^(MENDPACK_|QEMU_CPU$)' || true); do vars+=("$v=${!v}"); done
    if is_root; then
        runuser -u "$WINE_TEST_USER" -- env -i "${vars[@]}" "$@"
    else
        env -i "${vars[@]}" "$@"
    fi
}
