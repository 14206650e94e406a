#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
# docs/test-machine.md says what each is for.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-dev clang-format
    googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
    supervisor
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine fonts-wine
    xvfb x11-utils imagemagick
    iproute2 util-linux
    dpkg-dev lintian
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# Installs those of the given packages that are missing.
install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    $sudo apt-get install -y -q -o DPkg::Lock::Timeout=300 --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"

# 32-bit Wine runs the i686 build's tests, where the machine can run 32-bit code. The probe
# assembles a small program with binutils, which the packages above have brought.
if "$(dirname "$0")/runs-32bit-code.sh"; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    install_missing wine32:i386
else
    echo "This machine runs 64-bit code only: 32-bit Wine is not installed, the i686 tests will be skipped."
fi
