#!/usr/bin/env bash
# The Windows build's main window under Wine against the Linux simulator, both
# in the private network namespace of scripts/with-wine-netns.sh: starts a fleet
# of three on loopback with a control port and runs the end-to-end test program.
# Usage: main_window_wine_e2e.sh win32_main_window_e2e.exe controller-sim [--desktop]
# (--desktop: on a Wine desktop, where windows have frames, for screenshots)
set -euo pipefail

test_program=$(realpath "$1")
. "$(dirname "$0")/../wine_with_simulator.sh" "$2" velkor_win32_e2e

port=47213
"$simulator" --address 127.0.33.5 --address 127.0.33.2 --address 127.0.34.1 \
    --control-port "$port" --no-stdin > "$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done

desktop=()
[ "${3:-}" != --desktop ] || desktop=(explorer /desktop=velkor,1024x768)
status=0
VELKOR_SIM_CONTROL_PORT=$port timeout --kill-after=5 150 wine "${desktop[@]}" "$test_program" \
    > "$work/test.out" 2>&1 < /dev/null || status=$?
tr -d '\r' < "$work/test.out"
exit "$status"
