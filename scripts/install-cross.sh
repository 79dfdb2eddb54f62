#!/usr/bin/env bash
# Installs the Windows cross toolchain and the 64-bit Wine loader from Debian's packages, when any is missing
# (run as root). The "-posix" compilers are the ones the toolchain files use (cmake/toolchains/).
set -euo pipefail
packages=(
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine64 wine
    googletest # GoogleTest sources, built with the cross compiler for the tests that run under Wine
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
