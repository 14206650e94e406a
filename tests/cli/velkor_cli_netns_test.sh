#!/usr/bin/env bash
# velkor-cli's discovery on a computer with two networks, run by
# tests/netns/two-networks.sh inside the namespaces it makes: with the default
# (the limited broadcast and each interface's directed broadcast) it lists the
# controllers of both networks, each once; --interface lists one network's;
# a batch over --all reaches every controller on both.
#   velkor_cli_netns_test.sh velkor-cli
set -uo pipefail
cli=$1
IFS=, read -r -a controllers <<<"$VELKOR_NETNS_CONTROLLERS"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

# expect_listed "ARGUMENTS" ADDRESS...: a discovery with ARGUMENTS lists exactly
# these controllers, each once.
expect_listed() {
    local arguments=$1
    shift
    # shellcheck disable=SC2086 # the arguments are split on purpose
    "$cli" --timeout 1 discover --csv $arguments >"$out/found.csv" 2>"$out/err" ||
        { fail "discover $arguments: $(cat "$out/err")"; return; }
    awk -F, 'NR > 1 { print $2 }' "$out/found.csv" | sort >"$out/found"
    printf '%s\n' "$@" | sort >"$out/expected"
    cmp -s "$out/found" "$out/expected" ||
        fail "discover $arguments listed: $(tr '\n' ' ' <"$out/found")(expected: $*)"
}

network_a=()
network_b=()
for address in "${controllers[@]}"; do
    case $address in
    192.168.0.*) network_a+=("$address") ;;
    *) network_b+=("$address") ;;
    esac
done

expect_listed "" "${controllers[@]}"
expect_listed "--interface eth1" "${network_b[@]}"
expect_listed "--interface eth0" "${network_a[@]}"

"$cli" --timeout 1 --all -j 5 get language >"$out/batch" 2>"$out/err"
status=$?
[ $status -eq 0 ] || fail "the batch over --all exited with $status: $(cat "$out/err")"
[ "$(grep -c ' ok ' "$out/batch")" -eq "${#controllers[@]}" ] ||
    fail "the batch over --all served: $(cat "$out/batch")"

[ $failed -eq 0 ] && echo "PASS: velkor-cli found and served the controllers of both networks"
exit $failed
