#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-dev clang-format
    googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
    libsystemd-dev pkg-config supervisor
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine
    xvfb x11-utils imagemagick
    iproute2 util-linux
    dpkg-dev lintian
)
# 32-bit Wine runs the i686 build's tests, where the machine can run 32-bit code.
wine32=false
if "$(dirname "$0")/runs-32bit-code.sh"; then
    wine32=true
    packages+=(wine32:i386)
else
    echo "This machine runs 64-bit code only: 32-bit Wine is not installed, the i686 tests will be skipped."
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if $wine32 && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo apt-get install -y -q -o DPkg::Lock::Timeout=300 --no-install-recommends "${missing[@]}"
