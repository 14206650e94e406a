#!/usr/bin/env bash
# Builds the release packages and checks them, without installing anything:
#   - the .deb packages (velkor, velkor-cli, torvane, controller-sim) from the
#     "package" preset: lintian finds no error, each holds the files it must,
#     its dependencies were computed, and each program, run from the package
#     unpacked into a temporary folder (dpkg -x), answers --version and --help;
#   - a zip per Windows preset already built (mingw, mingw-i686): it holds every
#     program the build made, the example program list and README.txt.
# The packages are left in build/package/packages and build/<mingw preset>/packages.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check-packages: $*" >&2
    exit 1
}

cmake --preset package >/dev/null
cmake --build --preset package -j "$jobs"
rm -rf build/package/packages
cpack --preset package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/package/CPackConfig.cmake)
arch=$(dpkg --print-architecture)

# The files each package must hold (more may follow, e.g. further icon sizes).
declare -A files=(
    [velkor]="usr/bin/Velkor usr/share/applications/velkor.desktop
        usr/share/metainfo/velkor.metainfo.xml usr/share/icons/hicolor/scalable/apps/velkor.svg
        usr/share/icons/hicolor/16x16/apps/velkor.png usr/share/icons/hicolor/256x256/apps/velkor.png
        usr/share/man/man1/Velkor.1.gz"
    [torvane]="usr/sbin/Torvane lib/systemd/system/torvane.service etc/torvane/torvane.ini
        usr/share/doc/torvane/examples/torvane.ini usr/share/man/man8/Torvane.8.gz"
    [velkor-cli]="usr/bin/velkor-cli usr/share/man/man1/velkor-cli.1.gz"
    [controller-sim]="usr/bin/controller-sim usr/share/man/man1/controller-sim.1.gz"
)
# Each package's programs and the name their --version starts with.
declare -A programs=(
    [velkor]="usr/bin/Velkor:Velkor"
    [torvane]="usr/sbin/Torvane:Torvane"
    [velkor-cli]="usr/bin/velkor-cli:velkor-cli"
    [controller-sim]="usr/bin/controller-sim:controller-sim"
)

declare -A summaries=()
for package in velkor velkor-cli torvane controller-sim; do
    deb="build/package/packages/${package}_${version}_${arch}.deb"
    [ -f "$deb" ] || fail "$deb was not built"
    # The first line of the description is the package's own summary.
    summary=$(dpkg-deb --field "$deb" Description | sed -n 1p)
    [ -z "${summaries[$summary]:-}" ] || fail "$package has the summary of ${summaries[$summary]}"
    summaries[$summary]=$package
    echo "-- $package"
    lintian --fail-on error "$deb" 2>/dev/null ||
        fail "lintian reports errors in $deb"

    dpkg-deb --contents "$deb" | awk '{ print $6 }' | sed 's|^\./||' >"$work/$package.list"
    for file in ${files[$package]} "usr/share/doc/$package/copyright" \
        "usr/share/doc/$package/changelog.gz"; do
        grep -qxF "$file" "$work/$package.list" || fail "$package lacks $file"
    done
    [ -n "$(dpkg-deb --field "$deb" Depends)" ] || fail "$package has no computed dependencies"

    dpkg -x "$deb" "$work/$package"
    for entry in ${programs[$package]}; do
        program="$work/$package/${entry%%:*}"
        name=${entry#*:}
        "$program" --version >"$work/out" || fail "$name --version failed"
        grep -q "^$name $version" "$work/out" || fail "$name --version printed: $(cat "$work/out")"
        echo "   $(head -n 1 "$work/out")"
        "$program" --help >"$work/out" || fail "$name --help failed"
        grep -q "^Usage: $name " "$work/out" || fail "$name --help printed: $(head -n 3 "$work/out")"
    done
done

for preset in mingw mingw-i686; do
    [ -f "build/$preset/CPackConfig.cmake" ] || continue
    rm -rf "build/$preset/packages"
    cpack --preset "$preset" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack $preset failed"; }
    zip=$(ls "build/$preset/packages/"*.zip)
    echo "-- $(basename "$zip")"
    cmake -E tar tf "$zip" | sed 's|^[^/]*/||' >"$work/zip.list"
    expected="README.txt Torvane.example.ini"
    for program in Velkor velkor-cli Torvane; do
        [ -n "$(find "build/$preset" -name "$program.exe" -not -path "*/packages/*" -print -quit)" ] &&
            expected+=" $program.exe"
    done
    for file in $expected; do
        grep -qxF "$file" "$work/zip.list" || fail "$(basename "$zip") lacks $file"
    done
    echo "   $expected"
done
