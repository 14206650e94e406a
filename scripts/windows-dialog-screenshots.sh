#!/usr/bin/env bash
# Screenshots of every Win32 dialog under Wine, on a Wine desktop (framed
# windows) of a private X display: docs/screenshots/windows-dialog-*.png.
# Usage: scripts/windows-dialog-screenshots.sh [build dir, default build/mingw]
set -euo pipefail
if [ -z "${WITH_WINE_NETNS_INSIDE:-}" ]; then
    exec "$(dirname "$0")/with-wine-netns.sh" "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/screenshot-requests.sh"
build=${1:-$root/build/mingw}
out=$root/docs/screenshots
handshake=$(mktemp -d /tmp/velkor-shots.XXXXXX)
trap 'rm -rf "$handshake" "$handshake.log"' EXIT
wine explorer /desktop=shots,1024x768 "$build/tests/win32/win32_dialog_shots.exe" \
    "Z:${handshake//\//\\}" </dev/null >"$handshake.log" 2>&1 &
program=$!
take_requested_shots "$program" "$handshake" "$out"
wait "$program" || true # the desktop's exit status, not the program's
