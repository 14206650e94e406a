#!/usr/bin/env bash
# Screenshots of Velkor's Win32 main window under Wine, on a Wine desktop
# (framed windows) of a private X display, taken while the end-to-end test
# runs against the Linux simulator: docs/screenshots/windows-main-*.png.
# Usage: scripts/windows-main-screenshots.sh [controller-sim] [build dir, default build/mingw]
set -euo pipefail
if [ -z "${WITH_WINE_NETNS_INSIDE:-}" ]; then
    exec "$(dirname "$0")/with-wine-netns.sh" "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/screenshot-requests.sh"
simulator=${1:-$root/build/asan/tools/controller-sim}
build=${2:-$root/build/mingw}
out=$root/docs/screenshots
handshake=$(mktemp -d /tmp/velkor-main-shots.XXXXXX)
trap 'rm -rf "$handshake" "$handshake.log"' EXIT
VELKOR_SHOT_DIR="Z:${handshake//\//\\}" "$root/tests/win32/main_window_wine_e2e.sh" \
    "$build/tests/win32/win32_main_window_e2e.exe" "$simulator" --desktop \
    >"$handshake.log" 2>&1 &
program=$!
take_requested_shots "$program" "$handshake" "$out"
wait "$program" || { cat "$handshake.log"; exit 1; }
