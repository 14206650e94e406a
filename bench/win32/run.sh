#!/usr/bin/env bash
# The scan benchmark of the Win32 window under Wine: 10,000 simulated
# controllers (the Linux simulator, answers spread over 100 ms) on loopback in
# the private namespace of scripts/with-wine-netns.sh, the window's time to
# list them all and its longest message-loop pause beside a bare socket's time.
# Usage: bench/win32/run.sh [controller-sim] [controllers] [build dir, default build/mingw]
set -euo pipefail
if [ -z "${WITH_WINE_NETNS_INSIDE:-}" ]; then
    exec "$(dirname "$0")/../../scripts/with-wine-netns.sh" "$0" "$@"
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
simulator=${1:-$root/build/release/tools/controller-sim}
count=${2:-10000}
build=${3:-$root/build/mingw}
work=$(mktemp -d /tmp/velkor-win32-bench.XXXXXX)
sim_pid=""
cleanup() {
    [ -z "$sim_pid" ] || { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; } || true
    rm -rf "$work"
}
trap cleanup EXIT
"$simulator" --count "$count" --first-address 127.1.0.1 --jitter 100 --tcp-port 0 --no-stdin \
    --control-port 47214 > "$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/47214") 2>/dev/null && break
    sleep 0.1
done
status=0
timeout --kill-after=5 600 wine "$build/bench/win32/win32_scan_bench.exe" "$count" \
    > "$work/bench.out" 2>&1 < /dev/null || status=$?
tr -d '\r' < "$work/bench.out"
exit "$status"
