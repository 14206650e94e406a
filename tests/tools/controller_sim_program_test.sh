#!/usr/bin/env bash
# controller-sim as a program: its version, a clear error for an unknown
# option, and SIGTERM stopping the fleet cleanly with a written setting saved.
#   controller_sim_program_test.sh PATH_TO_CONTROLLER_SIM
set -euo pipefail
sim=$1
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

version=$("$sim" --version)
[[ $version == "controller-sim "[0-9]* ]] || fail "--version printed '$version'"

for wrong in "--verbose:unknown option: --verbose" "--count:--count needs a value"; do
    status=0
    "$sim" "${wrong%%:*}" 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "${wrong%%:*} gave exit status $status"
    grep -qF -- "${wrong#*:}" "$work/err" || fail "${wrong%%:*}: $(cat "$work/err")"
done

# A fleet on free ports taking control commands from a pipe kept open.
mkfifo "$work/commands"
"$sim" --count 2 --first-address 127.0.13.2 --udp-port 0 --tcp-port 0 \
    --state "$work/state" <"$work/commands" >"$work/out" 2>"$work/err" &
pid=$!
exec 3>"$work/commands"
echo "set 1 24 07" >&3 # item 24, the sound volume
for _ in $(seq 1 100); do
    grep -qx ok "$work/out" && break
    sleep 0.1
done
grep -qx ok "$work/out" || fail "no answer to set: $(cat "$work/out" "$work/err")"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "SIGTERM ended the fleet with exit status $status: $(cat "$work/err")"
grep -qx "127.0.13.3 24 07" "$work/state" || fail "state not saved: $(cat "$work/state" 2>&1)"
echo "controller-sim: version, option errors and a clean stop on SIGTERM"
