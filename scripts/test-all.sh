#!/usr/bin/env bash
# Builds and runs every test of the project:
#   1. AddressSanitizer + UndefinedBehaviorSanitizer build, every test (unit,
#      loopback integration, network-namespace and Qt offscreen tests);
#   2. ThreadSanitizer build, the tests labelled "threads";
#   3. the Windows cross builds (mingw-w64, x86_64 and i686) with their tests
#      under Wine, inside a private network namespace; the i686 tests run only
#      where the machine can execute 32-bit code (scripts/runs-32bit-code.sh);
#   4. the release packages: the .deb packages checked with lintian, by their
#      contents and by running each program from the unpacked package, and a
#      zip per Windows build (scripts/check-packages.sh);
#   5. every libFuzzer target for a bounded time.
# Installs the packages it needs first. Exits non-zero on the first failure.
# Prints how long each stage took at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-25}

# Each stage's name and duration, printed at the end.
timings=()
stage_name=""
stage_start=$SECONDS
stage() {
    [ -z "$stage_name" ] || timings+=("$(printf '%5d s  %s' $((SECONDS - stage_start)) "$stage_name")")
    stage_name="$*"
    stage_start=$SECONDS
    printf '\n==== %s\n' "$*"
}

# Runs one ctest stage and adds its test count to the total printed at the end.
passed=0
run_ctest() {
    local log
    log=$(mktemp)
    "$@" 2>&1 | tee "$log" || { rm -f "$log"; exit 1; }
    local total
    total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log")
    passed=$((passed + ${total:-0}))
    rm -f "$log"
}

stage "Installing missing packages"
scripts/install-deps.sh

stage "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
run_ctest ctest --preset asan

stage "ThreadSanitizer (threaded tests)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
run_ctest ctest --preset tsan

stage "Windows build x86_64 (mingw-w64), tests under Wine in a private network namespace"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
run_ctest scripts/with-wine-netns.sh ctest --preset mingw

stage "Windows build i686 (mingw-w64), tests under 32-bit Wine"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 -j "$jobs"
if scripts/runs-32bit-code.sh; then
    # The service registration test stays with x86_64: same code, slowest Wine test.
    run_ctest scripts/with-wine-netns.sh ctest --preset mingw-i686 --label-exclude wine
else
    echo "Skipped: this machine executes 64-bit code only, so 32-bit Wine cannot run here."
fi

stage "Packages: .deb (lintian, contents, programs run from the unpacked packages), Windows zips"
scripts/check-packages.sh

stage "Fuzz targets, ${fuzz_seconds} s each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers -j "$jobs"
for fuzzer in build/fuzz/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus" "build/fuzz/artifacts"
    echo "-- $name"
    "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=0 \
        -artifact_prefix="build/fuzz/artifacts/$name-" "$corpus" > "build/fuzz/$name.log" 2>&1 ||
        { tail -n 40 "build/fuzz/$name.log"; echo "$name found a fault"; exit 1; }
    tail -n 1 "build/fuzz/$name.log"
    passed=$((passed + 1))
done

stage "All stages passed"
printf '%s\n' "${timings[@]}"
# Any failure has ended the run above, so every counted test passed.
echo "$passed passed, 0 failed"
