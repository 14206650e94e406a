#!/usr/bin/env bash
# The Windows build of velkor-cli under Wine against the Linux simulator, both in
# the private network namespace of scripts/with-wine-netns.sh: discover by
# 127.255.255.255, get, set (Cyrillic locker names given on the command line),
# backup with keys and restore onto a controller with other settings, dry run.
# Usage: velkor_cli_wine_test.sh velkor-cli.exe controller-sim
set -euo pipefail

cli=$(realpath "$1")
. "$(dirname "$0")/../wine_with_simulator.sh" "$2" velkor_cli_wine

fail() {
    echo "FAIL: $*"
    for file in "$work"/*.out "$work"/*.err; do
        [ -s "$file" ] && { echo "--- $(basename "$file")"; tr -d '\r' < "$file" | tail -20; }
    done
    exit 1
}

# vcli NAME ARGS...: runs velkor-cli, output in NAME.out / NAME.err, status in $status.
vcli() {
    local name=$1
    shift
    status=0
    (cd "$work" && timeout --kill-after=5 60 wine "$cli" --timeout 1 "$@" \
        > "$work/$name.out.raw" 2> "$work/$name.err" < /dev/null) || status=$?
    tr -d '\r' < "$work/$name.out.raw" > "$work/$name.out"
}
expect_ok() { [ "$status" -eq 0 ] || fail "$1 exited with $status"; }
expect_out() { grep -qF -- "$2" "$work/$1.out" || fail "$1 printed no \"$2\""; }

# Two simulated controllers; control commands go in through a FIFO.
a=127.0.31.2
b=127.0.31.3
mkfifo "$work/control"
exec {control}<>"$work/control"
"$simulator" --count 2 --first-address "$a" <&"$control" > "$work/sim.out" 2>&1 &
sim_pid=$!
echo list >&"$control"
for _ in $(seq 50); do
    grep -qx ok "$work/sim.out" && break
    sleep 0.1
done
grep -qx ok "$work/sim.out" || fail "the simulator did not start"

vcli discover discover --broadcast 127.255.255.255 --json
expect_ok discover
for address in "$a" "$b"; do
    [ "$(grep -cF "\"ip\": \"$address\"" "$work/discover.out")" -eq 1 ] ||
        fail "discover did not list $address once"
done

vcli set_language set "$a" language ENG
expect_ok set_language
vcli set_lockers set "$a" lockers "62:Шкаф,33:Сейф"
expect_ok set_lockers
vcli set_keys set "$a" sector-keys key0=A0A1A2A3A4A5
expect_ok set_keys
vcli get get "$a" language lockers
expect_ok get
expect_out get "language: ENG"
expect_out get "lockers=62:Шкаф,33:Сейф"
# The names reach the controller in Windows-1251: Ш к а ф.
echo "get 0 33" >&"$control"
sleep 0.3
grep -q "D8EAE0F4" "$work/sim.out" || fail "the locker name did not arrive in Windows-1251"

vcli backup backup "$a" -o keyed.json --include-keys
expect_ok backup
grep -q '"schema_version": *1' "$work/keyed.json" || fail "no schema version in the backup"

vcli before get "$b" all --hex
expect_ok before
vcli dry_run restore "$b" keyed.json --dry-run
expect_ok dry_run
expect_out dry_run "+ 33 lockers: rows=6 lockers=62:Шкаф,33:Сейф"
expect_out dry_run "nothing written (dry run)"
grep -q A0A1A2A3A4A5 "$work/dry_run.out" && fail "the dry run showed the keys"
vcli after_dry_run get "$b" all --hex
cmp -s "$work/before.out" "$work/after_dry_run.out" || fail "the dry run changed settings"

vcli restore restore "$b" keyed.json
expect_ok restore
vcli settings_a get "$a" all --hex
vcli settings_b get "$b" all --hex
cmp -s "$work/settings_a.out" "$work/settings_b.out" ||
    fail "settings differ after the restore: $(diff "$work/settings_a.out" "$work/settings_b.out")"

vcli unreachable get 127.0.31.9:1 language
[ "$status" -eq 1 ] || fail "an unreachable controller gave exit status $status"
grep -qF "127.0.31.9:1" "$work/unreachable.err" || fail "the error does not name the controller"

echo "PASS: velkor-cli.exe discovered, read, wrote, backed up and restored under Wine"
