#!/usr/bin/env bash
# Velkor.exe's command line under Wine: --version and --help answer on the
# output they were started with (redirected here), a wrong option says so on
# the error output with exit status 2, and --interface names an interface
# the computer lacks with exit status 2, all before any window opens.
# Usage: velkor_exe_command_line.sh Velkor.exe version
# Wine output only ever goes to files: Wine's background programs inherit the
# descriptors, so a pipe would stay open.
set -euo pipefail
velkor=$(realpath "$1")
version=$2
export WINEDEBUG=${WINEDEBUG:--all}
work=$(mktemp -d /tmp/velkor_exe_XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    for file in "$work"/*.out "$work"/*.err; do
        [ -s "$file" ] && { echo "--- $(basename "$file")"; tr -d '\r' < "$file" | tail -5; }
    done
    exit 1
}

# run NAME ARGS...: output in NAME.out / NAME.err, status in $status.
run() {
    local name=$1
    shift
    status=0
    timeout --kill-after=5 60 wine "$velkor" "$@" > "$work/$name.out" 2> "$work/$name.err" \
        < /dev/null || status=$?
}

run version --version
[ "$status" -eq 0 ] || fail "--version exited with $status"
grep -q "^Velkor $version" "$work/version.out" || fail "--version did not print Velkor $version"

run help --help
[ "$status" -eq 0 ] || fail "--help exited with $status"
grep -q "^Usage: Velkor.exe" "$work/help.out" || fail "--help does not start with the usage line"
grep -q -- "--broadcast" "$work/help.out" || fail "--help does not name --broadcast"

run wrong --bogus
[ "$status" -eq 2 ] || fail "a wrong option exited with $status"
grep -q "^Velkor.exe: .*--bogus.*(see --help)" "$work/wrong.err" || fail "no message for --bogus"

run interface --interface no-such-interface
[ "$status" -eq 2 ] || fail "an unknown interface exited with $status"
grep -q "no-such-interface" "$work/interface.err" || fail "the message does not name the interface"

echo "PASS: Velkor.exe answered --version, --help, a wrong option and an unknown interface"
