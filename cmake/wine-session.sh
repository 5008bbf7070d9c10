#!/usr/bin/env bash
# Starts or stops the Wine session that the Windows tests of one ctest run share.
#   wine-session.sh start SESSION_LINK BIN_DIR [win64|win32]
#   wine-session.sh stop  SESSION_LINK
# The session lives in a fresh folder under /tmp that the unprivileged test user owns: its own
# HOME (Wine links the Desktop to it, so no test touches a real desktop), its own prefix, a copy
# of the built programs, an Xvfb display and a wineserver kept alive with -p.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-common.sh"

# Whether a wineboot of $WINEPREFIX still runs.
prefix_booting() {
    local d
    for d in /proc/[0-9]*; do
        grep -qz wineboot "$d/cmdline" 2>/dev/null && grep -qzx "WINEPREFIX=$WINEPREFIX" "$d/environ" 2>/dev/null && return 0
    done
    return 1
}

# A fresh prefix, set up for tests, in $WINEPREFIX (which the test user owns).
make_prefix() {
    wine_as_user "$WINESERVER" -p </dev/null >/dev/null 2>&1
    wine_as_user "$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
    # Wine waits only some minutes for a prefix's set-up ("boot event wait timed out"); emulated
    # 32-bit Wine on a busy machine takes longer, and wineboot returns with the prefix half made.
    while prefix_booting; do sleep 1; done
    # Title bars draw their close box with Marlett (fonts-wine). This Wine does not look in its own
    # font folder, only in the prefix's, so the font goes where Windows keeps its fonts.
    wine_as_user cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    # Xvfb has no window manager: a Wine virtual desktop draws title bars and frames as Windows
    # does, so screenshots show whole windows. Not for 32-bit programs: under qemu the desktop's
    # process (explorer.exe) ends soon after making its X window (a thread of it faults, and qemu
    # gives Wine no trap number, so Wine cannot handle the fault), and every later window would be
    # made in that dead window. Plain X windows on Xvfb's root work there.
    # Georgia is not on Linux; a serif face stands in. One import, as each program start takes
    # minutes under emulated 32-bit Wine.
    local settings="$SESSION/settings.reg" desktop=()
    [ "$WINEARCH" = win32 ] ||
        desktop=('[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' ''
                 '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' '')
    printf '%s\r\n' REGEDIT4 '' "${desktop[@]}" \
        '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '"Georgia"="Liberation Serif"' >"$settings"
    chmod a+r "$settings"
    wine_as_user "$WINE" reg import "Z:${settings//\//\\}" </dev/null >/dev/null 2>&1
    # The desktop mode is chosen when Wine's desktop process starts: stop the server so that the
    # session's own server starts afresh (and the registry is written out for the template).
    wine_as_user "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    wine_as_user "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
}

cmd=$1 link=$2
case $cmd in
start)
    bin=$3
    wine_use_arch "${4:-win64}"
    if [ -e "$link/env" ]; then "$0" stop "$link" || true; fi
    # Without 32-bit support in the kernel, 32-bit Wine runs only through qemu-i386: say so
    # rather than let every test fail on its own.
    if ! wine_version=$("$WINE" --version 2>&1); then
        echo "wine-session: $WINE does not run here: $wine_version" >&2
        [ "$WINEARCH" = win32 ] &&
            echo "wine-session: 32-bit programs need wine32:i386 and, on a kernel without 32-bit support, qemu-i386 registered in binfmt_misc: run scripts/setup.sh as root" >&2
        exit 1
    fi
    wine_ensure_user
    session=$(mktemp -d /tmp/mendpack-wine.XXXXXX)
    mkdir -p "$session/home" "$session/bin" "$session/prefix"
    cp -a "$bin/." "$session/bin/"
    chmod -R a+rX "$session"
    wine_chown "$session"
    # Xvfb picks a free display number itself and tells it through a file descriptor.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac 3>"$session/display" >"$session/xvfb.log" 2>&1 &
    xvfb=$!
    echo $xvfb >"$session/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$session/display" ] && kill -0 $xvfb 2>/dev/null && break
        kill -0 $xvfb 2>/dev/null || break
        sleep 0.1
    done
    if ! [ -s "$session/display" ] || ! kill -0 $xvfb 2>/dev/null; then
        echo "wine-session: Xvfb did not start a display:" >&2
        tail -n 20 "$session/xvfb.log" >&2
        kill $xvfb 2>/dev/null || true
        rm -rf "$session"
        exit 1
    fi
    display=":$(head -n1 "$session/display")"
    mkdir -p "$link"
    # Emulated 32-bit code starts a program in a minute or more: the tests' waits stretch by this.
    scale=1
    [ "$WINEARCH" = win32 ] && scale=20
    cat >"$link/env" <<ENV
SESSION=$session
DISPLAY=$display
WINEPREFIX=$session/prefix
HOME=$session/home
WINEARCH=$WINEARCH
MENDPACK_TIME_SCALE=$scale
ENV
    source "$link/env"
    export SESSION DISPLAY WINEPREFIX HOME
    # Making a prefix takes half a minute (over eight under emulated 32-bit Wine); the first
    # session of a build makes a template that later sessions copy, as long as Wine and the
    # scripts that make it are the same. Every session still gets a prefix of its own.
    template="$link/prefix-template"
    stamp="$wine_version $(cat "$here/wine-session.sh" "$here/wine-common.sh" | sha256sum | cut -c1-16)"
    if [ "$(cat "$template/ready" 2>/dev/null)" != "$stamp" ]; then
        rm -rf "$template"
        WINEPREFIX="$session/prefix" make_prefix
        mkdir -p "$template" && cp -a "$session/prefix/." "$template/"
        echo "$HOME" >"$template/home" && echo "$stamp" >"$template/ready"
    else
        rm -rf "$session/prefix" && cp -a "$template" "$session/prefix"
        # The user's shell folders (Desktop among them) link into the HOME the template was made
        # with: point them at this session's HOME.
        old_home=$(cat "$template/home")
        rm -f "$session/prefix/ready" "$session/prefix/home"
        for l in "$session"/prefix/drive_c/users/*/*; do
            [ -L "$l" ] || continue
            target=$(readlink "$l")
            case $target in "$old_home"*) ln -sfn "$HOME${target#"$old_home"}" "$l" && chown -h "$WINE_TEST_USER:" "$l" 2>/dev/null ;; esac
        done
    fi
    wine_as_user "$WINESERVER" -p </dev/null >/dev/null 2>&1
    # Starts Windows' services and the desktop in a session of their own, so that they outlive
    # this script (ctest ends what the test leaves in its group; they would be started again).
    wine_as_user setsid -w "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
    echo "Wine session ready: $session on display $display"
    ;;
stop)
    [ -e "$link/env" ] || exit 0
    source "$link/env"
    export SESSION DISPLAY WINEPREFIX HOME
    wine_as_user "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -f "$SESSION/xvfb.pid" ] && kill "$(cat "$SESSION/xvfb.pid")" 2>/dev/null || true
    # Keep the screenshots the tests took: copy them beside the build before the session goes.
    if [ -d "$SESSION/screenshots" ]; then
        mkdir -p "$link/../screenshots" && cp -a "$SESSION/screenshots/." "$link/../screenshots/"
    fi
    rm -rf "$SESSION" "$link/env"
    ;;
esac
