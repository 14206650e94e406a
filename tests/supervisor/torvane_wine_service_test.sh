#!/usr/bin/env bash
# The Windows build of Torvane as a real service under Wine: installed with `Torvane install`,
# started, left to supervise a program list (restarts, a reload by the parameter-change control,
# a second service on the same list refused by the lock), stopped (a program's own child ends
# with it: its Job), uninstalled; its log is then checked. Then a service killed outside any
# stop must take its programs with it (kill-on-close Jobs). Started outside the service manager
# it must log the dispatcher's error 1063.
# Usage: torvane_wine_service_test.sh Torvane.exe torvane_test_child.exe
# Wine output is only ever redirected to files: services inherit the descriptors, so a pipe
# would never close while one runs.
set -euo pipefail

torvane=$(realpath "$1")
child=$(realpath "$2")
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
work=$(mktemp -d /tmp/torvane_wine_XXXXXX)
# A prefix handed in belongs to the caller, who also owns its wineserver.
own_prefix=${WINEPREFIX:+no}
export WINEPREFIX=${WINEPREFIX:-$work/prefix}
service=torvane_test_$$
second=${service}_b
tag=$(basename "$work")

fail() {
    echo "FAIL: $*"
    [ -f "$work/sc.out" ] && tr -d '\r' < "$work/sc.out"
    [ -f "$work/Torvane.log" ] && tr -d '\r' < "$work/Torvane.log" | tail -40
    exit 1
}

sc() { wine sc "$@" > "$work/sc.out" 2>&1 < /dev/null; }

service_state() {
    wine sc query "${2:-$service}" > "$work/query.out" 2>&1 < /dev/null || true
    tr -d '\r' < "$work/query.out" | awk '/STATE/ {print $4}'
}

wait_for_state() {
    for _ in $(seq 1 300); do
        [ "$(service_state "$1" "${2:-$service}")" = "$1" ] && return 0
        sleep 0.1
    done
    fail "service ${2:-$service} never reached $1 (last: $(service_state "$1" "${2:-$service}"))"
}

torvane() { wine "$work/Torvane.exe" "$@" > "$work/torvane.out" 2>&1 < /dev/null; }

start_service() {
    # A prefix that is still settling may refuse the first start.
    for attempt in 1 2 3; do
        sc start "$1" && return 0
        [ "$attempt" -lt 3 ] || fail "sc start $1"
        sleep 2
    done
}

