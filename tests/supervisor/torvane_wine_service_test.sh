#!/usr/bin/env bash
# The Windows build of Torvane as a real service under Wine: registered with `sc create`,
# started, left to supervise a program list, stopped and deleted; its log is then checked.
# Started outside the service manager it must log the dispatcher's error 1063.
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
tag=$(basename "$work")

fail() {
    echo "FAIL: $*"
    [ -f "$work/sc.out" ] && tr -d '\r' < "$work/sc.out"
    [ -f "$work/Torvane.log" ] && tr -d '\r' < "$work/Torvane.log" | tail -40
    exit 1
}

sc() { wine sc "$@" > "$work/sc.out" 2>&1 < /dev/null; }

service_state() {
    wine sc query "$service" > "$work/query.out" 2>&1 < /dev/null || true
    tr -d '\r' < "$work/query.out" | awk '/STATE/ {print $4}'
}

wait_for_state() {
    for _ in $(seq 1 300); do
        [ "$(service_state)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "service never reached $1 (last: $(service_state))"
}

log_count() { tr -d '\r' < "$work/Torvane.log" 2>/dev/null | grep -cF -- "$1" || true; }

wait_for_log() {
    for _ in $(seq 1 300); do
        [ "$(log_count "$1")" -ge "$2" ] && return 0
        sleep 0.1
    done
    fail "log never held $2 times: $1"
}

our_children() {
    ps -eo pid,args > "$work/ps.out"
    grep -F "$tag" "$work/ps.out" | grep -F "child.exe" | grep -vF "ps -eo" | awk '{print $1}' || true
}

cleanup() {
    if [ -f "$work/created" ]; then
        wine sc stop "$service" > /dev/null 2>&1 < /dev/null || true
        wine sc delete "$service" > /dev/null 2>&1 < /dev/null || true
    fi
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
    "$W\\child.exe sleep" > "$work/Torvane.ini"
printf 'earlier run\r\n' > "$work/err3.txt"

# --- as a service -------------------------------------------------------------------------
sc create "$service" binPath= "$W\\Torvane.exe $service" start= demand || fail "sc create"
touch "$work/created"
# A prefix that is still settling may refuse the first start.
for attempt in 1 2 3; do
    sc start "$service" && break
    [ "$attempt" -lt 3 ] || fail "sc start"
    sleep 2
done
wait_for_state RUNNING
wait_for_log "app: check fail [$W\\child.exe], ret_code [3]" 3
wait_for_log "app: check fail [$W\\child.exe], ret_code [259]" 2
children=$(our_children)
[ "$(echo "$children" | grep -c .)" -ge 2 ] || fail "expected the sleeping children, found: $children"

sc stop "$service" || fail "sc stop"
wait_for_state STOPPED
sc delete "$service" || fail "sc delete"
rm "$work/created"
for _ in $(seq 1 100); do
    [ -z "$(our_children)" ] && break
    sleep 0.1
done
[ -z "$(our_children)" ] || fail "children survived the stop: $(our_children)"

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
[ "$(grep -cxF "app: stopping [$W\\child.exe]" <<< "$messages")" -ge 2 ] || fail "stopping lines"
expect_line "app: skipped line 4 [$W\\missing.exe sleep]: no such program"
# Once the supervisor has begun terminating its programs, nothing starts any more.
after_stop=$(sed -n '/^app: stopping \[/,$p' <<< "$messages")
grep -qF "app: starting [" <<< "$after_stop" && fail "a program was started after the stop"
[ "$(head -1 "$work/err3.txt" | tr -d '\r')" = "earlier run" ] || fail "err3.txt was truncated"
[ "$(grep -c "child: args=4" "$work/err3.txt")" -ge 3 ] || fail "standard error not appended"

# --- outside the service manager ----------------------------------------------------------
: > "$work/Torvane.log"
timeout 120 wine "$work/Torvane.exe" > "$work/direct.out" 2>&1 < /dev/null || true
tr -d '\r' < "$work/Torvane.log" | sed -E 's/^\[[^]]*\] //' > "$work/direct.txt"
[ "$(cat "$work/direct.txt")" = "app: ------------------- session start -------------------
userv: {error} StartServiceCtrlDispatcher (1063)" ] || fail "direct start: $(cat "$work/direct.txt")"

echo "PASS: Torvane ran, supervised and stopped as a Wine service"
