#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix inside a private network namespace
# that has only the loopback: nothing the Windows build does can reach a real
# network. The wineserver is started inside the namespace (it owns the sockets)
# and kept alive for the whole command, so test runners that read the
# programs' output through pipes are not held open by it. Windows GUI programs
# get a private X display (Xvfb) of their own.
set -euo pipefail
if [ -z "${WITH_WINE_NETNS_INSIDE:-}" ]; then
    exec unshare -n env WITH_WINE_NETNS_INSIDE=1 "$0" "$@"
fi
ip link set lo up
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/velkor-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY
xvfb=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$WINEPREFIX" "$WINEPREFIX.boot.log" "$WINEPREFIX.warm.log" "$WINEPREFIX.display" \
        "$WINEPREFIX.desktop"
}
trap cleanup EXIT
if command -v Xvfb >/dev/null; then
    # Xvfb picks a free display number and writes it to the file.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WINEPREFIX.display" \
        </dev/null >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 1 100); do
        [ -s "$WINEPREFIX.display" ] && break
        sleep 0.1
    done
    [ -s "$WINEPREFIX.display" ] && export DISPLAY=":$(head -n 1 "$WINEPREFIX.display")"
fi
wine wineboot --init </dev/null >"$WINEPREFIX.boot.log" 2>&1 || true
# Wine reads the TrueType fonts of fonts-wine (Marlett, which draws the caption
# buttons, and "MS Sans Serif", the 8-point window font) only from the prefix's
# own Fonts folder; without them the close box shows an "r" and dialogs fall back.
for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
wineserver -w </dev/null >/dev/null 2>&1
# A persistent server of our own, started once the boot's server has gone: a
# server started by a test would inherit the test runner's output pipe and hold
# it open.
for _ in $(seq 1 50); do
    wineserver -f -p </dev/null >/dev/null 2>&1 &
    server=$!
    sleep 0.2
    kill -0 "$server" 2>/dev/null && break
done
kill -0 "$server" 2>/dev/null || { echo "with-wine-netns: wineserver did not start" >&2; exit 1; }
# Keep the desktop in use for the whole command. Wine closes a desktop one
# second after its last program has gone and its explorer.exe exits; the next
# window program then starts a new explorer.exe that inherits that program's
# standard error, and a test runner reading it waits for that explorer until
# its time-out (a test passed and "did not exit"). A cmd waiting in "pause" on
# a pipe that is never written keeps the desktop, and the first explorer, alive;
# it starts before the warm-up below ends, so the desktop is never left empty.
mkfifo "$WINEPREFIX.desktop"
wine cmd /c pause <"$WINEPREFIX.desktop" >/dev/null 2>&1 &
exec 5>"$WINEPREFIX.desktop"
# Start Wine's own background programs (services and the like) now, with
# harmless descriptors, so that no test's output pipe is inherited by them.
wine cmd /c exit 0 </dev/null >"$WINEPREFIX.warm.log" 2>&1 || true
"$@"