# The file some process appends to every 10 ms keeps (or stops) growing.
grows() {
    local size
    size=$(stat -c %s "$1" 2>/dev/null || echo 0)
    for _ in $(seq 1 100); do
        [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$((size + 20))" ] && return 0
        sleep 0.1
    done
    return 1
}
stopped_growing() {
    local size
    for _ in $(seq 1 50); do
        size=$(stat -c %s "$1")
        sleep 0.3
        [ "$(stat -c %s "$1")" = "$size" ] && return 0
    done
    return 1
}

log_count() { tr -d '\r' < "$work/Torvane.log" 2>/dev/null | grep -cF -- "$1" || true; }

wait_for_log() {
    for _ in $(seq 1 300); do
        [ "$(log_count "$1")" -ge "$2" ] && return 0
        sleep 0.1
    done
    fail "log never held $2 times: $1"
}

processes_of() {
    ps -eo pid,args > "$work/ps.out"
    grep -F "$tag" "$work/ps.out" | grep -F "$1" | grep -vF -e "ps -eo" -e " install " |
        awk '{print $1}' || true
}
our_children() { processes_of child.exe; }
children_gone() {
    for _ in $(seq 1 100); do
        [ -z "$(our_children)" ] && return 0
        sleep 0.1
    done
    return 1
}

cleanup() {
    for name in "$service" "$second"; do
        wine sc stop "$name" > /dev/null 2>&1 < /dev/null || true
        wine sc delete "$name" > /dev/null 2>&1 < /dev/null || true
    done
    if [ "$own_prefix" != no ]; then
        timeout 60 wineserver -w > /dev/null 2>&1 < /dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

cp "$torvane" "$work/Torvane.exe"
cp "$child" "$work/child.exe"
W="Z:${work//\//\\}"
printf '%s\r\n' \
    "  $W\\child.exe exit 3 50  >  $W\\err3.txt  " \
    "$W\\child.exe exit 259 50" \
    "$W\\child.exe sleep" \
    "$W\\missing.exe sleep" \
    "" \
    "$W\\child.exe family $W\\ticks.txt 0" > "$work/Torvane.ini"
printf 'earlier run\r\n' > "$work/err3.txt"

# --- as a service -------------------------------------------------------------------------
torvane install --config "$W\\Torvane.ini" "$service" || fail "install: $(cat "$work/torvane.out")"
grep -qF "service $service installed" "$work/torvane.out" || fail "install said: $(cat "$work/torvane.out")"
start_service "$service"
wait_for_state RUNNING
wait_for_log "app: check fail [$W\\child.exe], ret_code [3]" 3
wait_for_log "app: check fail [$W\\child.exe], ret_code [259]" 2
grows "$work/ticks.txt" || fail "the family program's child never ticked"
children=$(our_children)
[ "$(echo "$children" | grep -c .)" -ge 3 ] || fail "expected the sleeping children, found: $children"

# The parameter change reads the list again: one more line, the others left running.
printf '%s\r\n' "$W\\child.exe sleep" >> "$work/Torvane.ini"
wine "$work/child.exe" control "$service" 6 > /dev/null 2>&1 < /dev/null || fail "control 6"
wait_for_log "app: reload [$W\\Torvane.ini], 4 unchanged, 1 new, 0 removed" 1

# A second service on the same list is refused by the lock and stops on its own.
torvane install --config "$W\\Torvane.ini" "$second" || fail "install $second"
sc start "$second" || true
wait_for_state STOPPED "$second"
wait_for_log "app: {error} another Torvane supervises [$W\\Torvane.ini], its lock [$W\\Torvane.ini.lock] is held" 1
torvane uninstall "$second" || fail "uninstall $second: $(cat "$work/torvane.out")"

sc stop "$service" || fail "sc stop"
wait_for_state STOPPED
torvane uninstall "$service" || fail "uninstall: $(cat "$work/torvane.out")"
children_gone || fail "children survived the stop: $(our_children)"
stopped_growing "$work/ticks.txt" || fail "a program's own child survived the stop"

tr -d '\r' < "$work/Torvane.log" > "$work/log.txt"
grep -vqE '^\[[0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\] ' "$work/log.txt" &&
    fail "a log line without its stamp"
messages=$(sed -E 's/^\[[^]]*\] //' "$work/log.txt")
expect_line() { grep -qxF -- "$1" <<< "$messages" || fail "missing log line: $1"; }
[ "$(head -1 <<< "$messages")" = "app: ------------------- session start -------------------" ] ||
    fail "the start banner is not first"
[ "$(tail -1 <<< "$messages")" = "app: ------------------- session stop -------------------" ] ||
    fail "the stop banner is not last"
expect_line "userv: starting"
expect_line "userv: started"
expect_line "app: starting [$W\\child.exe:$W\\child.exe exit 3 50] Ok"
expect_line "app: starting [$W\\child.exe:$W\\child.exe sleep] Ok"
expect_line "userv: control SERVICE_CONTROL_STOP"
expect_line "userv: stopping"
[ "$(grep -cxF "app: stopping [$W\\child.exe]" <<< "$messages")" -ge 3 ] || fail "stopping lines"
expect_line "app: skipped line 4 [$W\\missing.exe sleep]: no such program"
expect_line "userv: control SERVICE_CONTROL_PARAMCHANGE"
expect_line "userv: {error} uservice_on_start failed"
# Once the supervisor has begun terminating its programs, nothing starts any more.
after_stop=$(sed -n '/^app: stopping \[/,$p' <<< "$messages")
grep -qF "app: starting [" <<< "$after_stop" && fail "a program was started after the stop"
[ "$(head -1 "$work/err3.txt" | tr -d '\r')" = "earlier run" ] || fail "err3.txt was truncated"
[ "$(grep -c "child: args=4" "$work/err3.txt")" -ge 3 ] || fail "standard error not appended"

# --- killed -------------------------------------------------------------------------------
# Torvane dies without a stop: its Jobs close with it and take every program along.
: > "$work/Torvane.log"
torvane install --config "$W\\Torvane.ini" "$service" || fail "install again"
start_service "$service"
wait_for_state RUNNING
grows "$work/ticks.txt" || fail "the family program's child never ticked"
supervisor=$(processes_of Torvane.exe)
[ "$(echo "$supervisor" | grep -c .)" = 1 ] || fail "expected one Torvane.exe, found: $supervisor"
kill -KILL "$supervisor"
children_gone || fail "children survived killing Torvane: $(our_children)"
stopped_growing "$work/ticks.txt" || fail "a program's own child survived killing Torvane"
torvane uninstall "$service" || fail "uninstall after the kill: $(cat "$work/torvane.out")"

# --- a stop with a grace ---------------------------------------------------------------------
# Programs are asked to end, and whoever stays is terminated when the grace is over. (Wine 8
# refuses GenerateConsoleCtrlEvent on an attached console with error 6, so whether the polite
# program hears its CTRL_BREAK is not checked here.)
printf '%s\r\n' "$W\\child.exe polite $W\\asked.txt" "$W\\child.exe stubborn" > "$work/grace.ini"
torvane install --config "$W\\grace.ini" --stop-grace 2 "$service" || fail "install with grace"
start_service "$service"
wait_for_state RUNNING
for _ in $(seq 1 100); do
    [ "$(our_children | grep -c .)" = 2 ] && break
    sleep 0.1
done
began=$SECONDS
sc stop "$service" || fail "sc stop with grace"
wait_for_state STOPPED
[ $((SECONDS - began)) -ge 2 ] || fail "the stop did not wait for the grace"
children_gone || fail "children survived the stop with grace: $(our_children)"
torvane uninstall "$service" || fail "uninstall after the grace: $(cat "$work/torvane.out")"

# --- outside the service manager ----------------------------------------------------------
: > "$work/Torvane.log"
status=0
timeout 120 wine "$work/Torvane.exe" > "$work/direct.out" 2>&1 < /dev/null || status=$?
[ "$status" = 1 ] || fail "outside the service manager the exit status was $status, not 1"
tr -d '\r' < "$work/Torvane.log" | sed -E 's/^\[[^]]*\] //' > "$work/direct.txt"
[ "$(cat "$work/direct.txt")" = "app: ------------------- session start -------------------
userv: {error} StartServiceCtrlDispatcher (1063)" ] || fail "direct start: $(cat "$work/direct.txt")"

echo "PASS: Torvane ran, supervised and stopped as a Wine service"
