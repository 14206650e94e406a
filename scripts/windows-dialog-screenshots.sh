#!/usr/bin/env bash
# Screenshots of every Win32 dialog under Wine, on a Wine desktop (framed
# windows) of a private X display: docs/screenshots/windows-dialog-*.png.
# Usage: scripts/windows-dialog-screenshots.sh [build dir, default build/mingw]
set -euo pipefail
if [ -z "${WITH_WINE_NETNS_INSIDE:-}" ]; then
    exec "$(dirname "$0")/with-wine-netns.sh" "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/mingw}
out=$root/docs/screenshots
handshake=$(mktemp -d /tmp/velkor-shots.XXXXXX)
trap 'rm -rf "$handshake"' EXIT
wine explorer /desktop=shots,1024x768 "$build/tests/win32/win32_dialog_shots.exe" \
    "Z:${handshake//\//\\}" </dev/null >"$handshake.log" 2>&1 &
program=$!
shots=0
while kill -0 "$program" 2>/dev/null; do
    if [ -f "$handshake/ready" ]; then
        read -r name left top width height <"$handshake/ready"
        rm "$handshake/ready"
        sleep 0.5 # the last paints
        import -window root "$handshake/screen.png"
        /usr/bin/convert "$handshake/screen.png" -crop "${width}x${height}+${left}+${top}" +repage \
            "$out/$name.png"
        echo "$out/$name.png"
        shots=$((shots + 1))
        touch "$handshake/done"
    fi
    sleep 0.1
done
wait "$program" || true
echo "$shots screenshots"
