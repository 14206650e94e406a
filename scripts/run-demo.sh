#!/usr/bin/env bash
# The demo: builds Velkor and the controller simulator (release preset),
# starts a simulated fleet of a few controllers on loopback and Velkor set to
# discover on 127.255.255.255. Press "Scan", double-click a controller and
# configure it. Closing Velkor stops the fleet.
#   scripts/run-demo.sh [--count N] [Velkor options, e.g. --log-file traffic.log]
set -euo pipefail
cd "$(dirname "$0")/.."

count=5
if [ "${1:-}" = "--count" ]; then
    count=$2
    shift 2
fi

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target Velkor controller-sim

build=build/release
fleet_pid=""
stop_fleet() {
    if [ -n "$fleet_pid" ]; then
        kill "$fleet_pid" 2>/dev/null || true
        wait "$fleet_pid" 2>/dev/null || true
    fi
}
trap stop_fleet EXIT

# The fleet: 127.0.0.2 upwards, UDP port 3052, TCP port 8080 on each address.
# It takes no commands here and runs until it is stopped.
"$build/tools/controller-sim" --count "$count" --first-address 127.0.0.2 --no-stdin &
fleet_pid=$!
sleep 0.5
if ! kill -0 "$fleet_pid" 2>/dev/null; then
    echo "run-demo: the simulated fleet did not start (is UDP port 3052 or TCP port 8080 in use?)" >&2
    exit 1
fi
echo "run-demo: $count simulated controllers on 127.0.0.2 and up; starting Velkor"

"$build/Velkor" --broadcast 127.255.255.255 "$@"
