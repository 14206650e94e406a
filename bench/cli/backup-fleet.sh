#!/usr/bin/env bash
# Backs up a simulated fleet of 1,000 controllers on loopback with velkor-cli,
# once with -j 1 (the baseline) and once with -j 64, in the same run, and
# prints controllers per second for each. Not part of the test suite.
#   bench/cli/backup-fleet.sh [build-dir]   (default build/release)
set -euo pipefail
build=${1:-build/release}
count=${COUNT:-1000}
udp_port=3998
work=$(mktemp -d)
"$build/tools/controller-sim" --count "$count" --first-address 127.4.0.1 \
    --udp-port "$udp_port" --no-stdin >"$work/sim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
sleep 2
cli=("$build/cli/velkor-cli" --udp-port "$udp_port" --timeout 3)
"${cli[@]}" discover --broadcast 127.255.255.255 --csv | tail -n +2 | cut -d, -f2,3 | tr , : \
    >"$work/hosts"
echo "controllers found: $(wc -l <"$work/hosts")"
for jobs in 1 64; do
    mkdir -p "$work/j$jobs"
    start=$(date +%s.%N)
    "${cli[@]}" --hosts "$work/hosts" -j "$jobs" backup -o "$work/j$jobs" >"$work/j$jobs.out" || true
    end=$(date +%s.%N)
    ok=$(grep -c ' ok ' "$work/j$jobs.out" || true)
    awk -v j="$jobs" -v s="$start" -v e="$end" -v ok="$ok" \
        'BEGIN { printf "-j %-3s %5d backed up in %6.2f s: %7.1f controllers/s\n", j, ok, e - s, ok / (e - s) }'
done
