#!/usr/bin/env bash
# Runs the configurator's end-to-end test with the real limited broadcast:
# Velkor in a network namespace of its own, three simulated controllers each
# in its own namespace, all on one bridge in a hub namespace (192.168.0.0/24,
# one controller at the default 192.168.0.243). Nothing is sent from the
# host's own namespace; every namespace made here is removed on exit, also
# after a failure or a time-out.
#   run-netns-e2e.sh <velkor_e2e_netns> <controller-sim>
set -uo pipefail

test_program=$1
simulator=$2
[ "$(id -u)" -eq 0 ] || { echo "skipped: needs root for network namespaces"; exit 77; }
command -v ip >/dev/null || { echo "skipped: no ip command"; exit 77; }

tag="vk$$"
hub="$tag-hub"
velkor="$tag-app"
controllers=(192.168.0.243 192.168.0.20 192.168.0.30)
work=$(mktemp -d)
pids=()

cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    for ns in $(ip netns list | awk '{print $1}' | grep "^$tag-"); do
        ip netns del "$ns" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

set -e
ip netns add "$hub"
ip -n "$hub" link set lo up
ip -n "$hub" link add br0 type bridge
ip -n "$hub" link set br0 up

# join NAMESPACE ADDRESS: a veth from the namespace to the bridge.
join() {
    local ns=$1 address=$2 port="p${1##*-}"
    ip netns add "$ns"
    ip -n "$ns" link set lo up
    ip -n "$hub" link add "$port" type veth peer name eth0 netns "$ns"
    ip -n "$hub" link set "$port" master br0 up
    ip -n "$ns" addr add "$address/24" brd 192.168.0.255 dev eth0
    ip -n "$ns" link set eth0 up
    ip -n "$ns" route add default via 192.168.0.1
}

join "$velkor" 192.168.0.10
for i in "${!controllers[@]}"; do
    ns="$tag-c$i"
    join "$ns" "${controllers[$i]}"
    mkfifo "$work/c$i.ctl"
    exec {fd}<>"$work/c$i.ctl"
    ip netns exec "$ns" "$simulator" --address "${controllers[$i]}" \
        --record "$work/${controllers[$i]}.jsonl" <&"$fd" >"$work/c$i.out" 2>&1 &
    pids+=($!)
done
set +e

# Each controller is ready once it listens on its TCP port (at most 5 s).
for i in "${!controllers[@]}"; do
    for _ in $(seq 50); do
        ip netns exec "$tag-c$i" ss -Hltn 'sport = :8080' | grep -q . && break
        sleep 0.1
    done
done

# The test writes control commands for controller i into $work/c<i>.ctl and
# reads what controller A received from $work/A.jsonl.
ip netns exec "$velkor" env QT_QPA_PLATFORM=offscreen \
    VELKOR_NETNS_CONTROLLERS="$(IFS=,; echo "${controllers[*]}")" \
    VELKOR_NETNS_WORK="$work" \
    timeout --kill-after=5 150 "$test_program"
status=$?
[ $status -eq 0 ] || { echo "--- simulator output"; cat "$work"/c*.out; }
exit $status
