#!/usr/bin/env bash
# Builds the optimised Torvane and the restart benchmark, then runs it: Torvane against
# supervisord at 100 and 1,000 programs, 20 s of steady state each (about 3 minutes in all).
# Needs supervisord (Debian package supervisor, which scripts/install-deps.sh installs).
# Extra arguments go to the benchmark (e.g. --benchmark_filter=/100$).
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset release >/dev/null
cmake --build --preset release --target torvane_restart_bench -j 2
exec build/release/bench/supervisor/torvane_restart_bench "$@"
