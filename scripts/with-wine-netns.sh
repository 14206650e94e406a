#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix inside a private network namespace
# that has only the loopback: nothing the Windows build does can reach a real
# network. The wineserver is started inside the namespace (it owns the sockets)
# and kept alive for the whole command, so test runners that read the
# programs' output through pipes are not held open by it.
set -euo pipefail
if [ -z "${WITH_WINE_NETNS_INSIDE:-}" ]; then
    exec unshare -n env WITH_WINE_NETNS_INSIDE=1 "$0" "$@"
fi
ip link set lo up
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/velkor-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$WINEPREFIX.boot.log"
}
trap cleanup EXIT
wine wineboot --init </dev/null >"$WINEPREFIX.boot.log" 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
"$@"
