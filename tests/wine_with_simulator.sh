# Sourced by the Wine tests that drive a Windows program against the Linux
# simulator inside the private network namespace of scripts/with-wine-netns.sh.
# Usage: . wine_with_simulator.sh SIMULATOR WORK_PREFIX
# Skips the test (exit 77) when the simulator is not built, makes the work
# folder $work, and on exit stops the simulator whose pid the test puts in
# $sim_pid and removes $work. Wine output only ever goes to files: Wine's
# background programs inherit the descriptors, so a pipe would stay open.
simulator=$1
[ -x "$simulator" ] || {
    echo "skipped: no Linux controller-sim at \"$simulator\" (build the asan preset first," \
        "or configure with -DVELKOR_CONTROLLER_SIM=PATH)"
    exit 77
}
export WINEDEBUG=${WINEDEBUG:--all}
work=$(mktemp -d "/tmp/$2_XXXXXX")
sim_pid=""
cleanup() {
    [ -z "$sim_pid" ] || { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; } || true
    rm -rf "$work"
}
trap cleanup EXIT
