#!/usr/bin/env bash
# Runs a test command on a computer with two networks, made of network
# namespaces: the command's own namespace has eth0 on 192.168.0.0/24 (address
# .10, its default route) and eth1 on 10.1.0.0/24 (address .10); every
# simulated controller runs in a namespace of its own on the network of its
# address; each network is a bridge in a hub namespace. Real broadcasts, the
# limited one included, stay inside. Nothing is sent from the host's own
# namespace; every namespace made here is removed on exit, also after a
# failure or a time-out.
#   two-networks.sh CONTROLLER-SIM COMMAND [ARGUMENTS...]
# Controllers: 192.168.0.243 (the default address), .20 and .30, 10.1.0.20 and
# .30. The command sees VELKOR_NETNS_CONTROLLERS (the addresses, comma-separated)
# and VELKOR_NETNS_WORK, a folder where it writes control commands for
# controller i into c<i>.ctl and reads what controller A received from
# A.jsonl. It may run for 150 s; its status is the script's. Exits 77 (skip)
# without root or the ip command.
set -uo pipefail

controllers=(192.168.0.243 192.168.0.20 192.168.0.30 10.1.0.20 10.1.0.30)
simulator=$1
shift
[ "$(id -u)" -eq 0 ] || { echo "skipped: needs root for network namespaces"; exit 77; }
command -v ip >/dev/null || { echo "skipped: no ip command"; exit 77; }

tag="vk$$"
hub="$tag-hub"
app="$tag-app"
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
for bridge in br0 br1; do
    ip -n "$hub" link add "$bridge" type bridge
    ip -n "$hub" link set "$bridge" up
done

# join NAMESPACE ADDRESS [DEVICE]: a veth from the namespace to the bridge of
# the address's network (192.168.0.x: br0, 10.1.0.x: br1).
join() {
    local ns=$1 address=$2 device=${3:-eth0}
    local port="p${1##*-}$device" net=${address%.*} bridge=br0
    [ "$net" = 10.1.0 ] && bridge=br1
    ip netns list | grep -qx "$ns" || { ip netns add "$ns"; ip -n "$ns" link set lo up; }
    ip -n "$hub" link add "$port" type veth peer name "$device" netns "$ns"
    ip -n "$hub" link set "$port" master "$bridge" up
    ip -n "$ns" addr add "$address/24" brd "$net.255" dev "$device"
    ip -n "$ns" link set "$device" up
}

join "$app" 192.168.0.10 eth0
join "$app" 10.1.0.10 eth1
ip -n "$app" route add default via 192.168.0.1
for i in "${!controllers[@]}"; do
    ns="$tag-c$i"
    join "$ns" "${controllers[$i]}"
    ip -n "$ns" route add default via "${controllers[$i]%.*}.1"
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

ip netns exec "$app" env \
    VELKOR_NETNS_CONTROLLERS="$(IFS=,; echo "${controllers[*]}")" \
    VELKOR_NETNS_WORK="$work" \
    timeout --kill-after=5 150 "$@"
status=$?
[ $status -eq 0 ] || { echo "--- simulator output"; cat "$work"/c*.out; }
exit $status
